// End-to-end fault tests: standard output that fails (full device, a pipe closed early, closed
// outright, a file-size limit) and exhausted memory must not kill LogSift, hang it or change its
// exit code, and what it wrote before the failure stays as whole lines.
#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/process.h"

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

namespace {

std::string ManyErrors(int n) {
  std::string log;
  for (int i = 0; i < n; ++i)
    log += "ERROR " + std::to_string(i) + " (0x1) failure number " + std::to_string(i) + "\r\n";
  return log;
}

std::vector<std::string> ErrorMessages(int n) {
  std::vector<std::string> messages;
  for (int i = 0; i < n; ++i)
    messages.push_back("Err " + std::to_string(i) + " failure number " + std::to_string(i));
  return messages;
}

TEST(Faults, FullDevice) {
  std::string path = MakeTempDir() + "/job.log";
  WriteFile(path, ManyErrors(10));
  ProcessResult r = RunLogSiftProcess({path}, ToPath("/dev/full"));
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.exit_code, 0);
  r = RunLogSiftProcess({path + ".absent"}, ToPath("/dev/full"));
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.exit_code, 5);
  r = RunLogSiftProcess({}, ToPath("/dev/full"));  // the usage text
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.exit_code, 0);
}

TEST(Faults, ClosedStdout) {
  std::string path = MakeTempDir() + "/job.log";
  WriteFile(path, ManyErrors(10));
  ProcessResult r = RunLogSiftProcess({path}, ToClosed());
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.exit_code, 0);
  r = RunLogSiftProcess({path + ".absent"}, ToClosed());
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.exit_code, 5);
  r = RunLogSiftProcess({}, ToClosed());
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.exit_code, 0);
}

TEST(Faults, PipeClosedEarly) {
  std::string path = MakeTempDir() + "/job.log";
  WriteFile(path, ManyErrors(200000));  // far more than a pipe buffer holds
  int fds[2];
  ASSERT_EQ(pipe2(fds, O_CLOEXEC), 0);
  StartedProcess p = StartLogSiftProcess({path}, ToFd(fds[1]));
  close(fds[1]);
  // Takes the first line, then closes the pipe while LogSift is still writing.
  std::string first;
  char c;
  while (read(fds[0], &c, 1) == 1) {
    first += c;
    if (c == '\n') break;
  }
  close(fds[0]);
  ProcessResult r = WaitProcess(p);
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.exit_code, 0);
  std::string why;
  EXPECT_TRUE(MatchesVerdicts(first, {"Err 0 failure number 0"}, &why)) << why;
}

// A pipe left non-blocking by whoever set it up: a full pipe is a wait, not a failure, so no
// verdict is lost while the reader is slow.
TEST(Faults, NonBlockingPipe) {
  std::string path = MakeTempDir() + "/job.log";
  WriteFile(path, ManyErrors(20000));  // far more than a pipe buffer holds
  int fds[2];
  ASSERT_EQ(pipe2(fds, O_CLOEXEC | O_NONBLOCK), 0);
  StartedProcess p = StartLogSiftProcess({path}, ToFd(fds[1]));
  close(fds[1]);
  usleep(200 * 1000);  // LogSift fills the pipe meanwhile
  std::string out;
  char buf[65536];
  for (;;) {
    ssize_t n = read(fds[0], buf, sizeof buf);
    if (n == 0) break;
    if (n > 0) {
      out.append(buf, static_cast<size_t>(n));
    } else if (errno == EAGAIN) {
      usleep(1000);
    } else {
      break;
    }
  }
  close(fds[0]);
  ProcessResult r = WaitProcess(p);
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.exit_code, 0);
  std::string why;
  EXPECT_TRUE(MatchesVerdicts(out, ErrorMessages(20000), &why)) << why;
}

// A file that may not grow past a limit stands for a device that fills up: a write that would
// pass it fails. Lines before the limit are whole; past it nothing more is written, and only a
// write the system cut short can leave the start of one more line.
TEST(Faults, OutputFileReachesItsSizeLimit) {
  if (const char* w = getenv("LOGSIFT_WRAPPER"); w && *w) GTEST_SKIP() << "the limit would bind the wrapper";
  std::string dir = MakeTempDir();
  WriteFile(dir + "/job.log", ManyErrors(10));
  const std::vector<std::string> all = ErrorMessages(10);
  const size_t line = 15 + all[3].size() + 2;  // lines 0 to 9 are all this long
  struct Row {
    uint64_t limit;
    size_t whole_lines;
    std::string tail;  // the part of the next line the system let through
  } rows[] = {
      {3 * line, 3, ""},            // the limit falls between two lines
      {3 * line + 20, 3, "Err 3"},  // inside a line: the stamp and five bytes pass
      {1, 0, ""},                   // inside the first stamp
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.limit);
    std::string out_path = dir + "/collect.txt";
    ChildLimits limits;
    limits.file_size = row.limit;
    ProcessResult r = RunLogSiftProcess({dir + "/job.log"}, ToPath(out_path), {}, limits);
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.exit_code, 0);
    std::string out = ReadFile(out_path);
    ASSERT_EQ(out.size(), row.limit);
    std::string why;
    std::vector<std::string> want(all.begin(), all.begin() + static_cast<long>(row.whole_lines));
    EXPECT_TRUE(MatchesVerdicts(out.substr(0, row.whole_lines * line), want, &why)) << why;
    std::string tail = out.substr(row.whole_lines * line);
    EXPECT_EQ(tail.size() > 15 ? tail.substr(15) : "", row.tail);
  }
}

// One line larger than the address space the test allows: the verdicts before it stay whole,
// then the short notice, exit code 1. An address-space limit cannot work under AddressSanitizer,
// which reserves terabytes at start-up.
TEST(Faults, ExhaustedMemory) {
  if (kAddressSanitizer) GTEST_SKIP() << "address-space limits do not work under AddressSanitizer";
  if (const char* w = getenv("LOGSIFT_WRAPPER"); w && *w) GTEST_SKIP() << "the limit would bind the wrapper";
  std::string path = MakeTempDir() + "/job.log";
  WriteFile(path, "     Dest : D:\\backup\\\r\n    Files : *.*\r\n" + ManyErrors(2) +
                      "               Total    Copied   Skipped  Mismatch    FAILED    Extras\r\n"
                      "    Files :         1         1         0         0         0         0\r\n"
                      "a line that never ends: ");
  // The rest of the file is a hole of NULs without an LF: one line of 1 GiB.
  ASSERT_EQ(truncate(path.c_str(), 1LL << 30), 0);
  const std::vector<std::string> notice_only = {"LogSift Err out of memory"};
  struct Row {
    std::string log;
    std::vector<std::string> want;
  } rows[] = {
      {path,
       {"Err 0 failure number 0", "Err 1 failure number 1", "Inf D: *.*1 file copied ok ",
        "LogSift Err out of memory"}},
      {"/dev/zero", notice_only},  // endless, and never an LF
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.log);
    ChildLimits limits;
    limits.address_space = 256u << 20;
    ProcessResult r = RunLogSiftProcess({row.log}, {}, {}, limits);
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.exit_code, 1);
    std::string why;
    EXPECT_TRUE(MatchesVerdicts(r.out, row.want, &why)) << why;
  }
  unlink(path.c_str());
}

}  // namespace
