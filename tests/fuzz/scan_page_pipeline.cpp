#include "scan_page_pipeline.h"

#include <algorithm>

#include "gather/page_scanner.h"
#include "plain_page_scanner.h"
#include "study/sentence_finder.h"
#include "study/sentence_store.h"
#include "text/tokenizer.h"

namespace quillmark::testing {
namespace {

std::string CheckPage(std::string_view body, const ScannedPage& withAnchors,
                      const ScannedPage& withoutAnchors) {
  const std::string_view scanned = body.substr(0, body.find('\0'));
  if (withAnchors.text.find_first_of(std::string_view("<>\0", 3)) != std::string::npos) {
    return "page text holds '<', '>' or a zero byte";
  }
  if (withAnchors.text.size() > scanned.size()) return "page text longer than the page";
  if (withAnchors.text != withoutAnchors.text) return "page text depends on IsLevel";
  // Frame sources come first and do not depend on IsLevel.
  if (withoutAnchors.links.size() > withAnchors.links.size() ||
      !std::equal(withoutAnchors.links.begin(), withoutAnchors.links.end(),
                  withAnchors.links.begin())) {
    return "frame sources differ with IsLevel";
  }
  for (const std::string& link : withAnchors.links) {
    if (link.find('"') != std::string::npos) return "link holds a double quote";
  }
  const ScannedPage plain = PlainScanPage(body, FollowAnchors::kYes);
  if (plain.text != withAnchors.text) return "page text differs from the plain scanner";
  if (plain.links != withAnchors.links) return "links differ from the plain scanner";
  return {};
}

std::string CheckStore(const SentenceStore& store) {
  for (const auto& [host, sentences] : store) {
    if (sentences.empty()) return "host entry without sentences";
    for (const std::string& sentence : sentences) {
      if (!IsSentence(sentence)) return "stored piece is no sentence: " + sentence;
      if (sentence.find('.') != std::string::npos || sentence.front() == ' ' ||
          sentence.back() == ' ') {
        return "stored sentence holds a full stop or an outer space: " + sentence;
      }
    }
  }
  return {};
}

std::string LowerCaseAscii(std::string word) {
  for (char& c : word) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return word;
}

// Every word of a stored sentence must lead the finder back to that sentence's host, and a
// word that no sentence holds must find nothing.
std::string CheckFinder(const SentenceStore& store) {
  // A hyphen never stands in a sentence, so this word cannot be found.
  if (FindSentences(store, "no-such-word", {}) != kNoSentenceFound) {
    return "finder found a word no sentence holds";
  }
  int lookups = 0;
  for (const auto& [host, sentences] : store) {
    for (const std::string& token : SplitText(*sentences.begin(), SentenceWordSeparators)) {
      if (token.empty()) continue;
      const std::string word = LowerCaseAscii(token);
      const InflectionIndex index{{UpperCaseAscii(word), {"", "QQQQ"}}};
      const std::string found = FindSentences(store, word, index);
      const std::string header = "[from " + host + "]\r\n";
      if (found.find(header) == std::string::npos || !found.ends_with("\r\n\r\n")) {
        return "finder missed '" + word + "' of host " + host;
      }
      if (++lookups == 3) return {};
    }
  }
  return {};
}

}  // namespace

std::string CheckScanPagePipeline(std::string_view body) {
  const ScannedPage withAnchors = ScanPage(body, FollowAnchors::kYes);
  const ScannedPage withoutAnchors = ScanPage(body, FollowAnchors::kNo);
  if (std::string problem = CheckPage(body, withAnchors, withoutAnchors); !problem.empty()) {
    return problem;
  }
  SentenceStore store;
  AddPageSentences("a.example", withAnchors.text, store);
  AddPageSentences("b.example", withAnchors.text.substr(withAnchors.text.size() / 2), store);
  if (std::string problem = CheckStore(store); !problem.empty()) return problem;
  return CheckFinder(store);
}

}  // namespace quillmark::testing
