// The four line tests of the scan, applied in their fixed order to the line in CurrentLine:
// destination header, summary table heading, error line, "Files :" line.
#pragma once

#include <string_view>

#include "app/scan_state.h"
#include "report/output.h"

void ScanLine(ScanState* state, std::string_view comment, Output* out);
