#include "platform/number_text.h"

#include <cstdlib>
#include <limits>
#include <string>

namespace hw {
namespace {

bool IsBlank(char16_t c) {
  return c == u' ' || (c >= u'\t' && c <= u'\r');
}

std::u16string_view SkipBlanks(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) {
    ++i;
  }
  return text.substr(i);
}

}  // namespace

std::int32_t LeadingInt(std::u16string_view text) {
  text = SkipBlanks(text);
  bool negative = false;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  std::int64_t value = 0;
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10 + (text[i] - u'0');
    if (value > kLimit) value = kLimit;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max()) {
    return std::numeric_limits<std::int32_t>::max();
  }
  return static_cast<std::int32_t>(value);
}

double LeadingDouble(std::u16string_view text) {
  // Only ASCII can be part of a number; strtod stops at the first character that is not.
  text = SkipBlanks(text);
  std::string ascii;
  for (char16_t c : text) {
    if (c <= u' ' || c > u'~' || ascii.size() >= 64) break;
    ascii.push_back(static_cast<char>(c));
  }
  return std::strtod(ascii.c_str(), nullptr);
}

}  // namespace hw
