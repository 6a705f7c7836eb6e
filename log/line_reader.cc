// Cuts the log into lines as it streams it in fixed-size blocks: LF ends a line, every CR is
// dropped, Ctrl-Z ends the text. Most lines are handed out as views into the block, uncopied.
#include "log/line_reader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr char kCtrlZ = 26;

struct ChunkMasks {
  uint64_t lf;  // bit i: byte i of the 64 is an LF
  uint64_t cr;
  uint64_t want;  // a wanted byte; left unset when no line is left out
};

// The wanted bytes in the form the pass compares them with.
#if defined(__SSE2__)
struct WantedLanes {
  __m128i bytes[kMaxWantedBytes];  // a shorter list is padded with repeats, which change nothing
  __m128i high;                    // 0x80 in every lane when bytes above 0x7F are wanted
};

WantedLanes LanesOf(const WantedBytes& w) {
  WantedLanes lanes;
  char pad = w.bytes.empty() ? '\n' : w.bytes[0];  // LFs are never counted as wanted
  for (size_t i = 0; i < kMaxWantedBytes; ++i) {
    lanes.bytes[i] = _mm_set1_epi8(i < w.bytes.size() ? w.bytes[i] : pad);
  }
  lanes.high = _mm_set1_epi8(static_cast<char>(w.high ? 0x80 : 0));
  return lanes;
}

// Top bit of byte i set: byte i of v is wanted.
__m128i WantedIn16(const WantedLanes& lanes, __m128i v) {
  __m128i hit = _mm_and_si128(v, lanes.high);
  for (const __m128i& b : lanes.bytes) hit = _mm_or_si128(hit, _mm_cmpeq_epi8(v, b));
  return hit;
}
#else
struct WantedLanes {
  uint32_t bytes[kMaxWantedBytes];  // each byte in all four lanes; padded as above
  uint32_t high;                    // 0x80808080 when bytes above 0x7F are wanted
  bool is[256];
};

WantedLanes LanesOf(const WantedBytes& w) {
  WantedLanes lanes;
  char pad = w.bytes.empty() ? '\n' : w.bytes[0];
  for (size_t i = 0; i < kMaxWantedBytes; ++i) {
    lanes.bytes[i] = 0x01010101u * static_cast<unsigned char>(i < w.bytes.size() ? w.bytes[i] : pad);
  }
  lanes.high = w.high ? 0x80808080u : 0;
  for (int c = 0; c < 256; ++c) lanes.is[c] = w.high && c > 0x7F;
  for (char c : w.bytes) lanes.is[static_cast<unsigned char>(c)] = true;
  return lanes;
}

// Nonzero when some byte of the word x is zero.
uint32_t ZeroByte(uint32_t x) { return (x - 0x01010101u) & ~x & 0x80808080u; }

bool MayBeWanted(const WantedLanes& lanes, uint32_t x) {
  uint32_t hit = x & lanes.high;
  for (uint32_t b : lanes.bytes) hit |= ZeroByte(x ^ b);
  return hit != 0;
}
#endif

// The masks of the 64 bytes at p; want only when lanes is given.
[[gnu::always_inline]] inline ChunkMasks MasksOf(const char* p, const WantedLanes* lanes) {
  ChunkMasks m = {0, 0, 0};
#if defined(__SSE2__)
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i cr = _mm_set1_epi8('\r');
  __m128i v[4];
  for (int i = 0; i < 4; ++i) {
    v[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
    m.lf |= static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v[i], lf))))
            << 16 * i;
    m.cr |= static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v[i], cr))))
            << 16 * i;
  }
  if (lanes) {
    // Most chunks hold no wanted byte: one test says so, and only the others are mapped.
    __m128i hit[4];
    for (int i = 0; i < 4; ++i) hit[i] = WantedIn16(*lanes, v[i]);
    __m128i any = _mm_or_si128(_mm_or_si128(hit[0], hit[1]), _mm_or_si128(hit[2], hit[3]));
    if (_mm_movemask_epi8(any) != 0) {
      for (int i = 0; i < 4; ++i) {
        m.want |= static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(hit[i]))) << 16 * i;
      }
    }
  }
#else
  // Four bytes at a time: only a word that may hold an LF, a CR or a wanted byte is looked at
  // byte by byte.
  for (int w = 0; w < 64; w += 4) {
    uint32_t x;
    std::memcpy(&x, p + w, 4);
    bool crlf = ZeroByte(x ^ 0x0A0A0A0Au) | ZeroByte(x ^ 0x0D0D0D0Du);
    if (crlf || (lanes && MayBeWanted(*lanes, x))) {
      for (int i = w; i < w + 4; ++i) {
        m.lf |= static_cast<uint64_t>(p[i] == '\n') << i;
        m.cr |= static_cast<uint64_t>(p[i] == '\r') << i;
        if (lanes) m.want |= static_cast<uint64_t>(lanes->is[static_cast<unsigned char>(p[i])]) << i;
      }
    }
  }
#endif
  return m;
}

// The LFs of a chunk that end a line holding one of the bytes marked in held. Added to the
// mask of the bytes that are not LFs, a line's marked bytes carry up through its run of ones
// into the LF that ends it; a carry out of the chunk goes on into the next.
uint64_t EndsOfLinesHolding(uint64_t lf, uint64_t held, uint64_t* carry) {
  uint64_t rest = ~lf;
  uint64_t sum;
  bool out = __builtin_add_overflow(rest, held & rest, &sum);
  out |= __builtin_add_overflow(sum, *carry, &sum);  // never both
  *carry = out;
  return sum & lf;
}

// True when p[0, n) holds a wanted byte.
bool HoldsWanted(const WantedLanes& lanes, const char* p, size_t n) {
  for (; n >= 64; p += 64, n -= 64) {
    if (MasksOf(p, &lanes).want != 0) return true;
  }
  char last[64] = {};
  if (n > 0) std::memcpy(last, p, n);
  return (MasksOf(last, &lanes).want & ((uint64_t{1} << n) - 1)) != 0;
}

constexpr uint32_t kBareCr = 1u << 31;  // marks the end of a line that holds a CR to remove
// Line ends are 31-bit offsets into a block, or into its decoded text of up to twice the size.
constexpr size_t kMaxBlockSize = size_t{1} << 29;

// The reader's wanted bytes, or none when every line is to be handed out (also when the list
// is too long for the pass to compare).
const WantedBytes* Filter(const LogLineReader* r) {
  return r->wanted && r->wanted->bytes.size() <= kMaxWantedBytes ? r->wanted : nullptr;
}

// Appends the lines of a chunk whose LFs are set in ends, each starting after the LF before
// it: in the chunk's lf, or where the line open at the chunk's start began.
size_t PutLines(uint64_t ends, uint64_t bare_ends, uint64_t lf, uint32_t base, uint32_t open_start,
                LineSpan* out, size_t count) {
  for (; ends != 0; ends &= ends - 1) {
    int at = __builtin_ctzll(ends);
    uint64_t before = lf & ((uint64_t{1} << at) - 1);
    LineSpan& span = out[count++];
    span.start = before != 0 ? base + 64 - static_cast<uint32_t>(__builtin_clzll(before)) : open_start;
    span.end = (base + static_cast<uint32_t>(at)) | (bare_ends >> at & 1 ? kBareCr : 0);
  }
  return count;
}

// Lists the lines of data[0, end), each marked when it holds a CR that is not the one just
// before its LF, in one vectorised pass: handing out a line then costs no search and no
// guessed branch. With wanted set only the lines holding a wanted byte are listed, and the
// first, which may have begun in an earlier block; so most chunks list nothing.
void IndexBlock(LogLineReader* r) {
  size_t n = r->end;
  if (r->lines_room < n + 1) {
    r->lines_room = n + 1;
    r->lines.reset(new LineSpan[r->lines_room]);
  }
  const WantedBytes* filter = Filter(r);
  WantedLanes lanes;
  if (filter) lanes = LanesOf(*filter);
  LineSpan* out = r->lines.get();
  size_t count = 0;
  uint32_t open_start = 0;  // where the line open at the chunk's start began
  uint64_t want_carry = 1;  // that line holds a wanted byte; the first is listed whatever it holds
  uint64_t bare_carry = 0;  // that line holds a bare CR
  for (size_t base = 0; base < n; base += 64) {
    ChunkMasks m;
    uint64_t lf_follows;  // bit i: byte i + 1 is an LF
    if (n - base > 64) {
      m = MasksOf(r->data + base, filter ? &lanes : nullptr);
      lf_follows = m.lf >> 1 | static_cast<uint64_t>(r->data[base + 64] == '\n') << 63;
    } else {
      // The last chunk, padded with NULs; a CR ending the data counts as bare, which only
      // sends its line, one that crosses the block's end anyway, the slow way.
      char last[64] = {};
      std::memcpy(last, r->data + base, n - base);
      m = MasksOf(last, filter ? &lanes : nullptr);
      lf_follows = m.lf >> 1;
    }
    uint64_t listed = filter ? EndsOfLinesHolding(m.lf, m.want, &want_carry) : m.lf;
    uint64_t bare_ends = EndsOfLinesHolding(m.lf, m.cr & ~lf_follows, &bare_carry);
    if (listed != 0) {
      count = PutLines(listed, bare_ends, m.lf, static_cast<uint32_t>(base), open_start, out, count);
    }
    if (m.lf != 0) open_start = static_cast<uint32_t>(base + 64 - __builtin_clzll(m.lf));
  }
  r->line_count = count;
  r->next_line = 0;
  r->tail = open_start;
}

// Appends p[0, n) without its CRs to the line being assembled, in one pass.
void AppendWithoutCr(LogLineReader* r, const char* p, size_t n) {
  if (n > r->assembled_room - r->assembled_size) {
    // Doubling keeps a long line's moves few, and realloc lets the system move a large buffer
    // by remapping its pages, not by copying them into fresh ones.
    size_t room = std::max(2 * r->assembled_room, r->assembled_size + n);
    char* bigger = static_cast<char*>(std::realloc(r->assembled.get(), room));
    if (!bigger) throw std::bad_alloc();
    r->assembled.release();
    r->assembled.reset(bigger);
    r->assembled_room = room;
  }
  char* o = r->assembled.get() + r->assembled_size;
  const char* end = p + n;
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r');
  // Each stretch between CRs goes as one 16-byte store, which may run past the stretch (the
  // next store or the end of the line overwrites that) but never past what was read.
  for (; end - p >= 32; p += 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o), v);
    unsigned crs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)));
    if (crs == 0) {
      o += 16;
      continue;
    }
    unsigned from = 0;
    for (; crs != 0; crs &= crs - 1) {
      unsigned at = static_cast<unsigned>(__builtin_ctz(crs));
      o += at - from;
      from = at + 1;
      _mm_storeu_si128(reinterpret_cast<__m128i*>(o),
                       _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + from)));
    }
    o += 16 - from;
  }
#endif
  for (; p < end; ++p) {
    char c = *p;
    *o = c;
    o += c != '\r';
  }
  r->assembled_size = static_cast<size_t>(o - r->assembled.get());
}

// One read into buf: the count, or 0 once the file has nothing more (its end or a failure).
size_t ReadSome(LogLineReader* r, char* buf, size_t size) {
  int64_t n = r->platform->ReadLog(r->platform->ctx, r->handle, buf, size);
  if (n > 0) return static_cast<size_t>(n);
  r->source_done = true;
  if (n < 0) *r->failed = true;
  return 0;
}

// The next piece of decoded text; a read too short to finish a character yields nothing, so
// reading goes on until one does or the file ends.
size_t ReadDecoded(LogLineReader* r) {
  r->text.clear();
  while (r->text.empty() && !r->source_done) {
    size_t n = ReadSome(r, r->block.data(), r->block.size());
    if (*r->failed) break;  // data must still point at the (empty) text
    DecodeUtf16(&r->decoder, r->block.data(), n, n == 0, &r->text);
  }
  r->data = r->text.data();
  return r->text.size();
}

// Fills data[0, end) and indexes it; false when no byte is left before the end of the file or
// a Ctrl-Z.
bool Refill(LogLineReader* r) {
  r->pos = r->end = 0;
  size_t got;
  if (r->head_size > 0) {  // first, even when the file ended within them
    r->data = r->head;
    got = r->head_size;
    r->head_size = 0;
  } else if (r->source_done) {
    return false;
  } else if (r->utf16) {
    got = ReadDecoded(r);
  } else {
    r->data = r->block.data();
    got = ReadSome(r, r->block.data(), r->block.size());
  }
  if (const void* z = std::memchr(r->data, kCtrlZ, got)) {
    got = static_cast<size_t>(static_cast<const char*>(z) - r->data);
    r->source_done = true;  // nothing after a Ctrl-Z is ever read
  }
  r->end = got;
  IndexBlock(r);
  return got > 0;
}

// Any listed line, and the last: one that holds a CR to remove or runs on into the next block
// is copied together; also refills, and the end of input.
bool CutLine(LogLineReader* r, std::string_view* line) {
  r->assembled_size = 0;
  bool started = false;  // bytes of this line were consumed, if only CRs
  for (;;) {
    if (*r->failed) return false;
    if (r->pos == r->end && !Refill(r)) {
      if (*r->failed || !started) return false;
      *line = std::string_view(r->assembled.get(), r->assembled_size);  // the last line, without an LF
      return true;
    }
    if (r->next_line == r->line_count) {
      // No listed line left: the rest after the last LF starts a line that the next block
      // goes on with.
      if (r->tail < r->end) {
        AppendWithoutCr(r, r->data + r->tail, r->end - r->tail);
        started = true;
      }
      r->pos = r->end;
      continue;
    }
    LineSpan span = r->lines[r->next_line++];
    size_t lf = span.end & ~kBareCr;
    const char* begin = r->data + span.start;
    size_t len = lf - span.start;
    r->pos = lf + 1;
    if ((span.end & kBareCr) == 0 && !started) {
      if (len > 0 && begin[len - 1] == '\r') --len;
      *line = std::string_view(begin, len);
      return true;
    }
    AppendWithoutCr(r, begin, len);
    *line = std::string_view(r->assembled.get(), r->assembled_size);
    return true;
  }
}

// Every other line, cut by CutLine, and looked at whole when lines are left out: the index
// did not see what lay of it in an earlier block. Kept out of NextLine so that its usual path
// stays a few instructions with nothing to save and restore.
[[gnu::noinline]] bool AssembleLine(LogLineReader* r, std::string_view* line) {
  const WantedBytes* filter = Filter(r);
  while (CutLine(r, line)) {
    if (!filter || HoldsWanted(LanesOf(*filter), line->data(), line->size())) return true;
  }
  return false;
}

}  // namespace

void Open(LogLineReader* r, const Platform* platform, bool* failed, const std::string& path) {
  r->platform = platform;
  r->failed = failed;
  r->pos = r->end = 0;
  r->data = nullptr;
  r->line_count = r->next_line = r->tail = 0;
  r->assembled_size = 0;
  r->utf16 = false;
  r->decoder = Utf16Decoder();
  r->decoder.platform = platform;
  r->head_size = 0;
  r->handle = platform->OpenLog(platform->ctx, path);
  r->source_done = r->handle < 0;
  if (r->handle < 0) {
    *failed = true;
    return;
  }
  r->block.resize(std::min(std::max<size_t>(r->block_size, 1), kMaxBlockSize));
  while (r->head_size < 2 && !r->source_done) {
    r->head_size += ReadSome(r, r->head + r->head_size, 2 - r->head_size);
  }
  if (r->head_size == 2 && r->head[0] == '\xff' && r->head[1] == '\xfe') {
    r->utf16 = true;  // the mark is not part of the first line
    r->head_size = 0;
  }
}

bool NextLine(LogLineReader* r, std::string_view* line) {
  if (!*r->failed && r->next_line < r->line_count) {
    LineSpan span = r->lines[r->next_line];
    if ((span.end & kBareCr) == 0) {
      // The usual line: whole in the block, ending in LF or CR LF, handed out as a view.
      ++r->next_line;
      const char* begin = r->data + span.start;
      size_t len = span.end - span.start;
      r->pos = span.end + 1;
      if (len > 0 && begin[len - 1] == '\r') --len;
      *line = std::string_view(begin, len);
      return true;
    }
  }
  return AssembleLine(r, line);
}

void Close(LogLineReader* r) {
  if (r->handle >= 0) r->platform->CloseLog(r->platform->ctx, r->handle);
  r->handle = -1;
  r->source_done = true;
  r->pos = r->end = 0;
  r->data = nullptr;
  r->line_count = r->next_line = r->tail = 0;
  std::vector<char>().swap(r->block);
  std::string().swap(r->text);
  r->lines.reset();
  r->assembled.reset();
  r->assembled_size = r->assembled_room = 0;
  r->lines_room = 0;
  r->decoder = Utf16Decoder();
}
