// A fix good enough: the accuracy of a fix, each gate's decision and words, and
// the fixes the reader's sentences bring to the gates.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "common/utf8.h"
#include "locator/fix_gates.h"
#include "nmea/parser.h"

namespace {

GpsState StateAfter(std::initializer_list<const char*> sentences) {
  ResetGpsState();
  for (const char* sentence : sentences) ParseNmeaSentence(sentence);
  return CopyGpsState();
}

TEST(FixAccuracy, FromGstElseHdopTimesFive) {
  const struct {
    std::initializer_list<const char*> sentences;
    double metres;
  } cases[] = {
      {{"$GPGGA,120001,5545.348,N,03737.038,E,1,08,0.9,150.0,M,,M,,*"}, 4.5},
      {{"$GPGGA,120001,5545.348,N,03737.038,E,1,08,0.9,150.0,M,,M,,*",
        "$GPGST,120001,3.2,6.6,4.7,47.3,3.0,4.0,22.0*"},
       5.0},
      {{"$GNGNS,120001,5545.348,N,03737.038,E,AA,10,1.5,150.0,14.0,,,V*"}, 7.5},
      {{"$GPRMC,120001,A,5545.348,N,03737.038,E,,,070126,,,A*",
        "$GPGSA,A,3,04,05,,,,,,,,,,,2.5,1.2,2.1*"},
       6.0},
      {{"$GPGGA,120001,5545.348,N,03737.038,E,1,08,,150.0,M,,M,,*", "$GLGST,120001,,,,,,,*"}, 0.0},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(FixAccuracy(StateAfter(c.sentences)), c.metres, 1e-6) << *(c.sentences.end() - 1);
  }
}

TEST(FixGates, EachGateSaysWhatItWaitsFor) {
  const struct {
    FixGates gates;
    FixQuality fix;
    std::string holding;
  } cases[] = {
      {{}, {25.0, 3, 125.0, false}, ""},
      {{2.0, 0, 0, 0}, {25.0, 3, 125.0, false}, "HDOP 25.0, waiting for 2.0"},
      {{1.1, 0, 0, 0}, {double(1.1f), 3, 5.5, false}, ""},
      {{2.0, 0, 0, 0}, {0.0, 3, 0.0, false}, "no HDOP sent, waiting for 2.0"},
      {{0, 6, 0, 0}, {0.9, 1, 4.5, false}, "1 satellite, waiting for 6"},
      {{0, 6, 0, 0}, {0.9, 6, 4.5, false}, ""},
      {{0, 0, 5.0, 0}, {0.9, 8, 12.25, true}, "accuracy 12.2 m, waiting for 5.0 m"},
      {{0, 0, 5.0, 0}, {0.9, 8, 5.0007, true}, ""},
      {{0, 0, 5.0, 0}, {0.0, 0, 0.0, false}, "accuracy unknown, waiting for 5.0 m"},
      {{2.0, 6, 5.0, 0}, {0.9, 4, 30.0, true}, "4 satellites, waiting for 6"},
      {{0, 0, 0, 10}, {25.0, 0, 0.0, false}, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(utf8::Utf16ToUtf8(GateHolding(c.gates, c.fix)), c.holding)
        << "HDOP " << c.fix.hdop << ", " << c.fix.satellites << " satellites, " << c.fix.accuracy
        << " m";
  }
}

TEST(FixGates, TheBestFixInWords) {
  const struct {
    FixGates gates;
    FixQuality fix;
    std::string words;
  } cases[] = {
      {{0.5, 0, 0, 0}, {0.9, 10, 4.5, false}, "best: HDOP 0.9, 10 satellites"},
      {{0.5, 0, 0, 0}, {0.9, 10, 2.5, true}, "best: HDOP 0.9, 10 satellites, accuracy 2.5 m"},
      {{0, 0, 1.0, 0}, {0.9, 1, 4.5, false}, "best: HDOP 0.9, 1 satellite, accuracy 4.5 m"},
      {{0, 0, 1.0, 0}, {0.0, 0, 0.0, false}, "best: a fix without HDOP or satellites"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(utf8::Utf16ToUtf8(DescribeBestFix(c.gates, c.fix)), c.words);
}

// The reader's road: each sentence parsed, then judged.
void Receive(std::initializer_list<const char*> sentences) {
  for (const char* sentence : sentences) {
    ParseNmeaSentence(sentence);
    JudgeFixSentence(sentence);
  }
}

constexpr const char* kPoor = "$GPGGA,120001,0100.000,S,00200.000,W,1,04,25.0,1.0,M,,M,,*";
constexpr const char* kGood1 = "$GPGGA,120002,0100.000,N,00200.000,E,1,09,0.8,1.0,M,,M,,*";
constexpr const char* kGood2 = "$GPGGA,120003,0300.000,N,00400.000,E,1,11,0.7,1.0,M,,M,,*";

TEST(FixGates, OnlyAPassingFixIsPublishedAndTheBestIsKept) {
  ResetGpsState();
  SetFixGates({2.0, 0, 0, 0});
  double latitude = 0, longitude = 0;
  Receive({kPoor, "$GPRMC,120001,A,0100.000,S,00200.000,W,,,070126,,,A*"});
  EXPECT_FALSE(GatedPosition(latitude, longitude));
  EXPECT_EQ(utf8::Utf16ToUtf8(GateWaitDetail()), "HDOP 25.0, waiting for 2.0");
  EXPECT_EQ(utf8::Utf16ToUtf8(BestFixSeen()), "best: HDOP 25.0, 4 satellites");
  Receive({kGood1});
  ASSERT_TRUE(GatedPosition(latitude, longitude));
  EXPECT_EQ(latitude, 1.0);
  EXPECT_EQ(longitude, 2.0);
  EXPECT_EQ(utf8::Utf16ToUtf8(BestFixSeen()), "best: HDOP 0.8, 9 satellites");
  SetFixGates({});
  EXPECT_EQ(BestFixSeen(), u"") << "no gates, no best";
}

TEST(FixGates, TheAverageCountsEveryPassingFixOnce) {
  ResetGpsState();
  SetFixGates({2.0, 0, 0, 60});
  double latitude = 0, longitude = 0;
  // The RMC beside each GGA and a GGA without a fix bring no fix of their own.
  Receive({kGood1, "$GPRMC,120002,A,0100.000,N,00200.000,E,,,070126,,,A*", kPoor,
           "$GPGGA,120004,,,,,0,00,99.9,,M,,M,,*", kGood2});
  EXPECT_FALSE(GatedPosition(latitude, longitude)) << "published before its seconds";
  EXPECT_EQ(utf8::Utf16ToUtf8(GateWaitDetail()).substr(0, 19), "averaging 2 fixes, ");
  SetFixGates({0, 0, 0, 60});
  ResetGpsState();
  // A receiver without GGA: its RMCs are the fixes.
  Receive({"$GPRMC,120002,A,0100.000,N,00200.000,E,,,070126,,,A*",
           "$GPGNS,120002,0100.000,N,00200.000,E,AA,10,1.5,150.0,14.0,,,V*"});
  EXPECT_EQ(utf8::Utf16ToUtf8(GateWaitDetail()).substr(0, 18), "averaging 1 fix, 6");
}

TEST(FixGates, TheMeanAcrossTheAntimeridianStaysBesideIt) {
  ResetGpsState();
  SetFixGates({0, 0, 0, 1});
  Receive({"$GPGGA,120002,0100.000,N,17959.400,E,1,09,0.8,1.0,M,,M,,*",
           "$GPGGA,120003,0300.000,N,17958.200,W,1,09,0.8,1.0,M,,M,,*"});
  double latitude = 0, longitude = 0;
  std::this_thread::sleep_for(std::chrono::milliseconds(1050));
  ASSERT_TRUE(GatedPosition(latitude, longitude));
  EXPECT_NEAR(latitude, 2.0, 1e-9);
  EXPECT_NEAR(longitude, -179.99, 1e-9);
}

}  // namespace
