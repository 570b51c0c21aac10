// Loopback sockets for the network tests.
#include "serial/loopback.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <unistd.h>

#include <cstring>

namespace {

// The loopback address of family with port, in storage; its length.
socklen_t Loopback(int family, uint16_t port, sockaddr_storage& storage) {
  std::memset(&storage, 0, sizeof storage);
  if (family == AF_INET6) {
    auto& address = reinterpret_cast<sockaddr_in6&>(storage);
    address.sin6_family = AF_INET6;
    address.sin6_addr = in6addr_loopback;
    address.sin6_port = htons(port);
    return sizeof address;
  }
  auto& address = reinterpret_cast<sockaddr_in&>(storage);
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  return sizeof address;
}

uint16_t BoundPort(int fd) {
  sockaddr_storage storage{};
  socklen_t length = sizeof storage;
  if (getsockname(fd, reinterpret_cast<sockaddr*>(&storage), &length) != 0) return 0;
  return storage.ss_family == AF_INET6 ? ntohs(reinterpret_cast<sockaddr_in6&>(storage).sin6_port)
                                       : ntohs(reinterpret_cast<sockaddr_in&>(storage).sin_port);
}

}  // namespace

LoopbackListener::LoopbackListener(int family, int backlog) {
  fd_ = socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_storage storage;
  const socklen_t length = Loopback(family, 0, storage);
  if (fd_ >= 0 && bind(fd_, reinterpret_cast<sockaddr*>(&storage), length) == 0 &&
      listen(fd_, backlog) == 0) {
    port_ = BoundPort(fd_);
  }
}

LoopbackListener::~LoopbackListener() {
  if (fd_ >= 0) close(fd_);
}

int LoopbackListener::Accept() {
  pollfd watched{fd_, POLLIN, 0};
  if (poll(&watched, 1, 10000) != 1) return -1;
  return accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
}

FullBacklog::FullBacklog() {
  for (int i = 0; i < 2; ++i) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_storage storage;
    const socklen_t length = Loopback(AF_INET, Port(), storage);
    connect(fd, reinterpret_cast<sockaddr*>(&storage), length);
    fillers_.push_back(fd);
    usleep(50000);  // the handshake completes into the queue before the next one
  }
}

FullBacklog::~FullBacklog() {
  for (int fd : fillers_) close(fd);
}

uint16_t FreeLoopbackPort(int type) {
  const int fd = socket(AF_INET, type | SOCK_CLOEXEC, 0);
  sockaddr_storage storage;
  const socklen_t length = Loopback(AF_INET, 0, storage);
  uint16_t port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&storage), length) == 0) port = BoundPort(fd);
  close(fd);
  return port;
}

bool Ipv6LoopbackWorks() {
  const int fd = socket(AF_INET6, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_storage storage;
  const socklen_t length = Loopback(AF_INET6, 0, storage);
  const bool works = fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&storage), length) == 0;
  if (fd >= 0) close(fd);
  return works;
}

void SendDatagram(int family, uint16_t port, const std::string& data) {
  if (family == AF_INET6 && !Ipv6LoopbackWorks()) return;
  const int fd = socket(family, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_storage storage;
  const socklen_t length = Loopback(family, port, storage);
  sendto(fd, data.data(), data.size(), 0, reinterpret_cast<sockaddr*>(&storage), length);
  close(fd);
}
