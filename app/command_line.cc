// Cuts one unsplit command line into arguments, for a platform that hands over only that.
// Pairs of double quotes before an argument are skipped, so "" can stand for "nothing here".
#include "app/command_line.h"

namespace {

bool IsSkipped(unsigned char c) { return c >= 1 && c <= 32; }

// Cuts the argument starting at *at and moves *at past it.
std::string CutArgument(const std::string& line, size_t* at) {
  size_t n = line.size();
  size_t i = *at;
  for (;;) {
    if (i < n && IsSkipped(static_cast<unsigned char>(line[i]))) {
      ++i;
    } else if (i + 1 < n && line[i] == '"' && line[i + 1] == '"') {
      i += 2;
    } else {
      break;
    }
  }
  std::string arg;
  bool quoted = false;
  for (; i < n; ++i) {
    unsigned char c = static_cast<unsigned char>(line[i]);
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && c <= 32) {
      break;
    } else {
      arg.push_back(static_cast<char>(c));
    }
  }
  *at = i;
  return arg;
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& line) {
  std::vector<std::string> args;
  size_t at = 0;
  if (CutArgument(line, &at).empty()) return args;  // not even a program name
  for (;;) {
    std::string arg = CutArgument(line, &at);
    if (arg.empty()) return args;
    args.push_back(std::move(arg));
  }
}
