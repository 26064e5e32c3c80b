// heronwatch-tool: runs the program's logic without a window.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/command_line.h"
#include "tool/commands.h"

namespace {

using Option = hw::CommandLineSyntax::Option;

const Option kWorkdir{"workdir", "DIR",
                      "the working folder whose settings, theme and reference files are used "
                      "(default: the current folder)"};
const Option kRuntime{"runtime", "DIR",
                      "the runtime folder whose files stand in for those the working folder "
                      "does not have (default: the installed one)"};

struct Command {
  int (*run)(const hw::tool::Arguments&);
  hw::CommandLineSyntax syntax;
};

std::vector<Command> Commands() {
  const std::string version = HW_VERSION;
  return {
      {hw::tool::RunCompose,
       {"heronwatch-tool compose",
        version,
        "Feeds the bodies as successive fetches and prints, for every composition, one\n"
        "JSON line with the map view, markers, epicentre and event log lines; with --out\n"
        "it also writes NNN-page0.png ... NNN-page3.png and NNN-window.png (the first\n"
        "paint, at second 0 of the minute, labelled with where the reports came from:\n"
        "--source, else the demo when the working folder's settings choose it, else live).\n"
        "--warnings then plays stored tsunami forecasts and early warnings over the last\n"
        "composition, one JSON line and one wNN-window.png each.",
        {kWorkdir,
         kRuntime,
         {"out", "DIR", "the folder the pictures are written to"},
         {"warnings", "FILE",
          "messages to play after the bodies, as runtime/Storage/demo_warnings.json holds them"},
         {"source", "live|demo|sandbox", "where the pictures say the reports came from"}},
        "BODY.json...",
        "report bodies as the service answers, or the demo files",
        1,
        -1}},
      {hw::tool::RunParse,
       {"heronwatch-tool parse",
        version,
        "Reads a report body as a fetch would and prints the report stores as JSON.",
        {kWorkdir,
         kRuntime,
         {"last-shown-id", "ID", "the id of the report on the window (with or without quotes)"}},
        "BODY.json",
        "a report body",
        1,
        1}},
      {hw::tool::RunProject,
       {"heronwatch-tool project",
        version,
        "Prints the map grid position of a latitude and longitude.",
        {},
        "LAT LON",
        "decimal degrees",
        2,
        2}},
      {hw::tool::RunResolve,
       {"heronwatch-tool resolve",
        version,
        "Prints the station, place name and area an observation point name of a detailed\n"
        "report resolves to with the working folder's reference files.",
        {kWorkdir, kRuntime},
        "NAME",
        "a point name of a detailed report",
        1,
        1}},
      {hw::tool::RunTheme,
       {"heronwatch-tool theme",
        version,
        "Prints the loaded theme layout and where each picture came from.",
        {kWorkdir, kRuntime},
        "",
        "",
        0,
        0}},
  };
}

void PrintUsage(std::FILE* out, const std::vector<Command>& commands) {
  std::fputs(
      "usage: heronwatch-tool <command> [options] [arguments]\n\n"
      "Runs Heronwatch's logic without a window, for scripts, tests and archives.\n\n"
      "commands:\n",
      out);
  for (const Command& command : commands) {
    const std::string& program = command.syntax.program;
    std::fprintf(out, "  %s\n", program.substr(program.find(' ') + 1).c_str());
  }
  std::fputs(
      "\n'heronwatch-tool <command> --help' describes a command's options and arguments;\n"
      "--version prints the version.\n",
      out);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<Command> commands = Commands();
  if (argc < 2) {
    PrintUsage(stderr, commands);
    return 2;
  }
  const std::string_view name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    PrintUsage(stdout, commands);
    return 0;
  }
  if (name == "--version" || name == "-v") {
    std::printf("heronwatch-tool %s\n", HW_VERSION);
    return 0;
  }
  for (const Command& command : commands) {
    if (command.syntax.program != "heronwatch-tool " + std::string(name)) continue;
    const hw::ParsedCommandLine parsed =
        hw::ParseCommandLine(command.syntax, std::vector<std::string>(argv + 2, argv + argc));
    switch (parsed.outcome) {
      case hw::ParsedCommandLine::Outcome::kRun:
        return command.run(parsed);
      case hw::ParsedCommandLine::Outcome::kHelp:
      case hw::ParsedCommandLine::Outcome::kVersion:
        std::fputs(parsed.text.c_str(), stdout);
        return 0;
      case hw::ParsedCommandLine::Outcome::kUsageError:
        std::fputs(parsed.text.c_str(), stderr);
        return 2;
    }
  }
  std::fprintf(stderr, "heronwatch-tool: unknown command '%s'\n\n", argv[1]);
  PrintUsage(stderr, commands);
  return 2;
}
