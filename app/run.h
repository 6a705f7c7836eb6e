// The program's main routine: usage text, the absent-log line, or the scan of the whole log.
// Everything it needs from the system comes through the Platform record.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

enum ExitCode {
  kExitOk = 0,
  kExitNoMemory = 1,
  kExitLogAbsent = 5,
};

// args: the arguments after the program's name (log path, optional comment; the rest ignored).
int RunLogSift(const std::vector<std::string>& args, const Platform& platform);
