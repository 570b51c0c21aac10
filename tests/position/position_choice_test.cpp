// The form a run writes its position in (option, settings.ini, default), the map
// hosts it accepts, and the record of a fix built from the GPS state.
#include <gtest/gtest.h>

#include <string>

#include "common/map_host_check.h"
#include "common/utf8.h"
#include "locator/fix_record.h"
#include "locator/publish.h"
#include "nmea/parser.h"

namespace {

std::string Narrow(std::u16string_view text) { return utf8::Utf16ToUtf8(text); }

TEST(IsMapHost, TheBuildSettingsRule) {
  const struct {
    std::u16string host;
    bool ok;
  } cases[] = {
      {u"maps.quarvel.net", true},
      {u"127.0.0.1:8080", true},
      {u"[::1]:8000/maps/quarvel-1", true},
      {u"host_name", false},  // "_" only in path segments
      {u"", false},
      {u"http://maps.example.org", false},
      {u"maps.example.org/", false},
      {u"maps.example.org:80a", false},
      {u"ma\u00efs.example", false},
      {std::u16string(190, u'a'), true},
      {std::u16string(191, u'a'), false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsMapHost(c.host), c.ok) << Narrow(c.host);
}

Settings WithSaved(bool coordinatesOnly, std::u16string_view format, std::u16string_view host) {
  Settings s;
  s.coordinatesOnly = coordinatesOnly;
  s.mapType[0] = u'k';
  s.format[format.copy(s.format, kPortNameUnits)] = 0;
  s.mapHost[host.copy(s.mapHost, kPortNameUnits)] = 0;
  return s;
}

TEST(ChoosePositionForm, OptionThenSettingsThenDefault) {
  const struct {
    const char* name;
    Settings settings;
    std::u16string format, host;  // the options
    PositionFormat expected;
    std::u16string expectedHost;
  } cases[] = {
      {"Coordinates only on", WithSaved(true, u"", u""), u"", u"", PositionFormat::Ddm, kMapHost},
      {"Coordinates only off", WithSaved(false, u"", u""), u"", u"", PositionFormat::Url, kMapHost},
      {"settings.ini's format and host", WithSaved(true, u"UTM", u"m.example:81"), u"", u"",
       PositionFormat::Utm, u"m.example:81"},
      {"options before settings.ini", WithSaved(true, u"utm", u"m.example"), u"geo", u"o.example",
       PositionFormat::Geo, u"o.example"},
      {"settings.ini's unknown format and bad host: the defaults",
       WithSaved(false, u"wgs84", u"http://m.example"), u"", u"", PositionFormat::Url, kMapHost},
  };
  for (const auto& c : cases) {
    const PositionChoice choice = ChoosePositionForm(c.settings, c.format, c.host);
    EXPECT_EQ(Narrow(PositionFormatName(choice.format)), Narrow(PositionFormatName(c.expected)))
        << c.name;
    EXPECT_EQ(Narrow(choice.map.host), Narrow(c.expectedHost)) << c.name;
    EXPECT_EQ(Narrow(choice.map.mapType), "k") << c.name;
  }
}

TEST(ComposePosition, NewFormsAreNeverCutToABlock) {
  PositionRecord record;
  const std::u16string longSource(300, u'p');
  record.source = longSource;
  std::u16string json;
  EXPECT_EQ(int(ComposePosition(record, {PositionFormat::Json, {}}, json)),
            int(PublishResult::Coordinates));
  EXPECT_NE(json.find(longSource + u"\"}"), std::u16string::npos) << Narrow(json);
}

TEST(RecordOfFix, TheStatesWordsAroundThePosition) {
  const struct {
    const char* name;
    std::vector<const char*> sentences;
    std::string json;
  } cases[] = {
      {"GGA and RMC: altitude's decimals, RMC's date, seconds as sent",
       {"$GPGGA,120001.25,5545.3480,N,03737.0380,E,2,08,0.9,150.50,M,14.0,M,,*",
        "$GNRMC,120001.25,A,5545.3480,N,03737.0380,E,0.0,0.0,070126,,,A*"},
       R"({"lat":1.5,"lon":2.5,"alt":150.50,"time":"2026-01-07T12:00:01.25Z","quality":2,)"
       R"("satellites":8,"hdop":0.9,"accuracy":null,"source":"COM1:"})"},
      {"ZDA's four-digit year without RMC; GGA without altitude",
       {"$GPGGA,201530,5545.3480,N,03737.0380,E,1,05,1.5,,M,,M,,*",
        "$GPZDA,201530.00,04,07,2002,00,00*"},
       R"({"lat":1.5,"lon":2.5,"alt":null,"time":"2002-07-04T20:15:30.00Z","quality":1,)"
       R"("satellites":5,"hdop":1.5,"accuracy":null,"source":"COM1:"})"},
      {"GNS alone: its satellites and HDOP, no time",
       {"$GNGNS,112257.00,3844.24011,N,00908.43828,W,AN,10,0.83,111.1,52.4,,,V*"},
       R"({"lat":1.5,"lon":2.5,"alt":null,"time":null,"quality":0,)"
       R"("satellites":10,"hdop":0.83,"accuracy":null,"source":"COM1:"})"},
      {"GST's errors are the accuracy: sqrt(3^2 + 4^2)",
       {"$GPGGA,120001,5545.3480,N,03737.0380,E,1,08,0.9,7.25,M,,M,,*",
        "$GPGST,120001,1.0,4.0,3.0,0.0,3.0,4.0,5.0*"},
       R"({"lat":1.5,"lon":2.5,"alt":7.25,"time":null,"quality":1,)"
       R"("satellites":8,"hdop":0.9,"accuracy":5,"source":"COM1:"})"},
      {"a proprietary RMC-like sentence keeps nothing",
       {"$GPGGA,120001,5545.3480,N,03737.0380,E,1,08,0.9,7.25,M,,M,,*", "$PGRMZ,93,f,3*",
        "$PGGGA,120001,5545.3480,N,03737.0380,E,1,08,0.9,99.9,M,,M,,*"},
       R"({"lat":1.5,"lon":2.5,"alt":7.25,"time":null,"quality":1,)"
       R"("satellites":8,"hdop":0.9,"accuracy":null,"source":"COM1:"})"},
  };
  for (const auto& c : cases) {
    ResetGpsState();
    ForgetSentFields();
    for (const char* sentence : c.sentences) {
      ParseNmeaSentence(sentence);
      KeepSentFields(sentence);
    }
    std::string storage[int(SentField::Count)];
    const PositionRecord record =
        RecordOfFix(1.5, 2.5, CopyGpsState(), LatestSentTexts(storage), u"COM1:");
    EXPECT_EQ(Narrow(FormatPosition(PositionFormat::Json, record)), c.json) << c.name;
  }
}

}  // namespace
