// End-to-end tests for robocopy's labels in other languages: one small log per language, in its
// code page and as UTF-16LE, and the real logs of the shared folder, when it is there.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cctype>
#include <cstdint>
#include <utility>
#include <vector>

#include "tests/process.h"
#include "tests/text_forms.h"

namespace {

using Messages = std::vector<std::string>;
using CodePage = std::vector<std::pair<char16_t, const char*>>;  // the non-ASCII characters used

// The code-page form of text; ASCII stays as it is.
std::string Encode(const std::u16string& text, const CodePage& code_page) {
  std::string out;
  for (char16_t u : text) {
    if (u < 0x80) {
      out += static_cast<char>(u);
      continue;
    }
    const char* bytes = nullptr;
    for (const auto& entry : code_page) {
      if (entry.first == u) bytes = entry.second;
    }
    if (!bytes) {
      ADD_FAILURE() << "no code-page bytes for U+" << std::hex << static_cast<int>(u);
      bytes = "?";
    }
    out += bytes;
  }
  return out;
}

// Robocopy's texts as a log in that language shows them; server and word are our own.
struct Language {
  const char* name;
  CodePage code_page;
  std::u16string dest;
  std::u16string files;      // in the header
  std::u16string files_row;  // in the summary table
  std::u16string heading;
  std::u16string error;      // empty: no error line of that language is known
  std::u16string server;
  std::u16string word;
};

std::vector<Language> Languages() {
  return {
      {"French", {{0x00a0, "\xff"}, {0x00c9, "\x90"}, {0x00e9, "\x82"}},
       u"Dest :", u"Fichiers :", u"Fichiers\u00a0:",
       u"Total     Copi\u00e9    Ignor\u00e9Discordance     \u00c9CHEC    Extras", u"", u"caf\u00e9", u""},
      {"Spanish", {{0x00f1, "\xa4"}},
       u"Destino :", u"Archivos:", u"Archivos:",
       u"Total   Copiado   OmitidoNo coincidencia     ERROR    Extras", u"ERROR ", u"se\u00f1al", u"a\u00f1adir"},
      {"Portuguese", {{0x00e3, "\xc6"}, {0x00e7, "\x87"}},
       u"Destino :", u"Arquivos:", u"Arquivos:",
       u"Total   Copiada  IgnoradaIncompatibilidade     FALHA    Extras", u"", u"a\u00e7\u00e3o", u""},
      {"Russian",
       {{0x0410, "\x80"}, {0x0411, "\x81"}, {0x0412, "\x82"}, {0x0414, "\x84"}, {0x0418, "\x88"},
        {0x0419, "\x89"}, {0x041a, "\x8a"}, {0x041d, "\x8d"}, {0x041e, "\x8e"}, {0x041f, "\x8f"},
        {0x0421, "\x91"}, {0x0424, "\x94"}, {0x0428, "\x98"}, {0x0430, "\xa0"}, {0x0431, "\xa1"},
        {0x0432, "\xa2"}, {0x0433, "\xa3"}, {0x0435, "\xa5"}, {0x0437, "\xa7"}, {0x0438, "\xa8"},
        {0x0439, "\xa9"}, {0x043a, "\xaa"}, {0x043b, "\xab"}, {0x043d, "\xad"}, {0x043e, "\xae"},
        {0x043f, "\xaf"}, {0x0440, "\xe0"}, {0x0441, "\xe1"}, {0x0442, "\xe2"}, {0x0443, "\xe3"},
        {0x0447, "\xe7"}, {0x0449, "\xe9"}, {0x044b, "\xeb"}, {0x044f, "\xef"}},
       u"\u041d\u0430\u0437\u043d\u0430\u0447\u0435\u043d\u0438\u0435 :", u"\u0424\u0430\u0439\u043b\u044b:",
       u"\u0424\u0430\u0439\u043b\u043e\u0432 :",
       u"\u0412\u0441\u0435\u0433\u043e\u0421\u043a\u043e\u043f\u0438\u0440\u043e\u0432\u0430\u043d\u043e "
       u"\u041f\u0440\u043e\u043f\u0443\u0449\u0435\u043d\u043e\u041d\u0435\u0441\u043e\u043e\u0442\u0432"
       u"\u0435\u0442\u0441\u0442\u0432\u0438\u0435      \u0421\u0411\u041e\u0419\u0414\u043e\u043f\u043e"
       u"\u043b\u043d\u0435\u043d\u0438\u044f",
       u"\u041e\u0428\u0418\u0411\u041a\u0410 ", u"\u0441\u0435\u0440\u0432\u0435\u0440",
       u"\u043f\u0440\u043e\u0431\u0430"},
      {"Japanese",
       {{0x307f, "\x82\xdd"}, {0x30a1, "\x83\x40"}, {0x30a4, "\x83\x43"}, {0x30a8, "\x83\x47"},
        {0x30ad, "\x83\x4c"}, {0x30b3, "\x83\x52"}, {0x30b5, "\x83\x54"}, {0x30b9, "\x83\x58"},
        {0x30c3, "\x83\x62"}, {0x30d0, "\x83\x6f"}, {0x30d4, "\x83\x73"}, {0x30d5, "\x83\x74"},
        {0x30d7, "\x83\x76"}, {0x30e9, "\x83\x89"}, {0x30eb, "\x83\x8b"}, {0x30fc, "\x81\x5b"},
        {0x4e00, "\x88\xea"}, {0x4e0d, "\x95\x73"}, {0x5148, "\x90\xe6"}, {0x5408, "\x8d\x87"},
        {0x5931, "\x8e\xb8"}, {0x6557, "\x94\x73"}, {0x6e08, "\x8d\xcf"}, {0x81f4, "\x92\x76"},
        {0x8a08, "\x8c\x76"}, {0x8a66, "\x8e\x8e"}, {0x9a13, "\x8c\xb1"}},
       u"\u30b3\u30d4\u30fc\u5148 :", u"\u30d5\u30a1\u30a4\u30eb:", u"\u30d5\u30a1\u30a4\u30eb:",
       u"\u5408\u8a08     \u30b3\u30d4\u30fc\u6e08\u307f      \u30b9\u30ad\u30c3\u30d7       \u4e0d\u4e00"
       u"\u81f4        \u5931\u6557    Extras",
       u"\u30a8\u30e9\u30fc ", u"\u30b5\u30fc\u30d0", u"\u8a66\u9a13"},
      {"Chinese",
       {{0x4e0d, "\xb2\xbb"}, {0x4ed6, "\xcb\xfb"}, {0x4ef6, "\xbc\xfe"}, {0x5176, "\xc6\xe4"},
        {0x5236, "\xd6\xc6"}, {0x52a1, "\xce\xf1"}, {0x5339, "\xc6\xa5"}, {0x5668, "\xc6\xf7"},
        {0x590d, "\xb8\xb4"}, {0x5931, "\xca\xa7"}, {0x603b, "\xd7\xdc"}, {0x6570, "\xca\xfd"},
        {0x6587, "\xce\xc4"}, {0x670d, "\xb7\xfe"}, {0x6807, "\xb1\xea"}, {0x6d4b, "\xb2\xe2"},
        {0x76ee, "\xc4\xbf"}, {0x8bd5, "\xca\xd4"}, {0x8bef, "\xce\xf3"}, {0x8d25, "\xb0\xdc"},
        {0x8df3, "\xcc\xf8"}, {0x8fc7, "\xb9\xfd"}, {0x914d, "\xc5\xe4"}, {0x9519, "\xb4\xed"}},
       u"\u76ee\u6807:", u"\u6587\u4ef6:", u"\u6587\u4ef6:",
       u"\u603b\u6570        \u590d\u5236        \u8df3\u8fc7       \u4e0d\u5339\u914d        \u5931\u8d25"
       u"        \u5176\u4ed6",
       u"\u9519\u8bef ", u"\u670d\u52a1\u5668", u"\u6d4b\u8bd5"},
      {"Korean",
       {{0xac00, "\xb0\xa1"}, {0xac74, "\xb0\xc7"}, {0xb108, "\xb3\xca"}, {0xb300, "\xb4\xeb"},
        {0xb428, "\xb5\xca"}, {0xb700, "\xb6\xdc"}, {0xbc84, "\xb9\xf6"}, {0xbcf5, "\xba\xb9"},
        {0xbd88, "\xba\xd2"}, {0xc0ac, "\xbb\xe7"}, {0xc0c1, "\xbb\xf3"}, {0xc11c, "\xbc\xad"},
        {0xc2e4, "\xbd\xc7"}, {0xc77c, "\xc0\xcf"}, {0xc804, "\xc0\xfc"}, {0xccb4, "\xc3\xbc"},
        {0xcd94, "\xc3\xdf"}, {0xce58, "\xc4\xa1"}, {0xd30c, "\xc6\xc4"}, {0xd328, "\xc6\xd0"}},
       u"\ub300\uc0c1 :", u"\ud30c\uc77c :", u"\ud30c\uc77c :",
       u"\uc804\uccb4       \ubcf5\uc0ac\ub428      \uac74\ub108 \ub700       \ubd88\uc77c\uce58        "
       u"\uc2e4\ud328        \ucd94\uac00",
       u"", u"\uc11c\ubc84", u""},
      {"German", {{0x00dc, "\x9a"}, {0x00df, "\xe1"}, {0x00f6, "\x94"}, {0x00fc, "\x81"}},
       u"Ziel :", u"Dateien :", u"Dateien:",
       u"Insgesamt   Kopiert\u00dcbersprungenKeine \u00dcbereinstimmung    FEHLER    Extras", u"FEHLER ",
       u"B\u00fchne", u"Gr\u00f6\u00dfe"},
  };
}

// Each count right-aligned in a field of 10, as robocopy writes the row right after its label.
std::u16string Counts(std::vector<int> counts) {
  std::u16string row;
  for (int c : counts) {
    std::u16string n = Widen(std::to_string(c));
    row += std::u16string(10 - n.size(), u' ') + n;
  }
  return row;
}

// A run with a network destination, a repeated error (where the language has an error word)
// and a summary with one failed file; and the verdicts it gives.
std::u16string LogOf(const Language& l) {
  std::u16string log = u"-------------------------------------------------------------------------------\r\n"
                       u"   ROBOCOPY     ::     Robust File Copy for Windows\r\n\r\n"
                       u"  " + l.dest + u" \\\\" + l.server + u"\\share\\\r\n\r\n"
                       u"    " + l.files + u" *.*\r\n\r\n";
  std::u16string error = u"2026/12/11 02:00:07 " + l.error + u"5 (0x00000005) " + l.word + u" C:\\x.txt\r\n";
  if (!l.error.empty()) log += error + u"    \r\n" + error;
  return log + u"               " + l.heading + u"\r\n" + u"   " + l.files_row + Counts({10, 8, 1, 0, 1, 0}) +
         u"\r\n   Bytes :    10.0 k     8.0 k     1.0 k         0     1.0 k         0\r\n";
}

std::vector<std::u16string> VerdictsOf(const Language& l) {
  std::vector<std::u16string> want;
  if (!l.error.empty()) want.push_back(u"Err 5 " + l.word + u" C:\\x.txt");
  want.push_back(u"Err " + l.server + u" *.* 10 files : 8 Copied 1 Skipped 1 Failed");
  return want;
}

TEST(EndToEndLabels, EveryLanguageInItsCodePageAndInUtf16) {
  std::string dir = MakeTempDir();
  for (const Language& l : Languages()) {
    SCOPED_TRACE(l.name);
    std::u16string log = LogOf(l);
    Messages want_cp, want_utf8;
    for (const std::u16string& v : VerdictsOf(l)) {
      want_cp.push_back(Encode(v, l.code_page));
      want_utf8.push_back(Utf8(v));
    }
    std::string why;
    WriteFile(dir + "/cp.log", Encode(log, l.code_page));
    ProcessResult r = RunLogSiftProcess({dir + "/cp.log"});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_TRUE(MatchesVerdicts(r.out, want_cp, &why)) << why;

    // A Windows runner decodes UTF-16 to a Western code page, which holds none of these labels.
    if (UnderWindowsRunner()) continue;
    WriteFile(dir + "/utf16.log", Utf16Le(log));
    r = RunLogSiftProcess({dir + "/utf16.log"});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_TRUE(MatchesVerdicts(r.out, want_utf8, &why)) << why;
  }
}

// FNV-1a, 64 bits, over each message and a LF after it.
uint64_t HashOf(const Messages& messages) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (const std::string& m : messages) {
    for (char c : m + "\n") {
      h ^= static_cast<unsigned char>(c);
      h *= 0x100000001b3ull;
    }
  }
  return h;
}

// A verdict without the texts that come from the log: its class, then the error code of an
// error line, or the counts of a summary line (from the number before the first " file").
std::string ShapeOf(const std::string& message) {
  std::string shape = message.substr(0, 3);
  size_t file = message.find(" file");
  size_t digits = file;
  while (file != std::string::npos && digits > 0 && isdigit(static_cast<unsigned char>(message[digits - 1]))) {
    --digits;
  }
  if (file != std::string::npos && digits < file) return shape + " " + message.substr(digits);
  return shape + " " + message.substr(4, message.find(' ', 4) - 4);
}

// The real logs of the shared folder. Their verdicts hold paths and server names of other
// people's machines, so only their shapes and a hash of all their bytes are written down here.
TEST(EndToEndLabels, RealLogs) {
  struct Log {
    const char* name;
    uint64_t hash;
    Messages shapes;
  } logs[] = {
      {"en-2014-mt8-unc-7245-new-files-progress-cr.log", 0xb5aad7faf405478cull, {"Inf 7245 files copied ok "}},
      {"en-turkish-locale-speed-grouping-lf.log", 0x01e2042555bfb8b6ull, {"Inf 46108 files copied ok "}},
      // "Dest =" sets the label, but the run has no summary.
      {"en-unc-unreachable-dest-equals-errors-no-summary.txt", 0x6f507d1b1a4af1d4ull,
       {"Err 53", "Err 53", "Err 53"}},
      {"en-usage-error-manage-auditing-lf.log", 0xdcabacc2599c87d5ull, {"Err :"}},
      {"en-utf16le-bom-17-runs-polish-dates.log", 0xfeba06c118697b76ull,
       {"Wrn 1 file skipped (equal)", "Wrn 17 files skipped (equal)", "Wrn 71 files skipped (equal)",
        "Wrn 4169 files skipped (equal)", "Wrn 25 files skipped (equal)", "Wrn 96 files skipped (equal)",
        "Wrn 931 files skipped (equal)", "Wrn 3 files skipped (equal)", "Wrn 116 files skipped (equal)",
        "Wrn 11 files skipped (equal)", "Wrn 3 files skipped (equal)", "Wrn 6 files skipped (equal)",
        "Wrn 664 files skipped (equal)", "Wrn 1 file copied ok 5 files skipped (equal)",
        "Wrn 3 files skipped (equal)", "Wrn 265 files skipped (equal)",
        "Wrn 9 files copied ok 26636 files skipped (equal)"}},
      {"en-utf16le-bom-exc-files-nfl-ndl.log", 0xd3c3078cda8ccd85ull,
       {"Wrn 6743 files copied ok 12 files skipped (equal)"}},
      // The heading holds "ERROR ": a heading, not an error line.
      {"es-cp850-lf-heading-contains-ERROR.log", 0x11eec83f3a297e3dull,
       {"Wrn 651 files copied ok 52 files skipped (equal)"}},
      {"es-cp850-mir-mt32-error32-deleting-own-log.log", 0x75afbbe38b6263daull,
       {"Err 32", "Inf 947 files copied ok "}},
      // The summary row has a NBSP before its colon.
      {"fr-cp850-nbsp-colons-localized-summary.log", 0xc83ad3d09e157343ull, {"Inf 41 files copied ok "}},
      // Two runs with "=" and error 67 each (the two errors take turns, so both count again),
      // then error 1231 on three files and a failed file, then seven clean runs.
      {"ja-cp932-10-runs-error1231-retries-retry-limit-failed1.log", 0x8cb56937dbccf229ull,
       {"Err 67", "Err 67", "Err 67", "Err 67", "Err 1231", "Err 1231", "Err 1231",
        "Err 11754 files : 11753 Copied 1 Failed 9 Extras", "Wrn 37 files copied ok 11717 files skipped (equal)",
        "Wrn 6221 files copied ok 5534 files skipped (equal)", "Wrn 576 files copied ok 11178 files skipped (equal)",
        "Wrn 9 files copied ok 11646 files skipped (equal)", "Wrn 13077 files skipped (equal)",
        "Wrn 13077 files skipped (equal)", "Wrn 23909 files skipped (equal)"}},
      {"ja-cp932-batch-wrapper-lines-6-runs-dest-equals-error67.log", 0x66e410315485142dull,
       {"Err 67", "Err 67", "Wrn 576 files copied ok 11160 files skipped (equal)", "Err 67", "Err 67",
        "Wrn 576 files copied ok 11160 files skipped (equal)", "Wrn 11736 files skipped (equal)",
        "Wrn 11736 files skipped (equal)"}},
      {"ja-cp932-error2-no-summary.log", 0x73c6a968f96ffdc7ull, {"Err 2"}},
      {"ja-cp932-move-mt32-error32-after-summary.log", 0x96743bba93316326ull,
       {"Inf 229 files copied ok ", "Err 32"}},
      {"ko-cp949-38446-new-files-progress-cr.log", 0x79758244d163b135ull, {"Inf 38446 files copied ok "}},
      {"ptbr-cp850-destino-label-speed-grouping.log", 0x8f9aab4620dcb73aull, {"Inf 46 files copied ok "}},
      {"ptbr-cp850-localized-summary-progress-cr.log", 0xfe5a2ecb6bb95cdaull,
       {"Wrn 12 files copied ok 4 files skipped (equal)"}},
      // Four error lines with one text, and "=" for the destination.
      {"ru-cp866-errors-retries-mt32-dest-equals.log", 0x9417764563452371ull,
       {"Err 5", "Err 180 files : 22 Copied 157 Skipped 1 Failed 4 Extras"}},
      {"zhcn-cp936-25-runs-exc-dirs-progress-cr.log", 0x04dcca89e623ccffull,
       {"Inf 33 files copied ok ", "Inf 33 files copied ok ", "Inf 53 files copied ok ", "Inf 33 files copied ok ",
        "Inf 53 files copied ok ", "Inf 33 files copied ok ", "Inf 53 files copied ok ", "Inf 34 files copied ok ",
        "Inf 97 files copied ok ", "Inf 35 files copied ok ", "Inf 97 files copied ok ", "Inf 39 files copied ok ",
        "Inf 113 files copied ok ", "Inf 39 files copied ok ", "Inf 113 files copied ok ", "Inf 43 files copied ok ",
        "Inf 121 files copied ok ", "Inf 47 files copied ok ", "Inf 142 files copied ok ", "Inf 47 files copied ok ",
        "Inf 142 files copied ok ", "Inf 48 files copied ok ", "Inf 142 files copied ok ", "Inf 48 files copied ok ",
        "Inf 142 files copied ok "}},
  };
  std::string folder = std::string(LOGSIFT_SOURCE_DIR) + "/../shared/real-logs/";
  struct stat info;
  if (stat(folder.c_str(), &info) != 0) GTEST_SKIP() << "no " << folder;
  for (const Log& log : logs) {
    SCOPED_TRACE(log.name);
    if (stat((folder + log.name).c_str(), &info) != 0) {
      ADD_FAILURE() << "missing from " << folder;
      continue;
    }
    ProcessResult r = RunLogSiftProcess({folder + log.name});
    EXPECT_EQ(r.exit_code, 0);
    std::string why;
    EXPECT_TRUE(MatchesVerdicts(r.out, MessagesOf(r.out), &why)) << why;  // every line stamped
    Messages got = MessagesOf(r.out);
    Messages shapes;
    for (const std::string& m : got) {
      shapes.push_back(ShapeOf(m));
      EXPECT_NE(m, "Err    Extras");
    }
    EXPECT_EQ(shapes, log.shapes);
    EXPECT_EQ(HashOf(got), log.hash) << std::hex << HashOf(got);
  }
}

}  // namespace
