// Fuzzes the framing of network input: datagrams cut into reads, each begun afresh, and gpsd streams cut anywhere.
//
// Input: a mode byte, then units of a two-byte length and that many bytes. In
// datagram mode each unit is one datagram, handed to the framer in reads of at
// most kGpsReadSize bytes, the first of them fresh; in stream mode each unit is
// what one stream read brought, gpsd's JSON lines dropped from it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "nmea/framer.h"
#include "locator/reader/gpsd_filter.h"

namespace {

std::vector<std::string> Units(const uint8_t* data, std::size_t size) {
  std::vector<std::string> units;
  std::size_t at = 0;
  while (at + 2 <= size) {
    const std::size_t length = (data[at] | (data[at + 1] << 8)) % 4097;
    at += 2;
    const std::size_t taken = length < size - at ? length : size - at;
    units.emplace_back(reinterpret_cast<const char*>(data) + at, taken);
    at += taken;
  }
  return units;
}

struct Seen {
  std::vector<std::string> sentences;
};

void Keep(const char* sentence, void* context) {
  static_cast<Seen*>(context)->sentences.emplace_back(sentence);
}

// One read through the framer, as the reader frames it.
void Frame(NmeaFramer& framer, const std::string& bytes, bool fresh, Seen& seen) {
  char read[kGpsReadSize + 1] = {};
  std::memcpy(read, bytes.data(), bytes.size());
  if (fresh) ForgetPartialSentence(framer);
  FrameNmeaRead(framer, read, &Keep, &seen);
}

void CheckShape(const std::string& sentence) {
  if (sentence.empty() || sentence.size() > 255 || sentence.back() != '*') std::abort();
}

// A text built of two pieces of one unit (a carried beginning and its end):
// nothing from outside the unit is joined to it.
bool MadeOfOneUnit(const std::string& sentence, const std::string& unit) {
  for (std::size_t cut = 0; cut <= sentence.size(); ++cut) {
    if (unit.find(sentence.substr(0, cut)) != std::string::npos &&
        unit.find(sentence.substr(cut)) != std::string::npos) {
      return true;
    }
  }
  return false;
}

void Datagrams(const std::vector<std::string>& datagrams) {
  NmeaFramer framer;
  for (const std::string& datagram : datagrams) {
    Seen seen;
    for (std::size_t at = 0; at < datagram.size(); at += kGpsReadSize) {
      Frame(framer, datagram.substr(at, kGpsReadSize), at == 0, seen);
    }
    for (const std::string& sentence : seen.sentences) {
      CheckShape(sentence);
      if (!MadeOfOneUnit(sentence, datagram)) std::abort();
    }
  }
}

void GpsdStream(const std::vector<std::string>& reads) {
  NmeaFramer framer;
  GpsdFilter filter;
  Seen seen;
  std::string relayed;  // what the JSON filter let through, over all reads
  bool fresh = true;
  for (std::string read : reads) {
    read.resize(DropGpsdJson(filter, read.data(), read.size()));
    relayed += read;
    for (std::size_t at = 0; at < read.size(); at += kGpsReadSize) {
      Frame(framer, read.substr(at, kGpsReadSize), fresh, seen);
      fresh = false;
    }
  }
  for (const std::string& sentence : seen.sentences) {
    CheckShape(sentence);
    if (!MadeOfOneUnit(sentence, relayed)) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::vector<std::string> units = Units(data + 1, size - 1);
  if (data[0] & 1) {
    GpsdStream(units);
  } else {
    Datagrams(units);
  }
  return 0;
}
