#include "eventlog/event_log.h"

#include <gtest/gtest.h>

#include "fakes/file_size_limit.h"
#include "fakes/temp_folder.h"
#include "platform/clock.h"

namespace hw {
namespace {

TEST(EventLog, LinesCarryTheTickTimeAndEndWithCrLf) {
  test::TempFolder folder;
  std::filesystem::create_directories(folder.path() / "Eventlog");
  const WorkFolderLayout working(folder.U16());
  std::tm now = MakeLocalTime(2026, 12, 8, 3, 4, 5);
  EventLog log(working, now);
  log.WriteEventLog(u"Event Log       ： 地震情報");
  log.WriteEventLog(u"second");
  now = MakeLocalTime(2026, 12, 8, 3, 4, 6);
  log.WriteEventLog(SeparatorLine(u'='));
  EXPECT_EQ(folder.Read("Eventlog/event.log"),
            "2026/12/08 03:04:05 : Event Log       \xEF\xBC\x9A \xE5\x9C\xB0\xE9\x9C\x87"
            "\xE6\x83\x85\xE5\xA0\xB1\r\n"
            "2026/12/08 03:04:05 : second\r\n"
            "2026/12/08 03:04:06 : " +
                std::string(97, '=') + "\r\n");
}

TEST(EventLog, AppendsAfterExistingLinesAndWritesNothingWithoutFolder) {
  test::TempFolder folder;
  const WorkFolderLayout working(folder.U16());
  const std::tm now = MakeLocalTime(2026, 1, 2, 3, 4, 5);
  EventLog(working, now).WriteEventLog(u"lost");
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "Eventlog"));

  folder.Write("Eventlog/event.log", "old line\r\n");
  EventLog(working, now).WriteEventLog(u"new");
  EXPECT_EQ(folder.Read("Eventlog/event.log"), "old line\r\n2026/01/02 03:04:05 : new\r\n");
}

TEST(EventLog, OverlongLinesAreCutToTheBuffers) {
  const std::tm now = MakeLocalTime(2026, 1, 2, 3, 4, 5);
  // 3999 UTF-16 units at most, then 3999 UTF-8 bytes without splitting a character.
  const std::string ascii = EventLog::FormatLine(now, std::u16string(5000, u'a'));
  EXPECT_EQ(ascii.size(), 3999u + 2);
  const std::string kanji = EventLog::FormatLine(now, std::u16string(5000, u'震'));
  EXPECT_LE(kanji.size(), 3999u + 2);
  EXPECT_EQ((kanji.size() - 2 - 22) % 3, 0u);
  EXPECT_EQ(kanji.substr(kanji.size() - 2), "\r\n");
}

// A full disk cut the last run's line in the middle of a character; this run writes whole
// lines only and starts on a line of its own.
TEST(EventLog, FullDiskLosesWholeLinesAndTheNextRunStartsOnAFreshLine) {
  test::TempFolder folder;
  const std::string cut = "2026/01/02 03:04:05 : \xE5\x9C";
  folder.Write("Eventlog/event.log", cut);
  const WorkFolderLayout working(folder.U16());
  const std::tm now = MakeLocalTime(2026, 1, 2, 3, 4, 6);
  {
    EventLog log(working, now);
    {
      const test::FileSizeLimit full(cut.size() + 30);
      log.WriteEventLog(u"地震情報 does not fit");
    }
    EXPECT_EQ(folder.Read("Eventlog/event.log"), cut);
    log.WriteEventLog(u"a");
    log.WriteEventLog(u"b");
  }
  EventLog(working, now).WriteEventLog(u"next run");
  EXPECT_EQ(folder.Read("Eventlog/event.log"), cut +
                                                   "\r\n2026/01/02 03:04:06 : a\r\n"
                                                   "2026/01/02 03:04:06 : b\r\n"
                                                   "2026/01/02 03:04:06 : next run\r\n");
}

TEST(EventLog, FullLogIsRotatedKeepingThreeOldFiles) {
  test::TempFolder folder;
  const std::string full(EventLog::kRotateBytes, 'x');
  folder.Write("Eventlog/event.log", full);
  folder.Write("Eventlog/event.log.1", "one");
  folder.Write("Eventlog/event.log.2", "two");
  folder.Write("Eventlog/event.log.3", "three");
  const WorkFolderLayout working(folder.U16());
  const std::tm now = MakeLocalTime(2026, 1, 2, 3, 4, 5);
  EventLog log(working, now);
  log.WriteEventLog(u"new");
  EXPECT_EQ(folder.Read("Eventlog/event.log"), "2026/01/02 03:04:05 : new\r\n");
  EXPECT_EQ(folder.Read("Eventlog/event.log.1"), full);
  EXPECT_EQ(folder.Read("Eventlog/event.log.2"), "one");
  EXPECT_EQ(folder.Read("Eventlog/event.log.3"), "two");
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "Eventlog/event.log.4"));
}

// The old files cannot take event.log's place (here folders stand under their names; a folder
// that is not writable does the same): the file loses its older half instead of growing, and
// the log says so once.
TEST(EventLog, ALogThatCannotRotateStaysWithinItsLimit) {
  test::TempFolder folder;
  for (const char* old :
       {"Eventlog/event.log.1/x", "Eventlog/event.log.2/x", "Eventlog/event.log.3/x"})
    folder.Write(old, "");
  std::string full;
  for (int i = 0; full.size() < EventLog::kRotateBytes; ++i)
    full += "2026/01/02 03:04:05 : old line " + std::to_string(i) + "\r\n";
  folder.Write("Eventlog/event.log", full);
  const WorkFolderLayout working(folder.U16());
  const std::tm now = MakeLocalTime(2026, 1, 2, 3, 4, 5);
  EventLog log(working, now);
  const std::string line(990, 'n');
  const auto path = folder.path() / "Eventlog/event.log";
  const auto saidTimes = [&] {
    const std::string text = folder.Read("Eventlog/event.log");
    std::size_t times = 0;
    for (std::size_t at = text.find("event.log を event.log.1 へ移せません");
         at != std::string::npos; at = text.find("event.log を event.log.1 へ移せません", at + 1))
      ++times;
    return times;
  };
  // Two cuts: the one of the full file, and one after 11 MB more.
  for (int i = 0; i < 11000; ++i) {
    log.WriteEventLog(std::u16string(line.begin(), line.end()));
    ASSERT_LE(std::filesystem::file_size(path), EventLog::kRotateBytes) << i;
    if (i == 0) {
      EXPECT_EQ(saidTimes(), 1u);
      EXPECT_TRUE(folder.Read("Eventlog/event.log").starts_with("2026/01/02 03:04:05 : old line"))
          << "it starts with a whole line";
    }
  }
  EXPECT_LE(saidTimes(), 1u) << "said once a run";
  EXPECT_TRUE(folder.Read("Eventlog/event.log").ends_with(line + "\r\n"));
  EXPECT_TRUE(std::filesystem::is_directory(folder.path() / "Eventlog/event.log.1"));
}

}  // namespace
}  // namespace hw
