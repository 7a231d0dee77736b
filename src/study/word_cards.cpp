#include "study/word_cards.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "study/sentence_finder.h"
#include "study/shown_words.h"
#include "text/ascii_case.h"
#include "text/valid_utf8.h"

namespace quillmark {
namespace {

// A sentence this short is a fragment (a headline, a caption), and a poor example.
constexpr std::size_t kFullSentenceWords = 5;

// Words after which the store's cut at every full stop leaves a sentence unfinished ("Bush
// reacts to the U", "talks with Mr", "Bush v"); so does any single letter.
constexpr std::string_view kAbbreviations[] = {"Mr",  "Mrs", "Ms",  "Dr",  "St", "No", "vs",
                                               "Sen", "Rep", "Gov", "Gen", "Lt", "Col"};

// How good an example `sentence` of `words` words is, best first: a whole sentence (a
// capital letter first, at least five words, not cut at an abbreviation or a single
// letter), then one of at least five words, then a fragment.
int ExampleRank(std::string_view sentence, std::size_t words) {
  if (words < kFullSentenceWords) return 2;
  const bool capitalFirst = sentence.front() >= 'A' && sentence.front() <= 'Z';
  std::string_view last = sentence.substr(sentence.find_last_of(SentenceWordSeparators) + 1);
  const bool lone = last.size() == 1;
  const bool cut = lone || std::find(std::begin(kAbbreviations), std::end(kAbbreviations), last) !=
                               std::end(kAbbreviations);
  return capitalFirst && !cut ? 0 : 1;
}

struct Example {
  const std::string* host = nullptr;
  const std::string* sentence = nullptr;  // none: no stored sentence holds the word
  int rank = 0;                           // ExampleRank

  // Whether `other` makes a better example: the better rank, then the shorter. Equal ones
  // keep the earlier.
  bool WorseThan(const Example& other) const {
    if (sentence == nullptr) return true;
    if (rank != other.rank) return rank > other.rank;
    return other.sentence->size() < sentence->size();
  }
};

// Every card's example found in one walk over the store: each sentence word is looked up
// among the cards' forms, so the cost does not grow with the number of cards.
std::vector<Example> FindExamples(const std::vector<std::vector<std::string>>& formsOfCards,
                                  const SentenceStore& sentences) {
  std::unordered_map<std::string, std::vector<std::size_t>> cardsOfForm;
  for (std::size_t card = 0; card < formsOfCards.size(); ++card) {
    for (const std::string& form : formsOfCards[card]) cardsOfForm[form].push_back(card);
  }
  std::vector<Example> examples(formsOfCards.size());
  std::vector<std::size_t> lastSentenceOfCard(formsOfCards.size(), 0);
  std::size_t sentenceNumber = 0;
  std::vector<std::size_t> matched;
  std::string upper;
  for (const auto& [host, hostSentences] : sentences) {
    for (const std::string& sentence : hostSentences) {
      ++sentenceNumber;
      matched.clear();
      std::size_t words = 0;
      AnySentenceWord(sentence, [&](std::string_view word) {
        ++words;
        upper = UpperCaseAscii(word);
        if (const auto found = cardsOfForm.find(upper); found != cardsOfForm.end()) {
          for (std::size_t card : found->second) {
            if (lastSentenceOfCard[card] == sentenceNumber) continue;
            lastSentenceOfCard[card] = sentenceNumber;
            matched.push_back(card);
          }
        }
        return false;
      });
      const Example candidate{&host, &sentence, ExampleRank(sentence, words)};
      for (std::size_t card : matched) {
        if (examples[card].WorseThan(candidate)) examples[card] = candidate;
      }
    }
  }
  return examples;
}

void AppendEscaped(std::string& out, std::string_view text) {
  for (char byte : text) {
    switch (byte) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += byte;
    }
  }
}

// `sentence` as HTML with the words that match one of `forms` in bold.
std::string Highlighted(std::string_view sentence, const std::vector<std::string>& forms) {
  std::string html;
  std::size_t done = 0;
  AnySentenceWord(sentence, [&](std::string_view word) {
    const auto start = static_cast<std::size_t>(word.data() - sentence.data());
    AppendEscaped(html, sentence.substr(done, start - done));
    done = start + word.size();
    for (const std::string& form : forms) {
      if (!MatchesForm(word, form)) continue;
      html += "<b>";
      AppendEscaped(html, word);
      html += "</b>";
      return false;
    }
    AppendEscaped(html, word);
    return false;
  });
  AppendEscaped(html, sentence.substr(done));
  return html;
}

// Appends `field` as valid UTF-8 with its tabs and line breaks made spaces (they would cut the
// line) and any other control byte shown as "\xNN": the bytes come from the web.
void AppendField(std::string& line, std::string_view field) {
  std::string text = ValidUtf8(field);
  for (char& byte : text) {
    if (byte == '\t' || byte == '\r' || byte == '\n') byte = ' ';
  }
  line += EscapeControlBytes(text);
}

}  // namespace

const char* const kWordCardsHeader =
    "#separator:tab\n"
    "#html:true\n"
    "#columns:word\tcount\texample\thost\taddress\tmeaning\n";

std::string WriteWordCards(const RankedWordList& ranking, const std::set<std::string>& ngWords,
                           std::int32_t itemViewCount, CardWords which,
                           const SentenceStore& sentences, const InflectionIndex& index,
                           WebDictionary dictionary, const CardMeaning& meaningOf) {
  const std::int32_t limit =
      which == CardWords::kShown ? itemViewCount : std::numeric_limits<std::int32_t>::max();
  const std::vector<ShownWord> words = SelectShownWords(ranking, ngWords, limit);
  std::vector<std::vector<std::string>> formsOfCards;
  formsOfCards.reserve(words.size());
  for (const ShownWord& word : words) formsOfCards.push_back(SearchForms(word.caption, index));
  const std::vector<Example> examples = FindExamples(formsOfCards, sentences);

  std::string cards = kWordCardsHeader;
  for (std::size_t card = 0; card < words.size(); ++card) {
    const ShownWord& word = words[card];
    const Example& example = examples[card];
    AppendField(cards, word.caption);
    cards += '\t';
    cards += std::to_string(word.count);
    cards += '\t';
    if (example.sentence != nullptr) {
      AppendField(cards, Highlighted(*example.sentence, formsOfCards[card]));
      cards += '\t';
      std::string host;
      AppendEscaped(host, *example.host);  // a host from a redirect can hold mark-up too
      AppendField(cards, host);
    } else {
      cards += '\t';
    }
    cards += '\t';
    AppendField(cards, WebDictionaryAddress(dictionary, word.caption));
    cards += '\t';
    std::string meaning;
    AppendEscaped(meaning, meaningOf(word.caption));
    AppendField(cards, meaning);
    cards += '\n';
  }
  return cards;
}

}  // namespace quillmark
