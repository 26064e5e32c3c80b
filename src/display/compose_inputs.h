#pragma once

#include "acquisition/report_model.h"
#include "display/font_table.h"
#include "display/layer_surfaces.h"
#include "eventlog/event_log_writer.h"
#include "platform/text_renderer.h"
#include "refdata/reference_tables.h"
#include "settings/theme_layout.h"

namespace hw {

// The settings the picture reads, held by reference so that a change made while the program
// runs is seen at the next composition or paint.
struct PictureSettings {
  const int& EpiFront;   // 1: the epicentre lies over the markers, and pages 1 and 3 lack it
  const int& EpiBlink;   // 1: the epicentre pulses
  const int& ShindoMap;  // area view, station view or both in turn
  const int& SpeedDraw;  // the fade and pulse step
  const int& Aspect;     // the part of the page the window shows
  const int& Debug;      // 1: status lines and the debug overlay
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
  PictureSettings settings;
  EventLogWriter& log;
};

}  // namespace hw
