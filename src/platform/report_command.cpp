#include "platform/report_command.h"

#include <algorithm>
#include <cstddef>

namespace hw {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::optional<std::vector<std::string>> Fail(std::string* error, const char* reason) {
  if (error != nullptr) *error = reason;
  return std::nullopt;
}

}  // namespace

std::optional<std::vector<std::string>> SplitCommandLine(std::string_view line,
                                                         std::string* error) {
  std::vector<std::string> arguments;
  std::string current;
  // An argument may be empty ("" or ''), so that it has begun is kept apart from its text.
  bool inArgument = false;
  char quote = '\0';  // the quote that is open, if any
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quote == '\'') {
      if (c == '\'') {
        quote = '\0';
      } else {
        current += c;
      }
      continue;
    }
    if (c == '\\') {
      if (i + 1 == line.size()) return Fail(error, "a backslash at the end escapes nothing");
      current += line[++i];
      inArgument = true;
    } else if (quote == '"') {
      if (c == '"') {
        quote = '\0';
      } else {
        current += c;
      }
    } else if (c == '"' || c == '\'') {
      quote = c;
      inArgument = true;
    } else if (IsBlank(c)) {
      if (inArgument) arguments.push_back(std::move(current));
      current.clear();
      inArgument = false;
    } else {
      current += c;
      inArgument = true;
    }
  }
  if (quote == '"') return Fail(error, "a double quote is not closed");
  if (quote == '\'') return Fail(error, "a single quote is not closed");
  if (inArgument) arguments.push_back(std::move(current));
  if (arguments.empty()) return Fail(error, "the command is empty");
  if (arguments.front().empty()) return Fail(error, "the program's name is empty");
  return arguments;
}

std::vector<std::string> SubstitutePlaceholders(std::vector<std::string> arguments,
                                                const PlaceholderValues& values) {
  for (std::string& argument : arguments) {
    std::string out;
    std::size_t at = 0;
    while (at < argument.size()) {
      const std::size_t open = argument.find('{', at);
      if (open == std::string::npos) break;
      out.append(argument, at, open - at);
      const std::size_t close = argument.find('}', open + 1);
      if (close == std::string::npos) {
        at = open;
        break;
      }
      const std::string_view name(argument.data() + open + 1, close - open - 1);
      const auto known = std::find_if(values.begin(), values.end(),
                                      [name](const auto& value) { return value.first == name; });
      if (known == values.end()) {
        // Only the brace is kept, so that "{{id}" still finds the {id} after it.
        out += '{';
        at = open + 1;
      } else {
        out += known->second;
        at = close + 1;
      }
    }
    out.append(argument, at, std::string::npos);
    argument = std::move(out);
  }
  return arguments;
}

}  // namespace hw
