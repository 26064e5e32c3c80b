#include "platform/text_codec.h"

#include <iconv.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/utf16.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace hw {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsTrail(unsigned char b) {
  return (b & 0xC0) == 0x80;
}

// The ASCII run at the start of a 16-byte block is the common case of JSON and INI text, so
// whole blocks are checked and widened at once.
bool IsAsciiBlock16(const unsigned char* p) {
#if defined(__SSE2__)
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  return _mm_movemask_epi8(v) == 0;
#else
  std::uint64_t a;
  std::uint64_t b;
  std::memcpy(&a, p, 8);
  std::memcpy(&b, p + 8, 8);
  return ((a | b) & 0x8080808080808080ull) == 0;
#endif
}

void WidenBlock16(const unsigned char* p, char16_t* out) {
#if defined(__SSE2__)
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i zero = _mm_setzero_si128();
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(v, zero));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(v, zero));
#else
  for (int i = 0; i < 16; ++i)
    out[i] = p[i];
#endif
}

// Decodes one non-ASCII sequence starting at p[0] (p[0] >= 0x80, n >= 1 bytes available).
// Returns the number of bytes consumed and sets `cp` to the code point, or to -1 when the
// consumed bytes are a maximal invalid subsequence (one U+FFFD).
std::size_t DecodeMultiByte(const unsigned char* p, std::size_t n, std::int32_t& cp) {
  const unsigned char b0 = p[0];
  cp = -1;
  if (b0 < 0xC2) return 1;  // stray trail byte or overlong lead C0/C1
  if (b0 < 0xE0) {
    if (n < 2 || !IsTrail(p[1])) return 1;
    cp = ((b0 & 0x1F) << 6) | (p[1] & 0x3F);
    return 2;
  }
  if (b0 < 0xF0) {
    // E0 needs A0..BF (no overlongs); ED needs 80..9F (no surrogates).
    const unsigned char lo = b0 == 0xE0 ? 0xA0 : 0x80;
    const unsigned char hi = b0 == 0xED ? 0x9F : 0xBF;
    if (n < 2 || p[1] < lo || p[1] > hi) return 1;
    if (n < 3 || !IsTrail(p[2])) return 2;
    cp = ((b0 & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F);
    return 3;
  }
  if (b0 < 0xF5) {
    // F0 needs 90..BF (no overlongs); F4 needs 80..8F (nothing above U+10FFFF).
    const unsigned char lo = b0 == 0xF0 ? 0x90 : 0x80;
    const unsigned char hi = b0 == 0xF4 ? 0x8F : 0xBF;
    if (n < 2 || p[1] < lo || p[1] > hi) return 1;
    if (n < 3 || !IsTrail(p[2])) return 2;
    if (n < 4 || !IsTrail(p[3])) return 3;
    cp = ((b0 & 0x07) << 18) | ((p[1] & 0x3F) << 12) | ((p[2] & 0x3F) << 6) | (p[3] & 0x3F);
    return 4;
  }
  return 1;  // F5..FF never start a sequence
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const std::size_t n = utf8.size();
  // Every byte yields at most one unit and a 4-byte sequence yields two, so n units suffice.
  std::u16string result(n, u'\0');
  char16_t* out = result.data();
  std::size_t i = 0;
  while (i < n) {
    if (p[i] < 0x80) {
      while (n - i >= 16 && IsAsciiBlock16(p + i)) {
        WidenBlock16(p + i, out);
        i += 16;
        out += 16;
      }
      while (i < n && p[i] < 0x80) {
        *out++ = p[i++];
      }
      continue;
    }
    // Well-formed two- and three-byte sequences (Japanese text) decode inline.
    if (n - i >= 3 && (p[i] & 0xF0) == 0xE0 && IsTrail(p[i + 1]) && IsTrail(p[i + 2])) {
      const auto c = static_cast<char16_t>(((p[i] & 0x0F) << 12) | ((p[i + 1] & 0x3F) << 6) |
                                           (p[i + 2] & 0x3F));
      if (c >= 0x800 && (c & 0xF800) != 0xD800) {
        *out++ = c;
        i += 3;
        continue;
      }
    } else if (n - i >= 2 && p[i] >= 0xC2 && p[i] < 0xE0 && IsTrail(p[i + 1])) {
      *out++ = static_cast<char16_t>(((p[i] & 0x1F) << 6) | (p[i + 1] & 0x3F));
      i += 2;
      continue;
    }
    std::int32_t cp = 0;
    i += DecodeMultiByte(p + i, n - i, cp);
    if (cp < 0) {
      *out++ = kReplacement;
    } else if (cp < 0x10000) {
      *out++ = static_cast<char16_t>(cp);
    } else {
      cp -= 0x10000;
      *out++ = static_cast<char16_t>(0xD800 | (cp >> 10));
      *out++ = static_cast<char16_t>(0xDC00 | (cp & 0x3FF));
    }
  }
  result.resize(static_cast<std::size_t>(out - result.data()));
  return result;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  const char16_t* p = utf16.data();
  const std::size_t n = utf16.size();
  auto isPairAt = [&](std::size_t i) {
    return IsHighSurrogate(p[i]) && i + 1 < n && IsLowSurrogate(p[i + 1]);
  };
  // Sizing first lets the second pass write without growth checks.
  std::size_t size = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const char16_t c = p[i];
    if (c < 0x80) {
      size += 1;
    } else if (c < 0x800) {
      size += 2;
    } else if (isPairAt(i)) {
      size += 4;
      ++i;
    } else {
      size += 3;  // including an unpaired surrogate's EF BF BD
    }
  }
  std::string result(size, '\0');
  auto* out = reinterpret_cast<unsigned char*>(result.data());
  for (std::size_t i = 0; i < n; ++i) {
    std::uint32_t cp = p[i];
    if (cp < 0x80) {
      *out++ = static_cast<unsigned char>(cp);
    } else if (cp < 0x800) {
      *out++ = static_cast<unsigned char>(0xC0 | (cp >> 6));
      *out++ = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    } else if (isPairAt(i)) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (p[i + 1] - 0xDC00u);
      ++i;
      *out++ = static_cast<unsigned char>(0xF0 | (cp >> 18));
      *out++ = static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F));
      *out++ = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
      *out++ = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    } else {
      if (cp >= 0xD800 && cp <= 0xDFFF) cp = kReplacement;
      *out++ = static_cast<unsigned char>(0xE0 | (cp >> 12));
      *out++ = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
      *out++ = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    }
  }
  return result;
}

bool IsValidUtf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  while (i < n) {
    if (p[i] < 0x80) {
      while (n - i >= 16 && IsAsciiBlock16(p + i)) {
        i += 16;
      }
      while (i < n && p[i] < 0x80) {
        ++i;
      }
      continue;
    }
    std::int32_t cp = 0;
    i += DecodeMultiByte(p + i, n - i, cp);
    if (cp < 0) return false;
  }
  return true;
}

std::u16string Cp932ToUtf16(std::string_view bytes) {
  std::u16string result;
  result.reserve(bytes.size());
  iconv_t cd = iconv_open("UTF-16LE", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    // Without the converter only ASCII can be trusted.
    for (const char c : bytes) {
      const auto b = static_cast<unsigned char>(c);
      result.push_back(b < 0x80 ? char16_t{b} : kReplacement);
    }
    return result;
  }
  char* in = const_cast<char*>(bytes.data());  // iconv's signature lacks const
  std::size_t inLeft = bytes.size();
  char buffer[4096];
  while (inLeft > 0) {
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
    const int error = errno;
    const auto* produced = reinterpret_cast<const unsigned char*>(buffer);
    for (std::size_t k = 0; k + 1 < static_cast<std::size_t>(out - buffer); k += 2) {
      result.push_back(static_cast<char16_t>(produced[k] | (produced[k + 1] << 8)));
    }
    if (rc != static_cast<std::size_t>(-1) || error == E2BIG) continue;
    // An invalid or truncated sequence: one replacement for its first byte, then resume.
    result.push_back(kReplacement);
    ++in;
    --inLeft;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  iconv_close(cd);
  return result;
}

std::u16string Utf16LeToUtf16(std::string_view bytes) {
  std::u16string result(bytes.size() / 2, u'\0');
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  for (std::size_t i = 0; i < result.size(); ++i) {
    result[i] = static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8));
  }
  return result;
}

bool EqualsIgnoreAsciiCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char16_t x = a[i];
    char16_t y = b[i];
    if (x >= u'A' && x <= u'Z') x = static_cast<char16_t>(x + 0x20);
    if (y >= u'A' && y <= u'Z') y = static_cast<char16_t>(y + 0x20);
    if (x != y) return false;
  }
  return true;
}

}  // namespace hw
