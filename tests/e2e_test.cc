// End-to-end tests: the built LogSift run as a process on fixture logs, its bytes compared
// (stamps by pattern and against the clock, everything else exactly).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <time.h>

#include "tests/process.h"
#include "tests/text_forms.h"

namespace {

using Messages = std::vector<std::string>;

const std::string kHeading = "               Total    Copied   Skipped  Mismatch    FAILED    Extras\r\n";

std::string Header(const std::string& dest, const std::string& files) {
  return "-------------------------------------------------------------------------------\r\n"
         "   ROBOCOPY     ::     Robust File Copy for Windows\r\n"
         "  Started : Friday, December 11, 2026 02:00:01\r\n"
         "   Source : D:\\data\\\r\n"
         "     Dest : " + dest + "\r\n\r\n"
         "    Files : " + files + "\r\n\r\n"
         "  Options : *.* /S /E /R:2 /W:5\r\n\r\n";
}

std::string FilesRow(const std::string& counts) { return kHeading + "    Dirs :         1         0         1         0         0         0\r\n   Files : " + counts + "\r\n   Bytes :     1.2 m         0     1.2 m         0         0         0\r\n"; }

const std::string kErr32 = "2026/12/11 02:00:07 ERROR 32 (0x00000020) Copying File D:\\data\\a.pst\r\n"
                           "The process cannot access the file because it is being used by another process.\r\r\n"
                           "Waiting 5 seconds... Retrying...\r\n";

struct Case {
  const char* name;
  std::string log;
  Messages args;  // after the log path
  Messages want;
};

std::vector<Case> Cases() {
  return {
      {"worked example", Header("\\\\srv01\\backup\\", "*.*") + kErr32 + kErr32 + FilesRow("        4         1         2         0         1         0"),
       {}, {"Err 32 Copying File D:\\data\\a.pst", "Err srv01 *.* 4 files : 1 Copied 2 Skipped 1 Failed"}},
      {"worked example with comment", Header("\\\\srv01\\backup\\", "*.*") + kErr32 + kErr32 + FilesRow("        4         1         2         0         1         0"),
       {"job1"}, {"Err 32 Copying File D:\\data\\a.pst", "Err job1 *.* 4 files : 1 Copied 2 Skipped 1 Failed"}},
      {"third argument ignored", Header("D:\\b\\", "*.*") + FilesRow("        3         3         0         0         0         0"),
       {"c", "ignored"}, {"Inf c *.*3 files copied ok "}},
      {"empty comment uses the label", Header("D:\\b\\", "*.*") + FilesRow("        3         3         0         0         0         0"),
       {""}, {"Inf D: *.*3 files copied ok "}},
      {"three runs, second reuses the label",
       Header("\\\\srv01\\b\\", "*.*") + FilesRow("        3         3         0         0         0         0") +
           "    Files : *.doc\r\n" + FilesRow("        5         2         3         0         0         0") +
           Header("E:\\x\\", "*.pst") + FilesRow("        2         1         0         0         1         0"),
       {}, {"Inf srv01 *.*3 files copied ok ", "Wrn srv01 *.doc2 files copied ok 3 files skipped (equal)", "Err E: *.pst 2 files : 1 Copied 1 Failed"}},
      {"heading without a files row", Header("D:\\\\", "*.*") + kHeading + "    Dirs :  1\r\n", {}, {}},
      {"heading and counts on one line", Header("D:\\", "*.*") + "Total    Copied   Skipped  Mismatch    FAILED    Extras Files :          2         2\r\n",
       {}, {"Inf D: *.*2 files copied ok "}},
      {"short row", Header("D:\\", "*.*") + kHeading + "   Files :         4\r\n", {}, {"Err D: *.* 4 files :"}},
      {"narrow and wide columns", Header("D:\\", "*.*") + kHeading + "   Files : 4 4\r\n" + kHeading + "   Files :           12          12\r\n",
       {}, {"Err D: *.* 4 files :", "Err D: *.* 0 files : 12 Copied 12 Skipped"}},
      {"nothing to report", Header("D:\\", "*.*") + "\t    New File  \t\t   12288\tbudget.xlsx\r\n", {}, {}},
      {"error inside the table", Header("D:\\", "*.*") + kHeading + "   Files : ERROR 5 (0x00000005) no\r\n" + "   Files :         1         1\r\n",
       {}, {"Err 5 no", "Inf D: *.*1 file copied ok "}},
      {"Dest and ERROR on one line", "Dest : \\\\nas\\x\\ ERROR 53 (0x00000035) Getting File System Type\r\n",
       {}, {"Err 53 Getting File System Type"}},
      {"error at the line's end, then a new one", "a ERROR \r\nb ERROR \r\n" + kErr32, {}, {"Err ", "Err ", "Err 32 Copying File D:\\data\\a.pst"}},
      {"8-bit bytes pass through", Header("\\\\caf\xe9\\x\\", "*.\xff\x80") + "ERROR 2 (0x2) f\xe9\r\n" + FilesRow("        1         1"),
       {}, {"Err 2 f\xe9", "Inf caf\xe9 *.\xff\x80" "1 file copied ok "}},
      {"NUL is ordinary", std::string("ERROR 7 a\0b\r\n", 13), {}, {std::string("Err 7 a\0b", 9)}},
      {"Ctrl-Z hides the rest", Header("D:\\", "*.*") + "\x1a" + kErr32 + FilesRow("        1         1"), {}, {}},
      {"excluded files header keeps the selection",
       Header("D:\\", "*.doc") + "  Exc Files : ~*.tmp\r\n\t\t*.bak\r\n" + FilesRow("        2         2"),
       {}, {"Inf D: *.doc2 files copied ok "}},
      {"bare CRs inside lines", Header("D:\\", "*.*") + "ERR\rOR 1 (0x1) progress\r 50%\r100%\r\n" + kHeading + "   Fil\res :         1         1\r\n",
       {}, {"Err 1 progress 50%100%", "Inf D: *.*1 file copied ok "}},
  };
}

TEST(EndToEnd, FixtureTable) {
  std::string dir = MakeTempDir();
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    std::string path = dir + "/job.log";
    WriteFile(path, c.log);
    Messages args = {path};
    args.insert(args.end(), c.args.begin(), c.args.end());
    ProcessResult r = RunLogSiftProcess(args);
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.exit_code, 0);
    std::string why;
    EXPECT_TRUE(MatchesVerdicts(r.out, c.want, &why)) << why;
  }
}

TEST(EndToEnd, Utf16LogsGiveTheVerdictsOfTheirEightBitForm) {
  std::string dir = MakeTempDir();
  for (const Case& c : Cases()) {
    bool ascii = true;
    for (char b : c.log) ascii = ascii && static_cast<unsigned char>(b) < 0x80;
    if (!ascii) continue;
    SCOPED_TRACE(c.name);
    std::string path = dir + "/job.log";
    WriteFile(path, Utf16Le(Widen(c.log)));
    Messages args = {path};
    args.insert(args.end(), c.args.begin(), c.args.end());
    ProcessResult r = RunLogSiftProcess(args);
    EXPECT_EQ(r.exit_code, 0);
    std::string why;
    EXPECT_TRUE(MatchesVerdicts(r.out, c.want, &why)) << why;
  }
}

TEST(EndToEnd, Utf16NonAsciiAndUndecodable) {
  std::string path = MakeTempDir() + "/job.log";
  const std::u16string dest = u"\\\\\u0416\u4e2d-nas\\b\\";
  const std::u16string file = u"D:\\\u0416ur\u4e2d.pst";
  std::u16string log = Widen(Header("x", "*.*")) + u"  Dest : " + dest + u"\r\n" +
                       u"2026/12/11 02:00:07 ERROR 32 (0x00000020) Copying File " + file + u"\r\n" +
                       u"ERROR 5 (0x5) half \xd800 pair\r\n" + Widen(FilesRow("        1         1"));
  WriteFile(path, Utf16Le(log) + "!");  // an odd last byte
  ProcessResult r = RunLogSiftProcess({path});
  EXPECT_EQ(r.exit_code, 0);
  std::string why;
  EXPECT_TRUE(MatchesVerdicts(r.out, {"Err 32 Copying File " + Native(file), "Err 5 half ? pair",
                                      "Inf " + Native(u"\u0416\u4e2d-nas") + " *.*1 file copied ok "}, &why))
      << why;

  // 8-bit text behind FF FE decodes to characters that hold no sought text: no verdict, no hang.
  WriteFile(path, "\xff\xfe" + Header("D:\\", "*.*") + kErr32 + FilesRow("        1         1"));
  r = RunLogSiftProcess({path});
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "");
}

// Two real UTF-16LE logs, when the shared folder of real logs is there: each summary table
// yields its line, and the 8-bit form of the same log gives the same verdicts.
TEST(EndToEnd, RealUtf16Logs) {
  struct Log {
    const char* name;
    size_t summaries;
  } logs[] = {{"en-utf16le-bom-17-runs-polish-dates.log", 17}, {"en-utf16le-bom-exc-files-nfl-ndl.log", 1}};
  std::string folder = std::string(LOGSIFT_SOURCE_DIR) + "/../shared/real-logs/";
  std::string dir = MakeTempDir();
  for (const Log& log : logs) {
    SCOPED_TRACE(log.name);
    struct stat info;
    if (stat((folder + log.name).c_str(), &info) != 0) GTEST_SKIP() << "no " << folder << log.name;
    ProcessResult r = RunLogSiftProcess({folder + log.name});
    EXPECT_EQ(r.exit_code, 0);
    Messages got = MessagesOf(r.out);
    ASSERT_EQ(got.size(), log.summaries);
    for (const std::string& m : got) EXPECT_EQ(m.substr(0, 4), "Wrn ") << m;  // all with files skipped as equal

    std::string bytes = ReadFile(folder + log.name);
    std::u16string units;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
    }
    WriteFile(dir + "/8bit.log", Native(units));
    EXPECT_EQ(MessagesOf(RunLogSiftProcess({dir + "/8bit.log"}).out), got);

    // An "Exc Files :" header line lists excluded names; they never become the selection.
    std::string text = Utf8(units);
    for (size_t at = text.find("Exc Files : "); at != std::string::npos; at = text.find("Exc Files : ", at + 1)) {
      std::string excluded = text.substr(at + 12, text.find_first_of(" \r\n", at + 12) - at - 12);
      for (const std::string& m : got) EXPECT_EQ(m.find(excluded), std::string::npos) << m;
    }
  }
}

TEST(EndToEnd, ShippedExample) {
  ProcessResult r = RunLogSiftProcess({std::string(LOGSIFT_SOURCE_DIR) + "/examples/job.log"});
  EXPECT_EQ(r.exit_code, 0);
  std::string why;
  EXPECT_TRUE(MatchesVerdicts(r.out,
                              {"Err 32 Copying File D:\\data\\projects\\mail\\archive.pst",
                               "Err backup01 *.* 7 files : 3 Copied 3 Skipped 1 Failed 1 Extras"},
                              &why))
      << why;
}

TEST(EndToEnd, UsageText) {
  ProcessResult r = RunLogSiftProcess({});
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out,
            "LogSift v1.3  by the LogSift developers\r\n\r\n"
            " LogSift needs to know what robocopy logfile to scan\r\n"
            " Usage: LogSift [>OutputFile] Robologfile [Extra Comment]\r\n"
            "  - logfile is the robocopy logfile to check\r\n"
            "  - Outputfile determines where the info goes (append)\r\n"
            "  - Extra Comment can be added to the Outputfile\r\n"
            "    If not specified the destination server or drive letter will be used\r\n");
}

TEST(EndToEnd, AbsentLogAndDirectory) {
  std::string dir = MakeTempDir();
  for (const std::string& path : {dir + "/missing.log", dir}) {
    SCOPED_TRACE(path);
    ProcessResult r = RunLogSiftProcess({path, "comment"});
    EXPECT_EQ(r.exit_code, 5);
    std::string why;
    EXPECT_TRUE(MatchesVerdicts(r.out, {"LogSift Err Logfile " + path + " NIET aanwezig"}, &why)) << why;
  }
}

TEST(EndToEnd, UnreadableLogGivesNothing) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads any file";
  std::string path = MakeTempDir() + "/locked.log";
  WriteFile(path, "ERROR 5 x\r\n");
  chmod(path.c_str(), 0);
  ProcessResult r = RunLogSiftProcess({path});
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "");
}

TEST(EndToEnd, StampIsTheLocalTime) {
  std::string path = MakeTempDir() + "/job.log";
  WriteFile(path, "ERROR 5 x\r\n");
  auto stamp = [] {
    time_t now = time(nullptr);
    struct tm t;
    localtime_r(&now, &t);
    char buf[32];
    strftime(buf, sizeof buf, "%d/%m/%y %H:%M ", &t);
    return std::string(buf);
  };
  std::string before = stamp();
  ProcessResult r = RunLogSiftProcess({path}, {}, {"LC_ALL=C"});
  std::string after = stamp();
  ASSERT_GE(r.out.size(), 15u);
  std::string got = r.out.substr(0, 15);
  EXPECT_TRUE(got == before || got == after) << got << " not " << before;
  EXPECT_EQ(r.out.substr(15), "Err 5 x\r\n");
}

TEST(EndToEnd, AppendsToTheCollectingFile) {
  std::string dir = MakeTempDir();
  WriteFile(dir + "/job.log", "ERROR 5 x\r\n");
  WriteFile(dir + "/collect.txt", "earlier line\r\n");
  StdoutTarget target = ToAppend(dir + "/collect.txt");
  ASSERT_EQ(RunLogSiftProcess({dir + "/job.log"}, target).exit_code, 0);
  ASSERT_EQ(RunLogSiftProcess({dir + "/job.log"}, target).exit_code, 0);
  std::string all = ReadFile(dir + "/collect.txt");
  ASSERT_EQ(all.substr(0, 14), "earlier line\r\n");
  std::string why;
  EXPECT_TRUE(MatchesVerdicts(all.substr(14), {"Err 5 x", "Err 5 x"}, &why)) << why;
}

}  // namespace
