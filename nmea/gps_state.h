// The latest value of every understood NMEA field, one block per sentence type.
// Each block's Fields() is its parser: the sentence's fields in order, each with
// the member it fills and its conversion (nmea/field_table.h), under a sample.
#pragma once

#include <cstdint>
#include <tuple>

#include "nmea/field_table.h"

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

  // ParseGGA: $GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*
  static constexpr auto Fields() {
    using namespace nmea_table;
    using B = GgaBlock;
    return std::tuple{
        Tag("tag", &B::tag),                                                 // field 0
        Time("hour", &B::hour, "minute", &B::minute, "second", &B::second),  // field 1
        Degrees("latitude", &B::latitude),                                   // field 2
        Char("latHemisphere", &B::latHemisphere),                            // field 3
        Degrees("longitude", &B::longitude),                                 // field 4
        Char("lonHemisphere", &B::lonHemisphere),                            // field 5
        Char("quality", &B::quality),                                        // field 6
        Byte("satellites", &B::satellites),                                  // field 7
        Float("hdop", &B::hdop),                                             // field 8
        Int("altitude", &B::altitude),                                       // field 9
        Char("altitudeUnit", &B::altitudeUnit),                              // field 10
        Float("geoidSeparation", &B::geoidSeparation),                       // field 11
        Char("geoidUnit", &B::geoidUnit),                                    // field 12
        Float("dgpsAge", &B::dgpsAge),                                       // field 13
        IntViaDouble("dgpsStation", &B::dgpsStation),                        // field 14
    };
  }
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

  // ParseGLL: $GPGLL,4916.45,N,12311.12,W,225444,A*
  static constexpr auto Fields() {
    using namespace nmea_table;
    using B = GllBlock;
    return std::tuple{
        Tag("tag", &B::tag),                                                 // field 0
        Double("latitude", &B::latitude),                                    // field 1
        Char("latHemisphere", &B::latHemisphere),                            // field 2
        Double("longitude", &B::longitude),                                  // field 3
        Char("lonHemisphere", &B::lonHemisphere),                            // field 4
        Time("hour", &B::hour, "minute", &B::minute, "second", &B::second),  // field 5
        Char("status", &B::status),                                          // field 6
    };
  }
};

struct GsaBlock {  // $GPGSA: satellites in the solution, dilutions
  char tag[6];
  char mode;
  char fixType;
  uint8_t satelliteIds[12];
  float pdop;
  float hdop;
  float vdop;

  // ParseGSA: $GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*
  static constexpr auto Fields() {
    using namespace nmea_table;
    using B = GsaBlock;
    return std::tuple{
        Tag("tag", &B::tag),                     // field 0
        Char("mode", &B::mode),                  // field 1
        Char("fixType", &B::fixType),            // field 2
        Byte("satelliteIds", &B::satelliteIds),  // fields 3-14
        Float("pdop", &B::pdop),                 // field 15
        Float("hdop", &B::hdop),                 // field 16
        Float("vdop", &B::vdop),                 // field 17
    };
  }
};

struct GsvSatellite {
  uint8_t prn;
  uint8_t elevation;
  int32_t azimuth;
  uint8_t snr;

  // ...,01,40,083,46,...
  static constexpr auto Fields() {
    using namespace nmea_table;
    using B = GsvSatellite;
    return std::tuple{
        Byte("prn", &B::prn),
        Byte("elevation", &B::elevation),
        Int("azimuth", &B::azimuth),
        Byte("snr", &B::snr),
    };
  }
};

struct GsvBlock {  // $GPGSV: the satellites of the latest message only
  char tag[6];
  char messageNumber;  // before the count, although the sentence sends the count first
  char messageCount;
  uint8_t satellitesInView;
  GsvSatellite satellites[4];

  // ParseGSV: $GPGSV,2,1,08,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45*
  static constexpr auto Fields() {
    using namespace nmea_table;
    using B = GsvBlock;
    return std::tuple{
        Tag("tag", &B::tag),                                    // field 0
        Char("messageCount", &B::messageCount),                 // field 1
        Char("messageNumber", &B::messageNumber),               // field 2
        InViewCount("satellitesInView", &B::satellitesInView),  // field 3
        Records("satellites", &B::satellites),                  // fields 4-19
    };
  }
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
  char mode;  // NMEA 2.3 on: A autonomous, D differential, E estimated, N no fix...

  // ParseRMC: $GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W,A*
  static constexpr auto Fields() {
    using namespace nmea_table;
    using B = RmcBlock;
    return std::tuple{
        Tag("tag", &B::tag),                                                 // field 0
        Time("hour", &B::hour, "minute", &B::minute, "second", &B::second),  // field 1
        Char("status", &B::status),                                          // field 2
        Degrees("latitude", &B::latitude),                                   // field 3
        Char("latHemisphere", &B::latHemisphere),                            // field 4
        Degrees("longitude", &B::longitude),                                 // field 5
        Char("lonHemisphere", &B::lonHemisphere),                            // field 6
        Float("speed", &B::speed),                                           // field 7
        Float("course", &B::course),                                         // field 8
        Time("day", &B::day, "month", &B::month, "year", &B::year),          // field 9
        Float("magneticVariation", &B::magneticVariation),                   // field 10
        Char("variationDirection", &B::variationDirection),                  // field 11
        Char("mode", &B::mode),                                              // field 12
    };
  }
};

struct VtgBlock {  // $GPVTG: fields 1 to 4 as numbers (a letter reads as 0)
  char tag[6];
  float values[4];

  // ParseVTG: $GPVTG,054.7,T,034.4,M,005.5,N,010.2,K*  (fields 5 on are not kept)
  static constexpr auto Fields() {
    using namespace nmea_table;
    using B = VtgBlock;
    return std::tuple{
        Tag("tag", &B::tag),          // field 0
        Float("values", &B::values),  // fields 1-4
    };
  }
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

  // ParseZDA: $GPZDA,201530.00,04,07,2002,00,00*
  static constexpr auto Fields() {
    using namespace nmea_table;
    using B = ZdaBlock;
    return std::tuple{
        Tag("tag", &B::tag),                                                 // field 0
        Time("hour", &B::hour, "minute", &B::minute, "second", &B::second),  // field 1
        Byte("day", &B::day),                                                // field 2
        Byte("month", &B::month),                                            // field 3
        Int("year", &B::year),                                               // field 4
        Byte("zoneHours", &B::zoneHours),                                    // field 5
        Byte("zoneMinutes", &B::zoneMinutes),                                // field 6
    };
  }
};

struct GnsBlock {  // $GPGNS: time, position, a fix mode per constellation (NMEA 4)
  char tag[6];
  uint8_t hour;
  uint8_t minute;
  uint8_t second;
  double latitude;  // decimal degrees, without sign
  char latHemisphere;
  double longitude;  // decimal degrees, without sign
  char lonHemisphere;
  char mode[8];  // a letter per constellation (GPS, GLONASS, Galileo, BeiDou...): N no fix
  uint8_t satellites;
  float hdop;
  float altitude;
  float geoidSeparation;
  float dgpsAge;
  int32_t dgpsStation;
  char navigationStatus;  // NMEA 4.1: S safe, C caution, U unsafe, V not valid

  // ParseGNS: $GNGNS,112257.00,3844.24011,N,00908.43828,W,AN,10,0.83,111.1,52.4,,,V*
  static constexpr auto Fields() {
    using namespace nmea_table;
    using B = GnsBlock;
    return std::tuple{
        Tag("tag", &B::tag),                                                 // field 0
        Time("hour", &B::hour, "minute", &B::minute, "second", &B::second),  // field 1
        Degrees("latitude", &B::latitude),                                   // field 2
        Char("latHemisphere", &B::latHemisphere),                            // field 3
        Degrees("longitude", &B::longitude),                                 // field 4
        Char("lonHemisphere", &B::lonHemisphere),                            // field 5
        Letters("mode", &B::mode),                                           // field 6
        Byte("satellites", &B::satellites),                                  // field 7
        Float("hdop", &B::hdop),                                             // field 8
        Float("altitude", &B::altitude),                                     // field 9
        Float("geoidSeparation", &B::geoidSeparation),                       // field 10
        Float("dgpsAge", &B::dgpsAge),                                       // field 11
        IntViaDouble("dgpsStation", &B::dgpsStation),                        // field 12
        Char("navigationStatus", &B::navigationStatus),                      // field 13
    };
  }
};

struct GstBlock {  // $GPGST: error statistics of the fix, 1-sigma, in metres
  char tag[6];
  uint8_t hour;
  uint8_t minute;
  uint8_t second;
  float rms;        // of the range inputs
  float majorAxis;  // of the error ellipse
  float minorAxis;
  float orientation;    // of the major axis, degrees from true north
  float latitudeError;  // 0 when not sent
  float longitudeError;
  float altitudeError;

  // ParseGST: $GPGST,024603.00,3.2,6.6,4.7,47.3,5.8,5.6,22.0*
  static constexpr auto Fields() {
    using namespace nmea_table;
    using B = GstBlock;
    return std::tuple{
        Tag("tag", &B::tag),                                                 // field 0
        Time("hour", &B::hour, "minute", &B::minute, "second", &B::second),  // field 1
        Float("rms", &B::rms),                                               // field 2
        Float("majorAxis", &B::majorAxis),                                   // field 3
        Float("minorAxis", &B::minorAxis),                                   // field 4
        Float("orientation", &B::orientation),                               // field 5
        Float("latitudeError", &B::latitudeError),                           // field 6
        Float("longitudeError", &B::longitudeError),                         // field 7
        Float("altitudeError", &B::altitudeError),                           // field 8
    };
  }
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
  GnsBlock gns;
  GstBlock gst;
  OtherBlock other;
};

// The blocks that sentence types fill, in the order they lie in the state: a
// sentence of a GNSS talker whose type letters match one fills it.
inline constexpr std::tuple kGpsBlocks{
    NmeaBlock{"gga", "GGA", &GpsState::gga}, NmeaBlock{"gll", "GLL", &GpsState::gll},
    NmeaBlock{"gsa", "GSA", &GpsState::gsa}, NmeaBlock{"gsv", "GSV", &GpsState::gsv},
    NmeaBlock{"rmc", "RMC", &GpsState::rmc}, NmeaBlock{"vtg", "VTG", &GpsState::vtg},
    NmeaBlock{"zda", "ZDA", &GpsState::zda}, NmeaBlock{"gns", "GNS", &GpsState::gns},
    NmeaBlock{"gst", "GST", &GpsState::gst},
};
