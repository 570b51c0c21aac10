// settings.ini as written: the exact file, and no damage when a save fails.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "settings/settings_file.h"
#include "settings/settings_lines.h"
#include "settings/temp_dir.h"

namespace {

// The record a form holding these values saves; a port longer than the field is cut
// to it, as the form's field cuts it.
Settings Saved(std::u16string_view port, std::u16string_view letter, bool lite, bool bluetooth,
               bool coordinates) {
  Settings s;
  s.portName[port.copy(s.portName, kPortNameUnits)] = 0;
  s.mapType[letter.copy(s.mapType, 1)] = 0;
  s.liteMap = lite;
  s.bluetooth = bluetooth;
  s.coordinatesOnly = coordinates;
  return s;
}

const std::string kExampleBytes =
    "# COM port\nCOM4:\n# Default map type\nh\n# Lite map\n1\n"
    "# Bluetooth\n1\n# Coordinates only\n0\n";

std::size_t FilesIn(const std::filesystem::path& dir) {
  return std::size_t(std::distance(std::filesystem::directory_iterator(dir),
                                   std::filesystem::directory_iterator()));
}

TEST(WriteSettingsFile, ExampleIsEightySixBytes) {
  TempDir dir;
  ASSERT_TRUE(WriteSettingsFile(Wide(dir / "settings.ini").c_str(),
                                Saved(u"COM4:", u"h", true, true, false)));
  const std::string bytes = ReadBytes(dir / "settings.ini");
  EXPECT_EQ(bytes.size(), 86u);
  EXPECT_EQ(bytes, kExampleBytes);
  EXPECT_EQ(FilesIn(dir.path()), 1u) << "a scratch file was left behind";
}

TEST(WriteSettingsFile, WhatIsWrittenReadsBack) {
  const struct {
    std::u16string port, letter;
    bool lite, bluetooth, coordinates;
    Settings expected;
  } cases[] = {
      {u"COM4:", u"h", true, true, false, Expect(u"COM4:", u"h", 1, 1, 0)},
      {u"COM1:", u"n", false, false, true, Expect(u"COM1:", u"n", 0, 0, 1)},
      {u"/dev/ttyACM0", u"p", true, false, true, Expect(u"/dev/ttyACM0", u"p", 1, 0, 1)},
      {std::u16string(259, u'p'), u"h", true, false, false,
       Expect(std::u16string(259, u'p'), u"h", 1, 0, 0)},
      {u"COM\u00E9:", u"s", false, true, false, Expect(u"COM\u00E9:", u"s", 0, 1, 0)},
      // No letter leaves an empty line, so the lite flag is read as the letter.
      {u"COM4:", u"", true, true, true, Expect(u"COM4:", u"1", 1, 1, 0)},
  };
  TempDir dir;
  for (const auto& c : cases) {
    const std::u16string path = Wide(dir / "settings.ini");
    ASSERT_TRUE(WriteSettingsFile(path.c_str(),
                                  Saved(c.port, c.letter, c.lite, c.bluetooth, c.coordinates)));
    Settings settings;
    ApplySettingsValues(ReadSettingsValues(path.c_str()), settings);
    EXPECT_EQ(Describe(settings), Describe(c.expected)) << Show(c.port);
  }
}

TEST(WriteSettingsFile, ReplacesTheOldFileAndKeepsItsPermissions) {
  TempDir dir;
  WriteBytes(dir / "settings.ini", "# old\nCOM9:\nsome longer text that must go\n");
  chmod((dir / "settings.ini").c_str(), 0640);
  ASSERT_TRUE(WriteSettingsFile(Wide(dir / "settings.ini").c_str(),
                                Saved(u"COM4:", u"h", true, true, false)));
  EXPECT_EQ(ReadBytes(dir / "settings.ini"), kExampleBytes);
  struct stat st {};
  ASSERT_EQ(stat((dir / "settings.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(FilesIn(dir.path()), 1u);
}

TEST(WriteSettingsFile, ALinkStaysALinkAndItsFileIsReplaced) {
  TempDir dir;
  std::filesystem::create_directory(dir / "etc");
  WriteBytes(dir / "etc" / "settings.ini", "# old\nCOM9:\n");
  std::filesystem::create_symlink("etc/settings.ini", dir / "settings.ini");
  ASSERT_TRUE(WriteSettingsFile(Wide(dir / "settings.ini").c_str(),
                                Saved(u"COM4:", u"h", true, true, false)));
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "settings.ini")) << "the link was replaced";
  EXPECT_EQ(ReadBytes(dir / "etc" / "settings.ini"), kExampleBytes);
  EXPECT_EQ(FilesIn(dir.path()), 2u) << "a scratch file was left beside the link";
  EXPECT_EQ(FilesIn(dir / "etc"), 1u) << "a scratch file was left beside the linked file";
}

TEST(WriteSettingsFile, MissingFolderIsAFailure) {
  TempDir dir;
  EXPECT_FALSE(WriteSettingsFile(Wide(dir / "no" / "settings.ini").c_str(),
                                 Saved(u"COM4:", u"h", true, true, false)));
  EXPECT_EQ(FilesIn(dir.path()), 0u);
}

TEST(WriteSettingsFile, PortTooLongForThePieceBufferIsAFailure) {
  TempDir dir;
  WriteBytes(dir / "settings.ini", "old");
  std::u16string port(400, u'\u00E9');
  EXPECT_FALSE(
      WriteSettingsFile(Wide(dir / "settings.ini").c_str(), Saved(port, u"h", true, true, false)));
  EXPECT_EQ(ReadBytes(dir / "settings.ini"), "old");
  EXPECT_EQ(FilesIn(dir.path()), 1u);
}

// Runs the writer in a child whose files may not grow past limit bytes, so its
// write fails part-way the way a full disk fails it. Returns the writer's answer.
bool WriteWithFileSizeLimit(const std::filesystem::path& path, rlim_t limit) {
  const pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);  // a failed write, not a killed process
    const rlimit rl{limit, limit};
    setrlimit(RLIMIT_FSIZE, &rl);
    const bool ok =
        WriteSettingsFile(path.u16string().c_str(), Saved(u"COM4:", u"h", true, true, false));
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status)) << "the writer died: status " << status;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Runs the writer as a user who may not write a read-only file: this one, or
// "nobody" for root, who may write any file. The folder lets that user add a file.
bool WriteAsAnOrdinaryUser(const std::filesystem::path& path) {
  const pid_t child = fork();
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
    _exit(WriteSettingsFile(path.u16string().c_str(), Saved(u"COM4:", u"h", true, true, false))
              ? 0
              : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 2) << "status " << status;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(WriteSettingsFile, AReadOnlyFileIsNotReplaced) {
  TempDir dir;
  const std::string old = "# COM port\nCOM9:\n";
  WriteBytes(dir / "settings.ini", old);
  chmod((dir / "settings.ini").c_str(), 0444);
  chmod(dir.path().c_str(), 0777);
  EXPECT_FALSE(WriteAsAnOrdinaryUser(dir / "settings.ini"));
  EXPECT_EQ(ReadBytes(dir / "settings.ini"), old);
  EXPECT_EQ(FilesIn(dir.path()), 1u) << "a scratch file was left behind";
  // The same user may still save where the file may be written.
  chmod((dir / "settings.ini").c_str(), 0666);
  EXPECT_TRUE(WriteAsAnOrdinaryUser(dir / "settings.ini"));
  EXPECT_EQ(ReadBytes(dir / "settings.ini"), kExampleBytes);
  EXPECT_EQ(FilesIn(dir.path()), 1u);
}

TEST(WriteSettingsFile, FailedWriteLeavesTheOldFileIntact) {
  TempDir dir;
  const std::string old = "# COM port\nCOM9:\n# Default map type\ns\n";
  WriteBytes(dir / "settings.ini", old);
  EXPECT_FALSE(WriteWithFileSizeLimit(dir / "settings.ini", 40));
  EXPECT_EQ(ReadBytes(dir / "settings.ini"), old);
  EXPECT_EQ(FilesIn(dir.path()), 1u) << "the failed scratch file was left behind";
}

TEST(WriteSettingsFile, FailedWriteCreatesNoFile) {
  TempDir dir;
  EXPECT_FALSE(WriteWithFileSizeLimit(dir / "settings.ini", 40));
  EXPECT_EQ(FilesIn(dir.path()), 0u);
}

TEST(WriteSettingsFile, LimitAboveTheFileSizeSucceeds) {
  TempDir dir;
  EXPECT_TRUE(WriteWithFileSizeLimit(dir / "settings.ini", 86));
  EXPECT_EQ(ReadBytes(dir / "settings.ini"), kExampleBytes);
}

TEST(WriteSettingsFile, NameTooLongForAScratchFileIsWrittenInPlace) {
  // 250 bytes leave no room for the scratch file's longer name (255 at most).
  TempDir dir;
  const std::string name(250, 's');
  ASSERT_TRUE(
      WriteSettingsFile(Wide(dir / name).c_str(), Saved(u"COM4:", u"h", true, true, false)));
  EXPECT_EQ(ReadBytes(dir / name), kExampleBytes);
  EXPECT_EQ(FilesIn(dir.path()), 1u);
}

}  // namespace
