#include "refdata/reference_files.h"

#include "platform/number_text.h"
#include "refdata/reference_lines.h"

namespace hw {
namespace {

constexpr std::size_t kNoTab = std::u16string_view::npos;

// The column that starts at `start`, up to the next tab or the end of the line; `next` becomes
// the start of the column after it, or kNoTab when there is none.
std::u16string_view Column(std::u16string_view line, std::size_t start, std::size_t& next) {
  const std::size_t tab = line.find(u'\t', start);
  next = tab == kNoTab ? kNoTab : tab + 1;
  return line.substr(start, tab == kNoTab ? kNoTab : tab - start);
}

template <typename Table, typename Handler>
void LoadTable(std::u16string_view path, Table& table, Handler readLine) {
  const ReferenceLineCount read = ReadReferenceLines(
      path, Table::kCapacity, [&table, &readLine](int index, std::u16string_view line) {
        if (index >= 0 && index < Table::kCapacity) readLine(line, table[index]);
      });
  table.count = read.lines;
  table.skippedLongLines = read.skippedLongLines;
}

}  // namespace

void ReadAreaInfoLine(std::u16string_view line, AreaInfoEntry& entry) {
  std::size_t next = 0;
  entry.name.Assign(Column(line, 0, next));
  if (next != kNoTab && next < line.size()) entry.areaIndex = LeadingInt(line.substr(next));
}

void ReadStationLine(std::u16string_view line, StationRecord& record) {
  std::size_t next = 0;
  record.name.Assign(Column(line, 0, next));
  for (int column = 2; column <= 4 && next != kNoTab; ++column) {
    const std::u16string_view text = Column(line, next, next);
    if (text.empty()) continue;
    if (column == 2) record.latitude = LeadingDouble(text);
    if (column == 3) record.longitude = LeadingDouble(text);
    if (column == 4) record.prefNumber = LeadingInt(text);
  }
}

void ReadLandAreaLine(std::u16string_view line, LandAreaEntry& entry) {
  std::size_t next = 0;
  entry.from.Assign(Column(line, 0, next));
  entry.to.Assign(next == kNoTab ? std::u16string_view() : Column(line, next, next));
}

void LoadAreaInfoFile(std::u16string_view path, AreaInfoTable& table) {
  LoadTable(path, table, ReadAreaInfoLine);
  IndexNames(table);
}

void LoadStationFile(std::u16string_view path, StationTable& table) {
  LoadTable(path, table, ReadStationLine);
  IndexNames(table);
}

void LoadLandAreaFile(std::u16string_view path, LandAreaTable& table) {
  LoadTable(path, table, ReadLandAreaLine);
}

}  // namespace hw
