// An in-memory system for unit tests: files by path, a fixed clock, captured standard output,
// and switches that make reads or writes fail at a chosen point.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "platform/platform.h"

struct FakeSystem {
  std::map<std::string, std::string> files;
  std::set<std::string> directories;
  std::set<std::string> unopenable;  // exist, but the open fails
  std::string out;
  LocalTime now = {2001, 7, 9, 21, 49};
  bool locale_readable = true;
  std::string date_sep = "/";
  std::string time_sep = ":";
  size_t max_read = SIZE_MAX;         // at most this many bytes per read
  int64_t fail_read_at = -1;          // a read reaching this offset fails
  int writes_before_failure = -1;     // the write after this many succeeds fails; -1: never
  // The open file.
  const std::string* open_content = nullptr;
  size_t read_pos = 0;
  int opens = 0;
  int closes = 0;
};

Platform FakePlatform(FakeSystem* system);
