// heronwatch-tool: runs the program's logic without a window.

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kUsage =
    "usage: heronwatch-tool <command> [options]\n"
    "\n"
    "Runs Heronwatch's logic without a window, for scripts, tests and archives.\n"
    "\n"
    "commands:\n"
    "  --help    show this text\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::fputs(kUsage, stdout);
    return argc < 2 ? 2 : 0;
  }
  std::fprintf(stderr, "heronwatch-tool: unknown command '%s'\n\n%s", argv[1], kUsage);
  return 2;
}
