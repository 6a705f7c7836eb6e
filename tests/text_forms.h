// The forms of text the end-to-end fixtures are written in: UTF-16LE as robocopy's /UNILOG
// writes it, UTF-8, and what LogSift writes for decoded text on the platform under test.
#pragma once

#include <string>

// The UTF-16LE form of units, with the mark FF FE in front.
std::string Utf16Le(const std::u16string& units);

std::u16string Widen(const std::string& ascii);

// The UTF-8 form of units holding no surrogate.
std::string Utf8(const std::u16string& units);

// True when LogSift runs under a Windows runner (LOGSIFT_WRAPPER), where a UTF-16 log is decoded
// to a Western OEM code page.
bool UnderWindowsRunner();

// How LogSift writes decoded units: UTF-8, or under a Windows runner that code page, which
// lacks every non-ASCII character the tests use.
std::string Native(const std::u16string& units);
