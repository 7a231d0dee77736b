#pragma once
// quillmark-cli article: the article text of saved pages, as a gathering reads them.

#include <string>
#include <vector>

#include "article/article_extractor.h"
#include "cli/cli_options.h"

namespace quillmark {

struct FileArticle {
  std::string file;
  ArticleText article;
};

// kText: each page's paragraphs apart by one blank line (with `sentences`, one sentence a
// line), pages apart by a blank line, each under a line "==> FILE <==" when there are more
// than one. kJson: an array of {"file","title","text","sentences"} objects, `text` being the
// paragraphs apart by a blank line (the headline is `title`).
std::string FormatArticles(const std::vector<FileArticle>& pages, bool sentences,
                           ResultFormat format);

}  // namespace quillmark
