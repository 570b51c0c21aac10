// Files by UTF-16 path and UTF-8 text on Linux.
#include "platform/files.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <string>

#include "common/utf8.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;
// File names are bytes on Linux. Bytes that are no UTF-8 travel inside the core as
// the lone surrogates U+DC80..U+DCFF, so such a name still finds its file again.
constexpr char16_t kEscapeBase = 0xDC00;

bool PathToBytes(const char16_t* path, std::string& out) {
  out.clear();
  while (*path) {
    const utf8::Decoded d = utf8::DecodeUtf16(path);
    path += d.length;
    if (d.code >= 0xDC80 && d.code <= 0xDCFF) {
      out += char(d.code - kEscapeBase);
    } else if (utf8::IsSurrogate(d.code)) {
      return false;  // no file can have this name
    } else {
      char bytes[4];
      out.append(bytes, utf8::Encode(d.code, bytes));
    }
  }
  return true;
}

bool BytesToPath(const char* bytes, std::size_t count, char16_t* path, std::size_t capacity) {
  std::size_t used = 0;
  auto* in = reinterpret_cast<const unsigned char*>(bytes);
  for (std::size_t at = 0; at < count;) {
    utf8::Decoded d = utf8::Decode(in + at, count - at);
    if (d.length == 0) d = {char32_t(kEscapeBase + in[at]), 1};
    char16_t units[2];
    const std::size_t n = utf8::EncodeUtf16(d.code, units);
    if (used + n + 1 > capacity) return false;
    for (std::size_t i = 0; i < n; ++i) path[used++] = units[i];
    at += d.length;
  }
  path[used] = 0;
  return true;
}

// The directory a path names a file in, as bytes ("." for a bare name).
std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A file that is a link to one elsewhere (a settings.ini kept under /etc, say) is
// replaced where the link leads, so that the link stays a link.
std::string WhereLinkLeads(const std::string& path) {
  struct stat link {};
  if (lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
  char* resolved = realpath(path.c_str(), nullptr);
  if (!resolved) return path;  // a dangling link is replaced itself
  std::string target = resolved;
  std::free(resolved);
  return target;
}

// After a rename the directory entry must reach the disk too, or a crash could
// bring the old name back.
void SyncDirectory(const std::string& directory) {
  const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

// One character from a UTF-8 stream whose lead byte is already read; U+FFFD for a
// byte that starts no character, or for a character that breaks off (the byte that
// broke it is left for the next character). Zero when a two-unit character does
// not fit: its lead byte is then put back.
char32_t ReadCharacter(std::FILE* file, int first, bool pairFits) {
  const utf8::Lead lead = utf8::ReadLead(static_cast<unsigned char>(first));
  if (lead.length == 0) return kReplacement;
  if (lead.length == 4 && !pairFits) {
    ungetc(first, file);
    return 0;
  }
  char32_t code = lead.bits;
  for (int i = 1; i < lead.length; ++i) {
    const int byte = getc(file);
    const bool fits =
        i == 1 ? byte >= lead.secondLow && byte <= lead.secondHigh : utf8::IsContinuation(byte);
    if (!fits) {
      if (byte != EOF) ungetc(byte, file);
      return kReplacement;
    }
    code = code << 6 | (byte & 0x3F);
  }
  return code;
}

}  // namespace

char16_t PathSeparator() { return u'/'; }

// QUARVEL_DATA_FROM_BIN: where the installed data lies seen from the installed
// programs, "../share" for the usual prefixes.
const char16_t* InstalledMarker() { return u"" QUARVEL_DATA_FROM_BIN "/quarvel/per-user-settings"; }

bool GetUserSettingsFolder(char16_t* path, std::size_t capacity) {
  if (capacity == 0) return false;
  path[0] = 0;
  // XDG: $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
  std::string folder;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  const passwd* user = getpwuid(getuid());
  if (config && config[0] == '/') {
    folder = config;
  } else if (home && home[0] == '/') {
    folder = std::string(home) + "/.config";
  } else if (!home && user && user->pw_dir && user->pw_dir[0] == '/') {
    folder = std::string(user->pw_dir) + "/.config";
  } else {
    return false;
  }
  folder += "/quarvel";
  if (BytesToPath(folder.data(), folder.size(), path, capacity)) return true;
  path[0] = 0;
  return false;
}

bool CreateFolderFor(const char16_t* path) {
  std::string bytes;
  if (!PathToBytes(path, bytes)) return false;
  const std::string folder = DirectoryOf(bytes);
  struct stat info {};
  for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    // Only what is missing is made: a parent the user may not write to is fine.
    if (stat(part.c_str(), &info) != 0 && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
      return false;
    }
    if (slash == std::string::npos) break;
  }
  return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool GetModulePath(char16_t* path, std::size_t capacity) {
  if (capacity == 0) return false;
  path[0] = 0;
  char bytes[kPathUnits];
  const ssize_t count = readlink("/proc/self/exe", bytes, sizeof bytes);
  if (count <= 0 || std::size_t(count) >= sizeof bytes) return false;
  if (BytesToPath(bytes, std::size_t(count), path, capacity)) return true;
  path[0] = 0;
  return false;
}

std::FILE* OpenFile(const char16_t* path, const char* mode) {
  std::string bytes;
  if (!PathToBytes(path, bytes)) return nullptr;
  const std::string closeOnExec = std::string(mode) + "e";
  return std::fopen(bytes.c_str(), closeOnExec.c_str());
}

std::FILE* CreateFileBeside(const char16_t* path, char16_t* tempPath, std::size_t capacity) {
  static std::atomic<unsigned long> counter = 0;
  std::string target;
  if (!PathToBytes(path, target)) return nullptr;
  target = WhereLinkLeads(target);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name =
        target + ".new-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
    if (!BytesToPath(name.data(), name.size(), tempPath, capacity)) return nullptr;
    // 0666 under the umask, as any new file of the user's would be.
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return nullptr;
    }
    std::FILE* file = fdopen(fd, "w");
    if (!file) {
      close(fd);
      unlink(name.c_str());
      return nullptr;
    }
    return file;
  }
  return nullptr;
}

bool CloseFileDurably(std::FILE* file) {
  bool ok = !std::ferror(file) && std::fflush(file) == 0;
  ok = ok && fsync(fileno(file)) == 0;
  return std::fclose(file) == 0 && ok;
}

bool ReplaceFile(const char16_t* from, const char16_t* to) {
  std::string source, target;
  if (!PathToBytes(from, source) || !PathToBytes(to, target)) return false;
  target = WhereLinkLeads(target);
  struct stat old {};
  if (stat(target.c_str(), &old) == 0) chmod(source.c_str(), old.st_mode & 07777);
  if (std::rename(source.c_str(), target.c_str()) != 0) return false;
  SyncDirectory(DirectoryOf(target));
  return true;
}

bool MayWriteFile(const char16_t* path) {
  std::string bytes;
  if (!PathToBytes(path, bytes)) return false;
  // Non-blocking: a FIFO or a tty in the file's place must not hang the check.
  const int fd = open(bytes.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd >= 0) {
    close(fd);
    return true;
  }
  return errno == ENOENT;
}

bool RemoveFile(const char16_t* path) {
  std::string bytes;
  return PathToBytes(path, bytes) && unlink(bytes.c_str()) == 0;
}

bool WideToMultibyte(const char16_t* text, char* out, std::size_t capacity) {
  if (capacity == 0) return *text == 0;
  std::size_t used = 0;
  while (*text) {
    const utf8::Decoded d = utf8::DecodeUtf16(text);
    char bytes[4] = {'?'};
    // A lone surrogate is no character; UTF-8 has no bytes for it.
    const std::size_t n = utf8::IsSurrogate(d.code) ? 1 : utf8::Encode(d.code, bytes);
    if (used + n + 1 > capacity) break;
    for (std::size_t i = 0; i < n; ++i) out[used++] = bytes[i];
    text += d.length;
  }
  out[used] = 0;
  return *text == 0;
}

bool MultibyteToWide(const char* text, char16_t* out, std::size_t capacity) {
  if (capacity == 0) return *text == 0;
  auto* in = reinterpret_cast<const unsigned char*>(text);
  std::size_t available = std::char_traits<char>::length(text);
  std::size_t used = 0;
  while (available > 0) {
    utf8::Decoded d = utf8::Decode(in, available);
    if (d.length == 0) d = {kReplacement, 1};
    char16_t units[2];
    const std::size_t n = utf8::EncodeUtf16(d.code, units);
    if (used + n + 1 > capacity) break;
    for (std::size_t i = 0; i < n; ++i) out[used++] = units[i];
    in += d.length;
    available -= d.length;
  }
  out[used] = 0;
  return available == 0;
}

bool ReadWideLine(std::FILE* file, char16_t* line, std::size_t capacity) {
  if (capacity == 0) return false;
  std::size_t used = 0;
  while (used + 1 < capacity) {
    const int first = getc(file);
    if (first == EOF) break;
    // A line of room for one unit only still takes a long character rather than
    // none at all, as U+FFFD, so that every read moves on.
    const bool pairFits = used + 2 < capacity;
    char32_t code = ReadCharacter(file, first, pairFits || used == 0);
    if (code == 0 && first != 0) break;  // the pair waits for the next read
    if (code > 0xFFFF && !pairFits) code = kReplacement;
    char16_t units[2];
    const std::size_t n = utf8::EncodeUtf16(code, units);
    for (std::size_t i = 0; i < n; ++i) line[used++] = units[i];
    if (code == u'\n') break;
  }
  line[used] = 0;
  return used > 0;
}
