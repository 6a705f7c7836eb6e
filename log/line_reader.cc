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
};

ChunkMasks MasksOf(const char* p) {
  ChunkMasks m = {0, 0};
#if defined(__SSE2__)
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i cr = _mm_set1_epi8('\r');
  for (int i = 0; i < 4; ++i) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
    m.lf |= static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf)))) << 16 * i;
    m.cr |= static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)))) << 16 * i;
  }
#else
  // Four bytes at a time: only a word that may hold an LF or a CR is looked at byte by byte.
  for (int w = 0; w < 64; w += 4) {
    uint32_t x;
    std::memcpy(&x, p + w, 4);
    uint32_t a = x ^ 0x0A0A0A0Au;
    uint32_t b = x ^ 0x0D0D0D0Du;
    if ((((a - 0x01010101u) & ~a) | ((b - 0x01010101u) & ~b)) & 0x80808080u) {
      for (int i = w; i < w + 4; ++i) {
        m.lf |= static_cast<uint64_t>(p[i] == '\n') << i;
        m.cr |= static_cast<uint64_t>(p[i] == '\r') << i;
      }
    }
  }
#endif
  return m;
}

constexpr uint32_t kBareCr = 1u << 31;  // marks a line end whose line holds a CR to remove
// Line ends are 31-bit offsets into a block, or into its decoded text of up to twice the size.
constexpr size_t kMaxBlockSize = size_t{1} << 29;

// Appends base + the position of every set bit of mask to out[count...]; the new count. The
// first four are written whatever the mask holds, so the usual chunk takes no branch; out has
// room for four more than it can ever hold.
size_t PutPositions(uint64_t mask, uint32_t base, uint32_t* out, size_t count) {
  uint32_t* o = out + count;
  for (int i = 0; i < 4; ++i) {
    count += mask != 0;
    o[i] = base + static_cast<uint32_t>(__builtin_ctzll(mask | 1ull << 63));  // no branch
    mask &= mask - 1;
  }
  for (; mask != 0; mask &= mask - 1) out[count++] = base + static_cast<uint32_t>(__builtin_ctzll(mask));
  return count;
}

// Lists where the lines of data[0, end) end, each marked when its line holds a CR that is not
// the one just before its LF, in one vectorised pass: handing out a line then costs no search
// and no guessed branch.
void IndexBlock(LogLineReader* r) {
  size_t n = r->end;
  if (r->index_room < n + 4) {
    r->index_room = n + 4;
    r->line_ends.reset(new uint32_t[r->index_room]);
  }
  uint32_t* out = r->line_ends.get();
  size_t count = 0;
  bool bare_before = false;  // a bare CR since the last LF, in an earlier chunk
  for (size_t base = 0; base < n; base += 64) {
    ChunkMasks m;
    uint64_t lf_follows;  // bit i: byte i + 1 is an LF
    if (n - base > 64) {
      m = MasksOf(r->data + base);
      lf_follows = m.lf >> 1 | static_cast<uint64_t>(r->data[base + 64] == '\n') << 63;
    } else {
      // The last chunk, padded with NULs; a CR ending the data counts as bare, which only
      // sends its line, one that crosses the block's end anyway, the slow way.
      char last[64] = {};
      std::memcpy(last, r->data + base, n - base);
      m = MasksOf(last);
      lf_follows = m.lf >> 1;
    }
    uint64_t bare = m.cr & ~lf_follows;
    if (bare == 0 && !bare_before) {
      count = PutPositions(m.lf, static_cast<uint32_t>(base), out, count);
      continue;
    }
    for (uint64_t lf = m.lf; lf != 0; lf &= lf - 1) {
      uint64_t upto = lf ^ (lf - 1);  // the bits up to this LF
      bool marked = bare_before || (bare & upto) != 0;
      bare &= ~upto;
      bare_before = false;
      out[count++] = static_cast<uint32_t>(base + __builtin_ctzll(lf)) | (marked ? kBareCr : 0);
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

// Every other line: one that holds a CR to remove or runs on into the next block is copied
// together; also refills, and the end of input. Kept out of NextLine so that its usual path
// stays a few instructions with nothing to save and restore.
[[gnu::noinline]] bool AssembleLine(LogLineReader* r, std::string_view* line) {
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
    size_t lf = line_end & ~kBareCr;
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
  if (!*r->failed && r->next_end < r->end_count) {
    uint32_t lf = r->line_ends[r->next_end];
    if ((lf & kBareCr) == 0) {
      // The usual line: whole in the block, ending in LF or CR LF, handed out as a view.
      ++r->next_end;
      const char* begin = r->data + r->pos;
      size_t len = lf - r->pos;
      r->pos = lf + 1;
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
  r->end_count = r->next_end = 0;
  std::vector<char>().swap(r->block);
  std::string().swap(r->text);
  r->line_ends.reset();
  r->assembled.reset();
  r->assembled_size = r->assembled_room = 0;
  r->index_room = 0;
  r->decoder = Utf16Decoder();
}
