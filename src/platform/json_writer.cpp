#include "platform/json_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/text_codec.h"

namespace hw {

JsonWriter& JsonWriter::Open(char bracket) {
  Separate();
  out_ += bracket;
  needComma_ = false;
  return *this;
}

JsonWriter& JsonWriter::Close(char bracket) {
  out_ += bracket;
  needComma_ = true;
  return *this;
}

void JsonWriter::Separate() {
  if (needComma_) out_ += ',';
  needComma_ = false;
}

JsonWriter& JsonWriter::Key(std::string_view key) {
  Separate();
  String(key);
  out_ += ':';
  return *this;
}

JsonWriter& JsonWriter::Value(std::u16string_view text) {
  Separate();
  String(Utf16ToUtf8(text));
  needComma_ = true;
  return *this;
}

JsonWriter& JsonWriter::Value(long long number) {
  Separate();
  out_ += std::to_string(number);
  needComma_ = true;
  return *this;
}

JsonWriter& JsonWriter::Value(double number) {
  Separate();
  if (std::isfinite(number)) {
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    out_.append(digits, result.ptr);
  } else {
    out_ += "null";  // JSON has no infinity or NaN
  }
  needComma_ = true;
  return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
  Separate();
  out_ += value ? "true" : "false";
  needComma_ = true;
  return *this;
}

JsonWriter& JsonWriter::Null() {
  Separate();
  out_ += "null";
  needComma_ = true;
  return *this;
}

void JsonWriter::String(std::string_view utf8) {
  out_ += '"';
  for (const char c : utf8) {
    switch (c) {
      case '"':
        out_ += "\\\"";
        break;
      case '\\':
        out_ += "\\\\";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
          out_ += escape;
        } else {
          out_ += c;
        }
    }
  }
  out_ += '"';
}

}  // namespace hw
