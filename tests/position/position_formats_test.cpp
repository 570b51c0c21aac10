// The position formats: the table of positions × formats, names, and the record's fields.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/utf8.h"
#include "locator/position_formats.h"
#include "locator/position_text.h"

namespace {

std::string Line(PositionFormat format, const PositionRecord& position,
                 const MapUrlChoice& map = {}) {
  return utf8::Utf16ToUtf8(FormatPosition(format, position, map));
}

PositionRecord At(double latitude, double longitude) {
  PositionRecord position;
  position.latitude = latitude;
  position.longitude = longitude;
  return position;
}

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
  return fields;
}

double Number(const std::string& text) {
  double value = NAN;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

TEST(FormatPosition, TableOfPositionsAndFormats) {
  const PositionFormat columns[] = {PositionFormat::Dd, PositionFormat::Dms, PositionFormat::Utm,
                                    PositionFormat::Mgrs, PositionFormat::Plus};
  std::ifstream table(QUARVEL_FORMATS_TABLE);
  ASSERT_TRUE(table) << QUARVEL_FORMATS_TABLE;
  int rows = 0;
  for (std::string line; std::getline(table, line);) {
    if (line.empty() || line[0] == '#') continue;
    const std::vector<std::string> f = Split(line);
    ASSERT_EQ(f.size(), 8u) << line;
    const PositionRecord position = At(Number(f[0]), Number(f[1]));
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(Line(columns[i], position), f[2 + i])
          << utf8::Utf16ToUtf8(PositionFormatName(columns[i])) << " of " << f[0] << ", " << f[1]
          << " (" << f[7] << ")";
    }
    ++rows;
  }
  EXPECT_GE(rows, 20);
}

TEST(FindPositionFormat, NamesAndTheirList) {
  EXPECT_EQ(utf8::Utf16ToUtf8(PositionFormatNames()),
            "ddm, url, dd, dms, utm, mgrs, plus, geo, osm, json");
  for (auto f : {PositionFormat::Ddm, PositionFormat::Url, PositionFormat::Dd, PositionFormat::Dms,
                 PositionFormat::Utm, PositionFormat::Mgrs, PositionFormat::Plus,
                 PositionFormat::Geo, PositionFormat::Osm, PositionFormat::Json}) {
    EXPECT_EQ(FindPositionFormat(PositionFormatName(f)), f);
  }
  EXPECT_EQ(FindPositionFormat(u"MGRS"), PositionFormat::Mgrs) << "ASCII case ignored";
  for (const char16_t* unknown : {u"", u"utm ", u"xyz", u"d", u"ddmm", u"jsonl"}) {
    EXPECT_EQ(FindPositionFormat(unknown), std::nullopt) << utf8::Utf16ToUtf8(unknown);
  }
}

TEST(FormatPosition, DdmAndUrlAreTheHistoricalLines) {
  const PositionRecord p = At(55.7558, 37.6173);
  char16_t coordinates[kCoordinatesTextSize], url[kMapUrlSize];
  FormatCoordinates(p.latitude, p.longitude, coordinates);
  EXPECT_EQ(FormatPosition(PositionFormat::Ddm, p), coordinates);
  FormatMapUrl(p.latitude, p.longitude, u"h", true, url);
  EXPECT_EQ(FormatPosition(PositionFormat::Url, p, {u"h", true}), url);
  EXPECT_EQ(Line(PositionFormat::Url, p, {u"", false, u"localhost:8000/maps"}),
            "http://localhost:8000/maps/quarvel/?lat=55.7558&lon=37.6173");
  EXPECT_EQ(Line(PositionFormat::Ddm, At(91, NAN)), "N91°0. W0°0.") << "written as always";
}

TEST(FormatPosition, PositionsOffTheGlobeGiveNoLine) {
  const double off[][2] = {{90.0001, 0}, {-91, 0}, {0, 180.5}, {NAN, 0}, {0, -INFINITY}};
  for (auto f :
       {PositionFormat::Dd, PositionFormat::Dms, PositionFormat::Utm, PositionFormat::Mgrs,
        PositionFormat::Plus, PositionFormat::Geo, PositionFormat::Osm, PositionFormat::Json}) {
    for (const auto& p : off) {
      EXPECT_EQ(Line(f, At(p[0], p[1])), "")
          << utf8::Utf16ToUtf8(PositionFormatName(f)) << " " << p[0] << ", " << p[1];
    }
  }
}

TEST(FormatPosition, GeoUncertaintyAndOsmLink) {
  struct Case {
    std::optional<double> accuracy;
    const char* geo;
  } cases[] = {
      {std::nullopt, "geo:-22.906800,-43.172900"},
      {4.54, "geo:-22.906800,-43.172900;u=4.5"},
      {12.0, "geo:-22.906800,-43.172900;u=12"},
      {0.04, "geo:-22.906800,-43.172900;u=0"},
      {-1.0, "geo:-22.906800,-43.172900"},
      {NAN, "geo:-22.906800,-43.172900"},
      {1234.56, "geo:-22.906800,-43.172900;u=1234.6"},
  };
  for (const Case& c : cases) {
    PositionRecord p = At(-22.9068, -43.1729);
    p.accuracy = c.accuracy;
    EXPECT_EQ(Line(PositionFormat::Geo, p), c.geo);
  }
  EXPECT_EQ(Line(PositionFormat::Osm, At(-22.9068, -43.1729)),
            "https://www.openstreetmap.org/?mlat=-22.906800&mlon=-43.172900"
            "#map=17/-22.906800/-43.172900");
}

TEST(FormatPosition, JsonFieldsNullsAndEscapes) {
  PositionRecord full = At(-22.906812345678, -43.1729);
  full.altitude = -12.3;
  full.altitudeDecimals = 2;
  full.time = ReceiverTime{2024, 5, 1, 9, 4, 7.25, 2};
  full.quality = 2;
  full.satellites = 11;
  full.hdop = 0.9f;
  full.accuracy = 2.25;
  full.source = u"/dev/ttyUSB0";
  PositionRecord sparse = At(1, 2);
  sparse.time = ReceiverTime{2024, 0, 1, 9, 4, 7, 0};  // RMC's date not sent yet
  sparse.source = u"a\"b\\c\n\x01\u00e9\U0001F600\xD800z";
  PositionRecord whole = At(1, 2);
  whole.altitude = 100;
  whole.time = ReceiverTime{2031, 12, 31, 23, 59, 60, 0};
  whole.hdop = NAN;
  const std::pair<PositionRecord, const char*> cases[] = {
      {full,
       R"({"lat":-22.906812345678,"lon":-43.1729,"alt":-12.30,"time":"2024-05-01T09:04:07.25Z",)"
       R"("quality":2,"satellites":11,"hdop":0.9,"accuracy":2.3,"source":"/dev/ttyUSB0"})"},
      {sparse, R"({"lat":1,"lon":2,"alt":null,"time":null,"quality":0,"satellites":0,"hdop":null,)"
               R"("accuracy":null,"source":"a\"b\\c\n\u0001é😀\ufffdz"})"},
      {whole,
       R"({"lat":1,"lon":2,"alt":100,"time":"2031-12-31T23:59:60Z","quality":0,"satellites":0,)"
       R"("hdop":null,"accuracy":null,"source":""})"},
  };
  for (const auto& [record, json] : cases) EXPECT_EQ(Line(PositionFormat::Json, record), json);
}

}  // namespace
