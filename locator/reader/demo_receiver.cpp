// The sentences of the simulated receiver: a realistic once-a-second cycle with checksums.
#include "locator/reader/demo_receiver.h"

#include <cstdio>

#include "common/ascii_case.h"

namespace {

struct Satellite {
  int prn, elevation, azimuth, snr;
};
// Ten satellites in view; the first nine are used in the solution.
constexpr Satellite kSky[10] = {
    {2, 63, 287, 44},  {5, 41, 64, 42},  {10, 17, 312, 33}, {12, 72, 140, 47}, {15, 35, 95, 40},
    {18, 24, 251, 36}, {24, 55, 42, 45}, {25, 12, 168, 31}, {29, 29, 329, 38}, {13, 8, 206, 0}};

struct UtcTime {
  int year, month, day, hour, minute, second;
};

// Civil date from Unix time (proleptic Gregorian, days-from-civil inverted).
UtcTime ToUtc(int64_t utcSeconds) {
  int64_t days = utcSeconds / 86400;
  int64_t rest = utcSeconds % 86400;
  if (rest < 0) rest += 86400, --days;
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t dayOfEra = days - era * 146097;
  const int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t monthIndex = (5 * dayOfYear + 2) / 153;
  UtcTime time;
  time.day = int(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  time.month = int(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  time.year = int(yearOfEra + era * 400 + (time.month <= 2 ? 1 : 0));
  time.hour = int(rest / 3600);
  time.minute = int(rest / 60 % 60);
  time.second = int(rest % 60);
  return time;
}

// A small, repeatable wobble in ten-thousandths of a minute, -20..20.
int Jitter(uint32_t second, uint32_t salt) {
  uint32_t x = second * 2654435761u ^ salt * 40503u;
  x ^= x >> 15;
  x *= 2246822519u;
  x ^= x >> 13;
  return int(x % 41) - 20;
}

class BurstWriter {
 public:
  explicit BurstWriter(char (&burst)[kDemoBurstCapacity]) : burst_(burst) {}

  // Adds "$<body>*<checksum>\r\n" when it fits.
  void Sentence(const char* body) {
    unsigned checksum = 0;
    for (const char* c = body; *c; ++c) checksum ^= static_cast<unsigned char>(*c);
    const int written = std::snprintf(burst_ + length_, kDemoBurstCapacity - length_,
                                      "$%s*%02X\r\n", body, checksum);
    if (written > 0 && std::size_t(written) < kDemoBurstCapacity - length_)
      length_ += std::size_t(written);
  }
  std::size_t Length() const { return length_; }

 private:
  char* burst_;
  std::size_t length_ = 0;
};

// ddmm.mmmm / dddmm.mmmm from whole degrees and minutes in ten-thousandths.
void FormatCoordinate(char* out, std::size_t size, int degreeDigits, int degrees, int minutes10k) {
  std::snprintf(out, size, "%0*d%02d.%04d", degreeDigits, degrees, minutes10k / 10000,
                minutes10k % 10000);
}

void AddSatellites(BurstWriter& writer, bool fixed) {
  char body[96];
  for (int message = 0; message < 3; ++message) {
    int used = std::snprintf(body, sizeof body, "GPGSV,3,%d,10", message + 1);
    for (int i = message * 4; i < message * 4 + 4 && i < 10; ++i) {
      const Satellite& s = kSky[i];
      used += std::snprintf(body + used, sizeof body - std::size_t(used), ",%02d,%02d,%03d,", s.prn,
                            s.elevation, s.azimuth);
      if (fixed && s.snr > 0) {
        used += std::snprintf(body + used, sizeof body - std::size_t(used), "%02d", s.snr);
      }
    }
    writer.Sentence(body);
  }
}

}  // namespace

std::size_t BuildDemoBurst(uint32_t second, int64_t utcSeconds, char (&burst)[kDemoBurstCapacity]) {
  const UtcTime t = ToUtc(utcSeconds);
  const bool fixed = second >= kDemoNoFixSeconds;
  char time[16], date[8], lat[16] = "", lon[16] = "", body[128];
  std::snprintf(time, sizeof time, "%02d%02d%02d.00", t.hour, t.minute, t.second);
  std::snprintf(date, sizeof date, "%02d%02d%02d", t.day, t.month, t.year % 100);
  if (fixed) {
    FormatCoordinate(lat, sizeof lat, 2, 48, 513000 + Jitter(second, 1));
    FormatCoordinate(lon, sizeof lon, 3, 2, 177000 + Jitter(second, 2));
  }
  const char* north = fixed ? "N" : "";
  const char* east = fixed ? "E" : "";
  BurstWriter writer(burst);
  if (fixed) {
    std::snprintf(body, sizeof body, "GPGGA,%s,%s,N,%s,E,1,09,0.9,%d.%d,M,47.3,M,,", time, lat, lon,
                  35 + Jitter(second, 3) / 10, (Jitter(second, 4) + 20) / 5);
    writer.Sentence(body);
    writer.Sentence("GPGSA,A,3,02,05,10,12,15,18,24,25,29,,,,1.6,0.9,1.3");
  } else {
    std::snprintf(body, sizeof body, "GPGGA,%s,,,,,0,00,99.99,,,,,,", time);
    writer.Sentence(body);
    writer.Sentence("GPGSA,A,1,,,,,,,,,,,,,99.99,99.99,99.99");
  }
  AddSatellites(writer, fixed);
  std::snprintf(body, sizeof body, "GPRMC,%s,%c,%s,%s,%s,%s,%s,%s,%s,%s,%s,%c", time,
                fixed ? 'A' : 'V', lat, north, lon, east, fixed ? "0.02" : "", fixed ? "0.0" : "",
                date, fixed ? "1.1" : "", fixed ? "W" : "", fixed ? 'A' : 'N');
  writer.Sentence(body);
  writer.Sentence(fixed ? "GPVTG,0.0,T,,M,0.02,N,0.04,K,A" : "GPVTG,,T,,M,,N,,K,N");
  std::snprintf(body, sizeof body, "GPZDA,%s,%02d,%02d,%04d,00,00", time, t.day, t.month, t.year);
  writer.Sentence(body);
  return writer.Length();
}

bool IsDemoPortName(const char16_t* name) {
  return name && EqualsIgnoringAsciiCase(name, u"DEMO:");
}
