#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/surface.h"
#include "platform/text_renderer.h"
#include "settings/theme_layout.h"

namespace hw::themegen {

// What the program shows for one report body, composed by the program's own composer and
// window painter.
struct Composition {
  std::string body;   // the body's file name, for labels
  int issueType = 0;  // the report's type as it arrived
  bool hasComment = false;
  // The window's pictures while the view shows the area markers and while it shows the
  // station markers (the same for reports without stations), the ticker part of the way
  // through the comment.
  Surface areaWindow;
  Surface stationWindow;
};

// Feeds report bodies, in order, as successive fetches to the composer over the working
// folder `workFolder` (its settings, reference files and theme pictures), with `layout` as the
// theme layout, as `heronwatch-tool compose` does; the demo label is on, as for demo files.
// A body that is unreadable or holds no new report gives no composition; `error` says why
// nothing could be composed at all.
std::vector<Composition> ComposeBodies(const std::string& workFolder, const ThemeLayout& layout,
                                       const std::vector<std::string>& bodyPaths,
                                       std::string& error);

// A picture of compositions side by side, each scaled to a quarter of its size, one row per
// body with a label: the area and station views of the grid form from `grid`, then those of
// the list form from `list` (rows matched by body).
Surface DrawCompositionSheet(const std::vector<Composition>& grid,
                             const std::vector<Composition>& list, TextRenderer& text);

}  // namespace hw::themegen
