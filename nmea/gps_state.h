// The latest value of every understood NMEA field, one block per sentence type.
#pragma once

#include <cstdint>

struct GgaBlock {  // $GPGGA: time, position, fix quality
  char tag[6];
  int32_t hour;
  int32_t minute;
  int32_t second;
  double latitude;  // decimal degrees, without sign
  char latHemisphere;
  double longitude;  // decimal degrees, without sign
  char lonHemisphere;
  char quality;
  uint8_t satellites;
  float hdop;
  int32_t altitude;
  char altitudeUnit;
  float geoidSeparation;
  char geoidUnit;
  float dgpsAge;
  int32_t dgpsStation;
};

struct GllBlock {  // $GPGLL: position as received (ddmm.mmmm), time, status
  char tag[6];
  double latitude;
  char latHemisphere;
  double longitude;
  char lonHemisphere;
  uint8_t hour;
  uint8_t minute;
  uint8_t second;
  char status;
};

struct GsaBlock {  // $GPGSA: satellites in the solution, dilutions
  char tag[6];
  char mode;
  char fixType;
  uint8_t satelliteIds[12];
  float pdop;
  float hdop;
  float vdop;
};

struct GsvSatellite {
  uint8_t prn;
  uint8_t elevation;
  int32_t azimuth;
  uint8_t snr;
};

struct GsvBlock {  // $GPGSV: the satellites of the latest message only
  char tag[6];
  char messageNumber;  // before the count, although the sentence sends the count first
  char messageCount;
  uint8_t satellitesInView;
  GsvSatellite satellites[4];
};

struct RmcBlock {  // $GPRMC: time, validity, position, motion, date
  char tag[6];
  uint8_t hour;
  uint8_t minute;
  uint8_t second;
  char status;
  double latitude;  // decimal degrees, without sign
  char latHemisphere;
  double longitude;  // decimal degrees, without sign
  char lonHemisphere;
  float speed;
  float course;
  uint8_t day;
  uint8_t month;
  uint8_t year;
  float magneticVariation;
  char variationDirection;
};

struct VtgBlock {  // $GPVTG: fields 1 to 4 as numbers (a letter reads as 0)
  char tag[6];
  float values[4];
};

struct ZdaBlock {  // $GPZDA: time, date, local zone
  char tag[6];
  uint8_t hour;
  uint8_t minute;
  uint8_t second;
  uint8_t day;
  uint8_t month;
  int32_t year;
  uint8_t zoneHours;
  uint8_t zoneMinutes;
};

struct OtherBlock {  // the latest text that matched none of the tags, NUL-terminated
  char text[262];
};

struct GpsState {
  GgaBlock gga;
  GllBlock gll;
  GsaBlock gsa;
  GsvBlock gsv;
  RmcBlock rmc;
  VtgBlock vtg;
  ZdaBlock zda;
  OtherBlock other;
};
