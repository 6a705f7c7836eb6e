// Cuts the log into lines as it streams it in fixed-size blocks: LF ends a line, every CR is
// dropped, Ctrl-Z ends the text. Most lines are handed out as views into the block, uncopied.
#include "log/line_reader.h"

#include <cstring>

namespace {

constexpr char kCtrlZ = 26;

// One read into buf: the count, or 0 once the file has nothing more (its end or a failure).
size_t ReadSome(LogLineReader* r, char* buf, size_t size) {
  int64_t n = r->platform->ReadLog(r->platform->ctx, r->handle, buf, size);
  if (n > 0) return static_cast<size_t>(n);
  r->source_done = true;
  if (n < 0) *r->failed = true;
  return 0;
}

// The next piece of decoded text; a read too short to finish a character yields nothing, so
// reading goes on until one does or the file ends.
size_t ReadDecoded(LogLineReader* r) {
  r->text.clear();
  while (r->text.empty() && !r->source_done) {
    size_t n = ReadSome(r, r->block.data(), r->block.size());
    if (*r->failed) break;  // data must still point at the (empty) text
    DecodeUtf16(&r->decoder, r->block.data(), n, n == 0, &r->text);
  }
  r->data = r->text.data();
  return r->text.size();
}

// Fills data[0, end); false when no byte is left before the end of the file or a Ctrl-Z.
bool Refill(LogLineReader* r) {
  r->pos = r->end = 0;
  size_t got;
  if (r->head_size > 0) {  // first, even when the file ended within them
    r->data = r->head;
    got = r->head_size;
    r->head_size = 0;
  } else if (r->source_done) {
    return false;
  } else if (r->utf16) {
    got = ReadDecoded(r);
  } else {
    r->data = r->block.data();
    got = ReadSome(r, r->block.data(), r->block.size());
  }
  if (const void* z = std::memchr(r->data, kCtrlZ, got)) {
    got = static_cast<size_t>(static_cast<const char*>(z) - r->data);
    r->source_done = true;  // nothing after a Ctrl-Z is ever read
  }
  r->end = got;
  return got > 0;
}

void AppendWithoutCr(std::string* out, const char* p, size_t n) {
  while (n > 0) {
    const char* cr = static_cast<const char*>(std::memchr(p, '\r', n));
    size_t keep = cr ? static_cast<size_t>(cr - p) : n;
    out->append(p, keep);
    if (!cr) return;
    n -= keep + 1;
    p = cr + 1;
  }
}

}  // namespace

void Open(LogLineReader* r, const Platform* platform, bool* failed, const std::string& path) {
  r->platform = platform;
  r->failed = failed;
  r->pos = r->end = 0;
  r->data = nullptr;
  r->pending.clear();
  r->has_pending = false;
  r->utf16 = false;
  r->decoder = Utf16Decoder();
  r->decoder.platform = platform;
  r->head_size = 0;
  r->handle = platform->OpenLog(platform->ctx, path);
  r->source_done = r->handle < 0;
  if (r->handle < 0) {
    *failed = true;
    return;
  }
  r->block.resize(r->block_size > 0 ? r->block_size : 1);
  while (r->head_size < 2 && !r->source_done) {
    r->head_size += ReadSome(r, r->head + r->head_size, 2 - r->head_size);
  }
  if (r->head_size == 2 && r->head[0] == '\xff' && r->head[1] == '\xfe') {
    r->utf16 = true;  // the mark is not part of the first line
    r->head_size = 0;
  }
}

bool NextLine(LogLineReader* r, std::string_view* line) {
  r->pending.clear();
  for (;;) {
    if (*r->failed) return false;
    if (r->pos == r->end && !Refill(r)) {
      if (*r->failed || !r->has_pending) return false;
      r->has_pending = false;
      *line = r->pending;  // the last line, without an LF
      return true;
    }
    const char* begin = r->data + r->pos;
    size_t avail = r->end - r->pos;
    const char* lf = static_cast<const char*>(std::memchr(begin, '\n', avail));
    size_t len = lf ? static_cast<size_t>(lf - begin) : avail;
    if (lf && !r->has_pending) {
      // The usual line: whole in the block, with no CR or only the one before its LF.
      const char* cr = static_cast<const char*>(std::memchr(begin, '\r', len));
      if (!cr || cr == begin + len - 1) {
        *line = std::string_view(begin, cr ? len - 1 : len);
        r->pos += len + 1;
        return true;
      }
    }
    AppendWithoutCr(&r->pending, begin, len);
    r->has_pending = true;
    r->pos += len;
    if (lf) {
      r->pos += 1;
      r->has_pending = false;
      *line = r->pending;
      return true;
    }
  }
}

void Close(LogLineReader* r) {
  if (r->handle >= 0) r->platform->CloseLog(r->platform->ctx, r->handle);
  r->handle = -1;
  r->source_done = true;
  r->pos = r->end = 0;
  r->data = nullptr;
  std::vector<char>().swap(r->block);
  std::string().swap(r->text);
  r->decoder = Utf16Decoder();
}
