// The four line tests of the scan, applied in their fixed order to the line in CurrentLine:
// destination header, summary table heading, error line, "Files :" line.
#pragma once

#include <string_view>

#include "app/scan_state.h"
#include "log/line_reader.h"
#include "report/output.h"

// The bytes without which a line passes none of the four tests: every label holds one of them,
// so the reader may leave out the lines that hold none.
extern const WantedBytes kScanBytes;

void ScanLine(ScanState* state, std::string_view comment, Output* out);
