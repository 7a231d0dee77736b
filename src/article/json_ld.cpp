#include "article/json_ld.h"

#include <nlohmann/json.hpp>

#include <cstdint>

namespace quillmark {
namespace {

using Json = nlohmann::json;

constexpr std::string_view kReplacementEscape = "\\uFFFD";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The code unit of the "\uXXXX" escape at `at` (the backslash), or -1 when none is there.
std::int32_t EscapedUnitAt(std::string_view text, std::size_t at) {
  if (at + 6 > text.size() || text[at] != '\\' || text[at + 1] != 'u') return -1;
  std::int32_t unit = 0;
  for (std::size_t i = at + 2; i < at + 6; ++i) {
    const int digit = HexValue(text[i]);
    if (digit < 0) return -1;
    unit = unit * 16 + digit;
  }
  return unit;
}

bool IsHighSurrogate(std::int32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(std::int32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Keeps the first string value of one key; everything else passes by. A key's value is the
// next event after it, so a flag set by the key and cleared by every value is enough.
class FirstStringOfKey : public nlohmann::json_sax<Json> {
 public:
  explicit FirstStringOfKey(std::string_view key) : key_(key) {}

  bool null() override { return Value(); }
  bool boolean(bool) override { return Value(); }
  bool number_integer(number_integer_t) override { return Value(); }
  bool number_unsigned(number_unsigned_t) override { return Value(); }
  bool number_float(number_float_t, const string_t&) override { return Value(); }
  bool string(string_t& value) override {
    if (keyPending_ && !found_) {
      found_ = true;
      value_ = std::move(value);
    }
    return Value();
  }
  bool binary(binary_t&) override { return Value(); }
  bool start_object(std::size_t) override { return Value(); }
  bool key(string_t& name) override {
    keyPending_ = name == key_;
    return true;
  }
  bool end_object() override { return true; }
  bool start_array(std::size_t) override { return Value(); }
  bool end_array() override { return true; }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
    return false;
  }

  std::string Take() { return found_ ? std::move(value_) : std::string(); }

 private:
  bool Value() {
    keyPending_ = false;
    return true;
  }
  std::string_view key_;
  bool keyPending_ = false;
  bool found_ = false;
  std::string value_;
};

}  // namespace

std::string RepairJsonEscapes(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool inString = false;
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (!inString) {
      inString = c == '"';
      out += c;
      ++i;
      continue;
    }
    if (c == '"') {
      inString = false;
      out += c;
      ++i;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      // A raw control character: kept, as the escape JSON asks for.
      constexpr char kHex[] = "0123456789ABCDEF";
      out += "\\u00";
      out += kHex[(c >> 4) & 0xF];
      out += kHex[c & 0xF];
      ++i;
    } else if (c != '\\') {
      out += c;
      ++i;
    } else if (i + 1 >= text.size()) {
      ++i;  // a backslash that ends the text escapes nothing
    } else if (const char next = text[i + 1]; next != 'u') {
      if (std::string_view("\"\\/bfnrt").find(next) != std::string_view::npos) {
        out.append(text.substr(i, 2));
      } else {
        out += kReplacementEscape;
      }
      i += 2;
    } else if (const std::int32_t unit = EscapedUnitAt(text, i); unit < 0) {
      out += kReplacementEscape;  // "\u" without four hex digits: what follows is text
      i += 2;
    } else if (IsHighSurrogate(unit) && IsLowSurrogate(EscapedUnitAt(text, i + 6))) {
      out.append(text.substr(i, 12));
      i += 12;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      out += kReplacementEscape;
      i += 6;
    } else {
      out.append(text.substr(i, 6));
      i += 6;
    }
  }
  return out;
}

std::string JsonLdString(std::string_view document, std::string_view key) {
  const std::string repaired = RepairJsonEscapes(document);
  FirstStringOfKey handler(key);
  bool parsed = false;
  try {
    parsed = Json::sax_parse(repaired.begin(), repaired.end(), &handler);
  } catch (const Json::exception&) {
    parsed = false;
  }
  return parsed ? handler.Take() : std::string();
}

}  // namespace quillmark
