// Turns an error line into one "Err " verdict, its "(0x...)" code cut out,
// leaving out an error that repeats the one before it.
#pragma once

#include "app/scan_state.h"
#include "report/output.h"

// Reads CurrentLine from the 1-based position start, just after the error word and its blank;
// sets MessageText and LastErrorText; may write one verdict line.
void CondenseError(ScanState* state, int64_t start, Output* out);
