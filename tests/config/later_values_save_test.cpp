// The form's save over a settings.ini with value lines after the fifth: they stay,
// with their comment lines, while the five values are the form's.
#include "config_driver.h"

namespace {

TEST(ConfigForm, SaveKeepsTheValueLinesAfterTheFifth) {
  const std::string later = "# Format\nmgrs\n# Map host\nmaps.example.org:8080/q\n# X\n8\n";
  TempDir dir;
  WriteBytes(dir / "settings.ini", "# COM port\nCOM2:\nh\n1\n1\n0\n" + later);
  MessageBoxRecorder boxes;
  FormRun form(dir / "settings.ini");
  SetControlText(form.dialog(), IDC_PORT, u"COM4:");
  form.Post(IDM_MAIN_CONFIG);
  ASSERT_TRUE(boxes.WaitForCount(1, kWait));
  EXPECT_EQ(ReadBytes(dir / "settings.ini"), SettingsText("COM4:", "h", "1", "1", "0") + later);
}

}  // namespace
