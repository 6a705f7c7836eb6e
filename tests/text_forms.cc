// The forms of text the end-to-end fixtures are written in: UTF-16LE as robocopy's /UNILOG
// writes it, UTF-8, and what LogSift writes for decoded text on the platform under test.
#include "tests/text_forms.h"

#include <cstdlib>

std::string Utf16Le(const std::u16string& units) {
  std::string bytes = "\xff\xfe";
  for (char16_t u : units) {
    bytes.push_back(static_cast<char>(u & 0xFF));
    bytes.push_back(static_cast<char>(u >> 8));
  }
  return bytes;
}

std::u16string Widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::string Utf8(const std::u16string& units) {
  std::string out;
  for (char16_t u : units) {
    if (u < 0x80) {
      out += static_cast<char>(u);
    } else if (u < 0x800) {
      out += {static_cast<char>(0xC0 | u >> 6), static_cast<char>(0x80 | (u & 0x3F))};
    } else {
      out += {static_cast<char>(0xE0 | u >> 12), static_cast<char>(0x80 | (u >> 6 & 0x3F)),
              static_cast<char>(0x80 | (u & 0x3F))};
    }
  }
  return out;
}

bool UnderWindowsRunner() {
  const char* wrapper = std::getenv("LOGSIFT_WRAPPER");
  return wrapper && *wrapper;
}

std::string Native(const std::u16string& units) {
  if (!UnderWindowsRunner()) return Utf8(units);
  std::string out;
  for (char16_t u : units) out += u < 0x80 ? static_cast<char>(u) : '?';
  return out;
}
