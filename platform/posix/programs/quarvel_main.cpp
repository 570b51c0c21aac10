// Quarvel on Linux: one run with its status window on the desktop or the terminal; the position also goes to standard output.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "common/utf8.h"
#include "locator/status_dialog.h"
#include "platform/command_line.h"
#include "platform/posix/programs/front_end_choice.h"
#include "platform/posix/gtk/gtk_front_end.h"
#include "programs/quarvel_options.h"
#include "platform/posix/terminal/terminal_status.h"
#include "quarvel_version.h"

namespace {

void WriteLine(const std::u16string& text) {
  const std::string line = utf8::Utf16ToUtf8(text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  QuarvelOptions options;
  int next = 1;
  std::string error;
  if (!ReadQuarvelOptions(argc, argv, options, next, error)) {
    std::fprintf(stderr, "quarvel: %s\n\n%s", error.c_str(), QuarvelUsage().c_str());
    return kExitUsage;
  }
  if (options.help) {
    std::fputs(QuarvelUsage().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("quarvel %s\n", kQuarvelVersion);
    return 0;
  }
  // The launch words start at argv[next]; the join skips the word before them.
  const std::u16string commandLine = JoinCommandLine(argc - next + 1, argv + next - 1);
  RunOptions run;
  run.useClipboard = !options.noClipboard;
  run.timeout = std::chrono::seconds(options.timeoutSeconds);
  run.positionOnStandardOutput = true;
  run.gates = options.gates;
  run.format = options.format;
  run.mapHost = options.mapHost;
  const auto runQuarvel = [&] { return RunQuarvel(commandLine.c_str(), run); };
  const FrontEndFacts facts =
      CurrentFrontEndFacts(options.gui, options.terminal, GtkWindowsBuilt());
  std::optional<int> status;
  if (ChooseFrontEnd(facts) == FrontEnd::Windows)
    status = RunWithGtkWindows(runQuarvel, {"org.quarvel.Quarvel", "org.quarvel.Quarvel", false});
  if (!status) {
    TerminalStatusFrontEnd frontEnd;
    status = runQuarvel();
  }
  const std::u16string published = PublishedText();
  if (!published.empty()) WriteLine(published);
  // The last word of the wait says why no position came.
  const std::string detail = utf8::Utf16ToUtf8(LastWaitDetail());
  const std::string why = detail.empty() ? "" : " (" + detail + ")";
  if (*status == kExitTimedOut) {
    std::fprintf(stderr, "quarvel: no position within %d seconds%s\n", options.timeoutSeconds,
                 why.c_str());
    // A gate never met: how close the receiver came.
    const std::string best = utf8::Utf16ToUtf8(BestFixSeen());
    if (!best.empty()) std::fprintf(stderr, "quarvel: %s\n", best.c_str());
  } else if (*status == kExitStopped) {
    std::fprintf(stderr, "quarvel: stopped before a position came%s\n", why.c_str());
  }
  // The run is over when its window is: the reader, or a worker cut short by a
  // close, ends with the process wherever it is.
  std::fflush(nullptr);
  std::_Exit(*status);
}
