#include "shell/report_notification.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace hw {
namespace {

QuakeReport Report(int issueType, ScaleCode maxScale, int domestic = DomesticNone,
                   int foreign = 0) {
  QuakeReport r;
  r.timeKey = 1000;
  r.issueType = issueType;
  r.maxScale = maxScale;
  r.domesticTsunami = domestic;
  r.foreignTsunami = foreign;
  r.eventDayTime.Assign(u"10日14時18分");
  r.hypocenterName.Assign(u"熊本県熊本地方");
  r.magnitude = 3.5;
  r.depthText.Assign(u"10km");
  return r;
}

const WorkFolderLayout kFolder(u"/work");

// One report that arrives while the program runs, after the source's latest at start-up.
TEST(NotificationGate, WhichReportsAreAnnounced) {
  struct Case {
    const char* name;
    QuakeReport report;
    std::function<void(AppSettings&)> choose;
    bool announced;
    ReportSource source = ReportSource::kLive;
  };
  const auto none = [](AppSettings&) {};
  const Case cases[] = {
      {"intensity 3 at the default threshold", Report(DetailScale, 30), none, true},
      {"intensity 2 below it", Report(DetailScale, 20), none, false},
      {"5 lower below a 5 upper threshold", Report(DetailScale, 45),
       [](AppSettings& s) { s.NotifyMinScale = 50; }, false},
      {"5 upper at it", Report(ScalePrompt, 50), [](AppSettings& s) { s.NotifyMinScale = 50; },
       true},
      {"7 at a threshold of 7", Report(DetailScale, 70),
       [](AppSettings& s) { s.NotifyMinScale = 70; }, true},
      {"a code that is no intensity", Report(DetailScale, 46), none, false},
      {"an epicentre report without intensity", Report(Destination, -1), none, false},
      {"notifications off", Report(DetailScale, 70), [](AppSettings& s) { s.NotifyEnabled = 0; },
       false},
      {"a foreign earthquake", Report(Foreign, -1), none, true},
      {"a foreign earthquake not chosen", Report(Foreign, -1),
       [](AppSettings& s) { s.NotifyForeign = 0; }, false},
      {"a tsunami warning below the threshold", Report(DetailScale, 20, DomesticWarning), none,
       true},
      {"a tsunami watch without intensity", Report(Destination, -1, DomesticWatch), none, true},
      {"tsunami information not chosen", Report(DetailScale, 20, DomesticWarning),
       [](AppSettings& s) { s.NotifyTsunami = 0; }, false},
      {"a small sea-level change", Report(DetailScale, 20, DomesticNonEffective), none, false},
      {"a Pacific tsunami of a foreign earthquake, foreign ones not chosen",
       Report(Foreign, -1, DomesticChecking, ForeignWarningPacific),
       [](AppSettings& s) { s.NotifyForeign = 0; }, true},
      {"the demo", Report(DetailScale, 70), none, false, ReportSource::kDemo},
      {"the demo when asked for", Report(DetailScale, 70), [](AppSettings& s) { s.NotifyDemo = 1; },
       true, ReportSource::kDemo},
  };
  for (const Case& c : cases) {
    AppSettings settings;
    c.choose(settings);
    NotificationGate gate;
    gate.TakeOver(u"latest-at-start", Report(DetailScale, 70), c.source, settings, kFolder);
    const auto shown = gate.TakeOver(u"new", c.report, c.source, settings, kFolder);
    EXPECT_EQ(shown.has_value(), c.announced) << c.name;
  }
}

TEST(NotificationGate, EachIdOnceAndNeverTheLatestOfASourceAtStart) {
  AppSettings settings;
  settings.NotifyDemo = 1;
  NotificationGate gate;
  const QuakeReport strong = Report(DetailScale, 60);
  const auto shown = [&](std::u16string_view id, ReportSource source) {
    return gate.TakeOver(id, strong, source, settings, kFolder).has_value();
  };
  EXPECT_TRUE(shown(u"demo", ReportSource::kDemo));  // the demo is tried out from the start
  EXPECT_FALSE(shown(u"demo", ReportSource::kDemo));
  EXPECT_FALSE(shown(u"a", ReportSource::kLive));  // the live latest when first read
  EXPECT_TRUE(shown(u"b", ReportSource::kLive));
  EXPECT_FALSE(shown(u"b", ReportSource::kLive));
  EXPECT_FALSE(shown(u"s1", ReportSource::kSandbox));
  EXPECT_TRUE(shown(u"s2", ReportSource::kSandbox));
  EXPECT_FALSE(shown(u"a", ReportSource::kLive));  // back from the sandbox
  // A report taken over while notifications are off is not announced later either.
  settings.NotifyEnabled = 0;
  EXPECT_FALSE(shown(u"c", ReportSource::kLive));
  settings.NotifyEnabled = 1;
  EXPECT_FALSE(shown(u"c", ReportSource::kLive));
  EXPECT_TRUE(shown(u"d", ReportSource::kLive));
}

TEST(NotificationGate, TextsFollowTheBoxes) {
  struct Case {
    const char* name;
    std::function<void(QuakeReport&)> change;
    std::u16string summary;
    std::u16string body;
  };
  const Case cases[] = {
      {"a detailed report", [](QuakeReport& r) { r.maxScale = 45; }, u"地震情報 最大震度5弱",
       u"10日14時18分ごろ 熊本県熊本地方 M3.5 深さ10km"},
      {"padded day and hour, a very shallow focus",
       [](QuakeReport& r) {
         r.maxScale = 70;
         r.eventDayTime.Assign(u" 5日 7時08分");
         r.depthText.Assign(u"ごく浅い");
       },
       u"地震情報 最大震度7", u"5日7時08分ごろ 熊本県熊本地方 M3.5 深さごく浅い"},
      {"a prompt report",
       [](QuakeReport& r) {
         r.issueType = ScalePrompt;
         r.maxScale = 55;
         r.magnitude = -1;
         r.hypocenterName.Assign(u"");
         r.depthText.Assign(u"---");
       },
       u"地震情報 最大震度6弱", u"10日14時18分ごろ 震源は調査中"},
      {"a tsunami warning",
       [](QuakeReport& r) {
         r.maxScale = 60;
         r.domesticTsunami = DomesticWarning;
       },
       u"地震情報 最大震度6強",
       u"10日14時18分ごろ 熊本県熊本地方 M3.5 深さ10km\n津波警報等を発表中です。"},
      {"a foreign earthquake",
       [](QuakeReport& r) {
         r.issueType = Foreign;
         r.maxScale = -1;
         r.hypocenterName.Assign(u"南米西部");
         r.magnitude = 8.0;
         r.depthText.Assign(u"---");
         r.foreignTsunami = ForeignWarningPacific;
       },
       u"地震情報 遠地地震", u"10日14時18分ごろ 南米西部 M8.0\n津波発生の可能性があります。"},
  };
  for (const Case& c : cases) {
    QuakeReport r = Report(DetailScale, 30);
    c.change(r);
    EXPECT_EQ(NotificationSummary(r), c.summary) << c.name;
    EXPECT_EQ(NotificationBody(r), c.body) << c.name;
  }
}

TEST(NotificationGate, SoundIsTheChimeOrTheUsersFile) {
  struct Case {
    int sound;
    std::u16string file;
    std::u16string expected;
  };
  const Case cases[] = {
      {0, u"", u""},
      {1, u"", kFolder.NotifySoundFile()},
      {1, u".\\Sound\\mine.wav", u"/work\\.\\Sound\\mine.wav"},
      {1, u"/home/user/bell.ogg", u"/home/user/bell.ogg"},
  };
  for (const Case& c : cases) {
    AppSettings settings;
    settings.NotifySound = c.sound;
    settings.NotifySoundFile = c.file;
    NotificationGate gate;
    gate.TakeOver(u"a", Report(DetailScale, 30), ReportSource::kLive, settings, kFolder);
    const auto shown =
        gate.TakeOver(u"b", Report(DetailScale, 30), ReportSource::kLive, settings, kFolder);
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(shown->soundFile, c.expected) << c.sound;
  }
}

TEST(NotificationGate, UrgencyFollowsIntensityAndTsunami) {
  using U = NotificationUrgency;
  struct Case {
    const char* name;
    QuakeReport report;
    U urgency;
  };
  const Case cases[] = {
      {"intensity 1", Report(DetailScale, 10), U::kLow},
      {"intensity 2", Report(ScalePrompt, 20), U::kLow},
      {"intensity 2 with a small sea-level change", Report(DetailScale, 20, DomesticNonEffective),
       U::kLow},
      {"intensity 2 with a tsunami watch", Report(DetailScale, 20, DomesticWatch), U::kNormal},
      {"intensity 3", Report(DetailScale, 30), U::kNormal},
      {"intensity 4", Report(DetailScale, 40), U::kNormal},
      {"intensity 5 lower", Report(ScalePrompt, 45), U::kCritical},
      {"intensity 7", Report(DetailScale, 70), U::kCritical},
      {"a code that is no intensity", Report(DetailScale, 46), U::kNormal},
      {"intensity 1 with a tsunami warning", Report(DetailScale, 10, DomesticWarning),
       U::kCritical},
      {"a tsunami warning without intensity", Report(Destination, -1, DomesticWarning),
       U::kCritical},
      {"an epicentre report without intensity", Report(Destination, -1), U::kNormal},
      {"a foreign earthquake with a Pacific tsunami possible",
       Report(Foreign, -1, DomesticChecking, ForeignWarningPacific), U::kNormal},
  };
  for (const Case& c : cases)
    EXPECT_EQ(UrgencyOf(c.report), c.urgency) << c.name;
}

// Reports arriving one after another: which earthquake each is about (0: not announced), and
// whether its notification chimes.
TEST(NotificationGate, LaterReportsOfAnEarthquakeReplaceItsNotification) {
  struct Step {
    const char* name;
    int issueType;
    ScaleCode maxScale;
    std::int32_t timeKey;
    std::u16string_view epicentre;
    std::uint32_t earthquake;
    bool chimes;
    int domestic = DomesticNone;
  };
  const Step steps[] = {
      {"an intensity prompt, minute of detection", ScalePrompt, 45, 1001, u"---", 1, true},
      {"its epicentre, origin a minute earlier", Destination, 45, 1000, u"熊本県熊本地方", 1,
       false},
      {"its details, no more urgent", DetailScale, 50, 1000, u"熊本県熊本地方", 1, false},
      {"the same place ten minutes later", DetailScale, 30, 1010, u"熊本県熊本地方", 2, true},
      {"its intensity lowered below the threshold", DetailScale, 20, 1010, u"熊本県熊本地方", 2,
       false},
      {"another place within the two minutes", DetailScale, 30, 1011, u"石川県能登地方", 3, true},
      {"a prompt belongs to the latest earthquake", ScalePrompt, 40, 1012, u"", 3, false},
      {"a tsunami warning makes it more urgent", DetailScale, 30, 1011, u"石川県能登地方", 3, true,
       DomesticWarning},
      {"a late report of the first earthquake", DetailScale, 50, 1000, u"熊本県熊本地方", 1, false},
      {"below the threshold and no earthquake announced", DetailScale, 20, 2000, u"熊本県熊本地方",
       0, false},
  };
  AppSettings settings;
  settings.NotifySound = 1;
  NotificationGate gate;
  gate.TakeOver(u"latest-at-start", Report(DetailScale, 70), ReportSource::kLive, settings,
                kFolder);
  int serial = 0;
  for (const Step& step : steps) {
    QuakeReport report = Report(step.issueType, step.maxScale, step.domestic);
    report.timeKey = step.timeKey;
    report.hypocenterName.Assign(step.epicentre);
    const auto shown = gate.TakeOver(u"id" + std::u16string(1, char16_t(u'a' + serial++)), report,
                                     ReportSource::kLive, settings, kFolder);
    EXPECT_EQ(shown ? shown->earthquake : 0u, step.earthquake) << step.name;
    if (!shown) continue;
    EXPECT_EQ(shown->urgency, UrgencyOf(report)) << step.name;
    EXPECT_EQ(!shown->soundFile.empty(), step.chimes) << step.name;
  }
}

}  // namespace
}  // namespace hw
