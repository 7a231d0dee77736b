#pragma once
// What quillmark-cli prints, made safe for a terminal or a pipe: the bytes come from the web
// and the data files, and an escape sequence among them would clear the screen or set the
// title of the user's terminal.

#include <cstdio>
#include <string>
#include <string_view>

#include "session/atomic_file.h"
#include "session/run_history.h"

namespace quillmark {

// `text` line by line (a line ends at LF or CR LF, and those stay): each line valid UTF-8
// (ValidUtf8) with its control bytes written as "\xNN" (EscapeControlBytes).
std::string PrintableLines(std::string_view text);

// One status line of the crawl: its URL comes from the web and its message is UTF-8, so bytes
// that are not UTF-8 become U+FFFD (never read as Shift-JIS) and control bytes "\xNN".
std::string PrintableStatusLine(std::string_view line);

// Writes PrintableLines(text) to `stream` and flushes it. Returns false when not every byte
// got out (standard output closed early, a full disk).
bool Print(std::FILE* stream, std::string_view text);

// What a terminal user reads of a file that failed: "quillmark-cli: <file>: <the system's
// reason, in the locale's language>" when one file failed for a known reason, else
// "quillmark-cli: " and the error's own message (the window's text, naming the file or files).
std::string FileErrorLine(const FileError& error);
// The same for the history: "quillmark-cli: <history file>: <the system's reason>", else
// "quillmark-cli: " and the error's own message.
std::string HistoryErrorLine(const HistoryError& error);

// Whether `read` underlines on standard output: a terminal that is not "dumb", and NO_COLOR
// unset or empty (no-color.org). `term` and `noColor` are the variables' values, or null.
bool UnderlineWanted(bool terminal, const char* term, const char* noColor);

// Where a file the user named (a report, the cards) went.
enum class NamedOutput { kStandardOutput, kDirect, kReplaced };

// Writes `bytes` to the file the user named as they named it: "-" is standard output (through
// Print); an existing file that is not a regular file (a FIFO, a terminal, a device such as
// /dev/null) is opened and written as it stands, never replaced; a regular file, or a new one,
// is replaced whole through ReplaceFileAtomically. Throws FileError when the bytes do not all
// get out (a full device, standard output closed).
NamedOutput WriteNamedOutput(const std::string& path, std::string_view bytes);

// "quillmark-cli: 標準出力に書き込めません" (UTF-8): said, with exit status 1, after the data
// files were saved, when the result could not be printed.
extern const char* const kOutputFailedMessage;

}  // namespace quillmark
