#pragma once

#include <string>
#include <string_view>

namespace hw {

// Conversions between the program's UTF-16 text and the byte encodings of its files.
// Invalid input never fails: each malformed sequence becomes U+FFFD (UTF-8 → UTF-16, as the
// platform's UTF-8 conversion does) and each unpaired surrogate becomes EF BF BD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// True when the bytes are well-formed UTF-8 (no overlongs, no surrogates, ≤ U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// Shift_JIS as Windows writes it (code page 932); undecodable bytes become U+FFFD.
std::u16string Cp932ToUtf16(std::string_view bytes);

// Reads a little-endian UTF-16 byte sequence (an odd last byte is dropped).
std::u16string Utf16LeToUtf16(std::string_view bytes);

// ASCII-only case folding used for profile section and key names.
bool EqualsIgnoreAsciiCase(std::u16string_view a, std::u16string_view b);

}  // namespace hw
