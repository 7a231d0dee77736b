#pragma once
// A file named on the command line read as the crawl reads a body: at most a page's ceiling of
// bytes, the rest left unread, so /dev/zero or an endless pipe cannot take all memory.

#include <cstddef>
#include <ostream>
#include <string>

namespace quillmark {

struct CappedInput {
  std::string bytes;
  bool cut = false;  // more bytes followed the first `limit`; they were not read
};

// The first `limit` bytes of `path` ("-": standard input) and whether more followed. Grows its
// buffer no further than `limit` + 1 bytes. Throws FileError with CannotOpenMessage(path) when
// the file cannot be opened or read.
CappedInput ReadCappedInput(const std::string& path, std::size_t limit);

// The line the program writes to standard error when `path` was cut at `limit` bytes.
std::string CutInputMessage(const std::string& path, std::size_t limit);

// A file of the command line as one page: its first bytes up to the ceiling the crawl puts on a
// body (TPowersock::kMaxCaptureBytes), with CutInputMessage on `messages` when more followed.
// Throws FileError as ReadCappedInput does.
std::string ReadAsOnePage(const std::string& path, std::ostream& messages);

// Every byte of `path` ("-": standard input), for a file that may be larger than a page
// (find's --sentences: a real sum.dat can be). Throws FileError as ReadCappedInput does.
std::string ReadWhole(const std::string& path);

}  // namespace quillmark
