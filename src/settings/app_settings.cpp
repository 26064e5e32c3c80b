#include "settings/app_settings.h"

#include <algorithm>
#include <array>
#include <climits>
#include <string_view>

#include "platform/number_text.h"

namespace hw {
namespace {

// How a value is limited right after it is read.
enum class Limit {
  kNone,
  kFlag,         // anything other than 1 becomes 0
  kRangeOrZero,  // outside [low, high] becomes 0
  kClamp,        // outside [low, high] becomes the nearer bound
};

struct SettingKey {
  std::u16string_view section;
  std::u16string_view key;
  int AppSettings::*number = nullptr;
  std::u16string AppSettings::*text = nullptr;
  Limit limit = Limit::kNone;
  int low = 0;
  int high = 0;
};

constexpr SettingKey Number(std::u16string_view section, std::u16string_view key,
                            int AppSettings::*field, Limit limit = Limit::kNone, int low = 0,
                            int high = 0) {
  return {section, key, field, nullptr, limit, low, high};
}

constexpr SettingKey Text(std::u16string_view section, std::u16string_view key,
                          std::u16string AppSettings::*field) {
  return {section, key, nullptr, field};
}

constexpr SettingKey kName = Text(u"Theme", u"Name", &AppSettings::Name);
constexpr SettingKey kTop = Number(u"Position", u"Top", &AppSettings::Top);
constexpr SettingKey kLeft = Number(u"Position", u"Left", &AppSettings::Left);
constexpr SettingKey kBottom = Number(u"Position", u"Bottom", &AppSettings::Bottom);
constexpr SettingKey kRight = Number(u"Position", u"Right", &AppSettings::Right);
constexpr SettingKey kMinX = Number(u"Position", u"MinX", &AppSettings::MinX);
constexpr SettingKey kMinY = Number(u"Position", u"MinY", &AppSettings::MinY);
constexpr SettingKey kMaxX = Number(u"Position", u"MaxX", &AppSettings::MaxX);
constexpr SettingKey kMaxY = Number(u"Position", u"MaxY", &AppSettings::MaxY);
constexpr SettingKey kFlameOff = Number(u"Flag", u"FlameOff", &AppSettings::FlameOff, Limit::kFlag);
constexpr SettingKey kOntop =
    Number(u"Flag", u"Ontop", &AppSettings::Ontop, Limit::kRangeOrZero, 0, 2);
constexpr SettingKey kDrag = Number(u"Flag", u"Drag", &AppSettings::Drag, Limit::kFlag);
constexpr SettingKey kDemo =
    Number(u"Flag", u"Demo", &AppSettings::Demo, Limit::kRangeOrZero, 0, 2);
constexpr SettingKey kDebug = Number(u"Flag", u"Debug", &AppSettings::Debug, Limit::kFlag);
constexpr SettingKey kTStart =
    Number(u"Flag", u"TStart", &AppSettings::TStart, Limit::kRangeOrZero, 0, 6);
constexpr SettingKey kAutostart =
    Number(u"Flag", u"Autostart", &AppSettings::Autostart, Limit::kFlag);
constexpr SettingKey kAspect =
    Number(u"Config", u"Aspect", &AppSettings::Aspect, Limit::kRangeOrZero, 0, 2);
constexpr SettingKey kHisJsonSavePath =
    Text(u"File", u"HisJsonSavePath", &AppSettings::HisJsonSavePath);
constexpr SettingKey kHisJsonNum =
    Number(u"File", u"HisJsonNum", &AppSettings::HisJsonNum, Limit::kClamp, 1, 100);
constexpr SettingKey kSiJson = Number(u"Config", u"SiJson", &AppSettings::SiJson, Limit::kFlag);
constexpr SettingKey kStaJson = Number(u"Config", u"StaJson", &AppSettings::StaJson, Limit::kFlag);
constexpr SettingKey kSpeedDraw =
    Number(u"Config", u"SpeedDraw", &AppSettings::SpeedDraw, Limit::kRangeOrZero, 0, 9);
constexpr SettingKey kSpeedScroll =
    Number(u"Config", u"SpeedScroll", &AppSettings::SpeedScroll, Limit::kClamp, 0, 500);
constexpr SettingKey kReload =
    Number(u"Config", u"Reload", &AppSettings::Reload, Limit::kClamp, 1, 180);
constexpr SettingKey kEpiFront =
    Number(u"Config", u"EpiFront", &AppSettings::EpiFront, Limit::kFlag);
constexpr SettingKey kEpiBlink =
    Number(u"Config", u"EpiBlink", &AppSettings::EpiBlink, Limit::kFlag);
constexpr SettingKey kShindoMap =
    Number(u"Config", u"ShindoMap", &AppSettings::ShindoMap, Limit::kRangeOrZero, -1, 2);
constexpr SettingKey kApiBase = Text(u"Net", u"ApiBase", &AppSettings::ApiBase);
constexpr SettingKey kSandboxBase = Text(u"Net", u"SandboxBase", &AppSettings::SandboxBase);
constexpr SettingKey kStationHost = Text(u"Net", u"StationHost", &AppSettings::StationHost);
constexpr SettingKey kNotifyEnabled =
    Number(u"Notify", u"Enabled", &AppSettings::NotifyEnabled, Limit::kFlag);
constexpr SettingKey kNotifyMinScale =
    Number(u"Notify", u"MinScale", &AppSettings::NotifyMinScale, Limit::kClamp, 10, 70);
constexpr SettingKey kNotifyForeign =
    Number(u"Notify", u"Foreign", &AppSettings::NotifyForeign, Limit::kFlag);
constexpr SettingKey kNotifyTsunami =
    Number(u"Notify", u"Tsunami", &AppSettings::NotifyTsunami, Limit::kFlag);
constexpr SettingKey kNotifyDemo =
    Number(u"Notify", u"Demo", &AppSettings::NotifyDemo, Limit::kFlag);
constexpr SettingKey kNotifySound =
    Number(u"Notify", u"Sound", &AppSettings::NotifySound, Limit::kFlag);
constexpr SettingKey kNotifySoundFile =
    Text(u"Notify", u"SoundFile", &AppSettings::NotifySoundFile);
constexpr SettingKey kNotifyTsunamiGrade =
    Number(u"Notify", u"TsunamiGrade", &AppSettings::NotifyTsunamiGrade, Limit::kClamp, 0, 3);
constexpr SettingKey kNotifyEarlyWarning =
    Number(u"Notify", u"EarlyWarning", &AppSettings::NotifyEarlyWarning, Limit::kFlag);
constexpr SettingKey kNotifyEarlyWarningSound =
    Number(u"Notify", u"EarlyWarningSound", &AppSettings::NotifyEarlyWarningSound,
           Limit::kRangeOrZero, -1, 1);
constexpr SettingKey kNotifyEarlyWarningSoundFile =
    Text(u"Notify", u"EarlyWarningSoundFile", &AppSettings::NotifyEarlyWarningSoundFile);
constexpr SettingKey kWarningTsunami =
    Number(u"Warning", u"Tsunami", &AppSettings::WarningTsunami, Limit::kFlag);
constexpr SettingKey kWarningEarly =
    Number(u"Warning", u"EarlyWarning", &AppSettings::WarningEarly, Limit::kFlag);
constexpr SettingKey kWarningShowTest =
    Number(u"Warning", u"ShowTest", &AppSettings::WarningShowTest, Limit::kFlag);
constexpr SettingKey kPushEnabled =
    Number(u"Push", u"Enabled", &AppSettings::PushEnabled, Limit::kFlag);
constexpr SettingKey kPushUrl = Text(u"Push", u"Url", &AppSettings::PushUrl);
constexpr SettingKey kPushSandboxUrl = Text(u"Push", u"SandboxUrl", &AppSettings::PushSandboxUrl);
constexpr SettingKey kPushReload =
    Number(u"Push", u"Reload", &AppSettings::PushReload, Limit::kClamp, 1, 3600);

constexpr SettingKey kStreamFile = Text(u"Stream", u"File", &AppSettings::StreamFile);
constexpr SettingKey kStreamRate =
    Number(u"Stream", u"Rate", &AppSettings::StreamRate, Limit::kClamp, 1, 10);
constexpr SettingKey kStreamWidth =
    Number(u"Stream", u"Width", &AppSettings::StreamWidth, Limit::kClamp, 16, 3840);
constexpr SettingKey kStreamHeight =
    Number(u"Stream", u"Height", &AppSettings::StreamHeight, Limit::kClamp, 16, 2160);
constexpr SettingKey kStreamHttp =
    Number(u"Stream", u"Http", &AppSettings::StreamHttp, Limit::kFlag);
constexpr SettingKey kStreamListen = Text(u"Stream", u"Listen", &AppSettings::StreamListen);
constexpr SettingKey kStreamPort =
    Number(u"Stream", u"Port", &AppSettings::StreamPort, Limit::kClamp, 1, 65535);
constexpr SettingKey kStreamOverlay =
    Number(u"Stream", u"Overlay", &AppSettings::StreamOverlay, Limit::kFlag);
constexpr SettingKey kStreamKeyColor = Text(u"Stream", u"KeyColor", &AppSettings::StreamKeyColor);
constexpr SettingKey kStreamOverlayMarkers =
    Number(u"Stream", u"OverlayMarkers", &AppSettings::StreamOverlayMarkers, Limit::kFlag);
constexpr SettingKey kStreamOnReport = Text(u"Stream", u"OnReport", &AppSettings::StreamOnReport);
constexpr SettingKey kStreamOnReportDemo =
    Number(u"Stream", u"OnReportDemo", &AppSettings::StreamOnReportDemo, Limit::kFlag);

constexpr std::array kPositionKeys = {&kTop, &kLeft, &kBottom, &kRight};

// [Flag] Autostart, [Notify], [Warning] and [Stream] come last, after the keys the file has always
// held.
constexpr std::array kReadOrder = {&kTop,
                                   &kLeft,
                                   &kBottom,
                                   &kRight,
                                   &kMinX,
                                   &kMinY,
                                   &kMaxX,
                                   &kMaxY,
                                   &kFlameOff,
                                   &kOntop,
                                   &kDrag,
                                   &kDemo,
                                   &kDebug,
                                   &kTStart,
                                   &kAspect,
                                   &kHisJsonSavePath,
                                   &kHisJsonNum,
                                   &kSiJson,
                                   &kStaJson,
                                   &kSpeedDraw,
                                   &kSpeedScroll,
                                   &kReload,
                                   &kEpiFront,
                                   &kEpiBlink,
                                   &kShindoMap,
                                   &kApiBase,
                                   &kSandboxBase,
                                   &kStationHost,
                                   &kPushEnabled,
                                   &kPushUrl,
                                   &kPushSandboxUrl,
                                   &kPushReload,
                                   &kAutostart,
                                   &kNotifyEnabled,
                                   &kNotifyMinScale,
                                   &kNotifyForeign,
                                   &kNotifyTsunami,
                                   &kNotifyDemo,
                                   &kNotifySound,
                                   &kNotifySoundFile,
                                   &kNotifyTsunamiGrade,
                                   &kNotifyEarlyWarning,
                                   &kNotifyEarlyWarningSound,
                                   &kNotifyEarlyWarningSoundFile,
                                   &kWarningTsunami,
                                   &kWarningEarly,
                                   &kWarningShowTest,
                                   &kStreamFile,
                                   &kStreamRate,
                                   &kStreamWidth,
                                   &kStreamHeight,
                                   &kStreamHttp,
                                   &kStreamListen,
                                   &kStreamPort,
                                   &kStreamOverlay,
                                   &kStreamKeyColor,
                                   &kStreamOverlayMarkers,
                                   &kStreamOnReport,
                                   &kStreamOnReportDemo};

// Autostart is written last of [Flag], which already stands in the file by then.
constexpr std::array kWriteOrder = {&kName,
                                    &kTop,
                                    &kLeft,
                                    &kBottom,
                                    &kRight,
                                    &kMinX,
                                    &kMinY,
                                    &kMaxX,
                                    &kMaxY,
                                    &kFlameOff,
                                    &kOntop,
                                    &kDrag,
                                    &kDemo,
                                    &kSpeedDraw,
                                    &kSpeedScroll,
                                    &kAspect,
                                    &kReload,
                                    &kHisJsonSavePath,
                                    &kHisJsonNum,
                                    &kSiJson,
                                    &kStaJson,
                                    &kEpiFront,
                                    &kEpiBlink,
                                    &kShindoMap,
                                    &kAutostart,
                                    &kNotifyEnabled,
                                    &kNotifyMinScale,
                                    &kNotifyForeign,
                                    &kNotifyTsunami,
                                    &kNotifyDemo,
                                    &kNotifySound,
                                    &kNotifySoundFile,
                                    &kNotifyTsunamiGrade,
                                    &kNotifyEarlyWarning,
                                    &kNotifyEarlyWarningSound,
                                    &kNotifyEarlyWarningSoundFile,
                                    &kWarningTsunami,
                                    &kWarningEarly,
                                    &kWarningShowTest,
                                    &kStreamFile,
                                    &kStreamRate,
                                    &kStreamWidth,
                                    &kStreamHeight,
                                    &kStreamHttp,
                                    &kStreamListen,
                                    &kStreamPort,
                                    &kStreamOverlay,
                                    &kStreamKeyColor,
                                    &kStreamOverlayMarkers,
                                    &kStreamOnReport,
                                    &kStreamOnReportDemo};

int Limited(const SettingKey& key, int value) {
  switch (key.limit) {
    case Limit::kNone:
      return value;
    case Limit::kFlag:
      return value == 1 ? 1 : 0;
    case Limit::kRangeOrZero:
      return value < key.low || value > key.high ? 0 : value;
    case Limit::kClamp:
      return value < key.low ? key.low : value > key.high ? key.high : value;
  }
  return value;
}

// No desktop reaches this far, nor is a window this large: such values are damage. Keeping
// them out also leaves room for the sums the window's placement makes, so none overflows.
constexpr int kPositionLimit = 100000;
constexpr int kSizeLimit = 16384;

// The [Position] rectangle with its corner within reach of the sums and a usable size: a
// rectangle with no area or an absurd one gets the default 640 × 480 at its corner.
void LimitPosition(AppSettings& settings) {
  const long long width = static_cast<long long>(settings.Right) - settings.Left;
  const long long height = static_cast<long long>(settings.Bottom) - settings.Top;
  settings.Left = std::clamp(settings.Left, -kPositionLimit, kPositionLimit);
  settings.Top = std::clamp(settings.Top, -kPositionLimit, kPositionLimit);
  const bool usable = width > 0 && width <= kSizeLimit && height > 0 && height <= kSizeLimit;
  settings.Right = settings.Left + (usable ? static_cast<int>(width) : 640);
  settings.Bottom = settings.Top + (usable ? static_cast<int>(height) : 480);
}

void Read(const ProfileFile& file, const SettingKey& key, AppSettings& settings) {
  if (key.number) {
    int& field = settings.*key.number;
    field = Limited(key, file.GetPrivateProfileInt(key.section, key.key, field));
  } else {
    std::u16string& field = settings.*key.text;
    field = file.GetPrivateProfileString(key.section, key.key, field);
  }
}

void Write(ProfileFile& file, const SettingKey& key, const AppSettings& settings) {
  if (key.number) {
    file.WritePrivateProfileInt(key.section, key.key, settings.*key.number);
  } else {
    file.WritePrivateProfileString(key.section, key.key, settings.*key.text);
  }
}

}  // namespace

COLORREF StreamKeyColour(const std::u16string& text) {
  constexpr COLORREF kGreen = MakeColorRef(0, 255, 0);
  if (text.size() != 7 || text[0] != u'#') return kGreen;
  int value = 0;
  for (std::size_t i = 1; i < text.size(); ++i) {
    const int digit = HexDigitValue(text[i]);
    if (digit < 0) return kGreen;
    value = value * 16 + digit;
  }
  return MakeColorRef((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

Rect DefaultWindowRect(const Rect& workArea, int frameWidth, int frameHeight) {
  // The picture is 16:9: a client area of that shape shows it undistorted. A margin is left
  // around the window; widths are multiples of 16, so that the height is exact.
  constexpr int kMargin = 32;
  constexpr int kWidest = 960;
  constexpr int kNarrowest = 320;
  const int roomWidth = workArea.Width() - frameWidth - 2 * kMargin;
  const int roomHeight = workArea.Height() - frameHeight - 2 * kMargin;
  int clientWidth = std::min({kWidest, roomWidth, roomHeight * 16 / 9}) / 16 * 16;
  clientWidth = std::max(clientWidth, kNarrowest);
  const int width = clientWidth + frameWidth;
  const int height = clientWidth * 9 / 16 + frameHeight;
  const int left = (workArea.Width() - width) / 2;
  const int top = (workArea.Height() - height) / 2;
  return {left, top, left + width, top + height};
}

void ApplyDefaultPosition(AppSettings& settings, const Rect& workArea) {
  const Rect rect = DefaultWindowRect(workArea, 0, 0);
  settings.Top = rect.top;
  settings.Left = rect.left;
  settings.Bottom = rect.bottom;
  settings.Right = rect.right;
}

bool HasStoredPosition(const ProfileFile& file) {
  // A key that is missing (or empty) reads as whichever default it is given.
  return std::any_of(kPositionKeys.begin(), kPositionKeys.end(), [&](const SettingKey* key) {
    return file.GetPrivateProfileInt(key->section, key->key, INT_MIN) != INT_MIN ||
           file.GetPrivateProfileInt(key->section, key->key, INT_MAX) != INT_MAX;
  });
}

void ReadThemeName(const ProfileFile& file, AppSettings& settings) {
  Read(file, kName, settings);
}

void ReadAppSettings(const ProfileFile& file, AppSettings& settings) {
  for (const SettingKey* key : kReadOrder) {
    Read(file, *key, settings);
  }
  LimitPosition(settings);
}

void WriteAppSettings(ProfileFile& file, const AppSettings& settings, const Rect& windowRect) {
  AppSettings written = settings;
  written.Top = windowRect.top;
  written.Left = windowRect.left;
  written.Bottom = windowRect.bottom;
  written.Right = windowRect.right;
  for (const SettingKey* key : kWriteOrder) {
    Write(file, *key, written);
  }
}

}  // namespace hw
