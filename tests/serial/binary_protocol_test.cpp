// UBX and SiRF frames told apart from NMEA and noise.
#include <gtest/gtest.h>

#include <string>

#include "locator/reader/binary_protocol.h"

namespace {

// u-blox NAV-STATUS and SiRF's Measure Navigation Data Out header, each a whole frame.
const std::string kUbx(
    "\xb5\x62\x01\x03\x10\x00\x98\x4d\x02\x00\x03\xdd\x00\x08"
    "\x44\x0b\x00\x00\xa6\x8d\x0a\x00\x6f\x37",
    24);
const std::string kSirf("\xa0\xa2\x00\x05\x02\x00\x01\x02\x03\x00\x08\xb0\xb3", 13);

BinaryProtocol Recognize(const std::string& bytes) {
  return RecognizeBinaryProtocol(reinterpret_cast<const unsigned char*>(bytes.data()),
                                 bytes.size());
}

std::string Altered(std::string frame, std::size_t at) {
  frame[at] = char(frame[at] ^ 1);
  return frame;
}

TEST(BinaryProtocol, WholeFramesWithTheirChecksums) {
  const struct {
    const char* what;
    std::string bytes;
    BinaryProtocol protocol;
  } cases[] = {
      {"UBX", kUbx, BinaryProtocol::Ubx},
      {"UBX after noise", "\x13\xb5\xb5\x62junk" + kUbx, BinaryProtocol::Ubx},
      {"SiRF", kSirf, BinaryProtocol::Sirf},
      {"SiRF between NMEA", "$GPGGA,*56\r\n" + kSirf + "$GP", BinaryProtocol::Sirf},
      {"UBX payload altered", Altered(kUbx, 10), BinaryProtocol::None},
      {"UBX cut short", kUbx.substr(0, kUbx.size() - 1), BinaryProtocol::None},
      {"SiRF sum altered", Altered(kSirf, 9), BinaryProtocol::None},
      {"SiRF without its end", kSirf.substr(0, 11) + "\xb0\xb2", BinaryProtocol::None},
      {"NMEA", "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47",
       BinaryProtocol::None},
      {"nothing", "", BinaryProtocol::None},
  };
  for (const auto& c : cases) EXPECT_EQ(Recognize(c.bytes), c.protocol) << c.what;
}

TEST(BinaryProtocol, Names) {
  EXPECT_EQ(std::u16string(BinaryProtocolName(BinaryProtocol::Ubx)), u"u-blox UBX binary");
  EXPECT_EQ(std::u16string(BinaryProtocolName(BinaryProtocol::Sirf)), u"SiRF binary");
  EXPECT_EQ(std::u16string(BinaryProtocolName(BinaryProtocol::None)), u"");
}

}  // namespace
