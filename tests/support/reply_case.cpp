#include "support/reply_case.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>

namespace quillmark::testing {
namespace {

std::optional<std::string> ReadBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string Substitute(std::string text, const std::map<std::string, std::string>& variables) {
  for (const auto& [name, value] : variables) {
    const std::string marker = "${" + name + "}";
    for (std::size_t at = text.find(marker); at != std::string::npos;
         at = text.find(marker, at + value.size())) {
      text.replace(at, marker.size(), value);
    }
  }
  return text;
}

}  // namespace

ReplyCase LoadReplyCase(const std::filesystem::path& directory, const std::string& name,
                        const std::map<std::string, std::string>& variables) {
  ReplyCase result;
  auto add = [&](const std::string& stem) {
    std::optional<std::string> reply = ReadBytes(directory / (stem + ".reply"));
    if (!reply) return false;
    result.replies.push_back(Substitute(std::move(*reply), variables));
    if (std::optional<std::string> request = ReadBytes(directory / (stem + ".request"))) {
      result.requests.push_back(Substitute(std::move(*request), variables));
    }
    return true;
  };
  if (!add(name)) {
    for (int i = 1; add(name + "." + std::to_string(i)); ++i) {
    }
  }
  if (result.replies.empty()) {
    throw std::runtime_error("no reply file for case '" + name + "' in " + directory.string());
  }
  return result;
}

std::vector<Exchange> ScriptOf(const ReplyCase& reply_case) {
  std::vector<Exchange> script;
  for (const std::string& reply : reply_case.replies) script.push_back(Exchange::Reply(reply));
  return script;
}

}  // namespace quillmark::testing
