// The radio decisions against both stacks: which stack each look-up picks, what
// is asked and sent, the answer-4 rule and the modes.
#include <gtest/gtest.h>

#include "locator/radio.h"
#include "locator/status_harness.h"

namespace {

enum class Operation { IsOn, On, Off };

struct RadioCase {
  const char* name;
  FakeBluetooth stack;
  Operation operation;
  bool expectedResult;
  std::vector<std::string> expectedEvents;
};

const std::string kQuery = "register WIDCOMM_WM_GETSTACKSTATUS";
const std::string kOnName = "register WIDCOMM_WM_BTRADIO_ON";
const std::string kOffName = "register WIDCOMM_WM_BTRADIO_OFF";
const std::string kFound = "find tray: found";
const std::string kNone = "find tray: none";
const std::string kActivation = "status Bluetooth activation";
const std::string kDeactivation = "status Bluetooth deactivation";

// Kept out of line: g++ 12 at -O2 fails (internal error) inlining these into
// the case table.
[[gnu::noinline]] FakeBluetooth Microsoft(std::optional<uint32_t> mode, bool setModeFails = false) {
  FakeBluetooth stack;
  stack.mode = mode;
  stack.setModeFails = setModeFails;
  return stack;
}

[[gnu::noinline]] FakeBluetooth Tray(intptr_t status, intptr_t switchAnswer = 1, int finds = -1) {
  FakeBluetooth stack;
  stack.trayFinds = finds;
  stack.trayStatusAnswer = status;
  stack.traySwitchAnswer = switchAnswer;
  stack.mode = std::nullopt;  // a mode call would be a fault here
  return stack;
}

const RadioCase kCases[] = {
    // Microsoft stack: mode 0 is off, 1 and 2 alike are on.
    {"ModeOffIsOff", Microsoft(0), Operation::IsOn, false, {kQuery, kNone, "get mode"}},
    {"ConnectableIsOn", Microsoft(1), Operation::IsOn, true, {kQuery, kNone, "get mode"}},
    {"DiscoverableIsOn", Microsoft(2), Operation::IsOn, true, {kQuery, kNone, "get mode"}},
    {"UnreadableModeIsOff",
     Microsoft(std::nullopt),
     Operation::IsOn,
     false,
     {kQuery, kNone, "get mode"}},
    {"OnFromOffSetsConnectable",
     Microsoft(0),
     Operation::On,
     true,
     {kActivation, kQuery, kNone, "get mode", kOnName, kNone, "set mode 1"}},
    {"OnWhenDiscoverableLeavesIt",
     Microsoft(2),
     Operation::On,
     true,
     {kActivation, kQuery, kNone, "get mode"}},
    {"OffFromDiscoverableSetsOff",
     Microsoft(2),
     Operation::Off,
     true,
     {kDeactivation, kQuery, kNone, "get mode", kOffName, kNone, "set mode 0"}},
    {"OffWhenOffDoesNothing",
     Microsoft(0),
     Operation::Off,
     true,
     {kDeactivation, kQuery, kNone, "get mode"}},
    {"ModeCallFailureStillTrue",
     Microsoft(0, true),
     Operation::On,
     true,
     {kActivation, kQuery, kNone, "get mode", kOnName, kNone, "set mode 1"}},
    {"UnreadableModeTriesOn",
     Microsoft(std::nullopt),
     Operation::On,
     true,
     {kActivation, kQuery, kNone, "get mode", kOnName, kNone, "set mode 1"}},
    {"UnreadableModeNeverSwitchesOff",
     Microsoft(std::nullopt),
     Operation::Off,
     true,
     {kDeactivation, kQuery, kNone, "get mode"}},
    // Widcomm tray: only the answer 4 means off.
    {"TrayAnswerFourIsOff",
     Tray(4),
     Operation::IsOn,
     false,
     {kQuery, kFound, "send WIDCOMM_WM_GETSTACKSTATUS"}},
    {"TrayAnswerZeroIsOn",
     Tray(0),
     Operation::IsOn,
     true,
     {kQuery, kFound, "send WIDCOMM_WM_GETSTACKSTATUS"}},
    {"TrayAnswerFiveIsOn",
     Tray(5),
     Operation::IsOn,
     true,
     {kQuery, kFound, "send WIDCOMM_WM_GETSTACKSTATUS"}},
    {"TrayOnWhenOffSends",
     Tray(4),
     Operation::On,
     true,
     {kActivation, kQuery, kFound, "send WIDCOMM_WM_GETSTACKSTATUS", kOnName, kFound,
      "send WIDCOMM_WM_BTRADIO_ON"}},
    {"TrayOnRefusedIsFalse",
     Tray(4, 0),
     Operation::On,
     false,
     {kActivation, kQuery, kFound, "send WIDCOMM_WM_GETSTACKSTATUS", kOnName, kFound,
      "send WIDCOMM_WM_BTRADIO_ON"}},
    {"TrayOnWhenOnSendsNothing",
     Tray(0),
     Operation::On,
     true,
     {kActivation, kQuery, kFound, "send WIDCOMM_WM_GETSTACKSTATUS"}},
    {"TrayOffWhenOnSends",
     Tray(0),
     Operation::Off,
     true,
     {kDeactivation, kQuery, kFound, "send WIDCOMM_WM_GETSTACKSTATUS", kOffName, kFound,
      "send WIDCOMM_WM_BTRADIO_OFF"}},
    {"TrayOffRefusedIsFalse",
     Tray(1, 0),
     Operation::Off,
     false,
     {kDeactivation, kQuery, kFound, "send WIDCOMM_WM_GETSTACKSTATUS", kOffName, kFound,
      "send WIDCOMM_WM_BTRADIO_OFF"}},
    {"TrayOffWhenOffSendsNothing",
     Tray(4),
     Operation::Off,
     true,
     {kDeactivation, kQuery, kFound, "send WIDCOMM_WM_GETSTACKSTATUS"}},
    // The tray answers the query, then is gone: the switch takes the mode call.
    {"TrayVanishesBeforeOn",
     Tray(4, 1, 1),
     Operation::On,
     true,
     {kActivation, kQuery, kFound, "send WIDCOMM_WM_GETSTACKSTATUS", kOnName, kNone, "set mode 1"}},
    {"TrayVanishesBeforeOff",
     Tray(0, 1, 1),
     Operation::Off,
     true,
     {kDeactivation, kQuery, kFound, "send WIDCOMM_WM_GETSTACKSTATUS", kOffName, kNone,
      "set mode 0"}},
};

// The case's name, not its bytes, in test names and failures.
void PrintTo(const RadioCase& c, std::ostream* out) { *out << c.name; }

class RadioTest : public ::testing::TestWithParam<RadioCase> {};

TEST_P(RadioTest, AsksAndSwitchesThroughTheStackFoundAtEachLookUp) {
  const RadioCase& c = GetParam();
  ResetFakes();
  WindowLog windowLog;
  IdleStatusWindow window;
  ASSERT_TRUE(window.running());
  Events().Clear();
  Bluetooth() = c.stack;
  bool result = false;
  switch (c.operation) {
    case Operation::IsOn: result = IsRadioOn(); break;
    case Operation::On: result = RadioOn(); break;
    case Operation::Off: result = RadioOff(); break;
  }
  EXPECT_EQ(result, c.expectedResult);
  EXPECT_EQ(Events().Events(), c.expectedEvents);
}

INSTANTIATE_TEST_SUITE_P(Stacks, RadioTest, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(RadioStateTest, AlreadyOnRadioIsOffAfterOnAndOff) {
  ResetFakes();
  Bluetooth().mode = 2;
  EXPECT_TRUE(RadioOn());
  EXPECT_EQ(Bluetooth().mode, 2u) << "a radio that was on is left as it was";
  EXPECT_TRUE(RadioOff());
  EXPECT_EQ(Bluetooth().mode, 0u) << "the radio is off at the end, whoever switched it on";
}

TEST(RadioStateTest, MessageNamesAreFetchedOnEveryCall) {
  ResetFakes();
  Bluetooth() = Tray(4);
  IsRadioOn();
  IsRadioOn();
  int registrations = 0;
  for (const std::string& event : Events().Events()) registrations += event == kQuery;
  EXPECT_EQ(registrations, 2);
}

}  // namespace
