#pragma once

#include <string>
#include <vector>

#include "eventlog/event_log_writer.h"

namespace hw::test {

// Keeps every event log line it is given.
class RecordingLog final : public EventLogWriter {
 public:
  void WriteEventLog(std::u16string_view text) override { lines.emplace_back(text); }
  std::vector<std::u16string> lines;
};

}  // namespace hw::test
