// Turns a log line holding "ERROR " into one "Err " verdict, its "(0x...)" code cut out,
// leaving out an error that repeats the one before it.
#pragma once

#include "app/scan_state.h"
#include "report/output.h"

// Reads CurrentLine; sets MessageText and LastErrorText; may write one verdict line.
void CondenseError(ScanState* state, Output* out);
