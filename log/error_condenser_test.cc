// Tests for condensing error lines: the code cut, the 255-character cut and the repeat rule.
#include "log/error_condenser.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/fake_platform.h"
#include "text/text.h"

namespace {

// The messages written for a sequence of error lines, stamps stripped.
std::vector<std::string> Condense(const std::vector<std::string>& lines) {
  FakeSystem sys;
  Platform p = FakePlatform(&sys);
  Output out;
  out.platform = &p;
  ScanState s;
  for (const std::string& line : lines) {
    s.CurrentLine = line;
    CondenseError(&s, FindText("ERROR ", line) + 6, &out);
  }
  std::vector<std::string> messages;
  size_t at = 0;
  while (at < sys.out.size()) {
    size_t end = sys.out.find("\r\n", at);
    messages.push_back(sys.out.substr(at + 15, end - at - 15));
    at = end + 2;
  }
  return messages;
}

TEST(CondenseError, SingleLines) {
  std::string long_tail(300, 'z');
  struct Row {
    const char* why;
    std::string line;
    std::string want;
  } rows[] = {
      {"code removed", "2026/01/02 10:11:12 ERROR 32 (0x00000020) Copying File C:\\data\\a.pst",
       "Err 32 Copying File C:\\data\\a.pst"},
      {"at the very end", "something ERROR ", "Err "},
      {"code first keeps the blank after it", "ERROR (0x00000005) Access", "Err  Access"},
      {"closing before opening", "ERROR 5 ) x (0x5 y", "Err 5 ) x (0x5 y"},
      {"no closing parenthesis", "ERROR 5 (0x00000005 Access", "Err 5 (0x00000005 Access"},
      {"only the first code and parenthesis", "ERROR 2 (0x2) a (0x3) b", "Err 2 a (0x3) b"},
      {"inside a file name", "New File  D:\\ERROR x.txt", "Err x.txt"},
      {"first ERROR counts", "ERROR a ERROR b", "Err a ERROR b"},
      {"cut at 255 after ERROR", "ERROR " + long_tail, "Err " + std::string(255, 'z')},
      {"code beyond the cut is kept", "ERROR 1" + std::string(250, ' ') + "(0x00000001)",
       "Err 1" + std::string(250, ' ') + "(0x0"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    EXPECT_EQ(Condense({r.line}), std::vector<std::string>{r.want});
  }
}

TEST(CondenseError, Repeats) {
  const std::string e32 = "ERROR 32 (0x00000020) Copying File C:\\a.pst";
  const std::string e5 = "ERROR 5 (0x00000005) Copying File C:\\b.txt";
  using V = std::vector<std::string>;
  EXPECT_EQ(Condense({e32, e32, e32}), V{"Err 32 Copying File C:\\a.pst"});
  EXPECT_EQ(Condense({e32, e5, e32}),
            (V{"Err 32 Copying File C:\\a.pst", "Err 5 Copying File C:\\b.txt", "Err 32 Copying File C:\\a.pst"}));
  // A text that begins with the previous one is a repeat, the other way round is not.
  EXPECT_EQ(Condense({e32, e32 + "x", "ERROR 32 (0x00000020) Copying File C:\\a"}),
            (V{"Err 32 Copying File C:\\a.pst", "Err 32 Copying File C:\\a"}));
  // After an empty text nothing counts as a repeat.
  EXPECT_EQ(Condense({"ERROR ", "ERROR ", e5}), (V{"Err ", "Err ", "Err 5 Copying File C:\\b.txt"}));
}

}  // namespace
