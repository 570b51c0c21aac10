// The port text picks the reader's source: the built-in ones by name, the platform's port for the rest.
#include <gtest/gtest.h>

#include <string>

#include "common/utf8.h"
#include "locator/reader/gps_source.h"

namespace {

TEST(GpsSourceKinds, ThePortTextPicksTheKind) {
  const struct {
    const char16_t* text;
    const GpsSourceKind* kind;
  } cases[] = {
      {u"DEMO:", &kDemoSource},
      {u"demo:", &kDemoSource},
      {u"DEMO:1", &kSerialSource},
      {u"DEMO", &kSerialSource},
      {u"COM1:", &kSerialSource},
      {u"gpsd:", &kNetworkSource},
      {u"/dev/ttyUSB0", &kSerialSource},
      {u"", &kSerialSource},
      {u"auto:", &kAutoSource},
      {u"AUTO:", &kAutoSource},
      {u"auto:@9600", &kAutoSource},
      {u"DEMO:@9600", &kDemoSource},
      {u"auto", &kSerialSource},
      {u"ttyUSB0@9600", &kSerialSource},
      {u"location:", &kLocationSource},
      {u"Location:", &kLocationSource},
      {u"location", &kSerialSource},
      {u"location:x", &kSerialSource},
      {u"GPSD:pi.local", &kNetworkSource},
      {u"tcp:10.0.0.1:10110", &kNetworkSource},
      {u"udp:10110", &kNetworkSource},
      {u"tcp", &kSerialSource},
      {u"tcp:", &kNetworkSource},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(&FindGpsSourceKind(c.text), c.kind) << utf8::Utf16ToUtf8(c.text);
  }
}

TEST(GpsSourceKinds, AFailedOpenSaysWhatAndWhy) {
  GpsPortProblem problem;
  GpsSource source = OpenGpsSource(u"/dev/quarvel-no-such-port", 4800, problem);
  EXPECT_FALSE(IsGpsSourceOpen(source));
  EXPECT_EQ(problem.message, kPortOpenFailedText);
  EXPECT_EQ(utf8::Utf16ToUtf8(problem.reason),
            "/dev/quarvel-no-such-port: No such file or directory");
  // A closed source reads as gone and may be woken and closed.
  char buffer[8];
  EXPECT_EQ(ReadGpsSource(source, buffer, sizeof buffer), kSerialPortGone);
  WakeGpsSource(source);
  CloseGpsSource(source);

  GpsSource demo = OpenGpsSource(u"DEMO:", 4800, problem);
  EXPECT_TRUE(IsGpsSourceOpen(demo));
  EXPECT_EQ(problem.message, nullptr) << "an open source leaves no problem behind";
  EXPECT_TRUE(problem.reason.empty());
  EXPECT_FALSE(GpsSourceMayReturn(demo));
  CloseGpsSource(demo);
  EXPECT_FALSE(IsGpsSourceOpen(demo));
}

}  // namespace
