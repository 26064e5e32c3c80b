#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace hw::test {

// A fresh folder under the system's temporary folder, removed with its contents at the end
// of the test. While `enter` is set the process works in it.
class TempFolder {
 public:
  explicit TempFolder(bool enter = false);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::u16string U16() const;
  // Writes a file below the folder, creating its folders.
  void Write(const std::filesystem::path& relative, std::string_view bytes) const;
  std::string Read(const std::filesystem::path& relative) const;

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
  bool entered_ = false;
};

}  // namespace hw::test
