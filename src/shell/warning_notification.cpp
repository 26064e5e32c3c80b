#include "shell/warning_notification.h"

#include <algorithm>
#include <array>

#include "platform/text_codec.h"

namespace hw {
namespace {

constexpr std::size_t kRemembered = 16;
// Region names in a notification's text, per grade.
constexpr std::size_t kNamesPerGrade = 4;

std::u16string Number(int value) {
  return Utf8ToUtf16(std::to_string(value));
}

std::u16string ClockOf(const std::u16string& time) {
  return time.size() >= 19 ? time.substr(11, 8) : time;
}

std::u16string SoundOf(bool wanted, const std::u16string& file, const std::u16string& shipped,
                       const WorkFolderLayout& folder) {
  if (!wanted) return {};
  return file.empty() ? shipped : folder.UserPath(file);
}

}  // namespace

Notification TsunamiNotification(const TsunamiState& state) {
  Notification n;
  const std::u16string time = HourMinuteOf(state.issueTime);
  if (state.phase == TsunamiState::Phase::kLifted) {
    n.summary = u"津波警報・注意報 解除";
    n.body = time.empty() ? u"解除されました" : time + u" 解除";
    return n;
  }
  const TsunamiGrade highest = state.Highest();
  n.summary = std::u16string(TsunamiGradeName(highest)) + u" 発表";
  n.urgency = highest >= TsunamiGrade::kWarning ? NotificationUrgency::kCritical
                                                : NotificationUrgency::kNormal;
  for (const TsunamiGrade grade :
       {TsunamiGrade::kMajorWarning, TsunamiGrade::kWarning, TsunamiGrade::kWatch}) {
    std::u16string names;
    std::size_t listed = 0;
    for (const TsunamiRegionLine& region : state.regions) {
      if (region.grade != grade) continue;
      if (listed < kNamesPerGrade) names += (listed == 0 ? u"" : u"、") + region.name;
      ++listed;
    }
    if (listed == 0) continue;
    if (listed > kNamesPerGrade) names += u" ほか";
    if (!n.body.empty()) n.body += u'\n';
    n.body += std::u16string(TsunamiGradeName(grade)) + u" " + Number(static_cast<int>(listed)) +
              u" 区域: " + names;
  }
  if (!time.empty()) n.body += u"\n" + time + u" 発表";
  return n;
}

Notification EarlyWarningNotification(const EarlyWarning& warning) {
  Notification n;
  const std::u16string when =
      ClockOf(warning.issueTime) + u" 発表 第" + Number(warning.serial) + u"報";
  if (warning.phase == EarlyWarning::Phase::kCancelled) {
    n.summary = u"緊急地震速報（警報） 取消";
    n.body = when;
    return n;
  }
  n.summary = u"緊急地震速報（警報）";
  n.urgency = NotificationUrgency::kCritical;
  n.body = u"震源 " + warning.regionName;
  if (warning.assumedHypocentre) n.body += u" (仮定震源要素)";
  n.body += u" 予測最大震度 " + ForecastRangeText(warning.forecastFrom, warning.forecastTo) +
            u"\n" + when + u" 参考情報・配信は無保証";
  return n;
}

bool WarningNotificationGate::Allowed(ReportSource source, const AppSettings& settings) {
  if (settings.NotifyEnabled != 1) return false;
  if (source == ReportSource::kLastKnown) return false;
  return source != ReportSource::kDemo || settings.NotifyDemo == 1;
}

std::optional<Notification> WarningNotificationGate::ForTsunami(const TsunamiState& state,
                                                                bool arrival, ReportSource source,
                                                                const AppSettings& settings,
                                                                const WorkFolderLayout& folder) {
  if (state.phase == TsunamiState::Phase::kNone) {
    tsunamiNotified_ = false;
    return std::nullopt;
  }
  if (state.phase == TsunamiState::Phase::kLifted) {
    if (!std::exchange(tsunamiNotified_, false) || !Allowed(source, settings)) return std::nullopt;
    return TsunamiNotification(state);
  }
  if (std::find(tsunamiIds_.begin(), tsunamiIds_.end(), state.id) != tsunamiIds_.end()) {
    return std::nullopt;
  }
  tsunamiIds_.push_back(state.id);
  if (tsunamiIds_.size() > kRemembered) tsunamiIds_.pop_front();
  const int threshold = settings.NotifyTsunamiGrade;
  if (!arrival || !Allowed(source, settings) || threshold <= 0 ||
      static_cast<int>(state.Highest()) < threshold) {
    return std::nullopt;
  }
  tsunamiNotified_ = true;
  Notification n = TsunamiNotification(state);
  n.soundFile = SoundOf(settings.NotifySound == 1, settings.NotifySoundFile,
                        folder.NotifySoundFile(), folder);
  return n;
}

std::optional<Notification> WarningNotificationGate::ForEarlyWarning(
    const EarlyWarning& warning, ReportSource source, const AppSettings& settings,
    const WorkFolderLayout& folder) {
  if (warning.test || settings.NotifyEarlyWarning != 1 || !Allowed(source, settings)) {
    return std::nullopt;
  }
  auto event = std::find_if(events_.begin(), events_.end(),
                            [&](const NotifiedEvent& e) { return e.eventId == warning.eventId; });
  if (warning.phase == EarlyWarning::Phase::kCancelled) {
    if (event == events_.end() || event->cancelled) return std::nullopt;
    event->cancelled = true;
    return EarlyWarningNotification(warning);
  }
  if (event != events_.end() && warning.forecastFrom <= event->forecast) return std::nullopt;
  if (event == events_.end()) {
    events_.push_back({warning.eventId});
    if (events_.size() > kRemembered) events_.pop_front();
    event = std::prev(events_.end());
  }
  event->forecast = warning.forecastFrom;
  Notification n = EarlyWarningNotification(warning);
  const int sound = settings.NotifyEarlyWarningSound;
  n.soundFile = SoundOf(sound == 1 || (sound == -1 && settings.NotifySound == 1),
                        settings.NotifyEarlyWarningSoundFile, folder.WarningSoundFile(), folder);
  return n;
}

}  // namespace hw
