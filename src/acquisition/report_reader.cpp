#include "acquisition/report_reader.h"

#include <algorithm>
#include <array>
#include <optional>

#include "acquisition/report_texts.h"
#include "platform/number_text.h"

namespace hw {
namespace {

constexpr std::u16string_view kNoTime = u"00000000000000";
constexpr int kLastSlot = kHistorySlots - 1;
// Nested objects deeper than real reports ever go are skipped, so hostile input can neither
// exhaust the stack nor make the reader quadratic.
constexpr int kMaxObjectNesting = 8;
constexpr std::u16string_view kSeparator = u"\u3000\u3000";

constexpr std::array<std::u16string_view, 11> kForeignTsunamiTexts = {
    u"",
    u"",
    u"",
    u"",
    u"震源の近傍で小さな津波発生の可能性はありますが、被害をもたらす津波の心配はありません。",
    u"震源の近傍で津波発生の可能性があります。",
    u"太平洋で津波発生の可能性があります。",
    u"太平洋の広域に津波発生の可能性があります。",
    u"インド洋で津波発生の可能性があります。",
    u"インド洋の広域に津波発生の可能性があります。",
    u"一般的に、この規模の地震が海域の浅い領域で発生すると、津波が発生することがあります。",
};

constexpr std::u16string_view kSmallSeaLevelChange =
    u"この地震により、日本の沿岸では若干の海面変動があるかもしれませんが、被害の心配はありません。";
constexpr std::u16string_view kWarningsInForce =
    u"津波警報等（大津波警報・津波警報あるいは津波注意報）を発表中です。";

std::u16string_view ForeignReportDomesticText(int value) {
  switch (value) {
    case DomesticNone:
      return u"この地震による日本への津波の影響はありません。";
    case DomesticNonEffective:
      return kSmallSeaLevelChange;
    case DomesticWarning:
      return kWarningsInForce;
    case DomesticChecking:
      return u"日本への津波の有無については現在調査中です。";
    default:
      return {};
  }
}

std::u16string_view DetailReportDomesticText(int value) {
  switch (value) {
    case DomesticNone:
      return u"この地震による津波の心配はありません。";
    case DomesticNonEffective:
      return kSmallSeaLevelChange;
    case DomesticWarning:
      return kWarningsInForce;
    default:
      return {};
  }
}

// Maps a quoted value text onto its position in `names` (1-based); 0 for anything else.
template <std::size_t N>
int EnumValue(std::u16string_view value, const std::array<std::u16string_view, N>& names) {
  for (std::size_t i = 0; i < N; ++i) {
    if (value == names[i]) return static_cast<int>(i) + 1;
  }
  return 0;
}

constexpr std::array<std::u16string_view, 6> kIssueTypes = {
    u"\"ScalePrompt\"", u"\"Destination\"", u"\"ScaleAndDestination\"",
    u"\"DetailScale\"", u"\"Foreign\"",     u"\"Other\""};
constexpr std::array<std::u16string_view, 6> kDomesticTsunamis = {
    u"\"None\"",    u"\"NonEffective\"", u"\"Watch\"",
    u"\"Warning\"", u"\"Checking\"",     u"\"Unknown\""};
constexpr std::array<std::u16string_view, 10> kForeignTsunamis = {u"\"None\"",
                                                                  u"\"Unknown\"",
                                                                  u"\"Checking\"",
                                                                  u"\"NonEffectiveNearby\"",
                                                                  u"\"WarningNearby\"",
                                                                  u"\"WarningPacific\"",
                                                                  u"\"WarningPacificWide\"",
                                                                  u"\"WarningIndian\"",
                                                                  u"\"WarningIndianWide\"",
                                                                  u"\"Potential\""};

int BracketDelta(char16_t c) {
  switch (c) {
    case u'{':
    case u'[':
      return 1;
    case u'}':
    case u']':
      return -1;
    default:
      return 0;
  }
}

// The text without its first and last unit (the quotes of a JSON string).
std::u16string_view Unquoted(std::u16string_view value) {
  return value.size() > 2 ? value.substr(1, value.size() - 2) : std::u16string_view{};
}

// Splits text by bracket depth into the members of the objects at depth 2: a member's key text
// runs up to its first ":" and its value text to the next "," (or the object's closing brace),
// with nested objects and arrays, brackets included, as part of the value. Quotes are not
// tracked, and units outside the members are dropped.
class MemberSplitter {
 public:
  enum class Event { kNone, kMember, kObjectEnd };

  explicit MemberSplitter(int depth) : depth_(depth), previousDepth_(depth) {}

  // Takes one unit; kMember and kObjectEnd leave a complete member in key() and value().
  Event Feed(char16_t c) {
    depth_ += BracketDelta(c);
    Event event = Event::kNone;
    if (previousDepth_ == 2 && depth_ == 1) {
      event = Event::kObjectEnd;
    } else if (depth_ == 2 && previousDepth_ != 1) {
      if (c == u',') {
        event = Event::kMember;
      } else if (c == u':' && inKey_) {
        value_.clear();
        inKey_ = false;
      } else {
        (inKey_ ? key_ : value_).push_back(c);
      }
    } else if (!inKey_) {
      value_.push_back(c);
    }
    previousDepth_ = depth_;
    return event;
  }

  // The next units form a new member's key.
  void StartMember() {
    key_.clear();
    inKey_ = true;
  }

  const std::u16string& key() const { return key_; }
  const std::u16string& value() const { return value_; }

 private:
  int depth_;
  int previousDepth_;
  std::u16string key_;
  std::u16string value_;
  bool inKey_ = true;
};

}  // namespace

ReadResult ReportReader::ReadReports(std::u16string_view text, ReadPass pass) {
  MemberSplitter splitter(0);
  int element = 0;
  int codeCount = 0;
  firstTime_ = kNoTime;
  fixUpDone_ = false;

  // The pass's result when the member ends it.
  const auto handOver = [&]() -> std::optional<ReadResult> {
    const MemberResult result = ReadMember(pass, element, splitter.key(), splitter.value());
    if (pass != ReadPass::kHistory && result == MemberResult::kCode551) ++codeCount;
    if (result == MemberResult::kAlreadyShown) return ReadResult::kAlreadyShown;
    if (result == MemberResult::kNewId) return ReadResult::kNewReport;
    return std::nullopt;
  };

  // The terminating NUL is one more unit, as in a C string.
  for (std::size_t i = 0; i <= text.size(); ++i) {
    const MemberSplitter::Event event = splitter.Feed(i < text.size() ? text[i] : u'\0');
    if (event == MemberSplitter::Event::kNone) continue;
    if (const std::optional<ReadResult> result = handOver()) return *result;
    if (event == MemberSplitter::Event::kObjectEnd) {
      // The report object is complete.
      if (element >= kLastSlot || codeCount >= 1) return ReadResult::kFinished;
      firstTime_ = kNoTime;
      if (KeepSlot(element)) ++element;
    }
    splitter.StartMember();
  }
  return ReadResult::kFinished;
}

bool ReportReader::KeepSlot(int slot) {
  ReportHistory& history = store_.history;
  QuakeReport& report = history[static_cast<std::size_t>(slot)];
  bool duplicate = false;
  for (int k = 0; k < slot && !duplicate; ++k) {
    duplicate = IsSameEvent(history[static_cast<std::size_t>(k)], report);
  }
  // A hypocentre-only newest report takes its intensity from the first later report of the
  // same minute, even one that is then dropped.
  if (!fixUpDone_ && slot == 1 && history[0].issueType == Destination &&
      history[0].timeKey == report.timeKey) {
    history[0].maxScale = report.maxScale;
    fixUpDone_ = true;
  }
  if ((slot != 0 && report.issueType < DetailScale) || duplicate) {
    report.Reset();
    return false;
  }
  return true;
}

MemberResult ReportReader::ReadMember(ReadPass pass, int slot, std::u16string_view key,
                                      std::u16string_view value) {
  const bool latest = pass != ReadPass::kHistory;
  if (key == u"\"code\"") {
    const int code = value.empty() ? 0 : LeadingInt(value);
    if (latest) {
      store_.latest.code = code;
    } else {
      store_.history[static_cast<std::size_t>(std::clamp(slot, 0, kLastSlot))].code = code;
    }
    if (code == 551) return MemberResult::kCode551;
    return code == 552 ? MemberResult::kCode552 : MemberResult::kNothing;
  }
  if (key == u"\"id\"") {
    if (!latest) return MemberResult::kNothing;
    if (value == lastShownId_) return MemberResult::kAlreadyShown;
    if (pass == ReadPass::kCheck) {
      newestId_.assign(value);
      return MemberResult::kNewId;
    }
    return MemberResult::kNothing;
  }
  if (key == u"\"ver\"") {
    if (latest) ComposeCommentLine();
    return MemberResult::kNothing;
  }
  if (key == u"\"freeFormComment\"") {
    store_.StoredComment.assign(value);
    return MemberResult::kNothing;
  }
  if (key == u"\"comments\"" || key == u"\"earthquake\"" || key == u"\"hypocenter\"" ||
      key == u"\"issue\"") {
    ReadObject(pass, slot, value);
    return MemberResult::kNothing;
  }
  if (key == u"\"points\"") {
    if (latest) ReadPoints(value);
    return MemberResult::kNothing;
  }
  if (latest) {
    ApplyMember(store_.latest, true, key, value);
  } else {
    ApplyMember(store_.history[static_cast<std::size_t>(std::clamp(slot, 0, kLastSlot))], false,
                key, value);
  }
  return MemberResult::kNothing;
}

void ReportReader::ApplyMember(ReportHeader& target, bool latest, std::u16string_view key,
                               std::u16string_view value) {
  if (key == u"\"time\"") {
    ApplyTime(target, latest, value);
  } else if (key == u"\"name\"") {
    target.hypocenterName.Assign(value.size() > 2 ? Unquoted(value) : u"---");
  } else if (key == u"\"magnitude\"") {
    if (!value.empty()) target.magnitude = LeadingDouble(value);
  } else if (key == u"\"maxScale\"") {
    if (!value.empty() && value != u"null") target.maxScale = LeadingInt(value);
  } else if (key == u"\"latitude\"") {
    target.latitude = value.empty() ? kNoCoordinate : LeadingDouble(value);
  } else if (key == u"\"longitude\"") {
    target.longitude = value.empty() ? kNoCoordinate : LeadingDouble(value);
  } else if (key == u"\"type\"") {
    target.issueType = EnumValue(value, kIssueTypes);
  } else if (key == u"\"domesticTsunami\"") {
    target.domesticTsunami = EnumValue(value, kDomesticTsunamis);
  } else if (key == u"\"foreignTsunami\"") {
    target.foreignTsunami = EnumValue(value, kForeignTsunamis);
  } else if (key == u"\"depth\"") {
    target.depthText.Assign(DepthText(value));
  }
}

// A quoted "YYYY/MM/DD hh:mm:ss": the first of an object is its event time; a later, greater
// one is the announcement time, and a later one that is not greater replaces the event time.
void ReportReader::ApplyTime(ReportHeader& target, bool latest, std::u16string_view value) {
  if (value.size() != 21) return;
  std::u16string digits;
  for (char16_t c : value.substr(1, 19)) {
    if (c != u'"' && c != u'/' && c != u':' && c != u' ') digits.push_back(c);
  }
  if (firstTime_ == kNoTime) firstTime_ = digits;
  if (firstTime_ < digits) {
    target.issueYearMonth.Assign(YearMonthText(digits, paddings_.ReportTime));
    target.issueDayTime.Assign(DayTimeText(digits, paddings_.ReportTime));
  } else {
    const int padding = latest ? paddings_.EventTime : paddings_.HisEvTime;
    target.eventYearMonth.Assign(YearMonthText(digits, padding));
    target.eventDayTime.Assign(DayTimeText(digits, padding));
    target.timeKey = TimeKey(digits);
  }
}

void ReportReader::ReadObject(ReadPass pass, int slot, std::u16string_view text) {
  if (objectNesting_ >= kMaxObjectNesting) return;
  ++objectNesting_;
  // The object's own brace takes the depth from 1 to 2, so its members are at depth 2.
  MemberSplitter splitter(1);
  for (const char16_t c : text) {
    const MemberSplitter::Event event = splitter.Feed(c);
    if (event == MemberSplitter::Event::kNone) continue;
    ReadMember(pass, slot, splitter.key(), splitter.value());
    if (event == MemberSplitter::Event::kMember) splitter.StartMember();
  }
  --objectNesting_;
}

void ReportReader::ReadPoints(std::u16string_view text) {
  LatestReport& latest = store_.latest;
  MemberSplitter splitter(0);
  std::u16string addr;
  std::u16string pref;
  int count = 0;
  for (const char16_t c : text) {
    const MemberSplitter::Event event = splitter.Feed(c);
    if (event == MemberSplitter::Event::kMember) {
      if (splitter.key() == u"\"addr\"") addr = splitter.value();
      if (splitter.key() == u"\"pref\"") pref = splitter.value();
    } else if (event == MemberSplitter::Event::kObjectEnd && count < LatestReport::kMaxPoints) {
      // A point is complete; its scale is the value of its last member, whatever its key.
      // Points beyond the table are not stored.
      ObservationPoint& point = latest.points[static_cast<std::size_t>(count)];
      point.addr.Assign(Unquoted(addr));
      point.pref.Assign(Unquoted(pref));
      point.scale = splitter.value().empty() ? 0 : LeadingInt(splitter.value());
      ++count;
    }
    if (event != MemberSplitter::Event::kNone) splitter.StartMember();
  }
  latest.pointCount = count;
}

void ReportReader::ComposeCommentLine() {
  LatestReport& latest = store_.latest;
  const std::u16string_view comment = store_.StoredComment;
  std::u16string line;
  if (latest.issueType == Foreign && comment.size() > 2) {
    const int f = latest.foreignTsunami;
    if (f >= ForeignNonEffectiveNearby && f <= ForeignPotential) {
      line.append(kForeignTsunamiTexts[static_cast<std::size_t>(f)]).append(kSeparator);
    }
    if (const auto text = ForeignReportDomesticText(latest.domesticTsunami); !text.empty()) {
      line.append(text).append(kSeparator);
    }
  }
  if (latest.issueType == DetailScale && comment.size() > 2) {
    if (const auto text = DetailReportDomesticText(latest.domesticTsunami); !text.empty()) {
      line.append(text).append(kSeparator);
    }
  }
  // The JSON escape for a line break becomes two ideographic spaces; no other escape is decoded.
  bool afterBackslash = false;
  for (const char16_t c : Unquoted(comment)) {
    if (c == u'\\') {
      line.push_back(u'\u3000');
      afterBackslash = true;
    } else {
      line.push_back(c == u'n' && afterBackslash ? u'\u3000' : c);
      afterBackslash = false;
    }
  }
  latest.commentText.Assign(line);
  latest.commentLength = static_cast<int>(latest.commentText.Size());
}

}  // namespace hw
