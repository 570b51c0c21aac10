// quarvel-config: QuarvelConfig as a desktop window (GTK) or a full-screen terminal form.
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>

#include "config/config_program.h"
#include "platform/model/dialog_model.h"
#include "platform/posix/config_form/config_form.h"
#include "platform/posix/programs/front_end_choice.h"
#include "platform/posix/gtk/gtk_front_end.h"
#include "programs/config_options.h"
#include "programs/quarvel_options.h"
#include "quarvel_version.h"

namespace {

// Exit status when there is nowhere to show the form (the form's own is 0).
constexpr int kExitNoForm = 1;

int TerminalColumns() {
  winsize size{};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

}  // namespace

int main(int argc, char** argv) {
  ConfigOptions options;
  std::string error;
  if (!ReadConfigOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "quarvel-config: %s\n\n%s", error.c_str(), ConfigUsage().c_str());
    return kExitUsage;
  }
  if (options.help) {
    std::fputs(ConfigUsage().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("quarvel-config %s\n", kQuarvelVersion);
    return 0;
  }
  FrontEndFacts facts = CurrentFrontEndFacts(options.gui, options.terminal, GtkWindowsBuilt());
  facts.terminalCanShow = WhyNoTerminalForm() == nullptr;
  if (ChooseFrontEnd(facts) == FrontEnd::Windows) {
    SetModelPlatformType(options.smartphone ? u"Smartphone" : u"PocketPC");
    const std::optional<int> status = RunWithGtkWindows(
        RunQuarvelConfig, {"org.quarvel.QuarvelConfig", "org.quarvel.QuarvelConfig", true});
    if (status) return *status;
  }
  // Drawn into no terminal, the form would wait for keys that never come.
  if (const char* why = WhyNoTerminalForm()) {
    std::fprintf(stderr, "quarvel-config: cannot show the form: %s\n", why);
    return kExitNoForm;
  }
  if (!TakeInstanceLock()) {
    std::fputs("quarvel-config: the form is already open in another quarvel-config\n", stderr);
    return 0;
  }
  SetModelPlatformType(options.smartphone ? u"Smartphone"
                                          : TerminalPlatformType(TerminalColumns()));
  return RunWithTerminalForm(RunQuarvelConfig);
}
