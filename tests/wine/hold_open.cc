// Test helper for Wine runs: holds a log open for writing, as a running copy job does.
// Usage: hold_open PATH [exclusive]; appends a line, prints "held", holds until stdin ends.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: hold_open PATH [exclusive]\n");
    return 2;
  }
  // A copy job shares its log for reading and writing; "exclusive" shares nothing, to see a
  // refused open.
  bool exclusive = argc == 3 && std::strcmp(argv[2], "exclusive") == 0;
  DWORD share = exclusive ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
  HANDLE h = CreateFileA(argv[1], GENERIC_WRITE, share, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "hold_open: cannot open %s, error %lu\n", argv[1], GetLastError());
    return 1;
  }
  static const char kLine[] = "   Held open by hold_open\r\n";
  DWORD done = 0;
  LARGE_INTEGER zero = {};
  if (!SetFilePointerEx(h, zero, nullptr, FILE_END) ||
      !WriteFile(h, kLine, sizeof kLine - 1, &done, nullptr)) {
    std::fprintf(stderr, "hold_open: cannot append, error %lu\n", GetLastError());
    return 1;
  }
  std::printf("held\n");
  std::fflush(stdout);
  // The test decides how long: it closes our standard input when it is done.
  char buf[64];
  DWORD got = 0;
  while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buf, sizeof buf, &got, nullptr) && got > 0) {
  }
  CloseHandle(h);
  return 0;
}
