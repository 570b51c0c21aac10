// The terminal front end on a real pseudo-terminal and on a pipe: drawing,
// keys, message boxes, signals and the terminal's restoration.
#include "dialog_driver.h"
#include "platform/posix/terminal/terminal_status.h"
#include "resources/resource_ids.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

std::atomic<int> stops{0}, closes{0};

intptr_t StatusProc(DialogHandle dialog, unsigned message, uintptr_t wParam, intptr_t) {
  if (message == kWmCommand && LowWord(wParam) == IDC_STOP && ++stops == 1)
    EndDialogWith(dialog, 1);
  if (message == kWmClose) {
    ++closes;
    EndDialogWith(dialog, 0);
  }
  return 0;
}

// Collects what the front end writes, until a wanted text shows up.
class Output {
 public:
  explicit Output(int fd) : fd_(fd) {}
  bool WaitFor(const std::string& wanted) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (text_.find(wanted, from_) == std::string::npos) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, 100) <= 0) continue;
      char buffer[512];
      const ssize_t n = read(fd_, buffer, sizeof buffer);
      if (n > 0) text_.append(buffer, size_t(n));
    }
    from_ = text_.find(wanted, from_) + wanted.size();
    return true;
  }
  const std::string& Text() const { return text_; }

 private:
  int fd_;
  std::string text_;
  size_t from_ = 0;
};

class PseudoTerminal : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TERM", "xterm", 1);
    unsetenv("NO_COLOR");
    stops = 0;
    closes = 0;
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master_, 0);
    ASSERT_EQ(grantpt(master_), 0);
    ASSERT_EQ(unlockpt(master_), 0);
    slave_ = open(ptsname(master_), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave_, 0);
    // A Quarvel of a concurrent test whose receiver went away keeps reopening
    // its pts/N by name, and N is reused at once: without the lock its reader
    // would take this terminal and eat the keys typed here.
    ASSERT_EQ(flock(slave_, LOCK_EX | LOCK_NB), 0);
  }
  void TearDown() override {
    close(slave_);
    close(master_);
  }
  void Type(const std::string& keys) {
    ASSERT_EQ(write(master_, keys.data(), keys.size()), ssize_t(keys.size()));
  }
  bool Canonical() {
    termios now{};
    tcgetattr(slave_, &now);
    return (now.c_lflag & ICANON) && (now.c_lflag & ECHO);
  }
  int master_ = -1, slave_ = -1;
};

TEST_F(PseudoTerminal, DrawsTheStatusLineAndStopsOnQ) {
  Output out(master_);
  std::future<intptr_t> run;
  {
    TerminalStatusFrontEnd frontEnd({slave_, slave_, false, false});
    EXPECT_FALSE(Canonical()) << "keys must be read in raw mode";
    run = StartDialog(IDD_STATUS, StatusProc);
    DialogHandle dialog = ModelWaitForDialog(IDD_STATUS, kPatience);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(out.WaitFor("Quarvel 4.0")) << out.Text();
    EXPECT_TRUE(out.WaitFor("\x1b[40m  \x1b[0m")) << "black before the first poll: " << out.Text();
    SetControlText(dialog, IDC_STATUS_LINE, u"Waiting for GPS-data...");
    EXPECT_TRUE(out.WaitFor("\r\x1b[K\x1b[40m  \x1b[0m Waiting for GPS-data...")) << out.Text();
    SetControlImage(dialog, IDC_INDICATOR, IDB_INDICATOR_GREEN);
    EXPECT_TRUE(out.WaitFor("\x1b[42m  \x1b[0m Waiting for GPS-data...")) << out.Text();
    SetControlImage(dialog, IDC_INDICATOR, IDB_INDICATOR_RED);
    EXPECT_TRUE(out.WaitFor("\x1b[41m  \x1b[0m Waiting for GPS-data...")) << out.Text();
    EXPECT_TRUE(out.WaitFor("Esc/q: Stop")) << out.Text();
    Type("\x1b[A");  // an arrow key is not Esc
    Type("q");
    EXPECT_EQ(Finish(run), 1);
    EXPECT_EQ(stops.load(), 1) << "the arrow key must not stop";
  }
  EXPECT_TRUE(Canonical()) << "the terminal must be restored";
}

// The wait detail is control 1016, which the worker fills while it waits and
// empties before the next status text; the terminal puts it after the status.
TEST_F(PseudoTerminal, TheWaitAloneShowsItsDetailRenewedAtEachBlink) {
  Output out(master_);
  TerminalStatusFrontEnd frontEnd({slave_, slave_, false, false});
  std::future<intptr_t> run = StartDialog(IDD_STATUS, StatusProc);
  DialogHandle dialog = ModelWaitForDialog(IDD_STATUS, kPatience);
  ASSERT_NE(dialog, nullptr);
  SetControlText(dialog, IDC_STATUS_LINE, u"Connecting...");
  EXPECT_TRUE(out.WaitFor("\x1b[0m Connecting...   ")) << out.Text();
  SetControlText(dialog, IDC_STATUS_LINE, u"Waiting for GPS-data...");
  SetControlText(dialog, IDC_WAIT_DETAIL, u"no data from the port yet");
  EXPECT_TRUE(out.WaitFor(" Waiting for GPS-data... (no data from the port yet)   ")) << out.Text();
  SetControlText(dialog, IDC_WAIT_DETAIL, u"9 satellites in view, no fix yet");
  SetControlImage(dialog, IDC_INDICATOR, IDB_INDICATOR_GREEN);
  EXPECT_TRUE(
      out.WaitFor("\x1b[42m  \x1b[0m Waiting for GPS-data... (9 satellites in view, no fix yet)"))
      << out.Text();
  SetControlText(dialog, IDC_WAIT_DETAIL, u"");
  SetControlText(dialog, IDC_STATUS_LINE, u"Saving...");
  EXPECT_TRUE(out.WaitFor("\x1b[0m Saving...   ")) << out.Text();
  Type("q");
  EXPECT_EQ(Finish(run), 1);
}

// A box's detail goes on the line under its text, before the key hint.
TEST_F(PseudoTerminal, MessageBoxDetailFollowsOnTheNextLine) {
  Output out(master_);
  TerminalStatusFrontEnd frontEnd({slave_, slave_, false, false});
  std::thread worker([] {
    ShowMessageBox(nullptr, u"Error Opening Comms Port.", u"Error!", kMbIconError,
                   u"/dev/ttyUSB7: No such file or directory");
  });
  EXPECT_TRUE(
      out.WaitFor("Error! Error Opening Comms Port.\r\n/dev/ttyUSB7: No such file or "
                  "directory  \x1b[2m[Enter]"))
      << out.Text();
  Type("\r");
  worker.join();
}

TEST_F(PseudoTerminal, LoneEscapeStops) {
  TerminalStatusFrontEnd frontEnd({slave_, slave_, false, false});
  auto run = StartDialog(IDD_STATUS, StatusProc);
  ASSERT_NE(ModelWaitForDialog(IDD_STATUS, kPatience), nullptr);
  Type("\x1b");
  EXPECT_EQ(Finish(run), 1);
}

TEST_F(PseudoTerminal, StopTypedBeforeTheDialogIsUpIsKept) {
  TerminalStatusFrontEnd frontEnd({slave_, slave_, false, false});
  Type("q");
  auto run = StartDialog(IDD_STATUS, StatusProc);
  EXPECT_EQ(Finish(run), 1);
}

TEST_F(PseudoTerminal, MessageBoxWaitsForEnter) {
  Output out(master_);
  TerminalStatusFrontEnd frontEnd({slave_, slave_, false, false});
  const struct {
    unsigned flags;
    std::string keys;
    int answer;
  } cases[] = {{kMbOk, "\r", kIdOk},
               {kMbOk, "x\r", kIdOk},
               {kMbYesNo, "y", kIdYes},
               {kMbYesNo, "n", kIdNo},
               {kMbYesNo, "\r", kIdNo}};
  for (const auto& c : cases) {
    std::atomic<int> answer{-1};
    std::thread worker([&] {
      answer = ShowMessageBox(nullptr, u"URL copied in your clipboard succefully!", u"Quarvel!",
                              c.flags);
    });
    EXPECT_TRUE(out.WaitFor("Quarvel! URL copied in your clipboard succefully!")) << out.Text();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(answer.load(), -1) << "the box returned before a key";
    Type(c.keys);
    worker.join();
    EXPECT_EQ(answer.load(), c.answer) << "flags " << c.flags << ", keys " << c.keys.size();
  }
}

TEST_F(PseudoTerminal, FrontEndGoneWhileABoxWaitsAnswersItsDefault) {
  Output out(master_);
  std::atomic<int> answer{-1};
  std::thread worker;
  {
    TerminalStatusFrontEnd frontEnd({slave_, slave_, false, false});
    worker =
        std::thread([&] { answer = ShowMessageBox(nullptr, u"Overwrite?", u"Quarvel", kMbYesNo); });
    EXPECT_TRUE(out.WaitFor("Quarvel Overwrite? [y/n] ")) << out.Text();
  }
  worker.join();
  EXPECT_EQ(answer.load(), kIdNo) << "the box must end with its default when its front end goes";
  EXPECT_TRUE(Canonical()) << "the terminal must be restored";
}

TEST_F(PseudoTerminal, SignalsStopThenClose) {
  TerminalStatusFrontEnd frontEnd({slave_, slave_, true, false});
  auto run = StartDialog(
      IDD_STATUS,
      [](DialogHandle dialog, unsigned message, uintptr_t wParam, intptr_t) -> intptr_t {
        if (message == kWmCommand && LowWord(wParam) == IDC_STOP) ++stops;
        if (message == kWmClose) EndDialogWith(dialog, 9);
        return 0;
      });
  ASSERT_NE(ModelWaitForDialog(IDD_STATUS, kPatience), nullptr);
  raise(SIGINT);
  for (int i = 0; i < 2000 && stops == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(stops.load(), 1) << "the first signal is Stop";
  raise(SIGTERM);
  EXPECT_EQ(Finish(run), 9) << "the second signal closes the dialog";
}

TEST(PlainOutput, LinesWithoutEscapesAndBoxesThatDoNotWait) {
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  const int devNull = open("/dev/null", O_RDONLY);
  Output out(pipeFds[0]);
  {
    TerminalStatusFrontEnd frontEnd({devNull, pipeFds[1], false});
    auto run = StartDialog(IDD_STATUS, StatusProc);
    DialogHandle dialog = ModelWaitForDialog(IDD_STATUS, kPatience);
    ASSERT_NE(dialog, nullptr);
    SetControlText(dialog, IDC_STATUS_LINE, u"Connecting...");
    SetControlImage(dialog, IDC_INDICATOR, IDB_INDICATOR_GREEN);
    SetControlText(dialog, IDC_STATUS_LINE, u"Waiting for GPS-data...");
    EXPECT_EQ(ShowMessageBox(nullptr, u"Coordinates copied in your clipboard succefully!",
                             u"Quarvel!", kMbOk),
              kIdOk);
    EXPECT_EQ(ShowMessageBox(nullptr, u"Overwrite?", u"Quarvel", kMbYesNo), kIdNo);
    EndDialogWith(dialog, 0);
    EXPECT_EQ(Finish(run), 0);
  }
  close(pipeFds[1]);
  EXPECT_TRUE(out.WaitFor("Quarvel Overwrite?\n")) << out.Text();
  EXPECT_EQ(out.Text(),
            "Quarvel 4.0\nConnecting...\nWaiting for GPS-data...\n"
            "Quarvel! Coordinates copied in your clipboard succefully!\nQuarvel Overwrite?\n");
  close(pipeFds[0]);
  close(devNull);
}

}  // namespace
