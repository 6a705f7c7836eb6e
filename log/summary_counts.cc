// Reads the six file counts of a summary row from fixed 10-character columns.
// Arithmetic stays in wider types so no input, however absurd, overflows.
#include "log/summary_counts.h"

#include "text/text.h"

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

ParseResult Fail(size_t index) { return {0, static_cast<int64_t>(index) + 1}; }

// The low 32 bits of v as a signed value, without relying on implementation-defined casts.
int32_t Wrap32(int64_t v) {
  uint32_t bits = static_cast<uint32_t>(v);
  return bits <= 0x7FFFFFFFu ? static_cast<int32_t>(bits)
                             : static_cast<int32_t>(static_cast<int64_t>(bits) - 0x100000000LL);
}

}  // namespace

ParseResult ParseInt(std::string_view text) {
  size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  if (text.empty()) return {0, 1};
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  bool hex = i < text.size() && text[i] == '$';
  if (hex) ++i;
  if (i == text.size()) return Fail(i);  // no digit at all
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (hex) {
      int d = HexDigit(text[i]);
      if (d < 0 || value > 0x0FFFFFFF) return Fail(i);
      value = value * 16 + d;
    } else {
      char c = text[i];
      if (c < '0' || c > '9') return Fail(i);
      value = value * 10 + (c - '0');
      if (value > 2147483647) return Fail(i);
    }
  }
  // A hexadecimal value is a 32-bit pattern, so "$FFFFFFFF" is -1 and "-$80000000" wraps back.
  int64_t signed_value = hex ? Wrap32(value) : value;
  return {Wrap32(negative ? -signed_value : signed_value), 0};
}

int32_t ReadLeadingInt(std::string_view text) {
  ParseResult whole = ParseInt(text);
  if (whole.code == 0) return whole.value;
  return ParseInt(SliceText(text, 1, whole.code - 1)).value;
}

void ReadSummaryCounts(ScanState* state, std::string_view line, int64_t start) {
  int32_t* counts[] = {&state->Total,    &state->Copied, &state->Skipped,
                       &state->Mismatch, &state->Failed, &state->Extras};
  for (int32_t* count : counts) {
    *count = ReadLeadingInt(SliceText(line, start, 10));
    start += 10;
  }
}
