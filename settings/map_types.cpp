// The map types of the map web service: the letter the settings carry, and the
// entry under which QuarvelConfig shows it.
#include "settings/map_types.h"

const char16_t* MapEntryForLetter(char16_t letter) {
  for (const MapType& type : kMapTypes) {
    if (type.letter[0] == letter) return type.entry;
  }
  return nullptr;
}

const char16_t* MapLetterForEntry(const char16_t* entryText) {
  for (const MapType& type : kMapTypes) {
    if (type.entry[0] == entryText[0]) return type.letter;
  }
  return u"";
}
