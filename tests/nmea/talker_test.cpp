// Multi-GNSS receivers: every GNSS talker for every type, what stays unrecognised, invalid positions.
#include <gtest/gtest.h>

#include <string>

#include "locator/nmea_parser.h"

namespace {

std::string Tag(const char (&tag)[6]) { return std::string(tag, sizeof tag); }

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
      "$GNGNS,092751.00,5321.6802,N*",
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
