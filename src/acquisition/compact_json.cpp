#include "acquisition/compact_json.h"

namespace hw {

std::string CompactJson(std::string_view text) {
  std::string compact;
  compact.reserve(text.size());
  bool inString = false;
  bool escaped = false;  // the unit before was a backslash inside a string
  for (const char c : text) {
    if (inString) {
      if (escaped) {
        escaped = false;
      } else if (c == '\\') {
        escaped = true;
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      continue;
    } else if (c == '"') {
      inString = true;
    }
    compact.push_back(c);
  }
  return compact;
}

}  // namespace hw
