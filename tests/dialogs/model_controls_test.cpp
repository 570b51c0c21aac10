// Controls of model dialogs: initial states from the templates, texts, check
// boxes, combo boxes, user input, soft keys and the Back key.
#include "dialog_driver.h"
#include "resources/resource_ids.h"

#include <gtest/gtest.h>

#include <string>

namespace {

MessageLog commands;

intptr_t PassiveProc(DialogHandle dialog, unsigned message, uintptr_t wParam, intptr_t lParam) {
  if (message == kWmCommand) commands.Add(message, wParam, lParam);
  if (message == kWmClose) EndDialogWith(dialog, 0);
  return 0;
}

// A running dialog for the length of one test.
class RunningDialog : public ::testing::Test {
 protected:
  void Open(int templateId) {
    commands.Clear();
    run_ = StartDialog(templateId, PassiveProc);
    dialog_ = ModelWaitForDialog(templateId, kPatience);
    ASSERT_NE(dialog_, nullptr) << "dialog " << templateId << " never came up";
  }
  void TearDown() override {
    if (run_.valid()) {
      PostDialogMessage(dialog_, kWmClose, 0, 0);
      EXPECT_EQ(Finish(run_), 0);
    }
  }
  std::string Text(int id) {
    char16_t buffer[128];
    GetControlText(dialog_, id, buffer, 128);
    return Narrow(buffer);
  }
  // Waits until the procedure has seen `count` commands.
  std::vector<ReceivedMessage> Commands(size_t count) {
    for (int i = 0; i < 2000 && commands.Messages().size() < count; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return commands.Messages();
  }
  std::future<intptr_t> run_;
  DialogHandle dialog_ = nullptr;
};

TEST_F(RunningDialog, StatusDialogStartsAsItsTemplateSays) {
  Open(IDD_STATUS);
  const auto state = ModelSnapshot(dialog_);
  ASSERT_TRUE(state);
  const struct {
    int id;
    ModelControlKind kind;
    const char* text;
    int imageId;
  } cases[] = {
      {IDC_INDICATOR, ModelControlKind::Bitmap, "", IDB_INDICATOR_BLACK},
      {IDC_STOP, ModelControlKind::Button, "Stop", 0},
      {IDC_STATUS_LINE, ModelControlKind::Static, "", 0},
      {IDC_WAIT_DETAIL, ModelControlKind::Static, "", 0},
      {IDC_TITLE, ModelControlKind::Static, "Quarvel 4.0", 0},
  };
  ASSERT_EQ(state->controls.size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    const ModelControl& control = state->controls[i];
    EXPECT_EQ(control.id, cases[i].id) << "control #" << i;
    EXPECT_EQ(control.kind, cases[i].kind) << "control " << cases[i].id;
    EXPECT_EQ(Narrow(control.text), cases[i].text) << "control " << cases[i].id;
    EXPECT_EQ(control.imageId, cases[i].imageId) << "control " << cases[i].id;
    EXPECT_TRUE(control.enabled) << "control " << cases[i].id;
  }
  EXPECT_EQ(Narrow(state->title), "");
}

TEST_F(RunningDialog, ConfigFormStartsEmptyAndUnchecked) {
  Open(IDD_CONFIG);
  const auto state = ModelSnapshot(dialog_);
  ASSERT_TRUE(state);
  EXPECT_EQ(Narrow(state->title), "Quarvel");
  const struct {
    int id;
    ModelControlKind kind;
  } cases[] = {
      {IDC_PORT, ModelControlKind::Combo},
      {IDC_MAP_TYPE, ModelControlKind::ComboList},
      {IDC_FORMAT, ModelControlKind::ComboList},
      {IDC_LITE_MAP, ModelControlKind::CheckBox},
      {IDC_BLUETOOTH, ModelControlKind::CheckBox},
      {IDC_COORDINATES_ONLY, ModelControlKind::CheckBox},
      {IDC_COPYRIGHT, ModelControlKind::Static},
  };
  for (const auto& c : cases) {
    const ModelControl* control = state->Control(c.id);
    ASSERT_NE(control, nullptr) << "control " << c.id;
    EXPECT_EQ(control->kind, c.kind) << "control " << c.id;
    EXPECT_FALSE(control->checked) << "control " << c.id;
    EXPECT_TRUE(control->items.empty()) << "control " << c.id;
    EXPECT_EQ(control->selection, kCbErr) << "control " << c.id;
  }
  EXPECT_TRUE(state->softKeys.empty()) << "no menu bar before CreateMenuBar";
}

TEST_F(RunningDialog, TextIsCutToTheCallersBuffer) {
  Open(IDD_STATUS);
  ASSERT_TRUE(SetControlText(dialog_, IDC_STATUS_LINE, u"Waiting for GPS-data..."));
  const struct {
    int capacity;
    int length;
    const char* text;
  } cases[] = {{60, 23, "Waiting for GPS-data..."},
               {24, 23, "Waiting for GPS-data..."},
               {8, 7, "Waiting"},
               {1, 0, ""}};
  for (const auto& c : cases) {
    char16_t buffer[64];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(GetControlText(dialog_, IDC_STATUS_LINE, buffer, c.capacity), c.length)
        << "capacity " << c.capacity;
    EXPECT_EQ(Narrow(buffer), c.text) << "capacity " << c.capacity;
    EXPECT_EQ(buffer[c.capacity], u'#') << "wrote past a buffer of " << c.capacity;
  }
  EXPECT_FALSE(SetControlText(dialog_, 4242, u"x")) << "no such control";
  char16_t buffer[4] = {u'x'};
  EXPECT_EQ(GetControlText(dialog_, 4242, buffer, 4), 0);
  EXPECT_EQ(buffer[0], 0);
}

TEST_F(RunningDialog, ImagesChecksAndEnabling) {
  Open(IDD_CONFIG);
  EXPECT_TRUE(SetCheck(dialog_, IDC_LITE_MAP, true));
  EXPECT_TRUE(IsChecked(dialog_, IDC_LITE_MAP));
  EXPECT_FALSE(IsChecked(dialog_, IDC_BLUETOOTH));
  EXPECT_TRUE(EnableControl(dialog_, IDC_MAP_TYPE, false));
  EXPECT_FALSE(IsControlEnabled(dialog_, IDC_MAP_TYPE));
  EXPECT_TRUE(EnableControl(dialog_, IDC_MAP_TYPE, true));
  EXPECT_TRUE(IsControlEnabled(dialog_, IDC_MAP_TYPE));
  EXPECT_FALSE(IsChecked(dialog_, 4242));
  EXPECT_FALSE(IsControlEnabled(dialog_, 4242));
}

TEST_F(RunningDialog, IndicatorImageChanges) {
  Open(IDD_STATUS);
  for (int bitmap : {IDB_INDICATOR_GREEN, IDB_INDICATOR_RED, IDB_INDICATOR_GREEN}) {
    EXPECT_TRUE(SetControlImage(dialog_, IDC_INDICATOR, bitmap));
    EXPECT_EQ(ModelControlState(dialog_, IDC_INDICATOR)->imageId, bitmap);
  }
}

TEST_F(RunningDialog, ComboBoxesBehaveAsWin32s) {
  Open(IDD_CONFIG);
  for (const char16_t* map : {u"Normal", u"Satellite", u"Hybrid", u"Physical"})
    ComboAddString(dialog_, IDC_MAP_TYPE, map);
  EXPECT_EQ(ComboGetCount(dialog_, IDC_MAP_TYPE), 4);
  EXPECT_EQ(ComboGetSelection(dialog_, IDC_MAP_TYPE), kCbErr) << "nothing selected at first";

  const struct {
    int startAfter;
    const char16_t* prefix;
    int found;
  } finds[] = {{0, u"Hybrid", 2},  {0, u"hyb", 2}, {0, u"NORMAL", 0} /* wraps round */,
               {-1, u"Normal", 0}, {2, u"S", 1},   {0, u"Road", kCbErr},
               {99, u"P", 3}};
  for (const auto& f : finds) {
    EXPECT_EQ(ComboFindString(dialog_, IDC_MAP_TYPE, f.startAfter, f.prefix), f.found)
        << Narrow(f.prefix) << " after " << f.startAfter;
  }

  EXPECT_EQ(ComboSetSelection(dialog_, IDC_MAP_TYPE, 2), 2);
  EXPECT_EQ(ComboGetSelection(dialog_, IDC_MAP_TYPE), 2);
  EXPECT_EQ(Text(IDC_MAP_TYPE), "Hybrid") << "a list's text is its selected item";
  EXPECT_EQ(ComboSetSelection(dialog_, IDC_MAP_TYPE, 7), kCbErr);
  EXPECT_EQ(ComboGetSelection(dialog_, IDC_MAP_TYPE), kCbErr) << "a bad index clears";
  EXPECT_FALSE(SetControlText(dialog_, IDC_MAP_TYPE, u"Road")) << "a list has no field";

  char16_t item[5];
  EXPECT_EQ(ComboGetItemText(dialog_, IDC_MAP_TYPE, 1, item, 5), 4);
  EXPECT_EQ(Narrow(item), "Sate") << "an item is cut to the buffer";
  EXPECT_EQ(ComboGetItemText(dialog_, IDC_MAP_TYPE, 4, item, 5), kCbErr);
  EXPECT_EQ(item[0], 0);

  // The editable port combo: its field is free text beside the list.
  for (int n = 1; n <= 9; ++n) {
    const std::u16string port = u"COM" + std::u16string(1, char16_t(u'0' + n)) + u":";
    EXPECT_EQ(ComboAddString(dialog_, IDC_PORT, port.c_str()), n - 1);
  }
  EXPECT_EQ(Text(IDC_PORT), "") << "adding items leaves the field empty";
  EXPECT_TRUE(SetControlText(dialog_, IDC_PORT, u"BSP4:"));
  EXPECT_EQ(Text(IDC_PORT), "BSP4:");
  EXPECT_EQ(ComboSetSelection(dialog_, IDC_PORT, 3), 3);
  EXPECT_EQ(Text(IDC_PORT), "COM4:");
  EXPECT_TRUE(ComboReset(dialog_, IDC_PORT));
  EXPECT_EQ(ComboGetCount(dialog_, IDC_PORT), 0);
  EXPECT_EQ(Text(IDC_PORT), "");
  EXPECT_EQ(ComboAddString(dialog_, IDC_LITE_MAP, u"x"), kCbErr) << "not a combo";
}

TEST_F(RunningDialog, ClicksToggleCheckBoxesAndPostCommands) {
  Open(IDD_CONFIG);
  ASSERT_TRUE(ModelClick(dialog_, IDC_COORDINATES_ONLY));
  EXPECT_TRUE(IsChecked(dialog_, IDC_COORDINATES_ONLY));
  EnableControl(dialog_, IDC_LITE_MAP, false);
  EXPECT_FALSE(ModelClick(dialog_, IDC_LITE_MAP)) << "a disabled box cannot be clicked";
  EXPECT_FALSE(IsChecked(dialog_, IDC_LITE_MAP));
  ComboAddString(dialog_, IDC_MAP_TYPE, u"Normal");
  ComboAddString(dialog_, IDC_MAP_TYPE, u"Satellite");
  ASSERT_TRUE(ModelChooseComboItem(dialog_, IDC_MAP_TYPE, 1));
  EXPECT_FALSE(ModelChooseComboItem(dialog_, IDC_MAP_TYPE, 2));
  EXPECT_EQ(ComboGetSelection(dialog_, IDC_MAP_TYPE), 1);
  const std::vector<ReceivedMessage> expected = {
      {kWmCommand, MakeWParam(IDC_COORDINATES_ONLY, kBnClicked), 0},
      {kWmCommand, MakeWParam(IDC_MAP_TYPE, kCbnSelChange), 0},
  };
  EXPECT_EQ(Commands(2), expected);
}

TEST_F(RunningDialog, MenuBarGivesSoftKeysAndTheBackKey) {
  Open(IDD_CONFIG);
  EXPECT_EQ(SendMenuBarMessage(dialog_, kShcmbmOverrideKey, kVkTBack, 0x30003), 0)
      << "no menu bar yet";
  ASSERT_TRUE(CreateMenuBar(dialog_, IDM_CONFIG));
  EXPECT_FALSE(CreateMenuBar(dialog_, 4242));
  EXPECT_TRUE(InitFullScreenDialog(dialog_, kShidifSizeDlgFullScreen));
  EXPECT_EQ(SendMenuBarMessage(dialog_, kShcmbmOverrideKey, kVkTBack, 0x30003), 1);
  const auto state = ModelSnapshot(dialog_);
  ASSERT_EQ(state->softKeys.size(), 2u);
  EXPECT_EQ(state->softKeys[0].command, IDM_EXIT);
  EXPECT_EQ(Narrow(state->softKeys[0].label), "Exit");
  EXPECT_TRUE(state->softKeys[0].popup.empty());
  EXPECT_EQ(state->softKeys[1].command, IDM_SAVE);
  EXPECT_EQ(Narrow(state->softKeys[1].label), "Save");
  EXPECT_TRUE(state->softKeys[1].dropDown);
  ASSERT_EQ(state->softKeys[1].popup.size(), 2u);
  EXPECT_EQ(state->softKeys[1].popup[0].first, IDM_MAIN_CONFIG);
  EXPECT_EQ(Narrow(state->softKeys[1].popup[0].second), "Main config");
  EXPECT_EQ(state->softKeys[1].popup[1].first, IDM_SHORTCUT);
  EXPECT_EQ(state->shellFlags, kShidifSizeDlgFullScreen);
  EXPECT_TRUE(state->backKeyOverridden);

  // Back in the focused field deletes the character before the caret (the end).
  SetControlText(dialog_, IDC_PORT, u"COM4:");
  ASSERT_TRUE(FocusControl(dialog_, IDC_PORT));
  SendBackToFocusWindow(kWmHotKey, 0, 0x1B0000);
  EXPECT_EQ(Text(IDC_PORT), "COM4");
  ASSERT_TRUE(FocusDialog(dialog_));
  SendBackToFocusWindow(kWmHotKey, 0, 0x1B0000);
  EXPECT_EQ(Text(IDC_PORT), "COM4") << "with the focus on the dialog nothing is deleted";
}

TEST_F(RunningDialog, NameDialogSoftKeys) {
  Open(IDD_SHORTCUT_NAME);
  ASSERT_TRUE(CreateMenuBar(dialog_, IDM_SHORTCUT_NAME));
  const auto state = ModelSnapshot(dialog_);
  ASSERT_EQ(state->softKeys.size(), 2u);
  EXPECT_EQ(state->softKeys[0].command, IDM_NAME_CANCEL);
  EXPECT_EQ(Narrow(state->softKeys[0].label), "Cancel");
  EXPECT_EQ(state->softKeys[1].command, IDM_NAME_OK);
  EXPECT_EQ(Narrow(state->softKeys[1].label), "Ok");
  EXPECT_FALSE(state->softKeys[1].dropDown);
}

TEST(PlatformType, AnswersTheConfiguredTypeOrFails) {
  char16_t buffer[128];
  ASSERT_TRUE(GetPlatformType(buffer, 128));
  EXPECT_EQ(Narrow(buffer), "PocketPC");
  SetModelPlatformType(u"SMARTPHONE");
  ASSERT_TRUE(GetPlatformType(buffer, 128));
  EXPECT_EQ(Narrow(buffer), "SMARTPHONE");
  SetModelPlatformType(nullptr);
  EXPECT_FALSE(GetPlatformType(buffer, 128));
  EXPECT_EQ(buffer[0], 0);
  SetModelPlatformType(u"PocketPC");
}

}  // namespace
