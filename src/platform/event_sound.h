#pragma once

#include <functional>
#include <memory>
#include <string>

namespace hw {

// How an event sound was played, or why it was not.
enum class SoundRoute {
  kSoundService,  // the desktop's sound service, through libcanberra
  kPlayer,        // a command-line player: paplay, else aplay
  kMissing,       // the file is not there
  kNoWay,         // neither could play it
};

// Short event sounds, such as a notification's chime. Play returns at once.
class EventSound {
 public:
  virtual ~EventSound() = default;
  // Plays the sound file at `path` (a native path).
  virtual void Play(const std::string& path) = 0;
};

// Event sounds played the desktop's way, on a thread of their own: through the desktop's sound
// service (libcanberra: an event sound of the program, under the user's volume for event
// sounds), else with paplay or aplay. A sound service or player that hangs holds only that
// thread, and the program's exit waits for it at most a second. `played`, when given, is told
// each outcome, on that thread.
std::unique_ptr<EventSound> MakeDesktopEventSound(std::function<void(SoundRoute)> played = {});

}  // namespace hw
