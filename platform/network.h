// Sockets for the sources on the network: a TCP stream or UDP datagrams, every wait cut short by a stop.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

struct NetSocket;  // each platform layer defines what a socket holds
using NetSocketHandle = NetSocket*;
inline constexpr NetSocketHandle kInvalidNetSocket = nullptr;

// ReadNetSocket's result once the connection is gone (the peer closed it, or it broke).
inline constexpr std::ptrdiff_t kNetSocketGone = -1;

// Why a connect or a bind did not happen.
enum class NetFailure {
  None,
  Stopped,       // WakeNetSocket came first: nobody is to be told
  NoSuchHost,    // the name service knows no such name
  LookupFailed,  // the name service could not be asked (no network?)
  Refused,       // nothing listens on that port
  TimedOut,      // no answer within the time given
  HostUnreachable,
  NetworkUnreachable,
  AddressInUse,    // another program has the UDP port
  AddressNotHere,  // the address to listen on is not one of this machine's
  Denied,
  Other,
};

struct NetProblem {
  NetFailure failure = NetFailure::None;
  std::string systemText;  // the system's own words, for Other
};

// A socket not yet connected or bound: it holds what a stop signals, so that
// WakeNetSocket reaches the look-up and connect that follow. Invalid only when
// the system has no resources left.
NetSocketHandle NewNetSocket();

// Looks the host up (a name, an IPv4 or an IPv6 address) and connects a TCP stream
// to the first of its addresses that answers, all within `timeout`. False with the
// reason; NetFailure::Stopped once woken. A connection or binding the socket held
// before is closed first, so a lost connection is made again on the same socket.
bool ConnectNetSocket(NetSocketHandle socket, const std::string& host, uint16_t port,
                      std::chrono::milliseconds timeout, NetProblem& problem);

// Takes UDP datagrams from any sender on the port of one local address, or of
// every address (IPv4 and IPv6) when `address` is empty.
bool BindNetSocket(NetSocketHandle socket, const std::string& address, uint16_t port,
                   NetProblem& problem);

// A stream: blocks until bytes come, then gathers more until `capacity` bytes have
// come or the peer has been quiet for a moment. Datagrams: the next datagram,
// cut to `capacity`. Returns the count, 0 once woken, kNetSocketGone when the
// connection is gone. Memory does not grow with what the peer sends.
std::ptrdiff_t ReadNetSocket(NetSocketHandle socket, char* buffer, std::size_t capacity);

// Sends a short request on a connected stream; false when it could not go out whole.
bool SendNetSocket(NetSocketHandle socket, const char* data, std::size_t length);

// Waits for `pause` unless woken; false once woken.
bool PauseNetSocket(NetSocketHandle socket, std::chrono::milliseconds pause);

// Makes a pending look-up, connect, read or pause, and every later one, return at once.
// Any thread, but not together with CloseNetSocket.
void WakeNetSocket(NetSocketHandle socket);

// No other call may be pending on the socket.
void CloseNetSocket(NetSocketHandle socket);

// The reason in a few words, for the line under "Error Opening Comms Port.".
inline std::string DescribeNetProblem(const NetProblem& problem) {
  switch (problem.failure) {
    case NetFailure::None: return "";
    case NetFailure::Stopped: return "stopped";
    case NetFailure::NoSuchHost: return "no such host";
    case NetFailure::LookupFailed: return "the host name could not be looked up (no network?)";
    case NetFailure::Refused: return "connection refused";
    case NetFailure::TimedOut: return "no answer (connection timed out)";
    case NetFailure::HostUnreachable: return "host unreachable";
    case NetFailure::NetworkUnreachable: return "network unreachable";
    case NetFailure::AddressInUse: return "the port is in use by another program";
    case NetFailure::AddressNotHere: return "not an address of this machine";
    case NetFailure::Denied: return "permission denied";
    case NetFailure::Other: break;
  }
  return problem.systemText;
}
