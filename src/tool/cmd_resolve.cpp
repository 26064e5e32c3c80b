// heronwatch-tool resolve: what an observation point name of a detailed report resolves to with
// a working folder's reference files.

#include <cstdio>
#include <memory>
#include <string>

#include "platform/file_system.h"
#include "platform/text_codec.h"
#include "refdata/initial_value.h"
#include "refdata/point_resolution.h"
#include "tool/commands.h"
#include "tool/work_folder.h"

namespace hw::tool {
namespace {

std::string Text(std::u16string_view text) {
  return Utf16ToUtf8(text);
}

}  // namespace

// Prints the station (or "none"), the place name after the fixes, the AreaInfo line that claims
// it and its area. Exits with 1 when no area is found.
int RunResolve(const Arguments& args) {
  const std::string& name = args.arguments.front();

  const auto tables = std::make_unique<ReferenceTables>();
  ThemeList themes;
  ReloadReferenceData(*tables, themes, CommandWorkFolder(args));
  const PointResolution r = ResolvePoint(Utf8ToUtf16(name), *tables);

  if (r.station) {
    const StationRecord& s = tables->stations[*r.station];
    std::printf("station: %s %.2f %.2f pref %d (Stations.ini line %d)\n",
                Text(s.name.View()).c_str(), s.latitude, s.longitude, s.prefNumber, *r.station + 1);
  } else {
    std::printf("station: none (%d stations loaded)\n", tables->stations.count);
  }
  std::printf("place: %s\n", Text(r.placeName).c_str());
  if (!r.areaInfo) {
    std::printf("area: none (%d places loaded)\n", tables->areaInfo.count);
    return 1;
  }
  const AreaInfoEntry& place = tables->areaInfo[*r.areaInfo];
  const AreaEntry& area = tables->areas[place.areaIndex];
  std::printf("areainfo: %s (AreaInfo.ini line %d)\n", Text(place.name.View()).c_str(),
              *r.areaInfo + 1);
  std::printf("area: %d %d %s %s\n", place.areaIndex, area.code, Text(area.name.View()).c_str(),
              Text(tables->areaPrefectures[place.areaIndex]).c_str());
  return 0;
}

}  // namespace hw::tool
