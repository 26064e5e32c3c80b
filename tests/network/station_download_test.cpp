#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fakes/temp_folder.h"
#include "fakes/test_http_server.h"
#include "platform/curl/curl_http_client.h"
#include "refdata/station_json_dl.h"

namespace hw {
namespace {

using Mode = test::TestHttpServer::Mode;

constexpr const char* kOneStation =
    R"([{"lat":43.06,"lon":141.33,"name":"\u672d\u5e4c","pref":"01","affi":"0"}])";

struct StationHarness {
  StationHarness() { folder.Write("Setting/Stations.ini", "old\tfile\r\n"); }
  StationRefreshConfig Config(int staJson = 1) const {
    return {staJson, WorkFolderLayout(folder.U16()), server.BaseUrl()};
  }
  std::string StationsIni() const { return folder.Read("Setting/Stations.ini"); }

  test::TempFolder folder;
  test::TestHttpServer server;
  CurlHttpClient http;
  CStationJsonDL downloader{http};
};

TEST(StationDownload, OneObjectBecomesOneLineByteForByte) {
  StationHarness h;
  h.server.Serve(Mode::kBody, kOneStation);
  h.downloader.RefreshStationFile(h.Config());
  EXPECT_EQ(h.server.RequestLines().at(0),
            "GET /jma/kishou/know/jishin/intens-st/stations.json HTTP/1.1");
  EXPECT_EQ(h.server.UserAgents().at(0), "REVERIZA");
  EXPECT_EQ(h.StationsIni(), "\xE6\x9C\xAD\xE5\xB9\x8C\t43.06\t141.33\t1\t0\r\n");
}

TEST(StationDownload, NumberFormatsEscapesAndLayout) {
  StationHarness h;
  h.server.Serve(Mode::kBody,
                 "[\n  {\"lat\":9.5,\"lon\":139.777,\"name\":\"ab\\u6771cd\",\"pref\":13,"
                 "\"affi\":2} ,\n {\"lat\":1,\"lon\":2,\"name\":\"\\u6771\\u4zzz\",\"pref\":3,"
                 "\"affi\":4},{\"lon\":5,\"lat\":6,\"name\":\"x\",\"pref\":1,\"affi\":1}]");
  h.downloader.RefreshStationFile(h.Config());
  // Blank before 9.50, rounding to two places, only escaped characters kept, a broken escape
  // ends the name, and an object with its keys out of order is left out.
  EXPECT_EQ(h.StationsIni(),
            "\xE6\x9D\xB1\t 9.50\t139.78\t13\t2\r\n"
            "\xE6\x9D\xB1\t 1.00\t  2.00\t3\t4\r\n");
  EXPECT_EQ(h.downloader.count(), 3);
}

TEST(StationDownload, FailedDownloadsLeaveTheFileAlone) {
  struct Case {
    const char* what;
    Mode mode;
    StationDownload status;
  };
  for (const Case& c :
       {Case{"error page", Mode::kErrorPage, StationDownload::kNotAList},
        Case{"empty", Mode::kEmpty, StationDownload::kNotAList},
        Case{"no answer", Mode::kCloseWithoutAnswer, StationDownload::kCannotOpen}}) {
    StationHarness h;
    h.server.Serve(c.mode);
    h.downloader.RefreshStationFile(h.Config());
    EXPECT_EQ(h.downloader.StationDownloadStatus(), c.status) << c.what;
    EXPECT_EQ(h.StationsIni(), "old\tfile\r\n") << c.what;
  }
  StationHarness dead;
  StationRefreshConfig config = dead.Config();
  config.host = "http://127.0.0.1:" + std::to_string(test::TestHttpServer::UnusedPort());
  dead.downloader.RefreshStationFile(config);
  EXPECT_EQ(dead.downloader.StationDownloadStatus(), StationDownload::kCannotOpen);
  EXPECT_EQ(dead.StationsIni(), "old\tfile\r\n");
}

TEST(StationDownload, StaJsonZeroMakesNoConnection) {
  StationHarness h;
  h.server.Serve(Mode::kBody, kOneStation);
  h.downloader.RefreshStationFile(h.Config(0));
  EXPECT_TRUE(h.server.RequestLines().empty());
  EXPECT_EQ(h.StationsIni(), "old\tfile\r\n");
}

TEST(StationDownload, OversizedListKeepsTheObjectsThatFitAndTheTableBounded) {
  StationHarness h;
  std::string list = "[";
  const std::string object = R"({"lat":35.00,"lon":135.00,"name":"\u6771","pref":26,"affi":1})";
  while (list.size() < 700000)
    list += object + ",";
  list += object + "]";
  h.server.Serve(Mode::kBody, list);
  h.downloader.RefreshStationFile(h.Config());
  EXPECT_EQ(h.downloader.StationDownloadStatus(), StationDownload::kReceived);
  // 599,000 bytes hold about 9,500 objects; the table keeps 5000 of them.
  EXPECT_EQ(h.downloader.count(), CStationJsonDL::kCapacity);
  const std::string ini = h.StationsIni();
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
