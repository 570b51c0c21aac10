// The NMEA parser as first written (copy the field, then convert it), kept to check the fast one against.
// Header-only and used by the fuzz target alone; nothing in the product links it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "nmea/gps_state.h"
#include "nmea/fields.h"
#include "tests/support/nmea_copied_fields.h"

namespace nmea_reference {

// The field conversions and the copying walk are the product's own and stay as
// they were; what this checks is the parser that reads fields in place.

inline void StoreTag(char (&tag)[6], const char* field) { std::memcpy(tag, field, sizeof tag); }

template <typename T>
void StoreTime(const char* field, T* first, T* second, T* third) {
  const NmeaTimePairs pairs = NmeaReadTimePairs(field);
  *first = static_cast<T>(pairs.first);
  *second = static_cast<T>(pairs.second);
  *third = static_cast<T>(pairs.third);
}

inline void ParseGGA(GgaBlock& b, const char* text) {
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

inline void ParseGLL(GllBlock& b, const char* text) {
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

inline void ParseGSA(GsaBlock& b, const char* text) {
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

inline void ParseGSV(GsvBlock& b, const char* text) {
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

inline void ParseRMC(RmcBlock& b, const char* text) {
  WalkNmeaFields(text, 13, [&](int index, const char* f) {
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
      case 12: b.mode = f[0]; break;
    }
  });
}

inline void ParseGNS(GnsBlock& b, const char* text) {
  WalkNmeaFields(text, 14, [&](int index, const char* f) {
    switch (index) {
      case 0: StoreTag(b.tag, f); break;
      case 1: StoreTime(f, &b.hour, &b.minute, &b.second); break;
      case 2: b.latitude = NmeaCoordToDegrees(f); break;
      case 3: b.latHemisphere = f[0]; break;
      case 4: b.longitude = NmeaCoordToDegrees(f); break;
      case 5: b.lonHemisphere = f[0]; break;
      case 6: std::strncpy(b.mode, f, sizeof b.mode); break;
      case 7: b.satellites = NmeaReadByte(f); break;
      case 8: b.hdop = NmeaReadFloat(f); break;
      case 9: b.altitude = NmeaReadFloat(f); break;
      case 10: b.geoidSeparation = NmeaReadFloat(f); break;
      case 11: b.dgpsAge = NmeaReadFloat(f); break;
      case 12: b.dgpsStation = NmeaReadIntViaDouble(f); break;
      case 13: b.navigationStatus = f[0]; break;
    }
  });
}

inline void ParseGST(GstBlock& b, const char* text) {
  WalkNmeaFields(text, 9, [&](int index, const char* f) {
    switch (index) {
      case 0: StoreTag(b.tag, f); break;
      case 1: StoreTime(f, &b.hour, &b.minute, &b.second); break;
      case 2: b.rms = NmeaReadFloat(f); break;
      case 3: b.majorAxis = NmeaReadFloat(f); break;
      case 4: b.minorAxis = NmeaReadFloat(f); break;
      case 5: b.orientation = NmeaReadFloat(f); break;
      case 6: b.latitudeError = NmeaReadFloat(f); break;
      case 7: b.longitudeError = NmeaReadFloat(f); break;
      case 8: b.altitudeError = NmeaReadFloat(f); break;
    }
  });
}

inline void ParseVTG(VtgBlock& b, const char* text) {
  WalkNmeaFields(text, 7, [&](int index, const char* f) {
    if (index == 0) StoreTag(b.tag, f);
    if (index >= 1 && index <= 4) b.values[index - 1] = NmeaReadFloat(f);
  });
}

inline void ParseZDA(ZdaBlock& b, const char* text) {
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

inline void StoreOther(OtherBlock& b, const char* text) {
  const std::size_t length = strnlen(text, sizeof b.text - 1);
  std::memcpy(b.text, text, length);
  std::memset(b.text + length, 0, sizeof b.text - length);
}

// The dispatch by the first six characters, "$" + talker + type, into a state of the caller's.
inline void ParseSentence(GpsState& s, const char* text) {
  static const char* const kTalkers[] = {"GP", "GN", "GL", "GA", "GB", "BD", "GQ", "QZ", "GI"};
  bool gnss = false;
  if (strnlen(text, 6) == 6 && text[0] == '$') {
    for (const char* talker : kTalkers) gnss = gnss || std::memcmp(text + 1, talker, 2) == 0;
  }
  if (gnss) {
    const char* type = text + 3;
    if (std::memcmp(type, "GGA", 3) == 0) return ParseGGA(s.gga, text);
    if (std::memcmp(type, "GLL", 3) == 0) return ParseGLL(s.gll, text);
    if (std::memcmp(type, "GSA", 3) == 0) return ParseGSA(s.gsa, text);
    if (std::memcmp(type, "GSV", 3) == 0) return ParseGSV(s.gsv, text);
    if (std::memcmp(type, "RMC", 3) == 0) return ParseRMC(s.rmc, text);
    if (std::memcmp(type, "VTG", 3) == 0) return ParseVTG(s.vtg, text);
    if (std::memcmp(type, "ZDA", 3) == 0) return ParseZDA(s.zda, text);
    if (std::memcmp(type, "GNS", 3) == 0) return ParseGNS(s.gns, text);
    if (std::memcmp(type, "GST", 3) == 0) return ParseGST(s.gst, text);
  }
  StoreOther(s.other, text);
}

// The position rule read plainly: the state began zeroed when the port opened,
// so a GGA came since then when its tag is there.
inline void Fix(const GpsState& s, double* latitude, double* longitude, uint8_t* valid) {
  *latitude = *longitude = 0.0;
  *valid = s.rmc.status == 'A' ? 1 : 0;
  double lat = 0, lon = 0;
  char north = 0, east = 0;
  if (s.gga.tag[0] != '\0') {
    if (s.gga.quality == '0') return;
    lat = s.gga.latitude, north = s.gga.latHemisphere, lon = s.gga.longitude,
    east = s.gga.lonHemisphere;
  } else if (s.rmc.status == 'A' && s.rmc.mode != 'N') {
    lat = s.rmc.latitude, north = s.rmc.latHemisphere, lon = s.rmc.longitude,
    east = s.rmc.lonHemisphere;
  } else if (std::strpbrk(std::string(s.gns.mode, strnlen(s.gns.mode, sizeof s.gns.mode)).c_str(),
                          "ABCDEFGHIJKLMOPQRSTUVWXYZ")) {
    lat = s.gns.latitude, north = s.gns.latHemisphere, lon = s.gns.longitude,
    east = s.gns.lonHemisphere;
  } else {
    return;
  }
  *latitude = north == 'S' ? -lat : lat;
  *longitude = east == 'W' ? -lon : lon;
}

}  // namespace nmea_reference
