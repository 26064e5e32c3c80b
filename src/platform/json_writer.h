#pragma once

#include <string>
#include <string_view>

namespace hw {

// Builds compact JSON text: objects, arrays, UTF-16 strings as UTF-8, integers, and doubles in
// the shortest form that reads back to the same value.
class JsonWriter {
 public:
  JsonWriter& BeginObject() { return Open('{'); }
  JsonWriter& EndObject() { return Close('}'); }
  JsonWriter& BeginArray() { return Open('['); }
  JsonWriter& EndArray() { return Close(']'); }
  JsonWriter& Key(std::string_view key);
  JsonWriter& Value(std::u16string_view text);
  JsonWriter& Value(long long number);
  JsonWriter& Value(int number) { return Value(static_cast<long long>(number)); }
  JsonWriter& Value(double number);
  JsonWriter& Bool(bool value);
  JsonWriter& Null();

  const std::string& str() const { return out_; }

 private:
  JsonWriter& Open(char bracket);
  JsonWriter& Close(char bracket);
  void Separate();
  void String(std::string_view utf8);

  std::string out_;
  bool needComma_ = false;
};

}  // namespace hw
