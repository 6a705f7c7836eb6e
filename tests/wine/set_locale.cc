// Test helper for Wine runs: sets the user's date and time separators in the current prefix,
// so a test can see the stamp follow them. Usage: set_locale DATE_SEP TIME_SEP
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>

// SetLocaleInfoA rather than a registry edit: Wine does not pick up a changed registry value here.
int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: set_locale DATE_SEP TIME_SEP\n");
    return 2;
  }
  if (!SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDATE, argv[1]) ||
      !SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIME, argv[2])) {
    std::fprintf(stderr, "set_locale: SetLocaleInfoA failed, error %lu\n", GetLastError());
    return 1;
  }
  return 0;
}
