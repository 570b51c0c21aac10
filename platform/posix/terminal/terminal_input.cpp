// Terminal front end's input: raw keys from the terminal and signals, turned
// into Stop and close for the status dialog and answers for message boxes.
#include "platform/posix/terminal/terminal_front_end.h"
#include "resources/resource_ids.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace {

std::atomic<int> signalFd{-1};  // the front end's wake pipe, for the signal handler
static_assert(std::atomic<int>::is_always_lock_free, "read in a signal handler");
struct sigaction previous[3];
constexpr int kSignals[3] = {SIGINT, SIGTERM, SIGHUP};

void OnSignalNumber(int) {
  const int saved = errno;
  const char note = 's';
  const int fd = signalFd.load();
  if (fd >= 0) (void)!write(fd, &note, 1);
  errno = saved;
}

// Raw input that keeps the line's other settings: no line editing, no echo;
// Ctrl-C still raises SIGINT so a stuck program can always be interrupted.
bool MakeRaw(int fd, termios& saved) {
  if (tcgetattr(fd, &saved) != 0) return false;
  termios raw = saved;
  raw.c_lflag &= ~tcflag_t(ICANON | ECHO | ECHONL | IEXTEN);
  raw.c_iflag &= ~tcflag_t(ICRNL | INLCR | IGNCR | IXON);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  return tcsetattr(fd, TCSANOW, &raw) == 0;
}

}  // namespace

void TerminalStatusFrontEnd::Impl::StartInput() {
  if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) return;
  if (keys) raw = MakeRaw(options.inputFd, saved);
  if (options.handleSignals) {
    signalFd = wake[1];
    struct sigaction action = {};
    action.sa_handler = OnSignalNumber;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &action, &previous[i]);
  }
  input = std::thread([this] { InputLoop(); });
}

void TerminalStatusFrontEnd::Impl::StopInput() {
  if (options.handleSignals && signalFd == wake[1]) {
    for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &previous[i], nullptr);
    signalFd = -1;
  }
  if (input.joinable()) {
    const char note = 'x';
    (void)!write(wake[1], &note, 1);
    input.join();
  }
  {
    // No keys from now on: a box still to come must not wait for one.
    std::lock_guard lock(mutex);
    RestoreLocked();
    keys = false;
    CloseOpenBox();
  }
  for (int& fd : wake) {
    if (fd >= 0) close(fd);
    fd = -1;
  }
}

void TerminalStatusFrontEnd::Impl::InputLoop() {
  bool reading = keys;
  for (;;) {
    pollfd fds[2] = {{wake[0], POLLIN, 0}, {options.inputFd, POLLIN, 0}};
    if (poll(fds, reading ? 2 : 1, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[0].revents & POLLIN) {
      char notes[16];
      const ssize_t n = read(wake[0], notes, sizeof notes);
      for (ssize_t i = 0; i < n; ++i) {
        if (notes[i] == 'x') return;
        OnSignal();
      }
    }
    if (reading && fds[1].revents) {
      char bytes[64];
      const ssize_t n = read(options.inputFd, bytes, sizeof bytes);
      if (n > 0) {
        OnKeys(bytes, size_t(n));
      } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
        // The terminal went away: no more keys, and no box waits for one.
        reading = false;
        std::lock_guard lock(mutex);
        keys = false;
        CloseOpenBox();
      }
    }
  }
}

void TerminalStatusFrontEnd::Impl::CloseBox(int answer) {
  boxAnswer = answer;
  boxOpen = false;
  boxClosed.notify_all();
}

void TerminalStatusFrontEnd::Impl::CloseOpenBox() {
  if (boxOpen) CloseBox(DefaultMessageBoxAnswer(boxFlags));
}

void TerminalStatusFrontEnd::Impl::RestoreLocked() {
  if (raw) tcsetattr(options.inputFd, TCSANOW, &saved);
  raw = false;
}

// Length of the escape sequence at `bytes` (an arrow or function key: ESC [ or
// ESC O, parameters, a final byte); 1 for an Esc key on its own.
static size_t EscapeLength(const char* bytes, size_t count) {
  if (count < 2 || (bytes[1] != '[' && bytes[1] != 'O')) return 1;
  size_t i = 2;
  while (i < count && (bytes[i] < 0x40 || bytes[i] > 0x7E)) ++i;
  return i < count ? i + 1 : count;
}

void TerminalStatusFrontEnd::Impl::OnKeys(const char* bytes, size_t count) {
  bool stop = false;
  std::lock_guard lock(mutex);
  for (size_t i = 0; i < count;) {
    const size_t length = bytes[i] == 0x1B ? EscapeLength(bytes + i, count - i) : 1;
    const char key = length == 1 ? bytes[i] : 0;  // 0: a key without a meaning here
    i += length;
    if (boxOpen) {
      const bool yesNo = (boxFlags & kMbButtonMask) == kMbYesNo;
      if (yesNo && (key == 'y' || key == 'Y'))
        CloseBox(kIdYes);
      else if (yesNo && (key == 'n' || key == 'N' || key == 0x1B))
        CloseBox(kIdNo);
      else if (key == '\r' || key == '\n' || (!yesNo && (key == 0x1B || key == ' ' || key == 'q')))
        CloseBox(DefaultMessageBoxAnswer(boxFlags));
    } else if (key == 0x1B || key == 'q' || key == 'Q') {
      stop = true;
    }
  }
  if (stop && status) PostDialogMessage(status, kWmCommand, MakeWParam(IDC_STOP, kBnClicked), 0);
  if (stop && !status) stopPending = true;
}

void TerminalStatusFrontEnd::Impl::OnSignal() {
  int count;
  {
    std::lock_guard lock(mutex);
    count = ++signals;
    CloseOpenBox();
  }
  if (count == 1) {
    PostToStatus(kWmCommand, MakeWParam(IDC_STOP, kBnClicked));
  } else if (count == 2) {
    PostToStatus(kWmClose, 0);
  } else {
    std::lock_guard lock(mutex);
    RestoreLocked();
    _exit(130);
  }
}

void TerminalStatusFrontEnd::Impl::PostToStatus(unsigned message, uintptr_t wParam) {
  DialogHandle dialog;
  {
    std::lock_guard lock(mutex);
    dialog = status;
  }
  if (dialog) {
    PostDialogMessage(dialog, message, wParam, 0);
  } else if (message == kWmCommand) {
    std::lock_guard lock(mutex);
    stopPending = true;
  }
}
