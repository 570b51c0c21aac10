// Text for the persisted files, written in the platform's multibyte character set.
#pragma once

#include <cstddef>
#include <cstdio>

// Bytes one piece is converted into, terminator included.
inline constexpr std::size_t kMultibyteBufferBytes = 512;

// Writes one piece of text to file in the multibyte set. A piece longer than the
// buffer is cut after its last whole character that fits; characters the set cannot
// represent are written as '?'. False when the piece was cut or the write failed,
// so that the caller never takes a damaged file for a good one.
bool WriteTextAsMultibyte(const char16_t* text, std::FILE* file);
