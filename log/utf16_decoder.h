// Turns a UTF-16LE byte stream, fed in pieces of any size, into the platform's 8-bit text.
// A code unit or a surrogate pair split between two pieces is held back and decoded whole.
#pragma once

#include <cstddef>
#include <string>

#include "platform/platform.h"

struct Utf16Decoder {
  const Platform* platform = nullptr;
  int odd_byte = -1;     // the low byte of a unit whose high byte is still to come
  char16_t high = 0;     // a high surrogate waiting for its low half
  std::u16string units;  // scratch: one piece's units, well-formed, for the platform
};

// Appends the 8-bit form of bytes[0, size) to out. With last set, whatever is held back is
// flushed: an unpaired surrogate and an odd last byte each become "?", as does any unpaired
// surrogate met on the way, so the platform only ever sees well-formed text.
void DecodeUtf16(Utf16Decoder* decoder, const char* bytes, size_t size, bool last, std::string* out);

// Appends the UTF-8 form of well-formed UTF-16 units (no unpaired surrogate) to out.
void AppendUtf8(const char16_t* units, size_t count, std::string* out);
