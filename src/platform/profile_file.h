#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hw {

// A profile (INI) file with the semantics of GetPrivateProfileIntW, GetPrivateProfileStringW
// and WritePrivateProfileStringW, loaded once and saved once instead of reopened per key.
//
// Reading accepts UTF-16LE with or without a byte-order mark, UTF-8 with or without one, and
// otherwise CP932 (files edited on Windows are often Shift_JIS). A file that exists but cannot
// be read, or whose encoding is none of these, is never saved over: the user's text in it
// would be lost. Section and key names compare without
// regard to ASCII case; surrounding blanks of names and values are ignored; a value wrapped in
// matching quotes loses them. Saving writes UTF-8 and keeps every line it did not change.
class ProfileFile {
 public:
  static constexpr std::size_t kMaxValueLength = 511;      // a 512-unit buffer with its terminator
  static constexpr std::size_t kMaxFileBytes = 64u << 20;  // larger files read as empty

  // A missing, unreadable or oversized file gives an empty profile; only a missing one may be
  // saved over.
  static ProfileFile Load(const std::u16string& path);
  static ProfileFile Parse(std::string_view bytes);

  // The key's integer: optional sign and decimal digits at the start of the value, 0 when it
  // does not begin with a number; `defaultValue` when the section or key is missing or the
  // value is empty. Values beyond the int range saturate.
  int GetPrivateProfileInt(std::u16string_view section, std::u16string_view key,
                           int defaultValue) const;
  // The key's text cut to 511 characters, or `defaultValue` (also cut) when missing.
  std::u16string GetPrivateProfileString(std::u16string_view section, std::u16string_view key,
                                         std::u16string_view defaultValue) const;
  // Creates the section and the key as needed and replaces an existing value.
  void WritePrivateProfileString(std::u16string_view section, std::u16string_view key,
                                 std::u16string_view value);
  void WritePrivateProfileInt(std::u16string_view section, std::u16string_view key, int value);

  // The file as it would be saved: UTF-8, the line ends the file used (CR LF for a new file).
  std::string Serialize() const;
  // Why saving must not replace the file this profile was read from: it could not be read or
  // its encoding was not recognised. Empty when it may be saved.
  const std::string& KeepReason() const { return keepReason_; }

  // Writes to a temporary file beside `path` (or beside the target of a link) and renames it
  // over `path`, so a crash never leaves a half-written file. Returns false with the reason in
  // `error` when the file could not be written or KeepReason() forbids it.
  bool Save(const std::u16string& path, std::string* error = nullptr) const;

 private:
  enum class LineKind : std::uint8_t { kBlank, kSection, kKey, kOther };
  // One line of the file: a span of `text_` plus, for section and key lines, the spans of the
  // name and the value (relative to the line). Lines are spans rather than strings so that a
  // file of millions of tiny lines stays small in memory.
  struct Line {
    std::uint32_t begin = 0;
    std::uint32_t length = 0;
    std::uint32_t nameBegin = 0;
    std::uint32_t nameLength = 0;
    std::uint32_t valueBegin = 0;
    std::uint32_t valueLength = 0;
    LineKind kind = LineKind::kBlank;
  };

  std::u16string_view TextOf(const Line& line) const;
  std::u16string_view NameOf(const Line& line) const;
  std::u16string_view ValueOf(const Line& line) const;
  Line Classify(std::size_t begin, std::size_t length) const;
  Line AddLine(std::u16string_view text);
  std::size_t FindSection(std::u16string_view section) const;
  std::size_t FindKey(std::size_t sectionLine, std::u16string_view key) const;
  const Line* FindKeyLine(std::u16string_view section, std::u16string_view key) const;
  void CompactIfWasteful();

  std::u16string text_;  // the decoded file; rewritten lines are appended
  std::vector<Line> lines_;
  std::size_t unusedUnits_ = 0;  // units of `text_` no line refers to any more
  bool crlf_ = true;
  bool utf8Bom_ = false;
  bool finalLineEnd_ = true;  // whether the last line is followed by a line end
  std::string keepReason_;
};

}  // namespace hw
