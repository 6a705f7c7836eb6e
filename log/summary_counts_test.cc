// Tests for the never-failing number readers and the six summary count windows.
#include "log/summary_counts.h"

#include <gtest/gtest.h>

namespace {

TEST(ParseInt, ValuesAndFailurePositions) {
  struct Row {
    std::string text;
    int32_t value;
    int64_t code;
  } rows[] = {
      {"120", 120, 0},
      {"       120", 120, 0},
      {"+7", 7, 0},
      {"-7", -7, 0},
      {"2147483647", 2147483647, 0},
      {"2147483648", 0, 10},            // the digit that carries beyond fails
      {"-2147483648", 0, 11},
      {"$7fffffff", 2147483647, 0},
      {"$FFFFFFFF", -1, 0},             // eight hex digits: a 32-bit pattern
      {"$80000000", -2147483647 - 1, 0},
      {"-$80000000", -2147483647 - 1, 0},
      {"-$1", -1, 0},
      {"$000000001", 1, 0},             // leading zeros do not count
      {"$100000000", 0, 10},            // a ninth significant digit fails
      {"$aBc", 0xabc, 0},
      {"", 0, 1},
      {"   ", 0, 4},                    // no digit: just after the end
      {"-", 0, 2},
      {"$", 0, 2},
      {" +$", 0, 4},
      {"12 ", 0, 3},                    // a trailing blank fails at its position
      {"  12 3", 0, 5},
      {"1,234", 0, 2},
      {"\t5", 0, 1},                    // tabs are not skipped
      {"- 5", 0, 2},
      {"5x", 0, 2},
      {"$g", 0, 2},
      {"++1", 0, 2},
      {std::string("12\0" "99", 5), 12, 0},  // a NUL ends the text
      {std::string("\0" "5", 2), 0, 1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::PrintToString(r.text));
    ParseResult got = ParseInt(r.text);
    EXPECT_EQ(got.value, r.value);
    EXPECT_EQ(got.code, r.code);
  }
}

TEST(ReadLeadingInt, LongestValidPrefix) {
  struct Row {
    std::string text;
    int32_t want;
  } rows[] = {
      {"       120", 120},
      {"  12 3", 12},
      {"          ", 0},
      {"", 0},
      {"abc", 0},
      {"1,234", 1},
      {"- 5", 0},
      {"\t5", 0},
      {"2147483648", 214748364},
      {"-9999999999", -999999999},
      {"3      45", 3},
      {"$FFFFFFFFF", -1},
      {"  7\r", 7},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::PrintToString(r.text));
    EXPECT_EQ(ReadLeadingInt(r.text), r.want);
  }
}

TEST(ReadSummaryCounts, TenCharacterWindowsAfterFilesLabel) {
  struct Row {
    std::string line;
    int32_t want[6];
  } rows[] = {
      {"    Files :         4         1         2         0         1         0", {4, 1, 2, 0, 1, 0}},
      {"    Files :         4         1", {4, 1, 0, 0, 0, 0}},                     // short row
      {"   Files :  4  1  2", {4, 0, 0, 0, 0, 0}},          // narrow columns: one window, read to the blank
      {"   Files :   12345678901234567890", {12345678, 901234567, 90, 0, 0, 0}},  // digits run on
      {"   Files :        3 7", {3, 0, 0, 0, 0, 0}},        // 3, a blank, the start of the next
      {"Files :         -5 $FFFFFFFF", {-5, -1, 0, 0, 0, 0}},
      {"Files :   1234567890123", {12345678, 90123, 0, 0, 0, 0}},  // the second window reads a tail

  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.line);
    ScanState s;
    s.Total = s.Copied = s.Skipped = s.Mismatch = s.Failed = s.Extras = 99;
    ReadSummaryCounts(&s, r.line, static_cast<int64_t>(r.line.find("Files :")) + 9);  // one past "Files : "
    EXPECT_EQ((std::vector<int32_t>{s.Total, s.Copied, s.Skipped, s.Mismatch, s.Failed, s.Extras}),
              std::vector<int32_t>(r.want, r.want + 6));
  }
}

}  // namespace
