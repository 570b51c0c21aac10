// Host names to addresses on Linux: getaddrinfo on a thread of its own, so that a stop need not wait for it.
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <thread>

#include "platform/posix/sources/network_posix.h"

namespace {

// Shared by the waiting thread and the look-up's: whichever lets go last frees it.
struct Lookup {
  std::string host, service;
  addrinfo hints{};
  int doneFd = -1;  // eventfd, readable once the answer is in
  int error = 0;
  AddressList answer;
  // Published after error and answer: what hands them over (the eventfd alone
  // orders nothing that a race detector sees).
  std::atomic<bool> done{false};
  ~Lookup() {
    if (doneFd >= 0) close(doneFd);
  }
};

void Answer(const std::shared_ptr<Lookup>& lookup) {
  lookup->error = getaddrinfo(lookup->host.c_str(), lookup->service.c_str(), &lookup->hints,
                              &lookup->answer.first);
  lookup->done.store(true, std::memory_order_release);
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = write(lookup->doneFd, &one, sizeof one);
}

NetProblem ProblemOfLookup(int error) {
  switch (error) {
    case EAI_NONAME:
#ifdef EAI_NODATA
    case EAI_NODATA:
#endif
    case EAI_FAIL: return {NetFailure::NoSuchHost, {}};
    case EAI_AGAIN: return {NetFailure::LookupFailed, {}};
    case EAI_SYSTEM: return ProblemOfErrno(errno);
    default: return {NetFailure::Other, gai_strerror(error)};
  }
}

}  // namespace

int MillisecondsUntil(std::chrono::steady_clock::time_point deadline) {
  if (deadline == std::chrono::steady_clock::time_point::max()) return -1;
  const auto left =
      std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  return left.count() <= 0 ? 0 : left.count() > 3600000 ? 3600000 : int(left.count());
}

NetProblem ProblemOfErrno(int error) {
  switch (error) {
    case ECONNREFUSED: return {NetFailure::Refused, {}};
    case ETIMEDOUT: return {NetFailure::TimedOut, {}};
    case EHOSTUNREACH:
    case EHOSTDOWN: return {NetFailure::HostUnreachable, {}};
    case ENETUNREACH:
    case ENETDOWN: return {NetFailure::NetworkUnreachable, {}};
    case EADDRINUSE: return {NetFailure::AddressInUse, {}};
    case EADDRNOTAVAIL: return {NetFailure::AddressNotHere, {}};
    case EACCES:
    case EPERM: return {NetFailure::Denied, {}};
    default: return {NetFailure::Other, std::strerror(error)};
  }
}

std::unique_ptr<AddressList> LookUpAddresses(const std::string& host, uint16_t port, int type,
                                             bool passive, int wakeFd,
                                             std::chrono::milliseconds timeout,
                                             NetProblem& problem) {
  auto lookup = std::make_shared<Lookup>();
  lookup->host = host;
  lookup->service = std::to_string(port);
  lookup->hints.ai_socktype = type;
  lookup->hints.ai_flags = AI_NUMERICSERV | (passive ? AI_PASSIVE : 0);
  // An address needs no name service: answered here, at once.
  addrinfo numeric = lookup->hints;
  numeric.ai_flags = AI_NUMERICSERV | AI_NUMERICHOST | (passive ? AI_PASSIVE : 0);
  auto list = std::make_unique<AddressList>();
  const int numericError =
      getaddrinfo(host.c_str(), lookup->service.c_str(), &numeric, &list->first);
  if (numericError == 0) return list;
  if (numericError != EAI_NONAME) {
    problem = ProblemOfLookup(numericError);
    return nullptr;
  }
  lookup->doneFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (lookup->doneFd < 0) {
    problem = ProblemOfErrno(errno);
    return nullptr;
  }
  try {
    std::thread([lookup] { Answer(lookup); }).detach();
  } catch (const std::system_error&) {
    Answer(lookup);
  }
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    pollfd watched[2] = {{lookup->doneFd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
    const int ready = poll(watched, 2, MillisecondsUntil(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (watched[1].revents != 0) {
      problem = {NetFailure::Stopped, {}};
      return nullptr;
    }
    if (ready <= 0) {
      problem = ready == 0 ? NetProblem{NetFailure::LookupFailed, {}} : ProblemOfErrno(errno);
      return nullptr;
    }
    if (lookup->done.load(std::memory_order_acquire)) break;
  }
  if (lookup->error != 0) {
    problem = ProblemOfLookup(lookup->error);
    return nullptr;
  }
  // The answer is complete and nobody else touches it any more: it moves out.
  list->first = lookup->answer.first;
  lookup->answer.first = nullptr;
  return list;
}
