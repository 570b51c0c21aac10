// Cuts the GPS receiver's byte stream into '$'...'*' NMEA texts, one read at a time.
#pragma once

#include <cstddef>

inline constexpr std::size_t kGpsReadSize = 512;

struct NmeaFramer {         // scan state carried between reads
  char sentence[256] = {};  // '$'..'*' text being handed on, NUL-terminated
  bool inSentence = false;
  std::size_t start = 0;
  std::size_t carried = 0;
};

// Scans one read (kGpsReadSize data bytes + 1, NUL after the data) and calls
// onSentence for every complete text, as the port reader does.
//
// A text longer than 255 characters (a '$'..'*' span, a carried part with its
// completion, or the bytes from the start of a read to a '*') is dropped whole
// and nothing stays carried; NMEA sentences are at most 82 characters, so such
// a text is line noise. A carried part that is already too long is dropped at
// the end of its read, so the rest of it in the next read reaches onSentence
// as a fragment, like the tail of any sentence whose beginning was lost.
void FrameNmeaRead(NmeaFramer& framer, const char (&readBuffer)[kGpsReadSize + 1],
                   void (*onSentence)(const char* sentence, void* context), void* context);

// Drops a partial sentence carried from an earlier read: the line it came from
// went away, and no text is made of bytes from two openings of the port.
void ForgetPartialSentence(NmeaFramer& framer);
