// Tests for the main routine and the scan state machine, driven through an in-memory system.
#include "app/run.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/fake_platform.h"

namespace {

using Messages = std::vector<std::string>;

const std::string kHeading =
    "               Total    Copied   Skipped  Mismatch    FAILED    Extras\r\n";

std::string Row(const char* label, std::vector<int> counts) {
  std::string row = label;
  for (int c : counts) {
    std::string n = std::to_string(c);
    row += std::string(10 - n.size(), ' ') + n;
  }
  return row + "\r\n";
}

struct Result {
  int code;
  Messages messages;  // stamps stripped after checking they are the fixed clock's
  std::string raw;
};

Result RunOn(const std::string& log, std::vector<std::string> extra_args = {}) {
  FakeSystem sys;
  sys.files["job.log"] = log;
  std::vector<std::string> args = {"job.log"};
  args.insert(args.end(), extra_args.begin(), extra_args.end());
  Result r{RunLogSift(args, FakePlatform(&sys)), {}, sys.out};
  size_t at = 0;
  while (at < sys.out.size()) {
    size_t end = sys.out.find("\r\n", at);
    EXPECT_EQ(sys.out.substr(at, 15), "09/07/01 21:49 ");
    r.messages.push_back(sys.out.substr(at + 15, end - at - 15));
    at = end + 2;
  }
  return r;
}

const std::string kWorkedExample =
    "     Dest : \\\\srv01\\backup\\\r\n"
    "    Files : *.*\r\n"
    "2026/01/02 10:11:12 ERROR 32 (0x00000020) Copying File C:\\data\\a.pst\r\n"
    "2026/01/02 10:11:12 ERROR 32 (0x00000020) Copying File C:\\data\\a.pst\r\n" +
    kHeading + Row("    Files : ", {4, 1, 2, 0, 1, 0});

TEST(RunLogSift, UsageWithoutArguments) {
  FakeSystem sys;
  EXPECT_EQ(RunLogSift({}, FakePlatform(&sys)), kExitOk);
  EXPECT_EQ(sys.out,
            "LogSift v1.3  by the LogSift developers\r\n"
            "\r\n"
            " LogSift needs to know what robocopy logfile to scan\r\n"
            " Usage: LogSift [>OutputFile] Robologfile [Extra Comment]\r\n"
            "  - logfile is the robocopy logfile to check\r\n"
            "  - Outputfile determines where the info goes (append)\r\n"
            "  - Extra Comment can be added to the Outputfile\r\n"
            "    If not specified the destination server or drive letter will be used\r\n");
  EXPECT_EQ(sys.opens, 0);
}

TEST(RunLogSift, AbsentLogOrDirectory) {
  FakeSystem sys;
  sys.directories.insert("D:\\logs");
  EXPECT_EQ(RunLogSift({"D:\\logs\\job1.log", "c"}, FakePlatform(&sys)), kExitLogAbsent);
  EXPECT_EQ(RunLogSift({"D:\\logs"}, FakePlatform(&sys)), kExitLogAbsent);
  EXPECT_EQ(sys.out,
            "09/07/01 21:49 LogSift Err Logfile D:\\logs\\job1.log NIET aanwezig\r\n"
            "09/07/01 21:49 LogSift Err Logfile D:\\logs NIET aanwezig\r\n");
}

TEST(RunLogSift, UnopenableLogEndsQuietly) {
  FakeSystem sys;
  sys.unopenable.insert("job.log");
  EXPECT_EQ(RunLogSift({"job.log"}, FakePlatform(&sys)), kExitOk);
  EXPECT_EQ(sys.out, "");
}

TEST(RunLogSift, WorkedExample) {
  Result r = RunOn(kWorkedExample);
  EXPECT_EQ(r.code, kExitOk);
  EXPECT_EQ(r.messages, (Messages{"Err 32 Copying File C:\\data\\a.pst",
                                  "Err srv01 *.* 4 files : 1 Copied 2 Skipped 1 Failed"}));
  EXPECT_EQ(RunOn(kWorkedExample, {"job1", "ignored"}).messages,
            (Messages{"Err 32 Copying File C:\\data\\a.pst",
                      "Err job1 *.* 4 files : 1 Copied 2 Skipped 1 Failed"}));
}

TEST(ScanLoop, DestinationLabels) {
  struct Case {
    std::string dest_line;
    std::string want;
  } cases[] = {
      {"     Dest : \\\\srv01\\backup\\data\\", "Inf srv01 *.*1 file copied ok "},
      {"     Dest : D:\\backup\\", "Inf D: *.*1 file copied ok "},
      {"     Dest : nobackslash", "Inf nobackslash *.*1 file copied ok "},
      {"     Dest : \\only-first", "Inf \\only-first *.*1 file copied ok "},
      {"     Dest : " + std::string(50, 'x'), "Inf " + std::string(40, 'x') + " *.*1 file copied ok "},
      {"     Dest :", "Inf  *.*1 file copied ok "},  // empty value
      // The network test looks at the whole line, wherever "Dest :" stands.
      {"Dest : abcd\\e x Dest : \\\\srv", "Inf cd *.*1 file copied ok "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dest_line);
    Result r = RunOn(c.dest_line + "\r\n    Files : *.*\r\n" + kHeading + Row("    Files : ", {1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(r.messages, Messages{c.want});
  }
}

TEST(ScanLoop, FileSelectionKeepsBlanksAndIsCutAt40) {
  std::string sel(45, 's');
  EXPECT_EQ(RunOn("  Files : *.pst   \r\n" + kHeading + Row("   Files : ", {0, 0, 0, 0, 0, 0})).messages,
            Messages{"Inf  *.pst   "});
  EXPECT_EQ(RunOn("Files : " + sel + "\r\n" + kHeading + Row("   Files : ", {0, 0, 0, 0, 0, 0})).messages,
            Messages{"Inf  " + std::string(40, 's')});
}

TEST(ScanLoop, TableStates) {
  // A heading never followed by a files row yields nothing.
  EXPECT_EQ(RunOn("Dest : D:\\\r\n" + kHeading + "   Dirs :  1\r\n").messages, Messages{});
  // Heading and counts on one line.
  std::string heading = kHeading.substr(0, kHeading.size() - 2);
  EXPECT_EQ(RunOn("Dest : D:\\\r\n" + heading + Row(" Files : ", {2, 2, 0, 0, 0, 0})).messages,
            Messages{"Inf D: 2 files copied ok "});
  // A files row outside a table only records the selection; a later table uses it.
  EXPECT_EQ(RunOn("Files : a\r\nFiles : b\r\n" + kHeading + Row("   Files : ", {0, 0, 0, 0, 0, 0})).messages,
            Messages{"Inf  b"});
}

TEST(ScanLoop, ExcludedFilesLinesAreNotFilesLines) {
  std::string table = kHeading + Row("   Files : ", {1, 1, 0, 0, 0, 0});
  // The selection of the "Files :" line before stays, whatever "Exc" lists.
  EXPECT_EQ(RunOn("    Files : *.*\r\nExc Files : *.tmp\r\n  Exc Files : a.b\r\n" + table).messages,
            Messages{"Inf  *.*1 file copied ok "});
  // A run without a summary of its own: the next run's table still shows that selection.
  EXPECT_EQ(RunOn("    Files : *.doc\r\n Exc Files : ~*\r\n Dest : D:\\x\r\nExc Files : *.bak\r\n" + table).messages,
            Messages{"Inf D: *.doc1 file copied ok "});
  // Inside the table it neither reads counts nor ends the table.
  EXPECT_EQ(RunOn("Files : *.*\r\n" + kHeading + "Exc Files :         9         9\r\n" + Row("   Files : ", {2, 1, 1, 0, 0, 0})).messages,
            Messages{"Wrn  *.*1 file copied ok 1 file skipped (equal)"});
  // Only "Exc " directly before counts.
  EXPECT_EQ(RunOn("Files : *.*\r\nExc  Files : *.b\r\nXExc Files : *.c\r\n" + table).messages,
            Messages{"Inf  *.b1 file copied ok "});
}

TEST(ScanLoop, ThreeRunsReuseTheLabel) {
  std::string run1 = " Dest : \\\\srv01\\b\\\r\n Files : *.*\r\n" + kHeading + Row("   Files : ", {3, 3, 0, 0, 0, 0});
  std::string run2 = " Files : *.doc\r\n" + kHeading + Row("   Files : ", {5, 2, 3, 0, 0, 0});
  std::string run3 = " Dest : E:\\x\\\r\n" + kHeading + Row("   Files : ", {2, 1, 0, 0, 1, 0});
  EXPECT_EQ(RunOn(run1 + run2 + run3).messages,
            (Messages{"Inf srv01 *.*3 files copied ok ", "Wrn srv01 *.doc2 files copied ok 3 files skipped (equal)",
                      "Err E: *.doc 2 files : 1 Copied 1 Failed"}));
}

TEST(ScanLoop, ErrorLinesAndOtherTests) {
  // "Dest :" and "ERROR " on one line: both tests apply.
  EXPECT_EQ(RunOn("Dest : D:\\x ERROR 5 (0x5) denied\r\n" + kHeading + Row("   Files : ", {0, 0, 0, 0, 0, 0})).messages,
            (Messages{"Err 5 denied", "Inf D: "}));
  // An error line inside the table neither reads counts nor ends the table.
  EXPECT_EQ(RunOn(kHeading + "   Files : ERROR 2 (0x2) gone\r\n" + Row("   Files : ", {1, 1, 0, 0, 0, 0})).messages,
            (Messages{"Err 2 gone", "Inf  1 file copied ok "}));
  // Nor does it record a selection in the header.
  EXPECT_EQ(RunOn("Files : *.a\r\nFiles : ERROR 2 x\r\n" + kHeading + Row("   Files : ", {0, 0, 0, 0, 0, 0})).messages,
            (Messages{"Err 2 x", "Inf  *.a"}));
  // The repeat memory crosses copy runs.
  std::string run = "ERROR 5 (0x5) denied\r\n" + kHeading + Row("   Files : ", {1, 0, 0, 0, 1, 0});
  EXPECT_EQ(RunOn(run + run).messages,
            (Messages{"Err 5 denied", "Err   1 files : 1 Failed", "Err   1 files : 1 Failed"}));
}

TEST(ScanLoop, DestEqualsNamesTheRun) {
  // Robocopy writes "Dest =" when it cannot get the destination's file system type.
  const std::string table = kHeading + Row("    Files : ", {1, 1, 0, 0, 0, 0});
  struct Case {
    std::string dest_line;
    std::string want;
  } cases[] = {
      {"     Dest = \\\\srv02\\share\\", "Inf srv02 *.*1 file copied ok "},
      {"     Dest = E:\\backup\\", "Inf E: *.*1 file copied ok "},
      // The network rule looks for the label that was found: "Dest :" here has no "\\\\" after it.
      {"Dest : x\\ Dest = \\\\srv", "Inf x *.*1 file copied ok "},
      // English first, wherever it stands in the line.
      {"Destino : \\\\es\\x Dest = \\\\en\\x", "Inf en *.*1 file copied ok "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dest_line);
    EXPECT_EQ(RunOn(c.dest_line + "\r\n    Files : *.*\r\n" + table).messages, Messages{c.want});
  }
  // A second run with only "Dest =" is no longer credited to the first run's server.
  EXPECT_EQ(RunOn("     Dest : \\\\srv01\\a\\\r\n" + table + "     Dest = \\\\srv02\\b\\\r\n" + table).messages,
            (Messages{"Inf srv01 1 file copied ok ", "Inf srv02 1 file copied ok "}));
}

TEST(ScanLoop, ErrorWordsInsideAHeading) {
  const std::string es = "Total   Copiado   OmitidoNo coincidencia     ERROR    Extras";
  const std::string row = Row(" Archivos:", {3, 2, 1, 0, 0, 0});
  // The Spanish heading holds "ERROR ": a heading, not the error "Err    Extras".
  EXPECT_EQ(RunOn("   Destino : c:\\x\\\r\n   Archivos: *.*\r\n  " + es + "\r\n" + row).messages,
            Messages{"Wrn c: *.*2 files copied ok 1 file skipped (equal)"});
  // A real error on the heading's line still counts, and the heading still opens the table.
  EXPECT_EQ(RunOn(es + " ERROR 5 (0x00000005) denied\r\n" + row).messages,
            (Messages{"Err 5 denied", "Wrn  2 files copied ok 1 file skipped (equal)"}));
  // An English line holding the English heading and an error word is an error line, as ever.
  EXPECT_EQ(RunOn(kHeading.substr(0, kHeading.size() - 2) + " ERROR 2 x\r\n" + row).messages,
            (Messages{"Err 2 x", "Wrn  2 files copied ok 1 file skipped (equal)"}));
}

TEST(ScanLoop, WindowsStartOneByteAfterTheLabel) {
  // "Arquivos:" is 9 bytes, "Files :" 7: the same counts under either, and in the header the
  // selection starts one byte after the label too.
  const std::string pt = "Total   Copiada  IgnoradaIncompatibilidade     FALHA    Extras\r\n";
  EXPECT_EQ(RunOn("Arquivos: *.doc\r\n" + pt + Row("  Arquivos:", {7, 3, 3, 0, 1, 0})).messages,
            Messages{"Err  *.doc 7 files : 3 Copied 3 Skipped 1 Failed"});
  // A Russian summary row in UTF-8 ("Файлов :", 14 bytes), as a decoded UTF-16 log gives it.
  const std::string ru_row = "\xd0\xa4\xd0\xb0\xd0\xb9\xd0\xbb\xd0\xbe\xd0\xb2 :";
  const std::string ru_heading =
      "\xd0\x92\xd1\x81\xd0\xb5\xd0\xb3\xd0\xbe\xd0\xa1\xd0\xba\xd0\xbe\xd0\xbf\xd0\xb8\xd1\x80\xd0\xbe\xd0\xb2"
      "\xd0\xb0\xd0\xbd\xd0\xbe \xd0\x9f\xd1\x80\xd0\xbe\xd0\xbf\xd1\x83\xd1\x89\xd0\xb5\xd0\xbd\xd0\xbe\xd0\x9d"
      "\xd0\xb5\xd1\x81\xd0\xbe\xd0\xbe\xd1\x82\xd0\xb2\xd0\xb5\xd1\x82\xd1\x81\xd1\x82\xd0\xb2\xd0\xb8\xd0\xb5"
      "      \xd0\xa1\xd0\x91\xd0\x9e\xd0\x99\xd0\x94\xd0\xbe\xd0\xbf\xd0\xbe\xd0\xbb\xd0\xbd\xd0\xb5\xd0\xbd\xd0\xb8"
      "\xd1\x8f";
  EXPECT_EQ(RunOn(ru_heading + "\r\n" + Row(("   " + ru_row).c_str(), {180, 22, 157, 0, 1, 4})).messages,
            Messages{"Err   180 files : 22 Copied 157 Skipped 1 Failed 4 Extras"});
}

TEST(ScanLoop, WriteFailureStopsTheScan) {
  FakeSystem sys;
  sys.files["job.log"] = "ERROR 1 a\r\nERROR 2 b\r\nERROR 3 c\r\n";
  sys.max_read = 11;  // one line per read, so the stop is visible in the read count
  sys.writes_before_failure = 1;
  EXPECT_EQ(RunLogSift({"job.log"}, FakePlatform(&sys)), kExitOk);
  EXPECT_EQ(sys.out, "09/07/01 21:49 Err 1 a\r\n");
  EXPECT_LT(sys.read_pos, sys.files["job.log"].size());
  EXPECT_EQ(sys.closes, 1);
}

}  // namespace
