#pragma once

#include <string_view>
#include <vector>

namespace hw::tool {

// Every command takes its own arguments (without the command name) and returns the process's
// exit status: 0 success, 1 failure, 2 wrong usage. Output goes to stdout, messages to stderr.
using Arguments = std::vector<std::string_view>;

int RunCompose(const Arguments& args);
int RunParse(const Arguments& args);
int RunProject(const Arguments& args);
int RunResolve(const Arguments& args);
int RunTheme(const Arguments& args);

}  // namespace hw::tool
