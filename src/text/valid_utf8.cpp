#include "text/valid_utf8.h"

#include <cstdio>

#include "text/shift_jis.h"

namespace quillmark {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the well-formed UTF-8 character at the start of `rest`, or 0 when it is
// ill-formed; then `bad` is how many bytes make the maximal ill-formed piece (at least 1).
std::size_t CharacterLength(std::string_view rest, std::size_t& bad) {
  const auto lead = static_cast<unsigned char>(rest[0]);
  bad = 1;
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
  } else {
    return 0;
  }
  for (std::size_t i = 1; i < length; ++i) {
    if (i >= rest.size()) return 0;
    const auto byte = static_cast<unsigned char>(rest[i]);
    const bool fits = i == 1 ? byte >= low && byte <= high : IsContinuation(byte);
    if (!fits) return 0;
    bad = i + 1;  // a piece cut short counts as one
  }
  return length;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  std::size_t bad = 0;
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t length = CharacterLength(bytes.substr(at), bad);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

std::string ReplaceInvalidUtf8(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  std::size_t bad = 0;
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t length = CharacterLength(bytes.substr(at), bad);
    if (length == 0) {
      text += kReplacement;
      at += bad;
    } else {
      text.append(bytes.substr(at, length));
      at += length;
    }
  }
  return text;
}

std::string ValidUtf8(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return std::string(bytes);
  if (IsShiftJis(bytes)) return ShiftJisToUtf8(bytes);
  return ReplaceInvalidUtf8(bytes);
}

bool StartsWithC1Control(std::string_view rest) {
  return rest.size() >= 2 && static_cast<unsigned char>(rest[0]) == 0xC2 &&
         static_cast<unsigned char>(rest[1]) >= 0x80 && static_cast<unsigned char>(rest[1]) <= 0x9F;
}

std::string EscapeControlBytes(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  const auto escape = [&shown](unsigned char byte) {
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
    shown += escaped;
  };
  for (std::size_t at = 0; at < text.size(); ++at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (StartsWithC1Control(text.substr(at))) {
      escape(byte);
      escape(static_cast<unsigned char>(text[++at]));
    } else if ((byte < 0x20 && byte != '\t') || byte == 0x7F) {
      escape(byte);
    } else {
      shown += text[at];
    }
  }
  return shown;
}

}  // namespace quillmark
