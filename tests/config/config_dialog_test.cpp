// The configuration form on the dialog model: loading, greying, saving, leaving,
// layout choice and the single instance.
#include "config_driver.h"

#include <fstream>

#include "config/config_program.h"

namespace {

struct FormState {
  std::u16string port;
  int map;  // selected entry, kCbErr for none
  bool lite, bluetooth, coordinates;
};

std::string Describe(const FormState& s) {
  return "port=\"" + Show(s.port) + "\" map=" + std::to_string(s.map) +
         " lite=" + std::to_string(s.lite) + " bluetooth=" + std::to_string(s.bluetooth) +
         " coordinates=" + std::to_string(s.coordinates);
}

FormState Read(const FormRun& form) {
  return {form.Control(IDC_PORT).text, form.Control(IDC_MAP_TYPE).selection,
          form.Control(IDC_LITE_MAP).checked, form.Control(IDC_BLUETOOTH).checked,
          form.Control(IDC_COORDINATES_ONLY).checked};
}

void ExpectGreying(const FormRun& form, bool coordinatesOnly, const std::string& when) {
  EXPECT_EQ(form.Control(IDC_COORDINATES_ONLY).checked, coordinatesOnly) << when;
  EXPECT_EQ(form.Control(IDC_LITE_MAP).enabled, !coordinatesOnly) << "lite map " << when;
  EXPECT_EQ(form.Control(IDC_MAP_TYPE).enabled, !coordinatesOnly) << "map type " << when;
  EXPECT_TRUE(form.Control(IDC_FORMAT).enabled) << "the format list is never greyed, " << when;
}

TEST(ConfigForm, NoFileShowsDefaultsAndSavesThem) {
  TempDir dir;
  // A machine without receivers or GeoClue: only the built-in sources come before
  // the COM ports.
  setenv("QUARVEL_DEVICE_DIR", dir.path().c_str(), 1);
  ScopedEnv noBus("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/quarvel-bus");
  MessageBoxRecorder boxes;
  FormRun form(dir / "settings.ini");
  ASSERT_NE(form.dialog(), nullptr);
  EXPECT_EQ(Describe(Read(form)), Describe({u"COM1:", 0, true, false, false}));
  ExpectGreying(form, false, "after loading defaults");

  const ModelDialog d = ModelSnapshot(form.dialog()).value();
  EXPECT_EQ(d.title, u"Quarvel");
  EXPECT_EQ(d.shellFlags, kShidifSizeDlgFullScreen);
  EXPECT_TRUE(d.backKeyOverridden);
  ASSERT_EQ(d.softKeys.size(), 2u);
  EXPECT_EQ(d.softKeys[0].label, u"Exit");
  EXPECT_EQ(d.softKeys[0].command, IDM_EXIT);
  EXPECT_EQ(d.softKeys[1].label, u"Save");
  ASSERT_EQ(d.softKeys[1].popup.size(), 2u);
  EXPECT_EQ(d.softKeys[1].popup[0],
            std::make_pair(IDM_MAIN_CONFIG, std::u16string(u"Main config")));
  EXPECT_EQ(d.softKeys[1].popup[1], std::make_pair(IDM_SHORTCUT, std::u16string(u"Shortcut")));
  EXPECT_EQ(form.Control(IDC_MAP_TYPE).items,
            (std::vector<std::u16string>{u"Normal", u"Satellite", u"Hybrid", u"Physical"}));
  EXPECT_EQ(form.Control(IDC_FORMAT).items,
            (std::vector<std::u16string>{u"as Coordinates only says", u"ddm", u"url", u"dd", u"dms",
                                         u"utm", u"mgrs", u"plus", u"geo", u"osm", u"json"}));
  EXPECT_EQ(form.Control(IDC_FORMAT).selection, 0);
  unsetenv("QUARVEL_DEVICE_DIR");
  const std::vector<std::u16string> ports{u"auto:", u"gpsd:", u"DEMO:", u"COM1:",
                                          u"COM2:", u"COM3:", u"COM4:", u"COM5:",
                                          u"COM6:", u"COM7:", u"COM8:", u"COM9:"};
  EXPECT_EQ(form.Control(IDC_PORT).items, ports);

  form.Post(IDM_MAIN_CONFIG);
  ASSERT_TRUE(boxes.WaitForCount(1, kWait));
  EXPECT_EQ(boxes.Boxes()[0].text, u"Config saved successfully!");
  EXPECT_EQ(boxes.Boxes()[0].caption, u"Ok!");
  EXPECT_EQ(boxes.Boxes()[0].owner, form.dialog());
  EXPECT_EQ(ReadBytes(dir / "settings.ini"), SettingsText("COM1:", "n", "1", "0", "0"));
}

TEST(ConfigForm, CommentsOnlyFileLeavesFieldsEmptyAndSavesLetterN) {
  TempDir dir;
  WriteBytes(dir / "settings.ini", "# COM port\n\n# nothing else\r\n\r\n#\n");
  MessageBoxRecorder boxes;
  FormRun form(dir / "settings.ini");
  EXPECT_EQ(Describe(Read(form)), Describe({u"", kCbErr, false, false, false}));
  ExpectGreying(form, false, "after loading comments only");
  form.Post(IDM_MAIN_CONFIG);
  ASSERT_TRUE(boxes.WaitForCount(1, kWait));
  EXPECT_EQ(ReadBytes(dir / "settings.ini"), SettingsText("", "n", "0", "0", "0"));
}

TEST(ConfigForm, LoadsEachValueByTheLineRules) {
  const std::string longPort(300, 'p');
  const struct {
    std::string file;
    FormState expected;
  } cases[] = {
      {"COM4:\nh\n1\n1\n0\n", {u"COM4:", 2, true, true, false}},
      // A port line longer than the field is cut to it, and still one line.
      {longPort + "\r\nh\n", {std::u16string(kPortNameUnits, u'p'), 2, false, false, false}},
      {"# c\r\nCOM2:  \r\ns\r\n0\r\n1\r\n1\r\n", {u"COM2:", 1, false, true, true}},
      {"BSP4:\np\n1\n0\n0\n", {u"BSP4:", 3, true, false, false}},
      {"COM3:\nn\n1\n0\n0\n", {u"COM3:", 0, true, false, false}},
      {"COM3:\nH\n1\n0\n0\n", {u"COM3:", 0, true, false, false}},     // upper case: Normal
      {"COM3:\n h\n 1\n10\n0\n", {u"COM3:", 0, false, true, false}},  // leading spaces
      {"COM3:\nx\n", {u"COM3:", 0, false, false, false}},             // fewer lines
      {"A-PORT-OF-15-CH\ns\n1\n1\n0\n1\n1\n", {u"A-PORT-OF-15-CH", 1, true, true, false}},
      {"COM5:\n", {u"COM5:", kCbErr, false, false, false}},
  };
  for (const auto& c : cases) {
    TempDir dir;
    WriteBytes(dir / "settings.ini", c.file);
    FormRun form(dir / "settings.ini");
    EXPECT_EQ(Describe(Read(form)), Describe(c.expected)) << "file: " << c.file;
    ExpectGreying(form, c.expected.coordinates, "after loading " + c.file);
    EXPECT_EQ(form.Control(IDC_PORT).textLimit, int(kPortNameUnits)) << "typing stops there";
  }
}

TEST(ConfigForm, FormatListIsTheSixthValueAndTheSeventhIsKept) {
  const std::string five = SettingsText("COM2:", "s", "1", "0", "1");
  const struct {
    std::string later;  // the file's lines after the fifth value
    int shown;          // the format entry selected on opening
    int chosen;         // the entry chosen before saving; kCbErr: none chosen
    std::string saved;  // the lines after the fifth value once saved
  } cases[] = {
      {"", 0, kCbErr, ""},
      {"", 0, 4, "# Format\ndms\n"},
      {"# Format\nUTM\n# Map host\nmaps.example.org:8080\n", 5, kCbErr,
       "# Format\nutm\n# Map host\nmaps.example.org:8080\n"},
      {"# Format\nutm\n# Map host\nmaps.example.org\n", 5, 10,
       "# Format\njson\n# Map host\nmaps.example.org\n"},
      // A name this list does not know stays as it was, with the host.
      {"# Format\nfancy\n# Map host\nmaps.example.org\n", kCbErr, kCbErr,
       "# Format\nfancy\n# Map host\nmaps.example.org\n"},
      // Back to coordinates only: an empty line would hold no value, so one space.
      {"# Format\ndms\n# Map host\nmaps.example.org\n", 4, 0,
       "# Format\n \n# Map host\nmaps.example.org\n"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    WriteBytes(dir / "settings.ini", five + c.later);
    MessageBoxRecorder boxes;
    FormRun form(dir / "settings.ini");
    EXPECT_EQ(form.Control(IDC_FORMAT).selection, c.shown) << c.later;
    if (c.chosen != kCbErr) {
      ASSERT_TRUE(ModelChooseComboItem(form.dialog(), IDC_FORMAT, c.chosen));
    }
    form.Post(IDM_MAIN_CONFIG);
    ASSERT_TRUE(boxes.WaitForCount(1, kWait));
    EXPECT_EQ(ReadBytes(dir / "settings.ini"), five + c.saved) << c.later;
  }
}

TEST(ConfigForm, CoordinatesOnlyGreysMapControlsOnEveryToggle) {
  TempDir dir;
  WriteBytes(dir / "settings.ini", SettingsText("COM2:", "s", "1", "0", "1"));
  MessageBoxRecorder boxes;
  FormRun form(dir / "settings.ini");
  ExpectGreying(form, true, "after loading coordinates only");
  for (int toggle = 1; toggle <= 4; ++toggle) {
    ASSERT_TRUE(ModelClick(form.dialog(), IDC_COORDINATES_ONLY));
    form.Sync();
    ExpectGreying(form, toggle % 2 == 0, "after toggle " + std::to_string(toggle));
  }
  // Greyed controls keep their values, and a save writes them.
  form.Post(IDM_MAIN_CONFIG);
  ASSERT_TRUE(boxes.WaitForCount(1, kWait));
  EXPECT_EQ(ReadBytes(dir / "settings.ini"), SettingsText("COM2:", "s", "1", "0", "1"));
}

TEST(ConfigForm, ExampleSettingsFileIsExactly86Bytes) {
  TempDir dir;
  MessageBoxRecorder boxes;
  FormRun form(dir / "settings.ini");
  SetControlText(form.dialog(), IDC_PORT, u"COM4:");
  ASSERT_TRUE(ModelChooseComboItem(form.dialog(), IDC_MAP_TYPE, 2));
  ASSERT_TRUE(ModelClick(form.dialog(), IDC_BLUETOOTH));
  form.Post(IDM_MAIN_CONFIG);
  ASSERT_TRUE(boxes.WaitForCount(1, kWait));
  const std::string bytes = ReadBytes(dir / "settings.ini");
  EXPECT_EQ(bytes, SettingsText("COM4:", "h", "1", "1", "0"));
  EXPECT_EQ(bytes.size(), 86u);
}

TEST(ConfigForm, TypedPortIsSavedAsTypedAndBackDeletesInTheField) {
  TempDir dir;
  MessageBoxRecorder boxes;
  FormRun form(dir / "settings.ini");
  SetControlText(form.dialog(), IDC_PORT, u"BSP4:x");
  ASSERT_TRUE(FocusControl(form.dialog(), IDC_PORT));
  PostDialogMessage(form.dialog(), kWmHotKey, 0, intptr_t(kVkTBack) << 16);
  form.Sync();
  EXPECT_EQ(Show(form.Control(IDC_PORT).text), "BSP4:");
  // Another hot key is not the Back key and changes nothing.
  PostDialogMessage(form.dialog(), kWmHotKey, 0, intptr_t(0x70) << 16);
  form.Sync();
  EXPECT_EQ(Show(form.Control(IDC_PORT).text), "BSP4:");
  form.Post(IDM_MAIN_CONFIG);
  ASSERT_TRUE(boxes.WaitForCount(1, kWait));
  EXPECT_EQ(ReadBytes(dir / "settings.ini"), SettingsText("BSP4:", "n", "1", "0", "0"));
}

// The list shows a receiver by name, after "auto:", and saves its path; the path loads as
// the name.
TEST(ConfigForm, ListedReceiverShowsItsNameAndSavesItsPath) {
  TempDir dir;
  const std::filesystem::path byId = dir / "dev/serial/by-id";
  std::filesystem::create_directories(byId);
  std::ofstream(dir / "dev/ttyACM0");
  const std::string link = (byId / "usb-u-blox_AG_-_www.u-blox.com_u-blox_7-if00").string();
  std::filesystem::create_symlink("../../ttyACM0", link);
  ScopedEnv devices("QUARVEL_DEVICE_DIR", (dir / "dev").string());
  const std::u16string shown = u"u-blox 7 (ttyACM0)";
  const struct {
    std::string saved;       // settings.ini's port before
    std::u16string field;    // what the field shows after loading it
    std::u16string typed;    // typed over it, or empty
    int chosen;              // the entry then chosen from the list, or -1
    std::string savedAfter;  // settings.ini's port after saving
  } cases[] = {
      {link, shown, u"", -1, link},
      {"COM3:", u"COM3:", u"", 1, link},
      {"COM3:", u"COM3:", shown, -1, link},  // the shown text typed is that entry
      {link, shown, u"ttyACM0", -1, "ttyACM0"},
      {link, shown, u"u-blox 7", -1, "u-blox 7"},
  };
  for (const auto& c : cases) {
    WriteBytes(dir / "settings.ini", SettingsText(c.saved, "n", "0", "0", "0"));
    MessageBoxRecorder boxes;
    FormRun form(dir / "settings.ini");
    EXPECT_EQ(form.Control(IDC_PORT).items.at(0), u"auto:");
    EXPECT_EQ(form.Control(IDC_PORT).items.at(1), shown);
    EXPECT_EQ(Show(form.Control(IDC_PORT).text), Show(c.field)) << "loading " << c.saved;
    if (!c.typed.empty()) SetControlText(form.dialog(), IDC_PORT, c.typed.c_str());
    if (c.chosen >= 0) ModelChooseComboItem(form.dialog(), IDC_PORT, c.chosen);
    form.Post(IDM_MAIN_CONFIG);
    ASSERT_TRUE(boxes.WaitForCount(1, kWait));
    EXPECT_EQ(ReadBytes(dir / "settings.ini"), SettingsText(c.savedAfter, "n", "0", "0", "0"))
        << "loading " << c.saved << ", typing " << Show(c.typed) << ", choosing " << c.chosen;
  }
}

TEST(ConfigForm, SettingsFileThatCannotBeWrittenIsReported) {
  TempDir dir;
  const std::filesystem::path cases[] = {dir / "missing-folder" / "settings.ini", ""};
  for (const auto& path : cases) {
    MessageBoxRecorder boxes;
    FormRun form(path);
    form.Post(IDM_MAIN_CONFIG);
    ASSERT_TRUE(boxes.WaitForCount(1, kWait)) << path;
    form.Sync();
    const auto shown = boxes.Boxes();
    ASSERT_EQ(shown.size(), 1u) << path;
    EXPECT_EQ(shown[0].caption, u"Error!") << path;
    EXPECT_EQ(shown[0].flags & kMbIconMask, kMbIconError) << path;
    EXPECT_NE(shown[0].text, u"Config saved successfully!");
    EXPECT_FALSE(std::filesystem::exists(path)) << path;
  }
}

TEST(ConfigForm, ExitAndCloseEndWithZeroAndSaveNothing) {
  const unsigned messages[][2] = {{kWmCommand, IDM_EXIT}, {kWmClose, 0}};
  for (const auto& m : messages) {
    TempDir dir;
    FormRun form(dir / "settings.ini");
    SetControlText(form.dialog(), IDC_PORT, u"COM7:");
    EXPECT_EQ(form.End(m[0], m[1]), 0) << "message " << m[0];
    EXPECT_FALSE(std::filesystem::exists(dir / "settings.ini"));
  }
}

TEST(ConfigForm, OtherCommandsAreNotHandled) {
  TempDir dir;
  FormRun form(dir / "settings.ini");
  EXPECT_EQ(SendDialogMessage(form.dialog(), kWmCommand, MakeWParam(IDM_SAVE, 0), 0), 0);
  EXPECT_EQ(SendDialogMessage(form.dialog(), kWmCommand, MakeWParam(IDC_BLUETOOTH, 0), 0), 0);
  EXPECT_EQ(SendDialogMessage(form.dialog(), kWmCommand, MakeWParam(IDC_COORDINATES_ONLY, 0), 0),
            1);
  EXPECT_EQ(SendDialogMessage(form.dialog(), kWmTimer, 0, 0), 0);
}

TEST(ConfigProgram, PlatformTypeChoosesTheLayout) {
  const struct {
    const char16_t* type;
    bool smartphone;
  } cases[] = {
      {u"Smartphone", true}, {u"SMARTPHONE", true},   {u"smartPhone", true}, {u"PocketPC", false},
      {u"", false},          {u"Smartphone2", false}, {u"Smart", false},     {nullptr, false},
  };
  for (const auto& c : cases) {
    SetModelPlatformType(c.type);
    EXPECT_EQ(IsSmartphone(), c.smartphone) << (c.type ? Show(c.type) : "failed query");
  }
  SetModelPlatformType(u"PocketPC");
}

TEST(ConfigProgram, RunsTheChosenLayoutAsTheOnlyInstance) {
  const struct {
    const char16_t* type;
    int layout;
  } cases[] = {{u"SMARTPHONE", IDD_CONFIG_SMARTPHONE}, {u"PocketPC", IDD_CONFIG}};
  for (const auto& c : cases) {
    SetModelPlatformType(c.type);
    int exitCode = 99;
    std::thread program([&] { exitCode = RunQuarvelConfig(); });
    DialogHandle form = ModelWaitForDialog(c.layout, kWait);
    ASSERT_NE(form, nullptr) << Show(c.type);
    EXPECT_EQ(Config().smartphone, c.layout == IDD_CONFIG_SMARTPHONE);
    // A second start finds the first and ends at once, without a second form.
    EXPECT_EQ(RunQuarvelConfig(), 0);
    EXPECT_EQ(ModelActiveDialog(), form);
    PostDialogMessage(form, kWmCommand, MakeWParam(IDM_EXIT, 0), 0);
    program.join();
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(ModelWaitForNoDialog(kWait));
  }
  SetModelPlatformType(u"PocketPC");
}

}  // namespace
