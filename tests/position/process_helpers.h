// Child processes for the clipboard tests: a private X server, programs whose
// output is captured, and test code run in a child with its own environment.
#pragma once

#include <sys/types.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The full path of a program on PATH, or empty.
std::string FindProgram(const std::string& name);

// An Xvfb on a display number it chose itself; stopped when destroyed.
class XServer {
 public:
  XServer();
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;
  bool running() const { return pid_ > 0; }
  const std::string& display() const { return display_; }
  const std::string& error() const { return error_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
  std::string error_;
};

// Environment changes for a child: a value sets the variable, nullopt removes it.
using EnvironmentChanges = std::map<std::string, std::optional<std::string>>;

struct RunResult {
  int exitCode = -1;  // -1: did not end in time or could not start
  std::string output;
};

// Runs a program with its standard output captured.
RunResult RunProgram(const std::vector<std::string>& argv, const EnvironmentChanges& changes);

struct ChildOptions {
  EnvironmentChanges environment;
  bool newSession = false;     // no controlling terminal
  std::string controllingTty;  // a terminal to become the controlling one
  std::string stderrPath = "/dev/null";
  bool captureOutput = false;  // stdout and stderr into RunResult::output
};

// Runs body in a forked child; the exit code is body's result. With
// captureOutput the parent reads until every holder of the pipe closed it.
RunResult RunInChild(const std::function<int()>& body, const ChildOptions& options);

// A fresh temporary directory, removed with its content when destroyed.
class TempDirectory {
 public:
  TempDirectory();
  ~TempDirectory();
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};
