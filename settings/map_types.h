// The map types of the map web service: the letter the settings carry, and the
// entry under which QuarvelConfig shows it.
#pragma once

struct MapType {
  const char16_t* letter;
  const char16_t* entry;
};

// In the order of the form's list, whose first entry stands for no choice.
inline constexpr MapType kMapTypes[] = {
    {u"n", u"Normal"},
    {u"s", u"Satellite"},
    {u"h", u"Hybrid"},
    {u"p", u"Physical"},
};

// The entry a letter names, or nullptr: only the lower-case letters are known.
const char16_t* MapEntryForLetter(char16_t letter);

// The letter saved for an entry's text, found by its first character alone ("N",
// "S", "H", "P"); an empty text for any other.
const char16_t* MapLetterForEntry(const char16_t* entryText);
