// The coordinates line and the map URL for positions in every hemisphere.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "common/utf8.h"
#include "locator/position_text.h"

namespace {

const std::u16string kUrlStart = std::u16string(u"http://") + kMapHost + u"/quarvel/?";

std::string Utf8(const std::u16string& text) { return utf8::Utf16ToUtf8(text); }

std::u16string Coordinates(double latitude, double longitude) {
  char16_t text[kCoordinatesTextSize];
  const std::size_t length = FormatCoordinates(latitude, longitude, text);
  EXPECT_EQ(length, std::u16string(text).size());
  return text;
}

std::u16string Url(double latitude, double longitude, const char16_t* mapType, bool lite) {
  char16_t url[kMapUrlSize];
  const std::size_t length = FormatMapUrl(latitude, longitude, mapType, lite, url);
  EXPECT_EQ(length, std::u16string(url).size());
  return url;
}

struct CoordinatesCase {
  double latitude, longitude;
  const char16_t* text;
  const char* why;
};

TEST(FormatCoordinates, HemispheresDegreesAndMinutes) {
  const CoordinatesCase cases[] = {
      {55.7558, 37.6173, u"N55°45.348 E37°37.038", "north-east"},
      {-22.9068, -43.1729, u"S22°54.408 W43°10.373", "south-west; 10.3739999 is cut"},
      {48.5, 2.0005, u"N48°30. E2°3.e-002", "whole minutes keep the point; tiny minutes"},
      {-33.8688, 151.2093, u"S33°52.128 E151°12.558", "south-east"},
      {40.7128, -74.006, u"N40°42.768 W74°0.36", "north-west"},
      {55.0, 7.5, u"N55°0. E7°30.", "zero minutes; no leading zeros"},
      {50.2057765, -179.9999, u"N50°12.346 W179°59.993", "cut, not rounded"},
      {12.0166666, 0.5, u"N12°0.999 E0°30.", "minutes below one; zero degrees"},
      {89.99999999, -0.5, u"N89°59.999 W0°30.", "the pole side; zero degrees west"},
      {0.0, 0.0, u"S0°0. W0°0.", "zero is not north nor east"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8(Coordinates(c.latitude, c.longitude)), Utf8(c.text))
        << c.why << " (" << c.latitude << ", " << c.longitude << ")";
  }
}

TEST(FormatCoordinates, OutOfRangeValuesStayWithinTheBuffer) {
  const double values[] = {1e300, -1e300, 1e18, INFINITY, -INFINITY, NAN, 4e9};
  for (double latitude : values) {
    for (double longitude : values) {
      const std::u16string text = Coordinates(latitude, longitude);
      EXPECT_LT(text.size(), kCoordinatesTextSize) << latitude << ", " << longitude;
      EXPECT_TRUE(text[0] == u'N' || text[0] == u'S') << Utf8(text);
    }
  }
}

struct UrlCase {
  double latitude, longitude;
  const char16_t* mapType;
  bool lite;
  const char16_t* query;
};

TEST(FormatMapUrl, QueryKeys) {
  const UrlCase cases[] = {
      {55.7558, 37.6173, u"h", true, u"lat=55.7558&lon=37.6173&t=h&s=1"},
      {-22.9068, -43.1729, u"", false, u"lat=-22.9068&lon=-43.1729"},
      {55.7558, 37.6173, u"n", false, u"lat=55.7558&lon=37.6173&t=n"},
      {55.7558, 37.6173, u"", true, u"lat=55.7558&lon=37.6173&s=1"},
      {55.7558, 37.6173, nullptr, false, u"lat=55.7558&lon=37.6173"},
      {0.05, -0.0001, u"k", false, u"lat=5.e-002&lon=-1.e-004&t=k"},
      {55.755812345, -179.123456789, u"", false, u"lat=55.755812&lon=-179.12346"},
      {48.0, 2.0, u"", false, u"lat=48.&lon=2."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8(Url(c.latitude, c.longitude, c.mapType, c.lite)), Utf8(kUrlStart + c.query))
        << "(" << c.latitude << ", " << c.longitude << ")";
  }
}

TEST(FormatMapUrl, MapTypeOutsideLettersIsPercentEncoded) {
  const struct {
    const char16_t* mapType;
    const char16_t* parameter;
  } cases[] = {
      {u"Z", u"&t=Z"},
      {u"7", u"&t=7"},
      {u"~", u"&t=~"},
      {u"&", u"&t=%26"},
      {u"#", u"&t=%23"},
      {u" ", u"&t=%20"},
      {u"é", u"&t=%C3%A9"},
      {u"\xD800", u"&t=%EF%BF%BD"},
      {u"\x20AC", u"&t=%E2%82%AC"},
      {u"hx", u"&t=h"},  // one letter only
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8(Url(1.5, 2.5, c.mapType, false)),
              Utf8(kUrlStart + u"lat=1.5&lon=2.5" + c.parameter));
  }
}

TEST(FormatMapUrl, LongestUrlFitsItsClipboardBlock) {
  // Fifteen-character numbers and the longest encoded map type.
  const std::u16string url = Url(-1.2345678e-308, -1.2345678e-308, u"\x20AC", true);
  EXPECT_EQ(url.size(), kUrlStart.size() + 55) << Utf8(url);
  EXPECT_LE(url.size(), 254u) << "the clipboard block holds 255 characters";
}

}  // namespace
