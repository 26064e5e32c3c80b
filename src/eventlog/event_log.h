#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

#include "eventlog/event_log_writer.h"
#include "platform/work_folder_layout.h"

namespace hw {

// Every event log text begins with this label (the colon is a full-width one).
inline constexpr std::u16string_view kEventLogPrefix = u"Event Log       ： ";

// A separator line: 97 repetitions of one character ("=", "*", "-" or "x").
std::u16string SeparatorLine(char16_t c);

// The append-only event log file of the working folder. Each line is stamped with
// the time of the current main-loop tick, written as UTF-8 with CR LF, and the file is opened
// and closed per line so that readers see whole lines and a crash loses at most one. A line is
// written whole or not at all; failures (no folder, a full disk) lose the line silently. A run
// starts on a fresh line even when the previous one ended mid-line. The file is rotated by
// size: before it would pass kRotateBytes it becomes event.log.1, and event.log.1 … .2 move up to
// .2 … .3. When it cannot be moved aside (a folder that is not writable), its older half is dropped
// in place instead and the log says so once, so the file never grows past the limit.
class EventLog final : public EventLogWriter {
 public:
  // Both are owned by the caller and read at every write.
  EventLog(const WorkFolderLayout& workingFolder, const std::tm& nowTime)
      : workingFolder_(workingFolder), nowTime_(nowTime) {}

  static constexpr std::uint64_t kRotateBytes = 10u << 20;
  static constexpr int kKeptOldFiles = 3;

  void WriteEventLog(std::u16string_view text) override;

  // The bytes of one line: "YYYY/MM/DD hh:mm:ss : " + text, cut to fit a 4000-unit line and a
  // 4000-byte UTF-8 buffer (terminators included), then CR LF.
  static std::string FormatLine(const std::tm& now, std::u16string_view text);

 private:
  // Rotates or cuts the file when `incoming` more bytes would take it past the limit; false
  // when it could be neither.
  bool RotateIfFull(const std::u16string& path, std::size_t incoming);

  const WorkFolderLayout& workingFolder_;
  const std::tm& nowTime_;
  bool tailChecked_ = false;          // whether this run looked at how the file ends
  bool rotationFailureSaid_ = false;  // whether this run said that the file cannot rotate
};

}  // namespace hw
