// Checksummed NMEA sentences found in raw bytes, across reads.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "locator/reader/checksum_scan.h"

namespace {

constexpr char kGga[] = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";

TEST(ChecksumScan, CountsOnlySentencesWhoseChecksumHolds) {
  const std::string gga = kGga;
  const struct {
    const char* what;
    std::vector<std::string> reads;
    std::size_t sentences;
  } cases[] = {
      {"one GGA", {gga}, 1},
      {"two in one read", {gga + gga}, 2},
      {"cut by a read", {gga.substr(0, 30), gga.substr(30)}, 1},
      {"cut inside the digits",
       {gga.substr(0, gga.find('*') + 2), gga.substr(gga.find('*') + 2)},
       1},
      {"lower-case digits", {"$GPGGA,*7a\r\n"}, 1},
      {"empty fields", {"$GPRMC,,V,,,,,,,,,,N*53\r\n"}, 1},
      {"proprietary address", {"$PUBX,00*33\r\n"}, 1},
      {"wrong checksum", {"$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*48"}, 0},
      {"no address", {"$,*2C"}, 0},
      {"address without a comma", {"$GPTXT*4F"}, 0},
      {"lower-case address", {"$gpgga,*5A"}, 0},
      {"control byte inside",
       {"$GPGGA,1\x01"
        "2*78"},
       0},
      {"a second '$' restarts", {"$GPG" + gga}, 1},
      {"longer than NMEA allows", {"$GPTXT," + std::string(80, 'A') + "*63"}, 0},
      {"noise", {std::string("\x80\xff$\xa0\x12*\x00\x24\x2a\x30\x30", 11)}, 0},
  };
  for (const auto& c : cases) {
    ChecksumScan scan;
    std::size_t found = 0;
    for (const std::string& read : c.reads) {
      found += CountChecksummedSentences(scan, read.data(), read.size());
    }
    EXPECT_EQ(found, c.sentences) << c.what;
  }
}

}  // namespace
