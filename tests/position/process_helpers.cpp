// Child processes for the clipboard tests (the test binaries are single-threaded,
// so fork without exec is safe here).
#include "process_helpers.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {

constexpr auto kGenerousTimeout = std::chrono::seconds(60);

void ApplyEnvironment(const EnvironmentChanges& changes) {
  for (const auto& [name, value] : changes) {
    if (value) {
      setenv(name.c_str(), value->c_str(), 1);
    } else {
      unsetenv(name.c_str());
    }
  }
}

[[noreturn]] void Exec(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  execvp(args[0], args.data());
  _exit(127);
}

// Reads fd until end of file or the time-out; false on time-out.
bool ReadToEnd(int fd, std::string& out) {
  const auto deadline = std::chrono::steady_clock::now() + kGenerousTimeout;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
    char buffer[4096];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n == 0) return true;
    if (n < 0) {
      if (errno == EINTR) continue;
      return true;
    }
    out.append(buffer, static_cast<std::size_t>(n));
  }
}

// The exit code of a child, killing it when it does not end in time.
int WaitWithTimeout(pid_t pid) {
  const auto deadline = std::chrono::steady_clock::now() + kGenerousTimeout;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

std::string FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    const std::string candidate = dirs.substr(start, end - start) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return {};
}

XServer::XServer() {
  const std::string xvfb = FindProgram("Xvfb");
  if (xvfb.empty()) {
    error_ = "Xvfb is not installed";
    return;
  }
  int fds[2];
  if (pipe(fds) != 0) return;
  pid_ = fork();
  if (pid_ == 0) {
    close(fds[0]);
    const int devNull = open("/dev/null", O_RDWR);
    dup2(devNull, STDIN_FILENO);
    dup2(devNull, STDOUT_FILENO);
    dup2(devNull, STDERR_FILENO);
    setsid();
    Exec({xvfb, "-displayfd", std::to_string(fds[1]), "-nolisten", "tcp", "-screen", "0",
          "320x240x24"});
  }
  close(fds[1]);
  // Xvfb writes its display number once it accepts connections.
  std::string number;
  ReadToEnd(fds[0], number);
  close(fds[0]);
  while (!number.empty() && (number.back() == '\n')) number.pop_back();
  if (number.empty()) {
    error_ = "Xvfb did not report a display";
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    return;
  }
  display_ = ":" + number;
}

XServer::~XServer() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  WaitWithTimeout(pid_);
}

RunResult RunProgram(const std::vector<std::string>& argv, const EnvironmentChanges& changes) {
  int fds[2];
  RunResult result;
  if (pipe(fds) != 0) return result;
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    dup2(fds[1], STDOUT_FILENO);
    const int devNull = open("/dev/null", O_RDWR);
    dup2(devNull, STDIN_FILENO);
    dup2(devNull, STDERR_FILENO);
    ApplyEnvironment(changes);
    Exec(argv);
  }
  close(fds[1]);
  ReadToEnd(fds[0], result.output);
  close(fds[0]);
  result.exitCode = WaitWithTimeout(pid);
  return result;
}

RunResult RunInChild(const std::function<int()>& body, const ChildOptions& options) {
  int fds[2];
  RunResult result;
  if (options.captureOutput && pipe(fds) != 0) return result;
  const pid_t pid = fork();
  if (pid == 0) {
    if (options.newSession || !options.controllingTty.empty()) setsid();
    if (!options.controllingTty.empty()) {
      // The first terminal a session leader opens becomes its controlling one.
      const int tty = open(options.controllingTty.c_str(), O_RDWR);
      if (tty < 0) _exit(125);
    }
    const int devNull = open("/dev/null", O_RDWR);
    dup2(devNull, STDIN_FILENO);
    if (options.captureOutput) {
      close(fds[0]);
      dup2(fds[1], STDOUT_FILENO);
      dup2(fds[1], STDERR_FILENO);
      close(fds[1]);
    } else {
      dup2(devNull, STDOUT_FILENO);
      const int err = open(options.stderrPath.c_str(), O_WRONLY | O_NOCTTY);
      dup2(err < 0 ? devNull : err, STDERR_FILENO);
    }
    ApplyEnvironment(options.environment);
    _exit(body());
  }
  if (options.captureOutput) {
    close(fds[1]);
    if (!ReadToEnd(fds[0], result.output)) result.output += "\n<output still held open>";
    close(fds[0]);
  }
  result.exitCode = WaitWithTimeout(pid);
  return result;
}

TempDirectory::TempDirectory() {
  char pattern[] = "/tmp/quarvel-position-XXXXXX";
  if (mkdtemp(pattern)) path_ = pattern;
}

TempDirectory::~TempDirectory() {
  if (!path_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
}
