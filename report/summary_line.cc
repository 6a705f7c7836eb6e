// Composes the one-line verdict of a copy run from its summary counts:
// "Inf " or "Wrn " when copied and skipped add up to the total, "Err " with every count otherwise.
#include "report/summary_line.h"

#include <cstdint>
#include <string>

#include "text/text.h"

namespace {

// "3 files copied ok " and the like: singular for exactly one.
void AppendFiles(std::string* out, int32_t count, const char* tail) {
  out->append(DecimalText(count));
  out->append(count > 1 ? " files" : " file");
  out->append(tail);
}

}  // namespace

void ComposeSummary(ScanState* state, std::string_view comment) {
  std::string_view label = comment.empty() ? std::string_view(state->DestLabel) : comment;
  std::string& m = state->MessageText;
  // The true sum: a wrapped 32-bit one could call a row of absurd counts balanced.
  int64_t sum = static_cast<int64_t>(state->Copied) + state->Skipped;
  if (sum == state->Total) {
    m = state->Skipped > 0 ? "Wrn " : "Inf ";
    m.append(label).append(" ").append(state->FileSelection);
    if (state->Copied > 0) AppendFiles(&m, state->Copied, " copied ok ");
    if (state->Skipped > 0) AppendFiles(&m, state->Skipped, " skipped (equal)");
    return;
  }
  m = "Err ";
  m.append(label).append(" ").append(state->FileSelection).append(" ");
  m.append(DecimalText(state->Total)).append(" files :");
  const struct {
    int32_t count;
    const char* word;
  } listed[] = {{state->Copied, " Copied"},     {state->Skipped, " Skipped"},
                {state->Mismatch, " Mismatch"}, {state->Failed, " Failed"},
                {state->Extras, " Extras"}};
  for (const auto& item : listed) {
    if (item.count > 0) m.append(" ").append(DecimalText(item.count)).append(item.word);
  }
}
