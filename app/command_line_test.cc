// Tests for cutting one unsplit command line into arguments.
#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

using Args = std::vector<std::string>;

TEST(SplitCommandLine, Table) {
  struct Row {
    const char* why;
    std::string line;
    Args want;
  } rows[] = {
      {"program only", "LogSift", {}},
      {"empty line", "", {}},
      {"two plain", "LogSift job.log job1", {"job.log", "job1"}},
      {"program name quoted", "\"C:\\Program Files\\LogSift.exe\" a", {"a"}},
      {"tabs and controls skipped", "LogSift \t\x01 a\x1f\x02" "b", {"a", "b"}},
      {"quoted blanks kept", "LogSift \"D:\\my logs\\job 1.log\" \"extra comment\"",
       {"D:\\my logs\\job 1.log", "extra comment"}},
      {"quote inside an argument", "LogSift ab\"c d\"e", {"abc de"}},
      {"unclosed quote runs to the end", "LogSift \"a b", {"a b"}},
      {"only quote pairs: no argument", "LogSift \"\" \"\"", {}},
      {"pairs before the path are skipped", "LogSift \"\" \"\" job.log", {"job.log"}},
      {"pair in the comment's place", "LogSift job.log \"\" third", {"job.log", "third"}},
      {"backslash is ordinary", "LogSift a\\\"b c\"", {"a\\b c"}},
      {"8-bit bytes are ordinary", "LogSift \xe9t\xe9.log", {"\xe9t\xe9.log"}},
      {"quoted control characters kept", "LogSift \"a\tb\"", {"a\tb"}},
      {"trailing blanks", "LogSift a   ", {"a"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    EXPECT_EQ(SplitCommandLine(r.line), r.want);
  }
}

TEST(SplitCommandLine, LongArgumentsAreKeptWhole) {
  std::string path(300, 'p');
  EXPECT_EQ(SplitCommandLine("LogSift " + path), Args{path});
}

}  // namespace
