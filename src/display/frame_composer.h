#pragma once

#include <cstdint>
#include <optional>

#include "display/compose_inputs.h"
#include "display/debug_status.h"
#include "display/early_warning_page.h"
#include "display/map_layer.h"
#include "display/tsunami_panel.h"
#include "platform/window_host.h"

namespace hw {

// Builds the picture for the newest report into canvas pages 0–3, layer by layer, and asks
// for a repaint. Runs on the window's thread whenever new data has been taken over (and once
// at start-up). It owns the map layer's state between compositions.
class FrameComposer {
 public:
  FrameComposer(ComposeInputs inputs, RepaintTarget& window) : in_(inputs), window_(window) {}

  void ComposeFrame();
  // The picture before any report: the empty boxes over the whole map of Japan.
  void ComposeWaiting();
  // The tsunami forecast to show: the panel, the last layer, is drawn anew over the pages as
  // they are (a composition draws it too while one is shown).
  void ComposeTsunami(const TsunamiState& state);
  // The early warning shown instead of the report's pages, or none: the report's picture again.
  void ComposeEarlyWarning(const std::optional<EarlyWarning>& warning);

  const MapLayer& mapLayer() const { return mapLayer_; }
  MapLayer& mapLayer() { return mapLayer_; }
  const TsunamiPanel& tsunamiPanel() const { return tsunamiPanel_; }
  const EarlyWarningPage& warningPage() const { return warningPage_; }
  // How many compositions there have been; painting compares it to see new pages.
  const std::uint64_t& compositions() const { return compositions_; }
  // The first row of the comment table, raised by the city list table.
  int CommRowStart() const { return commRowStart_; }

 private:
  // The city tables of one pass: the municipality list, the grid and the list form.
  void DrawCityTables(ComposePass pass);
  // Puts back the detailed report's points that the municipality list replaced.
  void RestoreDetailScale();

  ComposeInputs in_;
  RepaintTarget& window_;
  MapLayer mapLayer_;
  TsunamiPanel tsunamiPanel_;
  EarlyWarningPage warningPage_;
  int commRowStart_ = 0;
  std::uint64_t compositions_ = 0;
  bool waiting_ = false;
};

}  // namespace hw
