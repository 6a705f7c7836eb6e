// End-to-end fault tests: standard output that fails (full device, a pipe closed early,
// closed outright) must not kill LogSift, hang it or change its exit code.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/process.h"

namespace {

std::string ManyErrors(int n) {
  std::string log;
  for (int i = 0; i < n; ++i) log += "ERROR " + std::to_string(i) + " (0x1) failure number " + std::to_string(i) + "\r\n";
  return log;
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
}

TEST(Faults, ClosedStdout) {
  std::string path = MakeTempDir() + "/job.log";
  WriteFile(path, ManyErrors(10));
  ProcessResult r = RunLogSiftProcess({path}, ToClosed());
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.exit_code, 0);
}

TEST(Faults, PipeClosedEarly) {
  std::string path = MakeTempDir() + "/job.log";
  WriteFile(path, ManyErrors(200000));  // far more than a pipe buffer holds
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  char first[16];
  // The reader takes a few bytes, then closes its end while LogSift is still writing.
  pid_t reader = fork();
  if (reader == 0) {
    close(fds[1]);
    ssize_t got = read(fds[0], first, sizeof first);
    (void)got;
    _exit(0);
  }
  close(fds[0]);
  ProcessResult r = RunLogSiftProcess({path}, ToFd(fds[1]));
  close(fds[1]);
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.exit_code, 0);
  int status;
  waitpid(reader, &status, 0);
}

}  // namespace
