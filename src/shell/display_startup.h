#pragma once

#include "display/display.h"
#include "display/theme_asset_service.h"
#include "platform/geometry.h"
#include "platform/work_folder_layout.h"
#include "refdata/reference_service.h"
#include "refdata/theme_catalogue.h"
#include "settings/app_settings.h"
#include "settings/theme_layout.h"

namespace hw {

// The start-up of the picture, in the order the window runs it; the headless tool, the
// benchmarks and the tests run the same steps, so that what they show is what the window
// shows.

// The settings file and the theme: the theme name, the theme chosen among the theme folders
// (the first one when the named theme has no layout file), its layout file, the default
// position on `workArea` and the remaining settings. True when the file held a [Position].
bool ReadStartupSettings(const WorkFolderLayout& folder, const Rect& workArea,
                         AppSettings& settings, ThemeLayout& theme, ThemeList& themes);

// The fonts, the reference data, the surfaces and the theme's pictures, in this order; the
// result of loading the pictures.
ThemeAssetResult PrepareDisplay(Display& display, ReferenceService& reference,
                                ThemeAssetService& assets);

}  // namespace hw
