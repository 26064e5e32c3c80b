#include "acquisition/tsunami_board.h"

#include <algorithm>
#include <array>

#include "acquisition/report_texts.h"
#include "platform/text_codec.h"

namespace hw {
namespace {

constexpr std::size_t kRememberedIds = 32;
constexpr std::array kGradesStrongestFirst = {TsunamiGrade::kMajorWarning, TsunamiGrade::kWarning,
                                              TsunamiGrade::kWatch};

// The 14 digits of "YYYY/MM/DD hh:mm:ss", or empty when the text is not of that form.
std::u16string DigitsOf(std::u16string_view time) {
  if (time.size() < 19) return {};
  std::u16string digits;
  constexpr std::u16string_view kForm = u"0000/00/00 00:00:00";
  for (std::size_t i = 0; i < kForm.size(); ++i) {
    const char16_t c = time[i];
    if (kForm[i] != u'0') {
      if (c != kForm[i]) return {};
      continue;
    }
    if (c < u'0' || c > u'9') return {};
    digits.push_back(c);
  }
  return digits;
}

std::u16string FirstWaveOf(const TsunamiRegion& region) {
  if (!region.condition.empty()) return region.condition;
  if (const std::u16string time = HourMinuteOf(region.arrivalTime); !time.empty()) {
    return time + u" 到達予想";
  }
  if (region.immediate) return u"ただちに津波来襲と予測";
  return {};
}

std::u16string Number(std::size_t value) {
  return Utf8ToUtf16(std::to_string(value));
}

std::u16string CountsText(const TsunamiState& state) {
  std::u16string text;
  for (const TsunamiGrade grade : kGradesStrongestFirst) {
    if (!text.empty()) text += u", ";
    text += std::u16string(TsunamiGradeName(grade)) + u" " +
            Number(static_cast<std::size_t>(state.Count(grade)));
  }
  return text + u" 区域";
}

}  // namespace

TsunamiGrade TsunamiState::Highest() const {
  TsunamiGrade highest = TsunamiGrade::kUnknown;
  for (const TsunamiRegionLine& region : regions) {
    highest = std::max(highest, region.grade);
  }
  return highest;
}

int TsunamiState::Count(TsunamiGrade grade) const {
  return static_cast<int>(std::count_if(regions.begin(), regions.end(),
                                        [grade](const auto& r) { return r.grade == grade; }));
}

std::u16string_view TsunamiGradeName(TsunamiGrade grade) {
  switch (grade) {
    case TsunamiGrade::kMajorWarning:
      return u"大津波警報";
    case TsunamiGrade::kWarning:
      return u"津波警報";
    case TsunamiGrade::kWatch:
      return u"津波注意報";
    case TsunamiGrade::kUnknown:
      break;
  }
  return {};
}

std::u16string HourMinuteOf(std::u16string_view time) {
  const std::u16string digits = DigitsOf(time);
  if (digits.empty()) return {};
  return digits.substr(8, 2) + u":" + digits.substr(10, 2);
}

std::int32_t TimeKeyOf(std::u16string_view time) {
  const std::u16string digits = DigitsOf(time);
  return digits.empty() ? 0 : TimeKey(digits);
}

TsunamiBoard::Outcome TsunamiBoard::TakeOver(const TsunamiMessage& message, std::int64_t nowMs,
                                             std::int32_t nowKey) {
  Outcome out;
  const auto line = [&out](const std::u16string& text) {
    out.log.push_back(u"津波予報 … " + text);
  };
  // A message is judged once: an id seen before, or the same message again (a list read
  // anew, a message without an id), changes nothing and is not logged again.
  if (Seen(message.id) || message == last_) {
    out.result = Result::kDuplicate;
    return out;
  }
  last_ = message;
  const std::u16string issued = message.issueTime;
  const std::int32_t issuedKey = TimeKeyOf(issued);
  out.result = Result::kIgnored;
  if (issuedKey == 0) {
    line(u"発表時刻のない発表を無視しました (" + Utf8ToUtf16(message.id) + u")");
    return out;
  }
  if (issued < newestIssueTime_) {
    line(u"表示中より古い発表を無視しました (" + issued + u")");
    return out;
  }
  if (nowKey != 0 && issuedKey < nowKey - kStaleMinutes) {
    line(u"2 日以上前の発表のため表示しません (" + issued + u")");
    return out;
  }
  if (message.regionsLeftOut > 0) {
    line(Number(static_cast<std::size_t>(message.regionsLeftOut)) + u" 区域を読み飛ばしました");
  }

  if (message.cancelled) {
    newestIssueTime_ = issued;
    if (state_.phase != TsunamiState::Phase::kInForce) {
      line(u"解除 " + issued + u" (表示中の津波予報はありません)");
      out.result = Result::kUnchanged;
      return out;
    }
    state_ = {TsunamiState::Phase::kLifted, message.id, issued, {}};
    liftedUntilMs_ = nowMs + kLiftedMs;
    line(u"解除 " + issued);
    out.result = Result::kLifted;
    return out;
  }
  if (message.regions.empty()) {
    line(u"区域のない発表を無視しました (" + issued + u")");
    return out;
  }

  newestIssueTime_ = issued;
  TsunamiState next{TsunamiState::Phase::kInForce, message.id, issued, {}};
  for (const TsunamiGrade grade : kGradesStrongestFirst) {
    for (const TsunamiRegion& region : message.regions) {
      if (region.grade != grade) continue;
      next.regions.push_back({region.name, grade, FirstWaveOf(region), region.maxHeight});
    }
  }
  for (const TsunamiRegion& region : message.regions) {
    if (region.grade != TsunamiGrade::kUnknown) continue;
    line(u"種類のわからない区域を表示しません (" + region.gradeName + u"): " + region.name);
  }
  if (next.regions.empty()) {
    const bool wasShown = state_.phase != TsunamiState::Phase::kNone;
    line(u"発表 " + issued + u": 警報・注意報の区域はありません");
    state_ = {};
    out.result = wasShown ? Result::kEnded : Result::kUnchanged;
    return out;
  }
  line(u"発表 " + issued + u" (" + CountsText(next) + u")");
  for (const TsunamiRegionLine& region : next.regions) {
    std::u16string text = std::u16string(TsunamiGradeName(region.grade)) + u" " + region.name;
    if (!region.height.empty()) text += u" " + region.height;
    if (!region.firstWave.empty()) text += u" " + region.firstWave;
    line(text);
  }
  state_ = std::move(next);
  out.result = Result::kShown;
  return out;
}

bool TsunamiBoard::Tick(std::int64_t nowMs) {
  if (state_.phase != TsunamiState::Phase::kLifted || nowMs < liftedUntilMs_) return false;
  state_ = {};
  return true;
}

void TsunamiBoard::Clear() {
  *this = TsunamiBoard();
}

void TsunamiBoard::ForgetMessages() {
  seenIds_.clear();
  last_ = {};
  newestIssueTime_.clear();
}

bool TsunamiBoard::Seen(const std::string& id) {
  // A message without an id cannot be told from another; its issue time orders it.
  if (id.empty()) return false;
  if (std::find(seenIds_.begin(), seenIds_.end(), id) != seenIds_.end()) return true;
  seenIds_.push_back(id);
  if (seenIds_.size() > kRememberedIds) seenIds_.pop_front();
  return false;
}

}  // namespace hw
