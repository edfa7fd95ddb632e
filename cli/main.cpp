// dualsieve-cli: the window's parse and compare for scripts and CI.
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr char kUsage[] =
    "usage: dualsieve-cli compare [options] FILE1 FILE2\n"
    "       dualsieve-cli --help | --version\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc >= 2 && std::strcmp(argv[1], "--version") == 0) {
    std::puts("dualsieve-cli 0.1.0");
    return 0;
  }
  std::fputs("dualsieve-cli: the compare command is not built yet\n", stderr);
  std::fputs(kUsage, stderr);
  return 2;
}
