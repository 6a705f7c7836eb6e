// The Windows services behind platform.h: ANSI Win32 calls, raw bytes both ways.
// Holds no LogSift rules; it only turns system calls into plain values.
#include "platform/platform.h"

#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

namespace {

// Handles travel as int64 so the interface stays the same on both platforms;
// CreateFileA never hands out a negative value other than INVALID_HANDLE_VALUE.
HANDLE ToHandle(int64_t handle) { return reinterpret_cast<HANDLE>(static_cast<intptr_t>(handle)); }

// One Win32 read or write moves at most a DWORD; keep well under it.
DWORD Chunk(size_t size) { return size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size); }

bool IsFile(void*, const std::string& path) {
  DWORD attrs = GetFileAttributesA(path.c_str());
  return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
}

// Read and write sharing, not delete: a copy job may still be appending to the log.
int64_t OpenLog(void*, const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  return h == INVALID_HANDLE_VALUE ? -1 : static_cast<int64_t>(reinterpret_cast<intptr_t>(h));
}

// Sequential reads with no file offsets in our hands, so no 2 or 4 GiB limit on 32-bit builds.
int64_t ReadLog(void*, int64_t handle, char* buf, size_t size) {
  DWORD got = 0;
  if (ReadFile(ToHandle(handle), buf, Chunk(size), &got, nullptr)) return got;
  return GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
}

void CloseLog(void*, int64_t handle) {
  if (handle >= 0) CloseHandle(ToHandle(handle));
}

// WriteFile, not the CRT: no text-mode translation, so CR LF stays CR LF in files and pipes.
bool WriteOut(void*, const char* data, size_t size) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  while (size > 0) {
    DWORD done = 0;
    if (!WriteFile(out, data, Chunk(size), &done, nullptr) || done == 0) return false;
    data += done;
    size -= done;
  }
  return true;
}

LocalTime Now(void*) {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return LocalTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute};
}

// The setting as stored (Windows allows at most three characters); GetLocaleInfoA counts
// the terminating NUL and gives 0 on failure.
bool LocaleSetting(LCTYPE type, std::string* value) {
  char buf[16];
  int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buf, sizeof buf);
  if (n <= 0) return false;
  value->assign(buf, n - 1);
  return true;
}

bool LocaleSeparators(void*, std::string* date_sep, std::string* time_sep) {
  return LocaleSetting(LOCALE_SDATE, date_sep) && LocaleSetting(LOCALE_STIME, time_sep);
}

// One conversion call; 0 when the code page refuses the flags (UTF-8 takes neither).
int ToOemCodePage(const char16_t* units, int count, char* out, int size, bool plain) {
  return WideCharToMultiByte(CP_OEMCP, plain ? 0 : WC_NO_BEST_FIT_CHARS,
                             reinterpret_cast<const wchar_t*>(units), count, out, size, plain ? nullptr : "?",
                             nullptr);
}

// The OEM code page is what the console shows. What it lacks becomes "?", not a look-alike
// letter that could pass for a different name.
void FromUtf16(void*, const char16_t* units, size_t count, std::string* out) {
  constexpr size_t kMaxUnits = 1 << 20;  // the call counts in int
  while (count > 0) {
    size_t n = count < kMaxUnits ? count : kMaxUnits;
    if (n < count && units[n - 1] >= 0xD800 && units[n - 1] <= 0xDBFF) --n;  // keep a pair whole
    bool plain = false;
    int size = ToOemCodePage(units, static_cast<int>(n), nullptr, 0, plain);
    if (size <= 0) {
      plain = true;
      size = ToOemCodePage(units, static_cast<int>(n), nullptr, 0, plain);
    }
    if (size > 0) {
      size_t at = out->size();
      out->resize(at + static_cast<size_t>(size));
      ToOemCodePage(units, static_cast<int>(n), &(*out)[at], size, plain);
    }
    units += n;
    count -= n;
  }
}

}  // namespace

Platform HostPlatform() {
  return Platform{nullptr, IsFile, OpenLog, ReadLog, CloseLog, WriteOut, Now, LocaleSeparators, FromUtf16};
}

// No error dialogs for a missing drive or a crash; the CRT's stdout in binary mode
// in case anything ever writes through it. A closed pipe is just a failed WriteFile.
void PlatformStartUp() {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  _setmode(_fileno(stdout), _O_BINARY);
}

bool PlatformRawCommandLine(std::string* line) {
  *line = GetCommandLineA();
  return true;
}
