// Port texts that name a source on the network: "tcp:HOST:PORT", "udp:[ADDRESS:]PORT" and gpsd's forms.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class NetworkSourceKind { Tcp, Udp, Gpsd };

inline constexpr uint16_t kGpsdDefaultPort = 2947;

struct NetworkName {
  NetworkSourceKind kind = NetworkSourceKind::Tcp;
  std::string host;  // a name, an IPv4 or an IPv6 address without brackets; "" any (udp:PORT)
  uint16_t port = 0;
};

// Whether the port text starts with "tcp:", "udp:" or "gpsd:" (any case): it then
// names a network source, well formed or not.
bool IsNetworkName(const char16_t* portText);

// Reads a text that IsNetworkName accepts: "tcp:HOST:PORT", "udp:PORT",
// "udp:ADDRESS:PORT", "gpsd:" (127.0.0.1:2947), "gpsd:PORT", "gpsd:HOST",
// "gpsd:HOST:PORT"; an IPv6 address goes in brackets ("tcp:[::1]:10110"). False
// with the problem in words (and an example of the form) when it is malformed.
bool ParseNetworkName(std::u16string_view text, NetworkName& name, std::string& problem);

// "192.168.1.10:10110", "[::1]:2947", or "port 10110" for every address: how the
// user is told where the source is.
std::string NetworkPlace(const NetworkName& name);
