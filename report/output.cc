// Writing verdict lines to standard output: stamped or plain, CR LF, one write per line.
// A whole line goes out in one write, so a line is complete in the output before the scan goes on.
#include "report/output.h"

#include <string>

namespace {

void WriteLine(Output* out, std::string_view prefix, std::string_view text) {
  if (out->failed) return;
  std::string line;
  line.reserve(prefix.size() + text.size() + 2);
  line.append(prefix);
  line.append(text);
  line.append("\r\n");
  if (!out->platform->WriteOut(out->platform->ctx, line.data(), line.size())) out->failed = true;
}

}  // namespace

void WriteStampedLine(Output* out, std::string_view message) {
  if (out->failed) return;
  LocalTime now = out->platform->Now(out->platform->ctx);  // one reading per line
  WriteLine(out, FormatStamp(now, out->separators), message);
}

void WritePlainLine(Output* out, std::string_view text) { WriteLine(out, {}, text); }
