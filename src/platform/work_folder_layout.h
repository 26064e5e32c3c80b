#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "platform/file_system.h"

namespace hw {

// The program's working folder and where everything lives in it. Every path into the folder
// is built here, as the program's path text ("\" separators, which the file functions turn
// into native paths), so no caller joins folder names by hand.
class WorkFolderLayout {
 public:
  WorkFolderLayout() = default;
  explicit WorkFolderLayout(std::u16string root) : root_(std::move(root)) {}

  const std::u16string& root() const { return root_; }
  void SetRoot(std::u16string root) { root_ = std::move(root); }

  // The settings file "Heronwatch.ini".
  std::u16string SettingsFile() const { return Join(u"Heronwatch.ini"); }

  // "Theme\": the folder of the theme folders, with its trailing separator.
  std::u16string ThemesFolder() const { return Join(u"Theme\\"); }
  std::u16string ThemeFolder(std::u16string_view name) const {
    return ThemesFolder() + std::u16string(name);
  }
  // A theme's layout file "Setting.ini", found whatever the letter case of its name.
  std::u16string ThemeLayoutFile(std::u16string_view name) const {
    return FindIgnoringCase(ThemeFolder(name), u"Setting.ini");
  }

  // "Setting\" and the three reference files in it.
  std::u16string SettingFolder() const { return Join(u"Setting"); }
  std::u16string AreaInfoFile() const { return Join(u"Setting\\AreaInfo.ini"); }
  std::u16string StationsFile() const { return Join(u"Setting\\Stations.ini"); }
  std::u16string LandAreaFile() const { return Join(u"Setting\\LandArea.ini"); }

  // "Storage\" with the demo reports: "demo.json", and "demo1.json" … "demo4.json" for
  // index 1 … 4 of the rotating demo.
  std::u16string StorageFolder() const { return Join(u"Storage"); }
  std::u16string DemoFile() const { return Join(u"Storage\\demo.json"); }
  std::u16string RotatingDemoFile(int index) const {
    return Join(u"Storage\\demo" + std::u16string(1, static_cast<char16_t>(u'0' + index)) +
                u".json");
  }

  // The copy of the last live report list, composed at the next start until the service
  // answers.
  std::u16string LastKnownFile() const { return Join(u"Storage\\last.json"); }

  // The chime played with a notification when the user chose no sound file of their own.
  std::u16string NotifySoundFile() const { return Join(u"Sound\\notify.wav"); }

  // "Eventlog\" and the event log in it.
  std::u16string EventLogFolder() const { return Join(u"Eventlog"); }
  std::u16string EventLogFile() const { return Join(u"Eventlog\\event.log"); }

  // A path from the settings file: one that begins with "." lies below the working folder,
  // any other is taken as it is.
  std::u16string UserPath(std::u16string_view setting) const {
    if (!setting.empty() && setting[0] == u'.') return Join(setting);
    return std::u16string(setting);
  }

 private:
  std::u16string Join(std::u16string_view relative) const {
    return root_ + u"\\" + std::u16string(relative);
  }

  std::u16string root_;
};

}  // namespace hw
