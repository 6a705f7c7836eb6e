// The four line tests of the scan, applied in their fixed order to the line in CurrentLine:
// destination header, summary table heading, error line, "Files :" line.
#include "app/scan.h"

#include "log/error_condenser.h"
#include "log/summary_counts.h"
#include "report/summary_line.h"
#include "text/text.h"

namespace {

constexpr std::string_view kDest = "Dest :";
constexpr std::string_view kDestUnc = "Dest : \\\\";
constexpr std::string_view kHeading = "Total    Copied   Skipped  Mismatch    FAILED    Extras";
constexpr std::string_view kError = "ERROR ";
constexpr std::string_view kFiles = "Files :";
constexpr std::string_view kExcluded = "Exc ";

// "\\srv01\share\" gives srv01, "D:\backup\" gives D:, a value without a backslash stays whole.
void ReadDestination(ScanState* state, int64_t p) {
  int64_t start = p + static_cast<int64_t>(kDest.size()) + 1;
  if (FindText(kDestUnc, state->CurrentLine) > 0) start += 2;
  std::string_view label = SliceText(state->CurrentLine, start, 40);
  int64_t k = FindText("\\", label);
  if (k > 1) label = SliceText(label, 1, k - 1);
  state->DestLabel.assign(label);
}

}  // namespace

void ScanLine(ScanState* state, std::string_view comment, Output* out) {
  if (int64_t p = FindText(kDest, state->CurrentLine); p > 0) ReadDestination(state, p);

  if (FindText(kHeading, state->CurrentLine) > 0) state->InSummary = true;

  if (FindText(kError, state->CurrentLine) > 0) {
    CondenseError(state, out);
    // An error line is never a files line, so it neither records a selection nor ends a table.
    state->CurrentLine = {};
    state->MessageText.clear();
  }

  int64_t p = FindText(kFiles, state->CurrentLine);
  // "Exc Files :" lists the excluded files: neither a selection nor a table's files row.
  if (p > 4 && SliceText(state->CurrentLine, p - 4, 4) == kExcluded) p = 0;
  if (p > 0) {
    if (state->InSummary) {
      ReadSummaryCounts(state, state->CurrentLine, p);
      ComposeSummary(state, comment);
      WriteStampedLine(out, state->MessageText);
    } else {
      state->FileSelection.assign(SliceText(state->CurrentLine, p + 8, 40));
    }
    state->InSummary = false;
  }
}
