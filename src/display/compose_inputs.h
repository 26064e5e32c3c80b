#pragma once

#include "acquisition/report_model.h"
#include "display/font_table.h"
#include "display/layer_surfaces.h"
#include "eventlog/event_log_writer.h"
#include "platform/colorref.h"
#include "platform/text_renderer.h"
#include "refdata/reference_tables.h"
#include "settings/theme_layout.h"

namespace hw {

// The settings the picture reads, as values: the owner of the display hands it a new snapshot
// whenever they may have changed.
struct PictureSettings {
  int EpiFront = 0;   // 1: the epicentre lies over the markers, and pages 1 and 3 lack it
  int EpiBlink = 0;   // 1: the epicentre pulses
  int ShindoMap = 0;  // area view, station view or both in turn
  int SpeedDraw = 4;  // the fade and pulse step
  int Aspect = 0;     // the part of the page the window shows
  int Debug = 0;      // 1: status lines and the debug overlay
  // 1: the map is left out and its place filled with `KeyColour`, for a chroma key or a
  // transparent picture; the markers and the epicentre only with `OverlayMarkers`.
  int Overlay = 0;
  int OverlayMarkers = 0;
  COLORREF KeyColour = MakeColorRef(0, 255, 0);
  bool operator==(const PictureSettings&) const = default;
};

// What the composer draws from and onto. The report store is written too: the same-earthquake
// memory completes a report, and the city tables rebuild and reorder its points.
struct ComposeInputs {
  ReportStore& reports;
  ThemeLayout& theme;
  ReferenceTables& reference;
  LayerSurfaces& surfaces;
  const FontTable& fonts;
  TextRenderer& text;
  const PictureSettings& settings;
  EventLogWriter& log;
};

}  // namespace hw
