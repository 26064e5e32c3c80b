#pragma once

#include <filesystem>
#include <string>

namespace hw {

// The desktop entry id ("io.github.heronwatch.heronwatch"): the name of the installed .desktop
// file, of the icon and of the AppStream component, and of the autostart entry.
const char* DesktopEntryId();

// The autostart entry of the XDG autostart convention: $XDG_CONFIG_HOME/autostart/<id>.desktop,
// with ~/.config when XDG_CONFIG_HOME is unset, empty or relative.
std::filesystem::path AutostartEntryPath();

// The entry's text: a desktop entry whose Exec line starts `program`, quoted as desktop entries
// quote arguments, and whose TryExec line names it, so that the entry does nothing once the
// program is gone.
std::string AutostartEntryText(const std::filesystem::path& program);

// Writes the entry for `program` (an absolute path) when `enabled`, creating its folder, or
// removes it when not; removing an entry that is not there succeeds. Either way an entry of the
// desktop entry id earlier versions used is removed. False with the reason in
// `error` when the file cannot be written or removed, or the path is not absolute or holds a
// line break.
bool SetAutostart(bool enabled, const std::filesystem::path& program, std::string& error);

}  // namespace hw
