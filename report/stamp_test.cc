// Tests for the stamp prefix and for taking the separators from the locale settings.
#include "report/stamp.h"

#include <gtest/gtest.h>

#include "tests/fake_platform.h"

namespace {

TEST(FormatStamp, FieldsAndSeparators) {
  struct Row {
    LocalTime time;
    char date, time_sep;
    const char* want;
  } rows[] = {
      {{2001, 7, 9, 21, 49}, '/', ':', "09/07/01 21:49 "},
      {{2001, 7, 9, 21, 49}, '.', '.', "09.07.01 21.49 "},
      {{2001, 7, 9, 21, 49}, '-', ':', "09-07-01 21:49 "},
      {{2000, 1, 1, 0, 0}, '/', ':', "01/01/00 00:00 "},
      {{2099, 12, 31, 23, 59}, '/', ':', "31/12/99 23:59 "},
      {{2026, 12, 11, 9, 5}, '/', ':', "11/12/26 09:05 "},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.want);
    EXPECT_EQ(FormatStamp(r.time, {r.date, r.time_sep}), r.want);
  }
}

TEST(LoadSeparators, OneCharacterSettingsOnly) {
  struct Row {
    bool readable;
    std::string date, time;
    char want_date, want_time;
  } rows[] = {
      {true, "-", ".", '-', '.'},
      {true, "", "", '/', ':'},                   // empty settings fall back
      {true, "//", "::", '/', ':'},               // longer than one character
      {true, std::string(1, '\0'), ".", '/', '.'},
      {false, "-", ".", '/', ':'},                // unreadable
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.date + " " + r.time);
    FakeSystem sys;
    sys.locale_readable = r.readable;
    sys.date_sep = r.date;
    sys.time_sep = r.time;
    Separators got = LoadSeparators(FakePlatform(&sys));
    EXPECT_EQ(got.date, r.want_date);
    EXPECT_EQ(got.time, r.want_time);
  }
}

}  // namespace
