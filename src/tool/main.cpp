// heronwatch-tool: runs the program's logic without a window.

#include <cstdio>
#include <string_view>

#include "tool/commands.h"

namespace {

struct Command {
  std::string_view name;
  int (*run)(const hw::tool::Arguments&);
  std::string_view synopsis;
};

constexpr Command kCommands[] = {
    {"compose", hw::tool::RunCompose,
     "compose [--workdir DIR] [--out DIR] [--source live|demo|sandbox] BODY.json...\n"
     "      feed the bodies as successive fetches and print, for every composition, one JSON\n"
     "      line with the map view, markers, epicentre and event log lines; with --out also\n"
     "      write NNN-page0.png ... NNN-page3.png and NNN-window.png (the first paint, at\n"
     "      second 0 of the minute, labelled with where the reports came from: --source, else\n"
     "      the demo when the working folder's settings choose it, else live)"},
    {"parse", hw::tool::RunParse,
     "parse [--workdir DIR] [--last-shown-id ID] BODY.json\n"
     "      read a report body as a fetch would and print the report stores as JSON"},
    {"project", hw::tool::RunProject, "project LAT LON\n      print the map grid position"},
    {"resolve", hw::tool::RunResolve,
     "resolve [--workdir DIR] NAME\n      print the station, place name and area a point "
     "name resolves to"},
    {"theme", hw::tool::RunTheme,
     "theme [--workdir DIR]\n      print the loaded theme layout and where each picture came "
     "from"},
};

void PrintUsage(std::FILE* out) {
  std::fputs(
      "usage: heronwatch-tool <command> [options]\n\n"
      "Runs Heronwatch's logic without a window, for scripts, tests and archives.\n\n"
      "commands:\n",
      out);
  for (const Command& command : kCommands) {
    std::fprintf(out, "  %.*s\n", static_cast<int>(command.synopsis.size()),
                 command.synopsis.data());
  }
  std::fputs("  --help\n      show this text\n", out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    PrintUsage(stderr);
    return 2;
  }
  const std::string_view name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    PrintUsage(stdout);
    return 0;
  }
  const hw::tool::Arguments args(argv + 2, argv + argc);
  for (const Command& command : kCommands) {
    if (command.name == name) return command.run(args);
  }
  std::fprintf(stderr, "heronwatch-tool: unknown command '%s'\n\n", argv[1]);
  PrintUsage(stderr);
  return 2;
}
