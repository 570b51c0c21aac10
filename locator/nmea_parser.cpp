// The seven understood sentence types, each a short table from field index to stored value.
#include "locator/nmea_parser.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace {

// Written by the reader thread, read by the worker: one lock keeps every block
// whole, so a position never mixes two sentences or shows a half-written double.
GpsState gState{};
std::mutex gStateLock;

constexpr std::size_t kOtherTextMax = sizeof(OtherBlock::text) - 1;

void StoreTag(char (&tag)[6], const char* field) { std::memcpy(tag, field, sizeof tag); }

template <typename T>
void StoreTime(const char* field, T* first, T* second, T* third) {
  const NmeaTimePairs pairs = NmeaReadTimePairs(field);
  *first = static_cast<T>(pairs.first);
  *second = static_cast<T>(pairs.second);
  *third = static_cast<T>(pairs.third);
}

}  // namespace

// $GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*
void ParseGGA(const char* text) {
  const std::lock_guard lock(gStateLock);
  GgaBlock& b = gState.gga;
  WalkNmeaFields(text, 15, [&](int index, const char* f) {
    switch (index) {
      case 0: StoreTag(b.tag, f); break;
      case 1: StoreTime(f, &b.hour, &b.minute, &b.second); break;
      case 2: b.latitude = NmeaCoordToDegrees(f); break;
      case 3: b.latHemisphere = f[0]; break;
      case 4: b.longitude = NmeaCoordToDegrees(f); break;
      case 5: b.lonHemisphere = f[0]; break;
      case 6: b.quality = f[0]; break;
      case 7: b.satellites = NmeaReadByte(f); break;
      case 8: b.hdop = NmeaReadFloat(f); break;
      case 9: b.altitude = NmeaReadInt(f); break;
      case 10: b.altitudeUnit = f[0]; break;
      case 11: b.geoidSeparation = NmeaReadFloat(f); break;
      case 12: b.geoidUnit = f[0]; break;
      case 13: b.dgpsAge = NmeaReadFloat(f); break;
      case 14: b.dgpsStation = NmeaReadIntViaDouble(f); break;
    }
  });
}

// $GPGLL,4916.45,N,12311.12,W,225444,A*
void ParseGLL(const char* text) {
  const std::lock_guard lock(gStateLock);
  GllBlock& b = gState.gll;
  WalkNmeaFields(text, 7, [&](int index, const char* f) {
    switch (index) {
      case 0: StoreTag(b.tag, f); break;
      case 1: b.latitude = NmeaReadDouble(f); break;
      case 2: b.latHemisphere = f[0]; break;
      case 3: b.longitude = NmeaReadDouble(f); break;
      case 4: b.lonHemisphere = f[0]; break;
      case 5: StoreTime(f, &b.hour, &b.minute, &b.second); break;
      case 6: b.status = f[0]; break;
    }
  });
}

// $GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*
void ParseGSA(const char* text) {
  const std::lock_guard lock(gStateLock);
  GsaBlock& b = gState.gsa;
  WalkNmeaFields(text, 18, [&](int index, const char* f) {
    if (index >= 3 && index <= 14) {
      b.satelliteIds[index - 3] = NmeaReadByte(f);
      return;
    }
    switch (index) {
      case 0: StoreTag(b.tag, f); break;
      case 1: b.mode = f[0]; break;
      case 2: b.fixType = f[0]; break;
      case 15: b.pdop = NmeaReadFloat(f); break;
      case 16: b.hdop = NmeaReadFloat(f); break;
      case 17: b.vdop = NmeaReadFloat(f); break;
    }
  });
}

// $GPGSV,2,1,08,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45*
void ParseGSV(const char* text) {
  const std::lock_guard lock(gStateLock);
  GsvBlock& b = gState.gsv;
  WalkNmeaFields(text, 20, [&](int index, const char* f) {
    if (index >= 4) {
      GsvSatellite& s = b.satellites[(index - 4) / 4];
      switch ((index - 4) % 4) {
        case 0: s.prn = NmeaReadByte(f); break;
        case 1: s.elevation = NmeaReadByte(f); break;
        case 2: s.azimuth = NmeaReadInt(f); break;
        case 3: s.snr = NmeaReadByte(f); break;
      }
      return;
    }
    switch (index) {
      case 0: StoreTag(b.tag, f); break;
      case 1: b.messageCount = f[0]; break;
      case 2: b.messageNumber = f[0]; break;
      case 3: b.satellitesInView = NmeaReadByte(f); break;
    }
  });
}

// $GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*
void ParseRMC(const char* text) {
  const std::lock_guard lock(gStateLock);
  RmcBlock& b = gState.rmc;
  WalkNmeaFields(text, 12, [&](int index, const char* f) {
    switch (index) {
      case 0: StoreTag(b.tag, f); break;
      case 1: StoreTime(f, &b.hour, &b.minute, &b.second); break;
      case 2: b.status = f[0]; break;
      case 3: b.latitude = NmeaCoordToDegrees(f); break;
      case 4: b.latHemisphere = f[0]; break;
      case 5: b.longitude = NmeaCoordToDegrees(f); break;
      case 6: b.lonHemisphere = f[0]; break;
      case 7: b.speed = NmeaReadFloat(f); break;
      case 8: b.course = NmeaReadFloat(f); break;
      case 9: StoreTime(f, &b.day, &b.month, &b.year); break;
      case 10: b.magneticVariation = NmeaReadFloat(f); break;
      case 11: b.variationDirection = f[0]; break;
    }
  });
}

// $GPVTG,054.7,T,034.4,M,005.5,N,010.2,K*  (fields 5 and 6 are walked, not kept)
void ParseVTG(const char* text) {
  const std::lock_guard lock(gStateLock);
  VtgBlock& b = gState.vtg;
  WalkNmeaFields(text, 7, [&](int index, const char* f) {
    if (index == 0) StoreTag(b.tag, f);
    if (index >= 1 && index <= 4) b.values[index - 1] = NmeaReadFloat(f);
  });
}

// $GPZDA,201530.00,04,07,2002,00,00*
void ParseZDA(const char* text) {
  const std::lock_guard lock(gStateLock);
  ZdaBlock& b = gState.zda;
  WalkNmeaFields(text, 12, [&](int index, const char* f) {
    switch (index) {
      case 0: StoreTag(b.tag, f); break;
      case 1: StoreTime(f, &b.hour, &b.minute, &b.second); break;
      case 2: b.day = NmeaReadByte(f); break;
      case 3: b.month = NmeaReadByte(f); break;
      case 4: b.year = NmeaReadInt(f); break;
      case 5: b.zoneHours = NmeaReadByte(f); break;
      case 6: b.zoneMinutes = NmeaReadByte(f); break;
    }
  });
}

void StoreOtherSentence(const char* text) {
  const std::size_t length = strnlen(text, kOtherTextMax);
  const std::lock_guard lock(gStateLock);
  char* stored = gState.other.text;
  std::memcpy(stored, text, length);
  // Zero the rest so no tail of a longer, older text shows behind this one.
  std::memset(stored + length, 0, sizeof gState.other.text - length);
}

void ParseNmeaSentence(const char* text) {
  struct Route {
    const char* tag;
    void (*parse)(const char*);
  };
  static constexpr Route kRoutes[] = {
      {"$GPGGA", ParseGGA}, {"$GPGLL", ParseGLL}, {"$GPGSA", ParseGSA}, {"$GPGSV", ParseGSV},
      {"$GPRMC", ParseRMC}, {"$GPVTG", ParseVTG}, {"$GPZDA", ParseZDA},
  };
  // Only a text of at least six characters can match; the six are compared exactly.
  if (strnlen(text, 6) == 6) {
    for (const Route& route : kRoutes) {
      if (std::memcmp(text, route.tag, 6) == 0) {
        route.parse(text);
        return;
      }
    }
  }
  StoreOtherSentence(text);
}

void GetGpsFix(double* latitude, double* longitude, uint8_t* valid) {
  const std::lock_guard lock(gStateLock);
  const GgaBlock& gga = gState.gga;
  if (latitude) *latitude = gga.latHemisphere == 'S' ? -gga.latitude : gga.latitude;
  if (longitude) *longitude = gga.lonHemisphere == 'W' ? -gga.longitude : gga.longitude;
  if (valid) *valid = gState.rmc.status == 'A' ? 1 : 0;
}

GpsState CopyGpsState() {
  const std::lock_guard lock(gStateLock);
  return gState;
}

void ResetGpsState() {
  const std::lock_guard lock(gStateLock);
  gState = GpsState{};
}
