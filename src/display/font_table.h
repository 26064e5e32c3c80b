#pragma once

#include <array>

#include "platform/text_renderer.h"
#include "settings/theme_layout.h"

namespace hw {

// The 19 fonts of the main window, in order of creation, the font of the label that says
// where the picture's data came from, the tsunami panel's (from the theme, with its narrower
// variants) and the early warning's.
enum FontIndex : int {
  EventTimeFont = 0,
  HisEvTimeFont,
  ReportTimeFont,
  MagnitudeFont,
  HisMagnitudeFont,
  InfoShingenFont,
  InfoShingenNarrowFont,
  InfoShingenNarrowestFont,
  HisShingenFont,
  HisShingenNarrowFont,
  HisShingenNarrowestFont,
  InfoDepthFont,
  HisDepthFont,
  InfoCommentFont,
  CityHeaderFont,
  CityTableFont,
  CityTableBoldFont,
  CommTableFont,
  DebugFont,
  LabelFont,
  TsunamiPanelFont,
  TsunamiPanelNarrowFont,
  TsunamiPanelNarrowestFont,
  WarningTitleFont,
  WarningTextFont,
  WarningNoteFont,
  WarningMarkerFont,
  WarningMarkerRangeFont,
  kFontCount,
};

using FontSpecs = std::array<FontSpec, kFontCount>;
using FontTable = std::array<FontId, kFontCount>;

// What each font is made of: most follow a theme text style; the narrow variants shrink the
// width to two thirds and one half; the table fonts grow with the theme's scale offsets.
FontSpecs FontSpecsFor(const ThemeLayout& theme);

}  // namespace hw
