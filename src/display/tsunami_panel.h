#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "acquisition/tsunami_board.h"
#include "display/compose_inputs.h"
#include "platform/geometry.h"

namespace hw {

// The agency's colour of a grade: purple for 大津波警報, red for 津波警報, yellow for 津波注意報;
// and the colour of text on it.
COLORREF TsunamiGradeColour(TsunamiGrade grade);
COLORREF TsunamiGradeTextColour(TsunamiGrade grade);

// One row of the tsunami panel.
struct TsunamiPanelRow {
  enum class Kind {
    kTitle,   // "津波警報・注意報" and the issue time, or that they were lifted
    kGrade,   // a grade's bar: its name and how many regions it has
    kRegion,  // a region: name, expected height and first wave, as issued
    kNote,    // a line of text: that all was lifted, or how many regions did not fit
  };
  Kind kind = Kind::kNote;
  TsunamiGrade grade = TsunamiGrade::kUnknown;
  std::u16string text;
  std::u16string height;     // regions: the expected maximum height
  std::u16string firstWave;  // regions: the first wave's time or condition
  std::u16string right;      // titles and grade bars: the text at the right
  bool operator==(const TsunamiPanelRow&) const = default;
};

// The rows of the panel for `state` when `rows` fit: a title, then each grade's bar followed by
// its regions. When they do not all fit, the last row says how many regions were left out
// (never leaving a bar without a region under it). None when nothing is shown.
std::vector<TsunamiPanelRow> TsunamiPanelRows(const TsunamiState& state, int rows);

// The layer of the tsunami forecast in force: the theme's [Panel] TsunamiPanel on canvas pages
// 0–3 over a shade of its opacity, drawn as the last layer of a composition (in the default
// theme it covers the history table). What it covers is kept, so that a new forecast redraws
// only the panel and its end gives the composition back pixel for pixel.
class TsunamiPanel {
 public:
  // Pages 0–3 have just been composed: the panel goes over them while one is shown.
  void AfterComposition(ComposeInputs& in);
  // Shows `state` on the pages as they are: what the panel covered comes back, and the panel is
  // drawn anew when there is one.
  void Show(ComposeInputs& in, const TsunamiState& state);

  const TsunamiState& state() const { return state_; }
  // Where the panel lies on a page; empty while none is shown or the theme hides it.
  Rect Box(const ThemeLayout& theme) const;

 private:
  void Keep(ComposeInputs& in, const Rect& box);
  void GiveBack(ComposeInputs& in);
  void Draw(ComposeInputs& in, const Rect& box);

  TsunamiState state_;
  // What the panel covers on pages 0–3, row by row, and where.
  std::vector<std::uint32_t> covered_;
  Rect coveredBox_;
};

}  // namespace hw
