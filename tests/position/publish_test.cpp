// The clipboard with the real tools: xclip and xsel on a private Xvfb, wl-copy
// failing over to X11, OSC 52 on a real pseudo-terminal, and the failures.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "common/utf8.h"
#include "locator/position_text.h"
#include "locator/publish.h"
#include "platform/clipboard.h"
#include "process_helpers.h"

namespace {

const char16_t kCoordinates[] = u"N55°45.348 E37°37.038";
const char kCoordinatesUtf8[] =
    "N55\xC2\xB0"
    "45.348 E37\xC2\xB0"
    "37.038";
// A pair, a degree sign and a lone low surrogate.
const char16_t kAwkward[] = u"A\xD83C\xDF0D\x00B0\xDC00Z";
const char kAwkwardUtf8[] = "A\xF0\x9F\x8C\x8D\xC2\xB0\xEF\xBF\xBDZ";

// The start of every map URL, from the one place that names the host.
std::string UrlStart() {
  std::string start = "http://";
  for (const char16_t* c = kMapHost; *c; ++c) start += static_cast<char>(*c);
  return start + "/quarvel/?";
}

EnvironmentChanges NoDisplay() {
  return {{"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt}};
}

class X11Clipboard : public testing::Test {
 protected:
  void SetUp() override {
    xclip_ = FindProgram("xclip");
    xsel_ = FindProgram("xsel");
    if (xclip_.empty()) GTEST_SKIP() << "xclip is not installed";
    server_ = std::make_unique<XServer>();
    if (!server_->running()) GTEST_SKIP() << server_->error();
  }

  EnvironmentChanges OnDisplay() const {
    return {{"DISPLAY", server_->display()}, {"WAYLAND_DISPLAY", std::nullopt}};
  }

  // Puts text on the clipboard from a child that then exits, so what is read
  // afterwards is what outlives the program. Returns the child's verdict.
  int PutFromChild(const std::u16string& text, EnvironmentChanges environment) {
    ChildOptions options;
    options.environment = std::move(environment);
    options.newSession = true;
    return RunInChild([&] { return PutTextOnClipboard(text) ? 0 : 1; }, options).exitCode;
  }

  // The clipboard as another program sees it; polled, since the serving child
  // may still be taking over when the helper has exited.
  std::string ReadClipboard(const std::string& expected) const {
    RunResult result;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    do {
      result = RunProgram({xclip_, "-selection", "clipboard", "-o"}, OnDisplay());
      if (result.exitCode == 0 && result.output == expected) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < deadline);
    return result.output;
  }

  std::string xclip_, xsel_;
  std::unique_ptr<XServer> server_;
};

TEST_F(X11Clipboard, XclipHoldsTheExactTextAfterTheProgramEnded) {
  const struct {
    const char16_t* text;
    const char* utf8;
  } cases[] = {{kCoordinates, kCoordinatesUtf8}, {kAwkward, kAwkwardUtf8}};
  for (const auto& c : cases) {
    ASSERT_EQ(PutFromChild(c.text, OnDisplay()), 0) << "PutTextOnClipboard reported failure";
    EXPECT_EQ(ReadClipboard(c.utf8), c.utf8) << "clipboard content (no line end expected)";
  }
}

TEST_F(X11Clipboard, XselServesWhenXclipIsMissing) {
  if (xsel_.empty()) GTEST_SKIP() << "xsel is not installed";
  TempDirectory onlyXsel;
  ASSERT_EQ(symlink(xsel_.c_str(), (onlyXsel.path() + "/xsel").c_str()), 0);
  EnvironmentChanges environment = OnDisplay();
  environment["PATH"] = onlyXsel.path();
  ASSERT_EQ(PutFromChild(kCoordinates, environment), 0) << "xsel alone should serve";
  EXPECT_EQ(ReadClipboard(kCoordinatesUtf8), kCoordinatesUtf8);
}

TEST_F(X11Clipboard, MissingHelpersAreAFailure) {
  TempDirectory empty;
  EnvironmentChanges environment = OnDisplay();
  environment["PATH"] = empty.path();
  EXPECT_EQ(PutFromChild(kCoordinates, environment), 1) << "no xclip or xsel on PATH";
}

TEST_F(X11Clipboard, HelpersThatCannotReachTheDisplayAreAFailure) {
  EnvironmentChanges environment = OnDisplay();
  environment["DISPLAY"] = "unix:65000";  // no such server
  EXPECT_EQ(PutFromChild(kCoordinates, environment), 1) << "xclip and xsel exit non-zero";
}

TEST_F(X11Clipboard, WaylandWithoutCompositorFallsBackToX11) {
  EnvironmentChanges environment = OnDisplay();
  environment["WAYLAND_DISPLAY"] = "quarvel-no-such-wayland-socket";
  ASSERT_EQ(PutFromChild(kCoordinates, environment), 0);
  EXPECT_EQ(ReadClipboard(kCoordinatesUtf8), kCoordinatesUtf8);
}

TEST_F(X11Clipboard, HelperDoesNotHoldTheCallersOutputOpen) {
  ChildOptions options;
  options.environment = OnDisplay();
  options.captureOutput = true;
  const RunResult result =
      RunInChild([] { return PutTextOnClipboard(kCoordinates) ? 0 : 1; }, options);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.output, "") << "nothing may be printed, and the pipe must reach its end";
}

TEST_F(X11Clipboard, HelperInheritsNoOtherDescriptor) {
  ChildOptions options;
  options.environment = OnDisplay();
  options.captureOutput = true;
  // An inheritable copy of the captured pipe stands for a port or socket that
  // the serving child must not keep open after the program ended.
  const RunResult result = RunInChild(
      [] {
        if (dup2(STDOUT_FILENO, 40) != 40) return 2;
        return PutTextOnClipboard(kCoordinates) ? 0 : 1;
      },
      options);
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.output, "") << "the pipe must reach its end";
}

TEST_F(X11Clipboard, PublishPositionPutsTheChosenText) {
  const struct {
    double latitude, longitude;
    Settings settings;
    PublishResult result;
    std::string text;
  } cases[] = {
      {-22.9068, -43.1729, Settings{u"COM1:", u"h", 1, 0, 1}, PublishResult::Coordinates,
       "S22\xC2\xB0"
       "54.408 W43\xC2\xB0"
       "10.373"},
      {55.7558, 37.6173, Settings{u"COM1:", u"h", 1, 0, 0}, PublishResult::MapUrl,
       UrlStart() + "lat=55.7558&lon=37.6173&t=h&s=1"},
      {0.05, -43.1729, Settings{u"COM1:", u"", 0, 0, 0}, PublishResult::MapUrl,
       UrlStart() + "lat=5.e-002&lon=-43.1729"},
  };
  for (const auto& c : cases) {
    ChildOptions options;
    options.environment = OnDisplay();
    const int result =
        RunInChild(
            [&] { return static_cast<int>(PublishPosition(c.latitude, c.longitude, c.settings)); },
            options)
            .exitCode;
    EXPECT_EQ(result, static_cast<int>(c.result)) << c.text;
    EXPECT_EQ(ReadClipboard(c.text), c.text);
  }
}

TEST_F(X11Clipboard, CopyTextToClipboardCutsToItsBlock) {
  const std::u16string longText(300, u'x');
  std::u16string pairAtCut(98, u'y');
  pairAtCut += u"\xD83C\xDF0Dz";  // the pair would straddle the 100th unit
  const struct {
    std::u16string text;
    std::size_t blockBytes;
    std::string expected;
  } cases[] = {
      {longText, kCoordinatesBlockBytes, std::string(99, 'x')},
      {longText, kMapUrlBlockBytes, std::string(254, 'x')},
      {pairAtCut, kCoordinatesBlockBytes, std::string(98, 'y')},
  };
  for (const auto& c : cases) {
    ChildOptions options;
    options.environment = OnDisplay();
    const int result =
        RunInChild([&] { return CopyTextToClipboard(c.text.c_str(), c.blockBytes) ? 0 : 1; },
                   options)
            .exitCode;
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadClipboard(c.expected), c.expected) << "block of " << c.blockBytes << " bytes";
  }
}

TEST(ClipboardFailure, NoDisplayAndNoTerminal) {
  ChildOptions options;
  options.environment = NoDisplay();
  options.newSession = true;  // no controlling terminal, stderr to /dev/null
  EXPECT_EQ(RunInChild([] { return PutTextOnClipboard(kCoordinates) ? 0 : 1; }, options).exitCode,
            1);
  EXPECT_EQ(
      RunInChild([] { return static_cast<int>(PublishPosition(1.5, 2.5, Settings{})); }, options)
          .exitCode,
      static_cast<int>(PublishResult::None))
      << "a failed publication is reported as nothing published";
}

TEST(ClipboardFailure, WaylandWithoutCompositorAndNoX11) {
  if (FindProgram("wl-copy").empty()) GTEST_SKIP() << "wl-copy is not installed";
  ChildOptions options;
  options.environment = NoDisplay();
  options.environment["WAYLAND_DISPLAY"] = "quarvel-no-such-wayland-socket";
  options.newSession = true;
  EXPECT_EQ(RunInChild([] { return PutTextOnClipboard(kCoordinates) ? 0 : 1; }, options).exitCode,
            1)
      << "wl-copy exits non-zero; a terminal is not tried in a graphical session";
}

// What PutTextOnClipboard says when it fails, written by a child that has no
// controlling terminal; the reason alone reaches the captured output.
std::string RefusalReason(EnvironmentChanges environment) {
  ChildOptions options;
  options.environment = std::move(environment);
  options.newSession = true;
  options.captureOutput = true;
  const RunResult result = RunInChild(
      [] {
        std::u16string why;
        if (PutTextOnClipboard(kCoordinates, &why)) return 0;
        const std::string text = utf8::Utf16ToUtf8(why);
        return write(STDOUT_FILENO, text.data(), text.size()) < 0 ? 2 : 1;
      },
      options);
  return result.exitCode == 1 ? result.output : "(exit " + std::to_string(result.exitCode) + ")";
}

TEST(ClipboardFailure, SaysWhy) {
  TempDirectory empty;
  const struct {
    EnvironmentChanges environment;
    std::string reason;
  } cases[] = {
      {NoDisplay(), "no display, no tmux and no terminal to take it"},
      {{{"DISPLAY", ":1"}, {"WAYLAND_DISPLAY", std::nullopt}, {"PATH", empty.path()}},
       "no clipboard tool installed (xclip or xsel)"},
      {{{"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", "wayland-1"}, {"PATH", empty.path()}},
       "no clipboard tool installed (wl-copy)"},
      {{{"DISPLAY", ":1"}, {"WAYLAND_DISPLAY", "wayland-1"}, {"PATH", empty.path()}},
       "no clipboard tool installed (wl-copy or xclip or xsel)"},
      {{{"DISPLAY", std::nullopt},
        {"WAYLAND_DISPLAY", std::nullopt},
        {"TMUX", "/tmp/x,1,0"},
        {"PATH", empty.path()}},
       "no clipboard tool installed (tmux)"},
  };
  for (const auto& c : cases) {
    std::string where;
    for (const auto& [name, value] : c.environment) where += name + "=" + value.value_or("") + " ";
    EXPECT_EQ(RefusalReason(c.environment), c.reason) << where;
  }
}

TEST_F(X11Clipboard, HelpersThatCannotReachTheDisplaySayWhich) {
  EnvironmentChanges environment = OnDisplay();
  environment["DISPLAY"] = "unix:65000";  // no such server
  EXPECT_EQ(RefusalReason(environment),
            (xsel_.empty() ? "xclip" : "xclip or xsel") +
                std::string(" could not set the clipboard of display unix:65000"));
}

// A pseudo-terminal pair whose master side the test reads.
class Terminal {
 public:
  Terminal() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) {
      slave_ = ptsname(master_);
    }
  }
  ~Terminal() {
    if (master_ >= 0) close(master_);
  }
  const std::string& slave() const { return slave_; }

  // What the program wrote, up to the first BEL, which ends an OSC sequence.
  std::string ReadSequence() const { return ReadUntil("\a"); }
  std::string ReadUntil(const std::string& end) const {
    std::string out;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (out.find(end) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
      pollfd p{master_, POLLIN, 0};
      if (poll(&p, 1, 100) <= 0) continue;
      char buffer[256];
      const ssize_t n = read(master_, buffer, sizeof buffer);
      if (n <= 0) break;
      out.append(buffer, static_cast<std::size_t>(n));
    }
    return out;
  }

 private:
  int master_ = -1;
  std::string slave_;
};

const char kOsc52Coordinates[] = "\x1b]52;c;TjU1wrA0NS4zNDggRTM3wrAzNy4wMzg=\a";
const char kOsc52Awkward[] = "\x1b]52;c;QfCfjI3CsO+/vVo=\a";

TEST(TerminalClipboard, Osc52ToTheControllingTerminal) {
  const struct {
    const char16_t* text;
    const char* sequence;
  } cases[] = {{kCoordinates, kOsc52Coordinates}, {kAwkward, kOsc52Awkward}};
  for (const auto& c : cases) {
    Terminal terminal;
    ASSERT_FALSE(terminal.slave().empty());
    ChildOptions options;
    options.environment = NoDisplay();
    options.controllingTty = terminal.slave();
    const int result =
        RunInChild([&] { return PutTextOnClipboard(c.text) ? 0 : 1; }, options).exitCode;
    EXPECT_EQ(result, 0);
    EXPECT_EQ(terminal.ReadSequence(), c.sequence);
  }
}

TEST(TerminalClipboard, Osc52ToStandardErrorWithoutControllingTerminal) {
  Terminal terminal;
  ASSERT_FALSE(terminal.slave().empty());
  ChildOptions options;
  options.environment = NoDisplay();
  options.newSession = true;
  options.stderrPath = terminal.slave();
  EXPECT_EQ(RunInChild([] { return PutTextOnClipboard(kCoordinates) ? 0 : 1; }, options).exitCode,
            0);
  // The sequence, then the note that the terminal may ignore it.
  EXPECT_EQ(terminal.ReadUntil("may ignore\r\n"),
            std::string(kOsc52Coordinates) +
                "quarvel: no display: the position went to the terminal as OSC 52, which it may "
                "ignore\r\n");  // the terminal turns LF into CR LF
}

}  // namespace
