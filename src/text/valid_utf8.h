#pragma once
// Bytes from the web and the data files made safe to hand to a terminal, a UTF-8 file or a
// JSON parser. The stores keep the bytes as they came; only what the program writes for a
// reader outside it passes through here.

#include <string>
#include <string_view>

namespace quillmark {

// Whether `bytes` are well-formed UTF-8 throughout (no stray continuation byte, cut-off or
// overlong sequence, surrogate or value above U+10FFFF). Makes no copy.
bool IsValidUtf8(std::string_view bytes);

// Returns `bytes` with every ill-formed UTF-8 sequence (a stray continuation byte, a cut-off
// or overlong sequence, a surrogate, a value above U+10FFFF) replaced by U+FFFD, one per
// maximal ill-formed piece. Well-formed text comes back unchanged. Throws std::bad_alloc only.
std::string ReplaceInvalidUtf8(std::string_view bytes);

// Returns `bytes` as valid UTF-8: unchanged when they are UTF-8; converted when they are
// Shift-JIS (CP932) throughout, the program's own encoding for its data files; otherwise
// with ReplaceInvalidUtf8's U+FFFD. Throws std::bad_alloc only.
std::string ValidUtf8(std::string_view bytes);

// Whether `rest` starts with a C1 control character in UTF-8 (U+0080-U+009F: 0xC2, then
// 0x80-0x9F), which some terminals obey as they obey ESC.
bool StartsWithC1Control(std::string_view rest);

// Returns `text` with each control byte (0x00-0x1F except tab, and 0x7F) and each C1 control
// character in UTF-8 (U+0080-U+009F) written as "\xNN" per byte, so that a terminal shows
// escapes from the web instead of obeying them. Everything else is unchanged.
std::string EscapeControlBytes(std::string_view text);

}  // namespace quillmark
