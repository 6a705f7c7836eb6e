// Cuts the log into lines as it streams it in fixed-size blocks: LF ends a line, every CR is
// dropped, Ctrl-Z ends the text. Memory grows with the longest line, never with the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "log/utf16_decoder.h"
#include "platform/platform.h"

constexpr size_t kDefaultBlockSize = 256 * 1024;

struct FreeBytes {
  void operator()(char* p) const { std::free(p); }
};

struct LogLineReader {
  const Platform* platform = nullptr;
  bool* failed = nullptr;  // the run's shared failure state
  size_t block_size = kDefaultBlockSize;
  int64_t handle = -1;
  std::vector<char> block;  // the bytes of one read
  char head[2];             // the first bytes, read apart to look for the UTF-16LE mark
  size_t head_size = 0;     // head bytes not yet handed to the line cutter
  bool utf16 = false;       // the log began FF FE: blocks are decoded into text
  Utf16Decoder decoder;
  std::string text;            // a decoded block
  const char* data = nullptr;  // the 8-bit bytes lines are cut from: head, block or text
  size_t pos = 0;              // unread bytes are data[pos, end)
  size_t end = 0;
  // Where in data the lines end (their LFs), found for the whole block at once, each marked
  // when its line holds a CR other than one just before the LF; next_end is the next unused.
  std::unique_ptr<uint32_t[]> line_ends;
  size_t index_room = 0;
  size_t end_count = 0;
  size_t next_end = 0;
  bool source_done = true;                     // the file has no more bytes for us (end, Ctrl-Z or failure)
  std::unique_ptr<char, FreeBytes> assembled;  // a line that crosses a block end or holds CRs
  size_t assembled_size = 0;
  size_t assembled_room = 0;
};

// Opens path read-only and shared. A failure is not reported: the reader is then at its end
// and the shared failure state is set. A log that begins with FF FE is UTF-16LE: the rest is
// decoded to the platform's 8-bit form before lines are cut; any other log is read as it is.
void Open(LogLineReader* reader, const Platform* platform, bool* failed, const std::string& path);

// The next line, valid until the next call; false at the end of input, after any failed
// read, and once the shared failure state is set.
bool NextLine(LogLineReader* reader, std::string_view* line);

void Close(LogLineReader* reader);
