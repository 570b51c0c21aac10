// Shortcuts: the name dialog's routes, the shortcut file's exact bytes and the
// desktop entry beside it.
#include "config_driver.h"

#include <cstdio>

#include "common/shortcut_text.h"
#include "config/shortcut_dialog.h"
#include "platform/files.h"
#include "platform/shortcuts.h"

namespace {

std::string ThisProgramsQuarvel() {
  char16_t module[kPathUnits];
  EXPECT_TRUE(GetModulePath(module, kPathUnits));
  return Show(LocatorTargetBeside(module));
}

std::string ShortcutBytes(const std::string& target, const std::string& arguments) {
  return std::to_string(target.size() + 2) + "#\"" + target + "\" " + arguments;
}

// A form with the Programs folder in a scratch folder, and the name dialog's driver.
class ShortcutTest : public ::testing::Test {
 protected:
  ShortcutTest() : env_("XDG_DATA_HOME", (dir_ / "data").string()), form_(dir_ / "settings.ini") {}

  std::filesystem::path Programs() const { return dir_ / "data" / "applications"; }

  // Opens the name dialog from the form's Save menu.
  DialogHandle OpenNameDialog() {
    form_.Post(IDM_SHORTCUT);
    return ModelWaitForDialog(IDD_SHORTCUT_NAME, kWait);
  }
  // Types a name (when given) and presses a key of the name dialog; returns once the
  // dialog has handled it.
  void Press(DialogHandle names, unsigned command, const std::u16string* name = nullptr) {
    if (name) SetControlText(names, IDC_SHORTCUT_NAME, name->c_str());
    SendDialogMessage(names, kWmCommand, MakeWParam(command, 0), 0);
  }
  bool WaitForNameDialogToEnd() {
    for (int i = 0; i < 2000 && ModelActiveDialog() != form_.dialog(); ++i)
      std::this_thread::sleep_for(10ms);
    form_.Sync();
    return ModelActiveDialog() == form_.dialog();
  }

  TempDir dir_;
  ScopedEnv env_;
  MessageBoxRecorder boxes_;
  FormRun form_;
};

TEST_F(ShortcutTest, NewNameWritesShortcutAndDesktopEntry) {
  SetControlText(form_.dialog(), IDC_PORT, u"COM4:");
  ModelChooseComboItem(form_.dialog(), IDC_MAP_TYPE, 2);
  ModelClick(form_.dialog(), IDC_BLUETOOTH);
  DialogHandle names = OpenNameDialog();
  ASSERT_NE(names, nullptr);
  const ModelDialog d = ModelSnapshot(names).value();
  EXPECT_EQ(d.owner, form_.dialog());
  EXPECT_EQ(d.shellFlags, kShidifSizeDlgFullScreen | kShidifDoneButton);
  EXPECT_TRUE(d.backKeyOverridden);
  ASSERT_EQ(d.softKeys.size(), 2u);
  EXPECT_EQ(d.softKeys[0].label, u"Cancel");
  EXPECT_EQ(d.softKeys[0].command, IDM_NAME_CANCEL);
  EXPECT_EQ(d.softKeys[1].label, u"Ok");
  EXPECT_EQ(d.softKeys[1].command, IDM_NAME_OK);
  EXPECT_EQ(d.focusId, IDC_SHORTCUT_NAME);

  const std::u16string name = u"GPS";
  Press(names, IDM_NAME_OK, &name);
  ASSERT_TRUE(boxes_.WaitForCount(1, kWait));
  EXPECT_EQ(boxes_.Boxes()[0].text, u"Shortcut saved successfully!");
  EXPECT_EQ(boxes_.Boxes()[0].caption, u"Ok!");
  EXPECT_EQ(boxes_.Boxes()[0].owner, form_.dialog());

  const std::string target = ThisProgramsQuarvel();
  EXPECT_EQ(ReadBytes(Programs() / "GPS.lnk"), ShortcutBytes(target, "COM4: h 1 1 0"));
  EXPECT_EQ(ReadBytes(Programs() / "GPS.desktop"),
            "[Desktop Entry]\nType=Application\nName=GPS\nExec=" + target +
                " COM4: h 1 1 0\nIcon=org.quarvel.Quarvel\nTerminal=false\n");
  // The path stays as the dialog's result until the next run.
  EXPECT_EQ(Show(Config().shortcutPath), (Programs() / "GPS.lnk").string());
}

TEST_F(ShortcutTest, AFormatOtherThanCoordinatesOnlyGoesBeforeTheFiveWords) {
  const struct {
    int entry;  // of the format list
    std::u16string name;
    std::string arguments;
  } cases[] = {{0, u"F0", "COM1: n 1 0 0"},
               {1, u"F1", "--format ddm COM1: n 1 0 0"},
               {7, u"F7", "--format plus COM1: n 1 0 0"},
               {10, u"F10", "--format json COM1: n 1 0 0"}};
  for (const auto& c : cases) {
    ASSERT_TRUE(ModelChooseComboItem(form_.dialog(), IDC_FORMAT, c.entry));
    const std::u16string& name = c.name;
    Press(OpenNameDialog(), IDM_NAME_OK, &name);
    ASSERT_TRUE(WaitForNameDialogToEnd()) << c.entry;
    EXPECT_EQ(ReadBytes(Programs() / (Show(name) + ".lnk")),
              ShortcutBytes(ThisProgramsQuarvel(), c.arguments));
  }
}

TEST_F(ShortcutTest, ExistingNameAsksAndNoKeepsTheDialogOpen) {
  // Either file of the shortcut may be there already: another program's desktop
  // entry of that name is not replaced without asking either.
  for (const char* existing : {"GPS.lnk", "GPS.desktop"}) {
    std::filesystem::remove_all(Programs());
    std::filesystem::create_directories(Programs());
    WriteBytes(Programs() / existing, "old");
    const std::size_t before = boxes_.Boxes().size();
    DialogHandle names = OpenNameDialog();
    const std::u16string name = u"GPS";
    boxes_.QueueAnswer(kIdNo);
    Press(names, IDM_NAME_OK, &name);
    ASSERT_EQ(boxes_.Boxes().size(), before + 1) << existing;
    const RecordedMessageBox box = boxes_.Boxes().back();
    EXPECT_EQ(box.text, u"This file already exists. Overwrite?") << existing;
    EXPECT_EQ(box.caption, u"Quarvel");
    EXPECT_EQ(box.flags & kMbButtonMask, kMbYesNo);
    EXPECT_EQ(box.owner, form_.dialog());
    EXPECT_EQ(ModelActiveDialog(), names) << "No must keep the name dialog open, " << existing;
    EXPECT_EQ(Show(ModelControlState(names, IDC_SHORTCUT_NAME)->text), "GPS");
    EXPECT_EQ(Config().shortcutPath[0], 0);

    Press(names, IDM_NAME_CANCEL);
    ASSERT_TRUE(WaitForNameDialogToEnd());
    EXPECT_EQ(boxes_.Boxes().size(), before + 1) << "Cancel shows nothing, " << existing;
    EXPECT_EQ(ReadBytes(Programs() / existing), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Programs()),
                            std::filesystem::directory_iterator()),
              1)
        << "nothing may be written beside " << existing;
  }
}

TEST_F(ShortcutTest, YesOverwritesWithTheFormsSettings) {
  std::filesystem::create_directories(Programs());
  WriteBytes(Programs() / "GPS.lnk", "old");
  ModelClick(form_.dialog(), IDC_COORDINATES_ONLY);
  DialogHandle names = OpenNameDialog();
  const std::u16string name = u"GPS";
  boxes_.QueueAnswer(kIdYes);
  // The Done button sends IDOK, which acts as the Ok soft key does.
  Press(names, kIdOk, &name);
  ASSERT_TRUE(boxes_.WaitForCount(2, kWait));
  EXPECT_EQ(boxes_.Boxes()[1].text, u"Shortcut saved successfully!");
  // Greyed map type and lite map are still written with their values.
  EXPECT_EQ(ReadBytes(Programs() / "GPS.lnk"),
            ShortcutBytes(ThisProgramsQuarvel(), "COM1: n 1 0 1"));
}

TEST_F(ShortcutTest, EmptyNameIsRefusedThenCancelWritesNothing) {
  DialogHandle names = OpenNameDialog();
  const std::u16string empty;
  Press(names, IDM_NAME_OK, &empty);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, u"You must enter valid shortcut name!");
  EXPECT_EQ(boxes_.Boxes()[0].caption, u"Error!");
  EXPECT_EQ(boxes_.Boxes()[0].flags & kMbIconMask, kMbIconExclamation);
  EXPECT_EQ(boxes_.Boxes()[0].owner, form_.dialog());
  EXPECT_EQ(ModelActiveDialog(), names);
  Press(names, kIdCancel);
  ASSERT_TRUE(WaitForNameDialogToEnd());
  EXPECT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(Programs())) << "nothing may be written";
}

TEST_F(ShortcutTest, CancelAfterAnEarlierShortcutWritesNothing) {
  DialogHandle names = OpenNameDialog();
  const std::u16string first = u"First";
  Press(names, IDM_NAME_OK, &first);
  ASSERT_TRUE(boxes_.WaitForCount(1, kWait));
  ASSERT_TRUE(WaitForNameDialogToEnd());
  SetControlText(form_.dialog(), IDC_PORT, u"COM9:");
  names = OpenNameDialog();
  SetControlText(names, IDC_SHORTCUT_NAME, u"Second");
  Press(names, IDM_NAME_CANCEL);
  ASSERT_TRUE(WaitForNameDialogToEnd());
  EXPECT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(Config().shortcutPath[0], 0);
  EXPECT_EQ(ReadBytes(Programs() / "First.lnk"),
            ShortcutBytes(ThisProgramsQuarvel(), "COM1: n 1 0 0"));
  EXPECT_FALSE(std::filesystem::exists(Programs() / "Second.lnk"));
}

TEST_F(ShortcutTest, NameMakingThePathLongerThan263UnitsIsRefused) {
  const std::size_t prefix = (Programs() / "").u16string().size() + 4;  // folder/ and .lnk
  ASSERT_LT(prefix + 10, kShortcutPathMax);
  const std::size_t fits = kShortcutPathMax - prefix;
  const struct {
    std::size_t length;
    bool accepted;
  } cases[] = {{fits + 1, false}, {fits + 40, false}, {600, false}, {fits, true}};
  std::size_t shown = 0;
  for (const auto& c : cases) {
    DialogHandle names = OpenNameDialog();
    ASSERT_NE(names, nullptr);
    const std::u16string name(c.length, u'n');
    Press(names, IDM_NAME_OK, &name);
    ASSERT_TRUE(boxes_.WaitForCount(++shown, kWait)) << c.length;
    const RecordedMessageBox box = boxes_.Boxes().back();
    if (c.accepted) {
      EXPECT_EQ(box.text, u"Shortcut saved successfully!") << "a name of " << c.length;
      ASSERT_TRUE(WaitForNameDialogToEnd());
      EXPECT_TRUE(std::filesystem::exists(Programs() / (std::string(c.length, 'n') + ".lnk")));
    } else {
      EXPECT_EQ(box.caption, u"Error!") << c.length;
      EXPECT_NE(box.text, u"You must enter valid shortcut name!") << c.length;
      EXPECT_EQ(ModelActiveDialog(), names) << "the dialog stays open, " << c.length;
      EXPECT_EQ(Config().shortcutPath[0], 0) << c.length;
      Press(names, IDM_NAME_CANCEL);
      ASSERT_TRUE(WaitForNameDialogToEnd());
    }
  }
}

TEST_F(ShortcutTest, ShortcutThatCannotBeWrittenIsReported) {
  DialogHandle names = OpenNameDialog();
  const std::u16string name = u"no-such-folder/GPS";
  Press(names, IDM_NAME_OK, &name);
  ASSERT_TRUE(boxes_.WaitForCount(1, kWait));
  EXPECT_EQ(boxes_.Boxes()[0].caption, u"Error!");
  EXPECT_EQ(boxes_.Boxes()[0].flags & kMbIconMask, kMbIconError);
  EXPECT_NE(boxes_.Boxes()[0].text, u"Shortcut saved successfully!");
  EXPECT_FALSE(std::filesystem::exists(Programs() / "no-such-folder"));
}

TEST_F(ShortcutTest, UnknownProgramsFolderIsReportedAndTheDialogStays) {
  ScopedEnv data("XDG_DATA_HOME", "");
  ScopedEnv home("HOME", "");
  DialogHandle names = OpenNameDialog();
  const std::u16string name = u"GPS";
  Press(names, IDM_NAME_OK, &name);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].caption, u"Error!");
  EXPECT_EQ(ModelActiveDialog(), names);
  EXPECT_EQ(Config().shortcutPath[0], 0);
  Press(names, IDM_NAME_CANCEL);
  ASSERT_TRUE(WaitForNameDialogToEnd());
}

TEST_F(ShortcutTest, BackKeyDeletesInTheNameField) {
  DialogHandle names = OpenNameDialog();
  SetControlText(names, IDC_SHORTCUT_NAME, u"GPSX");
  FocusControl(names, IDC_SHORTCUT_NAME);
  SendDialogMessage(names, kWmHotKey, 0, intptr_t(kVkTBack) << 16);
  EXPECT_EQ(Show(ModelControlState(names, IDC_SHORTCUT_NAME)->text), "GPS");
  Press(names, IDM_NAME_CANCEL);
  ASSERT_TRUE(WaitForNameDialogToEnd());
}

TEST(ShortcutNameDialog, SmartphoneHasNoDoneButton) {
  TempDir dir;
  MessageBoxRecorder boxes;
  FormRun form(dir / "settings.ini");
  Config().smartphone = true;
  form.Post(IDM_SHORTCUT);
  DialogHandle names = ModelWaitForDialog(IDD_SHORTCUT_NAME, kWait);
  ASSERT_NE(names, nullptr);
  EXPECT_EQ(ModelSnapshot(names)->shellFlags, kShidifSizeDlgFullScreen);
  SendDialogMessage(names, kWmCommand, MakeWParam(IDM_NAME_CANCEL, 0), 0);
  Config().smartphone = false;
}

TEST(ShortcutText, ExampleIs49Bytes) {
  TempDir dir;
  std::FILE* file = std::fopen((dir / "GPS.lnk").c_str(), "wb");
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(WriteShortcutText(file, u"\\Program Files\\GPS\\Quarvel.exe", u"COM4: h 1 1 0"));
  std::fclose(file);
  const std::string bytes = ReadBytes(dir / "GPS.lnk");
  EXPECT_EQ(bytes, "32#\"\\Program Files\\GPS\\Quarvel.exe\" COM4: h 1 1 0");
  EXPECT_EQ(bytes.size(), 49u);
}

std::string Repeat(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

TEST(ShortcutText, CountIsInUtf16UnitsAndLongPiecesAreWrittenWhole) {
  const struct {
    std::u16string target;
    std::string count, bytes;
  } cases[] = {
      {u"/opt/gps/quarvel", "18", "/opt/gps/quarvel"},
      {u"/opt/g\u00e9o/quarvel", "18", "/opt/g\xc3\xa9o/quarvel"},
      {u"/opt/\U0001F30D/quarvel", "17", "/opt/\xf0\x9f\x8c\x8d/quarvel"},
      {u"/" + std::u16string(400, u'\u00e9'), "403", "/" + Repeat("\xc3\xa9", 400)},
      {u"/" + std::u16string(168, u'\u20ac') + u"\U0001F30D", "173",
       "/" + Repeat("\xe2\x82\xac", 168) + "\xf0\x9f\x8c\x8d"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    std::FILE* file = std::fopen((dir / "x.lnk").c_str(), "wb");
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(WriteShortcutText(file, c.target.c_str(), u" n 0 0 0")) << c.count;
    std::fclose(file);
    EXPECT_EQ(ReadBytes(dir / "x.lnk"), c.count + "#\"" + c.bytes + "\"  n 0 0 0") << c.count;
  }
}

TEST(DesktopEntry, ExecQuotesWordsThatNeedIt) {
  TempDir dir;
  const struct {
    std::u16string target, arguments;
    std::string exec;
  } cases[] = {
      {u"/opt/gps/quarvel", u"COM4: h 1 1 0", "/opt/gps/quarvel COM4: h 1 1 0"},
      {u"/opt/my gps/quarvel", u" n 1 0 0", "\"/opt/my gps/quarvel\" \"\" n 1 0 0"},
      {u"/opt/quarvel", u"COM 1 n 1 0 0", "/opt/quarvel COM 1 n 1 0 0"},
      // Inside quotes $, ` and \ get a backslash, and every backslash is doubled
      // again as the string value's escape.
      {u"/opt/quarvel", u"$X`\\ n 1 0 0", "/opt/quarvel \"\\\\$X\\\\`\\\\\\\\\" n 1 0 0"},
      {u"/opt/quarvel", u"50% n 1 0 0", "/opt/quarvel 50%% n 1 0 0"},
      // A value holds no raw control character: tab and carriage return are escaped.
      {u"/opt/a\tb/quarvel", u"CO\rM n 1 0 0", "\"/opt/a\\tb/quarvel\" CO\\rM n 1 0 0"},
  };
  for (const auto& c : cases) {
    const std::u16string path = Wide(dir / "Entry.lnk");
    ASSERT_TRUE(WriteShortcut(path.c_str(), c.target.c_str(), c.arguments.c_str()));
    const std::string entry = ReadBytes(dir / "Entry.desktop");
    EXPECT_NE(entry.find("\nExec=" + c.exec + "\n"), std::string::npos)
        << "arguments: " << Show(c.arguments) << "\nentry:\n"
        << entry;
  }
}

TEST(ProgramsFolder, FollowsXdgDataHome) {
  const struct {
    const char* dataHome;
    const char* home;
    std::string folder;
  } cases[] = {
      {"/tmp/data", "/home/u", "/tmp/data/applications"},
      {"", "/home/u", "/home/u/.local/share/applications"},
      {"relative/data", "/home/u", "/home/u/.local/share/applications"},
  };
  for (const auto& c : cases) {
    ScopedEnv data("XDG_DATA_HOME", c.dataHome);
    ScopedEnv home("HOME", c.home);
    char16_t folder[kPathUnits];
    ASSERT_TRUE(GetProgramsFolder(folder, kPathUnits)) << c.dataHome;
    EXPECT_EQ(Show(folder), c.folder) << "XDG_DATA_HOME=" << c.dataHome;
  }
}

}  // namespace
