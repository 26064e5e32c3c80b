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
  while (end > 0 && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80) {
    --end;
  }
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
  for (const char* p = stamp; *p != '\0'; ++p) {
    line.push_back(static_cast<char16_t>(*p));
  }
  line.append(text);
  line.resize(CutLengthKeepingPairs(line, kLineUnits));
  std::string bytes = Utf16ToUtf8(line);
  CutUtf8(bytes, kLineBytes);
  bytes += "\r\n";
  return bytes;
}

bool EventLog::RotateIfFull(const std::u16string& path, std::size_t incoming) {
  const std::optional<std::uint64_t> size = RegularFileSize(path);
  if (!size || *size + incoming <= kRotateBytes) return true;
  auto old = [&path](int index) { return path + u"." + Utf8ToUtf16(std::to_string(index)); };
  for (int index = kKeptOldFiles - 1; index >= 1; --index) {
    RenameFile(old(index), old(index + 1));
  }
  std::string reason;
  if (RenameFile(path, old(1), &reason)) return true;
  // The file cannot be moved aside (its folder is not writable, say): its older half goes
  // instead, so that it stays within the limit. Said once per run, in the log itself.
  std::string cutReason;
  const bool cut = KeepFileTail(path, kRotateBytes / 2, &cutReason);
  if (!rotationFailureSaid_) {
    rotationFailureSaid_ = true;
    std::string said = "イベントログ … event.log を event.log.1 へ移せません (" + reason + ")";
    said += cut ? "; 古い行を捨てて上限内に保ちます"
                : "; 古い行も捨てられないので (" + cutReason + ")、これ以上は書きません";
    const std::u16string line = std::u16string(kEventLogPrefix) + Utf8ToUtf16(said);
    if (cut) {
      AppendToFile(path, FormatLine(nowTime_, line));
    } else {
      std::fprintf(stderr, "heronwatch: %s\n", Utf16ToUtf8(line).c_str());
    }
  }
  return cut;
}

void EventLog::WriteEventLog(std::u16string_view text) {
  const std::u16string path = workingFolder_.EventLogFile();
  std::string line = FormatLine(nowTime_, text);
  // Room for the line and the line end a run may put before it. A file that can neither be
  // rotated nor cut takes no more lines: it never grows past the limit.
  if (!RotateIfFull(path, line.size() + 2)) return;
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
