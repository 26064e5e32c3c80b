#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "refdata/point_resolution.h"
#include "refdata/reference_files.h"
#include "refdata/reference_lines.h"

// Any bytes read as each of the three reference files stay inside their tables, and a point
// name resolves against whatever was read.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const auto tables = std::make_unique<hw::ReferenceTables>();
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  tables->areaInfo.count =
      hw::ReadReferenceLineBytes(
          bytes, hw::AreaInfoTable::kCapacity,
          [](int i, std::u16string_view line) { hw::ReadAreaInfoLine(line, tables->areaInfo[i]); })
          .lines;
  tables->stations.count =
      hw::ReadReferenceLineBytes(
          bytes, hw::StationTable::kCapacity,
          [](int i, std::u16string_view line) { hw::ReadStationLine(line, tables->stations[i]); })
          .lines;
  tables->landAreas.count =
      hw::ReadReferenceLineBytes(
          bytes, hw::LandAreaTable::kCapacity,
          [](int i, std::u16string_view line) { hw::ReadLandAreaLine(line, tables->landAreas[i]); })
          .lines;
  if (tables->stations.count > 0) {
    const std::u16string name(tables->stations[0].name.View());
    (void)hw::ResolvePoint(name, *tables);
    (void)hw::RenameLandArea(tables->landAreas, name);
  }
  return 0;
}
