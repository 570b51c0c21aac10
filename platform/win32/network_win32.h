// What a network socket holds on desktop Windows, and the name look-up behind its connect and bind.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <chrono>
#include <memory>
#include <string>

#include "platform/network.h"

struct NetSocket {
  SOCKET socket = INVALID_SOCKET;
  HANDLE events = nullptr;  // the socket's network events (WSAEventSelect)
  HANDLE wake = nullptr;    // set by WakeNetSocket and never cleared
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

// Winsock started once for the process; false when it cannot be.
bool StartWinsock();

// Milliseconds left until deadline for a wait, INFINITE for time_point::max().
DWORD MillisecondsUntil(std::chrono::steady_clock::time_point deadline);

// The words for a Winsock or getaddrinfo error.
NetProblem ProblemOfError(int error);

// The addresses of host (numeric, or a name the name service knows) for a socket
// of `type`; AI_PASSIVE with `passive`. A name is looked up on a thread of its
// own, so that the socket's wake or the time-out end the wait at once; the
// look-up then finishes on its own and frees what it found.
std::unique_ptr<AddressList> LookUp(const NetSocket& socket, const std::string& host, uint16_t port,
                                    int type, bool passive, std::chrono::milliseconds timeout,
                                    NetProblem& problem);
