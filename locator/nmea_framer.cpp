// Framing of NMEA texts out of fixed-size reads, carrying a sentence split by a full read.
#include "locator/nmea_framer.h"

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

}  // namespace

void FrameNmeaRead(NmeaFramer& framer, const char (&readBuffer)[kGpsReadSize + 1],
                   void (*onSentence)(const char* sentence, void* context), void* context) {
  for (std::size_t i = 0; i < kGpsReadSize; ++i) {
    const char c = readBuffer[i];
    if (c == '$') {
      framer.start = i;
      framer.inSentence = true;
      framer.carried = 0;
    } else if (c == '*') {
      if (framer.inSentence) {
        CompleteSentence(framer, readBuffer + framer.start, i - framer.start + 1, onSentence,
                         context);
      } else {
        CompleteSentence(framer, readBuffer, i + 1, onSentence, context);
      }
    } else if (c == '\0') {
      // A short read ends here; a sentence begun in it cannot continue in the next one.
      framer.inSentence = false;
      return;
    }
  }
  if (framer.inSentence) CarryPartialSentence(framer, readBuffer);
}
