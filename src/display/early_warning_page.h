#pragma once

#include <vector>

#include "acquisition/early_warning_board.h"
#include "display/compose_inputs.h"
#include "display/map_view.h"
#include "platform/surface.h"

namespace hw {

// The fill of a forecast intensity's area mark and the colour of its text, in the colours the
// agency's intensity maps use (grey for an unknown intensity).
COLORREF ForecastFillColour(int scale);
COLORREF ForecastTextColour(int scale);

// The early warning's own composition: the prompt map of Japan over the target areas and the
// hypocentre, each target area marked at its representative point in the colour of its
// forecast range (moved aside, joined by a line, where it would cover a stronger one or the
// hypocentre), the hypocentre mark (none when the hypocentre is assumed), and a banner with
// "緊急地震速報（警報）", the hypocentre's region, the forecast maximum intensity, the issue time
// and serial, and the line "参考情報・配信は無保証". A cancellation shows "取消" and no hypocentre.
// It is drawn on a page of its own, which painting shows instead of the report's pages while a
// warning is in force, so that the report's picture is there again, unchanged, when it ends.
class EarlyWarningPage {
 public:
  // One target area's mark, for tests and tools.
  struct Mark {
    int area = 0;  // index in the area table
    int scaleFrom = -1;
    int scaleTo = -1;
    int x = 0;  // the mark's centre on the page
    int y = 0;
    int pointX = 0;  // the area's point on the page, where the mark is unless it was moved
    int pointY = 0;
  };

  // Composes `warning` (allocating the page at the first one). Target areas whose names are
  // not in the area table are logged and left out.
  void Compose(ComposeInputs& in, const EarlyWarning& warning);
  // Frees the page: the report's picture is shown again.
  void Release();

  // The composed page while a warning is shown, else null.
  const Surface* const& page() const { return shown_; }
  const std::vector<Mark>& marks() const { return marks_; }
  const MapView& view() const { return view_; }
  // Where the hypocentre mark was drawn; empty when none was.
  const Rect& hypocentreRect() const { return hypocentreRect_; }

 private:
  void DrawMap(ComposeInputs& in, const EarlyWarning& warning);
  void PlaceMarks();
  void DrawMarks(ComposeInputs& in);
  void DrawHypocentre(ComposeInputs& in, const EarlyWarning& warning);
  void DrawBanner(ComposeInputs& in, const EarlyWarning& warning);

  Surface page_;
  const Surface* shown_ = nullptr;
  std::vector<Mark> marks_;
  MapView view_;
  Rect hypocentreRect_;
};

}  // namespace hw
