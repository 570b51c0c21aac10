// How QuarvelConfig writes settings.ini, and the words it writes for its choices.
#include "config/settings_writer.h"

#include <cstdio>

#include "common/file_replacement.h"
#include "common/multibyte_text.h"

namespace {

bool WritePieces(std::FILE* file, const char16_t* portText, const char16_t* mapLetter, bool liteMap,
                 bool bluetooth, bool coordinatesOnly) {
  const char16_t* const pieces[] = {
      u"# COM port\n",
      portText,
      u"\n",
      u"# Default map type\n",
      mapLetter,
      u"\n",
      u"# Lite map\n",
      FlagText(liteMap),
      u"\n",
      u"# Bluetooth\n",
      FlagText(bluetooth),
      u"\n",
      u"# Coordinates only\n",
      FlagText(coordinatesOnly),
      u"\n",
  };
  bool ok = true;
  for (const char16_t* piece : pieces) ok = WriteTextAsMultibyte(piece, file) && ok;
  return ok;
}

}  // namespace

bool WriteSettingsFile(const char16_t* path, const char16_t* portText, const char16_t* mapLetter,
                       bool liteMap, bool bluetooth, bool coordinatesOnly) {
  return WriteFileReplacing(path, [&](std::FILE* file) {
    return WritePieces(file, portText, mapLetter, liteMap, bluetooth, coordinatesOnly);
  });
}

const char16_t* MapLetterForEntry(const char16_t* entryText) {
  switch (entryText[0]) {
    case u'N': return u"n";
    case u'S': return u"s";
    case u'H': return u"h";
    case u'P': return u"p";
    default: return u"";
  }
}

const char16_t* FlagText(bool on) { return on ? u"1" : u"0"; }
