// The main flow on the dialog model: step order, the three stop checks, the
// indicator phases, the final messages and how each kind of run ends.
#include <gtest/gtest.h>

#include <atomic>

#include "nmea/parser.h"
#include "locator/locator_state.h"
#include "locator/position_text.h"
#include "locator/status_dialog.h"
#include "locator/status_harness.h"
#include "resources/resource_ids.h"

namespace {

// 48°07.038' N, 11°31.000' E.
constexpr const char* kFixSentence =
    "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";
// The position as the parser reads it from that sentence.
std::pair<double, double> FixPosition() {
  ResetGpsState();
  ParseNmeaSentence(kFixSentence);
  double latitude = 0.0, longitude = 0.0;
  GetGpsFix(&latitude, &longitude, nullptr);
  ResetGpsState();
  return {latitude, longitude};
}

std::string CoordinatesText() {
  const auto [latitude, longitude] = FixPosition();
  char16_t text[kCoordinatesTextSize];
  FormatCoordinates(latitude, longitude, text);
  return Narrow(text);
}

std::string UrlText(const char16_t* letter, bool lite) {
  const auto [latitude, longitude] = FixPosition();
  char16_t url[kMapUrlSize];
  FormatMapUrl(latitude, longitude, letter, lite, url);
  return Narrow(url);
}

const std::vector<std::string> kRadioOnFromOff = {"status Bluetooth activation",
                                                  "register WIDCOMM_WM_GETSTACKSTATUS",
                                                  "find tray: none",
                                                  "get mode",
                                                  "register WIDCOMM_WM_BTRADIO_ON",
                                                  "find tray: none",
                                                  "set mode 1"};
const std::vector<std::string> kRadioOffFromOn = {"status Bluetooth deactivation",
                                                  "register WIDCOMM_WM_GETSTACKSTATUS",
                                                  "find tray: none",
                                                  "get mode",
                                                  "register WIDCOMM_WM_BTRADIO_OFF",
                                                  "find tray: none",
                                                  "set mode 0"};

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

class FlowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFakes();
    ResetGpsState();
    SetLocatorPollInterval(std::chrono::milliseconds(20));
  }
  void TearDown() override {
    RequestStop();  // a run left waiting by WM_CLOSE ends here
    EXPECT_TRUE(WaitLocatorWorkerEnded(kPatience)) << "the worker never ended";
  }

  // Runs Quarvel with commandLine; action sees each logged event as it happens.
  int Run(const char16_t* commandLine, std::function<void(const std::string&, int)> action = {},
          const RunOptions& options = {}) {
    std::atomic<int> polls{0};
    WindowLog log([&](const std::string& event) {
      if (event.rfind("image ", 0) == 0 && event != "image 0") ++polls;
      if (action) action(event, polls);
    });
    const int status = RunQuarvel(commandLine, options);
    if (!closedMidRun) {
      EXPECT_TRUE(WaitLocatorWorkerEnded(kPatience));
    }
    return status;
  }

  bool closedMidRun = false;
};

// Feeds the fix when poll `poll` shows its image.
auto FixAtPoll(int poll) {
  return [poll](const std::string& event, int polls) {
    if (event.rfind("image ", 0) == 0 && polls == poll) ParseNmeaSentence(kFixSentence);
  };
}

TEST_F(FlowTest, CoordinatesRunWithBluetoothInStepOrder) {
  const std::string text = CoordinatesText();
  const int status = Run(u"pts/9 n 0 1 1", FixAtPoll(2));
  EXPECT_EQ(status, kExitPublished);
  EXPECT_EQ(Events().Events(),
            Join({{"status Loading settings..."},
                  kRadioOnFromOff,
                  {"status Connecting...", "start reader pts/9 4800",
                   "status Waiting for GPS-data...", "image 107", "image 108", "image 107",
                   "status Saving...", "clipboard " + text, "status ", "stop reader",
                   "message Quarvel! Coordinates copied in your clipboard succefully! flags 0"},
                  kRadioOffFromOn}));
  EXPECT_EQ(Narrow(PublishedText()), text);
  EXPECT_EQ(Bluetooth().mode, 0u);
}

TEST_F(FlowTest, UrlRunWithoutBluetoothTouchesNoRadio) {
  const std::string url = UrlText(u"k", true);
  const int status = Run(u"pts/9 k 1 0 0", FixAtPoll(1));
  EXPECT_EQ(status, kExitPublished);
  EXPECT_EQ(Events().Events(),
            (std::vector<std::string>{
                "status Loading settings...", "status Connecting...", "start reader pts/9 4800",
                "status Waiting for GPS-data...", "image 107", "status Saving...",
                "clipboard " + url, "status ", "stop reader",
                "message Quarvel! URL copied in your clipboard succefully! flags 0"}));
  EXPECT_EQ(Narrow(PublishedText()), url);
}

TEST_F(FlowTest, StopBeforeTheFirstPollStillOpensAndStops) {
  const int status = Run(u"pts/9 n 0 1 1", [](const std::string& event, int) {
    if (event == "status Connecting...") RequestStop();
  });
  EXPECT_EQ(status, kExitStopped);
  EXPECT_EQ(Events().Events(), Join({{"status Loading settings..."},
                                     kRadioOnFromOff,
                                     {"status Connecting...", "start reader pts/9 4800",
                                      "status Waiting for GPS-data...", "status ", "stop reader"},
                                     kRadioOffFromOn}));
  EXPECT_TRUE(Clipboard().text.empty());
}

TEST_F(FlowTest, StopWhileWaitingEndsAfterThatPoll) {
  const int status = Run(u"pts/9 n 0 0 1", [](const std::string& event, int polls) {
    if (event.rfind("image", 0) == 0 && polls == 2) RequestStop();
  });
  EXPECT_EQ(status, kExitStopped);
  EXPECT_EQ(Events().Events(),
            (std::vector<std::string>{"status Loading settings...", "status Connecting...",
                                      "start reader pts/9 4800", "status Waiting for GPS-data...",
                                      "image 107", "image 108", "status ", "stop reader"}));
  EXPECT_EQ(PublishedText(), u"");
}

TEST_F(FlowTest, StopDuringTheLastSecondPublishesWithoutMessage) {
  const std::string text = CoordinatesText();
  const int status = Run(u"pts/9 n 0 1 1", [](const std::string& event, int polls) {
    if (event.rfind("image", 0) == 0 && polls == 2) {
      RequestStop();
      ParseNmeaSentence(kFixSentence);
    }
  });
  EXPECT_EQ(status, kExitPublished);
  EXPECT_EQ(Events().Events(),
            Join({{"status Loading settings..."},
                  kRadioOnFromOff,
                  {"status Connecting...", "start reader pts/9 4800",
                   "status Waiting for GPS-data...", "image 107", "image 108", "image 107",
                   "status Saving...", "clipboard " + text, "status ", "stop reader"},
                  kRadioOffFromOn}));
}

TEST_F(FlowTest, StopWhilePublishingSuppressesTheMessage) {
  const int status = Run(u"pts/9 n 0 0 0", [](const std::string& event, int polls) {
    if (event.rfind("image", 0) == 0 && polls == 1) ParseNmeaSentence(kFixSentence);
    if (event == "status Saving...") RequestStop();
  });
  EXPECT_EQ(status, kExitPublished);
  const std::vector<std::string> events = Events().Events();
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back(), "stop reader") << "no message after a stop, even once published";
}

TEST_F(FlowTest, PortFailureWithBluetoothSwitchesTheRadioBackOff) {
  Reader().startResult = false;
  const int status = Run(u"ttyUSB7 n 0 1 1");
  EXPECT_EQ(status, kExitPortFailed);
  EXPECT_EQ(Events().Events(), Join({{"status Loading settings..."},
                                     kRadioOnFromOff,
                                     {"status Connecting...", "start reader ttyUSB7 4800",
                                      "message Error! Error Opening Comms Port. flags 16"},
                                     kRadioOffFromOn}));
}

TEST_F(FlowTest, APortStillOpeningIsGivenUpAtStopOrAtTheDeadlineWithoutAWord) {
  Reader().opensForever = true;
  const struct {
    const char* name;
    bool pressStop;
    int status;
  } cases[] = {{"Stop", true, kExitStopped}, {"deadline", false, kExitTimedOut}};
  for (const auto& c : cases) {
    Events().Clear();
    RunOptions options;
    if (!c.pressStop) options.timeout = std::chrono::seconds(1);
    const int status = Run(
        u"tcp:192.0.2.1:10110 n 0 1 1",
        [&](const std::string& event, int) {
          if (c.pressStop && event == "status Connecting...") RequestStop();
        },
        options);
    EXPECT_EQ(status, c.status) << c.name;
    EXPECT_EQ(
        Events().Events(),
        Join({{"status Loading settings..."},
              kRadioOnFromOff,
              {"status Connecting...", "start reader tcp:192.0.2.1:10110 4800", "start given up"},
              kRadioOffFromOn}))
        << c.name << ": no message box, the radio switched back off";
  }
}

TEST_F(FlowTest, ClipboardFailureIsAnErrorNotASuccess) {
  Clipboard().failing = true;
  const int status = Run(u"pts/9 n 0 0 1", FixAtPoll(1));
  EXPECT_EQ(status, kExitClipboardFailed);
  const std::vector<std::string> events = Events().Events();
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[events.size() - 2], "stop reader");
  EXPECT_EQ(events.back(),
            "message Error! The position could not be copied to the clipboard. flags 16");
  EXPECT_EQ(Narrow(PublishedText()), CoordinatesText()) << "the position is still handed back";
}

TEST_F(FlowTest, RunWithoutClipboardHandsTheTextBackWithoutAMessage) {
  const std::string url = UrlText(u"k", true);
  RunOptions options;
  options.useClipboard = false;
  const int status = Run(u"pts/9 k 1 0 0", FixAtPoll(1), options);
  EXPECT_EQ(status, kExitPublished);
  EXPECT_EQ(Events().Events(),
            (std::vector<std::string>{"status Loading settings...", "status Connecting...",
                                      "start reader pts/9 4800", "status Waiting for GPS-data...",
                                      "image 107", "status Saving...", "status ", "stop reader"}));
  EXPECT_EQ(Narrow(PublishedText()), url);
  EXPECT_TRUE(Clipboard().text.empty());
}

TEST_F(FlowTest, TimeoutEndsAWaitWithoutPositionButNotOneThatFoundIt) {
  SetLocatorPollInterval(std::chrono::milliseconds(5000));  // the deadline cuts a poll short
  RunOptions options;
  options.timeout = std::chrono::seconds(1);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Run(u"pts/9 n 0 0 1", {}, options), kExitTimedOut);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
  EXPECT_EQ(Events().Events().back(), "stop reader") << "no message box for a time-out";
  EXPECT_EQ(PublishedText(), u"");

  SetLocatorPollInterval(std::chrono::milliseconds(20));
  EXPECT_EQ(Run(u"pts/9 n 0 0 1", FixAtPoll(2), options), kExitPublished);
}

TEST_F(FlowTest, CloseMidRunEndsAtOnceWithoutStoppingOrSwitchingOff) {
  closedMidRun = true;
  const int status = Run(u"pts/9 n 0 1 1", [](const std::string& event, int polls) {
    if (event.rfind("image", 0) == 0 && polls == 2) {
      PostDialogMessage(ModelActiveDialog(), kWmClose, 0, 0);
    }
  });
  EXPECT_EQ(status, kExitStopped);
  const std::vector<std::string> events = Events().Events();
  EXPECT_EQ(std::count(events.begin(), events.end(), "stop reader"), 0);
  EXPECT_EQ(std::count(events.begin(), events.end(), "status Bluetooth deactivation"), 0);
  EXPECT_EQ(Bluetooth().mode, 1u) << "the radio stays on: the process would end here";
}

TEST_F(FlowTest, EquatorNeverEndsTheWait) {
  const int status = Run(u"pts/9 n 0 0 1", [](const std::string& event, int polls) {
    if (event.rfind("image", 0) != 0) return;
    if (polls == 1)
      ParseNmeaSentence("$GPGGA,123519,0000.000,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*");
    if (polls == 4) RequestStop();
  });
  EXPECT_EQ(status, kExitStopped);
  EXPECT_EQ(PublishedText(), u"");
}

TEST_F(FlowTest, VoidStatusStillEndsTheWait) {
  const std::string text = CoordinatesText();
  const int status = Run(u"pts/9 n 0 0 1", [](const std::string& event, int polls) {
    if (event.rfind("image", 0) == 0 && polls == 1) {
      ParseNmeaSentence("$GPRMC,123519,V,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*");
      ParseNmeaSentence(kFixSentence);
    }
  });
  EXPECT_EQ(status, kExitPublished);
  EXPECT_EQ(Narrow(PublishedText()), text);
}

TEST_F(FlowTest, StopButtonAndActivationAsTheProcedureSeesThem) {
  // Stop is control 1013 only; another id changes nothing.
  const int status = Run(u"pts/9 n 0 0 1", [](const std::string& event, int polls) {
    if (event.rfind("image", 0) != 0) return;
    DialogHandle dialog = ModelActiveDialog();
    if (polls == 1) {
      PostDialogMessage(dialog, kWmCommand, MakeWParam(IDC_TITLE, kBnClicked), 0);
      PostDialogMessage(dialog, kWmActivate, kWaActive, 0);
    }
    if (polls == 3) ModelClick(dialog, IDC_STOP);
  });
  EXPECT_EQ(status, kExitStopped);
  const std::vector<std::string> events = Events().Events();
  EXPECT_GE(std::count(events.begin(), events.end(), "image 108"), 1)
      << "the run went on after a command of another control";
}

// The line under the status text while the worker waits: what the reader
// says at each poll, gone before the next status text.
TEST_F(FlowTest, TheWaitShowsWhatTheReaderWaitsOnAndOnlyTheWait) {
  std::vector<std::string> seen;  // the detail when each status text or image came
  const int status = Run(u"pts/9 n 0 0 1", [&](const std::string& event, int polls) {
    // The handle the procedure stored before the worker started: the model may not
    // mark the dialog active until WM_INITDIALOG has returned, after the first status.
    const auto detail = ModelControlState(Locator().dialog.load(), IDC_WAIT_DETAIL);
    seen.push_back(event + " | " + (detail ? Narrow(detail->text) : "(no control)"));
    if (event.rfind("image", 0) == 0 && polls == 1) {
      SetReaderWaitDetail(u"9 satellites in view, no fix yet");
    }
    if (event.rfind("image", 0) == 0 && polls == 2) ParseNmeaSentence(kFixSentence);
  });
  EXPECT_EQ(status, kExitPublished);
  EXPECT_EQ(seen,
            (std::vector<std::string>{
                "status Loading settings... | ", "status Connecting... | ",
                "status Waiting for GPS-data... | ", "image 107 | no data from the port yet",
                "image 108 | 9 satellites in view, no fix yet", "image 107 | ",
                "status Saving... | ", "status  | ",
                "message Quarvel! Coordinates copied in your clipboard succefully! flags 0 | "}));
}

// Under each final message's exact text: what was copied, or why nothing was
// and where the position is instead.
TEST_F(FlowTest, FinalMessagesShowWhatWasCopiedOrWhyNot) {
  const std::string coordinates = CoordinatesText(), url = UrlText(u"k", true);
  const struct {
    const char16_t* commandLine;
    bool clipboardFails;
    bool onStandardOutput;
    std::string detail;
  } cases[] = {
      {u"pts/9 n 0 0 1", false, false, coordinates},
      {u"pts/9 k 1 0 0", false, true, url},
      {u"pts/9 n 0 0 1", true, false, "the test's clipboard refuses\nThe position: " + coordinates},
      {u"pts/9 k 1 0 0", true, true,
       "the test's clipboard refuses\nThe position is on standard output: " + url},
  };
  for (const auto& c : cases) {
    ResetFakes();
    ResetGpsState();
    Clipboard().failing = c.clipboardFails;
    RunOptions options;
    options.positionOnStandardOutput = c.onStandardOutput;
    Run(c.commandLine, FixAtPoll(1), options);
    EXPECT_EQ(BoxDetails(), std::vector<std::string>{c.detail})
        << Narrow(c.commandLine) << (c.clipboardFails ? ", clipboard refusing" : "");
  }
}

}  // namespace
