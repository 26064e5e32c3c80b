#include "acquisition/early_warning_board.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <utility>

#include "acquisition/tsunami_board.h"
#include "platform/text_codec.h"

namespace hw {
namespace {

constexpr std::size_t kRememberedIds = 64;
constexpr std::size_t kRememberedEvents = 16;
constexpr int kOrMore = 99;

struct IntensityEntry {
  int code;
  std::u16string_view name;
};
constexpr std::array<IntensityEntry, 10> kIntensities = {{{0, u"0"},
                                                          {10, u"1"},
                                                          {20, u"2"},
                                                          {30, u"3"},
                                                          {40, u"4"},
                                                          {45, u"5弱"},
                                                          {50, u"5強"},
                                                          {55, u"6弱"},
                                                          {60, u"6強"},
                                                          {70, u"7"}}};

std::u16string Number(int value) {
  return Utf8ToUtf16(std::to_string(value));
}

bool Known(int code) {
  return std::any_of(kIntensities.begin(), kIntensities.end(),
                     [code](const IntensityEntry& e) { return e.code == code; });
}

}  // namespace

bool EarlyWarning::HasHypocentre() const {
  return !assumedHypocentre && latitude > -90.5 && latitude < 90.5 && longitude > -180.5 &&
         longitude < 360.5;
}

std::u16string IntensityName(int code) {
  for (const IntensityEntry& e : kIntensities) {
    if (e.code == code) return std::u16string(e.name);
  }
  return u"不明";
}

std::u16string ForecastRangeText(int from, int to) {
  std::u16string text = IntensityName(from);
  if (!Known(from)) return text;
  if (to == kOrMore) return text + u"程度以上";
  if (Known(to) && to > from) text += u"～" + IntensityName(to);
  return text;
}

EarlyWarningBoard::Outcome EarlyWarningBoard::TakeOver(const EarlyWarningMessage& message,
                                                       std::int64_t nowMs, bool showTests) {
  Outcome out;
  const std::u16string kind =
      message.test ? u"緊急地震速報（警報・テスト） … " : u"緊急地震速報（警報） … ";
  const auto line = [&](const std::u16string& text) { out.log.push_back(kind + text); };
  if (Seen(message.id)) {
    out.result = Result::kDuplicate;
    return out;
  }
  const std::u16string which =
      Utf8ToUtf16(message.eventId) + u" 第" + Number(message.serial) + u"報";
  out.result = Result::kIgnored;
  if (message.eventId.empty() || message.serial <= 0) {
    line(u"識別情報か情報番号のない配信を無視しました (" + Utf8ToUtf16(message.id) + u")");
    return out;
  }
  if (message.test && !showTests) {
    line(u"テストの配信のため表示しません (" + which + u")");
    return out;
  }
  Event& event = EventOf(message.eventId);
  const bool showsThisEvent = shown_ && shown_->eventId == message.eventId;

  if (message.cancelled) {
    event.serial = std::max(event.serial, message.serial);
    if (!showsThisEvent) {
      line(u"取消 (" + which + u"; 表示中の警報ではありません)");
      return out;
    }
    shown_->phase = EarlyWarning::Phase::kCancelled;
    shown_->serial = message.serial;
    shown_->issueTime = message.issueTime;
    shown_->areas.clear();
    shown_->forecastFrom = shown_->forecastTo = -1;
    endsAtMs_ = nowMs + kCancelledMs;
    line(u"取消 (" + which + u")");
    out.result = Result::kCancelled;
    return out;
  }
  if (event.reported) {
    line(u"地震情報の後の続報は表示しません (" + which + u")");
    return out;
  }
  if (message.serial <= event.serial) {
    line(u"第" + Number(event.serial) + u"報より前の報を無視しました (" + which + u")");
    return out;
  }
  if (!message.hasEarthquake) {
    line(u"地震の要素のない配信を無視しました (" + which + u")");
    return out;
  }
  event.serial = message.serial;

  EarlyWarning next;
  next.eventId = message.eventId;
  next.serial = message.serial;
  next.test = message.test;
  next.issueTime = message.issueTime;
  next.originTime = message.originTime;
  next.regionName = message.hypocentreName;
  next.assumedHypocentre = message.condition == u"仮定震源要素";
  next.latitude = message.latitude;
  next.longitude = message.longitude;
  for (const EarlyWarningArea& area : message.areas) {
    next.areas.push_back({area.name, area.scaleFrom, area.scaleTo});
    if (!Known(area.scaleFrom)) continue;
    // "Or more" ranks above any closed upper bound of the same lower bound.
    const auto rank = [](int from, int to) { return std::pair(from, to == kOrMore ? 1000 : to); };
    if (next.forecastFrom < 0 ||
        rank(area.scaleFrom, area.scaleTo) > rank(next.forecastFrom, next.forecastTo)) {
      next.forecastFrom = area.scaleFrom;
      next.forecastTo = area.scaleTo;
    }
  }
  out.result = showsThisEvent && shown_->phase == EarlyWarning::Phase::kWarning ? Result::kUpdated
                                                                                : Result::kShown;
  shown_ = std::move(next);
  originKey_ = TimeKeyOf(message.originTime);
  endsAtMs_ = nowMs + kQuietMs;

  std::u16string summary =
      which + u" 発表 " + message.issueTime + u": 震源 " + message.hypocentreName;
  if (shown_->assumedHypocentre) summary += u" (仮定震源要素)";
  summary += u", 予測最大震度 " + ForecastRangeText(shown_->forecastFrom, shown_->forecastTo) +
             u", 対象 " + Number(static_cast<int>(shown_->areas.size())) + u" 地域";
  line(summary);
  for (const EarlyWarningTarget& area : shown_->areas) {
    line(u"対象地域 " + area.name + u" " + ForecastRangeText(area.scaleFrom, area.scaleTo));
  }
  if (message.areasLeftOut > 0) line(Number(message.areasLeftOut) + u" 地域を読み飛ばしました");
  return out;
}

bool EarlyWarningBoard::Tick(std::int64_t nowMs) {
  if (!shown_ || nowMs < endsAtMs_) return false;
  shown_.reset();
  return true;
}

bool EarlyWarningBoard::EndForReport(const ReportHeader& report) {
  if (!shown_ || shown_->phase != EarlyWarning::Phase::kWarning || originKey_ == 0) return false;
  const bool domestic = report.issueType >= ScalePrompt && report.issueType <= DetailScale;
  if (!domestic || std::abs(std::int64_t{report.timeKey} - originKey_) > kSameEarthquakeMinutes) {
    return false;
  }
  EventOf(shown_->eventId).reported = true;
  shown_.reset();
  return true;
}

void EarlyWarningBoard::Clear() {
  *this = EarlyWarningBoard();
}

void EarlyWarningBoard::ForgetMessages() {
  seenIds_.clear();
  events_.clear();
}

bool EarlyWarningBoard::Seen(const std::string& id) {
  if (id.empty()) return false;
  if (std::find(seenIds_.begin(), seenIds_.end(), id) != seenIds_.end()) return true;
  seenIds_.push_back(id);
  if (seenIds_.size() > kRememberedIds) seenIds_.pop_front();
  return false;
}

EarlyWarningBoard::Event& EarlyWarningBoard::EventOf(const std::string& eventId) {
  for (Event& event : events_) {
    if (event.eventId == eventId) return event;
  }
  events_.push_back({eventId});
  if (events_.size() > kRememberedEvents) events_.pop_front();
  return events_.back();
}

}  // namespace hw
