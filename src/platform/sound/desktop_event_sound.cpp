#include <canberra.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "platform/autostart_entry.h"
#include "platform/event_sound.h"

namespace hw {
namespace {

// How long the program's exit waits for a sound that is being played.
constexpr auto kExitWait = std::chrono::seconds(1);
// How often a player's end is looked for while it plays.
constexpr auto kPlayerPoll = std::chrono::milliseconds(20);

// What the program and its sound thread share. The thread holds it too, so that a thread
// left behind at exit never reaches freed memory.
struct Shared {
  std::mutex mutex;
  std::condition_variable wake;
  std::condition_variable ended;
  std::optional<std::string> pending;  // the next sound; a newer request replaces it
  bool stop = false;
  bool running = true;
  std::function<void(SoundRoute)> played;

  bool Stopping() {
    const std::lock_guard<std::mutex> lock(mutex);
    return stop;
  }
};

// The connection to the desktop's sound service, made when a sound is first played and made
// again after it failed (a sound server may start after the program).
class Canberra {
 public:
  Canberra() = default;
  ~Canberra() { Close(); }
  Canberra(const Canberra&) = delete;
  Canberra& operator=(const Canberra&) = delete;

  // CA_SUCCESS when the service took the sound; it plays on in the background.
  int Play(const std::string& path) {
    if (context_ == nullptr) {
      if (const int opened = Open(); opened != CA_SUCCESS) return opened;
    }
    const int result =
        ca_context_play(context_, 1, CA_PROP_MEDIA_FILENAME, path.c_str(), CA_PROP_MEDIA_ROLE,
                        "event", CA_PROP_EVENT_DESCRIPTION, "Earthquake report",
                        CA_PROP_CANBERRA_CACHE_CONTROL, "volatile", nullptr);
    if (result != CA_SUCCESS) Close();
    return result;
  }

 private:
  int Open() {
    int result = ca_context_create(&context_);
    if (result != CA_SUCCESS) {
      context_ = nullptr;
      return result;
    }
    // The sound service lists the program under its name and icon, with a volume of its own.
    result = ca_context_change_props(context_, CA_PROP_APPLICATION_NAME, "Heronwatch",
                                     CA_PROP_APPLICATION_ID, DesktopEntryId(),
                                     CA_PROP_APPLICATION_ICON_NAME, DesktopEntryId(), nullptr);
    if (result == CA_SUCCESS) result = ca_context_open(context_);
    if (result != CA_SUCCESS) Close();
    return result;
  }

  void Close() {
    if (context_ != nullptr) ca_context_destroy(context_);
    context_ = nullptr;
  }

  ca_context* context_ = nullptr;
};

enum class PlayerResult { kPlayed, kFailed, kAbsent };

// Runs a player found on PATH, its input from /dev/null, and waits for it unless the program
// is ending (the player then finishes alone).
PlayerResult RunPlayer(std::vector<std::string> arguments, Shared& shared) {
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (std::string& argument : arguments) {
    argv.push_back(argument.data());
  }
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  pid_t pid = -1;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return PlayerResult::kAbsent;
  for (;;) {
    int status = 0;
    const pid_t ended = ::waitpid(pid, &status, WNOHANG);
    if (ended == pid) {
      return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? PlayerResult::kPlayed
                                                           : PlayerResult::kFailed;
    }
    if (ended < 0) return PlayerResult::kFailed;
    if (shared.Stopping()) return PlayerResult::kPlayed;
    std::this_thread::sleep_for(kPlayerPoll);
  }
}

class SoundThread {
 public:
  explicit SoundThread(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}

  void Run() {
    for (;;) {
      std::string path;
      {
        std::unique_lock<std::mutex> lock(shared_->mutex);
        shared_->wake.wait(lock, [this] { return shared_->stop || shared_->pending; });
        if (shared_->stop) break;
        path = std::move(*shared_->pending);
        shared_->pending.reset();
      }
      const SoundRoute route = PlayOne(path);
      if (shared_->played) shared_->played(route);
    }
    canberra_.reset();
    const std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->running = false;
    shared_->ended.notify_all();
  }

 private:
  SoundRoute PlayOne(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
      std::fprintf(stderr, "heronwatch: notification sound %s not found\n", path.c_str());
      return SoundRoute::kMissing;
    }
    if (!canberra_) canberra_.emplace();
    const int result = canberra_->Play(path);
    if (result == CA_SUCCESS) return SoundRoute::kSoundService;
    if (!saidNoService_) {
      saidNoService_ = true;
      std::fprintf(stderr,
                   "heronwatch: the desktop's sound service cannot play the chime (%s); "
                   "trying paplay and aplay\n",
                   ca_strerror(result));
    }
    const std::vector<std::vector<std::string>> players = {
        {"paplay", "--client-name=Heronwatch", "--property=media.role=event", path},
        {"aplay", "-q", path}};
    for (const std::vector<std::string>& player : players) {
      if (RunPlayer(player, *shared_) == PlayerResult::kPlayed) return SoundRoute::kPlayer;
    }
    if (!saidNoPlayer_) {
      saidNoPlayer_ = true;
      std::fprintf(stderr, "heronwatch: neither paplay nor aplay could play %s\n", path.c_str());
    }
    return SoundRoute::kNoWay;
  }

  std::shared_ptr<Shared> shared_;
  std::optional<Canberra> canberra_;
  bool saidNoService_ = false;
  bool saidNoPlayer_ = false;
};

class DesktopEventSound final : public EventSound {
 public:
  explicit DesktopEventSound(std::function<void(SoundRoute)> played)
      : shared_(std::make_shared<Shared>()) {
    shared_->played = std::move(played);
    thread_ = std::thread([shared = shared_] { SoundThread(shared).Run(); });
  }

  ~DesktopEventSound() override {
    std::unique_lock<std::mutex> lock(shared_->mutex);
    shared_->stop = true;
    shared_->wake.notify_all();
    const bool ended =
        shared_->ended.wait_for(lock, kExitWait, [this] { return !shared_->running; });
    lock.unlock();
    if (ended) {
      thread_.join();
    } else {
      // A sound service that does not answer: the thread ends with the process.
      std::fprintf(stderr, "heronwatch: the sound service does not answer; not waiting for it\n");
      thread_.detach();
    }
  }

  DesktopEventSound(const DesktopEventSound&) = delete;
  DesktopEventSound& operator=(const DesktopEventSound&) = delete;

  void Play(const std::string& path) override {
    const std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->pending = path;
    shared_->wake.notify_all();
  }

 private:
  std::shared_ptr<Shared> shared_;
  std::thread thread_;
};

}  // namespace

std::unique_ptr<EventSound> MakeDesktopEventSound(std::function<void(SoundRoute)> played) {
  return std::make_unique<DesktopEventSound>(std::move(played));
}

}  // namespace hw
