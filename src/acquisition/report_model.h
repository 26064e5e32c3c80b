#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "acquisition/fixed_text.h"

namespace hw {

// Seismic intensity as the web API gives it: 10, 20, 30, 40, 45, 50, 55, 60, 70 for intensity
// 1 to 7 (5 lower/upper, 6 lower/upper); 0 not set; −1 or any other value no intensity.
using ScaleCode = std::int32_t;

// The report kinds, named after the API's "type" texts.
enum IssueType : std::int32_t {
  kIssueNone = 0,
  ScalePrompt = 1,
  Destination = 2,
  ScaleAndDestination = 3,
  DetailScale = 4,
  Foreign = 5,
  Other = 6,
};

enum DomesticTsunami : std::int32_t {
  kDomesticTsunamiUnknownText = 0,
  DomesticNone = 1,
  DomesticNonEffective = 2,
  DomesticWatch = 3,
  DomesticWarning = 4,
  DomesticChecking = 5,
  DomesticUnknown = 6,
};

enum ForeignTsunami : std::int32_t {
  kForeignTsunamiUnknownText = 0,
  ForeignNone = 1,
  ForeignUnknown = 2,
  ForeignChecking = 3,
  ForeignNonEffectiveNearby = 4,
  ForeignWarningNearby = 5,
  ForeignWarningPacific = 6,
  ForeignWarningPacificWide = 7,
  ForeignWarningIndian = 8,
  ForeignWarningIndianWide = 9,
  ForeignPotential = 10,
};

inline constexpr double kNoCoordinate = -200.0;

using ReportText = FixedText<128>;
using PointText = FixedText<30>;

// What every stored report holds: its time key (a minute count of the event time), code
// and type, the event and announcement times as display texts, the epicentre's name and
// depth, the maximum intensity, magnitude, coordinates and the tsunami codes.
struct ReportHeader {
  std::int32_t timeKey = 0;
  std::int32_t code = 0;
  std::int32_t issueType = 0;
  ReportText eventDayTime;
  ReportText eventYearMonth;
  ReportText issueDayTime;
  ReportText issueYearMonth;
  ReportText hypocenterName;
  ReportText depthText;
  ScaleCode maxScale = 0;
  double magnitude = 0.0;
  double latitude = kNoCoordinate;
  double longitude = kNoCoordinate;
  std::int32_t domesticTsunami = 0;
  std::int32_t foreignTsunami = 0;
};

// One compact report: the newest one (slot 0) or one of the history table.
struct QuakeReport : ReportHeader {
  void Reset() { *this = QuakeReport{}; }
};

struct ObservationPoint {
  PointText addr;
  PointText pref;
  ScaleCode scale = 0;
};

// The newest report in full: its header, the composed comment line and up to 5000 points.
struct LatestReport : ReportHeader {
  static constexpr int kMaxPoints = 5000;
  static constexpr int kMaxCommentLength = 1024;

  std::int32_t commentLength = 0;
  FixedText<kMaxCommentLength + 1> commentText;
  std::int32_t pointCount = 0;
  std::int32_t MaxScalePointCount = 0;
  std::array<ObservationPoint, kMaxPoints> points{};

  // Clears the header, the comment, the counts and the first point; points beyond the count
  // keep what they held.
  void Reset();
};

inline constexpr int kHistorySlots = 22;  // 0 newest, 1-20 history, 21 the reader's work slot
using ReportHistory = std::array<QuakeReport, kHistorySlots>;

// The two report stores and the reader's remembered raw comment.
struct ReportStore {
  LatestReport latest;
  ReportHistory history;
  std::u16string StoredComment;
};

// Clears both stores and the stored comment.
void ResetReportStore(ReportStore& store);

// Orders slots 1-21 by timeKey, newest first; slot 0 stays.
void SortReportHistory(ReportHistory& history);

// Orders the points by scale, strongest first, and counts the leading points whose scale is
// the report's maxScale. Nothing changes when there are no points.
void SortObservationPoints(LatestReport& report);

// Two reports describe the same event when their time keys and epicentre names are equal.
bool IsSameEvent(const ReportHeader& a, const ReportHeader& b);

}  // namespace hw
