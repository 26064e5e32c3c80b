#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

namespace hw {

// Receives line `index` (0, 1, …) of a reference file as UTF-16 text.
using ReferenceLineHandler = std::function<void(int index, std::u16string_view line)>;

// The line reader shared by the three reference files (UTF-8, tab-separated):
// - a byte order mark at the very start of the file is skipped;
// - carriage returns are dropped wherever they are, a line feed ends a line, and a last line
//   without a line feed is not read;
// - a line holds at most 999 bytes: a line of 1000 bytes or more is skipped whole (it makes
//   no entry) and reading goes on with the next line, so one overlong line never costs the
//   lines after it;
// - at most `lineLimit` lines are read, blank lines included;
// - a line is handed over as a zero-terminated text would be, so a NUL byte ends its text.
struct ReferenceLineCount {
  int lines = 0;             // lines handed to the handler: the table's new count
  int skippedLongLines = 0;  // lines of 1000 bytes or more that were skipped
};
// A file that cannot be read gives no lines.
ReferenceLineCount ReadReferenceLines(std::u16string_view path, int lineLimit,
                                      const ReferenceLineHandler& handler);

// The same over bytes already in memory.
ReferenceLineCount ReadReferenceLineBytes(std::string_view bytes, int lineLimit,
                                          const ReferenceLineHandler& handler);

// Only this much of a file is looked at: ten times what the largest table (5000 lines of
// 999 bytes, CR LF ends) can use.
inline constexpr std::size_t kMaxReferenceFileBytes = 50'000'000;

}  // namespace hw
