// A minimal JSON writer for one line at a time: objects, arrays, numbers and 8-bit text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class JsonWriter {
 public:
  void BeginObject();
  void EndObject();
  void BeginArray();
  void EndArray();
  void Key(std::string_view name);  // the next value belongs to this key

  void Int(int64_t value);
  void Double(double value);  // 17 significant digits; null when not finite
  void Float(float value);    // 9 significant digits; null when not finite
  // Bytes as received: 0x80-0xFF become U+0080-U+00FF, control characters are escaped.
  void String(std::string_view bytes);
  void Char(char value);  // one-character string, "" for NUL

  const std::string& Text() const { return out_; }
  void Clear();

 private:
  void BeforeValue();
  void Number(const char* format, double value);

  std::string out_;
  bool needComma_ = false;
};
