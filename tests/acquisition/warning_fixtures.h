#pragma once

#include <fstream>
#include <sstream>
#include <string>

namespace hw::test {

// A file of tests/fixtures/warnings, whole.
inline std::string WarningFixture(const std::string& name) {
  std::ifstream in(std::string(HW_FIXTURE_DIR) + "/warnings/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace hw::test
