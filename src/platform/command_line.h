#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace hw {

// What one command of a command-line program takes: its options, then its positional
// arguments. Every command also takes --help (-h) and --version (-v).
struct CommandLineSyntax {
  struct Option {
    std::string name;         // the long name, without "--"
    std::string valueName;    // "DIR" for an option with a value; empty for a switch
    std::string description;  // one line for --help
  };
  std::string program;      // "heronwatch-tool compose", for the usage line
  std::string version;      // printed by --version after the program's first word
  std::string description;  // what the command does, for --help
  std::vector<Option> options;
  std::string arguments;             // the positional arguments as --help shows them
  std::string argumentsDescription;  // what they are
  int minArguments = 0;
  int maxArguments = 0;  // -1: no limit
};

// The outcome of reading a command's arguments (Qt's QCommandLineParser underneath).
struct ParsedCommandLine {
  enum class Outcome {
    kRun,         // the arguments are fine: run the command
    kHelp,        // --help: print `text` to standard output, exit 0
    kVersion,     // --version: likewise
    kUsageError,  // print `text` to standard error, exit 2
  };
  Outcome outcome = Outcome::kUsageError;
  std::string text;
  std::map<std::string, std::string> values;  // options given, by name (the last one given)
  std::vector<std::string> arguments;         // the positional arguments, in order

  std::optional<std::string> Value(const std::string& name) const {
    const auto found = values.find(name);
    if (found == values.end()) return std::nullopt;
    return found->second;
  }
};

// Reads `arguments` (without the program and command names). An argument that begins with "-"
// and a digit or "." is a negative number, not an option, as is everything after it, so that
// "project -33.9 151.2" reads as two numbers.
ParsedCommandLine ParseCommandLine(const CommandLineSyntax& syntax,
                                   const std::vector<std::string>& arguments);

}  // namespace hw
