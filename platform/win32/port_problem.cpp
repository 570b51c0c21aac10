// The last reason a port gave for failing, kept for the console.
#include "platform/win32/port_problem.h"

#include <mutex>

namespace {

std::mutex mutex;
std::string& Problem() {
  static auto* problem = new std::string;  // read while the process ends
  return *problem;
}

}  // namespace

void NotePortProblem(std::string problem) {
  std::lock_guard lock(mutex);
  Problem() = std::move(problem);
}

std::string LastPortProblem() {
  std::lock_guard lock(mutex);
  return Problem();
}
