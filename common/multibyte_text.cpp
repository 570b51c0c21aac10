// Text for the persisted files, written in the platform's multibyte character set.
#include "common/multibyte_text.h"

#include "platform/files.h"

bool WriteTextAsMultibyte(const char16_t* text, std::FILE* file) {
  char buffer[kMultibyteBufferBytes];
  const bool whole = WideToMultibyte(text, buffer, sizeof buffer);
  const bool written = std::fputs(buffer, file) >= 0;
  return whole && written;
}
