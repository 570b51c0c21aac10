// Where the programs look for settings.ini, and a whole run's settings from a real
// program started from a folder of its own.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "settings/settings_path.h"
#include "settings/temp_dir.h"

namespace {

TEST(BuildSettingsPath, ReplacesTheNameAfterTheLastSeparator) {
  const struct {
    std::u16string module;
    char16_t separator;
    std::u16string path;
  } cases[] = {
      {u"/opt/quarvel/quarvel", u'/', u"/opt/quarvel/settings.ini"},
      {u"/quarvel", u'/', u"/settings.ini"},
      {u"/dir/", u'/', u"/dir/settings.ini"},
      {u"quarvel", u'/', u"settings.ini"},
      {u"", u'/', u"settings.ini"},
      {u"\\Program Files\\GPS\\Quarvel.exe", u'\\', u"\\Program Files\\GPS\\settings.ini"},
      {u"C:/a\\b/c.exe", u'\\', u"C:/a\\settings.ini"},
      {u"/a\\b", u'\\', u"/a\\settings.ini"},
  };
  for (const auto& c : cases) {
    char16_t path[64];
    ASSERT_TRUE(BuildSettingsPath(c.module.c_str(), c.separator, path, 64)) << Show(c.module);
    EXPECT_EQ(std::u16string(path), c.path) << Show(c.module);
  }
}

TEST(BuildSettingsPath, RefusesWhatDoesNotFit) {
  char16_t path[20];
  std::fill(std::begin(path), std::end(path), u'#');
  // "/a/" and "settings.ini" take 15 units, 16 with the terminator.
  EXPECT_TRUE(BuildSettingsPath(u"/a/quarvel", u'/', path, 16));
  EXPECT_EQ(std::u16string(path), u"/a/settings.ini");
  EXPECT_EQ(path[16], u'#');
  std::fill(std::begin(path), std::end(path), u'#');
  EXPECT_FALSE(BuildSettingsPath(u"/a/quarvel", u'/', path, 15));
  EXPECT_EQ(path[0], 0) << "a refused path must be empty";
  EXPECT_EQ(path[15], u'#');
}

TEST(GetSettingsPath, BesideTheRunningProgram) {
  char16_t path[kPathUnits];
  ASSERT_TRUE(GetSettingsPath(path));
  const auto expected =
      std::filesystem::read_symlink("/proc/self/exe").parent_path() / "settings.ini";
  EXPECT_EQ(std::u16string(path), expected.u16string());
}

// Runs a copy of the probe program from dir with the given arguments and extra
// environment (NAME=value; NAME= unsets); its output.
std::string RunProbe(const std::filesystem::path& dir, const std::vector<std::string>& args,
                     const std::vector<std::string>& environment = {}) {
  const std::filesystem::path program = dir / "quarvel";
  std::filesystem::copy_file(SETTINGS_PROBE, program,
                             std::filesystem::copy_options::overwrite_existing);
  std::vector<std::string> words = {program.string()};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  int out[2];
  if (pipe(out) != 0) return "no pipe";
  const pid_t child = fork();
  if (child == 0) {
    dup2(out[1], 1);
    close(out[0]);
    close(out[1]);
    chdir("/");  // the settings file must be found beside the program, not here
    for (const std::string& setting : environment) {
      const std::size_t equals = setting.find('=');
      const std::string name = setting.substr(0, equals), value = setting.substr(equals + 1);
      value.empty() ? unsetenv(name.c_str()) : setenv(name.c_str(), value.c_str(), 1);
    }
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(out[1]);
  std::string text;
  char buffer[256];
  for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) text.append(buffer, n);
  close(out[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return text;
}

const std::string kExample =
    "# COM port\nCOM4:\n# Default map type\nh\n# Lite map\n1\n# Bluetooth\n1\n"
    "# Coordinates only\n0\n";

TEST(FillSettings, AProgramInItsOwnFolder) {
  const struct {
    const char* name;
    const char* folder;
    const char* file;  // null: no settings.ini
    std::vector<std::string> args;
    std::string printed;
  } cases[] = {
      {"settings file without arguments", "plain", kExample.c_str(), {}, "COM4:|h|1|1|0\n"},
      {"arguments alone decide", "plain", kExample.c_str(), {"COM2:"}, "COM2:|n|0|0|0\n"},
      {"no file keeps the defaults", "plain", nullptr, {}, "COM1:|n|0|0|0\n"},
      {"five separate words", "plain", nullptr, {"COM3:", "s", "0", "1", "1"}, "COM3:|s|0|1|1\n"},
      {"one quoted argument with an empty word",
       "plain",
       nullptr,
       {"COM4:  1 1"},
       "COM4:|n|1|1|0\n"},
      {"an empty argument is an empty word",
       "plain",
       kExample.c_str(),
       {"", "p", "1"},
       "|p|1|0|0\n"},
      {"folder with spaces and UTF-8",
       "GPS tools \xC3\xA9",
       kExample.c_str(),
       {},
       "COM4:|h|1|1|0\n"},
      {"folder whose name is no UTF-8", "gps\xFF\xFE", kExample.c_str(), {}, "COM4:|h|1|1|0\n"},
      {"CR LF file", "plain", "# p\r\nCOM5:\r\n# m\r\ns\r\n", {}, "COM5:|s|0|0|0\n"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    const std::filesystem::path folder = dir / c.folder;
    std::filesystem::create_directory(folder);
    if (c.file) WriteBytes(folder / "settings.ini", c.file);
    EXPECT_EQ(RunProbe(folder, c.args), c.printed) << c.name;
  }
}

const std::string kOther = "# p\nCOM7:\n# m\np\n";

// A copy with the marker of an installed copy beside its programs (bin/, and the
// marker under share/) keeps each user's settings in the user's config folder and
// reads an administrator's settings.ini beside the programs only while it has none.
TEST(FillSettings, AnInstalledCopyReadsTheUsersOwnFile) {
  const struct {
    const char* name;
    bool installed;
    const char* userFile;    // in $XDG_CONFIG_HOME/quarvel (or ~/.config/quarvel)
    const char* besideFile;  // beside the programs
    bool xdg;                // XDG_CONFIG_HOME set, else HOME alone decides
    std::string printed;
  } cases[] = {
      {"the user's file", true, kExample.c_str(), kOther.c_str(), true, "COM4:|h|1|1|0\n"},
      {"the user's file under HOME", true, kExample.c_str(), nullptr, false, "COM4:|h|1|1|0\n"},
      {"none of the user's own: the default beside", true, nullptr, kOther.c_str(), true,
       "COM7:|p|0|0|0\n"},
      {"neither file: the defaults", true, nullptr, nullptr, true, "COM1:|n|0|0|0\n"},
      {"a portable copy ignores the user's folder", false, kExample.c_str(), kOther.c_str(), true,
       "COM7:|p|0|0|0\n"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    const std::filesystem::path bin = dir / "prefix/bin", config = dir / "config/quarvel",
                                home = dir / "home", homeConfig = dir / "home/.config/quarvel";
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(config);
    std::filesystem::create_directories(homeConfig);
    if (c.installed) {
      std::filesystem::create_directories(dir / "prefix/share/quarvel");
      WriteBytes(dir / "prefix/share/quarvel/per-user-settings", "");
    }
    if (c.userFile) WriteBytes((c.xdg ? config : homeConfig) / "settings.ini", c.userFile);
    if (c.besideFile) WriteBytes(bin / "settings.ini", c.besideFile);
    const std::vector<std::string> environment = {
        "HOME=" + home.string(), "XDG_CONFIG_HOME=" + (c.xdg ? (dir / "config").string() : "")};
    EXPECT_EQ(RunProbe(bin, {}, environment), c.printed) << c.name;
  }
}

TEST(CreateFolderFor, MakesTheMissingFoldersPrivate) {
  TempDir dir;
  const std::filesystem::path file = dir / "a/b/settings.ini";
  ASSERT_TRUE(CreateFolderFor(file.u16string().c_str()));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "a/b"));
  EXPECT_EQ(std::filesystem::status(dir / "a").permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_all);
  EXPECT_TRUE(CreateFolderFor(file.u16string().c_str())) << "an existing folder is fine";
  WriteBytes(dir / "plain", "");
  EXPECT_FALSE(CreateFolderFor((dir / "plain/settings.ini").u16string().c_str()))
      << "a file where the folder should be";
}

}  // namespace
