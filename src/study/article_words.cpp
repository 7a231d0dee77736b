#include "study/article_words.h"

#include <algorithm>
#include <numeric>

#include "study/known_share.h"
#include "study/sentence_store.h"
#include "text/inflection_normalizer.h"
#include "text/reading_words.h"
#include "text/tokenizer.h"

namespace quillmark {
namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The length of the UTF-8 sequence a lead byte starts (1 for ASCII and stray bytes).
std::size_t SequenceLength(unsigned char lead) {
  return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// Whether the character at `at` belongs to a word as the article reading cuts it: letters and
// digits, characters outside ASCII that are no marks (ReadingWordText tells), and an
// apostrophe (' or ’) between two letters. Hyphens part a compound into its words.
bool IsWordCharacter(std::string_view text, std::size_t at, std::size_t length) {
  const char c = text[at];
  if (length == 1) {
    if (IsAsciiLetter(c) || (c >= '0' && c <= '9')) return true;
    if (c != '\'') return false;
  } else if (ReadingWordText(text.substr(at, length)).find_first_not_of(' ') == std::string::npos) {
    const std::string_view mark = text.substr(at, length);
    if (mark != "\xE2\x80\x99" && mark != "\xE2\x80\x98") return false;
  } else {
    return true;
  }
  const std::size_t after = at + length;
  return at > 0 && IsAsciiLetter(text[at - 1]) && after < text.size() && IsAsciiLetter(text[after]);
}

// Where the run of word characters starting at `at` ends.
std::size_t WordEnd(std::string_view text, std::size_t at) {
  while (at < text.size()) {
    const std::size_t length = SequenceLength(static_cast<unsigned char>(text[at]));
    if (!IsWordCharacter(text, at, length)) break;
    at += length;
  }
  return std::min(at, text.size());
}

}  // namespace

Readability ReadabilityOf(std::int32_t knownShareTenths) {
  if (knownShareTenths >= kEasyReadingTenths) return Readability::kEasy;
  if (knownShareTenths >= kReadingWithDictionaryTenths) return Readability::kWithDictionary;
  return Readability::kHard;
}

namespace {

// The standing against a known list that `isKnown` asks; the words `isLeftOut` names count
// as running words only.
template <typename IsKnown, typename IsLeftOut>
ArticleStanding Standing(const std::vector<WordCount>& words, const IsKnown& isKnown,
                         const IsLeftOut& isLeftOut) {
  std::int64_t running = 0;
  std::int64_t counted = 0;
  std::int64_t known = 0;
  std::int32_t unknownWords = 0;
  for (const WordCount& word : words) {
    if (word.word.empty() || word.count < 1) continue;
    running += word.count;
    if (isLeftOut(word.word)) continue;
    counted += word.count;
    if (isKnown(word.word)) {
      known += word.count;
    } else {
      ++unknownWords;
    }
  }
  return ArticleStanding{.runningWords = static_cast<std::int32_t>(running),
                         .unknownWords = unknownWords,
                         .knownShareTenths = KnownShareTenths(known, counted)};
}

}  // namespace

ArticleStanding StandingOf(const std::vector<WordCount>& words,
                           const std::set<std::string>& knownWords,
                           const std::set<std::string>& leftOut) {
  return Standing(
      words, [&](const std::string& word) { return knownWords.contains(word); },
      [&](const std::string& word) { return leftOut.contains(word); });
}

ArticleStanding StandingOf(const std::vector<WordCount>& words,
                           const std::unordered_set<std::string_view>& knownWords) {
  return Standing(
      words, [&](const std::string& word) { return knownWords.contains(word); },
      [](const std::string&) { return false; });
}

std::vector<std::size_t> MostReadableFirst(const std::vector<ArticleStanding>& standings) {
  std::vector<std::size_t> order(standings.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    const ArticleStanding& x = standings[a];
    const ArticleStanding& y = standings[b];
    if (x.knownShareTenths != y.knownShareTenths) return x.knownShareTenths > y.knownShareTenths;
    if (x.unknownWords != y.unknownWords) return x.unknownWords < y.unknownWords;
    return x.runningWords > y.runningWords;
  });
  return order;
}

std::vector<ArticleRow> RowsMostReadableFirst(std::vector<ArticleEntry> entries,
                                              const std::set<std::string>& knownWords,
                                              const std::set<std::string>& leftOut) {
  // A table of a month asks for some 250,000 words: hashed, not searched in the tree.
  const std::unordered_set<std::string_view> known(knownWords.begin(), knownWords.end());
  const std::unordered_set<std::string_view> skipped(leftOut.begin(), leftOut.end());
  const auto isKnown = [&](const std::string& word) { return known.contains(word); };
  const auto isLeftOut = [&](const std::string& word) { return skipped.contains(word); };
  std::vector<ArticleStanding> standings;
  standings.reserve(entries.size());
  for (const ArticleEntry& entry : entries) {
    standings.push_back(Standing(entry.words, isKnown, isLeftOut));
  }
  std::vector<ArticleRow> rows;
  rows.reserve(entries.size());
  for (const std::size_t i : MostReadableFirst(standings))
    rows.push_back(ArticleRow{std::move(entries[i]), standings[i]});
  return rows;
}

ArticleWordCounter::ArticleWordCounter(const std::vector<std::string>& mappedWords,
                                       const MappingDictionary& dictionary)
    : mapped_(mappedWords.begin(), mappedWords.end()), dictionary_(dictionary) {}

ArticleWords ArticleWordCounter::Count(const KeptArticle& article,
                                       const std::vector<std::string>& sentences) const {
  SentenceStore store;
  AddArticleSentences("article", sentences, store);
  WordTally raw;
  std::int32_t tokens = 0;
  for (const auto& [host, hostSentences] : store)
    for (const std::string& sentence : hostSentences) CountReadingWords(raw, sentence, tokens);

  // A run enters every mapped word with 0, which lets the rules fold onto it. Only the mapped
  // words a word of this article may be folded onto can change its counts (and those the
  // fold of such a word may reach), so only they are entered: a run's tally with all of them
  // would give the same counts at the cost of thousands of entries per article.
  std::vector<std::string> pending;
  for (const auto& [word, count] : raw) pending.push_back(word);
  while (!pending.empty()) {
    const std::string word = std::move(pending.back());
    pending.pop_back();
    std::vector<std::string> targets;
    if (const auto pair = dictionary_.find(word); pair != dictionary_.end()) {
      targets.push_back(pair->second);
    } else {
      targets = FoldTargetsOf(word);
    }
    for (std::string& target : targets) {
      if (mapped_.contains(target) && raw.emplace(target, 0).second)
        pending.push_back(std::move(target));
    }
  }

  // Every word of the text, the sentences' and those of pieces no sentence kept, so that a
  // reader's marks follow the dictionary's pairs everywhere.
  std::set<std::string> textWords;
  for (const std::string& paragraph : article.paragraphs) {
    for (const TextPiece& piece : CutIntoPieces(paragraph))
      if (piece.word)
        for (const std::string& word : ReadingWords(piece.text))
          textWords.insert(UpperCaseAscii(word));
  }
  // The fold walks the whole dictionary it is given: only the pairs of these words are needed.
  MappingDictionary pairs;
  for (const auto& [word, count] : raw) {
    if (const auto pair = dictionary_.find(word); pair != dictionary_.end())
      pairs.emplace_hint(pairs.end(), *pair);
  }
  for (const std::string& word : textWords) {
    if (const auto pair = dictionary_.find(word); pair != dictionary_.end()) pairs.insert(*pair);
  }
  std::set<std::string> newBaseForms;
  const WordTally folded = FoldInflections(std::move(raw), pairs, newBaseForms);

  ArticleWords result;
  for (const auto& [word, count] : folded) {
    if (!word.empty() && count >= 1) result.counts.push_back({word, count});
  }
  for (const std::string& word : textWords) {
    const auto pair = pairs.find(word);
    if (pair != pairs.end() && pair->second != word) result.baseOf.emplace(word, pair->second);
  }
  return result;
}

std::vector<TextPiece> CutIntoPieces(std::string_view paragraph) {
  std::vector<TextPiece> pieces;
  auto addText = [&](std::string_view text, bool word) {
    if (text.empty()) return;
    if (!word && !pieces.empty() && !pieces.back().word) {
      pieces.back().text += text;
    } else {
      pieces.push_back(TextPiece{std::string(text), word});
    }
  };
  std::size_t i = 0;
  while (i < paragraph.size()) {
    std::size_t end = i;
    while (end < paragraph.size()) {
      const std::size_t length = SequenceLength(static_cast<unsigned char>(paragraph[end]));
      if (IsWordCharacter(paragraph, end, length)) break;
      end += length;
    }
    addText(paragraph.substr(i, end - i), false);
    i = end;
    end = WordEnd(paragraph, end);
    // A compound the dictionary knows is one word, hyphens and all ("well-known").
    while (end + 1 < paragraph.size() && paragraph[end] == '-' &&
           IsAsciiLetter(paragraph[end + 1])) {
      const std::size_t next = WordEnd(paragraph, end + 1);
      if (!IsKnownCompound(paragraph.substr(i, next - i))) break;
      end = next;
    }
    const std::string_view token = paragraph.substr(i, end - i);
    addText(token, !ReadingWords(token).empty());
    i = end;
  }
  return pieces;
}

std::string ReadingWordOf(std::string_view pieceText) {
  std::vector<std::string> words = ReadingWords(pieceText);
  return words.empty() ? std::string(pieceText) : std::move(words.front());
}

std::string CountedWordOf(std::string_view pieceText, const MappingDictionary& baseOf) {
  std::string word = UpperCaseAscii(ReadingWordOf(pieceText));
  const auto pair = baseOf.find(word);
  return pair == baseOf.end() ? word : pair->second;
}

}  // namespace quillmark
