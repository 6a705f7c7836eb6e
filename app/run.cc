// The program's main routine: usage text, the absent-log line, or the scan of the whole log.
// Out of memory is the one failure caught, here at the top: a short notice and exit code 1.
#include "app/run.h"

#include <new>

#include "app/scan.h"
#include "app/scan_state.h"
#include "log/line_reader.h"
#include "report/output.h"

namespace {

constexpr const char* kUsage[] = {
    "LogSift v1.3  by the LogSift developers",
    "",
    " LogSift needs to know what robocopy logfile to scan",
    " Usage: LogSift [>OutputFile] Robologfile [Extra Comment]",
    "  - logfile is the robocopy logfile to check",
    "  - Outputfile determines where the info goes (append)",
    "  - Extra Comment can be added to the Outputfile",
    "    If not specified the destination server or drive letter will be used",
};

int Run(const std::vector<std::string>& args, Output* out) {
  if (args.empty()) {
    for (const char* line : kUsage) WritePlainLine(out, line);
    return kExitOk;
  }
  const std::string& log_path = args[0];
  const std::string comment = args.size() > 1 ? args[1] : std::string();
  if (!out->platform->IsFile(out->platform->ctx, log_path)) {
    WriteStampedLine(out, "LogSift Err Logfile " + log_path + " NIET aanwezig");
    return kExitLogAbsent;
  }
  LogLineReader reader;
  reader.wanted = &kScanBytes;  // a line without any of them passes no test
  Open(&reader, out->platform, &out->failed, log_path);
  ScanState state;
  state.InSummary = false;
  std::string_view line;
  while (NextLine(&reader, &line)) {
    state.CurrentLine = line;
    ScanLine(&state, comment, out);
  }
  Close(&reader);
  return kExitOk;
}

}  // namespace

int RunLogSift(const std::vector<std::string>& args, const Platform& platform) {
  Output out;
  out.platform = &platform;
  out.separators = LoadSeparators(platform);
  try {
    return Run(args, &out);
  } catch (const std::bad_alloc&) {
    // Whatever was written before stays; the notice is one more complete line.
    WriteStampedLine(&out, "LogSift Err out of memory");
    return kExitNoMemory;
  }
}
