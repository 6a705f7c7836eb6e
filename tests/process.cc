// Runs the built LogSift as a whole process for the end-to-end tests, capturing its output,
// exit code and any fatal signal. LOGSIFT_EXE and LOGSIFT_WRAPPER (e.g. a Wine runner) override.
#include "tests/process.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

std::vector<std::string> LogSiftCommand() {
  std::vector<std::string> command;
  if (const char* wrapper = getenv("LOGSIFT_WRAPPER"); wrapper && *wrapper) {
    std::istringstream words(wrapper);
    for (std::string w; words >> w;) command.push_back(w);
  }
  const char* exe = getenv("LOGSIFT_EXE");
  command.push_back(exe && *exe ? exe : LOGSIFT_EXE);
  return command;
}

namespace {

void SetLimit(int resource, uint64_t bytes) {
  struct rlimit limit = {static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
  if (bytes > 0 && setrlimit(resource, &limit) != 0) _exit(126);
}

StartedProcess StartProcess(const std::vector<std::string>& argv, const StdoutTarget& target,
                            const std::vector<std::string>& env, const ChildLimits& limits) {
  StartedProcess started;
  if (target.kind == StdoutTarget::kCapture) started.capture = MakeTempDir() + "/stdout";
  const std::string& capture = started.capture;
  pid_t pid = fork();
  if (pid == 0) {
    int fd = -1;
    switch (target.kind) {
      case StdoutTarget::kCapture: fd = open(capture.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600); break;
      case StdoutTarget::kPath: fd = open(target.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600); break;
      case StdoutTarget::kAppendPath: fd = open(target.path.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600); break;
      case StdoutTarget::kFd: fd = target.fd; break;
      case StdoutTarget::kClosed: break;
    }
    if (target.kind == StdoutTarget::kClosed) {
      close(STDOUT_FILENO);
    } else if (fd < 0 || dup2(fd, STDOUT_FILENO) < 0) {
      _exit(127);
    }
    for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
    SetLimit(RLIMIT_AS, limits.address_space);
    SetLimit(RLIMIT_FSIZE, limits.file_size);
    if (limits.timeout_seconds > 0) alarm(limits.timeout_seconds);  // survives the exec
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  started.pid = pid;
  return started;
}

}  // namespace

ProcessResult WaitProcess(const StartedProcess& process) {
  ProcessResult result;
  int status = 0;
  while (waitpid(process.pid, &status, 0) < 0) {
  }
  if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  const std::string& capture = process.capture;
  if (!capture.empty()) {
    result.out = ReadFile(capture);
    unlink(capture.c_str());
    rmdir(capture.substr(0, capture.rfind('/')).c_str());
  }
  return result;
}

ProcessResult RunProcess(const std::vector<std::string>& argv, const StdoutTarget& target,
                         const std::vector<std::string>& env, const ChildLimits& limits) {
  return WaitProcess(StartProcess(argv, target, env, limits));
}

ProcessResult RunLogSiftProcess(const std::vector<std::string>& args, const StdoutTarget& target,
                                const std::vector<std::string>& env, const ChildLimits& limits) {
  std::vector<std::string> argv = LogSiftCommand();
  argv.insert(argv.end(), args.begin(), args.end());
  return RunProcess(argv, target, env, limits);
}

StartedProcess StartLogSiftProcess(const std::vector<std::string>& args, const StdoutTarget& target,
                                   const ChildLimits& limits) {
  std::vector<std::string> argv = LogSiftCommand();
  argv.insert(argv.end(), args.begin(), args.end());
  return StartProcess(argv, target, {}, limits);
}

std::string MakeTempDir() {
  const char* base = getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/logsift-test-XXXXXX";
  if (!mkdtemp(pattern.data())) return "/tmp";
  return pattern;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

namespace {

bool IsStamp(const std::string& s) {
  if (s.size() != 15 || s[8] != ' ' || s[14] != ' ' || s[2] != s[5]) return false;
  for (int i : {0, 1, 3, 4, 6, 7, 9, 10, 12, 13}) {
    if (s[i] < '0' || s[i] > '9') return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> MessagesOf(const std::string& out) {
  std::vector<std::string> messages;
  size_t at = 0;
  while (at < out.size()) {
    size_t end = out.find("\r\n", at);
    if (end == std::string::npos) end = out.size();
    std::string line = out.substr(at, end - at);
    messages.push_back(line.size() >= 15 ? line.substr(15) : line);
    at = end + 2;
  }
  return messages;
}

bool MatchesVerdicts(const std::string& out, const std::vector<std::string>& messages, std::string* why) {
  size_t at = 0;
  for (size_t i = 0; i < messages.size(); ++i) {
    size_t end = out.find("\r\n", at);
    if (end == std::string::npos) {
      *why = "line " + std::to_string(i + 1) + " missing or without CR LF";
      return false;
    }
    std::string line = out.substr(at, end - at);
    if (line.find('\n') != std::string::npos) {
      *why = "bare LF in line " + std::to_string(i + 1);
      return false;
    }
    if (line.size() < 15 || !IsStamp(line.substr(0, 15))) {
      *why = "no stamp on line " + std::to_string(i + 1) + ": " + line;
      return false;
    }
    if (line.substr(15) != messages[i]) {
      *why = "line " + std::to_string(i + 1) + " is \"" + line.substr(15) + "\", want \"" + messages[i] + "\"";
      return false;
    }
    at = end + 2;
  }
  if (at != out.size()) {
    *why = "unexpected output after " + std::to_string(messages.size()) + " lines: " + out.substr(at);
    return false;
  }
  return true;
}
