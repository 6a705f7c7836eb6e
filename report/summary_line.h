// Composes the one-line verdict of a copy run from its summary counts:
// "Inf " or "Wrn " when copied and skipped add up to the total, "Err " with every count otherwise.
#pragma once

#include <string_view>

#include "app/scan_state.h"

// Sets MessageText from the counts, the comment (or else DestLabel) and FileSelection.
void ComposeSummary(ScanState* state, std::string_view comment);
