// The operating-system services for POSIX systems: files, standard output, clock and locale.
// Each function turns system calls into plain values and holds none of the program's rules.
#include <fcntl.h>
#include <langinfo.h>
#include <locale.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

#include "log/utf16_decoder.h"
#include "platform/platform.h"

namespace {

bool IsFile(void*, const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

int64_t OpenLog(void*, const std::string& path) {
  // Non-blocking only for the open itself, so a FIFO without a writer does not hang us.
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  int flags = fcntl(fd, F_GETFL);
  if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

int64_t ReadLog(void*, int64_t handle, char* buf, size_t size) {
  for (;;) {
    ssize_t n = read(static_cast<int>(handle), buf, size);
    if (n >= 0) return n;
    if (errno != EINTR) return -1;
  }
}

void CloseLog(void*, int64_t handle) { close(static_cast<int>(handle)); }

bool WriteOut(void*, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = write(STDOUT_FILENO, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      // Output someone else left non-blocking: a full pipe means wait, not fail.
      struct pollfd out = {STDOUT_FILENO, POLLOUT, 0};
      if (poll(&out, 1, -1) >= 0 || errno == EINTR) continue;
      return false;
    }
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

LocalTime Now(void*) {
  time_t now = time(nullptr);
  struct tm t = {};
  localtime_r(&now, &t);
  return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min};
}

// The text between the first two conversions of a date or time format: "%d.%m.%Y" gives ".".
std::string SeparatorOfFormat(const char* format) {
  std::string f = format ? format : "";
  size_t first = f.find('%');
  if (first == std::string::npos) return {};
  size_t at = first + 1;
  if (at < f.size() && (f[at] == 'E' || f[at] == 'O')) ++at;  // a modifier, as in %Ey
  if (at >= f.size()) return {};
  size_t next = f.find('%', at + 1);
  return next == std::string::npos ? std::string() : f.substr(at + 1, next - at - 1);
}

bool LocaleSeparators(void*, std::string* date_sep, std::string* time_sep) {
  // Only the time category is taken from the user's environment; nothing else changes.
  if (!setlocale(LC_TIME, "")) return false;
  *date_sep = SeparatorOfFormat(nl_langinfo(D_FMT));
  *time_sep = SeparatorOfFormat(nl_langinfo(T_FMT));
  return true;
}

void FromUtf16(void*, const char16_t* units, size_t count, std::string* out) {
  AppendUtf8(units, count, out);
}

}  // namespace

Platform HostPlatform() {
  return {nullptr, IsFile, OpenLog, ReadLog, CloseLog, WriteOut, Now, LocaleSeparators, FromUtf16};
}

void PlatformStartUp() {
  // A reader that closes the pipe early, or an output file at its size limit, must not kill
  // us; the write then fails quietly.
  signal(SIGPIPE, SIG_IGN);
  signal(SIGXFSZ, SIG_IGN);
}

bool PlatformRawCommandLine(std::string*) { return false; }
