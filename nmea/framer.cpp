// Framing of NMEA texts out of fixed-size reads, carrying a sentence split by a full read.
#include "nmea/framer.h"

#include <cstring>

namespace {

constexpr std::size_t kSentenceLimit = sizeof(NmeaFramer::sentence) - 1;

// Appends `count` bytes after what is kept at the front of the sentence buffer
// and hands the text on; a text that would not fit is dropped.
void CompleteSentence(NmeaFramer& framer, const char* bytes, std::size_t count,
                      void (*onSentence)(const char*, void*), void* context) {
  const std::size_t kept = framer.carried;
  framer.inSentence = false;
  framer.carried = 0;
  if (kept + count > kSentenceLimit) return;
  std::memcpy(framer.sentence + kept, bytes, count);
  framer.sentence[kept + count] = '\0';
  onSentence(framer.sentence, context);
}

// A full read ended inside a sentence: keep its beginning for the next read.
void CarryPartialSentence(NmeaFramer& framer, const char* readBuffer) {
  const std::size_t count = kGpsReadSize - framer.start;
  framer.inSentence = false;
  if (count > kSentenceLimit) {
    framer.carried = 0;
    return;
  }
  std::memcpy(framer.sentence, readBuffer + framer.start, count);
  framer.sentence[count] = '\0';
  framer.carried = count;
}

// Position of the next `marker` at or after `from` in the first `end` bytes, or
// `end`. memchr's word-wide search keeps the per-byte cost of framing low.
std::size_t Find(const char* buffer, char marker, std::size_t from, std::size_t end) {
  const void* found = std::memchr(buffer + from, marker, end - from);
  return found ? static_cast<std::size_t>(static_cast<const char*>(found) - buffer) : end;
}

}  // namespace

void FrameNmeaRead(NmeaFramer& framer, const char (&readBuffer)[kGpsReadSize + 1],
                   void (*onSentence)(const char* sentence, void* context), void* context) {
  // The scan visits the '$' and '*' bytes in order and ends at the first NUL.
  const std::size_t end = strnlen(readBuffer, kGpsReadSize);
  std::size_t dollar = Find(readBuffer, '$', 0, end);
  std::size_t star = Find(readBuffer, '*', 0, end);
  while (dollar < end || star < end) {
    if (dollar < star) {
      framer.start = dollar;
      framer.inSentence = true;
      framer.carried = 0;
      dollar = Find(readBuffer, '$', dollar + 1, end);
    } else {
      if (framer.inSentence) {
        CompleteSentence(framer, readBuffer + framer.start, star - framer.start + 1, onSentence,
                         context);
      } else {
        CompleteSentence(framer, readBuffer, star + 1, onSentence, context);
      }
      star = Find(readBuffer, '*', star + 1, end);
    }
  }
  if (end < kGpsReadSize) {
    // A short read ends at its NUL; a sentence begun in it cannot continue in the next one.
    framer.inSentence = false;
    return;
  }
  if (framer.inSentence) CarryPartialSentence(framer, readBuffer);
}

void ForgetPartialSentence(NmeaFramer& framer) {
  framer.inSentence = false;
  framer.carried = 0;
}
