#pragma once
// One article a gathering run read, as the run hands it on to be kept and read again: where it
// came from and its text, paragraph by paragraph. Every text is UTF-8.

#include <string>
#include <vector>

namespace quillmark {

struct KeptArticle {
  std::string site;     // the host its sentences were stored under (the site's host)
  std::string address;  // the address it was read from, after redirects
  std::string title;    // its headline; may be empty
  std::string date;     // ISO 8601 ("2026-12-07" or with a time) when the page or feed gives one
  std::vector<std::string> paragraphs;  // the body in reading order, headline left out
};

}  // namespace quillmark
