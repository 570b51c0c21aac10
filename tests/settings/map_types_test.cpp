// The map types: the letter saved for each entry of the form's list.
#include <gtest/gtest.h>

#include <string>

#include "settings/map_types.h"
#include "settings/temp_dir.h"

namespace {

TEST(MapLetterForEntry, FirstCharacterOfTheEntry) {
  const struct {
    std::u16string entry, letter;
  } cases[] = {{u"Normal", u"n"}, {u"Satellite", u"s"}, {u"Hybrid", u"h"}, {u"Physical", u"p"},
               {u"normal", u""},  {u"", u""},           {u"Terrain", u""}};
  for (const auto& c : cases) {
    EXPECT_EQ(std::u16string(MapLetterForEntry(c.entry.c_str())), c.letter) << Show(c.entry);
  }
}

}  // namespace
