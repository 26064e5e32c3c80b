#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "fakes/temp_folder.h"
#include "fakes/test_http_server.h"
#include "platform/curl/curl_http_client.h"
#include "platform/text_codec.h"
#include "refdata/station_json_dl.h"

namespace hw {
namespace {

using Mode = test::TestHttpServer::Mode;

constexpr const char* kOneStation =
    R"({"lat":43.06,"lon":141.33,"name":"\u672d\u5e4c","pref":"01","affi":"0"})";
constexpr const char* kFillerLine = "\xE6\x9D\xB1\t35.00\t135.00\t26\t1\r\n";

// A station list as the agency writes it: `first` objects, then stations of the same shape up
// to `stations` in all, so that the list is long enough to be taken.
std::string StationList(const std::string& first = "",
                        int stations = CStationJsonDL::kMinimumStations, int firstCount = 0,
                        const char* filler = R"({"lat":35.00,"lon":135.00,"name":"\u6771",)"
                                             R"("pref":26,"affi":1})") {
  std::string list = "[" + first;
  for (int i = firstCount; i < stations; ++i)
    list += (list.size() > 1 ? "," : "") + std::string(filler);
  return list + "]";
}

// A Stations.ini of `lines` stations.
std::string StationsFile(int lines) {
  std::string file;
  for (int i = 0; i < lines; ++i)
    file += "old" + std::to_string(i) + "\t35.00\t135.00\t26\t1\r\n";
  return file;
}

struct StationHarness {
  explicit StationHarness(std::string old = "old\tfile\r\n") : oldFile(std::move(old)) {
    folder.Write("Setting/Stations.ini", oldFile);
  }
  StationRefreshConfig Config(int staJson = 1) const {
    return {staJson, WorkFolderLayout(folder.U16()), server.BaseUrl()};
  }
  StationRefreshOutcome Refresh() { return downloader.RefreshStationFile(Config()); }
  std::string StationsIni() const { return folder.Read("Setting/Stations.ini"); }

  std::string oldFile;
  test::TempFolder folder;
  test::TestHttpServer server;
  CurlHttpClient http;
  CStationJsonDL downloader{http};
};

std::string Said(const StationRefreshOutcome& outcome) {
  return Utf16ToUtf8(outcome.said);
}

TEST(StationDownload, OneObjectBecomesOneLineByteForByte) {
  StationHarness h;
  h.server.Serve(Mode::kBody, StationList(kOneStation, 3000, 1));
  const StationRefreshOutcome outcome = h.Refresh();
  EXPECT_EQ(h.server.RequestLines().at(0),
            "GET /jma/kishou/know/jishin/intens-st/stations.json HTTP/1.1");
  EXPECT_EQ(h.server.UserAgents().at(0), "REVERIZA");
  EXPECT_TRUE(outcome.replaced);
  EXPECT_EQ(Said(outcome), "観測点リスト … Stations.ini を更新しました (3000 地点)");
  const std::string ini = h.StationsIni();
  EXPECT_TRUE(
      ini.starts_with("\xE6\x9C\xAD\xE5\xB9\x8C\t43.06\t141.33\t1\t0\r\n"
                      "\xE6\x9D\xB1\t35.00\t135.00\t26\t1\r\n"));
  EXPECT_EQ(std::count(ini.begin(), ini.end(), '\n'), 3000);
}

TEST(StationDownload, NumberFormatsEscapesAndLayout) {
  StationHarness h;
  h.server.Serve(
      Mode::kBody,
      StationList("\n  {\"lat\":9.5,\"lon\":139.777,\"name\":\"ab\\u6771cd\",\"pref\":13,"
                  "\"affi\":2} ,\n {\"lat\":1,\"lon\":2,\"name\":\"\\u6771\\u4zzz\","
                  "\"pref\":3,\"affi\":4},{\"lon\":5,\"lat\":6,\"name\":\"x\","
                  "\"pref\":1,\"affi\":1}",
                  3003, 3));
  h.Refresh();
  // Blank before 9.50, rounding to two places, only escaped characters kept, a broken escape
  // ends the name, and an object with its keys out of order is left out.
  EXPECT_TRUE(
      h.StationsIni().starts_with("\xE6\x9D\xB1\t 9.50\t139.78\t13\t2\r\n"
                                  "\xE6\x9D\xB1\t 1.00\t  2.00\t3\t4\r\n" +
                                  std::string(kFillerLine)));
  EXPECT_EQ(h.downloader.count(), 3003);
  EXPECT_EQ(h.downloader.CompleteCount(), 3002);
}

// Only a whole 2xx answer with a plausible list replaces the file; every other answer keeps
// it and says why.
TEST(StationDownload, TheFileIsKeptUnderEveryBadAnswer) {
  const std::string list = StationList();
  std::string huge = "[";  // past the 599,999-byte buffer
  while (huge.size() < 700000)
    huge += std::string(kOneStation) + ",";
  huge += std::string(kOneStation) + "]";
  struct Case {
    const char* what;
    Mode mode;
    int status;
    std::string body;
    StationDownload download;
    std::string said;
  };
  const Case cases[] = {
      {"error page", Mode::kErrorPage, 0, "", StationDownload::kNotWhole, "HTTP 503 の応答です"},
      {"404 with a list", Mode::kStatus, 404, list, StationDownload::kNotWhole,
       "HTTP 404 の応答です"},
      {"500 whose page starts with [", Mode::kStatus, 500, "[internal error]",
       StationDownload::kNotWhole, "HTTP 500 の応答です"},
      {"empty", Mode::kEmpty, 0, "", StationDownload::kNotAList, "本文がリストではありません"},
      {"[]", Mode::kBody, 0, "[]", StationDownload::kReceived,
       "地点が少なすぎます (0 地点; 今のファイルは 1 地点, 3000 地点以上が必要)"},
      {"members in another order", Mode::kBody, 0,
       StationList("", 4000, 0, R"({"name":"\u6771","lat":35,"lon":135,"pref":26,"affi":1})"),
       StationDownload::kReceived, "地点が少なすぎます (0 地点;"},
      {"a dozen stations", Mode::kBody, 0, StationList("", 12), StationDownload::kReceived,
       "地点が少なすぎます (12 地点;"},
      {"cut short of its length", Mode::kTruncated, 0, list, StationDownload::kNotWhole,
       "転送が途中で失敗しました (curl 18:"},
      {"too slow for the deadline", Mode::kTrickle, 0, list, StationDownload::kNotWhole,
       "転送が途中で失敗しました (curl 28:"},
      {"past the buffer", Mode::kBody, 0, huge, StationDownload::kNotWhole,
       "本文が上限 599999 バイトに達しました"},
      {"no answer", Mode::kCloseWithoutAnswer, 0, "", StationDownload::kCannotOpen,
       "接続できません (curl 52:"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StationHarness h;
    h.server.SetStatus(c.status);
    h.server.Serve(c.mode, c.body);
    const StationRefreshOutcome outcome = h.Refresh();
    EXPECT_EQ(h.downloader.StationDownloadStatus(), c.download);
    EXPECT_FALSE(outcome.replaced);
    EXPECT_NE(Said(outcome).find(c.said), std::string::npos) << Said(outcome);
    EXPECT_NE(Said(outcome).find("(Stations.ini はそのまま)"), std::string::npos);
    EXPECT_EQ(h.StationsIni(), "old\tfile\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(h.folder.path() / "Setting"),
                            std::filesystem::directory_iterator()),
              1);
  }
  StationHarness dead;
  StationRefreshConfig config = dead.Config();
  config.host = "http://127.0.0.1:" + std::to_string(test::TestHttpServer::UnusedPort());
  EXPECT_NE(Said(dead.downloader.RefreshStationFile(config)).find("接続できません (curl 7:"),
            std::string::npos);
  EXPECT_EQ(dead.downloader.StationDownloadStatus(), StationDownload::kCannotOpen);
  EXPECT_EQ(dead.StationsIni(), "old\tfile\r\n");
}

// A list must hold at least 90 % of the stations the current file has.
TEST(StationDownload, AListMuchShorterThanTheCurrentFileIsRefused) {
  struct Case {
    int current;
    int offered;
    bool replaced;
  };
  for (const Case& c : {Case{4000, 3599, false}, Case{4000, 3600, true}, Case{0, 2999, false},
                        Case{0, 3000, true}, Case{4372, 5000, true}}) {
    StationHarness h(StationsFile(c.current));
    h.server.Serve(Mode::kBody, StationList("", c.offered));
    const StationRefreshOutcome outcome = h.Refresh();
    EXPECT_EQ(outcome.replaced, c.replaced) << c.current << " → " << c.offered;
    EXPECT_EQ(h.StationsIni() == h.oldFile, !c.replaced) << c.current << " → " << c.offered;
  }
}

// Without a refreshed copy of their own, the user's list in use is the installed one: a
// list much shorter than that is refused too, and a good one becomes the user's copy.
TEST(StationDownload, TheInstalledListCountsWhenTheUserHasNone) {
  test::TempFolder shipped;
  shipped.Write("Setting/Stations.ini", StationsFile(4000));
  for (const int offered : {3599, 3600}) {
    StationHarness h;
    std::filesystem::remove(h.folder.path() / "Setting/Stations.ini");
    h.server.Serve(Mode::kBody, StationList("", offered));
    StationRefreshConfig config = h.Config();
    config.WorkingFolder = WorkFolderLayout(h.folder.U16(), shipped.U16());
    EXPECT_EQ(h.downloader.RefreshStationFile(config).replaced, offered == 3600) << offered;
    EXPECT_EQ(std::filesystem::exists(h.folder.path() / "Setting/Stations.ini"), offered == 3600);
  }
  EXPECT_EQ(shipped.Read("Setting/Stations.ini"), StationsFile(4000));
}

TEST(StationDownload, StaJsonZeroMakesNoConnection) {
  StationHarness h;
  h.server.Serve(Mode::kBody, StationList());
  EXPECT_TRUE(h.downloader.RefreshStationFile(h.Config(0)).said.empty());
  EXPECT_TRUE(h.server.RequestLines().empty());
  EXPECT_EQ(h.StationsIni(), "old\tfile\r\n");
}

TEST(StationDownload, TheTableStaysBoundedWhateverTheText) {
  CurlHttpClient http;
  CStationJsonDL downloader(http);
  std::string list = "[";
  const std::string object = R"({"lat":35.00,"lon":135.00,"name":"\u6771","pref":26,"affi":1})";
  while (list.size() < 700000)
    list += object + ",";
  list += object + "]";
  downloader.SetText(list);
  downloader.SplitStationObjects();
  // 599,999 bytes hold about 9,500 objects; the table keeps 5000 of them.
  EXPECT_EQ(downloader.count(), CStationJsonDL::kCapacity);
  const std::string ini = downloader.StationsFileText();
  EXPECT_EQ(std::count(ini.begin(), ini.end(), '\n'), CStationJsonDL::kCapacity);
}

TEST(StationDownload, DecodeUnicodeEscapes) {
  EXPECT_EQ(DecodeUnicodeEscapes(u"\\u672d\\u5E4C"), u"\u672d\u5e4c");
  EXPECT_EQ(DecodeUnicodeEscapes(u"Tokyo\\u6771"), u"\u6771");
  EXPECT_EQ(DecodeUnicodeEscapes(u"\\u67"), u"");
  EXPECT_EQ(DecodeUnicodeEscapes(u"\\"), u"");
  EXPECT_EQ(DecodeUnicodeEscapes(u"\\u6771\\uXYZW\\u6771"), u"\u6771");
}

}  // namespace
}  // namespace hw
