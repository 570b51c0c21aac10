// QuarvelConfig.exe: its options (help, version), then the settings form.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "common/utf8.h"
#include "config/config_program.h"
#include "platform/dialogs.h"
#include "platform/win32/console_streams.h"
#include "programs/config_options.h"
#include "programs/quarvel_options.h"
#include "quarvel_version.h"

namespace {

constexpr char16_t kCaption[] = u"QuarvelConfig.exe";

std::u16string Text(const std::string& utf8Text) { return utf8::Utf8ToUtf16(utf8Text); }

bool ReadCommandLine(ConfigOptions& options, std::string& error) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> words;
  for (int i = 0; wide && i < count; ++i) {
    words.push_back(utf8::Utf16ToUtf8(reinterpret_cast<const char16_t*>(wide[i])));
  }
  LocalFree(wide);
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  return ReadConfigOptions(int(argv.size()), argv.data(), options, error);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  ConfigOptions options;
  std::string error;
  const bool read = ReadCommandLine(options, error);
  if (!read || options.help || options.version) OpenProgramStreams();
  if (!read) {
    WriteOrShow(ProgramStream::Err, Text("QuarvelConfig: " + error + "\n\n" + ConfigUsage()),
                u"Error!", kMbIconError);
    return kExitUsage;
  }
  if (options.help) {
    WriteOrShow(ProgramStream::Out, Text(ConfigUsage()), kCaption, kMbOk);
    return 0;
  }
  if (options.version) {
    WriteOrShow(ProgramStream::Out, Text(std::string("QuarvelConfig ") + kQuarvelVersion + "\n"),
                kCaption, kMbOk);
    return 0;
  }
  return RunQuarvelConfig();
}
