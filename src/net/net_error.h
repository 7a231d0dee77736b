// Errors of the socket layer and the HTTP client.
#pragma once

#include <stdexcept>
#include <string>

namespace quillmark {

// Every failure of TPowersock and TNMHTTP. The message is the contract: a fixed English text
// ("Connection Failed", "Empty URL", ...) or, for a failed socket call, the Winsock-style
// number, ":" and a short description ("10054:Connection reset by peer").
class NetError : public std::runtime_error {
 public:
  explicit NetError(const std::string& message, int number = 0)
      : std::runtime_error(message), number_(number) {}
  // The Winsock-style error number of a failed socket call; 0 for the fixed messages.
  int number() const { return number_; }

 private:
  int number_;
};

// Winsock's would-block number; numbers up to 10000 are not errors either.
inline constexpr int kWouldBlock = 10035;
// Numbers given to POSIX errno values that have no Winsock counterpart: this base plus errno,
// so they stay above 10000 (errors) and never collide with the table.
inline constexpr int kUnmappedErrnoBase = 20000;

// The Winsock-style number for the errno of a failed socket call: EAGAIN, EWOULDBLOCK and
// EINPROGRESS give 10035, ECONNRESET 10054, ETIMEDOUT 10060, ECONNREFUSED 10061, and so on.
int WinsockNumberFromErrno(int error_number);

// The message for a socket error number: number + ":" + the description of the 51-entry
// table, or "Unknown Error No. " + number when the table has no entry.
std::string SocketErrorStr(int number);

// Throws NetError(SocketErrorStr(number), number) unless the number is not an error
// (10035, would-block, or any number up to 10000). Changes nothing.
void ErrorManager(int number);

}  // namespace quillmark
