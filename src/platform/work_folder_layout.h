#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "platform/file_system.h"

namespace hw {

// One theme's files: the folder of that name in the user's working folder, then the one in the
// installed runtime folder. A file the user added to or changed in the theme wins; every other
// file comes from the package, so a newer package's pictures reach the user.
struct ThemeFiles {
  std::u16string user;     // the user's theme folder (it need not exist)
  std::u16string shipped;  // the shipped theme folder; empty when the program ships none

  // `relative` (a path inside the theme, such as "\Waku\Shingen.bmp"), found whatever the
  // letter case of its names: the user's copy when it can be read, else the shipped one; the
  // path in the user's folder when neither is there.
  std::u16string Find(std::u16string_view relative) const {
    std::u16string own = FindIgnoringCase(user, relative);
    if (shipped.empty() || CanOpenForReading(own)) return own;
    std::u16string packaged = FindIgnoringCase(shipped, relative);
    return CanOpenForReading(packaged) ? packaged : own;
  }
};

// The program's working folder and where everything lives in it. Every path into the folder
// is built here, as the program's path text ("\" separators, which the file functions turn
// into native paths), so no caller joins folder names by hand.
//
// Two folders make it up: the working folder (`root`), which holds what the user owns and is
// the only one the program writes to, and the installed runtime folder (`shipped`), read-only,
// with the themes, reference files, demo reports, chime and guides the package ships. A file
// that the package ships is read from the working folder when the user has a copy of it there
// (one they changed or added), else from the runtime folder. Without a runtime folder
// everything is read from the working folder.
class WorkFolderLayout {
 public:
  WorkFolderLayout() = default;
  explicit WorkFolderLayout(std::u16string root, std::u16string shipped = {})
      : root_(std::move(root)), shipped_(std::move(shipped)) {}

  const std::u16string& root() const { return root_; }
  void SetRoot(std::u16string root) { root_ = std::move(root); }
  const std::u16string& shipped() const { return shipped_; }
  void SetShipped(std::u16string shipped) { shipped_ = std::move(shipped); }

  // What the user owns, written by the program: the settings file "Heronwatch.ini", "Storage\",
  // "Eventlog\" with the event log, and "Setting\" for the refreshed station list.
  std::u16string SettingsFile() const { return Join(u"Heronwatch.ini"); }
  std::u16string StorageFolder() const { return Join(u"Storage"); }
  std::u16string EventLogFolder() const { return Join(u"Eventlog"); }
  std::u16string EventLogFile() const { return Join(u"Eventlog\\event.log"); }
  std::u16string SettingFolder() const { return Join(u"Setting"); }
  // Where the station list refresh writes "Setting\Stations.ini".
  std::u16string StationsFile() const { return Join(u"Setting\\Stations.ini"); }
  // The copy of the last live report list, composed at the next start until the service
  // answers.
  std::u16string LastKnownFile() const { return Join(u"Storage\\last.json"); }

  // "Theme\" in the working folder and in the runtime folder (empty without one), with their
  // trailing separators: the folders of the theme folders.
  std::u16string ThemesFolder() const { return Join(u"Theme\\"); }
  std::u16string ShippedThemesFolder() const {
    return shipped_.empty() ? std::u16string() : shipped_ + u"\\Theme\\";
  }
  // The user's folder of one theme, and all of that theme's files.
  std::u16string ThemeFolder(std::u16string_view name) const {
    return ThemesFolder() + std::u16string(name);
  }
  ThemeFiles Theme(std::u16string_view name) const {
    return {ThemeFolder(name),
            shipped_.empty() ? std::u16string() : ShippedThemesFolder() + std::u16string(name)};
  }
  // A theme's layout file "Setting.ini", found whatever the letter case of its name.
  std::u16string ThemeLayoutFile(std::u16string_view name) const {
    return Theme(name).Find(u"Setting.ini");
  }

  // The reference files of "Setting\", the station list as the program reads it (the refreshed
  // copy once there is one), the demo reports of "Storage\" ("demo.json", and "demo1.json" …
  // "demo4.json" for index 1 … 4 of the rotating demo, and "demo_warnings.json", the warnings
  // the rotating demo plays), the chime played with a notification and the sound of an early
  // warning when the user chose no sound file of their own: the user's copies where they have
  // them, else the shipped ones.
  std::u16string AreaInfoFile() const { return Shipped(u"Setting\\AreaInfo.ini"); }
  std::u16string LandAreaFile() const { return Shipped(u"Setting\\LandArea.ini"); }
  std::u16string LoadedStationsFile() const { return Shipped(u"Setting\\Stations.ini"); }
  std::u16string DemoFile() const { return Shipped(u"Storage\\demo.json"); }
  std::u16string RotatingDemoFile(int index) const {
    return Shipped(u"Storage\\demo" + std::u16string(1, static_cast<char16_t>(u'0' + index)) +
                   u".json");
  }
  std::u16string DemoWarningsFile() const { return Shipped(u"Storage\\demo_warnings.json"); }
  std::u16string NotifySoundFile() const { return Shipped(u"Sound\\notify.wav"); }
  std::u16string WarningSoundFile() const { return Shipped(u"Sound\\warning.wav"); }

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
  // A file the package ships: the user's copy when it can be read, else the shipped one (the
  // user's path when neither is there, so that messages name the place the user can fill).
  std::u16string Shipped(std::u16string_view relative) const {
    std::u16string own = Join(relative);
    if (shipped_.empty() || CanOpenForReading(own)) return own;
    std::u16string packaged = shipped_ + u"\\" + std::u16string(relative);
    return CanOpenForReading(packaged) ? packaged : own;
  }

  std::u16string root_;
  std::u16string shipped_;
};

}  // namespace hw
