#include "platform/blit.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace hw {

namespace {

// The byte-wise kernels below read a pixel word as the bytes B, G, R, A.
static_assert(std::endian::native == std::endian::little);

using std::int64_t;
using std::size_t;
using std::uint16_t;
using std::uint32_t;
using std::uint8_t;

constexpr uint32_t kOpaque = 0xFF000000u;
constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kRgbMask = 0x00FFFFFFu;

// A surface without pixels (allocation failed, or moved from) is 0 × 0 to every blit.
int64_t WidthOf(const Surface& s) {
  return s.empty() ? 0 : s.width();
}
int64_t HeightOf(const Surface& s) {
  return s.empty() ? 0 : s.height();
}

// Offsets [first, last) into a destination run. All edge arithmetic is 64-bit because
// x + w and similar sums of ints may not fit an int.
struct Range {
  int64_t first = 0;
  int64_t last = 0;
  bool Empty() const { return first >= last; }
  int64_t Size() const { return last - first; }
};

// The offsets of a run of n pixels at x that lie on a surface dst_n pixels long.
Range ClipToSurface(int64_t x, int64_t n, int64_t dst_n) {
  return {std::max<int64_t>(0, -x), std::min<int64_t>(n, dst_n - x)};
}

// For a pixel-for-pixel copy: the offsets on both the destination and the source surface.
Range ClipCopy(int64_t x, int64_t n, int64_t dst_n, int64_t sx, int64_t src_n) {
  const Range dst_range = ClipToSurface(x, n, dst_n);
  return {std::max(dst_range.first, -sx), std::min(dst_range.last, src_n - sx)};
}

uint32_t* DstRow(Surface& dst, int64_t y) {
  return dst.Row(static_cast<int>(y));
}
const uint32_t* SrcRow(const Surface& src, int64_t y) {
  return src.Row(static_cast<int>(y));
}

void FillBlack(uint32_t* out, int64_t count) {
  if (count > 0) std::fill_n(out, count, kBlack);
}

// The part of a source rectangle that lies on its surface, copied out so that an operation
// can read it while writing the same surface. `origin_x/y` is where the copy sat on `src`;
// an empty result means nothing of the rectangle was on the surface (or memory ran out).
Surface CopyOnSurfacePart(const Surface& src, int64_t sx, int64_t sy, int64_t sw, int64_t sh,
                          int* origin_x, int* origin_y) {
  const int64_t left = std::max<int64_t>(sx, 0);
  const int64_t top = std::max<int64_t>(sy, 0);
  const int64_t right = std::min(sx + sw, WidthOf(src));
  const int64_t bottom = std::min(sy + sh, HeightOf(src));
  *origin_x = static_cast<int>(left);
  *origin_y = static_cast<int>(top);
  if (left >= right || top >= bottom) return {};
  Surface copy(static_cast<int>(right - left), static_cast<int>(bottom - top));
  BitBlt(copy, 0, 0, copy.width(), copy.height(), src, *origin_x, *origin_y);
  return copy;
}

// ---- Nearest-pixel sampling (TransparentBlt and scaled AlphaBlend) ----

// The source pixel each destination offset in `range` samples: s + ((2i + 1)·m) / (2n), the
// source pixel under the centre of destination pixel i. The sample never decreases with i,
// so the offsets whose sample lies on the source surface form one run, which is `range`.
struct NearestSamples {
  Range range;
  std::vector<int> source;  // source[i - range.first]
};

NearestSamples SampleNearest(int64_t x, int64_t n, int64_t dst_n, int64_t s, int64_t m,
                             int64_t src_n) {
  NearestSamples samples;
  Range range = ClipToSurface(x, n, dst_n);
  if (range.Empty()) return samples;
  // (2i + 1)·m < 2^32 · 2^31, which fits an int64.
  auto sample = [&](int64_t i) { return s + ((2 * i + 1) * m) / (2 * n); };
  while (range.first < range.last && sample(range.first) < 0) {
    ++range.first;
  }
  while (range.last > range.first && sample(range.last - 1) >= src_n) {
    --range.last;
  }
  samples.range = range;
  samples.source.reserve(static_cast<size_t>(std::max<int64_t>(range.Size(), 0)));
  for (int64_t i = range.first; i < range.last; ++i) {
    samples.source.push_back(static_cast<int>(sample(i)));
  }
  return samples;
}

// Calls row_op(out, in, pixels) for every destination row of a nearest-pixel draw, with `in`
// the row's source samples in destination order. Without horizontal scaling those are
// consecutive source pixels and are read in place; otherwise they are gathered first.
template <typename RowOp>
void ForEachNearestRow(Surface& dst, int64_t x, int64_t y, int64_t w, int64_t h, const Surface& src,
                       int64_t sx, int64_t sy, int64_t sw, int64_t sh, RowOp row_op) {
  const NearestSamples cols = SampleNearest(x, w, WidthOf(dst), sx, sw, WidthOf(src));
  const NearestSamples rows = SampleNearest(y, h, HeightOf(dst), sy, sh, HeightOf(src));
  if (cols.range.Empty() || rows.range.Empty()) return;
  const bool in_place = sw == w;
  std::vector<uint32_t> gathered(in_place ? 0 : static_cast<size_t>(cols.range.Size()));
  for (int64_t j = rows.range.first; j < rows.range.last; ++j) {
    const uint32_t* in = SrcRow(src, rows.source[static_cast<size_t>(j - rows.range.first)]);
    if (in_place) {
      in += cols.source.front();
    } else {
      for (size_t i = 0; i < gathered.size(); ++i) {
        gathered[i] = in[cols.source[i]];
      }
      in = gathered.data();
    }
    row_op(DstRow(dst, y + j) + (x + cols.range.first), in, cols.range.Size());
  }
}

// ---- Constant-alpha blending ----

// Bytes handled per step of the byte loops. The fixed inner trip count lets g++ vectorise at
// -O2, where it only vectorises loops it can replace entirely; clang does so regardless. 64
// bytes fill one AVX-512 register.
constexpr size_t kChunk = 64;

// The byte loops are compiled three times, for AVX-512, AVX2 and the SSE2 baseline, and the
// loader picks the widest the processor has. The baseline alone reaches only a fraction of
// memcpy speed on a blend; 64-byte vectors reach more than half of it.
// ThreadSanitizer builds use the baseline only: the loader resolves the clones before the
// ThreadSanitizer runtime is ready, which it does not survive.
#if defined(__SANITIZE_THREAD__)
#define HW_NO_VECTOR_CLONES 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define HW_NO_VECTOR_CLONES 1
#endif
#endif
#if defined(__x86_64__) && defined(__ELF__) && defined(__has_attribute) && \
    !defined(HW_NO_VECTOR_CLONES)
#if __has_attribute(target_clones)
#define HW_VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#endif
#endif
#ifndef HW_VECTOR_CLONES
#define HW_VECTOR_CLONES
#endif

// round((s·a + d·(255 − a)) / 255) for a in 0..255. The sum x is at most 255·255, and
// (t + (t >> 8)) >> 8 with t = x + 128 divides such x by 255 with exact rounding; every
// intermediate stays below 2^16. Each step is cast back to 16 bits so that clang, too, keeps
// 16-bit vector lanes instead of widening to the int the promotions ask for.
inline uint8_t BlendByte(uint8_t s, uint8_t d, uint16_t a, uint16_t inverse_a) {
  const auto x =
      static_cast<uint16_t>(static_cast<uint16_t>(s * a) + static_cast<uint16_t>(d * inverse_a));
  const auto t = static_cast<uint16_t>(x + 128);
  return static_cast<uint8_t>(static_cast<uint16_t>(t + static_cast<uint16_t>(t >> 8)) >> 8);
}

// ORed into a chunk's bytes: the alpha byte of every pixel is forced to 0xFF so the result
// stays opaque whatever the inputs' alpha bytes held. An array rather than a test on k keeps
// the chunk loop vectorisable.
constexpr auto kAlphaBytes = [] {
  std::array<uint8_t, kChunk> bytes{};
  for (size_t i = 3; i < kChunk; i += 4) {
    bytes[i] = 0xFF;
  }
  return bytes;
}();

// __restrict on the parameters (g++ ignores it on locals) spares a runtime overlap check,
// which -O2 would not vectorise around.
HW_VECTOR_CLONES void BlendBytes(uint8_t* __restrict d, const uint8_t* __restrict s, size_t bytes,
                                 uint16_t alpha) {
  const auto inverse_alpha = static_cast<uint16_t>(255 - alpha);
  size_t i = 0;
  for (; i + kChunk <= bytes; i += kChunk) {
    for (size_t k = 0; k < kChunk; ++k) {
      d[i + k] = BlendByte(s[i + k], d[i + k], alpha, inverse_alpha) | kAlphaBytes[k];
    }
  }
  for (; i < bytes; ++i) {
    d[i] = BlendByte(s[i], d[i], alpha, inverse_alpha) | kAlphaBytes[i % kChunk];
  }
}

void BlendRow(uint32_t* dst, const uint32_t* src, int64_t pixels, uint16_t alpha) {
  BlendBytes(reinterpret_cast<uint8_t*>(dst), reinterpret_cast<const uint8_t*>(src),
             static_cast<size_t>(pixels) * 4, alpha);
}

// ---- Colour-keyed copy ----

// Copies the pixels whose colour differs from key_rgb, made opaque; written as a select so
// that the loop vectorises.
HW_VECTOR_CLONES void KeyedCopyRow(uint32_t* __restrict out, const uint32_t* __restrict in,
                                   size_t pixels, uint32_t key_rgb) {
  constexpr size_t kPixels = kChunk / sizeof(uint32_t);
  size_t i = 0;
  for (; i + kPixels <= pixels; i += kPixels) {
    for (size_t k = 0; k < kPixels; ++k) {
      const uint32_t p = in[i + k];
      out[i + k] = ((p ^ key_rgb) & kRgbMask) != 0 ? p | kOpaque : out[i + k];
    }
  }
  for (; i < pixels; ++i) {
    const uint32_t p = in[i];
    out[i] = ((p ^ key_rgb) & kRgbMask) != 0 ? p | kOpaque : out[i];
  }
}

// ---- Area-averaging resampling (StretchBlt) ----

// Weights are 12-bit fixed point: the weights of a destination pixel whose footprint lies on
// the source sum to exactly kOne per axis, so a uniform area keeps its exact colour.
constexpr int kWeightBits = 12;
constexpr uint32_t kOne = 1u << kWeightBits;

// The run of consecutive source pixels one destination pixel averages along an axis.
struct Tap {
  int source = 0;     // first source pixel
  int count = 0;      // pixels in the run; 0 when the footprint is off the source surface
  size_t weight = 0;  // index of the first weight in AreaTaps::weights
};

struct AreaTaps {
  Range range;            // destination offsets on the destination surface
  std::vector<Tap> taps;  // taps[i - range.first]
  std::vector<uint32_t> weights;
};

int64_t FloorDiv(int64_t a, int64_t b) {
  return a / b - (a % b != 0 && (a < 0) != (b < 0) ? 1 : 0);
}

// Destination pixel i of a run of n covers the picture interval [s + i·m/n, s + (i+1)·m/n).
// The source holds the picture at 1/scale: source pixel k stands for picture pixels
// [k·scale, (k+1)·scale), cut at the picture's length `extent`. Working in units of 1/n picture
// pixel, measured from `base`, the first picture pixel of the source pixel under s, keeps
// everything integral: the footprint is [r·n + i·m, r·n + (i+1)·m) with r = s − base, and source
// pixel first + k covers [k·scale·n, (k+1)·scale·n), cut to the picture's [low, high). A pixel's
// weight is the rounded cumulative coverage at its right edge minus that at its left edge, so
// the rounding errors telescope and the weights of a footprint wholly on the picture sum to
// exactly kOne. Parts of a footprint off the picture get no tap, which is how they average in
// black. At scale 1 this is the plain StretchBlt geometry.
AreaTaps ComputeAreaTaps(int64_t x, int64_t n, int64_t dst_n, int64_t s, int64_t m, int64_t extent,
                         int64_t scale) {
  AreaTaps result;
  result.range = ClipToSurface(x, n, dst_n);
  if (result.range.Empty()) return result;
  result.taps.reserve(static_cast<size_t>(result.range.Size()));
  const int64_t first = FloorDiv(s, scale);
  const int64_t base = first * scale;
  const int64_t r = s - base;
  const int64_t pixel = scale * n;
  // No footprint reaches past r + m < scale + m picture pixels from base; capping the
  // picture's bounds there keeps their products with n below 2^63 for any int arguments.
  const int64_t reach = scale + m;
  const int64_t low = std::clamp<int64_t>(-base, 0, reach) * n;
  const int64_t high = std::clamp<int64_t>(extent - base, 0, reach) * n;
  // Coverage c is at most m < 2^31, so c·kOne fits easily.
  auto rounded_weight = [m](int64_t coverage) {
    return static_cast<uint32_t>((coverage * kOne + m / 2) / m);
  };
  for (int64_t i = result.range.first; i < result.range.last; ++i) {
    // r·n < 2^41 (scale is at most kMaxHeldScale) and i·m, (i+1)·m < 2^62.
    const int64_t begin = r * n + i * m;
    const int64_t end = begin + m;
    const int64_t on_begin = std::max(begin, low);
    const int64_t on_end = std::min(end, high);
    Tap tap;
    tap.weight = result.weights.size();
    const int64_t k_begin = on_begin / pixel;
    const int64_t k_end = on_end > on_begin ? (on_end - 1) / pixel + 1 : k_begin;
    for (int64_t k = k_begin; k < k_end; ++k) {
      const int64_t covered_before = std::max(on_begin, k * pixel) - begin;
      const int64_t covered_after = std::min(on_end, (k + 1) * pixel) - begin;
      const uint32_t weight = rounded_weight(covered_after) - rounded_weight(covered_before);
      if (weight == 0 && tap.count == 0) continue;  // sliver that rounds away at the start
      if (tap.count == 0) tap.source = static_cast<int>(first + k);
      result.weights.push_back(weight);
      ++tap.count;
    }
    while (tap.count > 0 && result.weights.back() == 0) {  // and at the end
      result.weights.pop_back();
      --tap.count;
    }
    result.taps.push_back(tap);
  }
  return result;
}

// The source pixels [begin, end) that the taps read; empty when every footprint is off the
// source.
// Keeps the taps of the destination offsets [first, last) only.
void KeepTaps(AreaTaps& taps, int64_t first, int64_t last) {
  const int64_t begin = std::max(first, taps.range.first);
  const int64_t end = std::min(last, taps.range.last);
  if (end <= begin) {
    taps.range = {};
    taps.taps.clear();
    return;
  }
  const auto skip = static_cast<size_t>(begin - taps.range.first);
  taps.taps.erase(
      taps.taps.begin() + static_cast<std::ptrdiff_t>(skip + static_cast<size_t>(end - begin)),
      taps.taps.end());
  taps.taps.erase(taps.taps.begin(), taps.taps.begin() + static_cast<std::ptrdiff_t>(skip));
  taps.range = {begin, end};
}

struct TapSpan {
  int begin = 0;
  int end = 0;
  int longest = 0;  // the most pixels one tap reads
  bool Empty() const { return begin >= end; }
};

TapSpan SpanOf(const AreaTaps& taps) {
  TapSpan span;
  bool any = false;
  for (const Tap& tap : taps.taps) {
    if (tap.count == 0) continue;
    span.begin = any ? std::min(span.begin, tap.source) : tap.source;
    span.end = any ? std::max(span.end, tap.source + tap.count) : tap.source + tap.count;
    span.longest = std::max(span.longest, tap.count);
    any = true;
  }
  return span;
}

// acc[i] = s[i]·w (first source row of a destination row) and acc[i] += s[i]·w (the others),
// over the bytes of a row. Products are at most 255·kOne, so the u16 × u16 → u32 widening
// multiply applies.
HW_VECTOR_CLONES void AssignWeightedRow(uint32_t* __restrict acc, const uint8_t* __restrict s,
                                        size_t bytes, uint32_t weight) {
  const auto w = static_cast<uint16_t>(weight);
  size_t i = 0;
  for (; i + kChunk <= bytes; i += kChunk) {
    for (size_t k = 0; k < kChunk; ++k) {
      acc[i + k] = uint32_t{s[i + k]} * w;
    }
  }
  for (; i < bytes; ++i) {
    acc[i] = uint32_t{s[i]} * w;
  }
}

HW_VECTOR_CLONES void AddWeightedRow(uint32_t* __restrict acc, const uint8_t* __restrict s,
                                     size_t bytes, uint32_t weight) {
  const auto w = static_cast<uint16_t>(weight);
  size_t i = 0;
  for (; i + kChunk <= bytes; i += kChunk) {
    for (size_t k = 0; k < kChunk; ++k) {
      acc[i + k] += uint32_t{s[i + k]} * w;
    }
  }
  for (; i < bytes; ++i) {
    acc[i] += uint32_t{s[i]} * w;
  }
}

// Each destination pixel of a row from the column sums in `acc` (four values a pixel, from
// source column span_begin on). An acc value is at most 255·kOne and a pixel's column weights
// sum to at most kOne, so a sum with its rounding half stays below 255·2^24 + 2^23 < 2^32.
// The four channels are summed alike (alpha too, then dropped) so that they share one
// vector multiply.
HW_VECTOR_CLONES void ResampleRow(uint32_t* out, const uint32_t* acc, int span_begin,
                                  const AreaTaps& cols) {
  constexpr uint32_t kHalf = 1u << (2 * kWeightBits - 1);
  constexpr int kShift = 2 * kWeightBits;
  for (size_t i = 0; i < cols.taps.size(); ++i) {
    const Tap& tap = cols.taps[i];
    if (tap.count == 0) {
      out[i] = kBlack;
      continue;
    }
    const uint32_t* a = acc + static_cast<size_t>(tap.source - span_begin) * 4;
    const uint32_t* weights = cols.weights.data() + tap.weight;
    uint32_t sum[4] = {kHalf, kHalf, kHalf, kHalf};
    for (int k = 0; k < tap.count; ++k) {
      for (int c = 0; c < 4; ++c) {
        sum[c] += a[4 * k + c] * weights[k];
      }
    }
    out[i] = kOpaque | (sum[2] >> kShift) << 16 | (sum[1] >> kShift) << 8 | (sum[0] >> kShift);
  }
}

// Same-size StretchBlt: a copy, with black wherever the source rectangle is off its surface.
void StretchCopy(Surface& dst, int64_t x, int64_t y, int64_t w, int64_t h, const Surface& src,
                 int64_t sx, int64_t sy) {
  const Range cols = ClipToSurface(x, w, WidthOf(dst));
  const Range rows = ClipToSurface(y, h, HeightOf(dst));
  if (cols.Empty() || rows.Empty()) return;
  const Range on_source = ClipCopy(x, w, WidthOf(dst), sx, WidthOf(src));
  for (int64_t j = rows.first; j < rows.last; ++j) {
    uint32_t* out = DstRow(dst, y + j);
    const int64_t source_row = sy + j;
    if (source_row < 0 || source_row >= HeightOf(src) || on_source.Empty()) {
      FillBlack(out + (x + cols.first), cols.Size());
      continue;
    }
    FillBlack(out + (x + cols.first), on_source.first - cols.first);
    std::memcpy(out + (x + on_source.first), SrcRow(src, source_row) + (sx + on_source.first),
                static_cast<size_t>(on_source.Size()) * sizeof(uint32_t));
    FillBlack(out + (x + on_source.last), cols.last - on_source.last);
  }
}

// An exact integer up-scale of a source rectangle wholly on its surface: every destination
// pixel's footprint lies inside one source pixel, whose colour is then the average, so the
// stretch is a replicating copy. Rows after the first of a source row are copies of it.
// False when the stretch is not one.
bool ReplicateUpscale(Surface& dst, int64_t x, int64_t y, int64_t w, int64_t h, const Surface& src,
                      int64_t sx, int64_t sy, int64_t sw, int64_t sh, int64_t left, int64_t top,
                      int64_t right, int64_t bottom) {
  if (w % sw != 0 || h % sh != 0 || sx < 0 || sy < 0 || sx + sw > WidthOf(src) ||
      sy + sh > HeightOf(src)) {
    return false;
  }
  const int64_t across = w / sw;
  const int64_t down = h / sh;
  left = std::max<int64_t>(left, 0);
  top = std::max<int64_t>(top, 0);
  right = std::min<int64_t>(right, WidthOf(dst));
  bottom = std::min<int64_t>(bottom, HeightOf(dst));
  const auto width = static_cast<size_t>(std::max<int64_t>(right - left, 0));
  for (int64_t row = top; row < bottom; ++row) {
    uint32_t* out = DstRow(dst, row) + left;
    const int64_t j = row - y;
    if (j % down != 0 && row > top) {
      std::memcpy(out, DstRow(dst, row - 1) + left, width * sizeof(uint32_t));
      continue;
    }
    const uint32_t* in = SrcRow(src, sy + j / down);
    for (int64_t col = left; col < right; ++col) {
      out[col - left] = in[sx + (col - x) / across] | kOpaque;
    }
  }
  return true;
}

}  // namespace

void BitBlt(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy) {
  if (w <= 0 || h <= 0) return;
  const Range cols = ClipCopy(x, w, WidthOf(dst), sx, WidthOf(src));
  const Range rows = ClipCopy(y, h, HeightOf(dst), sy, HeightOf(src));
  if (cols.Empty() || rows.Empty()) return;
  const int64_t dst_x = x + cols.first;
  const int64_t src_x = sx + cols.first;
  const auto row_bytes = static_cast<size_t>(cols.Size()) * sizeof(uint32_t);
  // Whole rows between surfaces of one width form a single block. memmove throughout, since
  // source and destination may be the same surface.
  if (dst_x == 0 && src_x == 0 && cols.Size() == dst.width() && dst.width() == src.width()) {
    std::memmove(DstRow(dst, y + rows.first), SrcRow(src, sy + rows.first),
                 row_bytes * static_cast<size_t>(rows.Size()));
    return;
  }
  // Within one surface a downward copy goes bottom row first, so that no source row is
  // overwritten before it has been read.
  if (&dst == &src && y > sy) {
    for (int64_t j = rows.last - 1; j >= rows.first; --j) {
      std::memmove(DstRow(dst, y + j) + dst_x, SrcRow(src, sy + j) + src_x, row_bytes);
    }
  } else {
    for (int64_t j = rows.first; j < rows.last; ++j) {
      std::memmove(DstRow(dst, y + j) + dst_x, SrcRow(src, sy + j) + src_x, row_bytes);
    }
  }
}

void StretchBlt(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy,
                int sw, int sh) {
  StretchBlt(dst, x, y, w, h, src, sx, sy, sw, sh,
             Rect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX});
}

void StretchBlt(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy,
                int sw, int sh, const Rect& clip) {
  if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return;
  if (&dst == &src) {
    int origin_x = 0;
    int origin_y = 0;
    const Surface copy = CopyOnSurfacePart(src, sx, sy, sw, sh, &origin_x, &origin_y);
    StretchBlt(dst, x, y, w, h, copy, sx - origin_x, sy - origin_y, sw, sh, clip);
    return;
  }
  // The destination rectangle cut to the clip: the footprints stay those of the whole.
  const int64_t left = std::max<int64_t>(x, clip.left);
  const int64_t top = std::max<int64_t>(y, clip.top);
  const int64_t right = std::min<int64_t>(int64_t{x} + w, clip.right);
  const int64_t bottom = std::min<int64_t>(int64_t{y} + h, clip.bottom);
  if (right <= left || bottom <= top) return;
  if (w == sw && h == sh) {
    StretchCopy(dst, left, top, right - left, bottom - top, src, sx + (left - x), sy + (top - y));
    return;
  }
  if (ReplicateUpscale(dst, x, y, w, h, src, sx, sy, sw, sh, left, top, right, bottom)) return;
  AreaTaps cols = ComputeAreaTaps(x, w, WidthOf(dst), sx, sw, WidthOf(src), 1);
  AreaTaps rows = ComputeAreaTaps(y, h, HeightOf(dst), sy, sh, HeightOf(src), 1);
  KeepTaps(cols, left - x, right - x);
  KeepTaps(rows, top - y, bottom - y);
  if (cols.range.Empty() || rows.range.Empty()) return;

  // The source columns any destination pixel reads; each destination row first sums its
  // source rows over these columns (all four bytes, so the loop vectorises), then each
  // destination pixel sums its columns of that row.
  const TapSpan span = SpanOf(cols);
  const bool any_column = !span.Empty();
  const int span_begin = span.begin;
  const int span_end = span.end;
  const auto span_bytes = static_cast<size_t>(span_end - span_begin) * 4;
  std::vector<uint32_t> acc(span_bytes);

  for (int64_t j = rows.range.first; j < rows.range.last; ++j) {
    uint32_t* out = DstRow(dst, y + j) + (x + cols.range.first);
    const Tap& row_tap = rows.taps[static_cast<size_t>(j - rows.range.first)];
    if (row_tap.count == 0 || !any_column) {
      FillBlack(out, cols.range.Size());
      continue;
    }
    for (int r = 0; r < row_tap.count; ++r) {
      const auto* bytes =
          reinterpret_cast<const uint8_t*>(SrcRow(src, row_tap.source + r) + span_begin);
      const uint32_t weight = rows.weights[row_tap.weight + static_cast<size_t>(r)];
      if (r == 0) {
        AssignWeightedRow(acc.data(), bytes, span_bytes, weight);
      } else {
        AddWeightedRow(acc.data(), bytes, span_bytes, weight);
      }
    }
    ResampleRow(out, acc.data(), span_begin, cols);
  }
}

bool StretchFromRows(Surface& dst, int x, int y, int w, int h, const HeldPicture& picture, int sx,
                     int sy, int sw, int sh, RowSource& source) {
  if (picture.scale < 1 || picture.scale > kMaxHeldScale) return false;
  if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return true;
  const int64_t scale = picture.scale;
  const AreaTaps cols =
      ComputeAreaTaps(x, w, WidthOf(dst), sx, sw, std::max(picture.width, 0), scale);
  const AreaTaps rows =
      ComputeAreaTaps(y, h, HeightOf(dst), sy, sh, std::max(picture.height, 0), scale);
  if (cols.range.Empty() || rows.range.Empty()) return true;
  const TapSpan col_span = SpanOf(cols);
  const TapSpan row_span = SpanOf(rows);
  if (col_span.Empty() || row_span.Empty()) {
    for (int64_t j = rows.range.first; j < rows.range.last; ++j) {
      FillBlack(DstRow(dst, y + j) + (x + cols.range.first), cols.range.Size());
    }
    return true;
  }
  if (!source.Begin({col_span.begin, col_span.end, row_span.begin, row_span.end})) return false;

  // A destination row's first held row is never above the previous destination row's last
  // one, so at most one row is read twice: two row buffers suffice, used in turn. Each
  // destination row sums its rows into `acc` as they come, as StretchBlt does.
  const auto span_pixels = static_cast<size_t>(col_span.end - col_span.begin);
  const size_t span_bytes = span_pixels * 4;
  std::vector<uint32_t> held(2 * span_pixels);
  std::vector<uint32_t> acc(span_bytes);
  auto buffer_of = [&](int row) {
    return held.data() + static_cast<size_t>(row & 1) * span_pixels;
  };
  int next_row = row_span.begin;
  for (int64_t j = rows.range.first; j < rows.range.last; ++j) {
    uint32_t* out = DstRow(dst, y + j) + (x + cols.range.first);
    const Tap& row_tap = rows.taps[static_cast<size_t>(j - rows.range.first)];
    if (row_tap.count == 0) {
      FillBlack(out, cols.range.Size());
      continue;
    }
    for (int r = 0; r < row_tap.count; ++r) {
      const int row = row_tap.source + r;
      while (next_row <= row) {
        if (!source.ReadRow(next_row, buffer_of(next_row))) return false;
        ++next_row;
      }
      const auto* bytes = reinterpret_cast<const uint8_t*>(buffer_of(row));
      const uint32_t weight = rows.weights[row_tap.weight + static_cast<size_t>(r)];
      if (r == 0) {
        AssignWeightedRow(acc.data(), bytes, span_bytes, weight);
      } else {
        AddWeightedRow(acc.data(), bytes, span_bytes, weight);
      }
    }
    ResampleRow(out, acc.data(), col_span.begin, cols);
  }
  return true;
}

void TransparentBlt(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy,
                    int sw, int sh, COLORREF key) {
  if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return;
  if (&dst == &src) {
    int origin_x = 0;
    int origin_y = 0;
    const Surface copy = CopyOnSurfacePart(src, sx, sy, sw, sh, &origin_x, &origin_y);
    TransparentBlt(dst, x, y, w, h, copy, sx - origin_x, sy - origin_y, sw, sh, key);
    return;
  }
  const uint32_t key_rgb = PixelFromColorRef(key) & kRgbMask;
  ForEachNearestRow(dst, x, y, w, h, src, sx, sy, sw, sh,
                    [key_rgb](uint32_t* out, const uint32_t* in, int64_t pixels) {
                      KeyedCopyRow(out, in, static_cast<size_t>(pixels), key_rgb);
                    });
}

void AlphaBlend(Surface& dst, int x, int y, int w, int h, const Surface& src, int sx, int sy,
                int sw, int sh, int alpha) {
  if (w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return;
  const auto a = static_cast<uint16_t>(alpha & 0xFF);
  if (a == 0) return;
  // Within one surface, rectangles that do not overlap (the canvas pages) are blended in
  // place; only overlapping ones need the source copied first.
  const bool overlap = int64_t{x} < int64_t{sx} + sw && int64_t{sx} < int64_t{x} + w &&
                       int64_t{y} < int64_t{sy} + sh && int64_t{sy} < int64_t{y} + h;
  if (&dst == &src && overlap) {
    int origin_x = 0;
    int origin_y = 0;
    const Surface copy = CopyOnSurfacePart(src, sx, sy, sw, sh, &origin_x, &origin_y);
    AlphaBlend(dst, x, y, w, h, copy, sx - origin_x, sy - origin_y, sw, sh, alpha);
    return;
  }
  ForEachNearestRow(
      dst, x, y, w, h, src, sx, sy, sw, sh,
      [a](uint32_t* out, const uint32_t* in, int64_t pixels) { BlendRow(out, in, pixels, a); });
}

}  // namespace hw
