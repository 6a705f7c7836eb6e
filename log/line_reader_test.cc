// Tests for the log line reader: line ends, CR removal and Ctrl-Z at every block size,
// UTF-16LE logs, long lines, and failures to open or read.
#include "log/line_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/fake_platform.h"
#include "tests/text_forms.h"

namespace {

using Lines = std::vector<std::string>;

Lines ReadAll(const std::string& content, size_t block_size, FakeSystem* sys, bool* failed,
              const WantedBytes* wanted = nullptr) {
  sys->files["log"] = content;
  Platform p = FakePlatform(sys);
  LogLineReader reader;
  reader.block_size = block_size;
  reader.wanted = wanted;
  Open(&reader, &p, failed, "log");
  Lines lines;
  std::string_view line;
  while (NextLine(&reader, &line)) lines.emplace_back(line);
  Close(&reader);
  return lines;
}

Lines ReadAll(const std::string& content, size_t block_size, const WantedBytes* wanted = nullptr) {
  FakeSystem sys;
  bool failed = false;
  return ReadAll(content, block_size, &sys, &failed, wanted);
}

TEST(LogLineReader, LineEndsAtEveryBlockSize) {
  struct Row {
    std::string content;
    Lines want;
  } rows[] = {
      {"", {}},
      {"a\r\n", {"a"}},
      {"a\r\n\r\n", {"a", ""}},
      {"a", {"a"}},
      {"a\rb\r\n", {"ab"}},
      {"a\n\rb", {"a", "b"}},
      {"a\r\r\r\nb", {"a", "b"}},
      {"a\n\r", {"a", ""}},
      {"ab\x1a" "cd", {"ab"}},
      {"a\r\n\x1a" "b\r\n", {"a"}},
      {"\n\n", {"", ""}},                   // only line ends
      {"\r\r\r", {""}},                     // only CRs: one empty line
      {"\x1a", {}},                         // a lone Ctrl-Z
      {"a\r\nb\x1a\r\n", {"a", "b"}},
      {std::string("a\0b\n", 4), {std::string("a\0b", 3)}},  // NUL is ordinary
      {"\x80\xff\xfe\n", {"\x80\xff\xfe"}},  // 8-bit bytes untouched
      {"\xff", {"\xff"}},                  // too short for a UTF-16 mark
      {std::string("\xfe\xff\0a\n", 5), {std::string("\xfe\xff\0a", 4)}},  // big-endian mark: not decoded
      {"\xef\xbb\xbf-\n", {"\xef\xbb\xbf-"}},  // a UTF-8 mark stays in the first line
      {"x\r\ny\rz\r\r\nlast", {"x", "yz", "last"}},
  };
  for (size_t block : {1, 2, 3, 4, 4096}) {
    for (const Row& r : rows) {
      SCOPED_TRACE("block " + std::to_string(block) + ": " + testing::PrintToString(r.content));
      EXPECT_EQ(ReadAll(r.content, block), r.want);
    }
  }
}

// The line rules in their plainest form, to hold the reader's block-wise search against.
Lines PlainLines(const std::string& content) {
  Lines lines;
  std::string line;
  bool open = false;  // bytes of a line were seen, if only CRs
  for (char c : content) {
    if (c == '\x1a') break;
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
      open = false;
      continue;
    }
    open = true;
    if (c != '\r') line += c;
  }
  if (open) lines.push_back(line);
  return lines;
}

TEST(LogLineReader, LineEndsAnywhereInAChunkOrBlock) {
  // Line ends, lone CRs and CR LF pairs at every offset of the 64-byte chunks the reader
  // searches at once, and across block ends of many sizes.
  std::string crlf, lf, bare, mixed;
  for (size_t len = 0; len < 140; ++len) {
    crlf += std::string(len, 'x') + "\r\n";
    lf += std::string(len, 'y') + "\n";
    bare += "\r" + std::string(len, 'z') + (len % 2 ? "\r\r\n" : "\rz\r\n");
  }
  uint32_t seed = 12345;
  for (int i = 0; i < 20000; ++i) {
    seed = seed * 1103515245 + 12345;
    unsigned pick = seed >> 16 & 15;
    mixed += pick < 2 ? '\n' : pick < 4 ? '\r' : pick == 4 ? '\0' : static_cast<char>('a' + pick);
  }
  std::string one_line = mixed;  // long, with CRs all over it
  std::replace(one_line.begin(), one_line.end(), '\n', 'n');
  std::string contents[] = {crlf, lf, bare, mixed, one_line, crlf + "tail\r", lf + "\x1a" + crlf};
  for (size_t block : {1, 3, 63, 64, 65, 127, 130, 4096, 65536}) {
    for (size_t c = 0; c < std::size(contents); ++c) {
      SCOPED_TRACE("block " + std::to_string(block) + ", content " + std::to_string(c));
      EXPECT_EQ(ReadAll(contents[c], block), PlainLines(contents[c]));
    }
  }
}

bool HoldsWanted(const std::string& line, const WantedBytes& wanted) {
  for (char c : line) {
    if (wanted.bytes.find(c) != std::string_view::npos) return true;
    if (wanted.high && static_cast<unsigned char>(c) > 0x7F) return true;
  }
  return false;
}

TEST(LogLineReader, LeavesOutExactlyTheLinesWithoutAWantedByte) {
  // Random logs of short and long lines made of line ends, CRs, Ctrl-Z, high bytes, wanted
  // and other bytes, some with a UTF-16LE mark; each read with and without leaving lines out.
  const WantedBytes sets[] = {
      {":=E", true},  // what the scan asks for
      {":", false},
      {"", true},
      {std::string_view("\0", 1), false},  // NUL, which pads the reader's last chunk
      {"", false},                         // every line is left out
  };
  const char bytes[] = {'\n', '\r', '\x1a', '\x80', '\xff', ':', '=', 'E', 'e', 'x', ' ', '\0'};
  uint32_t seed = 2024;
  auto next = [&seed] {
    seed = seed * 1103515245 + 12345;
    return seed >> 16;
  };
  for (int round = 0; round < 60; ++round) {
    std::string content = round % 10 == 9 ? "\xff\xfe" : "";
    size_t size = next() % (round % 3 == 0 ? 4000 : 300);
    // Lines of all lengths: the rarer the line ends, the longer the lines run.
    unsigned spread = 1 + round % 7 * 9;
    while (content.size() < size) {
      unsigned pick = next() % (sizeof bytes + spread);
      char c = pick < sizeof bytes ? bytes[pick] : static_cast<char>('a' + pick % 20);
      if (c == '\x1a' && next() % 8 != 0) continue;  // a Ctrl-Z ends the text: keep them rare
      content += c;
    }
    for (size_t block : {1, 2, 3, 4, 5, 64, 65, 4096}) {
      Lines all = ReadAll(content, block);
      for (const WantedBytes& wanted : sets) {
        SCOPED_TRACE("round " + std::to_string(round) + ", block " + std::to_string(block) + ", wanted " +
                     testing::PrintToString(std::string(wanted.bytes)) + (wanted.high ? " and high" : ""));
        Lines want;
        for (const std::string& line : all) {
          if (HoldsWanted(line, wanted)) want.push_back(line);
        }
        ASSERT_EQ(ReadAll(content, block, &wanted), want) << testing::PrintToString(content);
      }
    }
  }
}


TEST(LogLineReader, Utf16LogsAreDecodedAtEveryBlockSize) {
  struct Row {
    std::string content;
    Lines want;
  } rows[] = {
      {"\xff\xfe", {}},  // the mark alone
      {Utf16Le(u"a\r\nb"), {"a", "b"}},
      {Utf16Le(u"a\r\n\r\n"), {"a", ""}},
      {Utf16Le(u"a\rb\r\r\nc\n\r"), {"ab", "c", ""}},
      {Utf16Le(u"ab\x1a" u"cd\r\n"), {"ab"}},  // a Ctrl-Z unit ends the text
      {Utf16Le(u"a\r\n\x1a"), {"a"}},
      {Utf16Le(std::u16string(u"a\0b\n", 4)), {std::string("a\0b", 3)}},
      {Utf16Le(u"caf\u00e9 \u20ac\n"), {"caf\xc3\xa9 \xe2\x82\xac"}},
      {Utf16Le(u"x\U0001F600y"), {"x\xf0\x9f\x98\x80y"}},  // a surrogate pair, split by small blocks
      {Utf16Le(u"\U0001F600\U0001F600\n"), {"\xf0\x9f\x98\x80\xf0\x9f\x98\x80"}},
      {Utf16Le(u"a\xd83d" u"b\n"), {"a?b"}},  // a high surrogate without its low half
      {Utf16Le(u"a\xde00" u"b"), {"a?b"}},     // a low surrogate alone
      {Utf16Le(u"a\xd83d\xd83d\xde00"), {"a?\xf0\x9f\x98\x80"}},
      {Utf16Le(u"a\xd83d"), {"a?"}},  // a high surrogate as the last unit
      {Utf16Le(u"a\xd83d\n"), {"a?"}},
      {Utf16Le(u"ab") + "c", {"ab?"}},  // an odd last byte
      {Utf16Le(u"a\n") + "c", {"a", "?"}},
      {Utf16Le(u"a\xd83d") + "c", {"a??"}},
      {"\xff\xfe\n\n", {"\xe0\xa8\x8a"}},  // 8-bit text behind FF FE: decoded all the same
  };
  for (size_t block : {1, 2, 3, 4, 5, 4096}) {
    for (const Row& r : rows) {
      SCOPED_TRACE("block " + std::to_string(block) + ": " + testing::PrintToString(r.content));
      EXPECT_EQ(ReadAll(r.content, block), r.want);
    }
  }
}

TEST(LogLineReader, Utf16GoesThroughThePlatformsEightBitForm) {
  // As a code page would: what it lacks becomes "?"; a pair reaches it whole.
  FakeSystem sys;
  sys.files["log"] = Utf16Le(u"caf\u00e9\r\n\U0001F600.\r\n");
  sys.max_read = 3;
  Platform p = FakePlatform(&sys);
  p.FromUtf16 = [](void*, const char16_t* units, size_t count, std::string* out) {
    for (size_t i = 0; i < count; ++i) {
      bool pair = units[i] >= 0xD800 && units[i] <= 0xDBFF;
      EXPECT_TRUE(!pair || (i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF));
      if (pair) ++i;
      out->push_back(units[i] < 0x80 ? static_cast<char>(units[i]) : '?');
    }
  };
  bool failed = false;
  LogLineReader reader;
  reader.block_size = 5;
  Open(&reader, &p, &failed, "log");
  Lines lines;
  std::string_view line;
  while (NextLine(&reader, &line)) lines.emplace_back(line);
  Close(&reader);
  EXPECT_EQ(lines, (Lines{"caf?", "?."}));
}

TEST(LogLineReader, Utf16MemoryDoesNotGrowWithTheFile) {
  std::u16string units;
  for (int i = 0; i < 20000; ++i) units += u"\tNew File  \t\t 12288\tbudget\u00e9.xlsx\r\n";
  std::u16string long_line(50000, u'\u20ac');
  units += long_line + u"\r\n";
  FakeSystem sys;
  sys.files["log"] = Utf16Le(units);
  Platform p = FakePlatform(&sys);
  bool failed = false;
  LogLineReader reader;
  reader.block_size = 4096;
  Open(&reader, &p, &failed, "log");
  std::string_view line;
  size_t count = 0;
  size_t most_text = 0;
  std::string last;
  while (NextLine(&reader, &line)) {
    ++count;
    most_text = std::max(most_text, reader.text.capacity());
    if (count <= 20000) {
      EXPECT_EQ(line, "\tNew File  \t\t 12288\tbudget\xc3\xa9.xlsx");
    }
    last = line;
  }
  EXPECT_EQ(count, 20001u);
  EXPECT_EQ(last.size(), 3 * long_line.size());
  EXPECT_LE(most_text, 2 * 4096u);  // one decoded block, whatever the file's size
  Close(&reader);
}

TEST(LogLineReader, LongLinesAcrossBlocksAreWhole) {
  std::string long_line(100000, 'x');
  long_line.replace(99990, 6, "ERROR ");
  std::string with_crs = long_line;
  for (size_t i = 5; i < with_crs.size(); i += 4093) with_crs.insert(i, "\r");
  EXPECT_EQ(ReadAll("a\r\n" + long_line + "\r\nb", 4096), (Lines{"a", long_line, "b"}));
  EXPECT_EQ(ReadAll(with_crs + "\r\r\n", 4096), Lines{long_line});
}

TEST(LogLineReader, CtrlZInALaterBlockEndsTheText) {
  std::string content = std::string(10000, 'a') + "\nb\x1a" "c\nd\n";
  EXPECT_EQ(ReadAll(content, 4096), (Lines{std::string(10000, 'a'), "b"}));
}

TEST(LogLineReader, ShortReadsChangeNothing) {
  FakeSystem sys;
  sys.max_read = 3;
  bool failed = false;
  EXPECT_EQ(ReadAll("ab\r\ncd\r\r\nef", 4096, &sys, &failed), (Lines{"ab", "cd", "ef"}));
  EXPECT_FALSE(failed);
}

TEST(LogLineReader, FailedOpenIsTheEnd) {
  FakeSystem sys;
  sys.unopenable.insert("log");
  Platform p = FakePlatform(&sys);
  bool failed = false;
  LogLineReader reader;
  Open(&reader, &p, &failed, "log");
  std::string_view line;
  EXPECT_FALSE(NextLine(&reader, &line));
  Close(&reader);
  EXPECT_EQ(sys.closes, 0);
}

TEST(LogLineReader, FailedReadEndsInputAndDropsTheLineInProgress) {
  FakeSystem sys;
  sys.max_read = 4;
  sys.fail_read_at = 7;  // the read after "ab" and its line end, inside the line "cd"
  bool failed = false;
  EXPECT_EQ(ReadAll("ab\r\ncd\r\nef\r\n", 4096, &sys, &failed), Lines{"ab"});
  EXPECT_TRUE(failed);
  // A UTF-16 log whose first read after the mark fails (found by fuzzing: the failure left
  // no text to search for Ctrl-Z, and a null pointer went to memchr).
  FakeSystem utf16;
  utf16.fail_read_at = 3;
  failed = false;
  EXPECT_EQ(ReadAll(std::string("\xff\xfe" "a\0\n\0", 6), 4096, &utf16, &failed), Lines{});
  EXPECT_TRUE(failed);
}

TEST(LogLineReader, SharedFailureStopsReading) {
  FakeSystem sys;
  sys.files["log"] = "a\nb\nc\n";
  Platform p = FakePlatform(&sys);
  bool failed = false;
  LogLineReader reader;
  Open(&reader, &p, &failed, "log");
  std::string_view line;
  ASSERT_TRUE(NextLine(&reader, &line));
  failed = true;  // as after a failed write
  EXPECT_FALSE(NextLine(&reader, &line));
  Close(&reader);
  EXPECT_EQ(sys.closes, 1);
}

}  // namespace
