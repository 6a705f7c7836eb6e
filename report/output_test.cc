// Tests for writing lines: stamp, CR LF, one clock reading per line, and the failure state.
#include "report/output.h"

#include <gtest/gtest.h>

#include "tests/fake_platform.h"

namespace {

TEST(WriteStampedLine, StampMessageCrLf) {
  FakeSystem sys;
  Platform p = FakePlatform(&sys);
  Output out;
  out.platform = &p;
  out.separators = {'.', '.'};
  WriteStampedLine(&out, "Err x");
  sys.now = {2001, 7, 10, 0, 1};  // a run that crosses midnight
  WriteStampedLine(&out, "");
  WritePlainLine(&out, "plain");
  EXPECT_EQ(sys.out, "09.07.01 21.49 Err x\r\n10.07.01 00.01 \r\nplain\r\n");
}

TEST(WriteStampedLine, FirstFailureStopsAllWriting) {
  FakeSystem sys;
  sys.writes_before_failure = 1;
  Platform p = FakePlatform(&sys);
  Output out;
  out.platform = &p;
  WriteStampedLine(&out, "one");
  EXPECT_FALSE(out.failed);
  WriteStampedLine(&out, "two");
  EXPECT_TRUE(out.failed);
  sys.writes_before_failure = -1;  // even if the output would work again
  WriteStampedLine(&out, "three");
  WritePlainLine(&out, "four");
  EXPECT_EQ(sys.out, "09/07/01 21:49 one\r\n");
}

}  // namespace
