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
  uint64_t lf;    // bit i: byte i of the 64 is an LF
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

// Bit i: byte i of the 16 is wanted.
uint64_t WantedOf16(const WantedLanes& lanes, __m128i v) {
  __m128i hit = _mm_and_si128(v, lanes.high);
  for (const __m128i& b : lanes.bytes) hit = _mm_or_si128(hit, _mm_cmpeq_epi8(v, b));
  return static_cast<uint16_t>(_mm_movemask_epi8(hit));
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
ChunkMasks MasksOf(const char* p, const WantedLanes* lanes) {
  ChunkMasks m = {0, 0, 0};
#if defined(__SSE2__)
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i cr = _mm_set1_epi8('\r');
  for (int i = 0; i < 4; ++i) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
    m.lf |= static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf)))) << 16 * i;
    m.cr |= static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)))) << 16 * i;
    if (lanes) m.want |= WantedOf16(*lanes, v) << 16 * i;
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

// The LFs of a chunk that end a line holding a wanted byte. Added to the mask of the bytes
// that are not LFs, a line's wanted bytes carry up through its run of ones into the LF that
// ends it; a carry out of the chunk goes on into the next.
uint64_t WantedEnds(const ChunkMasks& m, uint64_t* carry) {
  uint64_t rest = ~m.lf;
  uint64_t sum;
  bool out = __builtin_add_overflow(rest, m.want & rest, &sum);
  out |= __builtin_add_overflow(sum, *carry, &sum);  // never both
  *carry = out;
  return sum & m.lf;
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

constexpr uint32_t kBareCr = 1u << 31;  // marks a line end whose line holds a CR to remove
constexpr uint32_t kWanted = 1u << 30;  // marks a line end whose line holds a wanted byte
constexpr uint32_t kOffset = kWanted - 1;
// Line ends are 30-bit offsets into a block, or into its decoded text of up to twice the size.
constexpr size_t kMaxBlockSize = size_t{1} << 29;
static_assert(2 * kMaxBlockSize - 1 <= kOffset, "line end offsets must leave the marks free");

// The reader's wanted bytes, or none when every line is to be handed out (also when the list
// is too long for the pass to compare).
const WantedBytes* Filter(const LogLineReader* r) {
  return r->wanted && r->wanted->bytes.size() <= kMaxWantedBytes ? r->wanted : nullptr;
}

// Appends base + the position of every set bit of mask to out[count...], each marked kWanted
// where wanted has that bit; the new count. The first four are written whatever the mask
// holds, so the usual chunk takes no branch; out has room for four more than it can ever hold.
size_t PutPositions(uint64_t mask, uint64_t wanted, uint32_t base, uint32_t* out, size_t count) {
  uint32_t* o = out + count;
  for (int i = 0; i < 4; ++i) {
    count += mask != 0;
    int at = __builtin_ctzll(mask | 1ull << 63);  // no branch
    o[i] = (base + static_cast<uint32_t>(at)) | static_cast<uint32_t>(wanted >> at & 1) * kWanted;
    mask &= mask - 1;
  }
  for (; mask != 0; mask &= mask - 1) {
    int at = __builtin_ctzll(mask);
    out[count++] = (base + static_cast<uint32_t>(at)) | static_cast<uint32_t>(wanted >> at & 1) * kWanted;
  }
  return count;
}

// Lists where the lines of data[0, end) end, each marked when its line holds a CR that is not
// the one just before its LF and when it holds a wanted byte, in one vectorised pass: handing
// out a line, or passing over one, then costs no search and no guessed branch. The wanted
// mark is exact for every line that starts in the block; AssembleLine looks again at the rest.
void IndexBlock(LogLineReader* r) {
  size_t n = r->end;
  if (r->index_room < n + 4) {
    r->index_room = n + 4;
    r->line_ends.reset(new uint32_t[r->index_room]);
  }
  const WantedBytes* filter = Filter(r);
  WantedLanes lanes;
  if (filter) lanes = LanesOf(*filter);
  uint32_t* out = r->line_ends.get();
  size_t count = 0;
  bool bare_before = false;  // a bare CR since the last LF, in an earlier chunk
  uint64_t want_carry = 0;   // a wanted byte since the last LF, in an earlier chunk
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
    uint64_t wanted = filter ? WantedEnds(m, &want_carry) : m.lf;
    uint64_t bare = m.cr & ~lf_follows;
    if (bare == 0 && !bare_before) {
      count = PutPositions(m.lf, wanted, static_cast<uint32_t>(base), out, count);
      continue;
    }
    for (uint64_t lf = m.lf; lf != 0; lf &= lf - 1) {
      uint64_t upto = lf ^ (lf - 1);  // the bits up to this LF
      bool marked = bare_before || (bare & upto) != 0;
      bare &= ~upto;
      bare_before = false;
      int at = __builtin_ctzll(lf);
      out[count++] = static_cast<uint32_t>(base + at) | (marked ? kBareCr : 0) |
                     static_cast<uint32_t>(wanted >> at & 1) * kWanted;
    }
    bare_before = bare_before || bare != 0;
  }
  r->end_count = count;
  r->next_end = 0;
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
    if (*r->failed) return 0;
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

// Any line: one that holds a CR to remove or runs on into the next block is copied together;
// also refills, and the end of input.
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
    if (r->next_end == r->end_count) {
      // No line end left in the block: the rest starts a line that the next block goes on with.
      AppendWithoutCr(r, r->data + r->pos, r->end - r->pos);
      started = true;
      r->pos = r->end;
      continue;
    }
    uint32_t line_end = r->line_ends[r->next_end++];
    size_t lf = line_end & kOffset;
    const char* begin = r->data + r->pos;
    size_t len = lf - r->pos;
    r->pos = lf + 1;
    if ((line_end & kBareCr) == 0 && !started) {
      if (len > 0 && begin[len - 1] == '\r') --len;
      *line = std::string_view(begin, len);
      return true;
    }
    AppendWithoutCr(r, begin, len);
    *line = std::string_view(r->assembled.get(), r->assembled_size);
    return true;
  }
}

// Moves past the lines of the block that the index marks as holding no wanted byte.
inline void PassUnwanted(LogLineReader* r) {
  const uint32_t* ends = r->line_ends.get();
  size_t i = r->next_end;
  while (i < r->end_count && (ends[i] & kWanted) == 0) ++i;
  if (i == r->next_end) return;
  r->pos = (ends[i - 1] & kOffset) + 1;
  r->next_end = i;
}

// The usual line: whole in the block, ending in LF or CR LF, handed out as a view.
inline bool TakeViewLine(LogLineReader* r, std::string_view* line) {
  if (r->next_end == r->end_count) return false;
  uint32_t line_end = r->line_ends[r->next_end];
  if ((line_end & kBareCr) != 0) return false;
  ++r->next_end;
  size_t lf = line_end & kOffset;
  const char* begin = r->data + r->pos;
  size_t len = lf - r->pos;
  r->pos = lf + 1;
  if (len > 0 && begin[len - 1] == '\r') --len;
  *line = std::string_view(begin, len);
  return true;
}

// Every other line, cut by CutLine, and looked at whole when lines are left out: its mark
// does not cover what lay in an earlier block. Kept out of NextLine so that its usual path
// stays a few instructions with nothing to save and restore.
[[gnu::noinline]] bool AssembleLine(LogLineReader* r, std::string_view* line) {
  const WantedBytes* filter = Filter(r);
  for (;;) {
    if (!CutLine(r, line)) return false;
    if (!filter || HoldsWanted(LanesOf(*filter), line->data(), line->size())) return true;
    PassUnwanted(r);
    if (TakeViewLine(r, line)) return true;
  }
}

}  // namespace

void Open(LogLineReader* r, const Platform* platform, bool* failed, const std::string& path) {
  r->platform = platform;
  r->failed = failed;
  r->pos = r->end = 0;
  r->data = nullptr;
  r->end_count = r->next_end = 0;
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
  if (*r->failed) return false;
  PassUnwanted(r);
  if (TakeViewLine(r, line)) return true;
  return AssembleLine(r, line);
}

void Close(LogLineReader* r) {
  if (r->handle >= 0) r->platform->CloseLog(r->platform->ctx, r->handle);
  r->handle = -1;
  r->source_done = true;
  r->pos = r->end = 0;
  r->data = nullptr;
  r->end_count = r->next_end = 0;
  std::vector<char>().swap(r->block);
  std::string().swap(r->text);
  r->line_ends.reset();
  r->assembled.reset();
  r->assembled_size = r->assembled_room = 0;
  r->index_room = 0;
  r->decoder = Utf16Decoder();
}
