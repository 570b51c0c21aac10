// Quarvel.exe: the options at the front of its command line, then the status dialog's
// run with the launch words of its shortcut; usage, position and errors on the
// console it was started from, or in message boxes without one.
#include <windows.h>

#include <atomic>
#include <string>

#include "common/utf8.h"
#include "settings/launch_arguments.h"
#include "locator/status_dialog.h"
#include "platform/dialogs.h"
#include "platform/win32/console_streams.h"
#include "programs/command_words.h"
#include "quarvel_version.h"

namespace {

constexpr char16_t kCaption[] = u"Quarvel.exe";

std::u16string Text(const std::string& utf8Text) { return utf8::Utf8ToUtf16(utf8Text); }

// The first Ctrl-C in the console presses Stop; the next one ends the process.
BOOL WINAPI StopOnControlC(DWORD event) {
  static std::atomic<bool> pressed{false};
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  if (pressed.exchange(true)) return FALSE;
  RequestStop();
  return TRUE;
}

// The options' own answers (usage, version, a line that cannot be read), or -1
// when the run goes on.
int AnswerOptions(const QuarvelCommand& command) {
  if (!command.error.empty()) {
    WriteOrShow(ProgramStream::Err, Text("Quarvel: " + command.error + "\n\n" + QuarvelUsage()),
                u"Error!", kMbIconError);
    return kExitUsage;
  }
  if (command.options.help) {
    WriteOrShow(ProgramStream::Out, Text(QuarvelUsage()), kCaption, kMbOk);
    return 0;
  }
  if (command.options.version) {
    WriteOrShow(ProgramStream::Out, Text(std::string("Quarvel ") + kQuarvelVersion + "\n"),
                kCaption, kMbOk);
    return 0;
  }
  return -1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  OpenProgramStreams();
  const QuarvelCommand command = ReadQuarvelCommand(
      LaunchLineFromCommandLine(reinterpret_cast<const char16_t*>(GetCommandLineW())));
  if (const int answered = AnswerOptions(command); answered >= 0) ExitProcess(UINT(answered));
  // Run from a console, what the boxes say goes there, so a script never waits for a click.
  if (ProgramHasConsole() && HasProgramStream(ProgramStream::Err)) {
    SendMessageBoxesToStandardError();
    SetConsoleCtrlHandler(&StopOnControlC, TRUE);
  }
  RunOptions run;
  run.useClipboard = !command.options.noClipboard;
  run.timeout = std::chrono::seconds(command.options.timeoutSeconds);
  run.gates = command.options.gates;
  run.format = command.options.format;
  run.mapHost = command.options.mapHost;
  const int status = RunQuarvel(command.launchLine.c_str(), run);
  const std::u16string published = PublishedText();
  if (!published.empty()) WriteProgramStream(ProgramStream::Out, published + u"\n");
  if (status == kExitTimedOut) {
    WriteProgramStream(ProgramStream::Err,
                       Text("Quarvel: no position within " +
                            std::to_string(command.options.timeoutSeconds) + " seconds\n"));
    if (const std::u16string best = BestFixSeen(); !best.empty()) {
      WriteProgramStream(ProgramStream::Err, u"Quarvel: " + best + u"\n");
    }
  }
  // The run ends with its window: the reader, or a worker cut short by a close,
  // ends with the process wherever it is.
  ExitProcess(UINT(status));
}
