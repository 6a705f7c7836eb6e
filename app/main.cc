// Entry point: start-up, the arguments as the platform hands them over, then the run.
// All the program's rules live in RunLogSift, which tests drive without a process.
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/run.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  PlatformStartUp();
  Platform platform = HostPlatform();
  std::vector<std::string> args;
  std::string raw;
  if (PlatformRawCommandLine(&raw)) {
    args = SplitCommandLine(raw);
  } else {
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  }
  return RunLogSift(args, platform);
}
