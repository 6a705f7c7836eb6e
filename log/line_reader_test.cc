// Tests for the log line reader: line ends, CR removal and Ctrl-Z at every block size,
// long lines, and failures to open or read.
#include "log/line_reader.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/fake_platform.h"

namespace {

using Lines = std::vector<std::string>;

Lines ReadAll(const std::string& content, size_t block_size, FakeSystem* sys, bool* failed) {
  sys->files["log"] = content;
  Platform p = FakePlatform(sys);
  LogLineReader reader;
  reader.block_size = block_size;
  Open(&reader, &p, failed, "log");
  Lines lines;
  std::string_view line;
  while (NextLine(&reader, &line)) lines.emplace_back(line);
  Close(&reader);
  return lines;
}

Lines ReadAll(const std::string& content, size_t block_size) {
  FakeSystem sys;
  bool failed = false;
  return ReadAll(content, block_size, &sys, &failed);
}

TEST(LogLineReader, LineEndsAtEveryBlockSize) {
  struct Row {
    std::string content;
    Lines want;
  } rows[] = {
      {"", {}},
      {"a\r\n", {"a"}},
      {"a\r\n\r\n", {"a", ""}},
      {"a", {"a"}},
      {"a\rb\r\n", {"ab"}},
      {"a\n\rb", {"a", "b"}},
      {"a\r\r\r\nb", {"a", "b"}},
      {"a\n\r", {"a", ""}},
      {"ab\x1a" "cd", {"ab"}},
      {"a\r\n\x1a" "b\r\n", {"a"}},
      {"\n\n", {"", ""}},                   // only line ends
      {"\r\r\r", {""}},                     // only CRs: one empty line
      {"\x1a", {}},                         // a lone Ctrl-Z
      {"a\r\nb\x1a\r\n", {"a", "b"}},
      {std::string("a\0b\n", 4), {std::string("a\0b", 3)}},  // NUL is ordinary
      {"\xff\xfe\x80\n", {"\xff\xfe\x80"}},  // 8-bit bytes untouched
      {"x\r\ny\rz\r\r\nlast", {"x", "yz", "last"}},
  };
  for (size_t block : {1, 2, 3, 4, 4096}) {
    for (const Row& r : rows) {
      SCOPED_TRACE("block " + std::to_string(block) + ": " + testing::PrintToString(r.content));
      EXPECT_EQ(ReadAll(r.content, block), r.want);
    }
  }
}

TEST(LogLineReader, LongLinesAcrossBlocksAreWhole) {
  std::string long_line(100000, 'x');
  long_line.replace(99990, 6, "ERROR ");
  std::string with_crs = long_line;
  for (size_t i = 5; i < with_crs.size(); i += 4093) with_crs.insert(i, "\r");
  EXPECT_EQ(ReadAll("a\r\n" + long_line + "\r\nb", 4096), (Lines{"a", long_line, "b"}));
  EXPECT_EQ(ReadAll(with_crs + "\r\r\n", 4096), Lines{long_line});
}

TEST(LogLineReader, CtrlZInALaterBlockEndsTheText) {
  std::string content = std::string(10000, 'a') + "\nb\x1a" "c\nd\n";
  EXPECT_EQ(ReadAll(content, 4096), (Lines{std::string(10000, 'a'), "b"}));
}

TEST(LogLineReader, ShortReadsChangeNothing) {
  FakeSystem sys;
  sys.max_read = 3;
  bool failed = false;
  EXPECT_EQ(ReadAll("ab\r\ncd\r\r\nef", 4096, &sys, &failed), (Lines{"ab", "cd", "ef"}));
  EXPECT_FALSE(failed);
}

TEST(LogLineReader, FailedOpenIsTheEnd) {
  FakeSystem sys;
  sys.unopenable.insert("log");
  Platform p = FakePlatform(&sys);
  bool failed = false;
  LogLineReader reader;
  Open(&reader, &p, &failed, "log");
  std::string_view line;
  EXPECT_FALSE(NextLine(&reader, &line));
  Close(&reader);
  EXPECT_EQ(sys.closes, 0);
}

TEST(LogLineReader, FailedReadEndsInputAndDropsTheLineInProgress) {
  FakeSystem sys;
  sys.max_read = 4;
  sys.fail_read_at = 6;  // inside "cd"
  bool failed = false;
  EXPECT_EQ(ReadAll("ab\r\ncd\r\nef\r\n", 4096, &sys, &failed), Lines{"ab"});
  EXPECT_TRUE(failed);
}

TEST(LogLineReader, SharedFailureStopsReading) {
  FakeSystem sys;
  sys.files["log"] = "a\nb\nc\n";
  Platform p = FakePlatform(&sys);
  bool failed = false;
  LogLineReader reader;
  Open(&reader, &p, &failed, "log");
  std::string_view line;
  ASSERT_TRUE(NextLine(&reader, &line));
  failed = true;  // as after a failed write
  EXPECT_FALSE(NextLine(&reader, &line));
  Close(&reader);
  EXPECT_EQ(sys.closes, 1);
}

}  // namespace
