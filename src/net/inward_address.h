#pragma once
// Whether an address points inward: at this machine or its private network rather than at the
// public web. An address a public site hands us (its feed's items, the feeds its page names,
// a redirect) must never make the program fetch from inside, where a local server may answer
// what no site should read. Pure functions, shared by every HTTP client of the program: the
// caller decides when the rule applies (not to an address the user named).

#include <sys/socket.h>

#include <string_view>

namespace quillmark {

// Whether a URL's host, as written (letter case ignored, IPv6 in brackets or not), is inward:
//   - "localhost" and every name under ".localhost";
//   - a host written as a bare number or with octal or hexadecimal parts ("2130706433",
//     "0x7f.1", "017700000001", "127.1"), the forms a resolver reads as an IPv4 address but a
//     person does not: refused whatever address they stand for;
//   - a dotted IPv4 address or an IPv6 address that IsInwardAddress refuses.
// A name (anything else) is not inward by its text; its looked-up address may be.
bool IsInwardHost(std::string_view host);

// Whether a looked-up address is inward: IPv4 loopback 127/8, unspecified 0/8, private
// 10/8, 172.16/12, 192.168/16 and link-local 169.254/16; IPv6 loopback ::1, unspecified ::,
// unique-local fc00::/7, link-local fe80::/10, and an IPv4-mapped address (::ffff:a.b.c.d)
// of an inward IPv4 one. Any other family is inward (nothing else is fetched).
bool IsInwardAddress(const sockaddr& address);

}  // namespace quillmark
