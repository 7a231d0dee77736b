#include "study/web_dictionary.h"

namespace quillmark {

const WebDictionaryService& ServiceOf(WebDictionary dictionary) {
  return kWebDictionaryServices[static_cast<std::size_t>(dictionary)];
}

std::string WebDictionaryPrefix(WebDictionary dictionary) {
  const WebDictionaryService& service = ServiceOf(dictionary);
  std::string prefix(service.scheme);
  prefix += service.host;
  prefix += service.path;
  return prefix;
}

std::string WebDictionaryAddress(WebDictionary dictionary, std::string_view word) {
  std::string address = WebDictionaryPrefix(dictionary);
  address += word;
  address += ServiceOf(dictionary).suffix;
  return address;
}

}  // namespace quillmark
