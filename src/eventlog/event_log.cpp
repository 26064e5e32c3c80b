#include "eventlog/event_log.h"

#include <cstdio>

#include "platform/file_system.h"
#include "platform/text_codec.h"
#include "platform/utf16.h"

namespace hw {
namespace {

constexpr std::size_t kLineUnits = 4000 - 1;  // the buffer keeps a terminator
constexpr std::size_t kLineBytes = 4000 - 1;

// Cuts UTF-8 bytes to at most `limit` without splitting a character.
void CutUtf8(std::string& bytes, std::size_t limit) {
  if (bytes.size() <= limit) return;
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80)
    --end;
  bytes.resize(end);
}

}  // namespace

std::u16string SeparatorLine(char16_t c) {
  return std::u16string(97, c);
}

std::string EventLog::FormatLine(const std::tm& now, std::u16string_view text) {
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%04d/%02d/%02d %02d:%02d:%02d : ", now.tm_year + 1900,
                now.tm_mon + 1, now.tm_mday, now.tm_hour, now.tm_min, now.tm_sec);
  std::u16string line;
  for (const char* p = stamp; *p; ++p)
    line.push_back(static_cast<char16_t>(*p));
  line.append(text);
  line.resize(CutLengthKeepingPairs(line, kLineUnits));
  std::string bytes = Utf16ToUtf8(line);
  CutUtf8(bytes, kLineBytes);
  bytes += "\r\n";
  return bytes;
}

void EventLog::WriteEventLog(std::u16string_view text) {
  AppendToFile(workingFolder_.EventLogFile(), FormatLine(nowTime_, text));
}

}  // namespace hw
