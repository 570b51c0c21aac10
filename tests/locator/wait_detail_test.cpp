// The few words on why a wait for a position goes on, from what the receiver has sent.
#include <gtest/gtest.h>

#include <vector>

#include "common/utf8.h"
#include "nmea/parser.h"
#include "locator/wait_detail.h"

namespace {

TEST(WaitDetail, SaysWhatTheReceiverHasSentSoFar) {
  const struct {
    std::vector<const char*> sentences;
    const char* detail;
  } cases[] = {
      {{}, "no data from the port yet"},
      {{"$PUBX,00,000012.00,0000.00000,N*", "$GNTXT,01,01,02,ANTSTATUS=OK*"},
       "data, but no NMEA sentence Quarvel reads"},
      {{"$GNRMC,000012.00,V,,,,,,,,,,N*"}, "no fix yet"},
      {{"$GPGSV,1,1,00*"}, "0 satellites in view, no fix yet"},
      {{"$GPGSV,1,1,01,10,63,137,17*"}, "1 satellite in view, no fix yet"},
      {{"$GPGSV,2,1,05,10,63,137,17*", "$GLGSV,1,1,04,65,42,028,27*",
        "$GNGGA,000012.00,8960.000000,N,00000.000000,E,0,00,99.99,,,,,,*"},
       "9 satellites in view, no fix yet"},
      {{"$GPGSV,1,1,02,10,63,137,17*", "$GPRMC,092751.000,A,5321.6802,N,00630.3372,W*"},
       "2 satellites in view, a fix, but no GGA position"},
  };
  for (const auto& c : cases) {
    ResetGpsState();
    for (const char* sentence : c.sentences) ParseNmeaSentence(sentence);
    EXPECT_EQ(utf8::Utf16ToUtf8(GpsWaitDetail()), c.detail);
  }
}

}  // namespace
