#pragma once

#include <cmath>
#include <limits>

namespace hw {

// A double converted to int by truncation toward zero, as the picture's arithmetic does,
// except that values beyond the int range are held at its ends and NaN gives 0: report
// coordinates come from outside and must never make a conversion undefined.
constexpr int TruncateToInt(double value) {
  if (!(value == value)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<int>::max())) {
    return std::numeric_limits<int>::max();
  }
  if (value <= static_cast<double>(std::numeric_limits<int>::min())) {
    return std::numeric_limits<int>::min();
  }
  return static_cast<int>(value);
}

}  // namespace hw
