// The main-flow worker: one locating run, from the settings to the final message.
#include <thread>

#include "locator/fix_gates.h"
#include "locator/fix_record.h"
#include "locator/locator_state.h"
#include "nmea/parser.h"
#include "locator/publish.h"
#include "locator/radio.h"
#include "locator/reader/gps_reader.h"
#include "locator/status_dialog.h"
#include "resources/resource_ids.h"
#include "settings/settings_file.h"

namespace {

constexpr uint32_t kGpsBaudRate = 4800;

// Not a success text: a clipboard that refused the position is no copy.
constexpr char16_t kCopyFailedText[] = u"The position could not be copied to the clipboard.";

bool StopRequested() { return Locator().stopRequest != 0; }

bool PastDeadline() { return std::chrono::steady_clock::now() >= Locator().deadline; }

enum class WaitEnd { Found, Stopped, TimedOut };

// Without gates the first position is published; with them, the one they let through.
bool PositionReady(double& latitude, double& longitude) {
  if (FixGatesGiven()) return GatedPosition(latitude, longitude);
  GetGpsFix(&latitude, &longitude, nullptr);
  return latitude != 0.0 && longitude != 0.0;
}

// Blinks and polls once a period until a position is ready (both coordinates
// non-zero: the equator and the prime meridian count as no position; with gates,
// one they let through), a stop request or the run's deadline. Each blink comes with why the wait goes on.
WaitEnd PollForPosition(double& latitude, double& longitude) {
  LocatorState& state = Locator();
  bool phase = false;
  if (StopRequested()) return WaitEnd::Stopped;
  for (;;) {
    ShowWaitDetail(DescribeGpsReaderWait());
    SetControlImage(state.dialog, IDC_INDICATOR, phase ? IDB_INDICATOR_RED : IDB_INDICATOR_GREEN);
    phase = !phase;
    const auto now = std::chrono::steady_clock::now();
    const auto period = std::chrono::milliseconds(state.pollMilliseconds.load());
    std::this_thread::sleep_for(state.deadline - now < period ? state.deadline - now : period);
    if (PositionReady(latitude, longitude)) return WaitEnd::Found;
    if (StopRequested()) return WaitEnd::Stopped;
    if (std::chrono::steady_clock::now() >= state.deadline) return WaitEnd::TimedOut;
  }
}

// The detail belongs to the wait alone: it goes before the next status text.
WaitEnd WaitForPosition(double& latitude, double& longitude) {
  ShowStatus(IDS_WAITING);
  const WaitEnd end = PollForPosition(latitude, longitude);
  ShowWaitDetail(u"");
  return end;
}

// What a run published: the kind, the position's text (kept even when the
// clipboard refused it) and, for a refusal, the clipboard's reason.
struct Publication {
  PublishResult result = PublishResult::None;
  std::u16string text;
  std::u16string why;
};

// The position on the clipboard (unless the run leaves it alone), and the run's
// end with the position's text.
Publication Publish(double latitude, double longitude, const Settings& settings) {
  SetControlImage(Locator().dialog, IDC_INDICATOR, IDB_INDICATOR_GREEN);
  ShowStatus(IDS_SAVING);
  const LocatorState& state = Locator();
  std::string sent[int(SentField::Count)];
  const PositionRecord record =
      RecordOfFix(latitude, longitude, CopyGpsState(), LatestSentTexts(sent), settings.portName);
  const PositionChoice choice =
      ChoosePositionForm(settings, state.formatOption, state.mapHostOption);
  Publication done;
  done.result = state.useClipboard ? PublishPosition(record, choice, &done.text, &done.why)
                                   : ComposePosition(record, choice, done.text);
  SetRunEnd(done.result == PublishResult::None ? RunEnd::ClipboardFailed : RunEnd::Published,
            done.text);
  return done;
}

// Why the clipboard refused, and where the position is instead.
std::u16string CopyFailedDetail(const Publication& done) {
  std::u16string detail = done.why.empty() ? u"" : done.why + u"\n";
  detail += Locator().positionOnStandardOutput ? u"The position is on standard output: "
                                               : u"The position: ";
  return detail + done.text;
}

// Nothing after a stop request, even once published; success only for what was
// copied, so nothing either when the clipboard was left alone. Under each text
// the box shows what was copied, or why nothing was.
void ShowFinalMessage(bool found, const Publication& done) {
  if (StopRequested() || !found) return;
  if (!Locator().useClipboard) return;
  switch (done.result) {
    case PublishResult::Coordinates:
      ShowMessageBox(nullptr, u"Coordinates copied in your clipboard succefully!", u"Quarvel!",
                     kMbOk, done.text.c_str());
      break;
    case PublishResult::MapUrl:
      ShowMessageBox(nullptr, u"URL copied in your clipboard succefully!", u"Quarvel!", kMbOk,
                     done.text.c_str());
      break;
    case PublishResult::None:
      ShowMessageBox(nullptr, kCopyFailedText, u"Error!", kMbIconError,
                     CopyFailedDetail(done).c_str());
      break;
  }
}

}  // namespace

int LocatorWorker() {
  LocatorState& state = Locator();
  Settings& settings = state.settings;
  ShowStatus(IDS_LOADING);
  FillSettings(state.commandLine.c_str(), settings);
  if (settings.bluetooth) RadioOn();
  ShowStatus(IDS_CONNECTING);
  // A port still opening (a host that does not answer) is given up on at Stop or
  // at the run's deadline, as a wait for a position is.
  RunEnd givenUp = RunEnd::Running;
  const auto giveUp = [&] {
    if (PastDeadline()) givenUp = RunEnd::TimedOut;
    if (StopRequested()) givenUp = RunEnd::Stopped;
    return givenUp != RunEnd::Running;
  };
  if (StartGpsReader(settings.portName, kGpsBaudRate, giveUp)) {
    double latitude = 0.0, longitude = 0.0;
    const WaitEnd wait = WaitForPosition(latitude, longitude);
    const bool found = wait == WaitEnd::Found;
    const Publication done = found ? Publish(latitude, longitude, settings) : Publication{};
    if (!found) {
      SetRunEnd(wait == WaitEnd::TimedOut ? RunEnd::TimedOut : RunEnd::Stopped, {},
                DescribeGpsReaderWait());
    }
    ShowStatus(0);
    StopGpsReader();
    ShowFinalMessage(found, done);
  } else {
    SetRunEnd(givenUp == RunEnd::Running ? RunEnd::PortFailed : givenUp);
  }
  if (settings.bluetooth) RadioOff();
  EndDialogWith(state.dialog, 0);
  return 0;
}
