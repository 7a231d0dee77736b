#pragma once
// A kept article through a learner's eyes: its words as a run counts them (the designed
// tokenizer and fold), how much of it the learner knows, and its text cut into the pieces a
// reader marks. Pure arithmetic over plain values; the articles on disk are kept by
// src/session/run_history.

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "study/kept_article.h"
#include "study/news_trends.h"
#include "text/word_types.h"

namespace quillmark {

// An article as the history lists it: where and when it was read, and its counted words
// (upper case, byte order, count >= 1, the empty word left out). No text: a table of the
// articles of a month must not read every article's text.
struct ArticleEntry {
  std::int64_t id = 0;
  std::int64_t runId = 0;  // the run that read it last
  std::int64_t time = 0;   // when that run ended, seconds since 1970-01-01 UTC
  std::string site;
  std::string address;
  std::string title;
  std::string date;
  std::vector<WordCount> words;
};

// What the learner can expect of an article against their known list.
struct ArticleStanding {
  std::int32_t runningWords = 0;      // every counted occurrence of a word
  std::int32_t unknownWords = 0;      // distinct counted words not on the known list
  std::int32_t knownShareTenths = 0;  // as KnownShareTenths: 935 is 93.5 %
};

// The shares that research on reading in a second language names: at 98 % of the running
// words known a text is read without help, at 95 % with a dictionary at hand.
inline constexpr std::int32_t kEasyReadingTenths = 980;
inline constexpr std::int32_t kReadingWithDictionaryTenths = 950;

enum class Readability { kEasy, kWithDictionary, kHard };
Readability ReadabilityOf(std::int32_t knownShareTenths);

// The standing of an article whose counted words are `words`, against `knownWords` (the
// NG-word list, with a level also the words it knows: upper case). The known share is the
// same figure the status bar's 既知語率 gives for a run made of this article alone. The words
// of `leftOut` (with a level: names, words of no list or dictionary) count as running words
// only, neither in the share nor among the unknown words.
ArticleStanding StandingOf(const std::vector<WordCount>& words,
                           const std::set<std::string>& knownWords,
                           const std::set<std::string>& leftOut = {});

// The same against a hashed known list, for a table of many articles.
ArticleStanding StandingOf(const std::vector<WordCount>& words,
                           const std::unordered_set<std::string_view>& knownWords);

// The order of a table of articles, most readable first: the greatest known share, then the
// fewest unknown words, then the most words (more reading at the same ease), then the order
// given. Returns indexes into `standings`.
std::vector<std::size_t> MostReadableFirst(const std::vector<ArticleStanding>& standings);

// A row of a table of articles: the article and its standing.
struct ArticleRow {
  ArticleEntry entry;
  ArticleStanding standing;
};

// `entries` with their standings against `knownWords`, most readable first.
std::vector<ArticleRow> RowsMostReadableFirst(std::vector<ArticleEntry> entries,
                                              const std::set<std::string>& knownWords,
                                              const std::set<std::string>& leftOut = {});

// An article's words as the run aggregation counts a run of this article alone.
struct ArticleWords {
  std::vector<WordCount> counts;  // as ArticleEntry::words
  // Every word of the text (upper case) that the fold puts under another word, with that word:
  // a dictionary pair, or a rule the article's own words (or the mapped words) attest.
  MappingDictionary baseOf;
};

// Counts articles with a session's mapped words and mapping dictionary, which must outlive it.
class ArticleWordCounter {
 public:
  ArticleWordCounter(const std::vector<std::string>& mappedWords,
                     const MappingDictionary& dictionary);

  // `sentences` are the article's as a gathering keeps them (SentencesOf its paragraphs, in
  // src/article; KeptArticleWords in src/session does both): those the sentence store takes
  // (AddArticleSentences, a sentence held twice counted once) are counted with the mapped
  // words entered at 0 and folded: the counts the run aggregation gives them. The marks take
  // every word of the paragraphs. Neither list is changed: the pairs the fold learns stay in
  // the result. Throws std::bad_alloc only.
  ArticleWords Count(const KeptArticle& article, const std::vector<std::string>& sentences) const;

 private:
  std::unordered_set<std::string_view> mapped_;
  const MappingDictionary& dictionary_;
};

// A piece of a paragraph: a word the article reading counts (ReadingWords: letters, with an
// apostrophe inside, as in "city’s" or "don't"; a hyphen parts a compound), or the text between
// such words.
struct TextPiece {
  std::string text;
  bool word = false;
};

// Cuts `paragraph` into pieces that together give it back byte for byte; a token the reading
// counts no word of (one holding a digit or a letter outside ASCII) is no word.
std::vector<TextPiece> CutIntoPieces(std::string_view paragraph);

// The word a word piece is counted as, as written: its first reading word ("city’s" -> city,
// "don’t" -> do); the piece itself when it has none.
std::string ReadingWordOf(std::string_view pieceText);

// The word a piece of text counts under: the base in `baseOf` of its reading word (upper
// case), else that word.
std::string CountedWordOf(std::string_view pieceText, const MappingDictionary& baseOf);

}  // namespace quillmark
