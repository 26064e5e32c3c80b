#pragma once

#include <string>
#include <vector>

namespace hw {

// How loading a theme's pictures ends: every required picture loaded, or the first one that
// could not be (the numbers are those of the program's messages).
enum class ThemeAssetResult : int {
  kLoaded = 0,
  kMaxIntensityMissing = -1,
  kJpMap1Missing = -91,
  kJpMap2Missing = -92,
  kWorldMapMissing = -100,
};

// Loads the theme's pictures into the sprite surfaces; start-up calls it once.
class ThemeAssetService {
 public:
  virtual ~ThemeAssetService() = default;
  virtual ThemeAssetResult LoadThemeAssets() = 0;
  // What the last loading found wrong although it went on: one line per picture, naming the
  // file and why (a map that was read but cannot be decoded, say).
  virtual std::vector<std::u16string> LoadProblems() const { return {}; }
};

}  // namespace hw
