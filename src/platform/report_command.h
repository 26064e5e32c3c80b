#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace hw {

// Splits a command line into arguments the way a user types them, without a shell:
// - blanks (spaces, tabs, line ends) separate arguments;
// - "double" and 'single' quotes group what lies between them into the argument, and pieces
//   written side by side join (a"b c"'d' is one argument `ab cd`); "" is an empty argument;
// - a backslash outside single quotes takes the next character as it is, blanks and quotes
//   included; inside single quotes it is an ordinary character;
// - nothing is expanded: $, `, *, ~, ; and | are ordinary characters.
// A line without arguments, an empty program name, an unterminated quote or a backslash with
// nothing after it give nullopt, with the reason in `error` when it is given.
std::optional<std::vector<std::string>> SplitCommandLine(std::string_view line,
                                                         std::string* error = nullptr);

// The values of the placeholders, such as {"id", "..."}: a name without its braces.
using PlaceholderValues = std::vector<std::pair<std::string, std::string>>;

// Replaces every {name} in every argument with its value. It runs after splitting, so a value
// with blanks or quotes stays inside its argument, and a value is inserted as it is: braces in
// a value are not replaced again. An unknown {name} stays as written.
std::vector<std::string> SubstitutePlaceholders(std::vector<std::string> arguments,
                                                const PlaceholderValues& values);

// How one command started by a CommandRunner ended, or why it did not start.
struct CommandOutcome {
  std::string tag;             // what the caller gave Start, such as a report's id
  std::string program;         // arguments[0], for the log
  bool started = false;        // false: startError says why
  std::string startError;      // no such program, too many running, ...
  bool timedOut = false;       // the runner ended it after the time limit
  int exitStatus = -1;         // its exit status when it exited, else -1
  int signal = 0;              // the signal that ended it, else 0
  std::string firstErrorLine;  // the first line of its standard error: at most 200 bytes,
                               // without the line end
};

// Runs the user's commands next to the program. A command gets no input and its output is
// thrown away; only the first line of its standard error is kept, for the log.
class CommandRunner {
 public:
  virtual ~CommandRunner() = default;
  // Starts arguments[0] (looked up in PATH unless it holds a slash) with the arguments, and
  // returns at once. A command that cannot start gives its outcome at once.
  virtual void Start(std::vector<std::string> arguments, std::string tag) = 0;
  // The outcomes of the commands that ended since the last call, in the order they ended.
  virtual std::vector<CommandOutcome> TakeFinished() = 0;
};

// A runner that ends a command (its whole process group) with SIGTERM once it has run for
// `limit`, and with SIGKILL two seconds later if it still runs. At most `maxRunning` commands
// run at once; a Start beyond that does not start it. Destroying the runner ends every command
// that still runs, with SIGKILL, and reports none of them.
std::unique_ptr<CommandRunner> MakeCommandRunner(
    std::chrono::milliseconds limit = std::chrono::seconds(30), int maxRunning = 4);

}  // namespace hw
