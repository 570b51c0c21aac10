// "auto:" as a GPS source: every serial port present hunted at once, then the one that spoke.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>

#include "locator/reader/auto_search.h"
#include "locator/reader/gps_source.h"

namespace {

// How long a read waits for a port to speak before it looks for new ports again.
constexpr std::chrono::milliseconds kRescan{2000};

struct AutoSource {
  std::mutex mutex;  // guards the change from the search to the port that spoke
  AutoSearch* search = nullptr;
  HuntedLine line;  // the port that spoke, once one has
  std::u16string spoke;
  SpeedHunt shown;  // its hunt as of the latest read
  bool restarted = false;
  bool woken = false;
};

AutoSource* Source(void* source) { return static_cast<AutoSource*>(source); }

// "auto:" always opens: with no port present yet it waits for one to appear.
void* OpenAutoSource(const char16_t*, uint32_t, bool, GpsPortProblem&) {
  auto* source = new AutoSource;
  source->search = StartAutoSearch();
  return source;
}

// The port that spoke becomes the source; its winning read is this read.
std::ptrdiff_t AwaitWinner(AutoSource& source, char* buffer, std::size_t capacity) {
  AutoWinner winner;
  if (!AwaitAutoWinner(source.search, kRescan, &winner)) return 0;
  std::lock_guard lock(source.mutex);
  CloseAutoSearch(source.search);
  source.search = nullptr;
  source.line = winner.line;
  source.spoke = winner.name;
  source.shown = winner.line.watch.hunt;
  source.restarted = true;
  // A wake that came meanwhile woke the search, which is gone: the port keeps it.
  if (source.woken) WakeSerialPort(source.line.port);
  const std::size_t count = std::min(capacity, winner.firstBytes.size());
  std::memcpy(buffer, winner.firstBytes.data(), count);
  return std::ptrdiff_t(count);
}

std::ptrdiff_t ReadAutoSource(void* handle, char* buffer, std::size_t capacity) {
  AutoSource& source = *Source(handle);
  if (source.search) return AwaitWinner(source, buffer, capacity);
  const std::ptrdiff_t count = ReadHuntedLine(source.line, buffer, capacity, &source.restarted);
  std::lock_guard lock(source.mutex);
  source.shown = source.line.watch.hunt;
  return count;
}

void WakeAutoSource(void* handle) {
  AutoSource& source = *Source(handle);
  std::lock_guard lock(source.mutex);
  source.woken = true;
  if (source.search) {
    WakeAutoSearch(source.search);
  } else {
    WakeSerialPort(source.line.port);
  }
}

// A port that spoke and went away is looked for again among all.
bool AutoSourceMayReturn(void*) { return true; }
bool AutoSourceRestarted(void* source) { return Source(source)->restarted; }

std::u16string Number(std::size_t value) {
  std::u16string text;
  for (const char c : std::to_string(value)) text += char16_t(c);
  return text;
}

// How many ports are tried, and one that sends binary.
std::u16string DescribeSearch(const AutoReport& report) {
  if (report.portsTried == 0) return u"auto: no serial port found yet";
  std::u16string text = u"trying " + Number(report.portsTried);
  text += report.portsTried == 1 ? u" port, no NMEA yet" : u" ports, none has sent NMEA yet";
  if (report.binary == BinaryProtocol::None) return text;
  return text + u"; " + report.binaryPort + u": " + BinaryProtocolName(report.binary) +
         u", not NMEA: switch the receiver to NMEA output";
}

std::u16string DescribeAutoSource(void* handle, std::u16string_view gpsDetail) {
  AutoSource& source = *Source(handle);
  std::lock_guard lock(source.mutex);
  if (source.search) return DescribeSearch(ReportAutoSearch(source.search));
  return u"found NMEA on " + source.spoke + u" at " + Number(source.shown.speed) + u" baud" +
         (gpsDetail.empty() ? u"" : u", ") + std::u16string(gpsDetail);
}

void CloseAutoSource(void* handle) {
  AutoSource* source = Source(handle);
  CloseAutoSearch(source->search);
  if (source->line.port != kInvalidSerialPort) CloseSerialPort(source->line.port);
  delete source;
}

}  // namespace

const GpsSourceKind kAutoSource = {&OpenAutoSource,      &ReadAutoSource,      &WakeAutoSource,
                                   &AutoSourceMayReturn, &AutoSourceRestarted, &DescribeAutoSource,
                                   &CloseAutoSource};
