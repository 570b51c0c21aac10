// NMEA from the network: a TCP stream, gpsd's raw NMEA (its JSON lines dropped) or UDP datagrams.
#include "locator/reader/network_source.h"

#include <algorithm>
#include <chrono>
#include <mutex>

#include "common/utf8.h"
#include "locator/reader/gps_source.h"
#include "locator/reader/gpsd_filter.h"
#include "platform/network.h"

namespace {

using Clock = std::chrono::steady_clock;

// Long enough for a far host, short enough that a dead address is reported soon.
constexpr std::chrono::seconds kConnectTime{10};

// Room for the largest datagram a network sends whole (an Ethernet frame's
// payload) with margin; longer ones are cut.
constexpr std::size_t kDatagramCapacity = 4096;

// A receiver sends a few datagrams a second and a busy boat gateway some
// hundreds; more than this is a flood, whose surplus the system drops while
// the reader pauses, so that anyone on the network costs little CPU.
constexpr int kDatagramsPerWindow = 200;
constexpr std::chrono::milliseconds kDatagramWindow{200};

// The pause before each try to make a lost connection again, as for a serial
// port that went away.
constexpr std::chrono::milliseconds kReconnectPause{200};

constexpr char kWatchNmea[] = "?WATCH={\"enable\":true,\"nmea\":true}\n";

}  // namespace

struct NetworkSource {
  NetworkName name;
  NetSocketHandle socket = kInvalidNetSocket;
  bool fresh = true;       // the next bytes begin a new connection or datagram
  bool lastFresh = false;  // the latest read's bytes did
  GpsdFilter filter;
  char datagram[kDatagramCapacity];
  std::size_t datagramLength = 0, handedOut = 0;
  Clock::time_point windowStart{};
  int windowDatagrams = 0;
  std::mutex mutex;     // guards trouble, which the wait detail reads
  std::string trouble;  // empty while the source works
};

namespace {

bool IsGpsd(const NetworkSource& source) { return source.name.kind == NetworkSourceKind::Gpsd; }
bool IsUdp(const NetworkSource& source) { return source.name.kind == NetworkSourceKind::Udp; }

// "192.168.1.10:10110", "gpsd at 127.0.0.1:2947", "UDP port 10110".
std::string Where(const NetworkSource& source) {
  const char* kind = IsGpsd(source) ? "gpsd at " : IsUdp(source) ? "UDP " : "";
  return kind + NetworkPlace(source.name);
}

// The next datagram, after a pause when they come faster than any receiver sends them.
bool NextDatagram(NetworkSource& source, std::ptrdiff_t& result) {
  const Clock::time_point now = Clock::now();
  if (now - source.windowStart >= kDatagramWindow) {
    source.windowStart = now;
    source.windowDatagrams = 0;
  } else if (source.windowDatagrams >= kDatagramsPerWindow) {
    const auto rest =
        std::chrono::ceil<std::chrono::milliseconds>(source.windowStart + kDatagramWindow - now);
    if (!PauseNetSocket(source.socket, rest)) {
      result = 0;
      return false;
    }
    source.windowStart = Clock::now();
    source.windowDatagrams = 0;
  }
  result = ReadNetSocket(source.socket, source.datagram, sizeof source.datagram);
  if (result <= 0) return false;
  ++source.windowDatagrams;
  source.datagramLength = std::size_t(result);
  source.handedOut = 0;
  source.fresh = true;
  return true;
}

void SetTrouble(NetworkSource& source, std::string trouble) {
  std::lock_guard lock(source.mutex);
  source.trouble = std::move(trouble);
}

// A datagram is handed on in reads of up to `capacity`: the reader sees it as a
// short stream, and a new datagram is fresh.
std::ptrdiff_t ReadDatagrams(NetworkSource& source, char* buffer, std::size_t capacity) {
  std::ptrdiff_t result = 0;
  if (source.handedOut == source.datagramLength && !NextDatagram(source, result)) return result;
  const std::size_t count = std::min(capacity, source.datagramLength - source.handedOut);
  std::copy_n(source.datagram + source.handedOut, count, buffer);
  source.handedOut += count;
  return std::ptrdiff_t(count);
}

std::ptrdiff_t ReadStream(NetworkSource& source, char* buffer, std::size_t capacity) {
  for (;;) {
    const std::ptrdiff_t count = ReadNetSocket(source.socket, buffer, capacity);
    if (count <= 0 || !IsGpsd(source)) return count;
    // A read of nothing but JSON is no end: the next one is waited for.
    const std::size_t kept = DropGpsdJson(source.filter, buffer, std::size_t(count));
    if (kept > 0) return std::ptrdiff_t(kept);
  }
}

// After a lost connection (or a socket error under UDP): tries again until it
// works; false once woken.
bool MakeAgain(NetworkSource* source) {
  SetTrouble(*source, IsUdp(*source)
                          ? Where(*source) + ": receiving failed, listening again"
                          : "connection to " + Where(*source) + " lost, connecting again");
  for (;;) {
    if (!PauseNetSocket(source->socket, kReconnectPause)) return false;
    std::string problem;
    if (OpenNetworkSource(source, problem)) return true;
    if (problem.empty()) return false;
    SetTrouble(*source, problem + ", trying again");
  }
}

}  // namespace

NetworkSource* NewNetworkSource(const NetworkName& name) {
  const NetSocketHandle socket = NewNetSocket();
  if (socket == kInvalidNetSocket) return nullptr;
  auto* source = new NetworkSource;
  source->name = name;
  source->socket = socket;
  return source;
}

bool OpenNetworkSource(NetworkSource* source, std::string& problem) {
  NetProblem failure;
  const NetworkName& name = source->name;
  source->fresh = true;
  source->filter = GpsdFilter{};
  source->datagramLength = source->handedOut = 0;
  const bool open = IsUdp(*source) ? BindNetSocket(source->socket, name.host, name.port, failure)
                                   : ConnectNetSocket(source->socket, name.host, name.port,
                                                      kConnectTime, failure);
  if (open && IsGpsd(*source) &&
      !SendNetSocket(source->socket, kWatchNmea, sizeof kWatchNmea - 1)) {
    failure = {NetFailure::Other, "it closed the connection at once"};
  } else if (open) {
    problem.clear();
    SetTrouble(*source, {});
    return true;
  }
  problem = failure.failure == NetFailure::Stopped
                ? std::string()
                : Where(*source) + ": " + DescribeNetProblem(failure);
  if (IsGpsd(*source) && failure.failure == NetFailure::Refused) problem += " (is gpsd running?)";
  return false;
}

std::size_t ReadNetworkSource(NetworkSource* source, char* buffer, std::size_t capacity) {
  for (;;) {
    const std::ptrdiff_t count = IsUdp(*source) ? ReadDatagrams(*source, buffer, capacity)
                                                : ReadStream(*source, buffer, capacity);
    if (count >= 0 || !MakeAgain(source)) {
      source->lastFresh = count > 0 && source->fresh;
      if (count > 0) source->fresh = false;
      return count > 0 ? std::size_t(count) : 0;
    }
  }
}

bool NetworkReadBeganAfresh(const NetworkSource* source) { return source->lastFresh; }

void WakeNetworkSource(NetworkSource* source) { WakeNetSocket(source->socket); }

void CloseNetworkSource(NetworkSource* source) {
  if (!source) return;
  CloseNetSocket(source->socket);
  delete source;
}

std::string NetworkSourceTrouble(NetworkSource* source) {
  std::lock_guard lock(source->mutex);
  return source->trouble;
}

std::string DescribeNetworkSource(const NetworkSource* source) {
  return (IsUdp(*source) ? "listening on " : "connected to ") + Where(*source);
}

namespace {

NetworkSource* Source(void* handle) { return static_cast<NetworkSource*>(handle); }

void WakeNetworkKind(void* handle) { WakeNetworkSource(Source(handle)); }

// A malformed text, a host that refuses or cannot be found: the port failed, with
// the reason. A stop during the connect: nobody is told anything.
void* OpenNetworkKind(const char16_t* portText, uint32_t, bool, GpsPortProblem& problem) {
  NetworkName name;
  std::string why;
  NetworkSource* source = nullptr;
  if (ParseNetworkName(portText, name, why)) {
    source = NewNetworkSource(name);
    if (!source) why = "the system has no room for another connection";
  }
  bool opened = false;
  if (source) {
    NoteGpsOpenInProgress(&WakeNetworkKind, source);
    opened = OpenNetworkSource(source, why);
    NoteGpsOpenInProgress(nullptr, nullptr);
  }
  if (opened) return source;
  CloseNetworkSource(source);
  if (!why.empty()) {
    problem.message = kPortOpenFailedText;
    problem.reason = utf8::Utf8ToUtf16(why);
  }
  return nullptr;
}

std::ptrdiff_t ReadNetworkKind(void* handle, char* buffer, std::size_t capacity) {
  return std::ptrdiff_t(ReadNetworkSource(Source(handle), buffer, capacity));
}

// A lost connection is made again inside the read: the source is never gone.
bool NetworkKindMayReturn(void*) { return false; }
void CloseNetworkKind(void* handle) { CloseNetworkSource(Source(handle)); }
bool NetworkKindBeganAfresh(void* handle) { return NetworkReadBeganAfresh(Source(handle)); }

std::u16string NetworkKindWhere(void* handle) {
  return utf8::Utf8ToUtf16(DescribeNetworkSource(Source(handle)));
}

// Bytes of another connection or datagram split no sentence of their own.
bool NetworkKindRestarted(void*) { return false; }

// What keeps the source from reading while it does ("192.168.1.10:10110:
// connection refused, trying again") outranks the GPS state's words.
std::u16string DescribeNetworkKind(void* handle, std::u16string_view gpsDetail) {
  const std::string trouble = NetworkSourceTrouble(Source(handle));
  return trouble.empty() ? std::u16string(gpsDetail) : utf8::Utf8ToUtf16(trouble);
}

}  // namespace

const GpsSourceKind kNetworkSource = {
    &OpenNetworkKind,      &ReadNetworkKind,        &WakeNetworkKind,
    &NetworkKindMayReturn, &NetworkKindRestarted,   &DescribeNetworkKind,
    &CloseNetworkKind,     &NetworkKindBeganAfresh, &NetworkKindWhere};
