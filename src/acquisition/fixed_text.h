#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/utf16.h"

namespace hw {

// A UTF-16 text field of fixed capacity: at most N − 1 units plus a terminator, as the report
// stores hold them. A longer text is cut to the field; the cut never splits a surrogate pair.
template <std::size_t N>
class FixedText {
  static_assert(N >= 2 && N <= 65535);

 public:
  static constexpr std::size_t kCapacity = N - 1;

  FixedText() = default;
  explicit FixedText(std::u16string_view text) { Assign(text); }

  void Assign(std::u16string_view text) {
    const std::size_t n = CutLengthKeepingPairs(text, kCapacity);
    for (std::size_t i = 0; i < n; ++i) {
      units_[i] = text[i];
    }
    units_[n] = u'\0';
    length_ = static_cast<std::uint16_t>(n);
  }
  void Clear() {
    units_[0] = u'\0';
    length_ = 0;
  }

  std::u16string_view View() const { return {units_.data(), length_}; }
  std::size_t Size() const { return length_; }
  bool Empty() const { return length_ == 0; }
  const char16_t* CStr() const { return units_.data(); }
  bool operator==(const FixedText& other) const { return View() == other.View(); }
  bool operator==(std::u16string_view other) const { return View() == other; }

 private:
  std::array<char16_t, N> units_{};
  std::uint16_t length_ = 0;
};

}  // namespace hw
