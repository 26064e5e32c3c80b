#include "display/frame_composer.h"

namespace hw {

void FrameComposer::ComposeFrame() {
  // Every stretch of the composition averages (HALFTONE), so there is no mode to set.
  commRowStart_ = 0;
  mapLayer_.DrawMapLayer(in_);

  DrawUserBoxes();
  DrawTimeAndMagnitudeBoxes();
  DrawEpicentreDepthCommentBoxes();
  DrawTsunamiBox();
  DrawMaxIntensityBox();

  BuildMunicipalityList(ComposePass::kA);
  DrawCityGrid(ComposePass::kA);
  DrawCityList(ComposePass::kA);
  DrawDebugStatus(in_, ComposePass::kA, mapLayer_.UnknownPointName());
  RestoreDetailScale();

  BuildMunicipalityList(ComposePass::kB);
  DrawCityGrid(ComposePass::kB);
  DrawCityList(ComposePass::kB);
  DrawDebugStatus(in_, ComposePass::kB, mapLayer_.UnknownPointName());
  RestoreDetailScale();

  DrawHistoryTable();
  DrawCommentTable();
  ++compositions_;
  window_.InvalidateRect();
}

void FrameComposer::RestoreDetailScale() {
  if (in_.reports.latest.issueType != DetailScale) return;
  mapLayer_.detailScaleCopy().RestoreInto(in_.reports.latest);
}

}  // namespace hw
