// The clipboard on Linux: wl-copy under Wayland, xclip or xsel under X11, tmux's
// buffer inside tmux, or an OSC 52 sequence to the terminal when there is no
// display at all.
#include "platform/clipboard.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "common/utf8.h"

extern char** environ;

namespace {

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// A helper that exits early must not kill us with SIGPIPE: the signal is held
// back in this thread while we write, and a SIGPIPE we caused is taken away.
bool WriteToHelper(int fd, std::string_view data) {
  sigset_t pipeSignal, previousMask, pending;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSignal, &previousMask);
  sigpending(&pending);
  const bool wasPending = sigismember(&pending, SIGPIPE) == 1;
  const bool written = WriteAll(fd, data);
  if (!written && errno == EPIPE && !wasPending) {
    const timespec noWait{};
    sigtimedwait(&pipeSignal, nullptr, &noWait);
  }
  pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
  return written;
}

// The helper's own exit; its forked child that keeps serving the selection is
// not waited for. A helper stuck on a dead display is given up after a while.
bool WaitForExit(pid_t pid) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (done < 0 && errno != EINTR) return false;
    if (std::chrono::steady_clock::now() > deadline) {
      kill(-pid, SIGKILL);  // its own session, so its own process group
      while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

enum class HelperEnd { Done, Missing, Failed };

// Starts a helper found on PATH, detached: its own session, the text on its
// standard input, its output to /dev/null (a forked server child would
// otherwise hold a caller's captured output open), no other descriptor of ours.
HelperEnd RunHelper(const char* const* argv, std::string_view input) {
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return HelperEnd::Failed;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[0], STDIN_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
  posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
#endif

  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t noSignals, defaultSignals;
  sigemptyset(&noSignals);
  sigemptyset(&defaultSignals);
  for (int number : {SIGPIPE, SIGHUP, SIGINT, SIGTERM, SIGCHLD}) sigaddset(&defaultSignals, number);
  posix_spawnattr_setsigmask(&attributes, &noSignals);
  posix_spawnattr_setsigdefault(&attributes, &defaultSignals);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

  pid_t pid = 0;
  const int spawned =
      posix_spawnp(&pid, argv[0], &actions, &attributes, const_cast<char* const*>(argv), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[0]);
  if (spawned != 0) {
    close(pipeFds[1]);
    return spawned == ENOENT ? HelperEnd::Missing : HelperEnd::Failed;
  }
  const bool written = WriteToHelper(pipeFds[1], input);
  close(pipeFds[1]);  // end of the text: the helper takes it now
  return WaitForExit(pid) && written ? HelperEnd::Done : HelperEnd::Failed;
}

// Runs the helpers in turn until one takes the text. Otherwise *problem gets what
// became of them: "no clipboard tool installed (xclip or xsel)" when none is.
bool RunFirstHelper(const std::vector<const char* const*>& helpers, std::string_view input,
                    const std::string& where, std::string* problem) {
  std::string missing, failed;
  for (const char* const* argv : helpers) {
    const HelperEnd end = RunHelper(argv, input);
    if (end == HelperEnd::Done) return true;
    std::string& list = end == HelperEnd::Missing ? missing : failed;
    list += (list.empty() ? "" : " or ") + std::string(argv[0]);
  }
  *problem = failed.empty() ? "no clipboard tool installed (" + missing + ")"
                            : failed + " could not set the clipboard of " + where;
  return false;
}

std::string Base64(std::string_view data) {
  constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t i = 0; i < data.size(); i += 3) {
    const std::size_t count = data.size() - i < 3 ? data.size() - i : 3;
    unsigned bits = 0;
    for (std::size_t j = 0; j < 3; ++j) {
      bits = bits << 8 | (j < count ? static_cast<unsigned char>(data[i + j]) : 0u);
    }
    for (std::size_t j = 0; j < 4; ++j) {
      out += j <= count ? kAlphabet[bits >> (18 - 6 * j) & 0x3F] : '=';
    }
  }
  return out;
}

// OSC 52 asks the terminal emulator itself to set its clipboard; the
// controlling terminal first, else standard error when that is a terminal.
bool SetTerminalClipboard(std::string_view utf8) {
  const std::string sequence = "\x1b]52;c;" + Base64(utf8) + "\a";
  const int tty = open("/dev/tty", O_WRONLY | O_NOCTTY | O_CLOEXEC);
  if (tty >= 0) {
    const bool written = WriteAll(tty, sequence);
    close(tty);
    return written;
  }
  return isatty(STDERR_FILENO) && WriteAll(STDERR_FILENO, sequence);
}

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

constexpr const char* kWlCopy[] = {"wl-copy", "--type", "text/plain;charset=utf-8", nullptr};
constexpr const char* kXclip[] = {"xclip", "-selection", "clipboard", nullptr};
constexpr const char* kXsel[] = {"xsel", "--clipboard", "--input", nullptr};
// tmux swallows OSC 52 from its panes unless told otherwise; its own buffer
// takes the text, and -w passes it on to the outer terminal where tmux may.
constexpr const char* kTmux[] = {"tmux", "load-buffer", "-w", "-", nullptr};

// The clipboard that the session offers: a display's (X11 also the fallback of a
// Wayland session without wl-copy), tmux's buffer, or the terminal's.
bool PutBytes(std::string_view bytes, std::string* problem) {
  std::vector<const char* const*> helpers;
  std::string where;
  if (IsSet("WAYLAND_DISPLAY")) {
    helpers.push_back(kWlCopy);
    where = std::string("Wayland display ") + std::getenv("WAYLAND_DISPLAY");
  }
  if (IsSet("DISPLAY")) {
    helpers.insert(helpers.end(), {kXclip, kXsel});
    where += (where.empty() ? "display " : " or display ") + std::string(std::getenv("DISPLAY"));
  }
  if (!helpers.empty()) return RunFirstHelper(helpers, bytes, where, problem);
  if (IsSet("TMUX")) return RunFirstHelper({kTmux}, bytes, "this tmux", problem);
  if (!SetTerminalClipboard(bytes)) {
    *problem = "no display, no tmux and no terminal to take it";
    return false;
  }
  static constexpr char kNote[] =
      "quarvel: no display: the position went to the terminal as OSC 52, which it may ignore\n";
  (void)!write(STDERR_FILENO, kNote, sizeof kNote - 1);
  return true;
}

}  // namespace

bool PutTextOnClipboard(std::u16string_view text, std::u16string* why) {
  std::string problem;
  const bool put = PutBytes(utf8::Utf16ToUtf8(text), &problem);
  if (!put && why) *why = utf8::Utf8ToUtf16(problem);
  return put;
}
