// End-to-end tests on hostile input: bad bytes, odd arguments, special files, and a log that
// grows or shrinks while it is scanned. LogSift must not crash or hang, and ends with exit code 0.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/process.h"

namespace {

using Messages = std::vector<std::string>;

const std::string kHeading = "               Total    Copied   Skipped  Mismatch    FAILED    Extras\r\n";
const std::string kRun = "    Files : *.*\r\n" + kHeading +
                         "    Files :         3         3         0         0         0         0\r\n";

std::string ErrorLine(int i) {
  return "ERROR " + std::to_string(i) + " (0x1) line " + std::to_string(i) + "\r\n";
}
std::string ErrorMessage(int i) { return "Err " + std::to_string(i) + " line " + std::to_string(i); }

// Reads one line (through its LF) or whatever is left.
std::string ReadLine(int fd) {
  std::string line;
  char c;
  while (read(fd, &c, 1) == 1) {
    line += c;
    if (c == '\n') break;
  }
  return line;
}

// FIFOs and devices behave as POSIX says only when LogSift runs natively, not under a wrapper.
bool UnderWrapper() {
  const char* wrapper = getenv("LOGSIFT_WRAPPER");
  return wrapper && *wrapper;
}

std::string ReadRest(int fd) {
  std::string rest;
  char buf[65536];
  for (ssize_t n; (n = read(fd, buf, sizeof buf)) > 0;) rest.append(buf, static_cast<size_t>(n));
  return rest;
}

// The output bytes are the input bytes: nothing is converted, NUL and 8-bit bytes included.
TEST(Hostile, BadBytes) {
  std::string every_byte;  // all but LF, CR and Ctrl-Z, NUL first
  for (int b = 0; b < 256; ++b) {
    if (b != '\n' && b != '\r' && b != 0x1a) every_byte += static_cast<char>(b);
  }
  std::string long_text(300, 'x');
  std::string with_crs;  // a CR after every third byte, and the error beyond the 255th byte
  for (char c : std::string(400, 'w') + "ERROR 7 " + long_text) {
    with_crs += c;
    if (with_crs.size() % 4 == 3) with_crs += '\r';
  }
  struct Row {
    const char* name;
    std::string log;
    Messages want;
  } rows[] = {
      {"every byte value", "ERROR " + every_byte + "\r\n", {"Err " + every_byte}},
      {"a lone Ctrl-Z", "\x1a", {}},
      {"Ctrl-Z inside an error line", "ERROR 5\x1a (0x5) hidden\r\n" + ErrorLine(6), {"Err 5"}},
      {"only 0xFF bytes", "\xff\xff\xff\r\n\xff\n", {}},
      {"long line, no CR",
       std::string(100000, '\xe9') + "ERROR 9 " + long_text + "\n",
       {"Err 9 " + long_text.substr(0, 253)}},
      {"long line, many CRs", with_crs + "\r\n", {"Err 7 " + long_text.substr(0, 253)}},
      {"a megabyte of NULs before the error",
       std::string(1 << 20, '\0') + "ERROR 3 (0x3) end\r\n",
       {"Err 3 end"}},
      {"counts far beyond the 255th byte",
       "Dest : D:\\x\\\r\n" + kHeading + std::string(1000, ' ') + "Files :         2         2\r\n",
       {"Inf D: 2 files copied ok "}},
  };
  std::string dir = MakeTempDir();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WriteFile(dir + "/job.log", row.log);
    ProcessResult r = RunLogSiftProcess({dir + "/job.log"});
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.exit_code, 0);
    std::string why;
    EXPECT_TRUE(MatchesVerdicts(r.out, row.want, &why)) << why;
  }
}

// Arguments reach the output byte for byte, whatever their length or bytes.
TEST(Hostile, Arguments) {
  std::string dir = MakeTempDir();
  std::string deep = dir;  // more than 255 characters
  for (int i = 0; i < 3; ++i) {
    deep += "/" + std::string(100, static_cast<char>('a' + i));
    mkdir(deep.c_str(), 0700);
  }
  std::string blanks = dir + "/a  b c";
  std::string eight_bit = dir + "/caf\xe9 \xff\x80";
  mkdir(blanks.c_str(), 0700);
  mkdir(eight_bit.c_str(), 0700);
  std::string long_comment(300, 'c');
  long_comment[150] = ' ';
  // Rows marked POSIX use what only the POSIX platform gives: arguments handed over as they are
  // (8-bit bytes unconverted, "" kept) and paths beyond the Windows path limit.
  struct Row {
    const char* name;
    bool posix;
    Messages args;
    int exit_code;
    Messages want;
  } rows[] = {
      {"path with blanks",
       false,
       {blanks + "/job 1.log", "two words"},
       0,
       {"Inf two words *.*3 files copied ok "}},
      {"path with 8-bit bytes",
       true,
       {eight_bit + "/\xe9t\xe9.log", "\xe9t\xe9"},
       0,
       {"Inf \xe9t\xe9 *.*3 files copied ok "}},
      {"path longer than 255", true, {deep + "/job.log"}, 0, {"Inf D: *.*3 files copied ok "}},
      {"absent path longer than 255",
       true,
       {deep + "/absent.log"},
       5,
       {"LogSift Err Logfile " + deep + "/absent.log NIET aanwezig"}},
      {"absent path with 8-bit bytes",
       true,
       {eight_bit + "/\xff.log", "c"},
       5,
       {"LogSift Err Logfile " + eight_bit + "/\xff.log NIET aanwezig"}},
      {"empty log path", true, {""}, 5, {"LogSift Err Logfile  NIET aanwezig"}},
      {"comment longer than 255",
       false,
       {blanks + "/job 1.log", long_comment},
       0,
       {"Inf " + long_comment + " *.*3 files copied ok "}},
      {"empty comment, then a third argument",
       true,
       {blanks + "/job 1.log", "", "third"},
       0,
       {"Inf D: *.*3 files copied ok "}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.posix && UnderWrapper()) continue;
    if (row.exit_code == 0) WriteFile(row.args[0], "     Dest : D:\\x\\\r\n" + kRun);
    ProcessResult r = RunLogSiftProcess(row.args);
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.exit_code, row.exit_code);
    std::string why;
    EXPECT_TRUE(MatchesVerdicts(r.out, row.want, &why)) << why;
  }
}

// Character devices: an empty one, and an endless one that a Ctrl-Z soon ends.
TEST(Hostile, SpecialFiles) {
  if (UnderWrapper()) GTEST_SKIP() << "needs the POSIX platform";
  for (const char* path : {"/dev/null", "/dev/urandom"}) {
    SCOPED_TRACE(path);
    ChildLimits limits;
    limits.timeout_seconds = 20;
    ProcessResult r = RunLogSiftProcess({path}, {}, {}, limits);
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.exit_code, 0);
    for (const std::string& m : MessagesOf(r.out))
      EXPECT_TRUE(m.rfind("Err ", 0) == 0 || m.rfind("Inf ", 0) == 0 || m.rfind("Wrn ", 0) == 0) << m;
  }
}

TEST(Hostile, FifoWithoutWriter) {
  if (UnderWrapper()) GTEST_SKIP() << "needs the POSIX platform";
  std::string fifo = MakeTempDir() + "/job.log";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  ChildLimits limits;
  limits.timeout_seconds = 20;
  ProcessResult r = RunLogSiftProcess({fifo}, {}, {}, limits);
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "");
}

// The writer holds the FIFO open from before LogSift starts; LogSift's output, read through a
// pipe, tells when the first line has arrived, and closing the writer ends the log.
TEST(Hostile, FifoWithWriter) {
  if (UnderWrapper()) GTEST_SKIP() << "needs the POSIX platform";
  std::string fifo = MakeTempDir() + "/job.log";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  int writer = open(fifo.c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(writer, 0);
  std::string first = ErrorLine(1);
  ASSERT_EQ(write(writer, first.data(), first.size()), static_cast<ssize_t>(first.size()));
  int out[2];
  ASSERT_EQ(pipe2(out, O_CLOEXEC), 0);
  ChildLimits limits;
  limits.timeout_seconds = 20;
  StartedProcess p = StartLogSiftProcess({fifo}, ToFd(out[1]), limits);
  close(out[1]);
  std::string got = ReadLine(out[0]);
  std::string second = "no newline at the end ERROR 2 (0x2) last";
  ASSERT_EQ(write(writer, second.data(), second.size()), static_cast<ssize_t>(second.size()));
  close(writer);
  got += ReadRest(out[0]);
  close(out[0]);
  ProcessResult r = WaitProcess(p);
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.exit_code, 0);
  std::string why;
  EXPECT_TRUE(MatchesVerdicts(got, {ErrorMessage(1), "Err 2 last"}, &why)) << why;
}

// LogSift's output goes to a pipe the test reads slowly, so LogSift is held mid-log (far from
// its end) while the test changes the file; then the test drains the rest.
struct HeldScan {
  std::string path;
  int out = -1;
  StartedProcess process;
  std::string first;
};

constexpr int kLines = 200000;  // about 5 MB: far more than a read block and a pipe buffer

HeldScan StartHeldScan() {
  HeldScan scan;
  scan.path = MakeTempDir() + "/job.log";
  std::string log;
  for (int i = 0; i < kLines; ++i) log += ErrorLine(i);
  WriteFile(scan.path, log);
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return scan;
  ChildLimits limits;
  limits.timeout_seconds = 60;
  scan.process = StartLogSiftProcess({scan.path}, ToFd(fds[1]), limits);
  close(fds[1]);
  scan.out = fds[0];
  scan.first = ReadLine(scan.out);
  return scan;
}

// The rest of a held scan's output once it is let go; it must end normally.
std::string FinishHeldScan(HeldScan* scan) {
  std::string out = scan->first + ReadRest(scan->out);
  close(scan->out);
  ProcessResult r = WaitProcess(scan->process);
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.exit_code, 0);
  return out;
}

// True when messages are want's first messages, each exact, at least `at_least` of them.
bool IsLeadingPart(const Messages& messages, const Messages& want, size_t at_least, std::string* why) {
  if (messages.size() < at_least || messages.size() > want.size()) {
    *why = std::to_string(messages.size()) + " lines";
    return false;
  }
  for (size_t i = 0; i < messages.size(); ++i) {
    if (messages[i] != want[i]) {
      *why = "line " + std::to_string(i + 1) + ": " + messages[i];
      return false;
    }
  }
  return true;
}

TEST(Hostile, LogGrowsWhileScanned) {
  HeldScan scan = StartHeldScan();
  ASSERT_GE(scan.out, 0);
  ASSERT_FALSE(scan.first.empty());
  int log = open(scan.path.c_str(), O_WRONLY | O_APPEND);
  ASSERT_GE(log, 0);
  for (int i = kLines; i < kLines + 1000; ++i) {
    std::string line = ErrorLine(i);
    ASSERT_EQ(write(log, line.data(), line.size()), static_cast<ssize_t>(line.size()));
  }
  close(log);
  std::string out = FinishHeldScan(&scan);
  ASSERT_EQ(out.substr(out.size() - 2), "\r\n");
  Messages want;
  for (int i = 0; i < kLines + 1000; ++i) want.push_back(ErrorMessage(i));
  // Every line of the log as it was; the appended lines too, unless the scan had passed the end.
  std::string why;
  EXPECT_TRUE(IsLeadingPart(MessagesOf(out), want, kLines, &why)) << why;
  unlink(scan.path.c_str());
}

TEST(Hostile, LogTruncatedWhileScanned) {
  const int kKept = 150000;
  HeldScan scan = StartHeldScan();
  ASSERT_GE(scan.out, 0);
  ASSERT_FALSE(scan.first.empty());
  off_t cut = 0;
  for (int i = 0; i < kKept; ++i) cut += static_cast<off_t>(ErrorLine(i).size());
  ASSERT_EQ(truncate(scan.path.c_str(), cut), 0);
  std::string out = FinishHeldScan(&scan);
  ASSERT_EQ(out.substr(out.size() - 2), "\r\n");
  Messages want;
  for (int i = 0; i < kLines; ++i) want.push_back(ErrorMessage(i));
  // The lines before the cut; lines after it only if they had been read before it was made.
  std::string why;
  EXPECT_TRUE(IsLeadingPart(MessagesOf(out), want, kKept, &why)) << why;
  unlink(scan.path.c_str());
}

}  // namespace
