#pragma once

#include <array>
#include <cstddef>

namespace hw {

// Ticker step per frame in sixteenths of a pixel by [Config] SpeedDraw 0..9; painting uses the
// same values as its fade step (and half of them as the pulse step).
inline constexpr std::array<int, 10> ScrollStepTable = {48, 32, 24, 20, 16, 512, 0, 0, 0, 0};

constexpr int ScrollStep(int speedDraw) {
  return speedDraw >= 0 && speedDraw < static_cast<int>(ScrollStepTable.size())
             ? ScrollStepTable[static_cast<std::size_t>(speedDraw)]
             : 0;
}

}  // namespace hw
