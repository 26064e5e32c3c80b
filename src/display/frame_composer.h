#pragma once

#include <cstdint>

#include "display/compose_inputs.h"
#include "display/debug_status.h"
#include "display/map_layer.h"
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

  const MapLayer& mapLayer() const { return mapLayer_; }
  MapLayer& mapLayer() { return mapLayer_; }
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
  int commRowStart_ = 0;
  std::uint64_t compositions_ = 0;
  bool waiting_ = false;
};

}  // namespace hw
