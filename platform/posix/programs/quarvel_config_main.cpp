// quarvel-config: QuarvelConfig as a full-screen terminal form.
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "config/config_program.h"
#include "platform/model/dialog_model.h"
#include "platform/posix/config_form/config_form.h"
#include "quarvel_version.h"

namespace {

// Exit statuses besides the form's own (0 after Exit or close).
constexpr int kNoFormStatus = 1;  // there is nowhere to show the form
constexpr int kUsageStatus = 2;   // an argument it does not know

constexpr const char kUsage[] =
    "Usage: quarvel-config [--help | --version]\n"
    "\n"
    "Edits Quarvel's five settings in a full-screen terminal form and saves them to\n"
    "settings.ini beside the program, or into a shortcut that starts quarvel.\n"
    "F1 Exit, F2 Save; Tab and the arrows move, Space toggles, Ctrl-C closes.\n"
    "\n"
    "  -h, --help     this text\n"
    "  -V, --version  the version\n"
    "\n"
    "Only one form runs per user: a second start says so and ends.\n"
    "\n"
    "Exit status: 0 closed (or already open); 1 standard input and output are not a\n"
    "terminal that can show the form; 2 an unknown argument.\n";

int PrintUsage() {
  std::fputs(kUsage, stdout);
  return 0;
}

int PrintVersion() {
  std::printf("quarvel-config %s\n", kQuarvelVersion);
  return 0;
}

// The options, each with its short and long spelling.
struct Option {
  const char* shortName;
  const char* longName;
  int (*run)();
};
constexpr Option kOptions[] = {
    {"-h", "--help", PrintUsage},
    {"-V", "--version", PrintVersion},
};

int RunOption(const char* argument) {
  for (const Option& option : kOptions) {
    if (std::strcmp(argument, option.shortName) == 0 ||
        std::strcmp(argument, option.longName) == 0) {
      return option.run();
    }
  }
  std::fprintf(stderr, "quarvel-config: unknown argument '%s' (see quarvel-config --help)\n",
               argument);
  return kUsageStatus;
}

int TerminalColumns() {
  winsize size{};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2) {
    std::fputs("quarvel-config: one argument at most (see quarvel-config --help)\n", stderr);
    return kUsageStatus;
  }
  if (argc == 2) return RunOption(argv[1]);
  // Drawn into no terminal, the form would wait for keys that never come.
  if (const char* why = WhyNoTerminalForm()) {
    std::fprintf(stderr, "quarvel-config: cannot show the form: %s\n", why);
    return kNoFormStatus;
  }
  if (!TakeInstanceLock()) {
    std::fputs("quarvel-config: the form is already open in another quarvel-config\n", stderr);
    return 0;
  }
  SetModelPlatformType(TerminalPlatformType(TerminalColumns()));
  return RunWithTerminalForm(RunQuarvelConfig);
}
