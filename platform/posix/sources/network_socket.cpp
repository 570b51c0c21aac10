// Network sockets on Linux: non-blocking, every wait a poll() beside an eventfd that a stop signals.
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/sources/network_posix.h"

namespace {

// A gap this long ends a stream read: the sentences of one burst come closer together.
constexpr int kQuietMilliseconds = 50;

// An address to listen on is a name only rarely; its look-up gets this long.
constexpr std::chrono::seconds kBindLookupTime{10};

// A peer that vanished without a word (a phone that left the Wi-Fi) is found out
// after about 25 s of silence on the line, and the connection is made again.
void WatchForSilentDeath(int fd) {
  const int on = 1, idle = 10, interval = 5, probes = 3;
  setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
  setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
  setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
  setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &probes, sizeof probes);
}

enum class Wait { Ready, Woken, TimedOut, Failed };

// Waits for `events` on fd, a stop or the deadline.
Wait WaitFor(const NetSocket& socket, int fd, short events,
             std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    pollfd watched[2] = {{fd, events, 0}, {socket.wakeFd, POLLIN, 0}};
    const int ready = poll(watched, 2, MillisecondsUntil(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return Wait::Failed;
    if (watched[1].revents != 0) return Wait::Woken;
    return ready == 0 ? Wait::TimedOut : Wait::Ready;
  }
}

// One address: a non-blocking connect and its outcome. The descriptor, or -1.
int ConnectOne(const NetSocket& socket, const addrinfo& address,
               std::chrono::steady_clock::time_point deadline, NetProblem& problem) {
  const int fd = ::socket(address.ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    problem = ProblemOfErrno(errno);
    return -1;
  }
  int error = connect(fd, address.ai_addr, address.ai_addrlen) == 0 ? 0 : errno;
  if (error == EINPROGRESS) {
    switch (WaitFor(socket, fd, POLLOUT, deadline)) {
      case Wait::Woken: problem = {NetFailure::Stopped, {}}; break;
      case Wait::TimedOut: problem = {NetFailure::TimedOut, {}}; break;
      case Wait::Failed: problem = ProblemOfErrno(errno); break;
      case Wait::Ready: {
        socklen_t length = sizeof error;
        if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
        if (error != 0) problem = ProblemOfErrno(error);
        break;
      }
    }
    if (problem.failure != NetFailure::None) error = -1;
  } else if (error != 0) {
    problem = ProblemOfErrno(error);
  }
  if (error == 0) return fd;
  close(fd);
  return -1;
}

// One datagram; a datagram without bytes is skipped, as is the error a stray
// ICMP message can leave on the socket.
std::ptrdiff_t ReceiveDatagram(NetSocket& socket, char* buffer, std::size_t capacity) {
  for (;;) {
    const Wait wait =
        WaitFor(socket, socket.fd, POLLIN, std::chrono::steady_clock::time_point::max());
    if (wait == Wait::Woken) return 0;
    if (wait != Wait::Ready) break;
    // MSG_TRUNC: a datagram longer than the buffer is cut, the rest discarded.
    const ssize_t count = recv(socket.fd, buffer, capacity, MSG_TRUNC);
    if (count > 0)
      return std::ptrdiff_t(std::size_t(count) < capacity ? std::size_t(count) : capacity);
    if (count < 0 && errno != EAGAIN && errno != EINTR && errno != ECONNREFUSED) break;
  }
  socket.gone = true;
  return kNetSocketGone;
}

std::ptrdiff_t ReceiveStream(NetSocket& socket, char* buffer, std::size_t capacity) {
  std::size_t have = 0;
  while (have < capacity) {
    const auto deadline = have == 0 ? std::chrono::steady_clock::time_point::max()
                                    : std::chrono::steady_clock::now() +
                                          std::chrono::milliseconds(kQuietMilliseconds);
    const Wait wait = WaitFor(socket, socket.fd, POLLIN, deadline);
    if (wait == Wait::Woken || wait == Wait::TimedOut) break;
    const ssize_t count =
        wait == Wait::Ready ? recv(socket.fd, buffer + have, capacity - have, 0) : -1;
    if (count > 0) {
      have += std::size_t(count);
    } else if (count == 0 || (errno != EAGAIN && errno != EINTR)) {
      socket.gone = true;  // the peer closed, or the connection broke
      break;
    }
  }
  if (have == 0 && socket.gone) return kNetSocketGone;
  return std::ptrdiff_t(have);
}

// What an earlier connect or bind left.
void Release(NetSocket& socket) {
  if (socket.fd >= 0) close(socket.fd);
  socket.fd = -1;
  socket.gone = false;
}

}  // namespace

NetSocketHandle NewNetSocket() {
  const int wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd < 0) return kInvalidNetSocket;
  auto* socket = new NetSocket;
  socket->wakeFd = wakeFd;
  return socket;
}

bool ConnectNetSocket(NetSocketHandle socket, const std::string& host, uint16_t port,
                      std::chrono::milliseconds timeout, NetProblem& problem) {
  Release(*socket);
  socket->datagrams = false;
  problem = {};
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  const auto addresses =
      LookUpAddresses(host, port, SOCK_STREAM, false, socket->wakeFd, timeout, problem);
  if (!addresses) return false;
  for (const addrinfo* address = addresses->first; address; address = address->ai_next) {
    problem = {};
    socket->fd = ConnectOne(*socket, *address, deadline, problem);
    if (socket->fd >= 0) {
      WatchForSilentDeath(socket->fd);
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
  // the system has no IPv6.
  const bool every = address.empty();
  for (const char* local : {"::", "0.0.0.0"}) {
    problem = {};
    const auto addresses = LookUpAddresses(every ? local : address, port, SOCK_DGRAM, true,
                                           socket->wakeFd, kBindLookupTime, problem);
    if (!addresses && every && problem.failure != NetFailure::Stopped) continue;
    if (!addresses) return false;
    const addrinfo& first = *addresses->first;
    const int fd = ::socket(first.ai_family, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
      problem = ProblemOfErrno(errno);
      if (every && errno == EAFNOSUPPORT) continue;
      return false;
    }
    const int off = 0;
    if (every && first.ai_family == AF_INET6 &&
        setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off) != 0) {
      close(fd);  // no IPv4 on the IPv6 socket: IPv4 alone then
      continue;
    }
    if (bind(fd, first.ai_addr, first.ai_addrlen) == 0) {
      socket->fd = fd;
      return true;
    }
    problem = ProblemOfErrno(errno);
    close(fd);
    return false;
  }
  return false;
}

std::ptrdiff_t ReadNetSocket(NetSocketHandle socket, char* buffer, std::size_t capacity) {
  if (socket == kInvalidNetSocket || socket->fd < 0 || socket->gone) return kNetSocketGone;
  if (capacity == 0) return 0;
  return socket->datagrams ? ReceiveDatagram(*socket, buffer, capacity)
                           : ReceiveStream(*socket, buffer, capacity);
}

bool SendNetSocket(NetSocketHandle socket, const char* data, std::size_t length) {
  if (socket == kInvalidNetSocket || socket->fd < 0) return false;
  while (length > 0) {
    const ssize_t sent = send(socket->fd, data, length, MSG_NOSIGNAL);
    if (sent <= 0) return false;
    data += sent;
    length -= std::size_t(sent);
  }
  return true;
}

bool PauseNetSocket(NetSocketHandle socket, std::chrono::milliseconds pause) {
  const auto deadline = std::chrono::steady_clock::now() + pause;
  for (;;) {
    pollfd watched{socket->wakeFd, POLLIN, 0};
    const int ready = poll(&watched, 1, MillisecondsUntil(deadline));
    if (ready < 0 && errno == EINTR) continue;
    return ready == 0;
  }
}

void WakeNetSocket(NetSocketHandle socket) {
  if (socket == kInvalidNetSocket) return;
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = write(socket->wakeFd, &one, sizeof one);
}

void CloseNetSocket(NetSocketHandle socket) {
  if (socket == kInvalidNetSocket) return;
  Release(*socket);
  close(socket->wakeFd);
  delete socket;
}
