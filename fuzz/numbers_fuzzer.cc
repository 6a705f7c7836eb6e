// Fuzzes the strict and the lenient integer readers against a plain reading of their rules:
// leading blanks, a sign, "$" for hexadecimal, digits while the value fits, a NUL ends the text.
#include <cstdint>
#include <cstring>
#include <string_view>

#include "fuzz/check.h"
#include "log/summary_counts.h"

namespace {

struct Reading {
  bool whole;     // the text is one valid number, nothing before or after it
  size_t stop;    // 0-based index where the reading stopped
  int32_t value;  // of the digits read, 0 when there were none
};

int DigitValue(char c, bool hex) {
  const char* digits = hex ? "0123456789abcdef0123456789ABCDEF" : "0123456789";
  const char* at = c ? std::strchr(digits, c) : nullptr;
  if (!at) return -1;
  return static_cast<int>(at - digits) % 16;
}

Reading Reference(std::string_view t) {
  t = t.substr(0, t.find('\0'));
  size_t i = 0;
  while (i < t.size() && t[i] == ' ') ++i;
  bool negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
  bool hex = i < t.size() && t[i] == '$';
  if (hex) ++i;
  uint64_t value = 0;
  size_t digits = 0;
  for (; i < t.size(); ++i) {
    int d = DigitValue(t[i], hex);
    if (d < 0) break;
    uint64_t next = value * (hex ? 16 : 10) + static_cast<uint64_t>(d);
    if (next > (hex ? 0xFFFFFFFFu : 0x7FFFFFFFu)) break;
    value = next;
    ++digits;
  }
  // Both kinds end as a 32-bit pattern; "-" negates it modulo 2^32.
  uint32_t bits = static_cast<uint32_t>(value);
  if (negative) bits = 0u - bits;
  int32_t signed_value;
  std::memcpy(&signed_value, &bits, sizeof bits);
  return {digits > 0 && i == t.size(), i, digits > 0 ? signed_value : 0};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  Reading want = Reference(text);
  ParseResult strict = ParseInt(text);
  if (want.whole) {
    Check(strict.code == 0, "a valid number parses");
    Check(strict.value == want.value, "ParseInt value");
  } else {
    Check(strict.code == static_cast<int64_t>(want.stop) + 1,
          "ParseInt fails at the first unusable character");
    Check(strict.value == 0, "a failed ParseInt gives 0");
  }
  Check(ReadLeadingInt(text) == want.value, "ReadLeadingInt reads the longest valid prefix");
  return 0;
}
