// Terminal front end of Quarvel's status dialog: the title, the status line
// redrawn in place with a coloured indicator, and the message boxes.
#include "common/utf8.h"
#include "platform/posix/terminal/terminal_front_end.h"
#include "resources/resources.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

bool WantsColour() {
  const char* term = std::getenv("TERM");
  const char* noColour = std::getenv("NO_COLOR");
  return !(term && std::strcmp(term, "dumb") == 0) && !(noColour && *noColour);
}

// The indicator square: the bitmap's colour as a two-cell block.
std::string Indicator(int imageId, bool colour) {
  const BitmapResource* bitmap = FindBitmapResource(imageId);
  const uint32_t rgb = bitmap ? bitmap->fillRgb : 0;
  const uint32_t red = rgb >> 16, green = (rgb >> 8) & 0xFF;
  if (!colour) return rgb == 0 ? "[ ]" : green > red ? "[+]" : "[x]";
  const char* background = rgb == 0 ? "40" : green > red ? "42" : "41";
  return std::string("\x1b[") + background + "m  \x1b[0m";
}

// fd is this process's controlling terminal and the process is in its foreground.
bool InForegroundOf(int fd) {
  const pid_t foreground = tcgetpgrp(fd);
  return foreground >= 0 && foreground == getpgrp();
}

// Columns of the terminal at fd; 80 when it does not say.
std::size_t Columns(int fd) {
  winsize size{};
  return ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 ? size.ws_col : 80;
}

// text cut to at most cells characters (the status texts take one cell each).
std::string CutToCells(const std::string& text, std::size_t cells) {
  std::size_t at = 0;
  for (std::size_t count = 0; at < text.size(); ++count) {
    if (count == cells) return text.substr(0, at);
    ++at;
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
  }
  return text;
}

}  // namespace

TerminalStatusFrontEnd::TerminalStatusFrontEnd(TerminalOptions options)
    : impl_(std::make_shared<Impl>(options)) {
  std::shared_ptr<Impl> impl = impl_;
  const bool terminal = isatty(options.outputFd) == 1;
  impl->quiet = terminal && options.ownTerminalOnly && !InForegroundOf(options.outputFd);
  impl->fancy = terminal && !impl->quiet;
  impl->colour = impl->fancy && WantsColour();
  impl->keys =
      isatty(options.inputFd) == 1 && (!options.ownTerminalOnly || InForegroundOf(options.inputFd));
  if (options.ownTerminalOnly) {
    // For the rest of the process: moved to the background later, a write or the
    // terminal's restoration goes through instead of stopping it, and a read
    // fails instead of stopping it (the keys then end).
    signal(SIGTTOU, SIG_IGN);
    signal(SIGTTIN, SIG_IGN);
  }
  SetModelObserver([impl](const ModelEvent& event) { impl->OnEvent(event); });
  SetMessageBoxHandler([impl](DialogHandle, const std::u16string& text,
                              const std::u16string& caption, unsigned flags,
                              const std::u16string& detail) {
    return impl->OnMessageBox(text, caption, flags, detail);
  });
  impl->StartInput();
}

TerminalStatusFrontEnd::~TerminalStatusFrontEnd() {
  SetMessageBoxHandler({});
  SetModelObserver({});
  impl_->StopInput();
}

void TerminalStatusFrontEnd::Impl::Write(const std::string& text) const {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(options.outputFd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // nowhere to draw: the run goes on regardless
    done += size_t(n);
  }
}

// The terminal has one line: the detail follows the status text.
std::u16string TerminalStatusFrontEnd::Impl::ShownLine() const {
  if (detail.empty()) return line;
  return line + u" (" + detail + u")";
}

// A line that wrapped could not be redrawn or cleared from its last row: it is
// cut to the width, the hint going first.
void TerminalStatusFrontEnd::Impl::DrawLine() {
  const std::size_t indicatorCells = colour ? 3 : 4;  // with its blank
  const std::size_t columns = Columns(options.outputFd);
  const std::size_t room = columns > indicatorCells ? columns - indicatorCells - 1 : 0;
  constexpr char kHint[] = "   Esc/q: Stop";
  const std::string text = utf8::Utf16ToUtf8(ShownLine());
  const std::string shown = CutToCells(text, room);
  std::string out = "\r\x1b[K" + Indicator(image, colour) + " " + shown;
  if (shown == text && CutToCells(text + kHint, room) == text + kHint) {
    out += colour ? "   \x1b[2mEsc/q: Stop\x1b[0m" : kHint;
  }
  Write(out);
  lineDrawn = true;
}

void TerminalStatusFrontEnd::Impl::OnEvent(const ModelEvent& event) {
  // The snapshot is taken under the lock so that the last drawing is the newest.
  std::lock_guard lock(mutex);
  const std::optional<ModelDialog> dialog = ModelSnapshot(event.dialog);
  if (event.kind == ModelEvent::DialogEnded) {
    if (event.dialog != status) return;
    if (lineDrawn) Write("\r\x1b[K");
    status = nullptr;
    lineDrawn = false;
    return;
  }
  if (!dialog || dialog->templateId != IDD_STATUS) return;
  const ModelControl* statusLine = dialog->Control(IDC_STATUS_LINE);
  const ModelControl* waitDetail = dialog->Control(IDC_WAIT_DETAIL);
  const ModelControl* indicator = dialog->Control(IDC_INDICATOR);
  const std::u16string newLine = statusLine ? statusLine->text : u"";
  const std::u16string newDetail = waitDetail ? waitDetail->text : u"";
  const int newImage = indicator ? indicator->imageId : 0;
  // The worker may set the status line before DialogStarted comes through: its
  // first change starts the drawing, so no early line is lost.
  const bool starting =
      event.dialog != status && (event.kind == ModelEvent::DialogStarted || status == nullptr);
  if (starting) {
    status = event.dialog;
    const ModelControl* title = dialog->Control(IDC_TITLE);
    const std::string text = utf8::Utf16ToUtf8(title ? title->text : u"");
    if (!quiet) Write(colour ? "\x1b[1m" + text + "\x1b[0m\n" : text + "\n");
    if (stopPending) PostDialogMessage(status, kWmCommand, MakeWParam(IDC_STOP, kBnClicked), 0);
    stopPending = false;
  } else if (event.dialog != status ||
             (newLine == line && newDetail == detail && newImage == image)) {
    return;
  }
  const bool textChanged = newLine != line || starting;
  line = newLine;
  detail = newDetail;
  image = newImage;
  if (quiet) return;
  if (fancy) {
    if (!boxOpen) DrawLine();
  } else if (textChanged && !line.empty()) {
    Write(utf8::Utf16ToUtf8(line) + "\n");
  }
}

int TerminalStatusFrontEnd::Impl::OnMessageBox(const std::u16string& text,
                                               const std::u16string& caption, unsigned flags,
                                               const std::u16string& boxDetail) {
  std::unique_lock lock(mutex);
  std::string out = lineDrawn ? "\r\x1b[K" : "";
  out += utf8::Utf16ToUtf8(caption) + " " + utf8::Utf16ToUtf8(text);
  if (!boxDetail.empty()) out += "\n" + utf8::Utf16ToUtf8(boxDetail);
  const bool yesNo = (flags & kMbButtonMask) == kMbYesNo;
  if (keys) out += yesNo ? " [y/n] " : colour ? "  \x1b[2m[Enter]\x1b[0m" : "  [Enter]";
  Write(out + (keys && yesNo ? "" : "\n"));
  int answer = DefaultMessageBoxAnswer(flags);
  if (keys && !boxOpen) {
    boxOpen = true;
    boxFlags = flags;
    boxClosed.wait(lock, [this] { return !boxOpen; });
    answer = boxAnswer;
    if (yesNo) Write("\n");
  }
  if (fancy && status) DrawLine();
  return answer;
}
