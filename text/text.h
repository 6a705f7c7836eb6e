// The text helpers every part of the scan uses: search, slice and decimal rendering.
// Positions are 1-based, comparisons exact byte for byte; a NUL is an ordinary character.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// 1-based position of the first occurrence of needle in text; 0 when absent, and also when
// the needle is empty, the text is empty or the needle is longer than the text.
int64_t FindText(std::string_view needle, std::string_view text);

// At most count characters of text from position start. A start below 1 counts as 1 (the count
// is then taken whole from position 1); a start past the end or a negative count gives "".
std::string_view SliceText(std::string_view text, int64_t start, int64_t count);

// Signed decimal of a 32-bit value, no padding; -2147483648 in full.
std::string DecimalText(int32_t n);
