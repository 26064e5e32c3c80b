#include "eventlog/event_log.h"

#include <cstdio>
#include <optional>
#include <string>

#include "platform/file_system.h"
#include "platform/read_only_file.h"
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

void EventLog::RotateIfFull(const std::u16string& path) const {
  const std::optional<std::uint64_t> size = RegularFileSize(path);
  if (!size || *size < kRotateBytes) return;
  auto old = [&path](int index) { return path + u"." + Utf8ToUtf16(std::to_string(index)); };
  for (int index = kKeptOldFiles - 1; index >= 1; --index)
    RenameFile(old(index), old(index + 1));
  RenameFile(path, old(1));
}

void EventLog::WriteEventLog(std::u16string_view text) {
  const std::u16string path = workingFolder_.EventLogFile();
  RotateIfFull(path);
  std::string line = FormatLine(nowTime_, text);
  if (!tailChecked_) {
    // A previous run cut off by a full disk or a crash may have left a partial line; this
    // run's first line must not be glued to it.
    if (const std::optional<ReadOnlyFile> file = ReadOnlyFile::Open(path);
        file && file->size() > 0) {
      char last = '\n';
      if (!file->ReadAt(file->size() - 1, &last, 1) || last != '\n') line.insert(0, "\r\n");
    }
  }
  if (AppendToFile(path, line)) tailChecked_ = true;
}

}  // namespace hw
