#include "cli/article_command.h"

#include "article/sentence_split.h"
#include "cli/run_result.h"

namespace quillmark {
namespace {

std::string Joined(const std::vector<std::string>& parts, const char* separator) {
  std::string out;
  for (const std::string& part : parts) {
    if (!out.empty()) out += separator;
    out += part;
  }
  return out;
}

}  // namespace

std::string FormatArticles(const std::vector<FileArticle>& pages, bool sentences,
                           ResultFormat format) {
  std::string out;
  if (format == ResultFormat::kJson) {
    out += "[";
    for (std::size_t i = 0; i < pages.size(); ++i) {
      const ArticleText& article = pages[i].article;
      out += i == 0 ? "\n" : ",\n";
      out += "{\"file\":" + JsonString(pages[i].file) + ",\"title\":" + JsonString(article.title) +
             ",\"text\":" + JsonString(Joined(article.paragraphs, "\n\n")) + ",\"sentences\":[";
      const std::vector<std::string> all = SentencesOf(article.paragraphs);
      for (std::size_t k = 0; k < all.size(); ++k) out += (k ? "," : "") + JsonString(all[k]);
      out += "]}";
    }
    return out + "\n]\n";
  }
  for (std::size_t i = 0; i < pages.size(); ++i) {
    if (i > 0) out += "\n";
    if (pages.size() > 1) out += "==> " + pages[i].file + " <==\n";
    const std::vector<std::string>& paragraphs = pages[i].article.paragraphs;
    const std::string text =
        sentences ? Joined(SentencesOf(paragraphs), "\n") : Joined(paragraphs, "\n\n");
    if (!text.empty()) out += text + "\n";
  }
  return out;
}

}  // namespace quillmark
