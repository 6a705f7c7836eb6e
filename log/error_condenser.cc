// Turns an error line into one "Err " verdict, its "(0x...)" code cut out,
// leaving out an error that repeats the one before it.
#include "log/error_condenser.h"

#include <string>

#include "text/text.h"

void CondenseError(ScanState* state, int64_t start, Output* out) {
  std::string text(SliceText(state->CurrentLine, start, 255));
  // Only the first "(0x" and the first ")" count; the piece before stops two characters
  // short of "(0x", so the blank after the error number goes with the code.
  int64_t a = FindText("(0x", text);
  int64_t b = FindText(")", text);
  if (a > 0 && b > a) {
    std::string cut(SliceText(text, 1, a - 2));
    cut.append(SliceText(text, b + 1, 255));
    text = std::move(cut);
  }
  state->MessageText = std::move(text);
  // A text that begins with the previous one is a repeat; an empty previous text matches nothing.
  if (FindText(state->LastErrorText, state->MessageText) != 1) {
    WriteStampedLine(out, "Err " + state->MessageText);
  }
  state->LastErrorText = state->MessageText;
}
