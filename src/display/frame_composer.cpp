#include "display/frame_composer.h"

#include "display/city_tables.h"
#include "display/history_table.h"
#include "display/info_boxes.h"
#include "display/municipality_list.h"

namespace hw {

void FrameComposer::ComposeFrame() {
  // Every stretch of the composition averages (HALFTONE), so there is no mode to set.
  commRowStart_ = 0;
  mapLayer_.DrawMapLayer(in_, waiting_);

  DrawUserBoxes(in_);
  DrawTimeAndMagnitude(in_);
  DrawInfoBoxes(in_);
  DrawTsunamiBox(in_);
  DrawMaxIntensityBox(in_);

  DrawCityTables(ComposePass::kA);
  DrawDebugStatus(in_, ComposePass::kA, mapLayer_.UnknownPointName());
  RestoreDetailScale();

  DrawCityTables(ComposePass::kB);
  DrawDebugStatus(in_, ComposePass::kB, mapLayer_.UnknownPointName());
  RestoreDetailScale();

  DrawHistoryTable(in_, mapLayer_.RememberedEpicentre());
  DrawCommentTable(in_, commRowStart_);
  tsunamiPanel_.AfterComposition(in_);
  ++compositions_;
  window_.InvalidateRect();
}

void FrameComposer::ComposeTsunami(const TsunamiState& state) {
  tsunamiPanel_.Show(in_, state);
  ++compositions_;
  window_.InvalidateRect();
}

void FrameComposer::ComposeEarlyWarning(const std::optional<EarlyWarning>& warning) {
  if (warning) {
    warningPage_.Compose(in_, *warning);
  } else {
    warningPage_.Release();
  }
  ++compositions_;
  window_.InvalidateRect();
}

void FrameComposer::ComposeWaiting() {
  waiting_ = true;
  ComposeFrame();
  waiting_ = false;
}

void FrameComposer::DrawCityTables(ComposePass pass) {
  BuildMunicipalityList(in_, pass);
  DrawCityGrid(in_, pass);
  const int line = DrawCityList(in_, pass);
  // With Comm.type 2 the comment table makes way for the list.
  if (line >= 0 && in_.theme.table.Comm.type == 2) commRowStart_ = line + 2;
}

void FrameComposer::RestoreDetailScale() {
  if (in_.reports.latest.issueType != DetailScale) return;
  mapLayer_.detailScaleCopy().RestoreInto(in_.reports.latest);
}

}  // namespace hw
