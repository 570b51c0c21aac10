// Files by UTF-16 path and text in the ANSI code page on desktop Windows.
#include <windows.h>
#include <shlobj.h>
// windows.h maps ReplaceFile to ReplaceFileW, which would rename the layer's own.
#undef ReplaceFile

#include "platform/files.h"

#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <string>

#include "common/utf8.h"
#include "platform/win32/wide_text.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Units of the character that starts at text: 2 for a whole surrogate pair.
std::size_t CharacterUnits(const char16_t* text) {
  return utf8::IsHighSurrogate(text[0]) && utf8::IsLowSurrogate(text[1]) ? 2 : 1;
}

// One character in the ANSI code page; '?' for what the code page cannot show.
int CharacterToAnsi(const char16_t* units, std::size_t count, char* bytes, int room) {
  if (count == 1 && utf8::IsSurrogate(units[0])) {
    bytes[0] = '?';  // a lone surrogate is no character at all
    return 1;
  }
  const int n =
      WideCharToMultiByte(CP_ACP, 0, AsWide(units), int(count), bytes, room, "?", nullptr);
  if (n > 0) return n;
  bytes[0] = '?';
  return 1;
}

// Bytes of the character whose first byte is lead: two for a double-byte lead.
int AnsiCharacterBytes(unsigned char lead) { return IsDBCSLeadByteEx(CP_ACP, lead) ? 2 : 1; }

// One ANSI character as UTF-16 (one unit in every ANSI code page); U+FFFD when the
// bytes are no character.
char16_t AnsiToCharacter(const char* bytes, int count) {
  wchar_t unit = 0;
  if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes, count, &unit, 1) != 1) {
    return kReplacement;
  }
  return char16_t(unit);
}

std::wstring WideMode(const char* mode) {
  std::wstring wide;
  for (; *mode; ++mode) wide += wchar_t(static_cast<unsigned char>(*mode));
  return wide;
}

}  // namespace

char16_t PathSeparator() { return u'\\'; }

const char16_t* InstalledMarker() { return u"per-user-settings"; }

bool GetUserSettingsFolder(char16_t* path, std::size_t capacity) {
  if (capacity == 0) return false;
  path[0] = 0;
  wchar_t appData[MAX_PATH];
  if (SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData) != S_OK) {
    return false;
  }
  const std::wstring folder = std::wstring(appData) + L"\\Quarvel";
  if (folder.size() + 1 > capacity) return false;
  folder.copy(AsWide(path), folder.size());
  path[folder.size()] = 0;
  return true;
}

bool CreateFolderFor(const char16_t* path) {
  std::wstring folder = AsWide(path);
  const std::size_t last = folder.find_last_of(L"\\/");
  if (last == std::wstring::npos) return true;  // a bare name lies in the current folder
  folder.resize(last);
  SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool GetModulePath(char16_t* path, std::size_t capacity) {
  if (capacity == 0) return false;
  path[0] = 0;
  const DWORD room = capacity > MAXDWORD ? MAXDWORD : DWORD(capacity);
  const DWORD length = GetModuleFileNameW(nullptr, AsWide(path), room);
  if (length > 0 && length < room) return true;  // room itself means the path was cut
  path[0] = 0;
  return false;
}

std::FILE* OpenFile(const char16_t* path, const char* mode) {
  return _wfopen(AsWide(path), WideMode(mode).c_str());
}

std::FILE* CreateFileBeside(const char16_t* path, char16_t* tempPath, std::size_t capacity) {
  static std::atomic<unsigned long> counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::wstring name = AsWide(path);
    name += L".new-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    if (name.size() + 1 > capacity) return nullptr;
    HANDLE handle = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_EXISTS) continue;
      return nullptr;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_TEXT);
    std::FILE* file = fd < 0 ? nullptr : _fdopen(fd, "w");
    if (!file) {
      fd < 0 ? CloseHandle(handle) : _close(fd);
      DeleteFileW(name.c_str());
      return nullptr;
    }
    name.copy(AsWide(tempPath), name.size());
    tempPath[name.size()] = 0;
    return file;
  }
  return nullptr;
}

bool CloseFileDurably(std::FILE* file) {
  bool ok = !std::ferror(file) && std::fflush(file) == 0;
  ok = ok && _commit(_fileno(file)) == 0;
  return std::fclose(file) == 0 && ok;
}

bool ReplaceFile(const char16_t* from, const char16_t* to) {
  // The new file takes the old one's attributes (read-only stays refused, hidden stays hidden).
  const DWORD attributes = GetFileAttributesW(AsWide(to));
  if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesW(AsWide(from), attributes);
  return MoveFileExW(AsWide(from), AsWide(to),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool MayWriteFile(const char16_t* path) {
  const HANDLE file = CreateFileW(AsWide(path), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return true;
  }
  return GetLastError() == ERROR_FILE_NOT_FOUND;
}

bool RemoveFile(const char16_t* path) { return DeleteFileW(AsWide(path)) != 0; }

bool WideToMultibyte(const char16_t* text, char* out, std::size_t capacity) {
  if (capacity == 0) return *text == 0;
  std::size_t used = 0;
  while (*text) {
    const std::size_t units = CharacterUnits(text);
    char bytes[8];
    const int n = CharacterToAnsi(text, units, bytes, int(sizeof bytes));
    if (used + std::size_t(n) + 1 > capacity) break;
    for (int i = 0; i < n; ++i) out[used++] = bytes[i];
    text += units;
  }
  out[used] = 0;
  return *text == 0;
}

bool MultibyteToWide(const char* text, char16_t* out, std::size_t capacity) {
  if (capacity == 0) return *text == 0;
  std::size_t used = 0;
  while (*text && used + 1 < capacity) {
    int n = AnsiCharacterBytes(static_cast<unsigned char>(*text));
    if (n == 2 && text[1] == 0) n = 1;  // a lead byte at the very end
    out[used++] = AnsiToCharacter(text, n);
    text += n;
  }
  out[used] = 0;
  return *text == 0;
}

bool ReadWideLine(std::FILE* file, char16_t* line, std::size_t capacity) {
  if (capacity == 0) return false;
  std::size_t used = 0;
  while (used + 1 < capacity) {
    const int first = std::getc(file);
    if (first == EOF) break;
    char bytes[2] = {char(first), 0};
    int n = 1;
    if (AnsiCharacterBytes(static_cast<unsigned char>(first)) == 2) {
      const int second = std::getc(file);
      if (second != EOF) bytes[n++] = char(second);
    }
    line[used++] = AnsiToCharacter(bytes, n);
    if (line[used - 1] == u'\n') break;
  }
  line[used] = 0;
  return used > 0;
}
