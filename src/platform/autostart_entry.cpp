#include "platform/autostart_entry.h"

#include <cstdlib>
#include <string_view>
#include <system_error>

#include "platform/atomic_file.h"

namespace hw {
namespace fs = std::filesystem;

namespace {

// Characters after which an Exec argument must be quoted.
constexpr std::string_view kReserved = " \t\"'\\><~|&;$*?#()`";

// One Exec argument: quoted when it holds a reserved character, with ", `, $ and \ escaped by a
// backslash inside the quotes. The key's value is itself a desktop-entry string, in which a
// backslash is written twice, and "%" starts a field code, so it is doubled.
std::string ExecArgument(std::string_view argument) {
  std::string quoted;
  const bool quote = argument.find_first_of(kReserved) != std::string_view::npos;
  for (const char c : argument) {
    if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) quoted += '\\';
    quoted += c;
  }
  if (quote) quoted = '"' + quoted + '"';
  std::string value;
  for (const char c : quoted) {
    if (c == '\\') value += '\\';
    if (c == '%') value += '%';
    value += c;
  }
  return value;
}

// A desktop-entry string value: a backslash starts an escape there, so it is written twice.
std::string StringValue(std::string_view text) {
  std::string value;
  for (const char c : text) {
    if (c == '\\') value += '\\';
    value += c;
  }
  return value;
}

}  // namespace

const char* DesktopEntryId() {
  return HW_DESKTOP_ID;
}

fs::path AutostartEntryPath() {
  fs::path config;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
    config = xdg;
  } else {
    const char* home = std::getenv("HOME");
    config = fs::path(home != nullptr && home[0] != '\0' ? home : ".") / ".config";
  }
  return config / "autostart" / (std::string(DesktopEntryId()) + ".desktop");
}

std::string AutostartEntryText(const fs::path& program) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Heronwatch\n"
         "Comment=Japanese earthquake reports on the desktop\n"
         "Exec=" +
         ExecArgument(program.string()) +
         "\n"
         // Once the program is removed, the desktop skips the entry instead of failing on it.
         "TryExec=" +
         StringValue(program.string()) +
         "\n"
         "Icon=" +
         DesktopEntryId() +
         "\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

bool SetAutostart(bool enabled, const fs::path& program, std::string& error) {
  const fs::path entry = AutostartEntryPath();
  std::error_code ec;
  // The entry earlier versions wrote under the old desktop entry id would start a second copy.
  fs::remove(entry.parent_path() / (std::string(HW_OLD_DESKTOP_ID) + ".desktop"), ec);
  if (!enabled) {
    // A folder on the way that is a file holds no entry either.
    if (fs::remove(entry, ec) || !ec || ec == std::errc::not_a_directory) return true;
    error = "cannot remove " + entry.string() + ": " + ec.message();
    return false;
  }
  const std::string path = program.string();
  if (!program.is_absolute() || path.find_first_of("\r\n") != std::string::npos) {
    error = "cannot start \"" + path + "\" at login: not an absolute path";
    return false;
  }
  fs::create_directories(entry.parent_path(), ec);
  if (ec) {
    error = "cannot create " + entry.parent_path().string() + ": " + ec.message();
    return false;
  }
  std::string reason;
  if (!WriteFileAtomically(entry.u16string(), AutostartEntryText(program), &reason)) {
    error = "cannot write " + entry.string() + ": " + reason;
    return false;
  }
  return true;
}

}  // namespace hw
