// Turns a UTF-16LE byte stream, fed in pieces of any size, into the platform's 8-bit text.
// Pairing surrogates happens here; the platform only maps whole characters to its code page.
#include "log/utf16_decoder.h"

#include <cstdint>

namespace {

bool IsHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLow(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

void Put(Utf16Decoder* d, char16_t u) {
  if (d->high != 0) {
    if (IsLow(u)) {
      d->units.push_back(d->high);
      d->units.push_back(u);
      d->high = 0;
      return;
    }
    d->units.push_back(u'?');
    d->high = 0;
  }
  if (IsHigh(u)) {
    d->high = u;
  } else {
    d->units.push_back(IsLow(u) ? u'?' : u);
  }
}

char16_t Unit(unsigned char low, unsigned char high) { return static_cast<char16_t>(low | high << 8); }

}  // namespace

void DecodeUtf16(Utf16Decoder* d, const char* bytes, size_t size, bool last, std::string* out) {
  const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes);
  d->units.clear();
  size_t i = 0;
  if (d->odd_byte >= 0 && size > 0) {
    Put(d, Unit(static_cast<unsigned char>(d->odd_byte), b[0]));
    d->odd_byte = -1;
    i = 1;
  }
  for (; i + 1 < size; i += 2) Put(d, Unit(b[i], b[i + 1]));
  if (i < size) d->odd_byte = b[i];
  if (last) {
    if (d->high != 0) d->units.push_back(u'?');
    if (d->odd_byte >= 0) d->units.push_back(u'?');
    d->high = 0;
    d->odd_byte = -1;
  }
  if (!d->units.empty()) {
    d->platform->FromUtf16(d->platform->ctx, d->units.data(), d->units.size(), out);
  }
}

void AppendUtf8(const char16_t* units, size_t count, std::string* out) {
  for (size_t i = 0; i < count; ++i) {
    uint32_t c = units[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < count) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
    }
    if (c < 0x80) {
      out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out->push_back(static_cast<char>(0xC0 | c >> 6));
      out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out->push_back(static_cast<char>(0xE0 | c >> 12));
      out->push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
      out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out->push_back(static_cast<char>(0xF0 | c >> 18));
      out->push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
      out->push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
      out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
}
