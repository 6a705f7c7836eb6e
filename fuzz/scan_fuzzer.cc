// Fuzzes the whole run on an in-memory system: arbitrary log bytes and comment in, verdict lines
// out. Checks the shape of every line, that summaries need headings, that the reader cuts the
// same lines whatever the block and read sizes, and what a failed write or read leaves behind.
//
// Input: one byte choosing the block and read sizes, the comment up to the first LF, the log
// (UTF-16LE when it begins FF FE).
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/labels.h"
#include "app/run.h"
#include "app/scan.h"
#include "app/scan_state.h"
#include "fuzz/check.h"
#include "log/line_reader.h"
#include "report/output.h"
#include "tests/fake_platform.h"

namespace {

using Lines = std::vector<std::string>;

constexpr std::string_view kStamp = "09/07/01 21:49 ";  // the fake clock's time

// The line rules read over the whole buffer at once: text ends at the first Ctrl-Z, LF ends a
// line, CRs vanish, bytes after the last LF (even only CRs) make one more line.
Lines ReferenceLines(std::string_view bytes) {
  bytes = bytes.substr(0, bytes.find('\x1a'));
  Lines lines;
  std::string line;
  bool started = false;
  for (char c : bytes) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
      started = false;
    } else {
      started = true;
      if (c != '\r') line += c;
    }
  }
  if (started) lines.push_back(line);
  return lines;
}

void AppendUtf8(uint32_t c, std::string* out) {
  if (c < 0x80) {
    *out += static_cast<char>(c);
    return;
  }
  int tail = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
  const unsigned lead[] = {0, 0xC0, 0xE0, 0xF0};
  *out += static_cast<char>(lead[tail] | (c >> (6 * tail)));
  for (int i = tail - 1; i >= 0; --i) *out += static_cast<char>(0x80 | ((c >> (6 * i)) & 0x3F));
}

// A log that begins FF FE is UTF-16LE: units paired into characters, UTF-8 out (the fake's
// 8-bit form), "?" for an unpaired surrogate and for an odd last byte.
std::string DecodedText(std::string_view bytes) {
  std::vector<uint32_t> units;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    units.push_back(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
  }
  std::string text;
  for (size_t i = 0; i < units.size(); ++i) {
    uint32_t u = units[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      AppendUtf8(0x10000 + ((u - 0xD800) << 10) + (units[++i] - 0xDC00), &text);
    } else {
      AppendUtf8(u >= 0xD800 && u <= 0xDFFF ? '?' : u, &text);
    }
  }
  if (bytes.size() % 2 == 1) text += '?';
  return text;
}

bool IsUtf16(std::string_view log) { return log.size() >= 2 && log[0] == '\xff' && log[1] == '\xfe'; }

Lines ReaderLines(const std::string& log, size_t block_size, size_t max_read) {
  FakeSystem sys;
  sys.files["log"] = log;
  sys.max_read = max_read;
  Platform platform = FakePlatform(&sys);
  bool failed = false;
  LogLineReader reader;
  reader.block_size = block_size;
  Open(&reader, &platform, &failed, "log");
  Lines lines;
  std::string_view line;
  while (NextLine(&reader, &line)) lines.emplace_back(line);
  Close(&reader);
  Check(!failed, "reading an in-memory log never fails");
  return lines;
}

// A plain search for any label of the list, without the scan's quick look.
bool Holds(std::string_view line, const LabelList& list) {
  for (size_t i = 0; i < list.count; ++i) {
    if (line.find(list.labels[i]) != std::string_view::npos) return true;
  }
  return false;
}

size_t CountLf(std::string_view s) {
  size_t n = 0;
  for (char c : s) n += c == '\n';
  return n;
}

// Every line: the stamp, a message with a class word, CR LF, and no LF anywhere before it.
void CheckVerdictLines(const std::string& out) {
  Check(out.empty() || (out.size() >= 2 && out.compare(out.size() - 2, 2, "\r\n") == 0),
        "the output ends with CR LF");
  size_t at = 0;
  while (at < out.size()) {
    size_t end = out.find("\r\n", at);
    std::string_view line(out.data() + at, end - at);
    Check(line.find('\n') == std::string_view::npos, "no LF inside a line");
    Check(line.substr(0, kStamp.size()) == kStamp, "every line starts with the stamp");
    std::string_view word = line.substr(kStamp.size(), 4);
    Check(word == "Err " || word == "Inf " || word == "Wrn ", "every message starts with a class word");
    at = end + 2;
  }
}

// A scan of an in-memory log driven by the fuzzer itself; set sys's switches, then StartScan.
struct FakeScan {
  FakeSystem sys;
  Platform platform;
  Output out;
  LogLineReader reader;
};

void StartScan(FakeScan* scan, const std::string& log, size_t block_size) {
  scan->sys.files["log"] = log;
  scan->platform = FakePlatform(&scan->sys);
  scan->out.platform = &scan->platform;
  scan->out.separators = LoadSeparators(scan->platform);
  scan->reader.block_size = block_size;
  Open(&scan->reader, &scan->platform, &scan->out.failed, "log");
}

// The scan loop of the main routine, run line by line so each line's output can be checked:
// at most one verdict per line; on a line with an error word and no heading it is an Err line;
// on a line without an error word it is a summary, never more of them than headings so far,
// with the comment right after its class word.
std::string ScanLineByLine(const std::string& log, const std::string& comment) {
  FakeScan scan;
  StartScan(&scan, log, kDefaultBlockSize);
  FakeSystem& sys = scan.sys;
  ScanState state;
  size_t headings = 0;
  size_t summaries = 0;
  std::string_view line;
  while (NextLine(&scan.reader, &line)) {
    bool heading = Holds(line, kSummaryHeadings);
    bool error_word = Holds(line, kErrorWords);
    headings += heading;
    size_t before = sys.out.size();
    state.CurrentLine = line;
    ScanLine(&state, comment, &scan.out);
    std::string_view added(sys.out.data() + before, sys.out.size() - before);
    size_t verdicts = CountLf(added);
    Check(verdicts <= 1, "at most one verdict per log line");
    if (verdicts == 0) continue;
    if (error_word && !heading) {
      Check(added.substr(kStamp.size(), 4) == "Err ", "an error line gives an Err line");
    } else if (!error_word) {
      ++summaries;
      Check(summaries <= headings, "no more summary lines than table headings");
      if (!comment.empty()) {
        Check(added.substr(kStamp.size() + 4, comment.size()) == comment, "the summary names the comment");
      }
    }
  }
  Close(&scan.reader);
  return sys.out;
}

std::string Run(const std::string& log, const std::string& comment, FakeSystem* sys) {
  sys->files["log"] = log;
  std::vector<std::string> args = {"log"};
  if (!comment.empty()) args.push_back(comment);
  Check(RunLogSift(args, FakePlatform(sys)) == kExitOk, "a scan ends with exit code 0");
  return sys->out;
}

// After the first failed write nothing more is written: the output is the first lines, whole.
void CheckWriteFailure(const std::string& log, const std::string& comment, const std::string& full) {
  size_t lines = CountLf(full);
  for (size_t k : {size_t{0}, lines / 2, lines > 0 ? lines - 1 : 0}) {
    FakeSystem sys;
    sys.writes_before_failure = static_cast<int>(k);
    std::string got = Run(log, comment, &sys);
    size_t cut = 0;
    for (size_t i = 0; i < k; ++i) cut = full.find('\n', cut) + 1;
    CheckEqual(got, full.substr(0, cut), "a failed write keeps the lines before it and ends the output");
  }
}

// A read that fails at a given offset: the lines completed in the bytes delivered before it are
// handled, the line in progress and everything after it give nothing. The reader reads the two
// first bytes apart (to look for FF FE), then blocks; the fake delivers min(asked, max_read,
// rest) bytes and fails the first read that would reach the offset.
void CheckReadFailure(const std::string& log, const std::string& comment, const std::string& full,
                      size_t block_size, size_t max_read) {
  if (log.empty()) return;
  size_t fail_at = log.size() / 2 + 1;
  size_t delivered = 0;
  bool fails = false;
  for (;;) {
    size_t asked = delivered < 2 ? 2 - delivered : block_size;
    size_t n = std::min({asked, max_read, log.size() - delivered});
    if (delivered + n >= fail_at && (n > 0 || delivered == fail_at)) {
      fails = true;
      break;
    }
    delivered += n;
    if (n == 0) break;
    // Nothing after a Ctrl-Z is read (the two first bytes are read whatever they hold).
    if (delivered >= 2 && log.find('\x1a') < delivered) break;
  }
  std::string want = full;
  if (fails) {
    size_t last_lf = delivered == 0 ? std::string::npos : log.rfind('\n', delivered - 1);
    FakeSystem clean;
    want = Run(last_lf == std::string::npos ? "" : log.substr(0, last_lf + 1), comment, &clean);
  }
  FakeScan scan;
  scan.sys.fail_read_at = static_cast<int64_t>(fail_at);
  scan.sys.max_read = max_read;
  StartScan(&scan, log, block_size);
  ScanState state;
  std::string_view line;
  while (NextLine(&scan.reader, &line)) {
    state.CurrentLine = line;
    ScanLine(&state, comment, &scan.out);
  }
  Close(&scan.reader);
  const FakeSystem& sys = scan.sys;
  if (IsUtf16(log)) {
    // Decoded text does not map back to byte offsets; its lines are still whole and in order.
    Check(full.compare(0, sys.out.size(), sys.out) == 0 && (sys.out.empty() || sys.out.back() == '\n'),
          "a failed read of a UTF-16 log keeps whole lines of the full output");
    return;
  }
  CheckEqual(sys.out, want, "a failed read keeps the lines completed before it and nothing after");
}

}  // namespace

// Every run allocates the reader's 256 KiB block afresh; the default 256 MiB quarantine of freed
// memory then costs a page fault per page and slows each input about fivefold. 8 MiB still
// holds freed memory long enough to catch a late use.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=8"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const size_t kBlocks[16] = {1,  2,  3,  4,   5,   7,    8,    13,
                                     16, 31, 64, 255, 256, 1000, 4096, kDefaultBlockSize};
  static const size_t kReads[16] = {SIZE_MAX, 1,   2,   3,   5,    7,    11,    64,
                                    100,      255, 256, 257, 4095, 4097, 65536, SIZE_MAX};
  size_t block_size = kBlocks[data[0] & 15];
  size_t max_read = kReads[data[0] >> 4];
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  size_t lf = rest.find('\n');
  std::string comment(rest.substr(0, lf));
  std::string log(lf == std::string_view::npos ? std::string_view() : rest.substr(lf + 1));

  Lines want = ReferenceLines(IsUtf16(log) ? DecodedText(log) : log);
  Check(ReaderLines(log, kDefaultBlockSize, SIZE_MAX) == want, "the reader follows the line rules");
  Check(ReaderLines(log, block_size, max_read) == want, "the lines do not depend on the block split");

  FakeSystem sys;
  std::string full = Run(log, comment, &sys);
  CheckVerdictLines(full);
  CheckEqual(full, ScanLineByLine(log, comment), "the run writes what the scan loop writes");
  CheckWriteFailure(log, comment, full);
  CheckReadFailure(log, comment, full, block_size, max_read);
  return 0;
}
