// A scratch folder per test, and whole-file helpers for what the tests write.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "settings/settings.h"
#include "platform/files.h"

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quarvel-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::u16string Wide(const std::filesystem::path& path) { return path.u16string(); }

// UTF-8 of UTF-16 text for failure messages; a lone surrogate shows as '?'.
inline std::string Show(const std::u16string& text) {
  std::string out(text.size() * 3 + 1, 0);
  WideToMultibyte(text.c_str(), out.data(), out.size());
  return out.c_str();
}

// The settings as one line, so that a failure names every field; the format and map
// host only when one is set.
inline std::string Describe(const Settings& s) {
  std::string text = "port=\"" + Show(s.portName) + "\" map=\"" + Show(s.mapType) +
                     "\" lite=" + std::to_string(s.liteMap) +
                     " bluetooth=" + std::to_string(s.bluetooth) +
                     " coordinates=" + std::to_string(s.coordinatesOnly);
  if (s.format[0] || s.mapHost[0])
    text += " format=\"" + Show(s.format) + "\" mapHost=\"" + Show(s.mapHost) + "\"";
  return text;
}

// settings with its format and map host set.
inline Settings WithLater(Settings s, std::u16string_view format, std::u16string_view mapHost) {
  s.format[format.copy(s.format, kPortNameUnits)] = 0;
  s.mapHost[mapHost.copy(s.mapHost, kPortNameUnits)] = 0;
  return s;
}

inline Settings Expect(std::u16string port, std::u16string map, int lite, int bluetooth,
                       int coordinates) {
  Settings s;
  // An expected port longer than the field is a mistake of the test, not a cut.
  if (port.size() > kPortNameUnits) port = u"(expected port too long)";
  port.copy(s.portName, kPortNameUnits);
  s.portName[port.size()] = 0;
  map.copy(s.mapType, 1);
  s.mapType[map.size() ? 1 : 0] = 0;
  s.liteMap = uint8_t(lite);
  s.bluetooth = uint8_t(bluetooth);
  s.coordinatesOnly = uint8_t(coordinates);
  return s;
}
