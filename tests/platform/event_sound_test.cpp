#include "platform/event_sound.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "fakes/scoped_environment.h"
#include "fakes/temp_folder.h"

namespace hw {
namespace {

// A tenth of a second of silence: 16-bit mono PCM at 8 kHz.
std::string SilentWave() {
  const auto le = [](std::uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i)
      out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
  };
  const std::uint32_t dataBytes = 1600;
  return "RIFF" + le(36 + dataBytes, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) +
         le(8000, 4) + le(16000, 4) + le(2, 2) + le(16, 2) + "data" + le(dataBytes, 4) +
         std::string(dataBytes, '\0');
}

// A player stand-in that writes its name and arguments to `record` and exits with `status`.
void WritePlayer(const test::TempFolder& folder, const std::string& name, int status) {
  folder.Write("bin/" + name, "#!/bin/sh\necho " + name + " \"$@\" >> \"" +
                                  (folder.path() / "record").string() + "\"\nexit " +
                                  std::to_string(status) + "\n");
  ::chmod((folder.path() / "bin" / name).c_str(), 0755);
}

TEST(DesktopEventSound, PlaysThroughTheSoundServiceElseAPlayer) {
  struct Case {
    const char* name;
    const char* driver;  // CANBERRA_DRIVER: "alsa" on a null ALSA device, or one that is none
    std::vector<std::pair<std::string, int>> players;  // stand-ins and their exit status
    bool fileThere;
    SoundRoute route;
    std::vector<std::string> record;  // the players run, {path} standing for the file
  };
  const Case cases[] = {
      {"the sound service", "alsa", {{"paplay", 0}}, true, SoundRoute::kSoundService, {}},
      {"no sound service: paplay, as an event sound",
       "none",
       {{"paplay", 0}, {"aplay", 0}},
       true,
       SoundRoute::kPlayer,
       {"paplay --client-name=Heronwatch --property=media.role=event {path}"}},
      {"paplay without a sound server: aplay",
       "none",
       {{"paplay", 1}, {"aplay", 0}},
       true,
       SoundRoute::kPlayer,
       {"paplay --client-name=Heronwatch --property=media.role=event {path}", "aplay -q {path}"}},
      {"no player", "none", {}, true, SoundRoute::kNoWay, {}},
      {"no file", "alsa", {{"paplay", 0}}, false, SoundRoute::kMissing, {}},
  };
  for (const Case& c : cases) {
    test::TempFolder folder;
    // ALSA's default device goes nowhere, and no player outside the folder is found.
    folder.Write(".asoundrc", "pcm.!default { type null }\n");
    folder.Write("bin/.keep", "");
    for (const auto& [player, status] : c.players)
      WritePlayer(folder, player, status);
    const std::string path = (folder.path() / "chime.wav").string();
    if (c.fileThere) folder.Write("chime.wav", SilentWave());
    const test::ScopedEnv home("HOME", folder.path().string());
    const test::ScopedEnv driver("CANBERRA_DRIVER", c.driver);
    const test::ScopedEnv search("PATH", (folder.path() / "bin").string());

    std::mutex mutex;
    std::condition_variable told;
    std::optional<SoundRoute> route;
    {
      const auto sound = MakeDesktopEventSound([&](SoundRoute played) {
        const std::lock_guard<std::mutex> lock(mutex);
        route = played;
        told.notify_all();
      });
      sound->Play(path);
      std::unique_lock<std::mutex> lock(mutex);
      ASSERT_TRUE(told.wait_for(lock, std::chrono::seconds(30), [&] { return route.has_value(); }))
          << c.name;
    }
    EXPECT_EQ(*route, c.route) << c.name;
    std::string expected;
    for (std::string line : c.record) {
      line.replace(line.find("{path}"), 6, path);
      expected += line + "\n";
    }
    const std::string record =
        std::filesystem::exists(folder.path() / "record") ? folder.Read("record") : "";
    EXPECT_EQ(record, expected) << c.name;
  }
}

}  // namespace
}  // namespace hw
