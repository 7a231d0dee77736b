#include "net/user_agent.h"

namespace quillmark {

const std::string& ProgramUserAgent() {
  static const std::string userAgent = std::string("Quillmark/") + QUILLMARK_VERSION +
                                       " (+robots.txt token: " + std::string(kRobotsProductToken) +
                                       ")";
  return userAgent;
}

}  // namespace quillmark
