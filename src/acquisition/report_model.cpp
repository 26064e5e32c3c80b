#include "acquisition/report_model.h"

#include <algorithm>

namespace hw {

void LatestReport::Reset() {
  static_cast<ReportHeader&>(*this) = ReportHeader{};
  commentLength = 0;
  commentText.Clear();
  pointCount = 0;
  MaxScalePointCount = 0;
  points[0] = ObservationPoint{};
}

void ResetReportStore(ReportStore& store) {
  store.latest.Reset();
  for (QuakeReport& slot : store.history) {
    slot.Reset();
  }
  store.StoredComment.clear();
}

void SortReportHistory(ReportHistory& history) {
  std::sort(history.begin() + 1, history.end(),
            [](const QuakeReport& a, const QuakeReport& b) { return a.timeKey > b.timeKey; });
}

void SortObservationPoints(LatestReport& report) {
  if (report.pointCount == 0) return;
  const int count = std::clamp(report.pointCount, 0, LatestReport::kMaxPoints);
  auto* const first = report.points.data();
  std::sort(first, first + count,
            [](const ObservationPoint& a, const ObservationPoint& b) { return a.scale > b.scale; });
  int atMax = 0;
  while (atMax < count && report.points[atMax].scale == report.maxScale) {
    ++atMax;
  }
  report.MaxScalePointCount = atMax;
}

bool IsSameEvent(const ReportHeader& a, const ReportHeader& b) {
  return a.timeKey == b.timeKey && a.hypocenterName == b.hypocenterName;
}

}  // namespace hw
