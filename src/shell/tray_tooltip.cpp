#include "shell/tray_tooltip.h"

#include "shell/report_notification.h"

namespace hw {

std::u16string TrayToolTipText(const FeedState& feed, const ReportHeader& shown) {
  std::u16string text = u"Heronwatch";
  if (feed.shown) {
    text += u'\n' + NotificationSummary(shown);
    const std::u16string body = NotificationBody(shown);
    text += u'\n' + body.substr(0, body.find(u'\n'));
  }
  const PictureLabel label = PictureLabelFor(feed);
  std::u16string state;
  for (const std::u16string& line : label.lines) {
    if (!state.empty()) state += u' ';
    state += line;
  }
  if (state.empty()) {
    state = u"受信中";
    if (feed.lastSuccess) state += u" 最終受信 " + ClockText(*feed.lastSuccess).substr(0, 5);
  }
  return text + u'\n' + state;
}

}  // namespace hw
