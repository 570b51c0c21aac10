// The main-flow worker: one locating run, from the settings to the final message.
#include <thread>

#include "locator/gps_reader.h"
#include "locator/locator_state.h"
#include "locator/nmea_parser.h"
#include "locator/publish.h"
#include "locator/radio.h"
#include "locator/status_dialog.h"
#include "resources/resource_ids.h"

namespace {

constexpr uint32_t kGpsBaudRate = 4800;

// Not a success text: a clipboard that refused the position is no copy.
constexpr char16_t kCopyFailedText[] = u"The position could not be copied to the clipboard.";

bool StopRequested() { return Locator().stopRequest != 0; }

// Blinks and polls once a period until both coordinates are non-zero (the
// equator and the prime meridian count as no position). False when the wait
// ended by a stop request.
bool WaitForPosition(double& latitude, double& longitude) {
  LocatorState& state = Locator();
  bool phase = false;
  ShowStatus(IDS_WAITING);
  if (StopRequested()) return false;
  for (;;) {
    SetControlImage(state.dialog, IDC_INDICATOR,
                    phase ? IDB_INDICATOR_RED : IDB_INDICATOR_GREEN);
    phase = !phase;
    std::this_thread::sleep_for(std::chrono::milliseconds(state.pollMilliseconds.load()));
    GetGpsFix(&latitude, &longitude, nullptr);
    if (latitude != 0.0 && longitude != 0.0) return true;
    if (StopRequested()) return false;
  }
}

// The position on the clipboard, and the run's end: what was published and its text.
PublishResult Publish(double latitude, double longitude, const Settings& settings) {
  SetControlImage(Locator().dialog, IDC_INDICATOR, IDB_INDICATOR_GREEN);
  ShowStatus(IDS_SAVING);
  std::u16string copied;
  const PublishResult result = PublishPosition(latitude, longitude, settings, &copied);
  if (result == PublishResult::None) {
    SetRunEnd(RunEnd::ClipboardFailed);
  } else {
    SetRunEnd(RunEnd::Published, copied);
  }
  return result;
}

// Nothing after a stop request, even once published; success only for what was copied.
void ShowFinalMessage(bool found, PublishResult result) {
  if (StopRequested() || !found) return;
  switch (result) {
    case PublishResult::Coordinates:
      ShowMessageBox(nullptr, u"Coordinates copied in your clipboard succefully!", u"Quarvel!",
                     kMbOk);
      break;
    case PublishResult::MapUrl:
      ShowMessageBox(nullptr, u"URL copied in your clipboard succefully!", u"Quarvel!", kMbOk);
      break;
    case PublishResult::None:
      ShowMessageBox(nullptr, kCopyFailedText, u"Error!", kMbIconError);
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
  if (StartGpsReader(settings.portName, kGpsBaudRate)) {
    double latitude = 0.0, longitude = 0.0;
    const bool found = WaitForPosition(latitude, longitude);
    const PublishResult result =
        found ? Publish(latitude, longitude, settings) : PublishResult::None;
    if (!found) SetRunEnd(RunEnd::Stopped);
    ShowStatus(0);
    StopGpsReader();
    ShowFinalMessage(found, result);
  } else {
    SetRunEnd(RunEnd::PortFailed);
  }
  if (settings.bluetooth) RadioOff();
  EndDialogWith(state.dialog, 0);
  return 0;
}
