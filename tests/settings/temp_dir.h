// A scratch folder per test, and whole-file helpers for what the tests write.
#pragma once

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "locator/settings.h"

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

// Readable UTF-8 of UTF-16 text for failure messages; a lone surrogate shows as \x{...}.
inline std::string Show(const std::u16string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (c >= 0xD800 && c < 0xE000) {
      char hex[16];
      std::snprintf(hex, sizeof hex, "\\x{%X}", unsigned(c));
      out += hex;
      continue;
    }
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += char(0xC0 | c >> 6), out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += char(0xE0 | c >> 12), out += char(0x80 | (c >> 6 & 0x3F)), out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xF0 | c >> 18), out += char(0x80 | (c >> 12 & 0x3F));
      out += char(0x80 | (c >> 6 & 0x3F)), out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// The five settings as one line, so that a failure names every field.
inline std::string Describe(const Settings& s) {
  return "port=\"" + Show(s.portName) + "\" map=\"" + Show(s.mapType) +
         "\" lite=" + std::to_string(s.liteMap) + " bluetooth=" + std::to_string(s.bluetooth) +
         " coordinates=" + std::to_string(s.coordinatesOnly);
}

inline Settings Expect(std::u16string port, std::u16string map, int lite, int bluetooth,
                       int coordinates) {
  Settings s;
  port.copy(s.portName, 9);
  s.portName[std::min<std::size_t>(port.size(), 9)] = 0;
  map.copy(s.mapType, 1);
  s.mapType[map.size() ? 1 : 0] = 0;
  s.liteMap = uint8_t(lite);
  s.bluetooth = uint8_t(bluetooth);
  s.coordinatesOnly = uint8_t(coordinates);
  return s;
}
