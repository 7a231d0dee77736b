#include "net/inward_address.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cstdint>
#include <optional>
#include <string>

#include "text/ascii_case.h"

namespace quillmark {
namespace {

bool IsInwardIpv4(std::uint32_t address) {
  const std::uint32_t a = address >> 24;
  const std::uint32_t b = (address >> 16) & 0xFF;
  return a == 127 || a == 0 || a == 10 || (a == 172 && b >= 16 && b <= 31) ||
         (a == 192 && b == 168) || (a == 169 && b == 254);
}

bool IsInwardIpv6(const in6_addr& address) {
  const std::uint8_t* bytes = address.s6_addr;
  if (IN6_IS_ADDR_LOOPBACK(&address) || IN6_IS_ADDR_UNSPECIFIED(&address)) return true;
  if ((bytes[0] & 0xFE) == 0xFC) return true;                      // fc00::/7
  if (bytes[0] == 0xFE && (bytes[1] & 0xC0) == 0x80) return true;  // fe80::/10
  if (IN6_IS_ADDR_V4MAPPED(&address)) {
    return IsInwardIpv4(std::uint32_t{bytes[12]} << 24 | std::uint32_t{bytes[13]} << 16 |
                        std::uint32_t{bytes[14]} << 8 | bytes[15]);
  }
  return false;
}

// One part of a numeric host: decimal, "0x" hexadecimal or "0" octal, as resolvers read them.
// Nothing when it is not a number; `plainDecimal` says whether it was written as a person
// writes an address part (decimal, no leading zero).
std::optional<std::uint64_t> NumberPart(std::string_view part, bool& plainDecimal) {
  int base = 10;
  if (part.size() >= 2 && part[0] == '0' && (part[1] == 'x' || part[1] == 'X')) {
    base = 16;
    part.remove_prefix(2);
  } else if (part.size() >= 2 && part[0] == '0') {
    base = 8;
    part.remove_prefix(1);
  }
  plainDecimal = base == 10;
  if (part.empty()) return base == 16 ? std::optional<std::uint64_t>(0) : std::nullopt;
  std::uint64_t value = 0;
  for (const char c : part) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (digit < 0 || digit >= base) return std::nullopt;
    value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    if (value > 0xFFFFFFFFu) value = std::uint64_t{1} << 33;  // too large for any part
  }
  return value;
}

}  // namespace

bool IsInwardHost(std::string_view written) {
  std::string host = LowerCaseAscii(written);
  if (!host.empty() && host.back() == '.') host.pop_back();  // "localhost." is localhost
  if (host == "localhost" || host.ends_with(".localhost")) return true;
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
    host = host.substr(1, host.size() - 2);
  if (host.find(':') != std::string::npos) {
    in6_addr address{};
    // An IPv6 form this reader does not know is no address the client could reach either.
    return ::inet_pton(AF_INET6, host.c_str(), &address) != 1 || IsInwardIpv6(address);
  }
  // Up to four dot-separated numbers: an IPv4 address in one of its forms.
  std::uint64_t parts[4] = {};
  std::size_t count = 0;
  bool plain = true;
  for (std::size_t start = 0; start <= host.size();) {
    std::size_t dot = host.find('.', start);
    if (dot == std::string::npos) dot = host.size();
    bool plainPart = true;
    const std::optional<std::uint64_t> part =
        NumberPart(std::string_view(host).substr(start, dot - start), plainPart);
    if (!part || count == 4) return false;  // a name, not a number
    parts[count++] = *part;
    plain = plain && plainPart;
    start = dot + 1;
  }
  if (!plain || count != 4) return true;  // a bare, short, octal or hexadecimal number
  std::uint32_t address = 0;
  for (const std::uint64_t part : parts) {
    if (part > 255) return true;
    address = address << 8 | static_cast<std::uint32_t>(part);
  }
  return IsInwardIpv4(address);
}

bool IsInwardAddress(const sockaddr& address) {
  if (address.sa_family == AF_INET) {
    const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
    return IsInwardIpv4(ntohl(v4.sin_addr.s_addr));
  }
  if (address.sa_family == AF_INET6) {
    return IsInwardIpv6(reinterpret_cast<const sockaddr_in6&>(address).sin6_addr);
  }
  return true;
}

}  // namespace quillmark
