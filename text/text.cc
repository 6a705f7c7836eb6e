// The text helpers every part of the scan uses: search, slice and decimal rendering.
// Views are returned so that slicing a long line never copies it.
#include "text/text.h"

int64_t FindText(std::string_view needle, std::string_view text) {
  if (needle.empty() || text.empty() || needle.size() > text.size()) return 0;
  size_t at = text.find(needle);
  return at == std::string_view::npos ? 0 : static_cast<int64_t>(at) + 1;
}

std::string_view SliceText(std::string_view text, int64_t start, int64_t count) {
  if (start < 1) start = 1;
  int64_t size = static_cast<int64_t>(text.size());
  if (count < 0 || start > size) return {};
  int64_t left = size - (start - 1);
  if (count > left) count = left;
  return text.substr(static_cast<size_t>(start - 1), static_cast<size_t>(count));
}

std::string DecimalText(int32_t n) {
  // Work on the magnitude in 64 bits so that -2147483648 needs no special case.
  int64_t v = n;
  bool negative = v < 0;
  if (negative) v = -v;
  char digits[12];
  int at = sizeof digits;
  do {
    digits[--at] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v > 0);
  if (negative) digits[--at] = '-';
  return std::string(digits + at, sizeof digits - at);
}
