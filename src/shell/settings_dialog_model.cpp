#include "shell/settings_dialog_model.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <system_error>

#include "platform/autostart_entry.h"

namespace hw {

namespace {

// The edits take any 32-bit integer and the dialog does not check geometry values, so sums of
// them can pass the int range; they wrap around as 32-bit integers do instead of overflowing.
int Wrapped(std::int64_t value) {
  return static_cast<int>(static_cast<std::int32_t>(value));
}

// The radio button of an aspect setting: 16:9 also stands for any unknown value.
int AspectRadio(int aspect) {
  return aspect == 1 || aspect == 2 ? aspect : 0;
}

// The intensity codes of the entries 震度1 … 震度7 of the notification list.
constexpr std::array<int, 9> kNotifyScaleCodes = {10, 20, 30, 40, 45, 50, 55, 60, 70};

NotifyChoices NotifyChoicesOf(const AppSettings& s) {
  return {.enabled = s.NotifyEnabled == 1,
          .minScale = NotifyScaleEntry(s.NotifyMinScale),
          .foreign = s.NotifyForeign == 1,
          .tsunami = s.NotifyTsunami == 1,
          .sound = s.NotifySound == 1};
}

}  // namespace

StreamChoices StreamChoicesOf(const AppSettings& s) {
  return {.file = s.StreamFile,
          .rate = s.StreamRate,
          .width = s.StreamWidth,
          .height = s.StreamHeight,
          .http = s.StreamHttp == 1,
          .listen = s.StreamListen,
          .port = s.StreamPort,
          .overlay = s.StreamOverlay == 1,
          .keyColor = s.StreamKeyColor,
          .overlayMarkers = s.StreamOverlayMarkers == 1,
          .onReport = s.StreamOnReport,
          .onReportDemo = s.StreamOnReportDemo == 1};
}

namespace {

char16_t FoldCase(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

}  // namespace

SettingsDialogChoices SettingsDialogModel::Fill(int themeEntry) {
  AppSettings& s = link_.Settings();
  snapshot_.Left = s.Left;
  snapshot_.Top = s.Top;
  snapshot_.Right = s.Right;
  snapshot_.Bottom = s.Bottom;
  GeometryFieldsFromPosition();
  fields_.period = s.Reload;
  fields_.scroll = s.SpeedScroll;

  snapshot_.themeEntry = themeEntry;
  snapshot_.Aspect = s.Aspect;
  snapshot_.StaJson = s.StaJson;
  snapshot_.SiJson = s.SiJson;
  snapshot_.EpiFront = s.EpiFront;
  snapshot_.EpiBlink = s.EpiBlink;
  snapshot_.Autostart = s.Autostart;
  snapshot_.notify = NotifyChoicesOf(s);
  snapshot_.stream = StreamChoicesOf(s);
  if (s.EpiFront == 0) s.EpiBlink = 0;

  SettingsDialogChoices choices = SnapshotChoices();
  choices.epiBlink = s.EpiBlink == 1;
  return choices;
}

SettingsDialogChoices SettingsDialogModel::SnapshotChoices() const {
  const AppSettings& s = link_.Settings();
  return {.aspect = AspectRadio(snapshot_.Aspect),
          .speedDraw = s.SpeedDraw,
          .shindoMap = s.ShindoMap,
          .themeEntry = snapshot_.themeEntry,
          .epiFront = snapshot_.EpiFront == 1,
          .epiBlink = snapshot_.EpiBlink == 1,
          .staJson = snapshot_.StaJson == 1,
          .siJson = snapshot_.SiJson == 1,
          .autostart = snapshot_.Autostart == 1,
          .notify = snapshot_.notify,
          .stream = snapshot_.stream};
}

void SettingsDialogModel::RestoreSnapshotPosition() {
  AppSettings& s = link_.Settings();
  s.Left = snapshot_.Left;
  s.Top = snapshot_.Top;
  s.Right = snapshot_.Right;
  s.Bottom = snapshot_.Bottom;
  GeometryFieldsFromPosition();
}

void SettingsDialogModel::StoreGeometry() {
  AppSettings& s = link_.Settings();
  s.Left = fields_.x;
  s.Top = fields_.y;
  s.Right = Wrapped(std::int64_t{fields_.x} + fields_.width + link_.FrameExtraWidth());
  s.Bottom = Wrapped(std::int64_t{fields_.y} + fields_.height + link_.FrameExtraHeight());
  RememberPosition();
  link_.ApplyWindowGeometry();
}

void SettingsDialogModel::FitHeightToAspect(int aspect) {
  // Width to height of the part of the picture each aspect shows.
  const int across = aspect == 1 ? 4 : 16;
  const int down = aspect == 1 ? 3 : aspect == 2 ? 10 : 9;
  fields_.height = Wrapped((std::int64_t{fields_.width} * down + across / 2) / across);
}

bool SettingsDialogModel::FollowPosition() {
  const AppSettings& s = link_.Settings();
  if (known_ == Rect{s.Left, s.Top, s.Right, s.Bottom}) return false;
  GeometryFieldsFromPosition();
  return true;
}

void SettingsDialogModel::RememberPosition() {
  const AppSettings& s = link_.Settings();
  known_ = {s.Left, s.Top, s.Right, s.Bottom};
}

void SettingsDialogModel::StepGeometryField(GeometryField field, int delta) {
  int* value = nullptr;
  switch (field) {
    case GeometryField::X:
      value = &fields_.x;
      break;
    case GeometryField::Y:
      value = &fields_.y;
      break;
    case GeometryField::Width:
      value = &fields_.width;
      break;
    case GeometryField::Height:
      value = &fields_.height;
      break;
    case GeometryField::None:
      return;
  }
  *value = Wrapped(std::int64_t{*value} + delta);
}

void SettingsDialogModel::ForbidBlink() {
  link_.Settings().EpiBlink = 0;
}

SettingsDialogChoices SettingsDialogModel::Revert() {
  AppSettings& s = link_.Settings();
  s.Aspect = snapshot_.Aspect;
  RestoreSnapshotPosition();
  fields_.period = s.Reload;
  fields_.scroll = s.SpeedScroll;
  return SnapshotChoices();
}

SettingsDialogChoices SettingsDialogModel::InitialValues() {
  RestoreSnapshotPosition();
  fields_.period = 2;
  fields_.scroll = 3;
  return {.aspect = 0,
          .speedDraw = 4,
          .shindoMap = 0,
          .themeEntry = snapshot_.themeEntry,
          .epiFront = true,
          .epiBlink = true,
          .staJson = false,
          .siJson = false,
          .autostart = false,
          .notify = NotifyChoicesOf(AppSettings{}),
          .stream = StreamChoicesOf(AppSettings{})};
}

void SettingsDialogModel::Apply(const SettingsDialogChoices& choices,
                                std::u16string_view themeName) {
  AppSettings& s = link_.Settings();
  s.Aspect = choices.aspect;
  s.Reload = std::clamp(fields_.period, 1, 180);
  link_.FetchAtNextSecond();
  s.SpeedScroll = std::clamp(fields_.scroll, 1, 10);
  if (choices.speedDraw >= 0) s.SpeedDraw = choices.speedDraw;
  if (choices.shindoMap >= 0) s.ShindoMap = choices.shindoMap;
  if (choices.themeEntry >= 0) s.Name = themeName;
  s.EpiFront = choices.epiFront ? 1 : 0;
  s.EpiBlink = choices.epiBlink ? 1 : 0;
  s.StaJson = choices.staJson ? 1 : 0;
  s.SiJson = choices.siJson ? 1 : 0;
  s.NotifyEnabled = choices.notify.enabled ? 1 : 0;
  if (choices.notify.minScale >= 0 &&
      choices.notify.minScale < static_cast<int>(kNotifyScaleCodes.size())) {
    s.NotifyMinScale = kNotifyScaleCodes[static_cast<std::size_t>(choices.notify.minScale)];
  }
  s.NotifyForeign = choices.notify.foreign ? 1 : 0;
  s.NotifyTsunami = choices.notify.tsunami ? 1 : 0;
  s.NotifySound = choices.notify.sound ? 1 : 0;
  s.Autostart = choices.autostart ? 1 : 0;
  const StreamChoices& stream = choices.stream;
  s.StreamFile = stream.file;
  s.StreamRate = std::clamp(stream.rate, 1, 10);
  s.StreamWidth = std::clamp(stream.width, 16, 3840);
  s.StreamHeight = std::clamp(stream.height, 16, 2160);
  s.StreamHttp = stream.http ? 1 : 0;
  s.StreamListen = stream.listen.empty() ? AppSettings{}.StreamListen : stream.listen;
  s.StreamPort = std::clamp(stream.port, 1, 65535);
  s.StreamOverlay = stream.overlay ? 1 : 0;
  s.StreamKeyColor = stream.keyColor;
  s.StreamOverlayMarkers = stream.overlayMarkers ? 1 : 0;
  s.StreamOnReport = stream.onReport;
  s.StreamOnReportDemo = stream.onReportDemo ? 1 : 0;
}

bool SettingsDialogModel::ApplyAutostart(const std::filesystem::path& program, std::string& error) {
  AppSettings& s = link_.Settings();
  const bool on = s.Autostart == 1;
  if (!on && snapshot_.Autostart != 1) return true;
  if (SetAutostart(on, program, error)) return true;
  std::error_code ec;
  s.Autostart = std::filesystem::is_regular_file(AutostartEntryPath(), ec) ? 1 : 0;
  return false;
}

void SettingsDialogModel::GeometryFieldsFromPosition() {
  const AppSettings& s = link_.Settings();
  RememberPosition();
  fields_.x = s.Left;
  fields_.y = s.Top;
  fields_.width = Wrapped(std::int64_t{s.Right} - link_.FrameExtraWidth() - s.Left);
  fields_.height = Wrapped(std::int64_t{s.Bottom} - link_.FrameExtraHeight() - s.Top);
}

int NotifyScaleEntry(int minScale) {
  const auto* const found =
      std::lower_bound(kNotifyScaleCodes.begin(), kNotifyScaleCodes.end(), minScale);
  if (found == kNotifyScaleCodes.end()) return static_cast<int>(kNotifyScaleCodes.size()) - 1;
  return static_cast<int>(found - kNotifyScaleCodes.begin());
}

std::vector<std::u16string> SortedThemeNames(const ThemeList& themes) {
  std::vector<std::u16string> names;
  names.reserve(static_cast<std::size_t>(themes.count));
  for (int i = 0; i < themes.count; ++i) {
    names.emplace_back(themes.Name(i));
  }
  std::sort(names.begin(), names.end(), [](const std::u16string& a, const std::u16string& b) {
    const auto folded = [](char16_t x, char16_t y) { return FoldCase(x) < FoldCase(y); };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), folded)) return true;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), folded)) return false;
    return a < b;
  });
  return names;
}

int PreselectedThemeEntry(const std::vector<std::u16string>& entries, std::u16string_view name) {
  const auto found = std::find(entries.begin(), entries.end(), name);
  if (found != entries.end()) return static_cast<int>(found - entries.begin());
  return entries.empty() ? -1 : 0;
}

}  // namespace hw
