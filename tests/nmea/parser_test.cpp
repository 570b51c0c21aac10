// Sentences into GpsState: every block by its table, every GNSS talker, unrecognised texts,
// satellites in view and the fix query.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "nmea/fields.h"
#include "nmea/parser.h"

namespace {

constexpr double kSixtieth = 1.0 / 60;
const double kMunichLat = 48 + 7.038 * kSixtieth;
const double kMunichLon = 11 + 31.0 * kSixtieth;

std::string Tag(const char (&tag)[6]) { return std::string(tag, sizeof tag); }

class NmeaParser : public ::testing::Test {
 protected:
  void SetUp() override { ResetGpsState(); }
};

TEST_F(NmeaParser, GgaFillsEveryField) {
  ParseNmeaSentence("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*");
  const GgaBlock g = CopyGpsState().gga;
  EXPECT_EQ(Tag(g.tag), "$GPGGA");
  EXPECT_EQ(g.hour, 12);
  EXPECT_EQ(g.minute, 35);
  EXPECT_EQ(g.second, 19);
  EXPECT_EQ(g.latitude, kMunichLat);
  EXPECT_NEAR(g.latitude, 48.1173, 1e-12);
  EXPECT_EQ(g.latHemisphere, 'N');
  EXPECT_EQ(g.longitude, kMunichLon);
  EXPECT_NEAR(g.longitude, 11.516666666666667, 1e-12);
  EXPECT_EQ(g.lonHemisphere, 'E');
  EXPECT_EQ(g.quality, '1');
  EXPECT_EQ(g.satellites, 8);
  EXPECT_EQ(g.hdop, 0.9f);
  EXPECT_EQ(g.altitude, 545);
  EXPECT_EQ(g.altitudeUnit, 'M');
  EXPECT_EQ(g.geoidSeparation, 46.9f);
  EXPECT_EQ(g.geoidUnit, 'M');
  EXPECT_EQ(g.dgpsAge, 0.0f);
  EXPECT_EQ(g.dgpsStation, 0);

  double lat = 0, lon = 0;
  uint8_t valid = 7;
  GetGpsFix(&lat, &lon, &valid);
  EXPECT_EQ(lat, kMunichLat);
  EXPECT_EQ(lon, kMunichLon);
  EXPECT_EQ(valid, 0) << "no RMC yet";
}

TEST_F(NmeaParser, SouthAndWestKeepTheBlockAndNegateTheFix) {
  ParseNmeaSentence("$GPGGA,123519,4807.038,S,01131.000,W,1,08,0.9,545.4,M,46.9,M,,*");
  const GgaBlock g = CopyGpsState().gga;
  EXPECT_EQ(g.latitude, kMunichLat);
  EXPECT_EQ(g.longitude, kMunichLon);
  EXPECT_EQ(g.latHemisphere, 'S');
  EXPECT_EQ(g.lonHemisphere, 'W');
  double lat = 0, lon = 0;
  GetGpsFix(&lat, &lon, nullptr);
  EXPECT_EQ(lat, -kMunichLat);
  EXPECT_EQ(lon, -kMunichLon);
}

TEST_F(NmeaParser, EmptyPositionFieldsStoreZeroAndNul) {
  ParseNmeaSentence("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*");
  ParseNmeaSentence("$GPGGA,123520,,,,,0,00,,,M,,M,,*");
  const GgaBlock g = CopyGpsState().gga;
  EXPECT_EQ(g.latitude, 0.0);
  EXPECT_EQ(g.longitude, 0.0);
  EXPECT_EQ(g.latHemisphere, '\0');
  EXPECT_EQ(g.lonHemisphere, '\0');
  EXPECT_EQ(g.quality, '0');
  EXPECT_EQ(g.hdop, 0.0f);
  EXPECT_EQ(g.second, 20);
  double lat = 1, lon = 1;
  GetGpsFix(&lat, &lon, nullptr);
  EXPECT_EQ(lat, 0.0);
  EXPECT_EQ(lon, 0.0);
}

TEST_F(NmeaParser, GgaConvertsOddFieldsLikeTheCLibrary) {
  ParseNmeaSentence("$GPGGA,1235,4807.038,N,01131.000,E,1,300,x,-12.9,M,46.9,M,2.5,0012.7*");
  const GgaBlock g = CopyGpsState().gga;
  EXPECT_EQ(g.hour, 12);
  EXPECT_EQ(g.minute, 35);
  EXPECT_EQ(g.second, 0) << "pair beyond a short time field";
  EXPECT_EQ(g.satellites, 44) << "300 keeps its low 8 bits";
  EXPECT_EQ(g.hdop, 0.0f) << "a letter reads as 0";
  EXPECT_EQ(g.altitude, -12);
  EXPECT_EQ(g.dgpsAge, 2.5f);
  EXPECT_EQ(g.dgpsStation, 12);
}

TEST_F(NmeaParser, RmcStatusDecidesValidityWhileGgaGivesThePosition) {
  ParseNmeaSentence("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*");
  ParseNmeaSentence("$GPRMC,123519,V,0000.000,S,00000.000,W,022.4,084.4,230394,003.1,W*");
  double lat = 0, lon = 0;
  uint8_t valid = 9;
  GetGpsFix(&lat, &lon, &valid);
  EXPECT_EQ(valid, 0);
  EXPECT_EQ(lat, kMunichLat);
  EXPECT_EQ(lon, kMunichLon);

  ParseNmeaSentence("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*");
  GetGpsFix(nullptr, nullptr, &valid);
  EXPECT_EQ(valid, 1);
}

TEST_F(NmeaParser, RmcFillsEveryField) {
  ParseNmeaSentence("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*");
  const RmcBlock r = CopyGpsState().rmc;
  EXPECT_EQ(Tag(r.tag), "$GPRMC");
  EXPECT_EQ(r.hour, 12);
  EXPECT_EQ(r.minute, 35);
  EXPECT_EQ(r.second, 19);
  EXPECT_EQ(r.status, 'A');
  EXPECT_EQ(r.latitude, kMunichLat);
  EXPECT_EQ(r.latHemisphere, 'N');
  EXPECT_EQ(r.longitude, kMunichLon);
  EXPECT_EQ(r.lonHemisphere, 'E');
  EXPECT_EQ(r.speed, 22.4f);
  EXPECT_EQ(r.course, 84.4f);
  EXPECT_EQ(r.day, 23);
  EXPECT_EQ(r.month, 3);
  EXPECT_EQ(r.year, 94);
  EXPECT_EQ(r.magneticVariation, 3.1f);
  EXPECT_EQ(r.variationDirection, 'W');
  EXPECT_EQ(r.mode, '\0') << "an RMC before NMEA 2.3 sends no mode";
  ParseNmeaSentence("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W,D*");
  EXPECT_EQ(CopyGpsState().rmc.mode, 'D');
}

TEST_F(NmeaParser, GnsFillsEveryField) {
  ParseNmeaSentence(
      "$GNGNS,112257.00,3844.24011,N,00908.43828,W,ANRD,10,0.83,111.1,52.4,2.5,0023,V*");
  const GnsBlock g = CopyGpsState().gns;
  EXPECT_EQ(Tag(g.tag), "$GNGNS");
  EXPECT_EQ(g.hour, 11);
  EXPECT_EQ(g.minute, 22);
  EXPECT_EQ(g.second, 57);
  EXPECT_EQ(g.latitude, 38 + 44.24011 * kSixtieth);
  EXPECT_EQ(g.latHemisphere, 'N');
  EXPECT_EQ(g.longitude, 9 + 8.43828 * kSixtieth);
  EXPECT_EQ(g.lonHemisphere, 'W');
  EXPECT_EQ(std::string(g.mode, sizeof g.mode), std::string("ANRD\0\0\0\0", 8));
  EXPECT_EQ(g.satellites, 10);
  EXPECT_EQ(g.hdop, 0.83f);
  EXPECT_EQ(g.altitude, 111.1f);
  EXPECT_EQ(g.geoidSeparation, 52.4f);
  EXPECT_EQ(g.dgpsAge, 2.5f);
  EXPECT_EQ(g.dgpsStation, 23);
  EXPECT_EQ(g.navigationStatus, 'V');
  ParseNmeaSentence("$GNGNS,112258.00,,,,,NNNNNNNNNN,00*");
  EXPECT_EQ(std::string(CopyGpsState().gns.mode, 8), "NNNNNNNN") << "a mode cut to 8 letters";
}

// GST from several talkers: each fills the one block; a location service's GST
// sends the latitude and longitude errors alone.
TEST_F(NmeaParser, GstFillsEveryField) {
  const struct {
    const char* text;
    float rms, major, minor, orientation, lat, lon, alt;
  } cases[] = {
      {"$GPGST,024603.00,3.2,6.6,4.7,47.3,5.8,5.6,22.0*", 3.2f, 6.6f, 4.7f, 47.3f, 5.8f, 5.6f,
       22.0f},
      {"$GNGST,024603.00,0.95,1.6,1.1,89.9,1.2,1.4,2.6*", 0.95f, 1.6f, 1.1f, 89.9f, 1.2f, 1.4f,
       2.6f},
      {"$GLGST,024603.00,,,,,0.707,0.707,*", 0, 0, 0, 0, 0.707f, 0.707f, 0},
  };
  for (const auto& c : cases) {
    ResetGpsState();
    ParseNmeaSentence(c.text);
    const GstBlock g = CopyGpsState().gst;
    EXPECT_EQ(Tag(g.tag), std::string(c.text, 6));
    EXPECT_EQ(g.hour * 10000 + g.minute * 100 + g.second, 24603) << c.text;
    const float got[] = {g.rms,           g.majorAxis,      g.minorAxis,    g.orientation,
                         g.latitudeError, g.longitudeError, g.altitudeError};
    const float want[] = {c.rms, c.major, c.minor, c.orientation, c.lat, c.lon, c.alt};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(got[i], want[i]) << c.text << " field " << i + 2;
  }
}

// Where the position comes from: GGA once one came since the port opened, else
// a valid RMC, else a GNS with a fixed constellation.
TEST_F(NmeaParser, PositionFromGgaElseRmcElseGns) {
  const char* gga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*";
  const char* ggaNoFix = "$GPGGA,123519,4807.038,N,01131.000,E,0,00,,,M,,M,,*";
  const char* rmc = "$GPRMC,123520,A,3844.24011,S,00908.43828,W,0.0,0.0,230394,,,A*";
  const char* rmcNoMode = "$GPRMC,123520,A,3844.24011,S,00908.43828,W,0.0,0.0,230394,,*";
  const char* rmcModeN = "$GPRMC,123520,A,3844.24011,S,00908.43828,W,0.0,0.0,230394,,,N*";
  const char* rmcVoid = "$GPRMC,123520,V,3844.24011,S,00908.43828,W,0.0,0.0,230394,,,A*";
  const char* gns = "$GNGNS,123521,0512.5,N,00512.5,E,NNA,08,1.0,10.0,5.0,,,S*";
  const char* gnsNoFix = "$GNGNS,123521,0512.5,N,00512.5,E,NN,08,1.0,10.0,5.0,,,V*";
  const char* gnsEmpty = "$GNGNS,123521,0512.5,N,00512.5,E,,08,1.0,10.0,5.0,,,V*";
  const double munich[] = {kMunichLat, kMunichLon};
  const double lisbon[] = {-(38 + 44.24011 * kSixtieth), -(9 + 8.43828 * kSixtieth)};
  const double gulf[] = {5 + 12.5 * kSixtieth, 5 + 12.5 * kSixtieth};
  const double none[] = {0, 0};
  const struct {
    const char* what;
    std::vector<const char*> sentences;  // nullptr: the port is opened again
    const double* position;
  } cases[] = {
      {"GGA", {gga}, munich},
      {"GGA beside a valid RMC", {rmc, gga}, munich},
      {"a quality-0 GGA beside a valid RMC", {rmc, ggaNoFix, gns}, none},
      {"RMC alone", {rmc}, lisbon},
      {"RMC without a mode field", {rmcNoMode}, lisbon},
      {"RMC with mode N", {rmcModeN}, none},
      {"RMC void", {rmcVoid}, none},
      {"GNS alone", {gns}, gulf},
      {"GNS with no constellation fixed", {gnsNoFix}, none},
      {"GNS without a mode", {gnsEmpty}, none},
      {"RMC before GNS", {gns, rmc}, lisbon},
      {"GNS when RMC is void", {rmcVoid, gns}, gulf},
      {"a GGA of an earlier opening", {gga, nullptr, rmc}, lisbon},
      {"a GGA after the opening", {gga, nullptr, rmc, ggaNoFix}, none},
  };
  for (const auto& c : cases) {
    ResetGpsState();
    for (const char* sentence : c.sentences) {
      sentence ? ParseNmeaSentence(sentence) : NoteGpsPortOpened();
    }
    double latitude = -1, longitude = -1;
    GetGpsFix(&latitude, &longitude, nullptr);
    EXPECT_EQ(latitude, c.position[0]) << c.what;
    EXPECT_EQ(longitude, c.position[1]) << c.what;
  }
}

TEST_F(NmeaParser, GllKeepsThePlainNumbers) {
  ParseNmeaSentence("$GPGLL,4916.45,N,12311.12,W,225444,A*");
  const GllBlock g = CopyGpsState().gll;
  EXPECT_EQ(Tag(g.tag), "$GPGLL");
  EXPECT_EQ(g.latitude, 4916.45);
  EXPECT_EQ(g.latHemisphere, 'N');
  EXPECT_EQ(g.longitude, 12311.12);
  EXPECT_EQ(g.lonHemisphere, 'W');
  EXPECT_EQ(g.hour, 22);
  EXPECT_EQ(g.minute, 54);
  EXPECT_EQ(g.second, 44);
  EXPECT_EQ(g.status, 'A');
}

TEST_F(NmeaParser, GsaStoresListedSatellitesAndZeroForEmptySlots) {
  ParseNmeaSentence("$GPGSA,A,3,01,02,03,04,05,06,07,08,09,10,11,12,2.5,1.3,2.1*");
  ParseNmeaSentence("$GPGSA,M,2,04,05,09,12,24,,,,,,,,3.5,2.3,1.1*");
  const GsaBlock g = CopyGpsState().gsa;
  EXPECT_EQ(Tag(g.tag), "$GPGSA");
  EXPECT_EQ(g.mode, 'M');
  EXPECT_EQ(g.fixType, '2');
  const int expected[12] = {4, 5, 9, 12, 24, 0, 0, 0, 0, 0, 0, 0};
  for (int i = 0; i < 12; ++i)
    EXPECT_EQ(g.satelliteIds[i], expected[i]) << "satelliteIds[" << i << "]";
  EXPECT_EQ(g.pdop, 3.5f);
  EXPECT_EQ(g.hdop, 2.3f);
  EXPECT_EQ(g.vdop, 1.1f);
}

TEST_F(NmeaParser, GsaWithTwelveSatellitesKeepsAllAndTheDilutions) {
  ParseNmeaSentence("$GPGSA,A,3,01,02,03,04,05,06,07,08,09,10,11,32,2.5,1.3,2.1*");
  const GsaBlock g = CopyGpsState().gsa;
  for (int i = 0; i < 11; ++i) EXPECT_EQ(g.satelliteIds[i], i + 1) << "satelliteIds[" << i << "]";
  EXPECT_EQ(g.satelliteIds[11], 32);
  EXPECT_EQ(g.pdop, 2.5f);
  EXPECT_EQ(g.hdop, 1.3f);
  EXPECT_EQ(g.vdop, 2.1f);
}

TEST_F(NmeaParser, GsvShortMessageKeepsTheLaterEntriesOfAnEarlierOne) {
  ParseNmeaSentence("$GPGSV,2,1,08,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45*");
  ParseNmeaSentence("$GPGSV,2,2,06,21,60,120,30,25,05,010,*");
  const GsvBlock g = CopyGpsState().gsv;
  EXPECT_EQ(Tag(g.tag), "$GPGSV");
  EXPECT_EQ(g.messageCount, '2');
  EXPECT_EQ(g.messageNumber, '2');
  EXPECT_EQ(g.satellitesInView, 6);
  const struct {
    int prn, elevation, azimuth, snr;
  } expected[4] = {{21, 60, 120, 30}, {25, 5, 10, 0}, {12, 7, 344, 39}, {14, 22, 228, 45}};
  for (int i = 0; i < 4; ++i) {
    const GsvSatellite& s = g.satellites[i];
    EXPECT_EQ(s.prn, expected[i].prn) << "satellites[" << i << "].prn";
    EXPECT_EQ(s.elevation, expected[i].elevation) << "satellites[" << i << "].elevation";
    EXPECT_EQ(s.azimuth, expected[i].azimuth) << "satellites[" << i << "].azimuth";
    EXPECT_EQ(s.snr, expected[i].snr) << "satellites[" << i << "].snr";
  }
}

TEST_F(NmeaParser, VtgStoresFourNumbersAndLettersReadAsZero) {
  ParseNmeaSentence("$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K*");
  const VtgBlock v = CopyGpsState().vtg;
  EXPECT_EQ(Tag(v.tag), "$GPVTG");
  const float expected[4] = {54.7f, 0.0f, 34.4f, 0.0f};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(v.values[i], expected[i]) << "values[" << i << "]";
}

TEST_F(NmeaParser, ZdaFillsEveryField) {
  ParseNmeaSentence("$GPZDA,201530.00,04,07,2002,-5,30*");
  const ZdaBlock z = CopyGpsState().zda;
  EXPECT_EQ(Tag(z.tag), "$GPZDA");
  EXPECT_EQ(z.hour, 20);
  EXPECT_EQ(z.minute, 15);
  EXPECT_EQ(z.second, 30);
  EXPECT_EQ(z.day, 4);
  EXPECT_EQ(z.month, 7);
  EXPECT_EQ(z.year, 2002);
  EXPECT_EQ(z.zoneHours, 251) << "-5 keeps its low 8 bits";
  EXPECT_EQ(z.zoneMinutes, 30);
}

TEST_F(NmeaParser, OnlyTheFirstSixCharactersChooseTheParser) {
  ParseNmeaSentence("$GPGGAX,123519,4807.038,N*");
  const GpsState s = CopyGpsState();
  EXPECT_EQ(Tag(s.gga.tag), "$GPGGA");
  EXPECT_EQ(s.gga.hour, 12);
  EXPECT_EQ(s.gga.latitude, kMunichLat);
  EXPECT_STREQ(s.other.text, "");
}

TEST_F(NmeaParser, TextsMatchingNoTagLandInOther) {
  const char* const texts[] = {
      "$GXGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*",
      "$gpgga,123519*",
      "$GP",
      "",
      ",M,,*",
      "$PGRMZ,246,f,3*",
  };
  for (const char* text : texts) {
    ParseNmeaSentence(text);
    const GpsState s = CopyGpsState();
    EXPECT_STREQ(s.other.text, text);
    EXPECT_EQ(s.gga.tag[0], '\0') << "\"" << text << "\" reached the GGA block";
  }
}

TEST_F(NmeaParser, OtherHoldsExactlyTheLatestTextCutTo261) {
  const std::string longText = "$GNTXT," + std::string(300, 'z') + "*";
  ParseNmeaSentence(longText.c_str());
  GpsState s = CopyGpsState();
  EXPECT_EQ(std::string(s.other.text), longText.substr(0, 261));
  EXPECT_EQ(s.other.text[261], '\0');

  ParseNmeaSentence("$GNTXT,short*");
  s = CopyGpsState();
  EXPECT_STREQ(s.other.text, "$GNTXT,short*");
  for (std::size_t i = std::strlen(s.other.text); i < sizeof s.other.text; ++i) {
    ASSERT_EQ(s.other.text[i], '\0') << "other.text[" << i << "] still holds the older text";
  }
}

TEST_F(NmeaParser, LongFieldIsCutAndShiftsTheNextFields) {
  // Field 1 has 25 characters: 20 are kept, the 21st is eaten as a separator.
  ParseNmeaSentence("$GPGLL,1234567890123456789012345,N,12311.12,W,225444,A*");
  const GllBlock g = CopyGpsState().gll;
  EXPECT_EQ(g.latitude, 12345678901234567890.0);
  EXPECT_EQ(g.latHemisphere, '2') << "the last 4 characters became field 2";
  EXPECT_EQ(g.longitude, 0.0) << "\"N\" moved into field 3";
  EXPECT_EQ(g.lonHemisphere, '1');
  EXPECT_EQ(g.hour, 0) << "\"W\" moved into field 5";
  EXPECT_EQ(g.status, '2') << "\"225444\" moved into field 6";
}

TEST_F(NmeaParser, FieldsAfterTheStarKeepTheirValues) {
  ParseNmeaSentence("$GPZDA,201530.00,04,07,2002,01,30*");
  ParseNmeaSentence("$GPZDA,101010,05*,08,2003");
  const ZdaBlock z = CopyGpsState().zda;
  EXPECT_EQ(z.hour, 10);
  EXPECT_EQ(z.day, 5);
  EXPECT_EQ(z.month, 7) << "after the '*'";
  EXPECT_EQ(z.year, 2002) << "after the '*'";
  EXPECT_EQ(z.zoneMinutes, 30) << "after the '*'";
}

// The reader writes two alternating positions while the worker polls: every
// answer must be one whole position with its own hemispheres.
TEST_F(NmeaParser, FixIsNeverTornOrMixed) {
  const char* const north = "$GPGGA,1,4807.038,N,01131.000,E,1*";
  const char* const south = "$GPGGA,2,3352.000,S,15112.000,W,1*";
  const double northLat = NmeaCoordToDegrees("4807.038"),
               northLon = NmeaCoordToDegrees("01131.000");
  const double southLat = -NmeaCoordToDegrees("3352.000"),
               southLon = -NmeaCoordToDegrees("15112.000");
  ParseNmeaSentence(north);
  std::atomic<bool> done{false};
  std::thread reader([&] {
    for (int i = 0; i < 200000 && !done; ++i) ParseNmeaSentence(i % 2 ? north : south);
    done = true;
  });
  int mixed = 0;
  while (!done) {
    double lat = 0, lon = 0;
    GetGpsFix(&lat, &lon, nullptr);
    const bool isNorth = lat == northLat && lon == northLon;
    const bool isSouth = lat == southLat && lon == southLon;
    if (!isNorth && !isSouth) ++mixed;
  }
  reader.join();
  EXPECT_EQ(mixed, 0) << "answers mixing two sentences";
}

// Multi-GNSS receivers: every GNSS talker for every type, what stays unrecognised,
// invalid positions.

const char* const kTalkers[] = {"GP", "GN", "GL", "GA", "GB", "BD", "GQ", "QZ", "GI"};

// Each type with a body, the tag its block holds and one field the body sets.
struct TypeCase {
  const char* type;
  const char* body;
  std::string (*tag)(const GpsState&);
  double (*field)(const GpsState&);
  double expected;
};
const TypeCase kTypes[] = {
    {"GGA", ",092751.000,5321.6802,N,00630.3372,W,1,8,1.03,61.7,M,55.2,M,,*",
     [](const GpsState& s) { return Tag(s.gga.tag); },
     [](const GpsState& s) { return double(s.gga.satellites); }, 8},
    {"GLL", ",5321.6802,N,00630.3372,W,092751.000,A,A*",
     [](const GpsState& s) { return Tag(s.gll.tag); },
     [](const GpsState& s) { return s.gll.latitude; }, 5321.6802},
    {"GSA", ",A,3,10,07,05,02,29,04,08,13,,,,,1.72,1.03,1.38,1*",
     [](const GpsState& s) { return Tag(s.gsa.tag); },
     [](const GpsState& s) { return double(s.gsa.satelliteIds[7]); }, 13},
    {"GSV", ",3,1,11,10,63,137,17,07,61,098,15,05,59,290,20,08,54,157,30*",
     [](const GpsState& s) { return Tag(s.gsv.tag); },
     [](const GpsState& s) { return double(s.gsv.satellites[3].snr); }, 30},
    {"RMC", ",092751.000,A,5321.6802,N,00630.3372,W,0.02,31.66,280511,,,A*",
     [](const GpsState& s) { return Tag(s.rmc.tag); },
     [](const GpsState& s) { return double(s.rmc.course); }, double(31.66f)},
    {"VTG", ",31.66,T,,M,0.02,N,0.04,K,A*", [](const GpsState& s) { return Tag(s.vtg.tag); },
     [](const GpsState& s) { return double(s.vtg.values[0]); }, double(31.66f)},
    {"ZDA", ",092751.000,28,05,2011,00,00*", [](const GpsState& s) { return Tag(s.zda.tag); },
     [](const GpsState& s) { return double(s.zda.year); }, 2011},
    {"GNS", ",092751.00,5321.6802,N,00630.3372,W,AAN,14,0.9,61.7,55.2,,,V*",
     [](const GpsState& s) { return Tag(s.gns.tag); },
     [](const GpsState& s) { return double(s.gns.satellites); }, 14},
    {"GST", ",092751.00,1.5,2.0,1.2,45.0,1.6,1.3,3.1*",
     [](const GpsState& s) { return Tag(s.gst.tag); },
     [](const GpsState& s) { return double(s.gst.longitudeError); }, double(1.3f)},
};

class Talkers : public ::testing::Test {
 protected:
  void SetUp() override { ResetGpsState(); }
};

TEST_F(Talkers, EveryGnssTalkerFillsEveryTypeAndKeepsItsTag) {
  for (const char* talker : kTalkers) {
    for (const TypeCase& type : kTypes) {
      ResetGpsState();
      const std::string tag = std::string("$") + talker + type.type;
      ParseNmeaSentence((tag + type.body).c_str());
      const GpsState s = CopyGpsState();
      EXPECT_EQ(type.tag(s), tag);
      EXPECT_EQ(type.field(s), type.expected) << tag;
      EXPECT_STREQ(s.other.text, "") << tag;
    }
  }
}

TEST_F(Talkers, OnlyTheFirstSixCharactersChooseWhateverTheTalker) {
  ParseNmeaSentence("$GNGGAX,092751.000,5321.6802,N*");
  const GpsState s = CopyGpsState();
  EXPECT_EQ(Tag(s.gga.tag), "$GNGGA");
  EXPECT_EQ(s.gga.hour, 9);
  EXPECT_STREQ(s.other.text, "");
}

TEST_F(Talkers, ProprietaryOtherTalkersAndOtherTypesStayUnrecognised) {
  const char* const texts[] = {
      "$PUBX,00,092751.00,5321.6802,N,00630.3372,W,61.7,G3,2.1,2.0,0.0,31.66,0.0,,1.0,1.0,1.0,8,0,"
      "0*",
      "$PGRME,15.0,M,45.0,M,25.0,M*",
      "$IIGGA,092751,5321.6802,N*",
      "$ECRMC,092751,A*",
      "$GXGGA,1*",
      "$GZGGA,1*",
      "$BPGGA,1*",
      "$QPGGA,1*",
      "$GGGGA,1*",
      "$gnGGA,1*",
      "$GNTXT,01,01,02,u-blox AG - www.u-blox.com*",
      "$GNGRS,092751.00,1,-0.5,0.3,1.1,,,,,,,,,1,1*",
      "$GNGBS,092751.00,1.5,1.2,3.0,,,,*",
      "$GN",
      "$G",
      "$BD",
      "$QZGG",
      "$GLGS",
      "GNGGA,1*",
  };
  for (const char* text : texts) {
    ParseNmeaSentence(text);
    const GpsState s = CopyGpsState();
    EXPECT_STREQ(s.other.text, text);
    EXPECT_EQ(s.gga.tag[0], '\0') << "\"" << text << "\" reached the GGA block";
    EXPECT_EQ(s.rmc.tag[0], '\0') << "\"" << text << "\" reached the RMC block";
  }
}

TEST_F(Talkers, TheLatestOfATypeFillsItsBlockAndEachConstellationCountsItsSatellites) {
  EXPECT_EQ(SatellitesInView(), 0);
  ParseNmeaSentence("$GPGSV,3,1,11,10,63,137,17,07,61,098,15,05,59,290,20,08,54,157,30*");
  ParseNmeaSentence("$GLGSV,2,1,07,65,42,028,27,71,11,339,,72,33,285,31,73,35,080,*");
  ParseNmeaSentence("$GPGSV,3,2,11,02,39,223,19,13,28,070,17,26,23,252,,04,14,186,14*");
  ParseNmeaSentence("$GBGSV,1,1,02,08,28,071,24,13,45,291,29*");
  ParseNmeaSentence("$BDGSV,1,1,03,08,28,071,24,13,45,291,29,14,10,110,*");
  const GsvBlock g = CopyGpsState().gsv;
  EXPECT_EQ(Tag(g.tag), "$BDGSV");
  EXPECT_EQ(g.satellitesInView, 3);
  EXPECT_EQ(g.satellites[2].prn, 14);
  EXPECT_EQ(g.satellites[3].prn, 4) << "an entry the message does not reach keeps the older one";
  EXPECT_EQ(SatellitesInView(), 11 + 7 + 3) << "GPS, GLONASS and BeiDou (both of its talkers)";
  ResetGpsState();
  EXPECT_EQ(SatellitesInView(), 0);
}

// A receiver that tracks none of a constellation's satellites says so in a GSV
// that ends after its count.
TEST_F(Talkers, AGsvEndingAtItsCountSetsItsConstellationsCount) {
  const struct {
    const char* gsv;
    int expected;
  } cases[] = {
      {"$GPGSV,1,1,00*", 0 + 7},
      {"$GPGSV,1,1,05*", 5 + 7},
      {"$GPGSV,1,1*", 11 + 7},  // no count sent: the older one stays
  };
  for (const auto& c : cases) {
    ResetGpsState();
    ParseNmeaSentence("$GPGSV,3,1,11,10,63,137,17,07,61,098,15,05,59,290,20,08,54,157,30*");
    ParseNmeaSentence("$GLGSV,2,1,07,65,42,028,27,71,11,339,,72,33,285,31,73,35,080,*");
    ParseNmeaSentence(c.gsv);
    EXPECT_EQ(SatellitesInView(), c.expected) << "GPS and GLONASS after " << c.gsv;
  }
}

TEST_F(Talkers, FixQualityZeroGivesNoPositionButKeepsWhatCame) {
  const struct {
    const char* quality;
    bool position;
  } cases[] = {{"0", false}, {"1", true}, {"2", true}, {"6", true}, {"", true}};
  for (const auto& c : cases) {
    ResetGpsState();
    const std::string text = std::string("$GNGGA,000012.00,8960.000000,N,00630.3372,W,") +
                             c.quality + ",00,99.99,,,,,,*";
    ParseNmeaSentence(text.c_str());
    double latitude = -1, longitude = -1;
    GetGpsFix(&latitude, &longitude, nullptr);
    EXPECT_DOUBLE_EQ(latitude, c.position ? 90.0 : 0.0) << "quality '" << c.quality << "'";
    EXPECT_DOUBLE_EQ(longitude, c.position ? -(6 + 30.3372 / 60) : 0.0)
        << "quality '" << c.quality << "'";
    const GgaBlock g = CopyGpsState().gga;
    EXPECT_DOUBLE_EQ(g.latitude, 90.0) << "the block keeps what came";
    EXPECT_EQ(g.latHemisphere, 'N');
    EXPECT_EQ(g.lonHemisphere, 'W');
    EXPECT_EQ(g.quality, c.quality[0]);
  }
}

}  // namespace
