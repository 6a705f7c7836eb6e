// Runs the built LogSift as a whole process for the end-to-end tests, capturing its output,
// exit code and any fatal signal. LOGSIFT_EXE and LOGSIFT_WRAPPER (e.g. a Wine runner) override.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ProcessResult {
  int exit_code = -1;  // -1 when killed by a signal
  int signal = 0;
  std::string out;
};

// Where the child's standard output goes.
struct StdoutTarget {
  enum Kind { kCapture, kPath, kAppendPath, kClosed, kFd } kind = kCapture;
  std::string path;
  int fd = -1;
};

inline StdoutTarget ToPath(const std::string& path) { return {StdoutTarget::kPath, path, -1}; }
inline StdoutTarget ToAppend(const std::string& path) { return {StdoutTarget::kAppendPath, path, -1}; }
inline StdoutTarget ToFd(int fd) { return {StdoutTarget::kFd, "", fd}; }
inline StdoutTarget ToClosed() { return {StdoutTarget::kClosed, "", -1}; }

// Set in the child before exec. A child still running at the timeout dies of SIGALRM, so a
// hang shows as a signal instead of stalling the suite.
struct ChildLimits {
  unsigned timeout_seconds = 120;
  uint64_t address_space = 0;  // bytes (RLIMIT_AS); 0 leaves it as it is
  uint64_t file_size = 0;      // largest file the child may write (RLIMIT_FSIZE); 0 leaves it
};

// A child started but not yet waited for.
struct StartedProcess {
  int pid = -1;
  std::string capture;  // where kCapture output goes until WaitProcess reads it
};

// The command that starts LogSift: the wrapper's words (if any), then the program.
std::vector<std::string> LogSiftCommand();

// Runs argv; with kCapture the output is returned, with kPath/kAppendPath it goes to the file.
ProcessResult RunProcess(const std::vector<std::string>& argv, const StdoutTarget& target = {},
                         const std::vector<std::string>& env = {}, const ChildLimits& limits = {});

// LogSift with these arguments.
ProcessResult RunLogSiftProcess(const std::vector<std::string>& args, const StdoutTarget& target = {},
                                const std::vector<std::string>& env = {}, const ChildLimits& limits = {});

// The same in two steps, for tests that act on the log or the output while LogSift runs.
StartedProcess StartLogSiftProcess(const std::vector<std::string>& args, const StdoutTarget& target = {},
                                   const ChildLimits& limits = {});
ProcessResult WaitProcess(const StartedProcess& process);

// A fresh empty folder for a test's files.
std::string MakeTempDir();
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

// Splits output into CR LF lines; true when every line is a 15-character stamp
// ("dd/mm/yy hh:nn ", any one-character separators) and the messages are exactly these.
bool MatchesVerdicts(const std::string& out, const std::vector<std::string>& messages, std::string* why);

// The messages of stamped output, or of any CR LF output with the stamps cut off.
std::vector<std::string> MessagesOf(const std::string& out);
