#pragma once
// The outside web dictionaries a word is looked up in, and their query addresses: the three
// the program has always offered, and Weblio, which still answers today. The report links
// every word to LYCOS; the dictionary choice offers all four.

#include <array>
#include <string>
#include <string_view>

namespace quillmark {

enum class WebDictionary { kGoo, kLycos, kRnn, kWeblio };

// A query address is scheme + host + path + word + suffix.
struct WebDictionaryService {
  std::string_view scheme;  // "http://" or "https://"
  std::string_view host;
  std::string_view path;  // from the first '/' after the host up to the word
  std::string_view suffix;
};

// In the order of WebDictionary.
inline constexpr std::array<WebDictionaryService, 4> kWebDictionaryServices{{
    {"http://", "dictionary.goo.ne.jp", "/cgi-bin/dict_search.cgi?MT=", "&sw=0"},
    {"http://", "dic.lycos.co.jp", "/pej/list.html?query=", "&encoding=shift-jis"},
    {"http://", "www.rnnnews.jp", "/search/rnnseek.php?IDv1=", "&IDn1=keys1"},
    {"https://", "ejje.weblio.jp", "/content/", ""},
}};

// The web dictionary offered first: Weblio, the one that answers. Its address stands on a card
// while the built-in dictionary (the dialog's selection at start; it has no address) is chosen,
// and quillmark-cli's export uses it without --dictionary.
inline constexpr WebDictionary kFirstChoiceDictionary = WebDictionary::kWeblio;

const WebDictionaryService& ServiceOf(WebDictionary dictionary);

// Returns scheme + host + path: everything of a query address before the word.
std::string WebDictionaryPrefix(WebDictionary dictionary);

// Returns the query address of `word` in `dictionary`. The word goes in as it is, unescaped:
// a shown word is ASCII letters only.
std::string WebDictionaryAddress(WebDictionary dictionary, std::string_view word);

}  // namespace quillmark
