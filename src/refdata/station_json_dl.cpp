#include "refdata/station_json_dl.h"

#include <algorithm>
#include <charconv>
#include <cstdarg>
#include <cstdint>
#include <cstdio>

#include "platform/atomic_file.h"
#include "platform/bounded_download.h"
#include "platform/number_text.h"
#include "platform/text_codec.h"
#include "refdata/reference_lines.h"
#include "refdata/reference_records.h"

namespace hw {
namespace {

// Fixed-point text of a coordinate, independent of the process's locale: "%5.2f" / "%6.2f".
std::string Coordinate(double value, int width) {
  char digits[64];
  const auto result =
      std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 2);
  std::string text(digits, result.ptr);
  if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), ' ');
  return text;
}

[[gnu::format(printf, 1, 2)]] std::string Format(const char* format, ...) {
  char text[512];
  std::va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

std::u16string Said(const std::string& text) {
  return u"観測点リスト … " + Utf8ToUtf16(text);
}

std::u16string Kept(const std::string& why) {
  return Said("更新しません: " + why + " (Stations.ini はそのまま)");
}

}  // namespace

int CountStationLines(std::u16string_view path) {
  int stations = 0;
  ReadReferenceLines(path, StationTable::kCapacity, [&stations](int, std::u16string_view line) {
    if (!line.empty() && line.front() != u'\t') ++stations;
  });
  return stations;
}

std::u16string DecodeUnicodeEscapes(std::u16string_view text) {
  std::u16string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'\\' || i + 1 >= text.size() || text[i + 1] != u'u') continue;
    int value = 0;
    for (std::size_t k = i + 2; k < i + 6; ++k) {
      const int digit = k < text.size() ? HexDigitValue(text[k]) : -1;
      if (digit < 0) return decoded;
      value = value * 16 + digit;
    }
    decoded.push_back(static_cast<char16_t>(value));
    i += 5;
  }
  return decoded;
}

StationRefreshOutcome CStationJsonDL::RefreshStationFile(const StationRefreshConfig& config) {
  if (config.StaJson == 0) return {};
  DownloadStationJson(config.host);
  if (status_ != StationDownload::kReceived) return {false, Kept(problem_)};
  SplitStationObjects();
  const std::u16string path = config.WorkingFolder.StationsFile();
  const int stations = CompleteCount();
  // The list in use now: the user's refreshed copy, else the installed one.
  const int current = CountStationLines(config.WorkingFolder.LoadedStationsFile());
  const int needed = std::max(kMinimumStations,
                              static_cast<int>((std::int64_t{current} * kKeptPercent + 99) / 100));
  if (stations < needed) {
    return {false,
            Kept(Format("地点が少なすぎます (%d 地点; 今のファイルは %d 地点, %d 地点以上が必要)",
                        stations, current, needed))};
  }
  if (std::string error; !WriteFileAtomically(path, StationsFileText(), &error)) {
    return {false, Kept("書き込めません (" + error + ")")};
  }
  return {true, Said(Format("Stations.ini を更新しました (%d 地点)", stations))};
}

void CStationJsonDL::DownloadStationJson(const std::string& host) {
  status_ = StationDownload::kUnderWay;
  problem_.clear();
  const BoundedBody download = BoundedGet(http_, host + std::string(kPath), kBufferSize);
  const HttpResult& result = download.result;
  const auto refuse = [this](StationDownload status, std::string why) {
    status_ = status;
    problem_ = std::move(why);
  };
  if (result.stage != HttpStage::kOpened) {
    return refuse(StationDownload::kCannotOpen,
                  Format("接続できません (curl %d: %s)", result.error, result.errorText.c_str()));
  }
  // Only a whole answer is the list: a cut list would drop every station after the cut.
  if (download.limitReached) {
    return refuse(StationDownload::kNotWhole,
                  Format("本文が上限 %zu バイトに達しました", kBodyLimit));
  }
  if (result.error != 0) {
    return refuse(StationDownload::kNotWhole,
                  Format("転送が途中で失敗しました (curl %d: %s; 受信 %zu バイト)", result.error,
                         result.errorText.c_str(), download.received));
  }
  if (result.status < 200 || result.status > 299) {
    return refuse(StationDownload::kNotWhole, Format("HTTP %d の応答です", result.status));
  }
  if (result.announced >= 0 && download.received != static_cast<std::size_t>(result.announced)) {
    return refuse(StationDownload::kNotWhole,
                  Format("応答が途中で切れました (受信 %zu バイト, Content-Length %lld バイト)",
                         download.received, result.announced));
  }
  text_ = download.body.substr(0, download.body.find('\0'));
  if (text_.empty() || text_[0] != '[') {
    return refuse(StationDownload::kNotAList,
                  Format("本文がリストではありません (%zu バイト)", download.received));
  }
  status_ = StationDownload::kReceived;
}

int CStationJsonDL::CompleteCount() const {
  int complete = 0;
  for (int i = 0; i < count_; ++i) {
    complete += table_[static_cast<std::size_t>(i)].complete ? 1 : 0;
  }
  return complete;
}

void CStationJsonDL::SetText(std::string_view text) {
  text_.assign(text.substr(0, kBodyLimit));
  text_ = text_.substr(0, text_.find('\0'));
}

void CStationJsonDL::SplitStationObjects() {
  bool inside = false;
  std::string object;
  int index = 0;
  for (const char c : text_) {
    if (c == '{') {
      inside = true;
    } else if (c == '}') {
      inside = false;
    } else if (c == '"') {
      continue;
    } else if (inside) {
      if (object.size() < kMaxObjectBytes) object.push_back(c);
    } else if (c == ',' || c == ']') {
      if (index < kCapacity) ParseStationObject(object, index);
      object.clear();
      ++index;
    }
  }
  count_ = index < kCapacity ? index : kCapacity;
}

void CStationJsonDL::ParseStationObject(std::string_view objectText, int index) {
  if (index < 0 || index >= kCapacity) return;
  StationJsonEntry& entry = table_[static_cast<std::size_t>(index)];
  entry.complete = false;
  const std::u16string text = Utf8ToUtf16(objectText);
  static constexpr std::u16string_view kKeys[] = {u"lat:", u"lon:", u"name:", u"pref:", u"affi:"};
  std::size_t at[5];
  std::size_t from = 0;
  for (int k = 0; k < 5; ++k) {
    at[k] = text.find(kKeys[k], from);
    if (at[k] == std::u16string::npos) return;
    from = at[k];
  }
  // A value runs to the comma before the next key; affi's to the end.
  const auto value = [&](int k) {
    const std::size_t start = at[k] + kKeys[k].size();
    const std::size_t end = k < 4 ? at[k + 1] - 1 : text.size();
    return end > start ? std::u16string_view(text).substr(start, end - start)
                       : std::u16string_view{};
  };
  entry.latitude = LeadingDouble(value(0));
  entry.longitude = LeadingDouble(value(1));
  entry.name.Assign(DecodeUnicodeEscapes(value(2)));
  entry.pref = LeadingInt(value(3));
  entry.affi = LeadingInt(value(4));
  entry.complete = true;
}

std::string CStationJsonDL::StationsFileText() const {
  std::string out;
  for (int i = 0; i < count_; ++i) {
    const StationJsonEntry& e = table_[static_cast<std::size_t>(i)];
    if (!e.complete) continue;
    out += Utf16ToUtf8(e.name.View());
    out += '\t';
    out += Coordinate(e.latitude, 5);
    out += '\t';
    out += Coordinate(e.longitude, 6);
    out += '\t';
    out += std::to_string(e.pref);
    out += '\t';
    out += std::to_string(e.affi);
    out += "\r\n";
  }
  return out;
}

}  // namespace hw
