// Tests for the text helpers: positions, the edge rules of search and slice, decimal rendering.
#include "text/text.h"

#include <gtest/gtest.h>

namespace {

TEST(FindText, Table) {
  struct Row {
    std::string_view needle, text;
    int64_t want;
  } rows[] = {
      {"b", "abc", 2},
      {"abc", "abc", 1},
      {"c", "abcabc", 3},                    // first occurrence
      {"x", "abc", 0},
      {"", "abc", 0},                        // empty needle
      {"a", "", 0},                          // empty text
      {"abcd", "abc", 0},                    // needle longer than text
      {"Files :", "   Files : *.*", 4},
      {std::string_view("\0b", 2), std::string_view("a\0b", 3), 2},  // NUL is ordinary
      {"B", "abc", 0},                       // case-sensitive
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.needle) + " in " + std::string(r.text));
    EXPECT_EQ(FindText(r.needle, r.text), r.want);
  }
}

TEST(SliceText, Table) {
  struct Row {
    std::string_view text;
    int64_t start, count;
    std::string_view want;
  } rows[] = {
      {"abcdef", 2, 3, "bcd"},
      {"abcdef", 1, 6, "abcdef"},
      {"abcdef", 4, 100, "def"},   // cut at the end
      {"abcdef", 0, 2, "ab"},      // start below 1 counts as 1
      {"abcdef", -5, 3, "abc"},    // count taken whole from position 1
      {"abcdef", 7, 1, ""},        // past the end
      {"abcdef", 6, 1, "f"},
      {"abcdef", 2, -1, ""},       // negative count
      {"abcdef", 2, 0, ""},
      {"", 1, 5, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.text) + " " + std::to_string(r.start) + "," + std::to_string(r.count));
    EXPECT_EQ(SliceText(r.text, r.start, r.count), r.want);
  }
}

TEST(DecimalText, Table) {
  EXPECT_EQ(DecimalText(0), "0");
  EXPECT_EQ(DecimalText(7), "7");
  EXPECT_EQ(DecimalText(-7), "-7");
  EXPECT_EQ(DecimalText(1000), "1000");
  EXPECT_EQ(DecimalText(2147483647), "2147483647");
  EXPECT_EQ(DecimalText(-2147483647 - 1), "-2147483648");
}

}  // namespace
