#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace hw {
namespace {

std::string Read(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// On X11 and Wayland desktops Ctrl+Alt with a function key switches to a text console: the
// program never sees it, and a user told to press it leaves the desktop. The guides and the
// README advertise F5 alone.
TEST(Guides, NoKeyTheDesktopTakesForItselfIsAdvertised) {
  for (const char* name : {"README.md", "runtime/取扱説明書.txt", "runtime/UsersGuide.txt"}) {
    SCOPED_TRACE(name);
    const std::string text = Read(std::string(HW_SOURCE_DIR) + "/" + name);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.find("Ctrl+Alt+F"), std::string::npos);
    EXPECT_NE(text.find("F5"), std::string::npos);
  }
}

}  // namespace
}  // namespace hw
