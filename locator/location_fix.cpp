// A location service's fix as NMEA sentences, and in words.
#include "locator/location_fix.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// "$<body>*<checksum>\r\n".
std::string Sentence(const std::string& body) {
  unsigned checksum = 0;
  for (char c : body) checksum ^= static_cast<unsigned char>(c);
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X\r\n", checksum);
  return "$" + body + tail;
}

// ddmm.mmmmmmm,N or dddmm.mmmmmmm,E; a rounding up to 60 minutes carries.
std::string Coordinate(double degrees, int degreeDigits, char positive, char negative) {
  constexpr int64_t kPerMinute = 10'000'000;
  const int64_t units = std::llround(std::fabs(degrees) * 60.0 * double(kPerMinute));
  const int64_t minutes = units / kPerMinute;
  char text[32];
  std::snprintf(text, sizeof text, "%0*lld%02lld.%07lld,%c", degreeDigits,
                static_cast<long long>(minutes / 60), static_cast<long long>(minutes % 60),
                static_cast<long long>(units % kPerMinute), degrees < 0 ? negative : positive);
  return text;
}

struct UtcText {
  std::string time;  // hhmmss.ss
  std::string date;  // ddmmyy
};

UtcText Utc(std::chrono::sys_time<std::chrono::milliseconds> when) {
  using namespace std::chrono;
  const sys_days day = floor<days>(when);
  const year_month_day date(day);
  const hh_mm_ss clock(floor<milliseconds>(when - day));
  char time[32], dateText[32];
  std::snprintf(time, sizeof time, "%02d%02d%02d.%02d", int(clock.hours().count()),
                int(clock.minutes().count()), int(clock.seconds().count()),
                int(clock.subseconds().count() / 10));
  std::snprintf(dateText, sizeof dateText, "%02u%02u%02d", unsigned(date.day()),
                unsigned(date.month()), (int(date.year()) % 100 + 100) % 100);
  return {time, dateText};
}

std::string Decimal(double value, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::u16string Ascii(const std::string& text) { return std::u16string(text.begin(), text.end()); }

}  // namespace

std::string ComposeFixSentences(const LocationFix& fix) {
  const bool satellites = fix.source == FixSource::Satellites;
  const UtcText utc = Utc(fix.time);
  const std::string position =
      Coordinate(fix.latitude, 2, 'N', 'S') + "," + Coordinate(fix.longitude, 3, 'E', 'W');
  const std::string hdop = fix.hdop ? Decimal(*fix.hdop, 1) : "";
  const std::string altitude = fix.altitude ? Decimal(*fix.altitude, 1) + ",M" : ",";
  std::string sentences =
      Sentence("GNGGA," + utc.time + "," + position + (satellites ? ",1," : ",6,") + "," + hdop +
               "," + altitude + ",,,,") +
      Sentence("GNRMC," + utc.time + ",A," + position + ",,," + utc.date + ",,," +
               (satellites ? "A" : "E"));
  if (fix.accuracy > 0.0) {
    const std::string error = Decimal(fix.accuracy / std::sqrt(2.0), 3);
    sentences += Sentence("GNGST," + utc.time + ",,,,," + error + "," + error + ",");
  }
  return sentences;
}

std::u16string DescribeLocationFix(const LocationFix& fix) {
  std::u16string kind;
  switch (fix.source) {
    case FixSource::Satellites: kind = u"a satellite fix"; break;
    case FixSource::WiFi: kind = u"a Wi-Fi position"; break;
    case FixSource::Cells: kind = u"a position from mobile network cells"; break;
    case FixSource::IpAddress: kind = u"a position from the IP address"; break;
    case FixSource::Unknown: kind = u"a position of unknown origin"; break;
  }
  if (fix.accuracy <= 0.0) return kind;
  return kind + u", \u00b1" + Ascii(Decimal(fix.accuracy, 0)) + u" m";
}
