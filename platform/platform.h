// The operating-system services LogSift needs, as one record of plain functions.
// A platform file fills it for a real run; tests fill it with an in-memory log, a fixed clock and captured output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct LocalTime {
  int year;    // e.g. 2026
  int month;   // 1..12
  int day;     // 1..31
  int hour;    // 0..23
  int minute;  // 0..59
};

struct Platform {
  void* ctx;
  // True when path names an existing entry that is not a directory, whatever its attributes.
  bool (*IsFile)(void* ctx, const std::string& path);
  // Opens an existing file read-only, letting others read and write it; a handle >= 0, or -1.
  int64_t (*OpenLog)(void* ctx, const std::string& path);
  // Reads up to size bytes: the count read, 0 at the end of the file (or a closed pipe), -1 on failure.
  int64_t (*ReadLog)(void* ctx, int64_t handle, char* buf, size_t size);
  void (*CloseLog)(void* ctx, int64_t handle);
  // Writes every byte to standard output; false on any failure.
  bool (*WriteOut)(void* ctx, const char* data, size_t size);
  // The local date and time, read anew at every call.
  LocalTime (*Now)(void* ctx);
  // The user's date and time separator settings as the system gives them; false when unreadable.
  bool (*LocaleSeparators)(void* ctx, std::string* date_sep, std::string* time_sep);
  // Appends the 8-bit form of count UTF-16 units, which hold no unpaired surrogate, to out:
  // UTF-8 on POSIX; on Windows the console's OEM code page, "?" for what it cannot show.
  void (*FromUtf16)(void* ctx, const char16_t* units, size_t count, std::string* out);
};

// The host's services.
Platform HostPlatform();
// Once at start-up: standard output to binary mode, a closed pipe made harmless.
void PlatformStartUp();
// The one unsplit command line where the system hands one over (Windows); false where it
// hands over split arguments (POSIX), which are then used as they are.
bool PlatformRawCommandLine(std::string* line);
