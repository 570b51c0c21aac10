// JSON text for the decoder's lines; every byte of NMEA input maps to one code point.
#include "tools/json_writer.h"

#include <cmath>
#include <cstdio>

void JsonWriter::BeforeValue() {
  if (needComma_) out_ += ',';
  needComma_ = true;
}

void JsonWriter::BeginObject() {
  BeforeValue();
  out_ += '{';
  needComma_ = false;
}

void JsonWriter::EndObject() {
  out_ += '}';
  needComma_ = true;
}

void JsonWriter::BeginArray() {
  BeforeValue();
  out_ += '[';
  needComma_ = false;
}

void JsonWriter::EndArray() {
  out_ += ']';
  needComma_ = true;
}

void JsonWriter::Key(std::string_view name) {
  String(name);
  out_ += ':';
  needComma_ = false;
}

void JsonWriter::Int(int64_t value) {
  BeforeValue();
  out_ += std::to_string(value);
}

void JsonWriter::Number(const char* format, double value) {
  BeforeValue();
  if (!std::isfinite(value)) {
    out_ += "null";  // JSON has no infinity; a 1e999 field reads as infinity
    return;
  }
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  out_ += text;
}

void JsonWriter::Double(double value) { Number("%.17g", value); }

void JsonWriter::Float(float value) { Number("%.9g", static_cast<double>(value)); }

void JsonWriter::String(std::string_view bytes) {
  BeforeValue();
  out_ += '"';
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    switch (byte) {
      case '"': out_ += "\\\""; break;
      case '\\': out_ += "\\\\"; break;
      case '\n': out_ += "\\n"; break;
      case '\r': out_ += "\\r"; break;
      case '\t': out_ += "\\t"; break;
      default:
        if (byte < 0x20 || byte >= 0x7F) {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(byte));
          out_ += escape;
        } else {
          out_ += c;
        }
    }
  }
  out_ += '"';
}

void JsonWriter::Char(char value) {
  String(value == '\0' ? std::string_view() : std::string_view(&value, 1));
}

void JsonWriter::Clear() {
  out_.clear();
  needComma_ = false;
}
