// Finds the labels of a list in a line without a search per label per line: one cheap look per
// line says which of a few anchor bytes it holds, and a label is compared only where its anchor stands.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// A label is looked for through the first of these bytes it holds, in this order: bytes that
// the lines of a file list seldom hold. A label with none of them holds a byte above 0x7F, and
// is looked for whole, only in lines that hold such a byte.
constexpr std::string_view kAnchorBytes = ":=E";
constexpr size_t kMaxLabels = 24;

struct LabelAnchor {
  char byte = 0;      // 0: no anchor byte, the label is looked for whole
  size_t offset = 0;  // where the anchor byte first stands in the label
};

struct LabelList {
  const std::string_view* labels = nullptr;
  size_t count = 0;
  LabelAnchor anchors[kMaxLabels] = {};
  unsigned anchor_bits = 0;  // bit a set when some label's anchor is kAnchorBytes[a]
  bool has_whole = false;    // some label has no anchor byte
};

template <size_t N>
constexpr LabelList MakeLabelList(const std::string_view (&labels)[N]) {
  static_assert(N <= kMaxLabels, "raise kMaxLabels");
  LabelList list;
  list.labels = labels;
  list.count = N;
  for (size_t i = 0; i < N; ++i) {
    for (char byte : kAnchorBytes) {
      size_t at = labels[i].find(byte);
      if (at != std::string_view::npos) {
        list.anchors[i].byte = byte;
        list.anchors[i].offset = at;
        list.anchor_bits |= 1u << kAnchorBytes.find(byte);
        break;
      }
    }
    if (list.anchors[i].byte == 0) list.has_whole = true;
  }
  return list;
}

// What one look at a line found: bit i set when it holds kAnchorBytes[i].
struct LineLook {
  std::string_view line;
  unsigned anchors = 0;
  bool high = false;  // holds a byte above 0x7F
};

LineLook LookAtLine(std::string_view line);

// The first label in list order that the line holds, at its first place.
struct LabelHit {
  int index = -1;    // into the list; -1 when the line holds none of its labels
  int64_t pos = 0;   // 1-based
  int64_t size = 0;  // the label's length in bytes
};

// The search proper, for a line the look did not rule out.
LabelHit SearchLabels(const LineLook& look, const LabelList& list);

// Inline, so that a line the look rules out costs a test, not a call.
inline LabelHit FindFirstLabel(const LineLook& look, const LabelList& list) {
  bool whole = look.high && list.has_whole;
  if ((look.anchors & list.anchor_bits) == 0 && !whole) return {};  // most lines end here
  return SearchLabels(look, list);
}

// The same, but a place that lies wholly inside a place of one of the covers does not count.
LabelHit FindFirstLabelOutside(const LineLook& look, const LabelList& list, const LabelList& covers);
