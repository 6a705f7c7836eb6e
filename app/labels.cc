// Robocopy's own labels in every language it writes its logs in, as the bytes the scan looks for:
// each in its OEM code page and in UTF-8 (decoded UTF-16 logs, logs saved as UTF-8).
//
// English comes first in every list and the first label a line holds wins, so English logs read
// exactly as they always did. A byte string already listed for an earlier language is not
// repeated (noted in place). French, Portuguese and Korean have no error word: no error line of
// theirs has been seen. German and the Chinese error word come from transcribed logs.
#include "app/labels.h"

namespace {

// One label a line, with the text it stands for beside it.
// clang-format off

// Destination labels: the value starts one byte after the label.
constexpr std::string_view kDest[] = {
    "Dest :",  // English: "Dest :"
    "Dest =",  // English: "Dest =", written when robocopy cannot get the destination's file system type
    // French, ASCII in both forms: same bytes as English above
    "Destino :",  // Spanish, ASCII in both forms: "Destino :"
    // Portuguese "Dest :" and "Destino :": same bytes as English and Spanish above
    "\x8d\xa0\xa7\xad\xa0\xe7\xa5\xad\xa8\xa5 :",  // Russian CP866: "Назначение :"; by analogy with "Dest :" beside "Dest =", only the = form seen in a log
    "\xd0\x9d\xd0\xb0\xd0\xb7\xd0\xbd\xd0\xb0\xd1\x87\xd0\xb5\xd0\xbd\xd0\xb8\xd0\xb5 :",  // Russian UTF-8: "Назначение :"; by analogy with "Dest :" beside "Dest =", only the = form seen in a log
    "\x8d\xa0\xa7\xad\xa0\xe7\xa5\xad\xa8\xa5 =",  // Russian CP866: "Назначение ="
    "\xd0\x9d\xd0\xb0\xd0\xb7\xd0\xbd\xd0\xb0\xd1\x87\xd0\xb5\xd0\xbd\xd0\xb8\xd0\xb5 =",  // Russian UTF-8: "Назначение ="
    "\x83R\x83s\x81[\x90\xe6 :",  // Japanese CP932: "コピー先 :"
    "\xe3\x82\xb3\xe3\x83\x94\xe3\x83\xbc\xe5\x85\x88 :",  // Japanese UTF-8: "コピー先 :"
    "\x83R\x83s\x81[\x90\xe6 =",  // Japanese CP932: "コピー先 ="
    "\xe3\x82\xb3\xe3\x83\x94\xe3\x83\xbc\xe5\x85\x88 =",  // Japanese UTF-8: "コピー先 ="
    "\xc4\xbf\xb1\xea:",  // Chinese CP936: "目标:"
    "\xe7\x9b\xae\xe6\xa0\x87:",  // Chinese UTF-8: "目标:"
    "\xb4\xeb\xbb\xf3 :",  // Korean CP949: "대상 :"
    "\xeb\x8c\x80\xec\x83\x81 :",  // Korean UTF-8: "대상 :"
    "Ziel :",  // German, ASCII in both forms: "Ziel :"; from transcribed logs, not seen in a log file
};

// File labels: the header selection and the six summary windows start one byte after the label.
constexpr std::string_view kFiles[] = {
    "Files :",  // English: "Files :"
    "Fichiers :",  // French, ASCII in both forms: "Fichiers :"; the header line
    "Fichiers\xff:",  // French CP850: "Fichiers<NBSP>:"; NBSP before the colon, the summary row
    "Fichiers\xc2\xa0:",  // French UTF-8: "Fichiers<NBSP>:"; NBSP before the colon, the summary row
    "Archivos:",  // Spanish, ASCII in both forms: "Archivos:"
    "Arquivos:",  // Portuguese, ASCII in both forms: "Arquivos:"
    "\x94\xa0\xa9\xab\xeb:",  // Russian CP866: "Файлы:"
    "\xd0\xa4\xd0\xb0\xd0\xb9\xd0\xbb\xd1\x8b:",  // Russian UTF-8: "Файлы:"
    "\x94\xa0\xa9\xab\xae\xa2 :",  // Russian CP866: "Файлов :"
    "\xd0\xa4\xd0\xb0\xd0\xb9\xd0\xbb\xd0\xbe\xd0\xb2 :",  // Russian UTF-8: "Файлов :"
    "\x83t\x83@\x83" "C\x83\x8b:",  // Japanese CP932: "ファイル:"
    "\xe3\x83\x95\xe3\x82\xa1\xe3\x82\xa4\xe3\x83\xab:",  // Japanese UTF-8: "ファイル:"
    "\xce\xc4\xbc\xfe:",  // Chinese CP936: "文件:"
    "\xe6\x96\x87\xe4\xbb\xb6:",  // Chinese UTF-8: "文件:"
    "\xc6\xc4\xc0\xcf :",  // Korean CP949: "파일 :"
    "\xed\x8c\x8c\xec\x9d\xbc :",  // Korean UTF-8: "파일 :"
    "Dateien :",  // German, ASCII in both forms: "Dateien :"; from transcribed logs, not seen in a log file
    "Dateien:",  // German, ASCII in both forms: "Dateien:"; from transcribed logs, not seen in a log file
};

// Summary headings, each taken from its first title to its last.
constexpr std::string_view kHeadings[] = {
    "Total    Copied   Skipped  Mismatch    FAILED    Extras",  // English: "Total    Copied   Skipped  Mismatch    FAILED    Extras"
    "Total     Copi\x82    Ignor\x82" "Discordance     \x90" "CHEC    Extras",  // French CP850: "Total     Copié    IgnoréDiscordance     ÉCHEC    Extras"
    "Total     Copi\xc3\xa9    Ignor\xc3\xa9" "Discordance     \xc3\x89" "CHEC    Extras",  // French UTF-8: "Total     Copié    IgnoréDiscordance     ÉCHEC    Extras"
    "Total   Copiado   OmitidoNo coincidencia     ERROR    Extras",  // Spanish, ASCII in both forms: "Total   Copiado   OmitidoNo coincidencia     ERROR    Extras"
    "Total   Copiada  IgnoradaIncompatibilidade     FALHA    Extras",  // Portuguese, ASCII in both forms: "Total   Copiada  IgnoradaIncompatibilidade     FALHA    Extras"
    "\x82\xe1\xa5\xa3\xae\x91\xaa\xae\xaf\xa8\xe0\xae\xa2\xa0\xad\xae \x8f\xe0\xae\xaf\xe3\xe9\xa5\xad\xae\x8d\xa5\xe1\xae\xae\xe2\xa2\xa5\xe2\xe1\xe2\xa2\xa8\xa5      \x91\x81\x8e\x89\x84\xae\xaf\xae\xab\xad\xa5\xad\xa8\xef",  // Russian CP866: "ВсегоСкопировано ПропущеноНесоответствие      СБОЙДополнения"
    "\xd0\x92\xd1\x81\xd0\xb5\xd0\xb3\xd0\xbe\xd0\xa1\xd0\xba\xd0\xbe\xd0\xbf\xd0\xb8\xd1\x80\xd0\xbe\xd0\xb2\xd0\xb0\xd0\xbd\xd0\xbe \xd0\x9f\xd1\x80\xd0\xbe\xd0\xbf\xd1\x83\xd1\x89\xd0\xb5\xd0\xbd\xd0\xbe\xd0\x9d\xd0\xb5\xd1\x81\xd0\xbe\xd0\xbe\xd1\x82\xd0\xb2\xd0\xb5\xd1\x82\xd1\x81\xd1\x82\xd0\xb2\xd0\xb8\xd0\xb5      \xd0\xa1\xd0\x91\xd0\x9e\xd0\x99\xd0\x94\xd0\xbe\xd0\xbf\xd0\xbe\xd0\xbb\xd0\xbd\xd0\xb5\xd0\xbd\xd0\xb8\xd1\x8f",  // Russian UTF-8: "ВсегоСкопировано ПропущеноНесоответствие      СБОЙДополнения"
    "\x8d\x87\x8cv     \x83R\x83s\x81[\x8d\xcf\x82\xdd      \x83X\x83L\x83" "b\x83v       \x95s\x88\xea\x92v        \x8e\xb8\x94s    Extras",  // Japanese CP932: "合計     コピー済み      スキップ       不一致        失敗    Extras"
    "\xe5\x90\x88\xe8\xa8\x88     \xe3\x82\xb3\xe3\x83\x94\xe3\x83\xbc\xe6\xb8\x88\xe3\x81\xbf      \xe3\x82\xb9\xe3\x82\xad\xe3\x83\x83\xe3\x83\x97       \xe4\xb8\x8d\xe4\xb8\x80\xe8\x87\xb4        \xe5\xa4\xb1\xe6\x95\x97    Extras",  // Japanese UTF-8: "合計     コピー済み      スキップ       不一致        失敗    Extras"
    "\xd7\xdc\xca\xfd        \xb8\xb4\xd6\xc6        \xcc\xf8\xb9\xfd       \xb2\xbb\xc6\xa5\xc5\xe4        \xca\xa7\xb0\xdc        \xc6\xe4\xcb\xfb",  // Chinese CP936: "总数        复制        跳过       不匹配        失败        其他"
    "\xe6\x80\xbb\xe6\x95\xb0        \xe5\xa4\x8d\xe5\x88\xb6        \xe8\xb7\xb3\xe8\xbf\x87       \xe4\xb8\x8d\xe5\x8c\xb9\xe9\x85\x8d        \xe5\xa4\xb1\xe8\xb4\xa5        \xe5\x85\xb6\xe4\xbb\x96",  // Chinese UTF-8: "总数        复制        跳过       不匹配        失败        其他"
    "\xc0\xfc\xc3\xbc       \xba\xb9\xbb\xe7\xb5\xca      \xb0\xc7\xb3\xca \xb6\xdc       \xba\xd2\xc0\xcf\xc4\xa1        \xbd\xc7\xc6\xd0        \xc3\xdf\xb0\xa1",  // Korean CP949: "전체       복사됨      건너 뜀       불일치        실패        추가"
    "\xec\xa0\x84\xec\xb2\xb4       \xeb\xb3\xb5\xec\x82\xac\xeb\x90\xa8      \xea\xb1\xb4\xeb\x84\x88 \xeb\x9c\x80       \xeb\xb6\x88\xec\x9d\xbc\xec\xb9\x98        \xec\x8b\xa4\xed\x8c\xa8        \xec\xb6\x94\xea\xb0\x80",  // Korean UTF-8: "전체       복사됨      건너 뜀       불일치        실패        추가"
    "Insgesamt   Kopiert\x9a" "bersprungenKeine \x9a" "bereinstimmung    FEHLER    Extras",  // German CP850: "Insgesamt   KopiertÜbersprungenKeine Übereinstimmung    FEHLER    Extras"; from transcribed logs, not seen in a log file
    "Insgesamt   Kopiert\xc3\x9c" "bersprungenKeine \xc3\x9c" "bereinstimmung    FEHLER    Extras",  // German UTF-8: "Insgesamt   KopiertÜbersprungenKeine Übereinstimmung    FEHLER    Extras"; from transcribed logs, not seen in a log file
};

// Error words, each with its trailing blank; the message starts right after it.
constexpr std::string_view kErrors[] = {
    "ERROR ",  // English: "ERROR "
    // Spanish, ASCII in both forms: same bytes as English above
    "\x8e\x98\x88\x81\x8a\x80 ",  // Russian CP866: "ОШИБКА "
    "\xd0\x9e\xd0\xa8\xd0\x98\xd0\x91\xd0\x9a\xd0\x90 ",  // Russian UTF-8: "ОШИБКА "
    "\x83G\x83\x89\x81[ ",  // Japanese CP932: "エラー "
    "\xe3\x82\xa8\xe3\x83\xa9\xe3\x83\xbc ",  // Japanese UTF-8: "エラー "
    "\xb4\xed\xce\xf3 ",  // Chinese CP936: "错误 "; from a transcribed log, not seen in a log file
    "\xe9\x94\x99\xe8\xaf\xaf ",  // Chinese UTF-8: "错误 "; from a transcribed log, not seen in a log file
    "FEHLER ",  // German, ASCII in both forms: "FEHLER "; from transcribed logs, not seen in a log file
};

// clang-format on

}  // namespace

constexpr LabelList kDestLabels = MakeLabelList(kDest);
constexpr LabelList kFileLabels = MakeLabelList(kFiles);
constexpr LabelList kSummaryHeadings = MakeLabelList(kHeadings);
constexpr LabelList kErrorWords = MakeLabelList(kErrors);
