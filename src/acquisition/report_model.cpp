#include "acquisition/report_model.h"

#include <algorithm>

namespace hw {

void LatestReport::Reset() {
  timeKey = 0;
  code = 0;
  issueType = 0;
  eventDayTime.Clear();
  eventYearMonth.Clear();
  issueDayTime.Clear();
  issueYearMonth.Clear();
  hypocenterName.Clear();
  depthText.Clear();
  commentLength = 0;
  commentText.Clear();
  maxScale = 0;
  magnitude = 0.0;
  latitude = kNoCoordinate;
  longitude = kNoCoordinate;
  domesticTsunami = 0;
  foreignTsunami = 0;
  pointCount = 0;
  MaxScalePointCount = 0;
  points[0] = ObservationPoint{};
}

void ResetReportStore(ReportStore& store) {
  store.latest.Reset();
  for (QuakeReport& slot : store.history)
    slot.Reset();
  store.StoredComment.clear();
}

void SortReportHistory(ReportHistory& history) {
  std::sort(history.begin() + 1, history.end(),
            [](const QuakeReport& a, const QuakeReport& b) { return a.timeKey > b.timeKey; });
}

void SortObservationPoints(LatestReport& report) {
  if (report.pointCount == 0) return;
  const int count = std::clamp(report.pointCount, 0, LatestReport::kMaxPoints);
  auto first = report.points.begin();
  std::sort(first, first + count,
            [](const ObservationPoint& a, const ObservationPoint& b) { return a.scale > b.scale; });
  int atMax = 0;
  while (atMax < count && report.points[atMax].scale == report.maxScale)
    ++atMax;
  report.MaxScalePointCount = atMax;
}

bool IsSameEvent(const QuakeReport& a, const QuakeReport& b) {
  return a.timeKey == b.timeKey && a.hypocenterName == b.hypocenterName;
}

}  // namespace hw
