#include "refdata/station_json_dl.h"

#include <charconv>
#include <cstdio>

#include "platform/atomic_file.h"
#include "platform/bounded_download.h"
#include "platform/number_text.h"
#include "platform/text_codec.h"

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

}  // namespace

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

void CStationJsonDL::RefreshStationFile(const StationRefreshConfig& config) {
  if (config.StaJson == 0) return;
  DownloadStationJson(config.host);
  if (status_ != StationDownload::kReceived) return;
  SplitStationObjects();
  WriteFileAtomically(config.WorkingFolder.StationsFile(), StationsFileText());
}

void CStationJsonDL::DownloadStationJson(const std::string& host) {
  status_ = StationDownload::kUnderWay;
  // The window's thread waits for this download; the bounded download's time-outs keep a dead
  // network from freezing it.
  const BoundedBody download = BoundedGet(http_, host + std::string(kPath), kBufferSize);
  if (download.result.stage != HttpStage::kOpened) {
    status_ = StationDownload::kCannotOpen;
    return;
  }
  text_ = download.body.substr(0, download.body.find('\0'));
  status_ = !text_.empty() && text_[0] == '[' && download.received != 0
                ? StationDownload::kReceived
                : StationDownload::kNotAList;
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
