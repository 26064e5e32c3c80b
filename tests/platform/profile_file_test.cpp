#include "platform/profile_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

namespace hw {
namespace {

using namespace std::literals;

constexpr char16_t kMissing[] = u"<default>";

std::u16string Get(const ProfileFile& profile, std::u16string_view section,
                   std::u16string_view key) {
  return profile.GetPrivateProfileString(section, key, kMissing);
}

TEST(ProfileFileTest, ReadsNamesAndValuesTheWayWindowsDoes) {
  const ProfileFile profile = ProfileFile::Parse(
      "Orphan=before any section\r\n"
      "[General]\r\n"
      "Name = Heron Watch \r\n"
      "\tTabbed\t=\tvalue\t\r\n"
      "Double = \"  spaced  \"\r\n"
      "Single='x'\r\n"
      "Mismatched=\"abc'\r\n"
      "Lone=\"\r\n"
      "Empty =\r\n"
      "Equals = a=b\r\n"
      "Bare line\r\n"
      ";Commented=1\r\n"
      "  ;Indented=1\r\n"
      "Nul=ab\0cd\r\n"s
      "  [ Other Section ] trailing\r\n"
      "Key=other\r\n"
      "[Unclosed\r\n"
      "Key=unclosed\r\n");
  const struct {
    std::u16string_view section;
    std::u16string_view key;
    std::u16string_view expected;
  } cases[] = {
      {u"General", u"Name", u"Heron Watch"},
      {u"GENERAL", u"name", u"Heron Watch"},
      {u"general", u"Tabbed", u"value"},
      {u"General", u"Double", u"  spaced  "},
      {u"General", u"Single", u"x"},
      {u"General", u"Mismatched", u"\"abc'"},
      {u"General", u"Lone", u"\""},
      {u"General", u"Empty", u""},  // present but empty is not missing
      {u"General", u"Equals", u"a=b"},
      {u"General", u"Bare line", kMissing},
      {u"General", u"Commented", kMissing},
      {u"General", u";Commented", kMissing},
      {u"General", u";Indented", kMissing},
      {u"General", u"Nul", u"ab"},  // what a caller's C-string buffer would show
      {u"General", u"Key", kMissing},
      {u"Other Section", u"KEY", u"other"},
      {u"Unclosed", u"Key", u"unclosed"},
      {u"", u"Orphan", kMissing},
      {u"Missing", u"Name", kMissing},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::u16string(c.section) + u"/" + std::u16string(c.key)));
    EXPECT_EQ(Get(profile, c.section, c.key), c.expected);
  }
}

TEST(ProfileFileTest, FirstMatchingSectionAndKeyWin) {
  const ProfileFile profile =
      ProfileFile::Parse("[A]\nk=1\nK=2\n[B]\nj=0\n[a]\nk=3\nj=4\n[b]\nonly=later\n");
  EXPECT_EQ(Get(profile, u"A", u"k"), u"1");
  EXPECT_EQ(Get(profile, u"a", u"j"), kMissing);  // a later duplicate section is not read
  EXPECT_EQ(Get(profile, u"B", u"only"), kMissing);
}

TEST(ProfileFileTest, IntTakesTheLeadingNumberAndSaturates) {
  const struct {
    std::string_view line;
    int expected;
  } cases[] = {
      {"k=12", 12},
      {"k=-1", -1},
      {"k=+7", 7},
      {"k=  42  ", 42},
      {"k=\"5\"", 5},
      {"k=007", 7},
      {"k=12abc", 12},
      {"k=1 2", 1},
      {"k=abc", 0},
      {"k=-", 0},
      {"k=- 5", 0},
      {"k=0x10", 0},
      {"k=\xEF\xBC\x91", 0},  // full-width digit one
      {"k=2147483647", INT_MAX},
      {"k=2147483648", INT_MAX},
      {"k=-2147483648", INT_MIN},
      {"k=-2147483649", INT_MIN},
      {"k=99999999999999999999999999", INT_MAX},
      {"k=", -9},  // empty value: the default
      {"k=  ", -9},
      {"k=\"\"", -9},
      {"other=1", -9},  // missing key
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const ProfileFile profile = ProfileFile::Parse("[S]\r\n" + std::string(c.line) + "\r\n");
    EXPECT_EQ(profile.GetPrivateProfileInt(u"s", u"K", -9), c.expected);
  }
  EXPECT_EQ(ProfileFile().GetPrivateProfileInt(u"S", u"k", 3), 3);
}

TEST(ProfileFileTest, ValuesAndDefaultsAreCutTo511UnitsWithoutSplittingAPair) {
  const std::u16string emoji = u"\U0001F600";
  const struct {
    std::u16string value;
    std::u16string expected;
  } cases[] = {
      {std::u16string(511, u'a'), std::u16string(511, u'a')},
      {std::u16string(600, u'a'), std::u16string(511, u'a')},
      {std::u16string(509, u'a') + emoji + u"z", std::u16string(509, u'a') + emoji},
      {std::u16string(510, u'a') + emoji, std::u16string(510, u'a')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value.size());
    ProfileFile profile;
    profile.WritePrivateProfileString(u"S", u"k", c.value);
    EXPECT_EQ(Get(profile, u"S", u"k"), c.expected);
    EXPECT_EQ(profile.GetPrivateProfileString(u"S", u"missing", c.value), c.expected);
  }
}

TEST(ProfileFileTest, ReplacingAValueKeepsEveryOtherLine) {
  ProfileFile profile = ProfileFile::Parse(
      "; settings\n"
      "[Main]\n"
      "  WIDTH = 10 ; old\n"
      "\n"
      "Height=5\n"
      "[Other]\n"
      "width=1\n");
  profile.WritePrivateProfileString(u"main", u"width", u"20");
  profile.WritePrivateProfileInt(u"Other", u"Width", -5);
  EXPECT_EQ(profile.Serialize(),
            "; settings\n"
            "[Main]\n"
            "WIDTH=20\n"
            "\n"
            "Height=5\n"
            "[Other]\n"
            "width=-5\n");
  EXPECT_EQ(profile.GetPrivateProfileInt(u"Main", u"Width", 0), 20);
  EXPECT_EQ(profile.GetPrivateProfileInt(u"Other", u"width", 0), -5);
}

TEST(ProfileFileTest, AddsKeysAndSectionsWhereWindowsWould) {
  const struct {
    const char* name;
    std::string_view before;
    std::u16string_view section;
    std::string_view after;
  } cases[] = {
      {"after the last key, before comments and blanks", "[A]\r\nx=1\r\n; note\r\n\r\n[B]\r\n",
       u"a", "[A]\r\nx=1\r\nk=v\r\n; note\r\n\r\n[B]\r\n"},
      {"right after a header without keys", "[A]\r\n\r\n[B]\r\ny=2\r\n", u"A",
       "[A]\r\nk=v\r\n\r\n[B]\r\ny=2\r\n"},
      {"into the last section of a file without a final line end", "[A]\nx=1", u"A",
       "[A]\nx=1\nk=v\n"},
      {"a new section after a blank line", "[A]\nx=1", u"New", "[A]\nx=1\n\n[New]\nk=v\n"},
      {"no second blank line", "[A]\r\nx=1\r\n\r\n", u"New", "[A]\r\nx=1\r\n\r\n[New]\r\nk=v\r\n"},
      {"an empty file gets CR LF", "", u"New", "[New]\r\nk=v\r\n"},
      {"keys before any section are left alone", "k=0\r\n", u"", "k=0\r\n\r\n[]\r\nk=v\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ProfileFile profile = ProfileFile::Parse(c.before);
    profile.WritePrivateProfileString(c.section, u"k", u"v");
    EXPECT_EQ(profile.Serialize(), c.after);
    EXPECT_EQ(Get(ProfileFile::Parse(profile.Serialize()), c.section, u"K"), u"v");
  }
}

TEST(ProfileFileTest, WrittenTextStaysOnOneLine) {
  ProfileFile profile;
  profile.WritePrivateProfileString(u"S", u"k", u"first\r\n[Evil]\r\nx=1");
  profile.WritePrivateProfileString(u"S", u"n", u"a\0b"s);
  EXPECT_EQ(profile.Serialize(), "[S]\r\nk=first\r\nn=a\r\n");
}

TEST(ProfileFileTest, ManyRewritesOfOneKeyKeepTheFileIntact) {
  ProfileFile profile = ProfileFile::Parse("[A]\nx=1\n[B]\nlong=start\ny=2\n");
  const std::u16string filler(300, u'f');
  for (int i = 0; i < 20000; ++i) {
    profile.WritePrivateProfileString(
        u"B", u"long", filler + std::u16string(1, static_cast<char16_t>(u'0' + i % 10)));
  }
  EXPECT_EQ(profile.Serialize(), "[A]\nx=1\n[B]\nlong=" + std::string(300, 'f') + "9\ny=2\n");
}

TEST(ProfileFileTest, DecodesEachFileEncoding) {
  const std::string_view theme = "\xE3\x83\x86\xE3\x83\xBC\xE3\x83\x9E";  // テーマ in UTF-8
  const struct {
    const char* name;
    std::string bytes;
    std::u16string value;
    std::string serialized;
  } cases[] = {
      {"UTF-16LE with BOM", "\xFF\xFE[\0A\0]\0\r\0\n\0k\0=\0\xC6\x30\xFC\x30\xDE\x30"s, u"テーマ",
       "[A]\r\nk="s + std::string(theme)},
      {"UTF-16LE without BOM", "[\0A\0]\0\r\0\n\0k\0=\0\xC6\x30\xFC\x30\xDE\x30\r\0\n\0"s,
       u"テーマ", "[A]\r\nk="s + std::string(theme) + "\r\n"},
      {"UTF-8 with BOM", "\xEF\xBB\xBF[A]\r\nk="s + std::string(theme) + "\r\n", u"テーマ",
       "\xEF\xBB\xBF[A]\r\nk="s + std::string(theme) + "\r\n"},
      {"UTF-8", "[A]\nk="s + std::string(theme) + "\n", u"テーマ",
       "[A]\nk="s + std::string(theme) + "\n"},
      {"CP932", "[A]\r\nk=\x83\x65\x81\x5B\x83\x7D\r\n", u"テーマ",
       "[A]\r\nk="s + std::string(theme) + "\r\n"},
      // One byte that is not UTF-8 makes the whole file CP932, so the UTF-8 text garbles but
      // ASCII keys and values still read.
      {"invalid UTF-8", "[A]\r\nk=plain\r\nj=\x83\r\n", u"plain",
       "[A]\r\nk=plain\r\nj=\xEF\xBF\xBD\r\n"},
      {"lone CRs", "[A]\rk=v\rj=w", u"v", "[A]\r\nk=v\r\nj=w"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const ProfileFile profile = ProfileFile::Parse(c.bytes);
    EXPECT_EQ(Get(profile, u"a", u"K"), c.value);
    EXPECT_EQ(profile.Serialize(), c.serialized);
  }
}

TEST(ProfileFileTest, HostileInputNeitherCrashesNorLosesAWrite) {
  std::mt19937 random(20240101);
  for (int round = 0; round < 300; ++round) {
    std::string bytes(random() % 2048, '\0');
    for (char& b : bytes) {
      // Mostly structure characters, so sections and keys actually form.
      static constexpr char kAlphabet[] = "[]=;\"' \t\r\nkKsS\x83\x81\xE3\xFF\xFE";
      b = (random() % 3 == 0) ? static_cast<char>(random())
                              : kAlphabet[random() % (sizeof kAlphabet - 1)];
    }
    ProfileFile profile = ProfileFile::Parse(bytes);
    (void)profile.GetPrivateProfileInt(u"s", u"k", 0);
    profile.WritePrivateProfileString(u"s", u"k", u"written");
    EXPECT_EQ(Get(profile, u"S", u"K"), u"written") << testing::PrintToString(bytes);
    EXPECT_EQ(Get(ProfileFile::Parse(profile.Serialize()), u"S", u"K"), u"written");
  }
}

TEST(ProfileFileTest, HugeLinesAndLineEndsStayLinear) {
  std::string line = "[S]\nk=" + std::string(10'000'000, 'x') + "\n";
  ProfileFile profile = ProfileFile::Parse(line);
  EXPECT_EQ(Get(profile, u"S", u"k"), std::u16string(511, u'x'));
  EXPECT_EQ(profile.Serialize(), line);

  const std::string crs(5'000'000, '\r');
  profile = ProfileFile::Parse(crs + "[S]\rk=1");
  EXPECT_EQ(profile.GetPrivateProfileInt(u"S", u"k", 0), 1);
  EXPECT_EQ(profile.Serialize().size(), crs.size() * 2 + 8);
}

class ProfileFileOnDiskTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        std::filesystem::temp_directory_path() / ("hw_profile_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::u16string PathOf(const char* name) const { return (folder_ / name).u16string(); }
  void WriteBytes(const char* name, const std::string& bytes) const {
    std::ofstream(folder_ / name, std::ios::binary) << bytes;
  }

  std::filesystem::path folder_;
};

TEST_F(ProfileFileOnDiskTest, SaveAndLoadRoundTrip) {
  WriteBytes("setting.ini", "\xEF\xBB\xBF; kept\r\n[Theme]\r\nName=old\r\n");
  ProfileFile profile = ProfileFile::Load(PathOf("setting.ini"));
  profile.WritePrivateProfileString(u"theme", u"name", u"テーマ");
  profile.WritePrivateProfileInt(u"Window", u"X", 120);
  ASSERT_TRUE(profile.Save(PathOf("setting.ini")));

  const ProfileFile loaded = ProfileFile::Load(PathOf("setting.ini"));
  EXPECT_EQ(Get(loaded, u"Theme", u"Name"), u"テーマ");
  EXPECT_EQ(loaded.GetPrivateProfileInt(u"window", u"x", 0), 120);
  EXPECT_EQ(loaded.Serialize(), profile.Serialize());
  EXPECT_TRUE(loaded.Serialize().starts_with("\xEF\xBB\xBF; kept\r\n"));
}

TEST_F(ProfileFileOnDiskTest, MissingOrOversizedFileIsEmpty) {
  EXPECT_EQ(ProfileFile::Load(PathOf("absent.ini")).Serialize(), "");

  std::string big = "[S]\r\nk=1\r\n";
  big.resize(ProfileFile::kMaxFileBytes, ';');
  WriteBytes("limit.ini", big);
  EXPECT_EQ(ProfileFile::Load(PathOf("limit.ini")).GetPrivateProfileInt(u"S", u"k", 0), 1);
  big.push_back(';');
  WriteBytes("big.ini", big);
  EXPECT_EQ(ProfileFile::Load(PathOf("big.ini")).GetPrivateProfileInt(u"S", u"k", 0), 0);
}

// A file that is there but not understood is read as far as it goes and never replaced: the
// user's lines in it would be lost.
TEST_F(ProfileFileOnDiskTest, FileThatCouldNotBeReadIsNeverSavedOver) {
  std::string oversized = "[Net]\r\nDebug=1\r\n";
  oversized.resize(ProfileFile::kMaxFileBytes + 1, ';');
  const struct {
    const char* name;
    std::string bytes;
    const char* reason;
  } cases[] = {
      {"oversized", oversized, "larger than"},
      {"UTF-16BE", "\0[\0A\0]\0\n\0k\0=\0\x31"s, "neither"},
      {"binary", "[A]\nk=1\n\x01\0\0\0\x7F\0"s, "neither"},
      {"neither UTF-8 nor CP932", "[A]\nk=1\n\x85\x20\xFD\n"s, "neither"},
      {"UTF-16LE with NUL characters", "[\0A\0]\0\n\0k\0=\0\x31\0\0\0\n\0"s, "NUL"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes("setting.ini", c.bytes);
    ProfileFile profile = ProfileFile::Load(PathOf("setting.ini"));
    EXPECT_NE(profile.KeepReason().find(c.reason), std::string::npos) << profile.KeepReason();
    profile.WritePrivateProfileInt(u"A", u"k", 2);
    std::string error;
    EXPECT_FALSE(profile.Save(PathOf("setting.ini"), &error));
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    std::ifstream in(folder_ / "setting.ini", std::ios::binary);
    EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(in), {}) == c.bytes);
  }

  // A FIFO is refused at once rather than waited on, and not replaced.
  ASSERT_EQ(::mkfifo((folder_ / "fifo.ini").c_str(), 0600), 0);
  const ProfileFile fifo = ProfileFile::Load(PathOf("fifo.ini"));
  EXPECT_NE(fifo.KeepReason().find("cannot be read"), std::string::npos);
  EXPECT_FALSE(fifo.Save(PathOf("fifo.ini")));
  EXPECT_TRUE(std::filesystem::is_fifo(folder_ / "fifo.ini"));

  // A missing file may be created.
  EXPECT_EQ(ProfileFile::Load(PathOf("absent.ini")).KeepReason(), "");
}

}  // namespace
}  // namespace hw
