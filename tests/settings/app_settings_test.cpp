#include "settings/app_settings.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "fakes/temp_folder.h"
#include "platform/profile_file.h"

namespace hw {
namespace {

AppSettings ReadFrom(std::string_view iniText) {
  const ProfileFile file = ProfileFile::Parse(iniText);
  AppSettings settings;
  ApplyDefaultPosition(settings, {0, 0, 1920, 1040});
  ReadThemeName(file, settings);
  ReadAppSettings(file, settings);
  return settings;
}

TEST(AppSettings, EmptyFileGivesTheDefaults) {
  const AppSettings s = ReadFrom("");
  EXPECT_EQ(s.Name, u"Theme_REV");
  // A 960 × 540 window centred in a 1920 × 1040 work area (the frame comes on top once its size
  // is known).
  EXPECT_EQ(s.Top, 250);
  EXPECT_EQ(s.Left, 480);
  EXPECT_EQ(s.Bottom, 790);
  EXPECT_EQ(s.Right, 1440);
  EXPECT_EQ(s.MinX, 640);
  EXPECT_EQ(s.MaxY, 1080);
  EXPECT_EQ(s.Ontop, 1);
  EXPECT_EQ(s.HisJsonSavePath, u".\\Storage\\history.json");
  EXPECT_EQ(s.HisJsonNum, 20);
  EXPECT_EQ(s.SpeedDraw, 4);
  EXPECT_EQ(s.SpeedScroll, 3);
  EXPECT_EQ(s.Reload, 2);
  EXPECT_EQ(s.ShindoMap, 0);
}

// Every limited key, at and beyond its limits.
TEST(AppSettings, ValuesAreLimitedRightAfterReading) {
  struct Case {
    const char* section;
    const char* key;
    const char* value;
    int AppSettings::*field;
    int expected;
  };
  const Case cases[] = {
      {"Flag", "FlameOff", "1", &AppSettings::FlameOff, 1},
      {"Flag", "FlameOff", "2", &AppSettings::FlameOff, 0},
      {"Flag", "Ontop", "2", &AppSettings::Ontop, 2},
      {"Flag", "Ontop", "5", &AppSettings::Ontop, 0},
      {"Flag", "Ontop", "-1", &AppSettings::Ontop, 0},
      {"Flag", "Drag", "-1", &AppSettings::Drag, 0},
      {"Flag", "Demo", "2", &AppSettings::Demo, 2},
      {"Flag", "Demo", "7", &AppSettings::Demo, 0},
      {"Flag", "Demo", "-4", &AppSettings::Demo, 0},
      {"Flag", "Debug", "1", &AppSettings::Debug, 1},
      {"Flag", "Debug", "3", &AppSettings::Debug, 0},
      {"Flag", "TStart", "6", &AppSettings::TStart, 6},
      {"Flag", "TStart", "7", &AppSettings::TStart, 0},
      {"Flag", "Autostart", "1", &AppSettings::Autostart, 1},
      {"Flag", "Autostart", "2", &AppSettings::Autostart, 0},
      {"Config", "Aspect", "2", &AppSettings::Aspect, 2},
      {"Config", "Aspect", "3", &AppSettings::Aspect, 0},
      {"File", "HisJsonNum", "0", &AppSettings::HisJsonNum, 1},
      {"File", "HisJsonNum", "500", &AppSettings::HisJsonNum, 100},
      {"Config", "SiJson", "1", &AppSettings::SiJson, 1},
      {"Config", "StaJson", "9", &AppSettings::StaJson, 0},
      {"Config", "SpeedDraw", "9", &AppSettings::SpeedDraw, 9},
      {"Config", "SpeedDraw", "10", &AppSettings::SpeedDraw, 0},
      {"Config", "SpeedScroll", "600", &AppSettings::SpeedScroll, 500},
      {"Config", "SpeedScroll", "-3", &AppSettings::SpeedScroll, 0},
      {"Config", "Reload", "abc", &AppSettings::Reload, 1},
      {"Config", "Reload", "181", &AppSettings::Reload, 180},
      {"Config", "EpiFront", "1", &AppSettings::EpiFront, 1},
      {"Config", "EpiBlink", "2", &AppSettings::EpiBlink, 0},
      {"Config", "ShindoMap", "-1", &AppSettings::ShindoMap, -1},
      {"Config", "ShindoMap", "-2", &AppSettings::ShindoMap, 0},
      {"Position", "MinX", "-70", &AppSettings::MinX, -70},
      {"Notify", "Enabled", "0", &AppSettings::NotifyEnabled, 0},
      {"Notify", "Enabled", "2", &AppSettings::NotifyEnabled, 0},
      {"Notify", "MinScale", "45", &AppSettings::NotifyMinScale, 45},
      {"Notify", "MinScale", "0", &AppSettings::NotifyMinScale, 10},
      {"Notify", "MinScale", "99", &AppSettings::NotifyMinScale, 70},
      {"Notify", "Foreign", "0", &AppSettings::NotifyForeign, 0},
      {"Notify", "Tsunami", "-1", &AppSettings::NotifyTsunami, 0},
      {"Notify", "Demo", "1", &AppSettings::NotifyDemo, 1},
      {"Notify", "Sound", "3", &AppSettings::NotifySound, 0},
      {"Notify", "TsunamiGrade", "3", &AppSettings::NotifyTsunamiGrade, 3},
      {"Notify", "TsunamiGrade", "4", &AppSettings::NotifyTsunamiGrade, 3},
      {"Notify", "TsunamiGrade", "-1", &AppSettings::NotifyTsunamiGrade, 0},
      {"Notify", "EarlyWarning", "2", &AppSettings::NotifyEarlyWarning, 0},
      {"Notify", "EarlyWarningSound", "-1", &AppSettings::NotifyEarlyWarningSound, -1},
      {"Notify", "EarlyWarningSound", "2", &AppSettings::NotifyEarlyWarningSound, 0},
      {"Warning", "Tsunami", "0", &AppSettings::WarningTsunami, 0},
      {"Warning", "EarlyWarning", "5", &AppSettings::WarningEarly, 0},
      {"Warning", "ShowTest", "1", &AppSettings::WarningShowTest, 1},
      {"Stream", "Rate", "0", &AppSettings::StreamRate, 1},
      {"Stream", "Rate", "60", &AppSettings::StreamRate, 10},
      {"Stream", "Width", "99999", &AppSettings::StreamWidth, 3840},
      {"Stream", "Height", "1", &AppSettings::StreamHeight, 16},
      {"Stream", "Port", "70000", &AppSettings::StreamPort, 65535},
      {"Stream", "Port", "-5", &AppSettings::StreamPort, 1},
      {"Stream", "Http", "2", &AppSettings::StreamHttp, 0},
      {"Stream", "Overlay", "1", &AppSettings::StreamOverlay, 1},
  };
  for (const Case& c : cases) {
    const std::string ini = std::string("[") + c.section + "]\n" + c.key + "=" + c.value + "\n";
    EXPECT_EQ(ReadFrom(ini).*c.field, c.expected) << c.key << "=" << c.value;
  }
}

// A [Position] rectangle without area, of an absurd size or at the ends of the integers
// becomes a default-sized window at a corner within reach, so that no later sum overflows and
// nothing absurd is written back.
TEST(AppSettings, PositionIsKeptUsable) {
  struct Case {
    const char* name;
    const char* ini;
    Rect expected;  // left, top, right, bottom
  };
  const Case cases[] = {
      {"usable", "Left=3000\nTop=-200\nRight=3640\nBottom=280", {3000, -200, 3640, 280}},
      {"right before left", "Left=700\nTop=10\nRight=100\nBottom=490", {700, 10, 1340, 490}},
      {"no height", "Left=0\nTop=10\nRight=640\nBottom=10", {0, 10, 640, 490}},
      {"absurd width", "Left=0\nTop=0\nRight=2000000\nBottom=480", {0, 0, 640, 480}},
      {"integer ends",
       "Left=-2147483648\nTop=-2147483648\nRight=2147483647\nBottom=2147483647",
       {-100000, -100000, -99360, -99520}},
      {"all at the largest integer",
       "Left=2147483647\nTop=2147483647\nRight=2147483647\nBottom=2147483647",
       {100000, 100000, 100640, 100480}},
  };
  for (const Case& c : cases) {
    const AppSettings s = ReadFrom(std::string("[Position]\n") + c.ini + "\n");
    EXPECT_EQ((Rect{s.Left, s.Top, s.Right, s.Bottom}), c.expected) << c.name;
  }
}

TEST(AppSettings, WritesEveryKeyButDebugTStartAndNetInDocumentedOrder) {
  ProfileFile file = ProfileFile::Parse("");
  AppSettings settings = ReadFrom("");
  settings.Demo = 7;
  settings.Autostart = 1;
  WriteAppSettings(file, settings, {10, 20, 650, 500});
  const std::string written = file.Serialize();
  EXPECT_EQ(written,
            "[Theme]\r\nName=Theme_REV\r\n\r\n"
            "[Position]\r\nTop=20\r\nLeft=10\r\nBottom=500\r\nRight=650\r\n"
            "MinX=640\r\nMinY=480\r\nMaxX=1920\r\nMaxY=1080\r\n\r\n"
            "[Flag]\r\nFlameOff=0\r\nOntop=1\r\nDrag=0\r\nDemo=7\r\nAutostart=1\r\n\r\n"
            "[Config]\r\nSpeedDraw=4\r\nSpeedScroll=3\r\nAspect=0\r\nReload=2\r\n"
            "SiJson=0\r\nStaJson=0\r\nEpiFront=0\r\nEpiBlink=0\r\nShindoMap=0\r\n\r\n"
            "[File]\r\nHisJsonSavePath=.\\Storage\\history.json\r\nHisJsonNum=20\r\n\r\n"
            "[Notify]\r\nEnabled=1\r\nMinScale=30\r\nForeign=1\r\nTsunami=1\r\nDemo=0\r\n"
            "Sound=0\r\nSoundFile=\r\nTsunamiGrade=1\r\nEarlyWarning=1\r\n"
            "EarlyWarningSound=-1\r\nEarlyWarningSoundFile=\r\n\r\n"
            "[Warning]\r\nTsunami=1\r\nEarlyWarning=1\r\nShowTest=0\r\n\r\n"
            "[Stream]\r\nFile=\r\nRate=2\r\nWidth=1920\r\nHeight=1080\r\nHttp=0\r\n"
            "Listen=127.0.0.1\r\nPort=8551\r\nOverlay=0\r\nKeyColor=#00ff00\r\n"
            "OverlayMarkers=0\r\nOnReport=\r\nOnReportDemo=0\r\n");
}

TEST(AppSettings, KeyColourReadsOnlyHexTriplets) {
  EXPECT_EQ(StreamKeyColour(u"#FF0080"), MakeColorRef(255, 0, 128));
  EXPECT_EQ(StreamKeyColour(u"#0000ff"), MakeColorRef(0, 0, 255));
  for (const char16_t* bad : {u"", u"00ff00", u"#00ff0", u"#00ff0g", u"#00ff000"}) {
    EXPECT_EQ(StreamKeyColour(bad), MakeColorRef(0, 255, 0));
  }
}

TEST(AppSettings, HandEditedKeysSurviveAWriteBack) {
  ProfileFile file = ProfileFile::Parse("[Flag]\r\nDebug=1\r\nTStart=4\r\n; kept\r\n");
  AppSettings settings = ReadFrom(file.Serialize());
  EXPECT_EQ(settings.Debug, 1);
  WriteAppSettings(file, settings, {0, 0, 640, 480});
  const AppSettings again = ReadFrom(file.Serialize());
  EXPECT_EQ(again.Debug, 1);
  EXPECT_EQ(again.TStart, 4);
  EXPECT_NE(file.Serialize().find("; kept"), std::string::npos);
}

TEST(AppSettings, GarbageFilesGiveDefaults) {
  std::mt19937 random(42);
  std::string noise(1 << 16, '\0');
  for (char& c : noise)
    c = static_cast<char>(random());
  const std::string hugeLine = "[Config]\nReload=" + std::string(10 << 20, '9') + "\n";
  for (const std::string& bytes : {noise, hugeLine}) {
    const AppSettings s = ReadFrom(bytes);
    EXPECT_GE(s.Reload, 1);
    EXPECT_LE(s.Reload, 180);
    EXPECT_EQ(s.SpeedDraw, 4);
  }
  EXPECT_EQ(ReadFrom(hugeLine).Reload, 180);  // a huge number saturates, then is limited
}

TEST(AppSettings, MissingFileReadsAsDefaults) {
  test::TempFolder folder;
  const ProfileFile file = ProfileFile::Load(folder.U16() + u"/nothing.ini");
  AppSettings settings;
  ReadAppSettings(file, settings);
  EXPECT_EQ(settings.Reload, 2);
  EXPECT_EQ(settings.Name, u"Theme_REV");
}

}  // namespace
}  // namespace hw
