#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <list>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "platform/posix/descriptor.h"
#include "platform/report_command.h"

namespace hw {
namespace {

using Clock = std::chrono::steady_clock;

// How long a command that was sent SIGTERM at its limit has before SIGKILL.
constexpr auto kKillGrace = std::chrono::seconds(2);
// The longest wait in poll() before a watcher looks again whether its command has exited, and
// whether the runner is being destroyed.
constexpr auto kSlice = std::chrono::milliseconds(20);
// How much of the first line of standard error is kept.
constexpr std::size_t kLineLimit = 200;
// How many reads one wake-up does, so that a command that writes without pause still lets its
// watcher keep the time limit.
constexpr int kReadsPerWake = 16;

// The first line of a stream that arrives in pieces; later bytes are read and dropped.
class FirstLine {
 public:
  void Add(std::string_view bytes) {
    if (complete_) return;
    const std::size_t end = bytes.find('\n');
    const std::string_view piece = bytes.substr(0, end);
    const std::size_t room = kLineLimit - line_.size();
    line_.append(piece.substr(0, room));
    cut_ = piece.size() > room;
    complete_ = cut_ || end != std::string_view::npos;
  }

  bool complete() const { return complete_; }

  // The line without a carriage return at its end and, when it was cut at the limit, without
  // the incomplete UTF-8 sequence the cut may have left at its end.
  std::string Take() {
    if (cut_) DropIncompleteSequence();
    if (!line_.empty() && line_.back() == '\r') line_.pop_back();
    return std::move(line_);
  }

 private:
  void DropIncompleteSequence() {
    std::size_t start = line_.size();
    while (start > 0 && line_.size() - start < 4 &&
           (static_cast<unsigned char>(line_[start - 1]) & 0xC0) == 0x80) {
      --start;
    }
    if (start == 0) return;
    const auto lead = static_cast<unsigned char>(line_[start - 1]);
    std::size_t length = 1;
    if ((lead & 0xE0) == 0xC0) {
      length = 2;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
    }
    if (line_.size() - (start - 1) < length) line_.resize(start - 1);
  }

  std::string line_;
  bool complete_ = false;
  bool cut_ = false;
};

enum class Stream { kOpen, kClosed };

// Reads what the non-blocking `fd` holds now, at most `reads` times.
Stream Drain(int fd, FirstLine& line, int reads) {
  char chunk[4096];
  for (int i = 0; i < reads; ++i) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got > 0) {
      line.Add(std::string_view(chunk, static_cast<std::size_t>(got)));
    } else if (got < 0 && errno == EINTR) {
      continue;
    } else {
      return got < 0 && errno == EAGAIN ? Stream::kOpen : Stream::kClosed;
    }
  }
  return Stream::kOpen;
}

// A started command: its process id (also its process group's) and the reading end of its
// standard error; or the error number of the failure.
struct Spawned {
  pid_t pid = -1;
  int errors = -1;
  int error = 0;
};

Spawned Failed(int error) {
  Spawned spawned;
  spawned.error = error;
  return spawned;
}

// Starts the command in a process group of its own, with its input from /dev/null, its output
// thrown away and its standard error into a pipe; it gets no other descriptor of the program,
// and the default disposition and an empty mask for every signal, whatever the calling thread
// has blocked or ignored.
Spawned Spawn(std::vector<std::string>& arguments) {
  int ends[2] = {-1, -1};
  if (::pipe2(ends, O_CLOEXEC) != 0) return Failed(errno);
  posix::Descriptor readEnd(ends[0]);
  const posix::Descriptor writeEnd(ends[1]);
  // Only the runner's end is non-blocking: the flag belongs to that end alone.
  if (::fcntl(readEnd.get(), F_SETFL, ::fcntl(readEnd.get(), F_GETFL) | O_NONBLOCK) != 0) {
    return Failed(errno);
  }

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  // The pipe goes to 2 first, in case it was given 0 or 1 because those were closed.
  posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), 2);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
  // Descriptors that other code opened without close-on-exec stay out of the command too.
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#endif

  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  posix_spawnattr_setpgroup(&attributes, 0);
  sigset_t signals;
  sigemptyset(&signals);
  posix_spawnattr_setsigmask(&attributes, &signals);
  sigfillset(&signals);
  posix_spawnattr_setsigdefault(&attributes, &signals);

  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (std::string& argument : arguments) {
    argv.push_back(argument.data());
  }
  argv.push_back(nullptr);
  Spawned spawned;
  spawned.error = posix_spawnp(&spawned.pid, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned.error == 0) spawned.errors = readEnd.Release();
  return spawned;
}

// Waits for `pid` to end, however long it takes; true when it was reaped.
bool WaitFor(pid_t pid, int& status) {
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

// Sends `signal` to the command's process group, and to the command itself should it have
// moved to another group. Only for a command not yet reaped, whose id cannot be another's.
void SignalCommand(pid_t pid, int signal) {
  ::killpg(pid, signal);
  if (::getpgid(pid) != pid) ::kill(pid, signal);
}

class PosixCommandRunner final : public CommandRunner {
 public:
  PosixCommandRunner(std::chrono::milliseconds limit, int maxRunning)
      : limit_(limit), maxRunning_(maxRunning) {}

  ~PosixCommandRunner() override {
    stopping_ = true;
    std::list<Watcher> all;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      all.splice(all.end(), watchers_);
    }
    for (Watcher& watcher : all) {
      watcher.thread.join();
    }
  }

  PosixCommandRunner(const PosixCommandRunner&) = delete;
  PosixCommandRunner& operator=(const PosixCommandRunner&) = delete;

  void Start(std::vector<std::string> arguments, std::string tag) override {
    JoinEnded();
    CommandOutcome outcome;
    outcome.tag = std::move(tag);
    if (arguments.empty()) {
      outcome.startError = "no program given";
      Finish(std::move(outcome));
      return;
    }
    outcome.program = arguments.front();
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (running_ >= maxRunning_) {
        outcome.startError = "too many commands running";
        finished_.push_back(std::move(outcome));
        return;
      }
      ++running_;
    }
    const Spawned spawned = Spawn(arguments);
    const std::lock_guard<std::mutex> lock(mutex_);
    if (spawned.error != 0) {
      --running_;
      outcome.startError = std::strerror(spawned.error);
      finished_.push_back(std::move(outcome));
      return;
    }
    outcome.started = true;
    // The lambda takes the outcome; these are kept for a thread that cannot be made.
    std::string keptTag = outcome.tag;
    std::string keptProgram = outcome.program;
    // The watcher's thread is made under the lock, so that it cannot mark itself ended before
    // its std::thread is in the list.
    Watcher& watcher = watchers_.emplace_back();
    try {
      watcher.thread = std::thread([this, &watcher, pid = spawned.pid, errors = spawned.errors,
                                    outcome = std::move(outcome)]() mutable {
        Watch(pid, errors, std::move(outcome), watcher);
      });
    } catch (const std::system_error& failure) {
      watchers_.pop_back();
      SignalCommand(spawned.pid, SIGKILL);
      int status = 0;
      WaitFor(spawned.pid, status);
      ::close(spawned.errors);
      --running_;
      CommandOutcome lost;
      lost.tag = std::move(keptTag);
      lost.program = std::move(keptProgram);
      lost.startError = std::string("no thread to watch it: ") + failure.what();
      finished_.push_back(std::move(lost));
    }
  }

  std::vector<CommandOutcome> TakeFinished() override {
    JoinEnded();
    const std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(finished_, {});
  }

 private:
  struct Watcher {
    std::thread thread;
    bool ended = false;  // under mutex_: the thread has nothing left to do but return
  };

  void Finish(CommandOutcome outcome) {
    const std::lock_guard<std::mutex> lock(mutex_);
    finished_.push_back(std::move(outcome));
  }

  // Joins the threads of the commands that have ended.
  void JoinEnded() {
    std::list<Watcher> ended;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      for (auto it = watchers_.begin(); it != watchers_.end();) {
        const auto next = std::next(it);
        if (it->ended) ended.splice(ended.end(), watchers_, it);
        it = next;
      }
    }
    for (Watcher& watcher : ended) {
      watcher.thread.join();
    }
  }

  // Runs on the command's own thread: reads its standard error, ends it at the limit and
  // waits for its exit.
  void Watch(pid_t pid, int errorFd, CommandOutcome outcome, Watcher& self) {
    const posix::Descriptor errors(errorFd);
    FirstLine line;
    Stream stream = Stream::kOpen;
    const Clock::time_point termAt = Clock::now() + limit_;
    Clock::time_point killAt{};
    bool killed = false;
    bool reaped = false;
    int status = 0;
    while (true) {
      if (stopping_) {
        // The runner is going away: the command goes with it, unreported.
        SignalCommand(pid, SIGKILL);
        WaitFor(pid, status);
        break;
      }
      const pid_t ended = ::waitpid(pid, &status, WNOHANG);
      if (ended == pid) {
        reaped = true;
        break;
      }
      // Someone else reaped it (SIGCHLD ignored): its end is not known.
      if (ended < 0 && errno != EINTR) break;

      const Clock::time_point now = Clock::now();
      if (!outcome.timedOut && now >= termAt) {
        outcome.timedOut = true;
        SignalCommand(pid, SIGTERM);
        killAt = now + kKillGrace;
      } else if (outcome.timedOut && !killed && now >= killAt) {
        killed = true;
        SignalCommand(pid, SIGKILL);
      }
      const Clock::time_point next = !outcome.timedOut ? termAt : killed ? now + kSlice : killAt;
      const auto wait = std::clamp(std::chrono::ceil<std::chrono::milliseconds>(next - now),
                                   std::chrono::milliseconds(0), kSlice);
      const auto waitMs = static_cast<int>(wait.count());
      if (stream == Stream::kOpen) {
        pollfd ready{errors.get(), POLLIN, 0};
        if (::poll(&ready, 1, waitMs) > 0) stream = Drain(errors.get(), line, kReadsPerWake);
      } else {
        ::poll(nullptr, 0, waitMs);
      }
    }
    // What it wrote just before its exit may still wait in the pipe; a process it left
    // behind with the pipe open is not waited for.
    if (reaped && stream == Stream::kOpen && !line.complete()) {
      Drain(errors.get(), line, kReadsPerWake);
    }
    if (reaped && WIFEXITED(status)) outcome.exitStatus = WEXITSTATUS(status);
    if (reaped && WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
    outcome.firstErrorLine = line.Take();

    const std::lock_guard<std::mutex> lock(mutex_);
    if (!stopping_) finished_.push_back(std::move(outcome));
    --running_;
    self.ended = true;
  }

  const std::chrono::milliseconds limit_;
  const int maxRunning_;
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;
  std::list<Watcher> watchers_;           // under mutex_
  int running_ = 0;                       // under mutex_: commands started and not yet reported
  std::vector<CommandOutcome> finished_;  // under mutex_
};

}  // namespace

std::unique_ptr<CommandRunner> MakeCommandRunner(std::chrono::milliseconds limit, int maxRunning) {
  return std::make_unique<PosixCommandRunner>(limit, maxRunning);
}

}  // namespace hw
