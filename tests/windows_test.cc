// Windows-only end-to-end tests: LogSift.exe under Wine started with raw command lines, on logs
// held open, hidden or read-only, with the user's separators changed and output appended by cmd.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include "tests/process.h"

namespace {

using Messages = std::vector<std::string>;

// The runner's words, as LOGSIFT_WRAPPER gives them; empty when LogSift runs natively.
std::vector<std::string> Wrapper() {
  std::vector<std::string> command = LogSiftCommand();
  command.pop_back();
  return command;
}

std::string LogSiftExe() { return LogSiftCommand().back(); }

std::string Helper(const std::string& name) {
  const char* dir = getenv("LOGSIFT_WIN_HELPERS");
  return std::string(dir ? dir : ".") + "/" + name + ".exe";
}

// A Windows program with these arguments, through the runner.
ProcessResult RunWindows(const std::vector<std::string>& argv, const StdoutTarget& target = {},
                         const std::vector<std::string>& env = {}) {
  std::vector<std::string> command = Wrapper();
  command.insert(command.end(), argv.begin(), argv.end());
  return RunProcess(command, target, env);
}

// Wine maps the Unix root to drive Z:, so this is how Windows programs name a Unix path.
std::string WindowsPath(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return "Z:" + path;
}

std::string Stamp(char date_sep, char time_sep) {
  time_t now = time(nullptr);
  struct tm t;
  localtime_r(&now, &t);
  char buf[32];
  snprintf(buf, sizeof buf, "%02d%c%02d%c%02d %02d%c%02d ", t.tm_mday, date_sep, t.tm_mon + 1, date_sep,
           t.tm_year % 100, t.tm_hour, time_sep, t.tm_min);
  return buf;
}

const char kUsageFirstLine[] = "LogSift v1.3  by the LogSift developers\r\n";

const std::string kLog =
    "     Dest : D:\\backup\\\r\n"
    "    Files : *.*\r\n"
    "2026/12/11 02:00:07 ERROR 32 (0x00000020) Copying File D:\\data\\a.pst\r\n"
    "               Total    Copied   Skipped  Mismatch    FAILED    Extras\r\n"
    "   Files :         1         1         0         0         0         0\r\n";
const std::string kErrorLine = "Err 32 Copying File D:\\data\\a.pst";

Messages Verdicts(const std::string& label) { return {kErrorLine, "Inf " + label + " *.*1 file copied ok "}; }

// A Wine prefix booted for as long as it is in scope.
struct OwnPrefix {
  explicit OwnPrefix(const std::string& dir) : dir(dir) {
    booted = RunProcess({Wrapper()[0], "--boot", dir}).exit_code == 0;
  }
  ~OwnPrefix() { RunProcess({Wrapper()[0], "--drop", dir}); }
  std::string dir;
  bool booted;
};

class Windows : public ::testing::Test {
 protected:
  // The background writer and LogSift must meet in one prefix, so the suite needs one.
  static void SetUpTestSuite() {
    const char* given = getenv("WINEPREFIX");
    if (Wrapper().empty() || (given && *given)) return;
    suite_prefix_ = new OwnPrefix(MakeTempDir());
    setenv("WINEPREFIX", suite_prefix_->dir.c_str(), 1);
  }
  static void TearDownTestSuite() {
    delete suite_prefix_;
    suite_prefix_ = nullptr;
  }
  static OwnPrefix* suite_prefix_;

  void SetUp() override {
    if (Wrapper().empty()) GTEST_SKIP() << "needs LogSift.exe and a Windows runner (LOGSIFT_WRAPPER)";
    dir_ = MakeTempDir();
    log_ = dir_ + "/job.log";
    WriteFile(log_, kLog);
  }
  void TearDown() override {
    if (!dir_.empty()) RunProcess({"rm", "-rf", dir_});
  }
  std::string dir_;
  std::string log_;
};

OwnPrefix* Windows::suite_prefix_ = nullptr;

// The command line reaches LogSift unsplit and unescaped, as a Windows shell would hand it over.
TEST_F(Windows, RawCommandLine) {
  struct Row {
    const char* why;
    std::string tail;  // what follows the program's name
    int exit_code;
    Messages want;  // empty with exit code 0: the usage text
  };
  const std::string p = log_;
  const Row rows[] = {
      {"no argument", "", 0, {}},
      {"only quote pairs", " \"\" \"\"", 0, {}},
      {"quote pairs before the path are skipped", " \"\" \"\" " + p, 0, Verdicts("D:")},
      {"a pair in the comment's place: the third is the comment", " " + p + " \"\" third", 0,
       Verdicts("third")},
      {"a pair as the only comment", " " + p + " \"\"", 0, Verdicts("D:")},
      {"quoted comment with a blank", " \"" + p + "\" \"two words\"", 0, Verdicts("two words")},
      {"further arguments ignored", " " + p + " c ignored", 0, Verdicts("c")},
      {"tabs separate", "\t" + p + "\tc", 0, Verdicts("c")},
      {"a quote inside the path", " " + p.substr(0, 5) + "\"\"" + p.substr(5) + " c", 0, Verdicts("c")},
      {"an unclosed quote runs to the end", " \"" + p, 0, Verdicts("D:")},
      {"a quoted blank belongs to the path",
       " \"" + p + " c\"",
       5,
       {"LogSift Err Logfile " + p + " c NIET aanwezig"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    ProcessResult got = RunWindows({Helper("run_raw"), "\"" + LogSiftExe() + "\"" + r.tail});
    EXPECT_EQ(got.exit_code, r.exit_code);
    if (r.want.empty()) {
      EXPECT_EQ(got.out.substr(0, sizeof kUsageFirstLine - 1), kUsageFirstLine);
      EXPECT_EQ(MessagesOf(got.out).size(), 8u);
    } else {
      std::string why;
      EXPECT_TRUE(MatchesVerdicts(got.out, r.want, &why)) << why;
    }
  }
}

// Starts a Windows program in the background with a pipe on each of stdin and stdout.
struct Background {
  pid_t pid = -1;
  int to_child = -1;
  int from_child = -1;
};

Background StartWindows(const std::vector<std::string>& argv) {
  std::vector<std::string> command = Wrapper();
  command.insert(command.end(), argv.begin(), argv.end());
  int in[2], out[2];
  if (pipe(in) != 0 || pipe(out) != 0) return {};
  Background b;
  b.pid = fork();
  if (b.pid == 0) {
    dup2(in[0], STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    close(in[0]);
    close(in[1]);
    close(out[0]);
    close(out[1]);
    std::vector<char*> args;
    for (const std::string& a : command) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  b.to_child = in[1];
  b.from_child = out[0];
  return b;
}

// The first line the program writes, without its line end.
std::string FirstLine(const Background& b) {
  std::string line;
  char c;
  while (read(b.from_child, &c, 1) == 1 && c != '\n') {
    if (c != '\r') line.push_back(c);
  }
  return line;
}

int Finish(Background* b) {
  close(b->to_child);
  close(b->from_child);
  int status = 0;
  waitpid(b->pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A copy job still writing its log shares it; LogSift asks for no more than that sharing allows.
TEST_F(Windows, LogHeldOpenForWriting) {
  Background writer = StartWindows({Helper("hold_open"), log_});
  ASSERT_EQ(FirstLine(writer), "held");
  ProcessResult r = RunLogSiftProcess({log_});
  EXPECT_EQ(Finish(&writer), 0);
  EXPECT_EQ(r.exit_code, 0);
  std::string why;
  EXPECT_TRUE(MatchesVerdicts(r.out, Verdicts("D:"), &why)) << why;

  // The same log held without sharing: it exists, the open fails, the scan is silent.
  Background locker = StartWindows({Helper("hold_open"), log_, "exclusive"});
  ASSERT_EQ(FirstLine(locker), "held");
  r = RunLogSiftProcess({log_});
  EXPECT_EQ(Finish(&locker), 0);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "");
}

TEST_F(Windows, AnyAttributesAreAccepted) {
  const std::vector<std::string> rows[] = {
      {"readonly"}, {"hidden"}, {"system"}, {"archive"}, {"readonly", "hidden", "system", "archive"}};
  for (const std::vector<std::string>& attrs : rows) {
    SCOPED_TRACE(attrs.size() == 1 ? attrs[0] : "all four");
    std::vector<std::string> set = {Helper("set_attributes"), log_};
    set.insert(set.end(), attrs.begin(), attrs.end());
    ASSERT_EQ(RunWindows(set).exit_code, 0);
    ProcessResult r = RunLogSiftProcess({log_});
    EXPECT_EQ(r.exit_code, 0);
    std::string why;
    EXPECT_TRUE(MatchesVerdicts(r.out, Verdicts("D:"), &why)) << why;
  }
  RunWindows({Helper("set_attributes"), log_});
}

// Paths in Windows form, used exactly as given: found, echoed, and a directory refused.
TEST_F(Windows, WindowsPaths) {
  struct Row {
    std::string path;
    int exit_code;
    Messages want;
  };
  const Row rows[] = {
      {WindowsPath(log_), 0, Verdicts("D:")},
      {WindowsPath(dir_), 5, {"LogSift Err Logfile " + WindowsPath(dir_) + " NIET aanwezig"}},
      {WindowsPath(dir_) + "\\", 5, {"LogSift Err Logfile " + WindowsPath(dir_) + "\\ NIET aanwezig"}},
      {WindowsPath(dir_) + "\\absent.log",
       5,
       {"LogSift Err Logfile " + WindowsPath(dir_) + "\\absent.log NIET aanwezig"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.path);
    ProcessResult got = RunLogSiftProcess({r.path});
    EXPECT_EQ(got.exit_code, r.exit_code);
    std::string why;
    EXPECT_TRUE(MatchesVerdicts(got.out, r.want, &why)) << why;
  }
}

// A name beyond ASCII reaches LogSift in the ANSI code page (1252 in Wine's default prefix), where
// é is the one byte E9; LogSift opens and echoes it as that byte, unconverted.
TEST_F(Windows, EightBitPathAsGiven) {
  const std::string utf8_name = dir_ + "/caf\xc3\xa9";  // how the Unix side spells it
  WriteFile(utf8_name + ".log", kLog);
  ProcessResult r = RunLogSiftProcess({utf8_name + ".log"});
  EXPECT_EQ(r.exit_code, 0);
  std::string why;
  EXPECT_TRUE(MatchesVerdicts(r.out, Verdicts("D:"), &why)) << why;

  r = RunLogSiftProcess({utf8_name + "-absent.log"});
  EXPECT_EQ(r.exit_code, 5);
  EXPECT_TRUE(
      MatchesVerdicts(r.out, {"LogSift Err Logfile " + dir_ + "/caf\xe9-absent.log NIET aanwezig"}, &why))
      << why;
}

// The stamp follows the user's separator settings; a setting longer than one character is
// replaced by the usual one. Changing them needs a prefix of its own.
TEST_F(Windows, SeparatorsFromTheUserSettings) {
  OwnPrefix prefix(dir_ + "/prefix");
  ASSERT_TRUE(prefix.booted);
  std::vector<std::string> env = {"WINEPREFIX=" + prefix.dir};
  struct Row {
    const char* date_sep;
    const char* time_sep;
    char want_date;
    char want_time;
  } const rows[] = {{"-", ".", '-', '.'}, {".", ":", '.', ':'}, {"--", "h:", '/', ':'}};
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.date_sep) + " " + r.time_sep);
    ASSERT_EQ(RunWindows({Helper("set_locale"), r.date_sep, r.time_sep}, {}, env).exit_code, 0);
    std::string before = Stamp(r.want_date, r.want_time);
    ProcessResult got = RunLogSiftProcess({log_}, {}, env);
    std::string after = Stamp(r.want_date, r.want_time);
    EXPECT_EQ(got.exit_code, 0);
    ASSERT_GE(got.out.size(), 15u);
    std::string stamp = got.out.substr(0, 15);
    EXPECT_TRUE(stamp == before || stamp == after) << stamp << " not " << before;
    EXPECT_EQ(MessagesOf(got.out), Verdicts("D:"));
  }
}

// cmd's ">>" opens the collecting file for appending; each line must end in CR LF, not CR CR LF.
TEST_F(Windows, AppendedByCmd) {
  std::string collect = dir_ + "/collect.txt";
  WriteFile(collect, "earlier line\r\n");
  std::string line =
      "\"" + WindowsPath(LogSiftExe()) + "\" " + WindowsPath(log_) + " job1 >>" + WindowsPath(collect);
  for (int run = 0; run < 2; ++run) {
    // Through run_raw: Wine's own argument quoting would escape the quotes cmd needs.
    ProcessResult r = RunWindows({Helper("run_raw"), "cmd /c " + line});
    ASSERT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.out, "");
  }
  std::string all = ReadFile(collect);
  ASSERT_EQ(all.substr(0, 14), "earlier line\r\n");
  Messages once = Verdicts("job1");
  Messages twice = once;
  twice.insert(twice.end(), once.begin(), once.end());
  std::string why;
  EXPECT_TRUE(MatchesVerdicts(all.substr(14), twice, &why)) << why;
}

// A UTF-16 log comes out in the console's code page (437 in Wine's default prefix): what it has
// as its own byte, the rest as "?", look-alikes included (l is not the name the log gave).
TEST_F(Windows, Utf16LogInTheOemCodePage) {
  std::u16string units = u"ERROR 2 (0x2) caf\u00e9 \u0142\u00fc \u0416\r\n";
  std::string bytes = "\xff\xfe";
  for (char16_t u : units) bytes += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
  WriteFile(log_, bytes);
  ProcessResult r = RunLogSiftProcess({log_});
  EXPECT_EQ(r.exit_code, 0);
  std::string why;
  EXPECT_TRUE(MatchesVerdicts(r.out, {"Err 2 caf\x82 ?\x81 ?"}, &why)) << why;
}

// Into a pipe the bytes are the same as into a file.
TEST_F(Windows, IntoAPipe) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  ProcessResult r = RunLogSiftProcess({log_}, ToFd(fds[1]));
  close(fds[1]);
  std::string out;
  char buf[4096];
  for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) out.append(buf, n);
  close(fds[0]);
  EXPECT_EQ(r.exit_code, 0);
  std::string why;
  EXPECT_TRUE(MatchesVerdicts(out, Verdicts("D:"), &why)) << why;
}

}  // namespace
