#include "display/log_format.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "platform/text_codec.h"

namespace hw {

std::u16string FormatLogText(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::va_list again;
  va_copy(again, args);
  const int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::u16string text;
  if (length > 0) {
    std::vector<char> bytes(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(bytes.data(), bytes.size(), format, again);
    text = Utf8ToUtf16(std::string_view(bytes.data(), static_cast<std::size_t>(length)));
  }
  va_end(again);
  return text;
}

}  // namespace hw
