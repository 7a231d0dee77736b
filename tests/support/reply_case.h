// Network test cases kept as data files.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/scripted_server.h"

namespace quillmark::testing {

// One case: `<name>.reply` holds the exact bytes the server sends and `<name>.request` the
// exact bytes the client must have sent. A case of several connections numbers its files
// `<name>.1.reply`, `<name>.1.request`, `<name>.2.reply`, ... Each `${VARIABLE}` in a file is
// replaced by its value (tests use `${PORT}`). Files are read as bytes: CR LF stays CR LF.
struct ReplyCase {
  std::vector<std::string> replies;   // one per connection
  std::vector<std::string> requests;  // one per connection that has a .request file
};

// Throws std::runtime_error when the case has no reply file.
ReplyCase LoadReplyCase(const std::filesystem::path& directory, const std::string& name,
                        const std::map<std::string, std::string>& variables = {});

// A script answering connection i with replies[i] and an orderly close.
std::vector<Exchange> ScriptOf(const ReplyCase& reply_case);

}  // namespace quillmark::testing
