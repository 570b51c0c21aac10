// Quarvel's entry and status dialog: the procedure, the status line and the
// worker's start.
#include "locator/status_dialog.h"

#include <system_error>
#include <thread>

#include "locator/locator_state.h"
#include "resources/resource_ids.h"

namespace {

// The status line's buffer: 60 units with the terminator.
constexpr int kStatusUnits = 60;

void RunWorker() {
  LocatorWorker();
  LocatorState& state = Locator();
  std::lock_guard lock(state.mutex);
  state.workerRunning = false;
  state.workerEnded.notify_all();
}

void StartWorker(DialogHandle dialog) {
  LocatorState& state = Locator();
  {
    std::lock_guard lock(state.mutex);
    state.workerRunning = true;
  }
  try {
    std::thread(&RunWorker).detach();
  } catch (const std::system_error&) {
    // No worker, no run: close rather than show a window that never ends.
    {
      std::lock_guard lock(state.mutex);
      state.workerRunning = false;
      state.workerEnded.notify_all();
    }
    EndDialogWith(dialog, 0);
  }
}

int ExitStatus() {
  LocatorState& state = Locator();
  std::lock_guard lock(state.mutex);
  switch (state.end) {
    case RunEnd::Published: return kExitPublished;
    case RunEnd::PortFailed: return kExitPortFailed;
    case RunEnd::ClipboardFailed: return kExitClipboardFailed;
    case RunEnd::TimedOut: return kExitTimedOut;
    default: return kExitStopped;
  }
}

}  // namespace

LocatorState& Locator() {
  static LocatorState* state = new LocatorState;
  return *state;
}

void SetRunEnd(RunEnd end, std::u16string published, std::u16string lastDetail) {
  LocatorState& state = Locator();
  std::lock_guard lock(state.mutex);
  state.end = end;
  state.published = std::move(published);
  state.lastDetail = std::move(lastDetail);
}

int RunQuarvel(const char16_t* commandLine, const RunOptions& options) {
  LocatorState& state = Locator();
  state.dialog = nullptr;
  state.stopRequest = 0;
  state.commandLine = commandLine ? commandLine : u"";
  state.useClipboard = options.useClipboard;
  state.positionOnStandardOutput = options.positionOnStandardOutput;
  state.formatOption = options.format;
  state.mapHostOption = options.mapHost;
  state.deadline = options.timeout.count() > 0 ? std::chrono::steady_clock::now() + options.timeout
                                               : std::chrono::steady_clock::time_point::max();
  state.settings = Settings{};
  SetFixGates(options.gates);
  SetRunEnd(RunEnd::Running);
  RunModalDialog(IDD_STATUS, nullptr, &StatusDialogProc, 0);
  return ExitStatus();
}

intptr_t StatusDialogProc(DialogHandle dialog, unsigned message, uintptr_t wParam, intptr_t) {
  Locator().dialog = dialog;
  switch (message) {
    case kWmInitDialog: StartWorker(dialog); break;
    case kWmCommand:
      if (LowWord(wParam) == IDC_STOP) RequestStop();
      break;
    case kWmClose: EndDialogWith(dialog, 0); break;
    case kWmActivate:
      if (LowWord(wParam) != kWaInactive) FocusDialog(dialog);
      break;
    default: break;
  }
  return 0;  // the dialog manager's default processing, no default focus
}

void ShowStatus(int stringId) {
  char16_t text[kStatusUnits] = {};
  if (stringId != 0) LoadResourceString(stringId, text, kStatusUnits);
  SetControlText(Locator().dialog, IDC_STATUS_LINE, text);
}

void ShowWaitDetail(const std::u16string& detail) {
  SetControlText(Locator().dialog, IDC_WAIT_DETAIL, detail.c_str());
}

void RequestStop() { Locator().stopRequest = 1; }

void SetLocatorPollInterval(std::chrono::milliseconds interval) {
  Locator().pollMilliseconds = interval.count();
}

std::u16string PublishedText() {
  LocatorState& state = Locator();
  std::lock_guard lock(state.mutex);
  return state.published;
}

std::u16string LastWaitDetail() {
  LocatorState& state = Locator();
  std::lock_guard lock(state.mutex);
  return state.lastDetail;
}

bool WaitLocatorWorkerEnded(std::chrono::milliseconds timeout) {
  LocatorState& state = Locator();
  std::unique_lock lock(state.mutex);
  return state.workerEnded.wait_for(lock, timeout, [&] { return !state.workerRunning; });
}
