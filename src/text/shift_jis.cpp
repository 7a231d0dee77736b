#include "text/shift_jis.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace quillmark {
namespace {

// One iconv conversion, opened and closed around a single call: the conversions are rare
// (a window text, a report) and a descriptor holds state that must not leak between texts.
class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {
    if (handle_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
    }
  }
  ~Converter() { iconv_close(handle_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts `input`; on a byte it cannot take, appends `replacement`, skips the shortest
  // piece the source encoding allows (`skip(rest)` bytes) and goes on.
  template <typename Skip>
  std::string Convert(std::string_view input, std::string_view replacement, Skip skip) {
    std::string output;
    output.reserve(input.size() * 3 / 2 + 16);
    char buffer[4096];
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    while (true) {
      char* out = buffer;
      std::size_t outLeft = sizeof buffer;
      const std::size_t result = inLeft == 0 ? iconv(handle_, nullptr, nullptr, &out, &outLeft)
                                             : iconv(handle_, &in, &inLeft, &out, &outLeft);
      output.append(buffer, static_cast<std::size_t>(out - buffer));
      if (result != static_cast<std::size_t>(-1)) {
        if (inLeft == 0) break;
        continue;
      }
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL (a piece cut off at the end): replace it and go on behind it.
      output += replacement;
      const std::size_t skipped = std::min(inLeft, skip(std::string_view(in, inLeft)));
      in += skipped;
      inLeft -= skipped;
      iconv(handle_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    }
    return output;
  }

 private:
  iconv_t handle_;
};

bool IsShiftJisLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// A bad lead byte takes its trail byte with it when that byte could be one, so a pair
// outside the table becomes one U+FFFD rather than two.
std::size_t BadShiftJisLength(std::string_view rest) {
  const auto lead = static_cast<unsigned char>(rest[0]);
  if (IsShiftJisLeadByte(lead) && rest.size() >= 2) {
    const auto trail = static_cast<unsigned char>(rest[1]);
    if (trail >= 0x40 && trail <= 0xFC && trail != 0x7F) return 2;
  }
  return 1;
}

// A character CP932 lacks is skipped whole; a byte that is not UTF-8 alone.
std::size_t BadUtf8Length(std::string_view rest) {
  const auto lead = static_cast<unsigned char>(rest[0]);
  std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  for (std::size_t i = 1; i < length; ++i) {
    if (i >= rest.size() || (static_cast<unsigned char>(rest[i]) & 0xC0) != 0x80) return 1;
  }
  return length;
}

}  // namespace

std::string ShiftJisToUtf8(std::string_view bytes) {
  return Converter("UTF-8", "CP932").Convert(bytes, "\xEF\xBF\xBD", BadShiftJisLength);
}

bool IsShiftJis(std::string_view bytes) {
  bool clean = true;
  Converter("UTF-8", "CP932").Convert(bytes, "", [&clean](std::string_view rest) {
    clean = false;
    return rest.size();  // one bad byte settles it: skip the rest
  });
  return clean;
}

std::string Utf8ToShiftJis(std::string_view text) {
  return Converter("CP932", "UTF-8").Convert(text, "?", BadUtf8Length);
}

}  // namespace quillmark
