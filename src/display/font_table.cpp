#include "display/font_table.h"

#include <algorithm>

namespace hw {
namespace {

FontSpec FromStyle(const TextStyle& style) {
  return {style.fontName, style.fontHeight, style.fontWidth, style.fontWeight};
}

FontSpec Narrowed(const TextStyle& style, int numerator, int denominator) {
  FontSpec spec = FromStyle(style);
  spec.width = style.fontWidth * numerator / denominator;
  return spec;
}

// The comment table's scale offset is used as read, so the sizes are computed wide and kept
// within what a font can be.
FontSpec TableFont(int scaleOff, int weight) {
  const auto size = [](long long value) {
    return static_cast<int>(std::clamp(value, -100000LL, 100000LL));
  };
  return {u"Meiryo", size(38LL + scaleOff), size(24LL + 24LL * scaleOff / 38), weight};
}

}  // namespace

FontSpecs FontSpecsFor(const ThemeLayout& theme) {
  const auto& s = theme.style;
  FontSpecs specs;
  specs[EventTimeFont] = FromStyle(s.EventTime);
  specs[HisEvTimeFont] = FromStyle(s.HisEvTime);
  specs[ReportTimeFont] = FromStyle(s.ReportTime);
  specs[MagnitudeFont] = FromStyle(s.Magnitude);
  specs[HisMagnitudeFont] = FromStyle(s.HisMagnitude);
  specs[InfoShingenFont] = FromStyle(s.InfoShingen);
  specs[InfoShingenNarrowFont] = Narrowed(s.InfoShingen, 2, 3);
  specs[InfoShingenNarrowestFont] = Narrowed(s.InfoShingen, 1, 2);
  specs[HisShingenFont] = FromStyle(s.HisShingen);
  specs[HisShingenNarrowFont] = Narrowed(s.HisShingen, 2, 3);
  specs[HisShingenNarrowestFont] = Narrowed(s.HisShingen, 1, 2);
  specs[InfoDepthFont] = FromStyle(s.InfoDepth);
  specs[HisDepthFont] = FromStyle(s.HisDepth);
  specs[InfoCommentFont] = FromStyle(s.InfoComment);
  specs[CityHeaderFont] = {u"Meiryo", 76, 49, 400};
  specs[CityTableFont] = TableFont(theme.table.City.scaleOff, 400);
  specs[CityTableBoldFont] = TableFont(theme.table.City.scaleOff, 700);
  specs[CommTableFont] = TableFont(theme.table.Comm.scaleOff, 400);
  specs[DebugFont] = {u"Arial", 30, 12, 400};
  // Ideographs about 22 pixels high, readable when the picture is shown at a third of its size.
  specs[LabelFont] = {u"Meiryo", 36, 24, 700};
  const TextStyle& panel = theme.panel.TsunamiPanel.style;
  specs[TsunamiPanelFont] = FromStyle(panel);
  specs[TsunamiPanelNarrowFont] = Narrowed(panel, 2, 3);
  specs[TsunamiPanelNarrowestFont] = Narrowed(panel, 1, 2);
  // The early warning's own composition: a banner title, its lines, the note of its own line
  // and the texts of the area marks (the range's upper bound in smaller type).
  specs[WarningTitleFont] = {u"Meiryo", 84, 60, 700};
  specs[WarningTextFont] = {u"Meiryo", 52, 38, 700};
  specs[WarningNoteFont] = {u"Meiryo", 36, 26, 700};
  specs[WarningMarkerFont] = {u"Meiryo", 34, 24, 700};
  specs[WarningMarkerRangeFont] = {u"Meiryo", 22, 16, 700};
  return specs;
}

}  // namespace hw
