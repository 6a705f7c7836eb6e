// What the fuzz targets share: a failed property stops the run loudly, so libFuzzer keeps
// the input that broke it. Plain functions, usable with NDEBUG.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

inline void Check(bool ok, const char* property) {
  if (ok) return;
  std::fprintf(stderr, "property broken: %s\n", property);
  std::abort();
}

inline void CheckEqual(const std::string& got, const std::string& want, const char* property) {
  if (got == want) return;
  std::fprintf(stderr, "got  %zu bytes: %s\nwant %zu bytes: %s\n", got.size(), got.c_str(), want.size(),
               want.c_str());
  Check(false, property);
}
