// Host names to addresses on desktop Windows: getaddrinfo on a thread of its own, so that a stop need not wait for it.
#include "platform/win32/network_win32.h"

#include <system_error>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Shared by the waiting thread and the look-up's: whichever lets go last frees it.
struct Lookup {
  std::string host, service;
  addrinfo hints{};
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  int error = 0;
  AddressList answer;
  ~Lookup() {
    if (done) CloseHandle(done);
  }
};

void Answer(const std::shared_ptr<Lookup>& lookup) {
  lookup->error = getaddrinfo(lookup->host.c_str(), lookup->service.c_str(), &lookup->hints,
                              &lookup->answer.first);
  SetEvent(lookup->done);
}

}  // namespace

bool StartWinsock() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}

DWORD MillisecondsUntil(Clock::time_point deadline) {
  if (deadline == Clock::time_point::max()) return INFINITE;
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() <= 0 ? 0 : left.count() > 3600000 ? 3600000 : DWORD(left.count());
}

NetProblem ProblemOfError(int error) {
  switch (error) {
    case WSAHOST_NOT_FOUND:
    case WSANO_DATA:
    case WSANO_RECOVERY: return {NetFailure::NoSuchHost, {}};
    case WSATRY_AGAIN: return {NetFailure::LookupFailed, {}};
    case WSAECONNREFUSED: return {NetFailure::Refused, {}};
    case WSAETIMEDOUT: return {NetFailure::TimedOut, {}};
    case WSAEHOSTUNREACH:
    case WSAEHOSTDOWN: return {NetFailure::HostUnreachable, {}};
    case WSAENETUNREACH:
    case WSAENETDOWN: return {NetFailure::NetworkUnreachable, {}};
    case WSAEADDRINUSE: return {NetFailure::AddressInUse, {}};
    case WSAEADDRNOTAVAIL: return {NetFailure::AddressNotHere, {}};
    case WSAEACCES: return {NetFailure::Denied, {}};
    default: break;
  }
  char text[256] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, DWORD(error),
                 0, text, sizeof text, nullptr);
  std::string words = text;
  while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == '.')) {
    words.pop_back();
  }
  return {NetFailure::Other, words.empty() ? "error " + std::to_string(error) : words};
}

std::unique_ptr<AddressList> LookUp(const NetSocket& socket, const std::string& host, uint16_t port,
                                    int type, bool passive, std::chrono::milliseconds timeout,
                                    NetProblem& problem) {
  auto lookup = std::make_shared<Lookup>();
  lookup->host = host;
  lookup->service = std::to_string(port);
  lookup->hints.ai_socktype = type;
  lookup->hints.ai_flags = AI_NUMERICSERV | (passive ? AI_PASSIVE : 0);
  addrinfo numeric = lookup->hints;
  numeric.ai_flags |= AI_NUMERICHOST;
  auto list = std::make_unique<AddressList>();
  const int numericError =
      getaddrinfo(host.c_str(), lookup->service.c_str(), &numeric, &list->first);
  if (numericError == 0) return list;
  if (!lookup->done) {
    problem = ProblemOfError(int(GetLastError()));
    return nullptr;
  }
  try {
    std::thread([lookup] { Answer(lookup); }).detach();
  } catch (const std::system_error&) {
    Answer(lookup);
  }
  const HANDLE handles[] = {lookup->done, socket.wake};
  const DWORD result =
      WaitForMultipleObjects(2, handles, FALSE, MillisecondsUntil(Clock::now() + timeout));
  if (result != WAIT_OBJECT_0) {
    problem = {result == WAIT_OBJECT_0 + 1 ? NetFailure::Stopped : NetFailure::LookupFailed, {}};
    return nullptr;
  }
  if (lookup->error != 0) {
    problem = ProblemOfError(lookup->error);
    return nullptr;
  }
  list->first = lookup->answer.first;
  lookup->answer.first = nullptr;
  return list;
}
