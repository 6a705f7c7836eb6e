// Reads the six file counts of a summary row from fixed 10-character columns.
// The number readers never fail: malformed text reads as its longest valid prefix, or 0.
#pragma once

#include <cstdint>
#include <string_view>

#include "app/scan_state.h"

struct ParseResult {
  int32_t value;  // 0 when the conversion failed
  int64_t code;   // 0 on success, else the 1-based position of the first unusable character
};

// Strict: leading blanks (not tabs), an optional sign, decimal digits or "$" and hexadecimal
// digits, and nothing after them; a NUL ends the text.
ParseResult ParseInt(std::string_view text);

// ParseInt's value, or on failure the value of the prefix before the failing character.
int32_t ReadLeadingInt(std::string_view text);

// Sets all six counts from six 10-character windows, the first at 1-based position start (one
// past the blank after the row's files label), each next one 10 further.
void ReadSummaryCounts(ScanState* state, std::string_view line, int64_t start);
