#include "platform/report_command.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "fakes/temp_folder.h"

namespace hw {
namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;

// Takes outcomes until `count` have come or ten seconds have passed.
std::vector<CommandOutcome> WaitForOutcomes(CommandRunner& runner, std::size_t count) {
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  std::vector<CommandOutcome> outcomes;
  while (outcomes.size() < count && std::chrono::steady_clock::now() < deadline) {
    for (CommandOutcome& outcome : runner.TakeFinished())
      outcomes.push_back(std::move(outcome));
    if (outcomes.size() < count) std::this_thread::sleep_for(5ms);
  }
  return outcomes;
}

// Whether the process `pid` has ended: it is gone, or a zombie nobody has reaped yet.
bool Ended(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text;
  if (!std::getline(stat, text)) return true;
  const std::size_t paren = text.rfind(')');
  return paren != std::string::npos && text.substr(paren + 2, 1) == "Z";
}

// Polls `done` until it holds or five seconds have passed.
template <typename Condition>
bool WaitUntil(Condition done) {
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

TEST(SplitCommandLine, SplitsAsTypedWithoutExpandingAnything) {
  struct Case {
    const char* line;
    Strings arguments;
  };
  const Case cases[] = {
      {"obs-cli scene switch Alert", {"obs-cli", "scene", "switch", "Alert"}},
      {" \ta \t b\r\n", {"a", "b"}},
      {R"(say "two words" 'and more')", {"say", "two words", "and more"}},
      {R"(join a"b c"'d')", {"join", "ab cd"}},
      {R"(empty "" '')", {"empty", "", ""}},
      {R"(say 'it\ "is" $HOME')", {"say", R"(it\ "is" $HOME)"}},
      {R"(say "it's \"so\" \\ $HOME")", {"say", R"(it's "so" \ $HOME)"}},
      {R"(say a\ b \'c \")", {"say", "a b", "'c", "\""}},
      {"run $HOME;rm -rf *|tee `id`", {"run", "$HOME;rm", "-rf", "*|tee", "`id`"}},
      {"notify 震度5強", {"notify", "震度5強"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    std::string error;
    EXPECT_EQ(SplitCommandLine(c.line, &error), c.arguments);
    EXPECT_EQ(error, "");
  }
}

TEST(SplitCommandLine, RefusesALineThatCannotRunAndSaysWhy) {
  for (const char* line :
       {"", " \t ", R"(say "open)", "say 'open", R"(say "end\")", R"(say \)", R"("" argument)"}) {
    SCOPED_TRACE(line);
    std::string error;
    EXPECT_EQ(SplitCommandLine(line, &error), std::nullopt);
    EXPECT_NE(error, "");
    EXPECT_EQ(SplitCommandLine(line), std::nullopt);
  }
}

TEST(SubstitutePlaceholders, ReplacesKnownNamesInsideTheirArgument) {
  const PlaceholderValues values = {
      {"id", "5a1"}, {"title", "M5 \"Tokyo\"; rm -rf ~"}, {"empty", ""}, {"raw", "{id}"}};
  struct Case {
    Strings arguments;
    Strings expected;
  };
  const Case cases[] = {
      {{"scene", "{title}"}, {"scene", "M5 \"Tokyo\"; rm -rf ~"}},
      {{"--id={id}/{id}", "{id}"}, {"--id=5a1/5a1", "5a1"}},
      {{"{unknown}", "{id", "id}", "{}", "{ id}"}, {"{unknown}", "{id", "id}", "{}", "{ id}"}},
      {{"{{id}}", "{x{id}"}, {"{5a1}", "{x5a1"}},
      {{"{raw}"}, {"{id}"}},
      {{"a{empty}b", "{empty}"}, {"ab", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.front());
    EXPECT_EQ(SubstitutePlaceholders(c.arguments, values), c.expected);
  }
}

TEST(CommandRunner, ReportsTheExitStatusAndTheFirstLineOfStandardError) {
  struct Case {
    std::string written;
    std::string firstLine;
  };
  const std::string x199(199, 'x');
  const Case cases[] = {
      {"boom\nsecond", "boom"},
      {"no line end", "no line end"},
      {"carriage return\r\nsecond", "carriage return"},
      {"", ""},
      {std::string(300, 'y') + "\nsecond", std::string(200, 'y')},
      // A character the limit would cut in two is left out whole.
      {x199 + "\xC3\xA9" + "after", x199},
      {x199 + "\n", x199},
      // More than a pipe holds: the command must not block on it until its limit.
      {"first\n" + std::string(100000, 'z'), "first"},
  };
  const auto runner = MakeCommandRunner(10s, static_cast<int>(std::size(cases)));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    runner->Start({"/bin/sh", "-c", R"(printf %s "$1" >&2; exit 3)", "sh", cases[i].written},
                  std::to_string(i));
  }
  const std::vector<CommandOutcome> outcomes = WaitForOutcomes(*runner, std::size(cases));
  ASSERT_EQ(outcomes.size(), std::size(cases));
  for (const CommandOutcome& outcome : outcomes) {
    SCOPED_TRACE(outcome.tag);
    const Case& c = cases[std::stoul(outcome.tag)];
    EXPECT_EQ(outcome.program, "/bin/sh");
    EXPECT_TRUE(outcome.started);
    EXPECT_FALSE(outcome.timedOut);
    EXPECT_EQ(outcome.exitStatus, 3);
    EXPECT_EQ(outcome.signal, 0);
    EXPECT_EQ(outcome.firstErrorLine, c.firstLine);
  }
}

// The way the program builds a command: the user's line split, then the report's values put in.
TEST(CommandRunner, PassesEachArgumentAsItIsWithoutAShell) {
  const test::TempFolder folder;
  const std::string title = "M5.1 \"Tokyo\" $HOME; rm -rf x `id` * 'q' \\";
  const auto arguments =
      SplitCommandLine(R"(/bin/sh -c 'printf %s "$1" > "$2"' sh {title} {file})");
  ASSERT_TRUE(arguments);
  const auto runner = MakeCommandRunner();
  runner->Start(SubstitutePlaceholders(
                    *arguments, {{"title", title}, {"file", (folder.path() / "out").string()}}),
                "r1");
  const std::vector<CommandOutcome> outcomes = WaitForOutcomes(*runner, 1);
  ASSERT_EQ(outcomes.size(), 1u);
  EXPECT_EQ(outcomes[0].exitStatus, 0);
  EXPECT_EQ(folder.Read("out"), title);
}

TEST(CommandRunner, SaysAtOnceWhyACommandCannotStart) {
  struct Case {
    Strings arguments;
    std::string reason;
  };
  const Case cases[] = {
      {{"heronwatch-no-such-program", "x"}, std::strerror(ENOENT)},
      {{"/etc"}, std::strerror(EACCES)},
      {{}, "no program given"},
  };
  const auto runner = MakeCommandRunner();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    runner->Start(c.arguments, "t");
    const std::vector<CommandOutcome> outcomes = runner->TakeFinished();
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_FALSE(outcomes[0].started);
    EXPECT_EQ(outcomes[0].tag, "t");
    EXPECT_EQ(outcomes[0].program, c.arguments.empty() ? "" : c.arguments[0]);
    EXPECT_EQ(outcomes[0].startError, c.reason);
  }
}

// The command and what it started in the background go together: SIGTERM at the limit, and
// SIGKILL when SIGTERM is ignored.
TEST(CommandRunner, EndsTheWholeProcessGroupOfACommandThatRunsTooLong) {
  struct Case {
    const char* script;
    int signal;
  };
  const Case cases[] = {
      {R"(sleep 60 & echo $! > "$1"; wait)", SIGTERM},
      {R"(trap '' TERM; sleep 60 & echo $! > "$1"; wait)", SIGKILL},
  };
  const test::TempFolder folder;
  const auto runner = MakeCommandRunner(500ms);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    runner->Start(
        {"/bin/sh", "-c", cases[i].script, "sh", (folder.path() / std::to_string(i)).string()},
        std::to_string(i));
  }
  const std::vector<CommandOutcome> outcomes = WaitForOutcomes(*runner, std::size(cases));
  ASSERT_EQ(outcomes.size(), std::size(cases));
  for (const CommandOutcome& outcome : outcomes) {
    SCOPED_TRACE(outcome.tag);
    EXPECT_TRUE(outcome.timedOut);
    EXPECT_EQ(outcome.signal, cases[std::stoul(outcome.tag)].signal);
    EXPECT_EQ(outcome.exitStatus, -1);
    const pid_t background = std::stoi(folder.Read(outcome.tag));
    EXPECT_TRUE(WaitUntil([background] { return Ended(background); }));
  }
}

TEST(CommandRunner, RefusesACommandBeyondItsLimitUntilASlotIsFree) {
  const auto runner = MakeCommandRunner(500ms, 2);
  runner->Start({"sleep", "60"}, "a");
  runner->Start({"sleep", "60"}, "b");
  runner->Start({"true"}, "c");
  const std::vector<CommandOutcome> refused = runner->TakeFinished();
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_EQ(refused[0].tag, "c");
  EXPECT_FALSE(refused[0].started);
  EXPECT_EQ(refused[0].startError, "too many commands running");

  ASSERT_EQ(WaitForOutcomes(*runner, 2).size(), 2u);
  runner->Start({"true"}, "d");
  const std::vector<CommandOutcome> outcomes = WaitForOutcomes(*runner, 1);
  ASSERT_EQ(outcomes.size(), 1u);
  EXPECT_TRUE(outcomes[0].started);
  EXPECT_EQ(outcomes[0].exitStatus, 0);
}

// Its input and output are /dev/null, and a descriptor the program opened without
// close-on-exec does not reach it.
TEST(CommandRunner, GivesTheCommandNoDescriptorOfTheProgram) {
  const int opened = ::open("/dev/null", O_RDONLY);
  ASSERT_GE(opened, 0);
  const int inherited = ::fcntl(opened, F_DUPFD, 100);
  ::close(opened);
  ASSERT_GE(inherited, 100);
  const auto runner = MakeCommandRunner();
  runner->Start({"/bin/sh", "-c",
                 R"sh(test "$(readlink /proc/$$/fd/0)" = /dev/null || exit 10
                    test "$(readlink /proc/$$/fd/1)" = /dev/null || exit 11
                    test -e /proc/$$/fd/$1 && exit 12
                    exit 0)sh",
                 "sh", std::to_string(inherited)},
                "fd");
  const std::vector<CommandOutcome> outcomes = WaitForOutcomes(*runner, 1);
  ::close(inherited);
  ASSERT_EQ(outcomes.size(), 1u);
  EXPECT_EQ(outcomes[0].exitStatus, 0);
}

TEST(CommandRunner, DestroyingItEndsWhatStillRuns) {
  const test::TempFolder folder;
  const std::string pidFile = (folder.path() / "pid").string();
  auto runner = MakeCommandRunner();
  runner->Start({"/bin/sh", "-c", R"(echo $$ > "$1.part" && mv "$1.part" "$1"; exec sleep 60)",
                 "sh", pidFile},
                "r");
  ASSERT_TRUE(WaitUntil([&pidFile] { return ::access(pidFile.c_str(), F_OK) == 0; }));
  const pid_t pid = std::stoi(folder.Read("pid"));
  runner.reset();
  // The runner reaped it, so the process is gone, not a zombie.
  EXPECT_EQ(::kill(pid, 0), -1);
  EXPECT_EQ(errno, ESRCH);
}

}  // namespace
}  // namespace hw
