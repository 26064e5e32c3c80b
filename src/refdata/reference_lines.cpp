#include "refdata/reference_lines.h"

#include <array>
#include <string>

#include "platform/file_system.h"
#include "platform/text_codec.h"

namespace hw {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kLongLine = 1000;

}  // namespace

ReferenceLineCount ReadReferenceLineBytes(std::string_view bytes, int lineLimit,
                                          const ReferenceLineHandler& handler) {
  // The mark is dropped only here, at the start of the file. Resetting the line buffer
  // whenever it begins with the mark, while on the first line, would also eat the first byte
  // of a first line that starts with a character of U+F000..U+FFFF (full-width digits and
  // letters, half-width katakana), because the mark's last two bytes are still in the buffer.
  if (bytes.starts_with(kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());

  std::array<char, kLongLine + 1> buffer{};
  std::size_t p = 0;  // bytes of the current line, counted up to kLongLine
  ReferenceLineCount count;
  for (const char c : bytes) {
    if (count.lines >= lineLimit) break;
    if (c == '\r') continue;
    if (c != '\n') {
      if (p < kLongLine) buffer[p++] = c;
      continue;
    }
    if (p >= kLongLine) {
      ++count.skippedLongLines;
    } else {
      std::string_view line(buffer.data(), p);
      line = line.substr(0, line.find('\0'));
      handler(count.lines, Utf8ToUtf16(line));
      ++count.lines;
    }
    p = 0;
  }
  return count;
}

ReferenceLineCount ReadReferenceLines(std::u16string_view path, int lineLimit,
                                      const ReferenceLineHandler& handler) {
  const auto bytes = ReadFileBytes(path, kMaxReferenceFileBytes);
  if (!bytes) return {};
  return ReadReferenceLineBytes(*bytes, lineLimit, handler);
}

}  // namespace hw
