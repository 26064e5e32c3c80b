#include "shell/report_notification.h"

#include <algorithm>
#include <array>

#include "display/box_drawing.h"

namespace hw {
namespace {

struct ScaleName {
  ScaleCode code;
  std::u16string_view name;
};

constexpr std::array<ScaleName, 9> kScaleNames = {{{10, u"1"},
                                                   {20, u"2"},
                                                   {30, u"3"},
                                                   {40, u"4"},
                                                   {45, u"5弱"},
                                                   {50, u"5強"},
                                                   {55, u"6弱"},
                                                   {60, u"6強"},
                                                   {70, u"7"}}};

// The intensity name of a scale code, empty for a code that is no intensity.
std::u16string_view ScaleNameOf(ScaleCode code) {
  for (const ScaleName& s : kScaleNames) {
    if (s.code == code) return s.name;
  }
  return {};
}

bool DomesticTsunamiInForce(const ReportHeader& r) {
  return r.domesticTsunami == DomesticWatch || r.domesticTsunami == DomesticWarning;
}

bool ForeignTsunamiPossible(const ReportHeader& r) {
  return r.foreignTsunami >= ForeignWarningNearby && r.foreignTsunami <= ForeignWarningIndianWide;
}

// A report names no epicentre before the epicentre is known: the reader writes "---" for an
// empty name.
bool NamesEpicentre(const ReportHeader& r) {
  const std::u16string_view name = r.hypocenterName.View();
  return !name.empty() && name != u"---";
}

// The display texts pad a day or an hour with a blank; a notification line has none.
std::u16string WithoutBlanks(std::u16string_view text) {
  std::u16string out;
  std::copy_if(text.begin(), text.end(), std::back_inserter(out),
               [](char16_t c) { return c != u' ' && c != u'\u3000'; });
  return out;
}

void AppendPiece(std::u16string& line, std::u16string_view piece) {
  if (piece.empty()) return;
  if (!line.empty()) line += u' ';
  line += piece;
}

}  // namespace

std::u16string NotificationSummary(const ReportHeader& report) {
  std::u16string summary = u"地震情報";
  if (report.issueType == Foreign) {
    summary += u" 遠地地震";
  } else if (const std::u16string_view scale = ScaleNameOf(report.maxScale); !scale.empty()) {
    summary += u" 最大震度";
    summary += scale;
  }
  return summary;
}

std::u16string NotificationBody(const ReportHeader& report) {
  std::u16string line;
  if (const std::u16string time = WithoutBlanks(report.eventDayTime.View()); !time.empty()) {
    AppendPiece(line, time + u"ごろ");
  }
  // A prompt intensity report knows no epicentre yet, as its boxes say.
  const bool epicentreUnknown = report.issueType == ScalePrompt && report.magnitude == -1;
  AppendPiece(line, epicentreUnknown ? u"震源は調査中" : report.hypocenterName.View());
  if (const std::u16string magnitude = MagnitudeText(report.magnitude); !magnitude.empty()) {
    AppendPiece(line, u"M" + magnitude);
  }
  const std::u16string_view depth = report.depthText.View();
  if (!depth.empty() && !depth.starts_with(u"-")) {
    AppendPiece(line, u"深さ" + std::u16string(depth));
  }

  if (report.domesticTsunami == DomesticWarning) {
    line += u"\n津波警報等を発表中です。";
  } else if (report.domesticTsunami == DomesticWatch) {
    line += u"\n津波注意報を発表中です。";
  } else if (ForeignTsunamiPossible(report)) {
    line += u"\n津波発生の可能性があります。";
  }
  return line;
}

NotificationUrgency UrgencyOf(const ReportHeader& report) {
  const bool intensity = report.issueType != Foreign && !ScaleNameOf(report.maxScale).empty();
  if ((intensity && report.maxScale >= 45) || report.domesticTsunami == DomesticWarning) {
    return NotificationUrgency::kCritical;
  }
  if (intensity && report.maxScale <= 20 && !DomesticTsunamiInForce(report) &&
      !ForeignTsunamiPossible(report)) {
    return NotificationUrgency::kLow;
  }
  return NotificationUrgency::kNormal;
}

bool SameEarthquake(const ReportHeader& earlier, const ReportHeader& later) {
  // The map layer's window of two minutes either way.
  constexpr std::int32_t kMinutes = 2;
  if (later.timeKey < earlier.timeKey - kMinutes || later.timeKey > earlier.timeKey + kMinutes) {
    return false;
  }
  return !NamesEpicentre(earlier) || !NamesEpicentre(later) ||
         earlier.hypocenterName == later.hypocenterName;
}

std::optional<Notification> NotificationGate::TakeOver(std::u16string_view id,
                                                       const ReportHeader& report,
                                                       ReportSource source,
                                                       const AppSettings& settings,
                                                       const WorkFolderLayout& folder) {
  if (!FirstSight(id)) return std::nullopt;
  // A list kept from an earlier run is old news.
  if (source == ReportSource::kLastKnown) return std::nullopt;
  if (source == ReportSource::kDemo) {
    if (settings.NotifyDemo != 1) return std::nullopt;
  } else {
    bool& read = source == ReportSource::kLive ? liveRead_ : sandboxRead_;
    const bool latestAtStart = !read;
    read = true;
    if (latestAtStart) return std::nullopt;
  }
  if (settings.NotifyEnabled != 1) return std::nullopt;

  const bool intensity = report.issueType != Foreign && !ScaleNameOf(report.maxScale).empty() &&
                         report.maxScale >= settings.NotifyMinScale;
  const bool foreign = report.issueType == Foreign && settings.NotifyForeign == 1;
  const bool tsunami = settings.NotifyTsunami == 1 &&
                       (DomesticTsunamiInForce(report) || ForeignTsunamiPossible(report));
  Announced* earlier = EarthquakeOf(report);
  if (!intensity && !foreign && !tsunami && earlier == nullptr) return std::nullopt;

  Notification notification{
      NotificationSummary(report), NotificationBody(report), {}, UrgencyOf(report), 0};
  bool chime = true;
  if (earlier != nullptr) {
    chime = notification.urgency > earlier->loudest;
    // An epicentre once named stays the earthquake's name.
    const ReportText name = earlier->last.hypocenterName;
    earlier->last = report;
    if (!NamesEpicentre(report)) earlier->last.hypocenterName = name;
    earlier->loudest = std::max(earlier->loudest, notification.urgency);
    notification.earthquake = earlier->earthquake;
  } else {
    notification.earthquake = ++lastEarthquake_;
    announced_.push_back({report, notification.earthquake, notification.urgency});
    if (announced_.size() > kRememberedEarthquakes) announced_.pop_front();
  }
  if (chime && settings.NotifySound == 1) {
    notification.soundFile = settings.NotifySoundFile.empty()
                                 ? folder.NotifySoundFile()
                                 : folder.UserPath(settings.NotifySoundFile);
  }
  return notification;
}

NotificationGate::Announced* NotificationGate::EarthquakeOf(const ReportHeader& report) {
  // The most recent first: of two earthquakes close in time, the later one is meant.
  const auto found = std::find_if(
      announced_.rbegin(), announced_.rend(),
      [&report](const Announced& earthquake) { return SameEarthquake(earthquake.last, report); });
  return found == announced_.rend() ? nullptr : &*found;
}

bool NotificationGate::FirstSight(std::u16string_view id) {
  if (std::find(seenIds_.begin(), seenIds_.end(), id) != seenIds_.end()) return false;
  seenIds_.emplace_back(id);
  if (seenIds_.size() > kRememberedIds) seenIds_.pop_front();
  return true;
}

}  // namespace hw
