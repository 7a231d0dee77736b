#include "article_reading_check.h"

#include <new>
#include <optional>

#include "article/article_extractor.h"
#include "article/json_ld.h"
#include "text/valid_utf8.h"

namespace quillmark::testing {

std::string CheckReadPage(std::string_view input) {
  std::optional<PageReading> reading;
  try {
    reading = ReadPage(input, {});
  } catch (const std::bad_alloc&) {
    return "";
  } catch (const std::exception& error) {
    return std::string("ReadPage threw: ") + error.what();
  }
  if (!reading) return "";
  const ArticleText& article = reading->article;
  if (!IsValidUtf8(article.title)) return "a title that is no UTF-8";
  if (!IsValidUtf8(article.date)) return "a date that is no UTF-8";
  for (const std::string& paragraph : article.paragraphs)
    if (!IsValidUtf8(paragraph)) return "a paragraph that is no UTF-8";
  for (const PageLink& link : reading->links.links) {
    if (!IsValidUtf8(link.text)) return "a link text that is no UTF-8";
    if (link.text.size() > 300) return "a link text past its cap";
  }
  return "";
}

std::string CheckJsonLd(std::string_view input) {
  if (input.empty()) return "";
  static constexpr std::string_view kKeys[] = {"articleBody", "datePublished", "@type"};
  const std::string_view key = kKeys[static_cast<unsigned char>(input[0]) % 3];
  input.remove_prefix(1);
  try {
    if (!IsValidUtf8(JsonLdString(input, key))) return "a value that is no UTF-8";
    const std::string repaired = RepairJsonEscapes(input);
    if (RepairJsonEscapes(repaired) != repaired) return "a repair that is not done once for all";
  } catch (const std::bad_alloc&) {
    return "";
  } catch (const std::exception& error) {
    return std::string("the JSON-LD reader threw: ") + error.what();
  }
  return "";
}

}  // namespace quillmark::testing
