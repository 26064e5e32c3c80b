#include "display/debug_status.h"

#include <array>

#include "display/log_format.h"
#include "platform/text_codec.h"

namespace hw {
namespace {

constexpr std::array<std::u16string_view, 7> kStageLabels = {
    u"不明",     u"震度速報", u"震源に関する情報", u"震度・震源に関する情報", u"詳細情報",
    u"遠地地震", u"その他"};

}  // namespace

std::u16string_view StageLabel(int issueType) {
  if (issueType < 0 || issueType >= static_cast<int>(kStageLabels.size())) return kStageLabels[0];
  return kStageLabels[static_cast<std::size_t>(issueType)];
}

void DrawDebugStatus(ComposeInputs& in, ComposePass pass, std::u16string_view unknownPointName) {
  if (in.settings.Debug == 0) return;
  const LatestReport& report = in.reports.latest;
  LayerSurface& canvas = in.surfaces[CanvasSurface];
  canvas.font = in.fonts[DebugFont];
  canvas.textColor = kWhite;

  const bool noPosition = report.latitude == kNoCoordinate || report.longitude == kNoCoordinate;
  const std::u16string lines[] = {
      noPosition ? std::u16string(u"緯度経度 ： --.-, --.-")
                 : FormatLogText("緯度経度 ： %3.1f, %3.1f", report.latitude, report.longitude),
      FormatLogText("ステージ ： %s       不明地点名 ： %s",
                    Utf16ToUtf8(StageLabel(report.issueType)).c_str(),
                    Utf16ToUtf8(unknownPointName).c_str()),
      FormatLogText("地点数(有感) ： %d       地点数(最大震度) ： %d", report.pointCount,
                    report.MaxScalePointCount),
  };
  const int firstPage = FirstPageOf(pass);
  int top = 956;
  for (const std::u16string& line : lines) {
    for (const int page : {firstPage, firstPage + 1}) {
      Rect rect{740 + PageX(page), top, 1900 + PageX(page), top + 30};
      in.text.DrawText(canvas.surface, canvas.font, canvas.textColor, line, rect,
                       DT_SINGLELINE | DT_VCENTER);
    }
    top += 35;
  }
}

}  // namespace hw
