// Fuzzes the command-line splitter: no argument is empty or holds a double quote, the result
// matches a plain reading of the cutting rules, and quoting the arguments again gives them back.
#include <cstdint>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "fuzz/check.h"

namespace {

using Args = std::vector<std::string>;

// Cuts every argument up to the end of the line and keeps the non-empty ones. Without a NUL
// an argument comes out empty only at the very end, so this agrees with the stop-at-empty rule.
Args Reference(const std::string& s) {
  Args all;
  size_t i = 0;
  while (i < s.size()) {
    for (;;) {
      if (i < s.size() && static_cast<unsigned char>(s[i]) >= 1 && static_cast<unsigned char>(s[i]) <= 32) {
        ++i;
      } else if (i + 1 < s.size() && s[i] == '"' && s[i + 1] == '"') {
        i += 2;
      } else {
        break;
      }
    }
    std::string arg;
    bool quoted = false;
    for (; i < s.size(); ++i) {
      unsigned char c = static_cast<unsigned char>(s[i]);
      if (c == '"') {
        quoted = !quoted;
      } else if (!quoted && c <= 32) {
        break;
      } else {
        arg += s[i];
      }
    }
    if (!arg.empty()) all.push_back(arg);
  }
  if (!all.empty()) all.erase(all.begin());  // the program's own name
  return all;
}

std::string Joined(const Args& args) {
  std::string all;
  for (const std::string& a : args) all += "[" + a + "]";
  return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string line(reinterpret_cast<const char*>(data), size);
  Args args = SplitCommandLine(line);
  for (const std::string& a : args) {
    Check(!a.empty(), "no argument is empty");
    Check(a.find('"') == std::string::npos, "no argument holds a double quote");
  }
  if (line.find('\0') == std::string::npos) {
    CheckEqual(Joined(args), Joined(Reference(line)), "the arguments follow the cutting rules");
  }
  std::string again = "LogSift.exe";
  for (const std::string& a : args) again += " \"" + a + "\"";
  CheckEqual(Joined(SplitCommandLine(again)), Joined(args), "quoted arguments split back the same");
  return 0;
}
