#include "platform/profile_file.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <utility>

#include "platform/atomic_file.h"
#include "platform/file_system.h"
#include "platform/number_text.h"
#include "platform/text_codec.h"
#include "platform/utf16.h"

namespace hw {
namespace {

constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);
constexpr std::size_t kMaxTextUnits = std::numeric_limits<std::uint32_t>::max();

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}

// Narrows [begin, end) of `s` to exclude surrounding blanks.
void TrimBlanks(std::u16string_view s, std::size_t& begin, std::size_t& end) {
  while (begin < end && IsBlank(s[begin])) {
    ++begin;
  }
  while (end > begin && IsBlank(s[end - 1])) {
    --end;
  }
}

// Callers hand over C strings on Windows: whatever follows a NUL is not part of the argument.
std::u16string_view UpToNul(std::u16string_view s) {
  return s.substr(0, s.find(u'\0'));
}

// What is written must stay on one line, or the file would no longer say what was written.
std::u16string_view UpToLineBreak(std::u16string_view s) {
  return s.substr(0, s.find_first_of(u"\r\n\0", 0, 3));
}

// The caller's buffer holds 511 units and a terminator; a surrogate pair is not split.
std::u16string CutToValueBuffer(std::u16string_view s) {
  return std::u16string(s.substr(0, CutLengthKeepingPairs(s, ProfileFile::kMaxValueLength)));
}

enum class Encoding : std::uint8_t { kUtf16Le, kUtf8Bom, kUtf8, kCp932, kUnknown };

// ASCII text in UTF-16LE has a NUL in every odd byte; an INI file's names and punctuation are
// ASCII, so most of its odd bytes are NUL even when the values are Japanese. UTF-8 and CP932
// text has no NUL at all. Any other pattern of NULs (UTF-16BE, UTF-32, a binary file) is no
// encoding this reader knows.
Encoding EncodingWithoutMark(std::string_view bytes) {
  if (bytes.find('\0') == std::string_view::npos) {
    return IsValidUtf8(bytes) ? Encoding::kUtf8 : Encoding::kCp932;
  }
  if (bytes.size() % 2 != 0) return Encoding::kUnknown;
  std::size_t oddNuls = 0;
  std::size_t evenNuls = 0;
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    evenNuls += bytes[i] == '\0' ? 1 : 0;
    oddNuls += bytes[i + 1] == '\0' ? 1 : 0;
  }
  return oddNuls * 2 >= bytes.size() / 2 && oddNuls > evenNuls ? Encoding::kUtf16Le
                                                               : Encoding::kUnknown;
}

}  // namespace

ProfileFile ProfileFile::Load(const std::u16string& path) {
  // One byte over the limit tells an oversized file from one exactly at it.
  const FileBytes read = ReadRegularFile(path, kMaxFileBytes + 1);
  if (read.status == FileBytes::Status::kMissing) return ProfileFile();
  if (read.status == FileBytes::Status::kFailed) {
    ProfileFile profile;
    profile.keepReason_ = "cannot be read (" + read.error + ")";
    return profile;
  }
  return Parse(read.bytes);
}

ProfileFile ProfileFile::Parse(std::string_view bytes) {
  ProfileFile profile;
  if (bytes.size() > kMaxFileBytes) {
    profile.keepReason_ = "is larger than " + std::to_string(kMaxFileBytes >> 20) + " MiB";
    return profile;
  }
  Encoding encoding = Encoding::kUtf16Le;
  if (bytes.starts_with("\xFF\xFE")) {
    bytes.remove_prefix(2);
  } else if (bytes.starts_with("\xEF\xBB\xBF")) {
    encoding = Encoding::kUtf8Bom;
  } else {
    encoding = EncodingWithoutMark(bytes);
  }
  switch (encoding) {
    case Encoding::kUtf16Le:
      profile.text_ = Utf16LeToUtf16(bytes);
      break;
    case Encoding::kUtf8Bom:
      profile.utf8Bom_ = true;
      profile.text_ = Utf8ToUtf16(bytes.substr(3));
      break;
    case Encoding::kUtf8:
      profile.text_ = Utf8ToUtf16(bytes);
      break;
    case Encoding::kCp932:
      profile.text_ = Cp932ToUtf16(bytes);
      // Bytes that are neither UTF-8 nor Shift_JIS: what is readable is read, but writing the
      // file back would replace the bytes that were not understood.
      if (profile.text_.find(u'\uFFFD') != std::u16string::npos) {
        profile.keepReason_ = "is neither UTF-8, UTF-16 nor Shift_JIS text";
      }
      break;
    case Encoding::kUnknown:
      // Read as well as it goes (ASCII names still match), never written back.
      profile.text_ = IsValidUtf8(bytes) ? Utf8ToUtf16(bytes) : Cp932ToUtf16(bytes);
      profile.keepReason_ = "is neither UTF-8, UTF-16 nor Shift_JIS text";
      break;
  }
  // Text has no NUL characters; a file with some is damaged. It is read as it goes (a value
  // ends at a NUL, as in a caller's C string), but written back it would read differently.
  if (profile.keepReason_.empty() && profile.text_.find(u'\0') != std::u16string::npos) {
    profile.keepReason_ = "holds NUL characters";
  }

  // Lines end at LF, CR LF or a lone CR. The first line end decides how the file is written
  // back; only a plain LF makes it LF (a lone CR is written as CR LF).
  const std::u16string& text = profile.text_;
  const std::size_t n = text.size();
  std::size_t lineEnds = 0;
  for (const char16_t c : text) {
    lineEnds += (c == u'\r' || c == u'\n') ? 1 : 0;
  }
  profile.lines_.reserve(lineEnds + 1);
  bool sawLineEnd = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i < n;) {
    const char16_t c = text[i];
    if (c != u'\r' && c != u'\n') {
      ++i;
      continue;
    }
    profile.lines_.push_back(profile.Classify(start, i - start));
    if (!sawLineEnd) {
      profile.crlf_ = c == u'\r';
      sawLineEnd = true;
    }
    i += (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ? 2 : 1;
    start = i;
  }
  if (start < n) {
    profile.lines_.push_back(profile.Classify(start, n - start));
    profile.finalLineEnd_ = false;
  }
  return profile;
}

std::u16string_view ProfileFile::TextOf(const Line& line) const {
  return std::u16string_view(text_).substr(line.begin, line.length);
}

std::u16string_view ProfileFile::NameOf(const Line& line) const {
  return TextOf(line).substr(line.nameBegin, line.nameLength);
}

std::u16string_view ProfileFile::ValueOf(const Line& line) const {
  return TextOf(line).substr(line.valueBegin, line.valueLength);
}

ProfileFile::Line ProfileFile::Classify(std::size_t begin, std::size_t length) const {
  Line line;
  line.begin = static_cast<std::uint32_t>(begin);
  line.length = static_cast<std::uint32_t>(length);
  const std::u16string_view s = TextOf(line);
  std::size_t first = 0;
  while (first < s.size() && IsBlank(s[first])) {
    ++first;
  }
  if (first == s.size()) {
    line.kind = LineKind::kBlank;
    return line;
  }
  std::size_t nameBegin = 0;
  std::size_t nameEnd = 0;
  if (s[first] == u'[') {
    // "[name]" with anything after the bracket ignored; an unclosed header runs to the end.
    line.kind = LineKind::kSection;
    nameBegin = first + 1;
    nameEnd = s.find(u']', nameBegin);
    if (nameEnd == std::u16string_view::npos) nameEnd = s.size();
  } else if (s[first] == u';') {
    line.kind = LineKind::kOther;
    return line;
  } else {
    const std::size_t equals = s.find(u'=', first);
    if (equals == std::u16string_view::npos) {
      line.kind = LineKind::kOther;
      return line;
    }
    line.kind = LineKind::kKey;
    nameBegin = first;
    nameEnd = equals;
    std::size_t valueBegin = equals + 1;
    std::size_t valueEnd = s.size();
    TrimBlanks(s, valueBegin, valueEnd);
    if (valueEnd - valueBegin >= 2 && (s[valueBegin] == u'"' || s[valueBegin] == u'\'') &&
        s[valueEnd - 1] == s[valueBegin]) {
      ++valueBegin;
      --valueEnd;
    }
    line.valueBegin = static_cast<std::uint32_t>(valueBegin);
    line.valueLength = static_cast<std::uint32_t>(valueEnd - valueBegin);
  }
  TrimBlanks(s, nameBegin, nameEnd);
  line.nameBegin = static_cast<std::uint32_t>(nameBegin);
  line.nameLength = static_cast<std::uint32_t>(nameEnd - nameBegin);
  return line;
}

ProfileFile::Line ProfileFile::AddLine(std::u16string_view text) {
  const std::size_t begin = text_.size();
  text_.append(text);
  return Classify(begin, text.size());
}

std::size_t ProfileFile::FindSection(std::u16string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const Line& line = lines_[i];
    if (line.kind == LineKind::kSection && EqualsIgnoreAsciiCase(NameOf(line), section)) return i;
  }
  return kNotFound;
}

std::size_t ProfileFile::FindKey(std::size_t sectionLine, std::u16string_view key) const {
  for (std::size_t i = sectionLine + 1; i < lines_.size(); ++i) {
    const Line& line = lines_[i];
    if (line.kind == LineKind::kSection) break;
    if (line.kind == LineKind::kKey && EqualsIgnoreAsciiCase(NameOf(line), key)) return i;
  }
  return kNotFound;
}

const ProfileFile::Line* ProfileFile::FindKeyLine(std::u16string_view section,
                                                  std::u16string_view key) const {
  const std::size_t sectionLine = FindSection(section);
  if (sectionLine == kNotFound) return nullptr;
  const std::size_t keyLine = FindKey(sectionLine, key);
  return keyLine == kNotFound ? nullptr : &lines_[keyLine];
}

int ProfileFile::GetPrivateProfileInt(std::u16string_view section, std::u16string_view key,
                                      int defaultValue) const {
  const Line* line = FindKeyLine(UpToNul(section), UpToNul(key));
  if (line == nullptr) return defaultValue;
  const std::u16string_view value = UpToNul(ValueOf(*line));
  return value.empty() ? defaultValue : LeadingInt(value);
}

std::u16string ProfileFile::GetPrivateProfileString(std::u16string_view section,
                                                    std::u16string_view key,
                                                    std::u16string_view defaultValue) const {
  const Line* line = FindKeyLine(UpToNul(section), UpToNul(key));
  return CutToValueBuffer(UpToNul(line != nullptr ? ValueOf(*line) : defaultValue));
}

void ProfileFile::WritePrivateProfileString(std::u16string_view section, std::u16string_view key,
                                            std::u16string_view value) {
  section = UpToLineBreak(section);
  key = UpToLineBreak(key);
  value = UpToLineBreak(value);
  // Line positions are 32-bit; refuse a write that could not be addressed (gigabytes of text).
  if (text_.size() + section.size() + key.size() + value.size() + 3 > kMaxTextUnits) return;

  std::u16string keyLine;
  const std::size_t sectionLine = FindSection(section);
  if (sectionLine == kNotFound) {
    if (!lines_.empty() && lines_.back().kind != LineKind::kBlank) lines_.push_back(AddLine(u""));
    std::u16string header;
    header.append(u"[").append(section).append(u"]");
    lines_.push_back(AddLine(header));
    keyLine.append(key).append(u"=").append(value);
    lines_.push_back(AddLine(keyLine));
    finalLineEnd_ = true;
    return;
  }

  const std::size_t existing = FindKey(sectionLine, key);
  if (existing != kNotFound) {
    // Keep the key as the file spells it; the rest of the line is rewritten.
    keyLine.append(NameOf(lines_[existing])).append(u"=").append(value);
    unusedUnits_ += lines_[existing].length;
    lines_[existing] = AddLine(keyLine);
    CompactIfWasteful();
    return;
  }

  // After the section's last key, so blank lines separating it from the next one stay there.
  std::size_t insertAt = sectionLine + 1;
  for (std::size_t i = sectionLine + 1; i < lines_.size(); ++i) {
    if (lines_[i].kind == LineKind::kSection) break;
    if (lines_[i].kind == LineKind::kKey) insertAt = i + 1;
  }
  keyLine.append(key).append(u"=").append(value);
  if (insertAt == lines_.size()) finalLineEnd_ = true;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), AddLine(keyLine));
}

void ProfileFile::WritePrivateProfileInt(std::u16string_view section, std::u16string_view key,
                                         int value) {
  const std::string digits = std::to_string(value);
  WritePrivateProfileString(section, key, std::u16string(digits.begin(), digits.end()));
}

void ProfileFile::CompactIfWasteful() {
  // Rewriting a key leaves its old text behind; drop it once it outweighs the live text.
  if (unusedUnits_ < 4096 || unusedUnits_ < text_.size() / 2) return;
  std::u16string compacted;
  compacted.reserve(text_.size() - unusedUnits_);
  for (Line& line : lines_) {
    const std::size_t begin = compacted.size();
    compacted.append(TextOf(line));
    line.begin = static_cast<std::uint32_t>(begin);
  }
  text_ = std::move(compacted);
  unusedUnits_ = 0;
}

std::string ProfileFile::Serialize() const {
  const std::u16string_view lineEnd = crlf_ ? u"\r\n" : u"\n";
  std::u16string joined;
  joined.reserve(text_.size() - unusedUnits_ + lines_.size() * lineEnd.size());
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    joined.append(TextOf(lines_[i]));
    if (i + 1 < lines_.size() || finalLineEnd_) joined.append(lineEnd);
  }
  std::string bytes = utf8Bom_ ? "\xEF\xBB\xBF" : "";
  bytes.append(Utf16ToUtf8(joined));
  return bytes;
}

bool ProfileFile::Save(const std::u16string& path, std::string* error) const {
  if (!keepReason_.empty()) {
    if (error != nullptr) *error = "the file " + keepReason_;
    return false;
  }
  return WriteFileAtomically(path, Serialize(), error);
}

}  // namespace hw
