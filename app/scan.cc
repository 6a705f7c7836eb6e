// The four line tests of the scan, applied in their fixed order to the line in CurrentLine:
// destination header, summary table heading, error line, files line; each takes a list of labels.
#include "app/scan.h"

#include "app/labels.h"
#include "log/error_condenser.h"
#include "log/summary_counts.h"
#include "report/summary_line.h"
#include "text/text.h"

namespace {

constexpr std::string_view kExcluded = "Exc ";

// True when some place of the label is followed by a blank and two backslashes (a network path).
bool HoldsNetworkValue(std::string_view line, std::string_view label) {
  int64_t size = static_cast<int64_t>(label.size());
  for (size_t p = line.find(label); p != std::string_view::npos; p = line.find(label, p + 1)) {
    if (SliceText(line, static_cast<int64_t>(p) + size + 1, 3) == " \\\\") return true;
  }
  return false;
}

// "\\srv01\share\" gives srv01, "D:\backup\" gives D:, a value without a backslash stays whole.
void ReadDestination(ScanState* state, const LabelHit& dest) {
  std::string_view label = kDestLabels.labels[dest.index];
  int64_t start = dest.pos + dest.size + 1;
  if (HoldsNetworkValue(state->CurrentLine, label)) start += 2;
  std::string_view value = SliceText(state->CurrentLine, start, 40);
  int64_t k = FindText("\\", value);
  if (k > 1) value = SliceText(value, 1, k - 1);
  state->DestLabel.assign(value);
}

}  // namespace

void ScanLine(ScanState* state, std::string_view comment, Output* out) {
  LineLook look = LookAtLine(state->CurrentLine);

  if (LabelHit dest = FindFirstLabel(look, kDestLabels); dest.index >= 0) ReadDestination(state, dest);

  bool heading = FindFirstLabel(look, kSummaryHeadings).index >= 0;
  if (heading) state->InSummary = true;

  // Some headings hold an error word ("ERROR", "FEHLER"); there it is a title, not an error.
  LabelHit error = heading ? FindFirstLabelOutside(look, kErrorWords, kSummaryHeadings)
                           : FindFirstLabel(look, kErrorWords);
  if (error.index >= 0) {
    CondenseError(state, error.pos + error.size, out);
    // An error line is never a files line, so it neither records a selection nor ends a table.
    state->CurrentLine = {};
    state->MessageText.clear();
    return;
  }

  LabelHit files = FindFirstLabel(look, kFileLabels);
  // "Exc Files :" (English, first in the list) lists the excluded files: neither a selection
  // nor a table's files row.
  if (files.index == 0 && files.pos > 4 && SliceText(state->CurrentLine, files.pos - 4, 4) == kExcluded) {
    files.index = -1;
  }
  if (files.index >= 0) {
    int64_t start = files.pos + files.size + 1;  // past the label and the blank after it
    if (state->InSummary) {
      ReadSummaryCounts(state, state->CurrentLine, start);
      ComposeSummary(state, comment);
      WriteStampedLine(out, state->MessageText);
    } else {
      state->FileSelection.assign(SliceText(state->CurrentLine, start, 40));
    }
    state->InSummary = false;
  }
}
