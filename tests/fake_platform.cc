// An in-memory system for unit tests: files by path, a fixed clock, captured standard output,
// and switches that make reads or writes fail at a chosen point.
#include "tests/fake_platform.h"

#include <algorithm>

#include "log/utf16_decoder.h"

namespace {

FakeSystem* Sys(void* ctx) { return static_cast<FakeSystem*>(ctx); }

bool IsFile(void* ctx, const std::string& path) {
  return Sys(ctx)->files.count(path) > 0 || Sys(ctx)->unopenable.count(path) > 0;
}

int64_t OpenLog(void* ctx, const std::string& path) {
  FakeSystem* s = Sys(ctx);
  auto it = s->files.find(path);
  if (it == s->files.end() || s->unopenable.count(path)) return -1;
  s->open_content = &it->second;
  s->read_pos = 0;
  ++s->opens;
  return 7;
}

int64_t ReadLog(void* ctx, int64_t, char* buf, size_t size) {
  FakeSystem* s = Sys(ctx);
  size_t left = s->open_content->size() - s->read_pos;
  size_t n = std::min({size, left, s->max_read});
  if (s->fail_read_at >= 0 && s->read_pos + n >= static_cast<size_t>(s->fail_read_at) &&
      (n > 0 || s->read_pos == static_cast<size_t>(s->fail_read_at))) {
    return -1;
  }
  std::copy_n(s->open_content->data() + s->read_pos, n, buf);
  s->read_pos += n;
  return static_cast<int64_t>(n);
}

void CloseLog(void* ctx, int64_t) { ++Sys(ctx)->closes; }

bool WriteOut(void* ctx, const char* data, size_t size) {
  FakeSystem* s = Sys(ctx);
  if (s->writes_before_failure == 0) return false;
  if (s->writes_before_failure > 0) --s->writes_before_failure;
  s->out.append(data, size);
  return true;
}

LocalTime Now(void* ctx) { return Sys(ctx)->now; }

bool LocaleSeparators(void* ctx, std::string* date_sep, std::string* time_sep) {
  FakeSystem* s = Sys(ctx);
  *date_sep = s->date_sep;
  *time_sep = s->time_sep;
  return s->locale_readable;
}

void FromUtf16(void*, const char16_t* units, size_t count, std::string* out) {
  AppendUtf8(units, count, out);
}

}  // namespace

Platform FakePlatform(FakeSystem* system) {
  return {system, IsFile, OpenLog, ReadLog, CloseLog, WriteOut, Now, LocaleSeparators, FromUtf16};
}
