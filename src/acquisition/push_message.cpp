#include "acquisition/push_message.h"

#include <cstddef>

namespace hw {
namespace {

// A small strict JSON scanner: it walks the whole text, so that a broken message is refused as
// a whole, and keeps only the members of the outermost object that it needs.
class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}

  std::optional<PushNotice> Read() {
    SkipSpace();
    if (!Object(0)) return std::nullopt;
    SkipSpace();
    if (at_ != text_.size() || !hasCode_) return std::nullopt;
    PushNotice notice;
    notice.code = code_;
    notice.id = hasUnderscoreId_ ? underscoreId_ : id_;
    return notice;
  }

 private:
  static constexpr int kMaxDepth = 32;

  bool Peek(char c) const { return at_ < text_.size() && text_[at_] == c; }
  bool Eat(char c) {
    SkipSpace();
    if (!Peek(c)) return false;
    ++at_;
    return true;
  }
  void SkipSpace() {
    while (at_ < text_.size() &&
           (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r'))
      ++at_;
  }

  // A string; its raw text (escapes kept as written) goes to `out`.
  bool String(std::string* out) {
    if (!Eat('"')) return false;
    const std::size_t start = at_;
    while (at_ < text_.size() && text_[at_] != '"') {
      if (static_cast<unsigned char>(text_[at_]) < 0x20) return false;
      if (text_[at_] == '\\') ++at_;
      ++at_;
    }
    if (at_ >= text_.size()) return false;
    if (out != nullptr) out->assign(text_.substr(start, at_ - start));
    ++at_;
    return true;
  }

  // A number; its integer part goes to `out` when it is an integer that fits.
  bool Number(int* out) {
    const std::size_t start = at_;
    if (Peek('-')) ++at_;
    long long value = 0;
    bool digits = false;
    bool integer = true;
    while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') {
      if (value < 1000000000) value = value * 10 + (text_[at_] - '0');
      digits = true;
      ++at_;
    }
    if (!digits) return false;
    while (at_ < text_.size() &&
           (text_[at_] == '.' || text_[at_] == 'e' || text_[at_] == 'E' || text_[at_] == '+' ||
            text_[at_] == '-' || (text_[at_] >= '0' && text_[at_] <= '9'))) {
      integer = false;
      ++at_;
    }
    if (out != nullptr && integer && value < 1000000000) {
      *out = static_cast<int>(text_[start] == '-' ? -value : value);
    }
    return true;
  }

  bool Word(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }

  bool Value(int depth, const std::string* key) {
    SkipSpace();
    if (at_ >= text_.size()) return false;
    const bool top = depth == 1 && key != nullptr;
    switch (text_[at_]) {
      case '{':
        return Object(depth);
      case '[':
        return Array(depth);
      case '"': {
        if (top && *key == "_id") {
          hasUnderscoreId_ = true;
          return String(&underscoreId_);
        }
        return String(top && *key == "id" ? &id_ : nullptr);
      }
      case 't':
        return Word("true");
      case 'f':
        return Word("false");
      case 'n':
        return Word("null");
      default: {
        int value = 0;
        if (!Number(&value)) return false;
        if (top && *key == "code") {
          code_ = value;
          hasCode_ = true;
        }
        return true;
      }
    }
  }

  bool Object(int depth) {
    if (depth >= kMaxDepth || !Eat('{')) return false;
    if (Eat('}')) return true;
    do {
      std::string key;
      if (!String(&key) || !Eat(':') || !Value(depth + 1, &key)) return false;
    } while (Eat(','));
    return Eat('}');
  }

  bool Array(int depth) {
    if (depth >= kMaxDepth || !Eat('[')) return false;
    if (Eat(']')) return true;
    do {
      if (!Value(depth + 1, nullptr)) return false;
    } while (Eat(','));
    return Eat(']');
  }

  std::string_view text_;
  std::size_t at_ = 0;
  int code_ = 0;
  bool hasCode_ = false;
  std::string id_;
  std::string underscoreId_;
  bool hasUnderscoreId_ = false;
};

}  // namespace

std::optional<PushNotice> ReadPushMessage(std::string_view text) {
  return Scanner(text).Read();
}

}  // namespace hw
