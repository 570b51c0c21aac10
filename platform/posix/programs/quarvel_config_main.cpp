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
#include "programs/program_options.h"
#include "programs/quarvel_options.h"
#include "quarvel_version.h"

namespace {

// Exit status when there is nowhere to show the form (the form's own is 0).
constexpr int kExitNoForm = 1;

struct ConfigOptions {
  bool help = false;
  bool version = false;
  bool gui = false;
  bool terminal = false;
  bool smartphone = false;
};

using Entry = OptionEntry<ConfigOptions>;
constexpr Entry kOptions[] = {
    {"--gui", nullptr, nullptr,
     "the form as a window on the desktop (the default when started from it)",
     [](ConfigOptions& o, const char*) { return o.gui = true; }},
    {"--terminal", nullptr, nullptr, "the form on the terminal (the default from a terminal)",
     [](ConfigOptions& o, const char*) { return o.terminal = true; }},
    {"--smartphone", nullptr, nullptr, "the Smartphone layout of the form",
     [](ConfigOptions& o, const char*) { return o.smartphone = true; }},
    {"--version", nullptr, nullptr, "print the version and exit",
     [](ConfigOptions& o, const char*) { return o.version = true; }},
    {"--help", "-h", nullptr, "print this help and exit",
     [](ConfigOptions& o, const char*) { return o.help = true; }},
};

std::string Usage() {
  return "Usage: quarvel-config [OPTION...]\n"
         "\n"
         "Edits Quarvel's five settings in a window on the desktop or a full-screen\n"
         "terminal form and saves them to settings.ini (beside the program, or in\n"
         "$XDG_CONFIG_HOME/quarvel/ for an installed copy), or into a shortcut that\n"
         "starts quarvel. On the terminal: F1 Exit, F2 Save; Tab and the\n"
         "arrows move, Space toggles, Ctrl-C closes.\n"
         "Only one form runs per user: a second start on the desktop brings the open\n"
         "window to the front; on the terminal it says so and ends.\n"
         "\n"
         "Options:\n" +
         DescribeOptions<ConfigOptions>(kOptions) +
         "\n"
         "Exit status: 0 closed, or already open; 1 no display and no terminal that can\n"
         "show the form (standard input and output must be one); 64 the command line could not be "
         "read.\n";
}

int TerminalColumns() {
  winsize size{};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

}  // namespace

int main(int argc, char** argv) {
  ConfigOptions options;
  OptionsEnd end = ReadOptions<ConfigOptions>(argc, argv, kOptions, options);
  if (end.error.empty() && end.next < argc) {
    end.error = "unexpected argument '" + std::string(argv[end.next]) + "'";
  }
  if (!end.error.empty()) {
    std::fprintf(stderr, "quarvel-config: %s\n\n%s", end.error.c_str(), Usage().c_str());
    return kExitUsage;
  }
  if (options.help) {
    std::fputs(Usage().c_str(), stdout);
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
