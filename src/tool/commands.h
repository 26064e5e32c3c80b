#pragma once

#include "platform/command_line.h"

namespace hw::tool {

// Every command gets its arguments read by the syntax main() holds for it and returns the
// process's exit status: 0 success, 1 failure. Output goes to stdout, messages to stderr.
using Arguments = ParsedCommandLine;

int RunCompose(const Arguments& args);
int RunParse(const Arguments& args);
int RunProject(const Arguments& args);
int RunResolve(const Arguments& args);
int RunTheme(const Arguments& args);

}  // namespace hw::tool
