#pragma once

#include <string_view>

namespace hw {

// Where the program's event log lines go: one call per line, the text without the time
// stamp. The event log file implements it; tools and tests capture the lines instead.
class EventLogWriter {
 public:
  virtual ~EventLogWriter() = default;
  virtual void WriteEventLog(std::u16string_view text) = 0;
};

}  // namespace hw
