// Finds the labels of a list in a line without a search per label per line: one cheap look per
// line says which of a few anchor bytes it holds, and a label is compared only where its anchor stands.
#include "app/label_search.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "text/text.h"

namespace {

constexpr size_t kAnchorCount = kAnchorBytes.size();
constexpr size_t kBlock = 16;
constexpr size_t kLookLimit = 64 * 1024;

bool HoldsAt(std::string_view line, size_t p, std::string_view label) {
  return p + label.size() <= line.size() && std::memcmp(line.data() + p, label.data(), label.size()) == 0;
}

// What the blocks of a line seen so far hold. The look runs on every line of the log, so it
// takes 16 bytes a step, with SSE2 where the target has it (a plain loop would cost more than
// the searches it saves) and eight-byte words elsewhere.
#if defined(__SSE2__)
struct BlockFlags {
  __m128i high = _mm_setzero_si128();
  __m128i seen[kAnchorCount] = {};
};

void AddBlock(BlockFlags* flags, const char* d) {
  __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
  flags->high = _mm_or_si128(flags->high, v);
  for (size_t a = 0; a < kAnchorCount; ++a) {
    flags->seen[a] = _mm_or_si128(flags->seen[a], _mm_cmpeq_epi8(v, _mm_set1_epi8(kAnchorBytes[a])));
  }
}

bool Any(__m128i v) { return _mm_movemask_epi8(v) != 0; }  // some byte has its top bit set
#else
constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHighs = 0x8080808080808080ull;

struct BlockFlags {
  uint64_t high = 0;
  uint64_t seen[kAnchorCount] = {};
};

// Nonzero exactly when some byte of x is zero, so applied to w ^ (a byte in every lane) it
// tells whether w holds that byte.
uint64_t ZeroByte(uint64_t x) { return (x - kOnes) & ~x & kHighs; }

void AddBlock(BlockFlags* flags, const char* d) {
  for (size_t half = 0; half < kBlock; half += 8) {
    uint64_t w;
    std::memcpy(&w, d + half, sizeof w);
    flags->high |= w & kHighs;
    for (size_t a = 0; a < kAnchorCount; ++a) {
      flags->seen[a] |= ZeroByte(w ^ (kOnes * static_cast<unsigned char>(kAnchorBytes[a])));
    }
  }
}

bool Any(uint64_t v) { return v != 0; }
#endif

}  // namespace

LineLook LookAtLine(std::string_view line) {
  LineLook look;
  look.line = line;
  const char* d = line.data();
  size_t n = line.size();
  // A very long line (a log whose lines end in bare CRs is one line) is not looked at: every
  // label stays possible. The searches stop at the first English label, while the look would
  // be one more pass over memory.
  if (n > kLookLimit) {
    look.anchors = (1u << kAnchorCount) - 1;
    look.high = true;
    return look;
  }
  BlockFlags flags;
  if (n >= kBlock) {
    size_t i = 0;
    for (; i + kBlock < n; i += kBlock) AddBlock(&flags, d + i);
    AddBlock(&flags, d + n - kBlock);  // may overlap the block before: only presence counts
  } else {
    char padded[kBlock] = {};  // zero bytes match no anchor and are not high
    if (n > 0) std::memcpy(padded, d, n);
    AddBlock(&flags, padded);
  }
  for (size_t a = 0; a < kAnchorCount; ++a) {
    if (Any(flags.seen[a])) look.anchors |= 1u << a;
  }
  look.high = Any(flags.high);
  return look;
}

LabelHit SearchLabels(const LineLook& look, const LabelList& list) {
  bool whole = look.high && list.has_whole;
  std::string_view line = look.line;
  size_t best = list.count;  // the lowest label index seen so far
  size_t best_p = 0;
  for (size_t a = 0; a < kAnchorCount && best > 0; ++a) {  // no label beats the first
    if ((look.anchors & list.anchor_bits & (1u << a)) == 0) continue;
    char byte = kAnchorBytes[a];
    // Every place of a label has its anchor byte at place + offset, so visiting the anchor
    // bytes in order visits each label's places in order: its first match is its first place.
    for (size_t q = line.find(byte); q != std::string_view::npos && best > 0; q = line.find(byte, q + 1)) {
      for (size_t i = 0; i < best; ++i) {
        const LabelAnchor& anchor = list.anchors[i];
        if (anchor.byte != byte || q < anchor.offset) continue;
        size_t p = q - anchor.offset;
        if (HoldsAt(line, p, list.labels[i])) {
          best = i;
          best_p = p;
        }
      }
    }
  }
  for (size_t i = 0; whole && i < best; ++i) {
    if (list.anchors[i].byte != 0) continue;
    if (int64_t p = FindText(list.labels[i], line); p > 0) {
      best = i;
      best_p = static_cast<size_t>(p - 1);
    }
  }
  if (best == list.count) return {};
  return {static_cast<int>(best), static_cast<int64_t>(best_p) + 1,
          static_cast<int64_t>(list.labels[best].size())};
}

LabelHit FindFirstLabelOutside(const LineLook& look, const LabelList& list, const LabelList& covers) {
  // Only for the rare line that holds a cover, so plainly: every place of every label, and
  // around it every place a cover holding it could start.
  std::string_view line = look.line;
  auto covered = [&](size_t p, size_t size) {
    for (size_t c = 0; c < covers.count; ++c) {
      std::string_view cover = covers.labels[c];
      if (cover.size() < size) continue;
      size_t from = p + size >= cover.size() ? p + size - cover.size() : 0;
      if (line.substr(from, p - from + cover.size()).find(cover) != std::string_view::npos) return true;
    }
    return false;
  };
  for (size_t i = 0; i < list.count; ++i) {
    std::string_view label = list.labels[i];
    for (size_t p = line.find(label); p != std::string_view::npos; p = line.find(label, p + 1)) {
      if (!covered(p, label.size())) {
        return {static_cast<int>(i), static_cast<int64_t>(p) + 1, static_cast<int64_t>(label.size())};
      }
    }
  }
  return {};
}
