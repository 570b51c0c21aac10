// The sources on the network, "tcp:", "udp:" and "gpsd:": NMEA from a TCP stream, UDP datagrams or gpsd.
#pragma once

#include <cstddef>
#include <string>

#include "locator/reader/network_name.h"

struct NetworkSource;

// A source for a well-formed network name, not yet connected; a wake already
// reaches it. Null only when the system has no resources left.
NetworkSource* NewNetworkSource(const NetworkName& name);

// Connects (tcp:, gpsd:, which is then asked for raw NMEA) or starts listening
// (udp:). False with the reason in words ("192.168.1.10:10110: connection
// refused"); false with an empty reason once woken.
bool OpenNetworkSource(NetworkSource* source, std::string& problem);

// One read of at most `capacity` bytes: the count, or 0 once woken. A lost
// connection is made again inside the read, as often as it takes, a short pause
// before each try.
std::size_t ReadNetworkSource(NetworkSource* source, char* buffer, std::size_t capacity);

// Whether the bytes of the latest read begin a new datagram or a new connection,
// so that nothing before them may be joined to them.
bool NetworkReadBeganAfresh(const NetworkSource* source);

// Makes a pending open or read, and every later one, return at once; any thread.
void WakeNetworkSource(NetworkSource* source);

// No call may be pending on the source.
void CloseNetworkSource(NetworkSource* source);

// Where the source reads, for the wait detail: "connected to 192.168.1.10:10110",
// "connected to gpsd at 127.0.0.1:2947", "listening on UDP port 10110".
std::string DescribeNetworkSource(const NetworkSource* source);

// While a lost connection is being made again: what happened ("connection to
// 192.168.1.10:10110 lost, connecting again", "192.168.1.10:10110: connection
// refused, trying again"); empty while the source works. Any thread.
std::string NetworkSourceTrouble(NetworkSource* source);
