// Tests for composing the summary verdict of a copy run from its counts.
#include "report/summary_line.h"

#include <gtest/gtest.h>

namespace {

struct Row {
  const char* why;
  int32_t total, copied, skipped, mismatch, failed, extras;
  std::string label, selection, comment;
  std::string want;
};

TEST(ComposeSummary, Table) {
  const int32_t kMax = 2147483647;
  Row rows[] = {
      {"all copied", 3, 3, 0, 0, 0, 0, "srv01", "*.*", "", "Inf srv01 *.*3 files copied ok "},
      {"extras never in the balanced form", 1, 1, 0, 0, 0, 2, "srv01", "*.*", "", "Inf srv01 *.*1 file copied ok "},
      {"some skipped", 5, 2, 3, 0, 0, 0, "srv01", "*.*", "", "Wrn srv01 *.*2 files copied ok 3 files skipped (equal)"},
      {"one skipped only", 1, 0, 1, 0, 0, 0, "srv01", "*.*", "", "Wrn srv01 *.*1 file skipped (equal)"},
      {"nothing at all", 0, 0, 0, 0, 0, 0, "srv01", "*.*", "", "Inf srv01 *.*"},
      {"unbalanced", 4, 1, 2, 0, 1, 0, "srv01", "*.*", "", "Err srv01 *.* 4 files : 1 Copied 2 Skipped 1 Failed"},
      {"always plural", 1, 0, 0, 0, 1, 0, "srv01", "*.*", "", "Err srv01 *.* 1 files : 1 Failed"},
      {"every word in order", 20, 1, 2, 3, 4, 5, "srv01", "*.*", "", "Err srv01 *.* 20 files : 1 Copied 2 Skipped 3 Mismatch 4 Failed 5 Extras"},
      {"comment replaces label", 3, 3, 0, 0, 0, 0, "srv01", "*.*", "job1", "Inf job1 *.*3 files copied ok "},
      {"empty label: two blanks", 4, 1, 2, 0, 1, 0, "", "*.*", "", "Err  *.* 4 files : 1 Copied 2 Skipped 1 Failed"},
      {"selection keeps its blanks", 2, 2, 0, 0, 0, 0, "D:", "*.pst  ", "", "Inf D: *.pst  2 files copied ok "},
      {"negative counts never listed", -1, 0, 0, -3, -4, 2, "srv01", "*.*", "", "Err srv01 *.* -1 files : 2 Extras"},
      {"negative but balanced", -2, -1, -1, 0, 0, 0, "srv01", "*.*", "", "Inf srv01 *.*"},
      {"sum beyond 32 bits is not balanced", -2, kMax, kMax, 0, 0, 0, "srv01", "*.*", "",
       "Err srv01 *.* -2 files : 2147483647 Copied 2147483647 Skipped"},
      {"largest sum that fits", kMax, kMax - 1, 1, 0, 0, 0, "s", "*", "",
       "Wrn s *2147483646 files copied ok 1 file skipped (equal)"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    ScanState s;
    s.Total = r.total;
    s.Copied = r.copied;
    s.Skipped = r.skipped;
    s.Mismatch = r.mismatch;
    s.Failed = r.failed;
    s.Extras = r.extras;
    s.DestLabel = r.label;
    s.FileSelection = r.selection;
    ComposeSummary(&s, r.comment);
    EXPECT_EQ(s.MessageText, r.want);
  }
}

}  // namespace
