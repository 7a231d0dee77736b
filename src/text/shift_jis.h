#pragma once
// Conversion between Shift-JIS (Windows code page 932) and UTF-8, for the window boundary and
// the report. Every other text of the program stays as the bytes it is.

#include <string>
#include <string_view>

namespace quillmark {

// Returns `bytes` read as CP932, in UTF-8. A byte or pair that is no CP932 character becomes
// U+FFFD and the conversion goes on behind it, so nothing after a bad byte is lost. ASCII
// comes back unchanged. Throws std::bad_alloc only.
std::string ShiftJisToUtf8(std::string_view bytes);

// Whether every byte of `bytes` belongs to a CP932 character (ASCII counts), so that
// ShiftJisToUtf8 would replace nothing. Throws std::bad_alloc only.
bool IsShiftJis(std::string_view bytes);

// Returns `text` (UTF-8) in CP932. A character CP932 lacks, or a byte that is not UTF-8,
// becomes '?'. ASCII comes back unchanged. Throws std::bad_alloc only.
std::string Utf8ToShiftJis(std::string_view text);

}  // namespace quillmark
