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
  std::u16string error;  // empty: no error line of that language is known
  std::u16string server;
  std::u16string word;
};

std::vector<Language> Languages() {
  return {
      {"French",
       {{u'\u00a0', "\xff"}, {u'É', "\x90"}, {u'é', "\x82"}},
       u"Dest :",
       u"Fichiers :",
       u"Fichiers\u00a0:",
       u"Total     Copié    IgnoréDiscordance     ÉCHEC    Extras",
       u"",
       u"café",
       u""},
      {"Spanish",
       {{u'ñ', "\xa4"}},
       u"Destino :",
       u"Archivos:",
       u"Archivos:",
       u"Total   Copiado   OmitidoNo coincidencia     ERROR    Extras",
       u"ERROR ",
       u"señal",
       u"añadir"},
      {"Portuguese",
       {{u'ã', "\xc6"}, {u'ç', "\x87"}},
       u"Destino :",
       u"Arquivos:",
       u"Arquivos:",
       u"Total   Copiada  IgnoradaIncompatibilidade     FALHA    Extras",
       u"",
       u"ação",
       u""},
      {"Russian",
       {{u'А', "\x80"}, {u'Б', "\x81"}, {u'В', "\x82"}, {u'Д', "\x84"}, {u'И', "\x88"}, {u'Й', "\x89"},
        {u'К', "\x8a"}, {u'Н', "\x8d"}, {u'О', "\x8e"}, {u'П', "\x8f"}, {u'С', "\x91"}, {u'Ф', "\x94"},
        {u'Ш', "\x98"}, {u'а', "\xa0"}, {u'б', "\xa1"}, {u'в', "\xa2"}, {u'г', "\xa3"}, {u'е', "\xa5"},
        {u'з', "\xa7"}, {u'и', "\xa8"}, {u'й', "\xa9"}, {u'к', "\xaa"}, {u'л', "\xab"}, {u'н', "\xad"},
        {u'о', "\xae"}, {u'п', "\xaf"}, {u'р', "\xe0"}, {u'с', "\xe1"}, {u'т', "\xe2"}, {u'у', "\xe3"},
        {u'ч', "\xe7"}, {u'щ', "\xe9"}, {u'ы', "\xeb"}, {u'я', "\xef"}},
       u"Назначение :",
       u"Файлы:",
       u"Файлов :",
       u"ВсегоСкопировано "
       u"ПропущеноНесоотв"
       u"етствие      СБОЙДопо"
       u"лнения",
       u"ОШИБКА ",
       u"сервер",
       u"проба"},
      {"Japanese",
       {{u'み', "\x82\xdd"}, {u'ァ', "\x83\x40"}, {u'イ', "\x83\x43"}, {u'エ', "\x83\x47"},
        {u'キ', "\x83\x4c"}, {u'コ', "\x83\x52"}, {u'サ', "\x83\x54"}, {u'ス', "\x83\x58"},
        {u'ッ', "\x83\x62"}, {u'バ', "\x83\x6f"}, {u'ピ', "\x83\x73"}, {u'フ', "\x83\x74"},
        {u'プ', "\x83\x76"}, {u'ラ', "\x83\x89"}, {u'ル', "\x83\x8b"}, {u'ー', "\x81\x5b"},
        {u'一', "\x88\xea"}, {u'不', "\x95\x73"}, {u'先', "\x90\xe6"}, {u'合', "\x8d\x87"},
        {u'失', "\x8e\xb8"}, {u'敗', "\x94\x73"}, {u'済', "\x8d\xcf"}, {u'致', "\x92\x76"},
        {u'計', "\x8c\x76"}, {u'試', "\x8e\x8e"}, {u'験', "\x8c\xb1"}},
       u"コピー先 :",
       u"ファイル:",
       u"ファイル:",
       u"合計     コピー済み      スキップ       不一"
       u"致        失敗    Extras",
       u"エラー ",
       u"サーバ",
       u"試験"},
      {"Chinese",
       {{u'不', "\xb2\xbb"}, {u'他', "\xcb\xfb"}, {u'件', "\xbc\xfe"}, {u'其', "\xc6\xe4"},
        {u'制', "\xd6\xc6"}, {u'务', "\xce\xf1"}, {u'匹', "\xc6\xa5"}, {u'器', "\xc6\xf7"},
        {u'复', "\xb8\xb4"}, {u'失', "\xca\xa7"}, {u'总', "\xd7\xdc"}, {u'数', "\xca\xfd"},
        {u'文', "\xce\xc4"}, {u'服', "\xb7\xfe"}, {u'标', "\xb1\xea"}, {u'测', "\xb2\xe2"},
        {u'目', "\xc4\xbf"}, {u'试', "\xca\xd4"}, {u'误', "\xce\xf3"}, {u'败', "\xb0\xdc"},
        {u'跳', "\xcc\xf8"}, {u'过', "\xb9\xfd"}, {u'配', "\xc5\xe4"}, {u'错', "\xb4\xed"}},
       u"目标:",
       u"文件:",
       u"文件:",
       u"总数        复制        跳过       不匹配        失败"
       u"        其他",
       u"错误 ",
       u"服务器",
       u"测试"},
      {"Korean",
       {{u'가', "\xb0\xa1"}, {u'건', "\xb0\xc7"}, {u'너', "\xb3\xca"}, {u'대', "\xb4\xeb"},
        {u'됨', "\xb5\xca"}, {u'뜀', "\xb6\xdc"}, {u'버', "\xb9\xf6"}, {u'복', "\xba\xb9"},
        {u'불', "\xba\xd2"}, {u'사', "\xbb\xe7"}, {u'상', "\xbb\xf3"}, {u'서', "\xbc\xad"},
        {u'실', "\xbd\xc7"}, {u'일', "\xc0\xcf"}, {u'전', "\xc0\xfc"}, {u'체', "\xc3\xbc"},
        {u'추', "\xc3\xdf"}, {u'치', "\xc4\xa1"}, {u'파', "\xc6\xc4"}, {u'패', "\xc6\xd0"}},
       u"대상 :",
       u"파일 :",
       u"파일 :",
       u"전체       복사됨      건너 뜀       불일치        "
       u"실패        추가",
       u"",
       u"서버",
       u""},
      {"German",
       {{u'Ü', "\x9a"}, {u'ß', "\xe1"}, {u'ö', "\x94"}, {u'ü', "\x81"}},
       u"Ziel :",
       u"Dateien :",
       u"Dateien:",
       u"Insgesamt   KopiertÜbersprungenKeine Übereinstimmung    FEHLER    Extras",
       u"FEHLER ",
       u"Bühne",
       u"Größe"},
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
  std::u16string log =
      u"-------------------------------------------------------------------------------\r\n"
      u"   ROBOCOPY     ::     Robust File Copy for Windows\r\n\r\n"
      u"  " +
      l.dest + u" \\\\" + l.server +
      u"\\share\\\r\n\r\n"
      u"    " +
      l.files + u" *.*\r\n\r\n";
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
  while (file != std::string::npos && digits > 0 &&
         isdigit(static_cast<unsigned char>(message[digits - 1]))) {
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
      {"en-2014-mt8-unc-7245-new-files-progress-cr.log",
       0xb5aad7faf405478cull,
       {"Inf 7245 files copied ok "}},
      {"en-turkish-locale-speed-grouping-lf.log", 0x01e2042555bfb8b6ull, {"Inf 46108 files copied ok "}},
      // "Dest =" sets the label, but the run has no summary.
      {"en-unc-unreachable-dest-equals-errors-no-summary.txt",
       0x6f507d1b1a4af1d4ull,
       {"Err 53", "Err 53", "Err 53"}},
      {"en-usage-error-manage-auditing-lf.log", 0xdcabacc2599c87d5ull, {"Err :"}},
      {"en-utf16le-bom-17-runs-polish-dates.log",
       0xfeba06c118697b76ull,
       {"Wrn 1 file skipped (equal)", "Wrn 17 files skipped (equal)", "Wrn 71 files skipped (equal)",
        "Wrn 4169 files skipped (equal)", "Wrn 25 files skipped (equal)", "Wrn 96 files skipped (equal)",
        "Wrn 931 files skipped (equal)", "Wrn 3 files skipped (equal)", "Wrn 116 files skipped (equal)",
        "Wrn 11 files skipped (equal)", "Wrn 3 files skipped (equal)", "Wrn 6 files skipped (equal)",
        "Wrn 664 files skipped (equal)", "Wrn 1 file copied ok 5 files skipped (equal)",
        "Wrn 3 files skipped (equal)", "Wrn 265 files skipped (equal)",
        "Wrn 9 files copied ok 26636 files skipped (equal)"}},
      {"en-utf16le-bom-exc-files-nfl-ndl.log",
       0xd3c3078cda8ccd85ull,
       {"Wrn 6743 files copied ok 12 files skipped (equal)"}},
      // The heading holds "ERROR ": a heading, not an error line.
      {"es-cp850-lf-heading-contains-ERROR.log",
       0x11eec83f3a297e3dull,
       {"Wrn 651 files copied ok 52 files skipped (equal)"}},
      {"es-cp850-mir-mt32-error32-deleting-own-log.log",
       0x75afbbe38b6263daull,
       {"Err 32", "Inf 947 files copied ok "}},
      // The summary row has a NBSP before its colon.
      {"fr-cp850-nbsp-colons-localized-summary.log", 0xc83ad3d09e157343ull, {"Inf 41 files copied ok "}},
      // Two runs with "=" and error 67 each (the two errors take turns, so both count again),
      // then error 1231 on three files and a failed file, then seven clean runs.
      {"ja-cp932-10-runs-error1231-retries-retry-limit-failed1.log",
       0x8cb56937dbccf229ull,
       {"Err 67", "Err 67", "Err 67", "Err 67", "Err 1231", "Err 1231", "Err 1231",
        "Err 11754 files : 11753 Copied 1 Failed 9 Extras",
        "Wrn 37 files copied ok 11717 files skipped (equal)",
        "Wrn 6221 files copied ok 5534 files skipped (equal)",
        "Wrn 576 files copied ok 11178 files skipped (equal)",
        "Wrn 9 files copied ok 11646 files skipped (equal)", "Wrn 13077 files skipped (equal)",
        "Wrn 13077 files skipped (equal)", "Wrn 23909 files skipped (equal)"}},
      {"ja-cp932-batch-wrapper-lines-6-runs-dest-equals-error67.log",
       0x66e410315485142dull,
       {"Err 67", "Err 67", "Wrn 576 files copied ok 11160 files skipped (equal)", "Err 67", "Err 67",
        "Wrn 576 files copied ok 11160 files skipped (equal)", "Wrn 11736 files skipped (equal)",
        "Wrn 11736 files skipped (equal)"}},
      {"ja-cp932-error2-no-summary.log", 0x73c6a968f96ffdc7ull, {"Err 2"}},
      {"ja-cp932-move-mt32-error32-after-summary.log",
       0x96743bba93316326ull,
       {"Inf 229 files copied ok ", "Err 32"}},
      {"ko-cp949-38446-new-files-progress-cr.log", 0x79758244d163b135ull, {"Inf 38446 files copied ok "}},
      {"ptbr-cp850-destino-label-speed-grouping.log", 0x8f9aab4620dcb73aull, {"Inf 46 files copied ok "}},
      {"ptbr-cp850-localized-summary-progress-cr.log",
       0xfe5a2ecb6bb95cdaull,
       {"Wrn 12 files copied ok 4 files skipped (equal)"}},
      // Four error lines with one text, and "=" for the destination.
      {"ru-cp866-errors-retries-mt32-dest-equals.log",
       0x9417764563452371ull,
       {"Err 5", "Err 180 files : 22 Copied 157 Skipped 1 Failed 4 Extras"}},
      {"zhcn-cp936-25-runs-exc-dirs-progress-cr.log",
       0x04dcca89e623ccffull,
       {"Inf 33 files copied ok ",  "Inf 33 files copied ok ",  "Inf 53 files copied ok ",
        "Inf 33 files copied ok ",  "Inf 53 files copied ok ",  "Inf 33 files copied ok ",
        "Inf 53 files copied ok ",  "Inf 34 files copied ok ",  "Inf 97 files copied ok ",
        "Inf 35 files copied ok ",  "Inf 97 files copied ok ",  "Inf 39 files copied ok ",
        "Inf 113 files copied ok ", "Inf 39 files copied ok ",  "Inf 113 files copied ok ",
        "Inf 43 files copied ok ",  "Inf 121 files copied ok ", "Inf 47 files copied ok ",
        "Inf 142 files copied ok ", "Inf 47 files copied ok ",  "Inf 142 files copied ok ",
        "Inf 48 files copied ok ",  "Inf 142 files copied ok ", "Inf 48 files copied ok ",
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
