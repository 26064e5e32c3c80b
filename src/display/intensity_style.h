#pragma once

#include <array>
#include <string_view>

#include "platform/colorref.h"

namespace hw {

// The cells of the intensity sprite sheets: cell 0 is "no intensity", cells 1 to 9 stand for
// the intensities 1, 2, 3, 4, 5−, 5+, 6−, 6+ and 7 (the order in which scale codes map to
// cells), so every sheet of ten cells is indexed the same way.
inline constexpr int kIntensitySheetCells = 10;

// The colour of each intensity cell (cell 0 has none and gives black).
constexpr COLORREF IntensityColour(int cell) {
  constexpr std::array<COLORREF, kIntensitySheetCells> kColours = {
      MakeColorRef(0x00, 0x00, 0x00), MakeColorRef(0x7f, 0x7f, 0x7f),
      MakeColorRef(0x1e, 0x6d, 0xe8), MakeColorRef(0x32, 0xb4, 0x64),
      MakeColorRef(0xff, 0xe0, 0x5c), MakeColorRef(0xee, 0x6e, 0x0e),
      MakeColorRef(0xee, 0x6e, 0x0e), MakeColorRef(0x9f, 0x00, 0x00),
      MakeColorRef(0x9f, 0x00, 0x00), MakeColorRef(0x5d, 0x00, 0x90)};
  return cell > 0 && cell < kIntensitySheetCells ? kColours[static_cast<std::size_t>(cell)] : 0;
}

// Labels on the light colours (4, 5−, 5+) are dark; on the others white.
constexpr bool DarkLabelOn(int cell) {
  return cell >= 4 && cell <= 6;
}

// The short label of a cell: "1" … "4", "5−", "5+", "6−", "6+", "7"; empty for cell 0.
constexpr std::u16string_view IntensityLabel(int cell) {
  constexpr std::array<std::u16string_view, kIntensitySheetCells> kLabels = {
      u"", u"1", u"2", u"3", u"4", u"5\u2212", u"5+", u"6\u2212", u"6+", u"7"};
  return cell > 0 && cell < kIntensitySheetCells ? kLabels[static_cast<std::size_t>(cell)]
                                                 : std::u16string_view();
}

}  // namespace hw
