// Test helper for Wine runs: gives a file the attributes named and checks that they stuck.
// Usage: set_attributes PATH [readonly] [hidden] [system] [archive]; exit 0 only when all are set.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: set_attributes PATH [readonly] [hidden] [system] [archive]\n");
    return 2;
  }
  struct {
    const char* name;
    DWORD bit;
  } const kNames[] = {{"readonly", FILE_ATTRIBUTE_READONLY},
                      {"hidden", FILE_ATTRIBUTE_HIDDEN},
                      {"system", FILE_ATTRIBUTE_SYSTEM},
                      {"archive", FILE_ATTRIBUTE_ARCHIVE}};
  DWORD want = 0;
  for (int i = 2; i < argc; ++i) {
    DWORD bit = 0;
    for (const auto& n : kNames) {
      if (std::strcmp(argv[i], n.name) == 0) bit = n.bit;
    }
    if (bit == 0) {
      std::fprintf(stderr, "set_attributes: unknown attribute %s\n", argv[i]);
      return 2;
    }
    want |= bit;
  }
  if (!SetFileAttributesA(argv[1], want == 0 ? FILE_ATTRIBUTE_NORMAL : want)) {
    std::fprintf(stderr, "set_attributes: cannot set, error %lu\n", GetLastError());
    return 1;
  }
  // A file system without room for DOS attributes may drop some silently; the test must know.
  DWORD got = GetFileAttributesA(argv[1]);
  if (got == INVALID_FILE_ATTRIBUTES || (got & want) != want) {
    std::fprintf(stderr, "set_attributes: %s has attributes 0x%lx, wanted 0x%lx\n", argv[1], got, want);
    return 1;
  }
  return 0;
}
