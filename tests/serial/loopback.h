// Loopback sockets for the network tests: listeners, free ports, a listener that answers nobody, datagrams.
#pragma once

#include <sys/socket.h>

#include <cstdint>
#include <string>
#include <vector>

// A TCP listener on the loopback address of `family`; Port() 0 when there is none.
class LoopbackListener {
 public:
  explicit LoopbackListener(int family = AF_INET, int backlog = 8);
  ~LoopbackListener();
  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;
  uint16_t Port() const { return port_; }
  // The next connection, waiting up to 10 s; -1 when none came.
  int Accept();

 private:
  int fd_ = -1;
  uint16_t port_ = 0;
};

// A listener whose accept queue is full: a connect to it gets no answer.
class FullBacklog {
 public:
  FullBacklog();
  ~FullBacklog();
  uint16_t Port() const { return listener_.Port(); }

 private:
  LoopbackListener listener_{AF_INET, 0};
  std::vector<int> fillers_;
};

// A loopback port of `type` (SOCK_STREAM, SOCK_DGRAM) that nothing uses right now.
uint16_t FreeLoopbackPort(int type);

bool Ipv6LoopbackWorks();

// One datagram to the loopback address of `family`; nothing when it has none.
void SendDatagram(int family, uint16_t port, const std::string& data);
