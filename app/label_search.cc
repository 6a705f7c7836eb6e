// Finds the labels of a list in a line without a search per label per line: one cheap look per
// line says which of a few anchor bytes it holds, and a label is compared only where its anchor stands.
#include "app/label_search.h"

#include <cstring>

#include "text/text.h"

namespace {

constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHighs = 0x8080808080808080ull;
constexpr size_t kAnchorCount = kAnchorBytes.size();

// Nonzero exactly when some byte of x is zero.
uint64_t ZeroByte(uint64_t x) { return (x - kOnes) & ~x & kHighs; }

uint64_t Load(const char* at) {
  uint64_t w;
  std::memcpy(&w, at, sizeof w);
  return w;
}

bool HoldsAt(std::string_view line, size_t p, std::string_view label) {
  return p + label.size() <= line.size() && std::memcmp(line.data() + p, label.data(), label.size()) == 0;
}

}  // namespace

LineLook LookAtLine(std::string_view line) {
  // Eight bytes at a time, in step with memchr on the short lines of a log; the zero-byte test
  // on w ^ (the anchor in every byte) flags a byte equal to the anchor.
  uint64_t high = 0;
  uint64_t seen[kAnchorCount] = {};
  auto add = [&](uint64_t w) {
    high |= w;
    for (size_t a = 0; a < kAnchorCount; ++a) {
      seen[a] |= ZeroByte(w ^ (kOnes * static_cast<unsigned char>(kAnchorBytes[a])));
    }
  };
  const char* d = line.data();
  size_t n = line.size();
  if (n >= 8) {
    size_t i = 0;
    for (; i + 8 < n; i += 8) add(Load(d + i));
    add(Load(d + n - 8));  // overlaps the word before: harmless, only presence counts
  } else if (n > 0) {
    uint64_t w = 0;  // the zero padding matches no anchor and no high byte
    std::memcpy(&w, d, n);
    add(w);
  }
  LineLook look;
  look.line = line;
  for (size_t a = 0; a < kAnchorCount; ++a) {
    if (seen[a] != 0) look.anchors |= 1u << a;
  }
  look.high = (high & kHighs) != 0;
  return look;
}

LabelHit FindFirstLabel(const LineLook& look, const LabelList& list) {
  std::string_view line = look.line;
  int64_t first[kMaxLabels] = {};  // 1-based first place of each label, 0 while not seen
  for (size_t a = 0; a < kAnchorCount; ++a) {
    if ((look.anchors & (1u << a)) == 0) continue;
    char byte = kAnchorBytes[a];
    // Every place of a label has its anchor byte at place + offset, so visiting every anchor
    // byte in the line visits every place, in order.
    for (size_t q = line.find(byte); q != std::string_view::npos; q = line.find(byte, q + 1)) {
      for (size_t i = 0; i < list.count; ++i) {
        const LabelAnchor& anchor = list.anchors[i];
        if (anchor.byte != byte || first[i] != 0 || q < anchor.offset) continue;
        size_t p = q - anchor.offset;
        if (HoldsAt(line, p, list.labels[i])) first[i] = static_cast<int64_t>(p) + 1;
      }
    }
  }
  if (look.high) {
    for (size_t i = 0; i < list.count; ++i) {
      if (list.anchors[i].byte == 0) first[i] = FindText(list.labels[i], line);
    }
  }
  for (size_t i = 0; i < list.count; ++i) {
    if (first[i] > 0) return {static_cast<int>(i), first[i], static_cast<int64_t>(list.labels[i].size())};
  }
  return {};
}

LabelHit FindFirstLabelOutside(const LineLook& look, const LabelList& list, const LabelList& covers) {
  // Only for the rare line that holds a cover, so plainly: every place of every label.
  std::string_view line = look.line;
  auto covered = [&](size_t p, size_t size) {
    for (size_t c = 0; c < covers.count; ++c) {
      std::string_view cover = covers.labels[c];
      for (size_t s = line.find(cover); s != std::string_view::npos && s <= p; s = line.find(cover, s + 1)) {
        if (p + size <= s + cover.size()) return true;
      }
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
