// Resource tables: status texts, templates by id, menus and menu-bar records.
#include "dialog_driver.h"
#include "platform/dialogs.h"
#include "resources/resources.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>

namespace {

TEST(StringTable, TextsByIdAsTheProgramsShowThem) {
  const struct {
    int id;
    const char16_t* text;
  } cases[] = {
      {110, u"Bluetooth activation"},
      {111, u"Bluetooth deactivation"},
      {112, u"Connecting..."},
      {113, u"Waiting for GPS-data..."},
      {114, u"Saving..."},
      {115, u"Loading settings..."},
      {103, u"Exit"},
      {40008, u"Save"},
      {40013, u"Ok"},
      {40014, u"Cancel"},
  };
  for (const auto& c : cases) {
    char16_t buffer[60] = {};
    const int length = LoadResourceString(c.id, buffer, 60);
    EXPECT_EQ(Narrow(buffer), Narrow(c.text)) << "string " << c.id;
    EXPECT_EQ(length, int(std::u16string_view(c.text).size())) << "string " << c.id;
  }
}

TEST(StringTable, CutsToTheBufferAndAnswersEmptyForUnknownIds) {
  char16_t small[5] = {u'x', u'x', u'x', u'x', u'x'};
  EXPECT_EQ(LoadResourceString(113, small, 5), 4);
  EXPECT_EQ(Narrow(small), "Wait");
  char16_t buffer[8] = {u'x'};
  EXPECT_EQ(LoadResourceString(4242, buffer, 8), 0);
  EXPECT_EQ(buffer[0], 0) << "an unknown string must leave an empty buffer";
  EXPECT_EQ(LoadResourceString(110, buffer, 0), 0);
  EXPECT_EQ(buffer[0], 0) << "capacity 0 must not write";
}

TEST(ResourceIds, UniqueWithinEachTypeAcrossBothPrograms) {
  std::set<int> strings;
  for (const ResourceSet* set : {&QuarvelResources(), &QuarvelConfigResources()})
    for (const auto& s : set->strings)
      EXPECT_TRUE(strings.insert(s.id).second) << "string " << s.id;
  std::set<int> dialogs;
  for (const ResourceSet* set : {&QuarvelResources(), &QuarvelConfigResources()})
    for (const auto& d : set->dialogs)
      EXPECT_TRUE(dialogs.insert(d.id).second) << "dialog " << d.id;
  EXPECT_EQ(dialogs, (std::set<int>{102, 114, 115, 415}));
}

struct ExpectedControl {
  int id;
  ControlClass controlClass;
  const char16_t* text;
  int x, y, width, height;
};

void ExpectTemplate(int dialogId, int width, int height, const char16_t* title,
                    std::initializer_list<ExpectedControl> controls) {
  const DialogTemplate* dialog = FindDialogTemplate(dialogId);
  ASSERT_NE(dialog, nullptr) << "dialog " << dialogId;
  EXPECT_EQ(dialog->width, width) << "dialog " << dialogId;
  EXPECT_EQ(dialog->height, height) << "dialog " << dialogId;
  EXPECT_EQ(Narrow(dialog->title), Narrow(title)) << "dialog " << dialogId;
  EXPECT_EQ(Narrow(dialog->fontName), "MS Shell Dlg");
  EXPECT_EQ(dialog->fontPoints, 8);
  ASSERT_EQ(dialog->controls.size(), controls.size()) << "dialog " << dialogId;
  size_t i = 0;
  for (const ExpectedControl& want : controls) {
    const ControlTemplate& got = dialog->controls[i++];
    const std::string where = "dialog " + std::to_string(dialogId) + " control #" +
                              std::to_string(i) + " (" + Narrow(want.text) + ")";
    EXPECT_EQ(got.id, want.id) << where;
    EXPECT_EQ(got.controlClass, want.controlClass) << where;
    EXPECT_EQ(Narrow(got.text), Narrow(want.text)) << where;
    EXPECT_EQ((std::array{got.x, got.y, got.width, got.height}),
              (std::array{want.x, want.y, want.width, want.height}))
        << where;
    EXPECT_EQ(got.style & (kWsChild | kWsVisible), kWsChild | kWsVisible) << where;
  }
}

constexpr auto S = ControlClass::Static, B = ControlClass::Button, C = ControlClass::ComboBox,
               E = ControlClass::Edit;

// The handheld's 120 x 30 window, grown by one line for the wait detail (1016)
// under the status line: Stop and the title moved down by 10 units.
TEST(DialogTemplates, StatusDialog102) {
  ExpectTemplate(102, 120, 40, u"",
                 {{1010, S, u"", 107, 1, 12, 11},
                  {1013, B, u"Stop", 86, 25, 33, 14},
                  {1014, S, u"", 1, 3, 96, 8},
                  {1016, S, u"", 1, 12, 118, 8},
                  {1015, S, u"Quarvel 4.0", 1, 31, 52, 8}});
  const DialogTemplate* dialog = FindDialogTemplate(102);
  EXPECT_EQ(dialog->controls[3].style & (0x1F | kSsEndEllipsis), kSsLeftNoWordWrap | kSsEndEllipsis)
      << "a long detail is cut with an ellipsis, not wrapped out of its one line";
  EXPECT_EQ(dialog->controls[0].style & 0x1F, kSsBitmap);
  EXPECT_EQ(dialog->controls[0].imageId, 109) << "the indicator starts black";
  EXPECT_EQ(dialog->style & kWsCaption, 0u) << "no caption bar";
  EXPECT_NE(dialog->style & kDsCenter, 0u);
}

TEST(DialogTemplates, ConfigFormLayouts) {
  const char16_t* copyright = FindDialogTemplate(114)->controls[1].text;
  ExpectTemplate(114, 165, 178, u"Quarvel",
                 {{1018, C, u"", 93, 4, 59, 48},
                  {1007, S, copyright, 22, 151, 120, 8},
                  // Wider than the handheld's 16 units, which cut the colon off at 150 %.
                  {65535, S, u"GPS:", 11, 6, 20, 8},
                  {1038, B, u"Coordinates only:", 11, 44, 133, 10},
                  {1037, B, u"Bluetooth:", 11, 25, 133, 10},
                  {1039, C, u"", 85, 64, 65, 60},
                  {65535, S, u"Map type:", 11, 66, 34, 8},
                  {1040, B, u"Lite map:", 11, 87, 133, 10},
                  {1042, C, u"", 45, 105, 110, 100},
                  {65535, S, u"Format:", 11, 107, 30, 8}});
  ExpectTemplate(415, 140, 125, u"Quarvel",
                 {{1018, C, u"", 73, 2, 48, 40},
                  {1007, S, copyright, 11, 97, 111, 8},
                  {65535, S, u"GPS COM-port:", 6, 3, 61, 8},
                  {1038, B, u"Coordinates only:", 5, 32, 114, 10},
                  {1037, B, u"Bluetooth:", 5, 18, 114, 10},
                  {1039, C, u"", 62, 47, 59, 43},
                  {65535, S, u"Map type:", 6, 48, 44, 8},
                  {1040, B, u"Lite map:", 5, 64, 114, 10},
                  {1042, C, u"", 33, 79, 100, 100},
                  {65535, S, u"Format:", 6, 80, 26, 8}});
  for (int id : {114, 415}) {
    const DialogTemplate* form = FindDialogTemplate(id);
    EXPECT_EQ(form->controls[0].style & 3, kCbsDropDown) << "port combo is editable, " << id;
    EXPECT_EQ(form->controls[5].style & 3, kCbsDropDownList) << "map combo is a list, " << id;
    EXPECT_EQ(form->controls[8].style & 3, kCbsDropDownList) << "format combo is a list, " << id;
    EXPECT_EQ(form->controls[3].style & (0xF | kBsLeftText), kBsAutoCheckBox | kBsLeftText);
  }
}

TEST(DialogTemplates, ShortcutNameDialog115) {
  ExpectTemplate(
      115, 123, 71, u"Quarvel",
      {{65535, S, u"Enter shortcut name:", 15, 14, 83, 8}, {1041, E, u"", 14, 31, 90, 14}});
  EXPECT_NE(FindDialogTemplate(115)->controls[1].style & kWsTabStop, 0u);
}

TEST(MenuBarRecords, DecodeToTheSoftKeys) {
  const struct {
    int id;
    MenuBarButton left, right;
  } cases[] = {
      {114, {65534, 102, 4, 16, 103, 65535}, {65534, 40020, 4, 24, 40008, 1}},
      {116, {65534, 108, 4, 16, 40014, 65535}, {65534, 104, 4, 16, 40013, 65535}},
  };
  for (const auto& c : cases) {
    const MenuBarResource* record = FindMenuBarResource(c.id);
    ASSERT_NE(record, nullptr) << "menu bar " << c.id;
    EXPECT_EQ(record->words.size(), 16u) << "menu bar " << c.id;
    DecodedMenuBar bar;
    ASSERT_TRUE(DecodeMenuBarRecord(record->words, bar)) << "menu bar " << c.id;
    EXPECT_EQ(bar.menuId, c.id);
    ASSERT_EQ(bar.buttonCount, 2);
    int i = 0;
    for (const MenuBarButton& want : {c.left, c.right}) {
      const MenuBarButton& got = bar.buttons[i++];
      const auto fields = [](const MenuBarButton& b) {
        return std::array{b.image, b.command, b.state, b.style, b.labelStringId, b.subMenu};
      };
      EXPECT_EQ(fields(got), fields(want)) << "menu bar " << c.id << " button " << i;
    }
  }
}

TEST(MenuBarRecords, RefusesRecordsShorterThanTheirCount) {
  const uint16_t truncated[] = {114, 2, 65534, 102, 4, 16, 103, 0, 65535, 65534};
  const uint16_t tooMany[] = {114, 200};
  const uint16_t empty[] = {114};
  DecodedMenuBar bar;
  EXPECT_FALSE(DecodeMenuBarRecord(truncated, bar));
  EXPECT_FALSE(DecodeMenuBarRecord(tooMany, bar));
  EXPECT_FALSE(DecodeMenuBarRecord(std::span(empty, 1), bar));
  const uint16_t none[] = {116, 0};
  ASSERT_TRUE(DecodeMenuBarRecord(none, bar));
  EXPECT_EQ(bar.buttonCount, 0);
}

TEST(Menus, SaveMenuOpensMainConfigAndShortcut) {
  const MenuResource* menu = FindMenuResource(114);
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->items.size(), 2u);
  EXPECT_EQ(menu->items[0].command, 102);
  EXPECT_EQ(Narrow(menu->items[0].text), "Exit");
  EXPECT_EQ(Narrow(menu->items[1].text), "Save");
  ASSERT_EQ(menu->items[1].popup.size(), 2u);
  EXPECT_EQ(menu->items[1].popup[0].command, 40006);
  EXPECT_EQ(Narrow(menu->items[1].popup[0].text), "Main config");
  EXPECT_EQ(menu->items[1].popup[1].command, 40007);
  EXPECT_EQ(Narrow(menu->items[1].popup[1].text), "Shortcut");
  const MenuResource* names = FindMenuResource(116);
  ASSERT_NE(names, nullptr);
  ASSERT_EQ(names->items.size(), 2u);
  EXPECT_EQ(names->items[0].command, 40009);
  EXPECT_EQ(names->items[1].command, 40010);
}

TEST(Bitmaps, IndicatorColours) {
  const struct {
    int id;
    uint32_t rgb;
  } cases[] = {{107, 0x00C000}, {108, 0xE00000}, {109, 0x000000}};
  for (const auto& c : cases) {
    const BitmapResource* bitmap = FindBitmapResource(c.id);
    ASSERT_NE(bitmap, nullptr) << "bitmap " << c.id;
    EXPECT_EQ(bitmap->fillRgb, c.rgb) << "bitmap " << c.id;
    EXPECT_EQ(bitmap->width, 18);
    EXPECT_EQ(bitmap->height, 18);
  }
}

}  // namespace
