#include "display/history_table.h"

#include <algorithm>
#include <array>
#include <climits>

#include "display/box_drawing.h"

namespace hw {
namespace {

constexpr int kMaxRows = 20;
constexpr std::u16string_view kUnderInvestigation = u"調査中";

void DrawRow(ComposeInputs& in, const QuakeReport& slot, const QuakeMemory::Epicentre& remembered,
             int shift) {
  const ThemeLayout::FontRects& t = in.theme.text;
  const ThemeLayout::FontStyles& s = in.theme.style;
  const HistoryBadge& badge = in.theme.intensity.HistIntensity;
  const int cell = HistoryBadgeCell(slot);
  StampElement(in, badge, HistIntensitySurface,
               {0, cell * badge.height, badge.width, cell * badge.height + badge.height}, shift);

  const TimePieces time = CutTime(slot.eventYearMonth.View(), slot.eventDayTime.View());
  const std::array<std::pair<const TextElement*, std::u16string_view>, 5> pieces = {{
      {&t.HisEvTimeYear, time.year},
      {&t.HisEvTimeMonth, time.month},
      {&t.HisEvTimeDate, time.date},
      {&t.HisEvTimeHour, time.hour},
      {&t.HisEvTimeMinute, time.minute},
  }};
  for (const auto& [element, piece] : pieces) {
    if (element->visible == 1) {
      DrawOnPages(in, kAllPages, in.fonts[HisEvTimeFont], s.HisEvTime.fontColor, piece,
                  TextRect(*element, shift), DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    }
  }

  const bool prompt = slot.issueType == ScalePrompt;
  if (t.HisShingen.visible != 0) {
    const std::u16string_view name =
        prompt && remembered.magnitude == -1.0 ? kUnderInvestigation : slot.hypocenterName.View();
    DrawEpicentreName(in, name, TextRect(t.HisShingen, shift),
                      {in.fonts[HisShingenFont], in.fonts[HisShingenNarrowFont],
                       in.fonts[HisShingenNarrowestFont]},
                      static_cast<unsigned>(s.HisShingen.align), s.HisShingen.fontColor);
  }

  if (t.HisDepth.visible != 0) {
    const std::u16string_view depth = prompt && remembered.depthText.View().starts_with(u"-")
                                          ? kUnderInvestigation
                                          : slot.depthText.View();
    DrawDepth(in, depth, TextRect(t.HisDepth, shift), in.fonts[HisDepthFont],
              static_cast<unsigned>(s.HisDepth.align), s.HisDepth.fontColor);
  }

  if (t.HisMagnitude.visible == 1) {
    DrawOnPages(in, kAllPages, in.fonts[HisMagnitudeFont], s.HisMagnitude.fontColor,
                MagnitudeText(slot.magnitude), TextRect(t.HisMagnitude, shift),
                DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
}

}  // namespace

int HistoryBadgeCell(const QuakeReport& slot) {
  if (slot.issueType == Foreign) return 10;
  if (slot.maxScale == 0) return 0;
  constexpr std::array<int, 9> kCodes = {10, 20, 30, 40, 45, 50, 55, 60, 70};
  for (std::size_t k = 0; k < kCodes.size(); ++k) {
    if (kCodes[k] == slot.maxScale) return static_cast<int>(k) + 1;
  }
  return 11;
}

void DrawHistoryTable(ComposeInputs& in, const QuakeMemory::Epicentre& remembered) {
  const HistoryBadge& badge = in.theme.intensity.HistIntensity;
  const int rows = std::clamp(badge.quantity, 0, kMaxRows);
  for (int r = 1; r <= rows; ++r) {
    const long long shift = static_cast<long long>(r - 1) * badge.height;
    DrawRow(in, in.reports.history[static_cast<std::size_t>(r)], remembered,
            static_cast<int>(std::clamp<long long>(shift, INT_MIN, INT_MAX)));
  }
}

}  // namespace hw
