#include "display/feed_state.h"

#include <cstdio>

#include "platform/text_codec.h"

namespace hw {

std::u16string ClockText(const std::tm& time) {
  char text[48];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", time.tm_hour, time.tm_min, time.tm_sec);
  return Utf8ToUtf16(text);
}

std::u16string DayAndMinuteText(const std::tm& time) {
  char text[48];
  std::snprintf(text, sizeof text, "%02d/%02d %02d:%02d", time.tm_mon + 1, time.tm_mday,
                time.tm_hour, time.tm_min);
  return Utf8ToUtf16(text);
}

PictureLabel PictureLabelFor(const FeedState& feed) {
  // Stored and test reports say what they are whatever the feed does, so that they are never
  // taken for live ones.
  if (feed.shown == ReportSource::kDemo) return {{u"デモ表示 DEMO"}};
  if (feed.shown == ReportSource::kSandbox) return {{u"SandBox"}};
  if (feed.stale) {
    if (feed.lastSuccess) {
      return {{u"接続できません", u"最終受信 " + ClockText(*feed.lastSuccess)}, true};
    }
    if (feed.shown == ReportSource::kLastKnown) {
      return {{u"接続できません", u"前回の受信", DayAndMinuteText(feed.shownReceived)}, true};
    }
    return {{u"接続できません"}, true};
  }
  if (!feed.shown) return {{u"受信待ち"}};
  if (feed.shown == ReportSource::kLastKnown) {
    return {{u"前回の受信", DayAndMinuteText(feed.shownReceived)}};
  }
  return {};
}

}  // namespace hw
