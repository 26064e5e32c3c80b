#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/profile_file.h"

// Any bytes parse; a written key reads back, and after a save-and-reload too when the file is
// one that would be saved at all.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  hw::ProfileFile profile = hw::ProfileFile::Parse(bytes);
  (void)profile.GetPrivateProfileInt(u"Setting", u"Volume", 0);
  (void)profile.GetPrivateProfileString(u"Theme", u"Name", u"default");
  profile.WritePrivateProfileInt(u"Setting", u"Volume", static_cast<int>(size) - 100);
  if (profile.GetPrivateProfileInt(u"setting", u"VOLUME", 0) != static_cast<int>(size) - 100)
    std::abort();
  if (!profile.KeepReason().empty()) return 0;
  const hw::ProfileFile reloaded = hw::ProfileFile::Parse(profile.Serialize());
  if (reloaded.GetPrivateProfileInt(u"SETTING", u"volume", 0) != static_cast<int>(size) - 100)
    std::abort();
  return 0;
}
