// Writing verdict lines to standard output: stamped or plain, CR LF, one write per line.
// Holds the run's one failure state, which the log reader shares.
#pragma once

#include <string_view>

#include "platform/platform.h"
#include "report/stamp.h"

struct Output {
  const Platform* platform = nullptr;
  Separators separators;
  // Set by the first failed read or write of the run; from then on nothing is read or written.
  bool failed = false;
};

// The stamp of the current local time, the message, CR LF.
void WriteStampedLine(Output* out, std::string_view message);

// The text and CR LF, without a stamp (the usage text).
void WritePlainLine(Output* out, std::string_view text);
