// Network sockets on desktop Windows: WSAEventSelect, and every wait on the socket's event beside a stop event.
#include "platform/win32/network_win32.h"

#include <mstcpip.h>

namespace {

using Clock = std::chrono::steady_clock;

// A gap this long ends a stream read: the sentences of one burst come closer together.
constexpr DWORD kQuietMilliseconds = 50;
constexpr std::chrono::seconds kBindLookupTime{10};

enum class Wait { Ready, Woken, TimedOut };

// Waits for the socket's events, a stop or the deadline.
Wait WaitFor(const NetSocket& socket, Clock::time_point deadline) {
  const HANDLE handles[] = {socket.events, socket.wake};
  const DWORD result = WaitForMultipleObjects(2, handles, FALSE, MillisecondsUntil(deadline));
  if (result == WAIT_OBJECT_0) return Wait::Ready;
  if (result == WAIT_OBJECT_0 + 1) return Wait::Woken;
  return Wait::TimedOut;
}

// One address: a connect that WSAEventSelect made non-blocking, and its outcome.
bool ConnectOne(NetSocket& socket, const addrinfo& address, Clock::time_point deadline,
                NetProblem& problem) {
  socket.socket = ::socket(address.ai_family, SOCK_STREAM, IPPROTO_TCP);
  if (socket.socket == INVALID_SOCKET) {
    problem = ProblemOfError(WSAGetLastError());
    return false;
  }
  int error = 0;
  if (WSAEventSelect(socket.socket, socket.events, FD_CONNECT) != 0) {
    error = WSAGetLastError();
  } else if (connect(socket.socket, address.ai_addr, int(address.ai_addrlen)) != 0) {
    error = WSAGetLastError();
  }
  if (error == WSAEWOULDBLOCK) {
    switch (WaitFor(socket, deadline)) {
      case Wait::Woken: problem = {NetFailure::Stopped, {}}; break;
      case Wait::TimedOut: problem = {NetFailure::TimedOut, {}}; break;
      case Wait::Ready: {
        WSANETWORKEVENTS happened{};
        error = WSAEnumNetworkEvents(socket.socket, socket.events, &happened) != 0
                    ? WSAGetLastError()
                    : happened.iErrorCode[FD_CONNECT_BIT];
        if (error != 0) problem = ProblemOfError(error);
        break;
      }
    }
  } else if (error != 0) {
    problem = ProblemOfError(error);
  }
  if (problem.failure == NetFailure::None &&
      WSAEventSelect(socket.socket, socket.events, FD_READ | FD_CLOSE) == 0) {
    return true;
  }
  if (problem.failure == NetFailure::None) problem = ProblemOfError(WSAGetLastError());
  closesocket(socket.socket);
  socket.socket = INVALID_SOCKET;
  return false;
}

// A peer that vanished without a word is found out after a minute of silence.
void WatchForSilentDeath(SOCKET socket) {
  tcp_keepalive values{1, 10000, 5000};
  DWORD returned = 0;
  WSAIoctl(socket, SIO_KEEPALIVE_VALS, &values, sizeof values, nullptr, 0, &returned, nullptr,
           nullptr);
}

bool ResetEvents(NetSocket& socket) {
  WSANETWORKEVENTS happened{};
  return WSAEnumNetworkEvents(socket.socket, socket.events, &happened) == 0;
}

std::ptrdiff_t ReceiveDatagram(NetSocket& socket, char* buffer, std::size_t capacity) {
  const int wanted = capacity > 65536 ? 65536 : int(capacity);
  for (;;) {
    const int count = recv(socket.socket, buffer, wanted, 0);
    if (count > 0) return count;
    const int error = count == 0 ? 0 : WSAGetLastError();
    // A datagram longer than the buffer comes cut; a stray ICMP answer is no datagram.
    if (error == WSAEMSGSIZE) return wanted;
    if (error != 0 && error != WSAEWOULDBLOCK && error != WSAECONNRESET) break;
    if (error == WSAEWOULDBLOCK) {
      const Wait wait = WaitFor(socket, Clock::time_point::max());
      if (wait == Wait::Woken) return 0;
      if (wait != Wait::Ready || !ResetEvents(socket)) break;
    }
  }
  socket.gone = true;
  return kNetSocketGone;
}

std::ptrdiff_t ReceiveStream(NetSocket& socket, char* buffer, std::size_t capacity) {
  std::size_t have = 0;
  while (have < capacity) {
    const std::size_t room = capacity - have;
    const int count = recv(socket.socket, buffer + have, room > 65536 ? 65536 : int(room), 0);
    if (count > 0) {
      have += std::size_t(count);
      continue;
    }
    if (count == 0 || WSAGetLastError() != WSAEWOULDBLOCK) {
      socket.gone = true;  // the peer closed, or the connection broke
      break;
    }
    const auto deadline = have == 0 ? Clock::time_point::max()
                                    : Clock::now() + std::chrono::milliseconds(kQuietMilliseconds);
    const Wait wait = WaitFor(socket, deadline);
    if (wait != Wait::Ready) break;
    if (!ResetEvents(socket)) {
      socket.gone = true;
      break;
    }
  }
  if (have == 0 && socket.gone) return kNetSocketGone;
  return std::ptrdiff_t(have);
}

// What an earlier connect or bind left.
void Release(NetSocket& socket) {
  if (socket.socket != INVALID_SOCKET) closesocket(socket.socket);
  socket.socket = INVALID_SOCKET;
  socket.gone = false;
  ResetEvent(socket.events);
}

}  // namespace

NetSocketHandle NewNetSocket() {
  if (!StartWinsock()) return kInvalidNetSocket;
  auto* socket = new NetSocket;
  socket->events = WSACreateEvent();
  socket->wake = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (socket->events == WSA_INVALID_EVENT || !socket->wake) {
    if (socket->events != WSA_INVALID_EVENT) WSACloseEvent(socket->events);
    if (socket->wake) CloseHandle(socket->wake);
    delete socket;
    return kInvalidNetSocket;
  }
  return socket;
}

bool ConnectNetSocket(NetSocketHandle socket, const std::string& host, uint16_t port,
                      std::chrono::milliseconds timeout, NetProblem& problem) {
  Release(*socket);
  socket->datagrams = false;
  problem = {};
  const auto deadline = Clock::now() + timeout;
  const auto addresses = LookUp(*socket, host, port, SOCK_STREAM, false, timeout, problem);
  if (!addresses) return false;
  for (const addrinfo* address = addresses->first; address; address = address->ai_next) {
    problem = {};
    if (ConnectOne(*socket, *address, deadline, problem)) {
      WatchForSilentDeath(socket->socket);
      return true;
    }
    if (problem.failure == NetFailure::Stopped || problem.failure == NetFailure::TimedOut) break;
  }
  return false;
}

bool BindNetSocket(NetSocketHandle socket, const std::string& address, uint16_t port,
                   NetProblem& problem) {
  Release(*socket);
  socket->datagrams = true;
  // Every address: IPv6's "::" with IPv4 mapped onto it, or IPv4's alone where
  // the system has no dual-stack sockets.
  const bool every = address.empty();
  for (const char* local : {"::", "0.0.0.0"}) {
    problem = {};
    const auto addresses =
        LookUp(*socket, every ? local : address, port, SOCK_DGRAM, true, kBindLookupTime, problem);
    if (!addresses && every && problem.failure != NetFailure::Stopped) continue;
    if (!addresses) return false;
    const addrinfo& first = *addresses->first;
    const SOCKET s = ::socket(first.ai_family, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET) {
      problem = ProblemOfError(WSAGetLastError());
      if (every) continue;
      return false;
    }
    const DWORD off = 0;
    if (every && first.ai_family == AF_INET6 &&
        setsockopt(s, IPPROTO_IPV6, IPV6_V6ONLY, reinterpret_cast<const char*>(&off), sizeof off) !=
            0) {
      closesocket(s);  // no IPv4 on the IPv6 socket: IPv4 alone then
      continue;
    }
    if (bind(s, first.ai_addr, int(first.ai_addrlen)) == 0 &&
        WSAEventSelect(s, socket->events, FD_READ) == 0) {
      socket->socket = s;
      return true;
    }
    problem = ProblemOfError(WSAGetLastError());
    closesocket(s);
    return false;
  }
  return false;
}

std::ptrdiff_t ReadNetSocket(NetSocketHandle socket, char* buffer, std::size_t capacity) {
  if (socket == kInvalidNetSocket || socket->socket == INVALID_SOCKET || socket->gone) {
    return kNetSocketGone;
  }
  if (capacity == 0 || WaitForSingleObject(socket->wake, 0) == WAIT_OBJECT_0) return 0;
  return socket->datagrams ? ReceiveDatagram(*socket, buffer, capacity)
                           : ReceiveStream(*socket, buffer, capacity);
}

bool SendNetSocket(NetSocketHandle socket, const char* data, std::size_t length) {
  if (socket == kInvalidNetSocket || socket->socket == INVALID_SOCKET) return false;
  while (length > 0) {
    const int sent = send(socket->socket, data, length > 65536 ? 65536 : int(length), 0);
    if (sent <= 0) return false;
    data += sent;
    length -= std::size_t(sent);
  }
  return true;
}

bool PauseNetSocket(NetSocketHandle socket, std::chrono::milliseconds pause) {
  return WaitForSingleObject(socket->wake, MillisecondsUntil(Clock::now() + pause)) !=
         WAIT_OBJECT_0;
}

void WakeNetSocket(NetSocketHandle socket) {
  if (socket != kInvalidNetSocket) SetEvent(socket->wake);
}

void CloseNetSocket(NetSocketHandle socket) {
  if (socket == kInvalidNetSocket) return;
  Release(*socket);
  WSACloseEvent(socket->events);
  CloseHandle(socket->wake);
  delete socket;
}
