// Framing of NMEA texts across reads: short and full reads, carried parts, noise.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nmea/framer.h"

namespace {

using Texts = std::vector<std::string>;

void Collect(const char* sentence, void* context) {
  static_cast<Texts*>(context)->push_back(sentence);
}

// Runs the reads through one framer the way the port reader does: the data
// bytes are zeroed, the read lands at the front and a NUL follows it.
Texts Frame(const std::vector<std::string>& reads) {
  NmeaFramer framer;
  Texts texts;
  for (const std::string& data : reads) {
    EXPECT_LE(data.size(), kGpsReadSize) << "test read too long";
    char buffer[kGpsReadSize + 1] = {};
    data.copy(buffer, kGpsReadSize);
    FrameNmeaRead(framer, buffer, Collect, &texts);
  }
  return texts;
}

// A full read of 512 bytes: `head`, filler, then `tail` at the very end.
std::string Full(const std::string& head, const std::string& tail) {
  return head + std::string(kGpsReadSize - head.size() - tail.size(), 'x') + tail;
}

const std::string kGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*";
const std::string kRmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*";

std::string Dollar(std::size_t length) {  // '$', filler, '*': `length` characters
  return "$" + std::string(length - 2, 'a') + "*";
}

struct FramingCase {
  const char* name;
  std::vector<std::string> reads;
  Texts expected;
};

std::string Show(const Texts& texts) {
  std::string out;
  for (const std::string& t : texts) out += "  [" + std::to_string(t.size()) + "] " + t + "\n";
  return out.empty() ? "  (none)\n" : out;
}

TEST(NmeaFramer, HandsOnTheTextsOfEachCase) {
  const std::string longest = Dollar(255);
  const std::vector<FramingCase> cases = {
      {"two sentences in a short read, checksums and CR LF skipped",
       {kGga + "47\r\n" + kRmc + "6A\r\n"},
       {kGga, kRmc}},
      {"tail of an earlier sentence before the first '$' is one text",
       {",M,,*47\r\nnoise" + kRmc + "6A\r\n"},
       {",M,,*", kRmc}},
      {"sentence split by a full read is joined once",
       {Full(kGga + "47\r\n", "$GPRMC,123519,A,48"), "07.038,N,01131.000,E,022.4*6A\r\n"},
       {kGga, "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4*"}},
      {"sentence split by a short read loses its beginning",
       {"$GPRMC,123519,A,48", "07.038,N*6A\r\n"},
       {"07.038,N*"}},
      {"'$' before any '*' in the next read drops the carried part",
       {Full("", "$GPRMC,123519"), "A,4$GPZDA,1*3\r\n"},
       {"$GPZDA,1*"}},
      {"'*' with nothing before it in the read and nothing carried", {"abc*12\r\n"}, {"abc*"}},
      {"second '$' before the '*' moves the start",
       {"$GPGG$GPZDA,201530.00,04,07,2002,00,00*"},
       {"$GPZDA,201530.00,04,07,2002,00,00*"}},
      {"NUL in the middle of a read ends its scan",
       {std::string("$GPGGA,1") + '\0' + "23*$GPZDA,1*", "$GPZDA,2*"},
       {"$GPZDA,2*"}},
      {"empty reads keep the carried part",
       {Full("", "$GPZDA,20"), "", "", "1530*4F"},
       {"$GPZDA,201530*"}},
      {"a read with neither '$' nor '*' adds nothing to the carried part",
       {Full("", "$GPZDA,20"), "1530", "00*4F"},
       {"$GPZDA,2000*"}},
      {"a '*' after a passed sentence takes the read from its start",
       {"$GPZDA,1*2*"},
       {"$GPZDA,1*", "$GPZDA,1*2*"}},
      {"'$' at the last position of a full read is carried",
       {Full("", "$"), "GPZDA,1*"},
       {"$GPZDA,1*"}},
      {"sentence ending exactly at the end of a full read",
       {Full("", "$GPZDA,1*"), "00*"},
       {"$GPZDA,1*", "00*"}},
      {"255 characters fit the sentence buffer", {Dollar(255)}, {Dollar(255)}},
      {"256 characters are dropped, the next sentence is not",
       {Dollar(256) + "00\r\n" + kGga},
       {kGga}},
      {"read start to '*' over 255 characters is dropped",
       {std::string(300, 'b') + "*" + kGga},
       {kGga}},
      {"carried part and completion of 255 characters fit",
       {Full("", longest.substr(0, 100)), longest.substr(100) + Dollar(55)},
       {longest, Dollar(55)}},
      {"carried part whose completion passes 255 characters is dropped",
       {Full("", "$" + std::string(200, 'c')), std::string(55, 'd') + "*" + "e*"},
       {std::string(55, 'd') + "*" + "e*"}},
      {"carried part over 255 characters is dropped, its rest is a fragment",
       {Full("", "$" + std::string(299, 'c')), "ddd*" + kGga},
       {"ddd*", kGga}},
  };
  for (const FramingCase& c : cases) {
    const Texts got = Frame(c.reads);
    EXPECT_EQ(got, c.expected) << c.name << "\n got:\n"
                               << Show(got) << " expected:\n"
                               << Show(c.expected);
  }
}

TEST(NmeaFramer, ClearsItsScanStateAfterEachRead) {
  NmeaFramer framer;
  Texts texts;
  char buffer[kGpsReadSize + 1] = {};
  const std::string full = Full("", "$GPZDA,20");
  full.copy(buffer, kGpsReadSize);
  FrameNmeaRead(framer, buffer, Collect, &texts);
  EXPECT_FALSE(framer.inSentence);
  EXPECT_EQ(framer.carried, 9u);
  EXPECT_STREQ(framer.sentence, "$GPZDA,20");

  char shortRead[kGpsReadSize + 1] = {};
  std::string("$GPZDA,1").copy(shortRead, kGpsReadSize);
  FrameNmeaRead(framer, shortRead, Collect, &texts);
  EXPECT_FALSE(framer.inSentence) << "a short read never leaves a sentence open";
  EXPECT_EQ(framer.carried, 0u) << "its '$' dropped the carried part";
  EXPECT_TRUE(texts.empty());
}

}  // namespace
