// What a network socket holds on Linux, and the name look-up behind its connect and bind.
#pragma once

#include <netdb.h>

#include <chrono>
#include <memory>
#include <string>

#include "platform/network.h"

struct NetSocket {
  int fd = -1;
  int wakeFd = -1;  // eventfd: readable once a stop wants the socket's waits back
  bool datagrams = false;
  bool gone = false;
};

struct AddressList {  // getaddrinfo's answer, freed with the list
  addrinfo* first = nullptr;
  AddressList() = default;
  AddressList(const AddressList&) = delete;
  AddressList& operator=(const AddressList&) = delete;
  ~AddressList() {
    if (first) freeaddrinfo(first);
  }
};

// The addresses of host (numeric, or a name the name service knows) for a socket
// of `type`; AI_PASSIVE with `passive`. A name is looked up on a thread of its
// own, so that wakeFd or the time-out end the wait at once; the look-up then
// finishes on its own and frees what it found.
std::unique_ptr<AddressList> LookUpAddresses(const std::string& host, uint16_t port, int type,
                                             bool passive, int wakeFd,
                                             std::chrono::milliseconds timeout,
                                             NetProblem& problem);

// Milliseconds left until deadline for poll(), at least 0; -1 (no end) for
// time_point::max().
int MillisecondsUntil(std::chrono::steady_clock::time_point deadline);

// The words for an errno of connect, bind or recv.
NetProblem ProblemOfErrno(int error);
