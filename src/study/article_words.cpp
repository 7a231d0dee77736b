#include "study/article_words.h"

#include <algorithm>
#include <numeric>

#include "study/known_share.h"
#include "study/sentence_store.h"
#include "text/inflection_normalizer.h"
#include "text/tokenizer.h"

namespace quillmark {
namespace {

bool IsSeparator(char c) { return WordSeparators.find(c) != std::string_view::npos; }

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

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
    for (const std::string& sentence : hostSentences) CountWords(raw, sentence, tokens);

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
      if (piece.word) textWords.insert(UpperCaseAscii(piece.text));
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
    while (end < paragraph.size() && IsSeparator(paragraph[end])) ++end;
    addText(paragraph.substr(i, end - i), false);
    i = end;
    while (end < paragraph.size() && !IsSeparator(paragraph[end])) ++end;
    const std::string_view token = paragraph.substr(i, end - i);
    addText(token, std::all_of(token.begin(), token.end(), IsAsciiLetter));
    i = end;
  }
  return pieces;
}

std::string CountedWordOf(std::string_view pieceText, const MappingDictionary& baseOf) {
  std::string word = UpperCaseAscii(pieceText);
  const auto pair = baseOf.find(word);
  return pair == baseOf.end() ? word : pair->second;
}

}  // namespace quillmark
