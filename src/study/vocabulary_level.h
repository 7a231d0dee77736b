#pragma once
// The learner's level: how many of the most frequent English base forms they know, estimated
// by a vocabulary check (語彙チェック) and moved by their marks afterwards. Pure arithmetic over
// the built-in lists FREQUENCY_RANKS and MADE_UP_WORDS (tools/generate_lists.py makes both).
//
// The check: the learner says of each word shown whether they know it. Real words come from
// bands of kBandSize ranks up to kBandCount bands; made-up words that look English measure how
// often the learner claims a word they cannot know. Each band's known share is its hit rate
// corrected for that false-alarm rate, (hits - f) / (1 - f); the estimate is the sum over the
// bands of share times band size.

#include <cstdint>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quillmark {

inline constexpr std::int32_t kBandSize = 1000;
inline constexpr std::int32_t kBandCount = 20;
inline constexpr std::int32_t kMaxCheckedLevel = kBandSize * kBandCount;

// FREQUENCY_RANKS read: line n (from 1) holds the base form of rank n, then the forms the
// fold never reaches that share its rank (comparatives).
class FrequencyRanks {
 public:
  FrequencyRanks() = default;
  // Takes the resource's bytes: words separated by blanks, lines by CR LF or LF.
  explicit FrequencyRanks(std::string_view bytes);

  // The rank of an upper-case word (a base or a form on its line); 0 when it has none.
  std::int32_t RankOf(std::string_view upperWord) const;
  // The base form of `rank` (1 ... Size()).
  const std::string& BaseOf(std::int32_t rank) const { return bases_[rank - 1]; }
  std::int32_t Size() const { return static_cast<std::int32_t>(bases_.size()); }
  // Every word of the lines 1 ... level (all of them when level exceeds Size()); none for 0.
  std::set<std::string> WordsWithin(std::int32_t level) const;

 private:
  std::vector<std::string> bases_;
  std::vector<std::vector<std::string>> forms_;  // by rank - 1, besides the base
  std::unordered_map<std::string, std::int32_t> rankOf_;
};

// The words of a list resource of one word a line (MADE_UP_WORDS), upper case.
std::vector<std::string> WordLines(std::string_view bytes);

// One answer of a check: a real word's band (1 ... kBandCount) or 0 for a made-up word.
struct CheckAnswer {
  std::string word;
  std::int32_t band = 0;
  bool known = false;
};

// The estimated number of known words after `answers`: per band the share of its words
// known, corrected by the false-alarm rate f of the made-up words ((p - f) / (1 - f), held
// in 0 ... 1; f = 1 trusts nothing and gives 0; f is at most the hit rate of the three rarest
// bands once they have 5 answers: no learner guesses among real words more often than they
// say yes to the rarest of them); the shares made non-increasing from band to
// band (a rise is noise: the adjacent bands are pooled, weighted by their answers); when the
// commonest asked band's share is 0.8 or more, every share divided by it (its misses are
// slips); a band not yet asked takes the share of the nearest asked band below it (above it
// when none is below); beyond the last band, words known falling linearly from its share to
// none over 10 bands (half its share of 10,000 words). No real answer gives 0.
std::int32_t EstimateVocabulary(const std::vector<CheckAnswer>& answers);

// "推定語彙数: 約6,200語": the estimate rounded to the nearest hundred, grouped by thousands.
std::string EstimateText(std::int32_t estimate);
// The level a check's estimate is kept as: rounded to the nearest hundred, as it is shown.
std::int32_t LevelOfEstimate(std::int32_t estimate);
// "6,200" for 6,200 (digits grouped by three with commas).
std::string GroupedNumber(std::int32_t number);

// How a check draws its words.
struct CheckPlan {
  std::int32_t realWords = 96;    // drawn from the bands
  std::int32_t madeUpWords = 24;  // spread evenly among them
  std::int32_t firstPerBand = 2;  // every band's first words; the rest go where unsure
};

// A check in progress: the word to answer, the answers so far, the estimate. Words are drawn
// when they are needed: after every band's first words, each next real word goes to the band
// whose share is least certain (the greatest fall of p(1 - p) / n from one more answer, p
// smoothed as (hits + 0.1) / (n + 0.2)), so clearly known and clearly unknown bands get few.
class VocabularyCheck {
 public:
  // `ranks` and `madeUp` must outlive the check; `seed` fixes the words drawn. Words shorter
  // than three letters are never drawn.
  VocabularyCheck(const FrequencyRanks& ranks, const std::vector<std::string>& madeUp,
                  std::uint32_t seed, CheckPlan plan = {});

  bool Finished() const { return AnsweredCount() == Total(); }
  // The word to answer now, upper case; empty once finished.
  const std::string& CurrentWord() const { return current_.word; }
  // Records the answer to CurrentWord and draws the next one. Ignored once finished.
  void Answer(bool known);
  std::int32_t Total() const { return plan_.realWords + plan_.madeUpWords; }
  std::int32_t AnsweredCount() const { return static_cast<std::int32_t>(answers_.size()); }
  const std::vector<CheckAnswer>& Answers() const { return answers_; }
  std::int32_t Estimate() const { return EstimateVocabulary(answers_); }

 private:
  void DrawNext();
  std::int32_t NextBand() const;
  std::string DrawFromBand(std::int32_t band);

  const FrequencyRanks& ranks_;
  const std::vector<std::string>& madeUp_;
  CheckPlan plan_;
  std::mt19937 random_;
  std::vector<CheckAnswer> answers_;
  CheckAnswer current_;
  std::set<std::string> drawn_;
  std::int32_t realDrawn_ = 0;
  std::int32_t madeUpDrawn_ = 0;
};

// How a mark moves the level, once a level is set: a 知っている of a word ranked beyond the
// level raises it, a 知らない of a word ranked within it lowers it, each by a fortieth of the
// distance between the word's rank and the level, at least 1 and at most kLearningStep words.
// Any other mark, and a word without a rank, leaves it. The level stays within 1 ...
// `ranks.Size()`; level 0 (none set) is never moved.
inline constexpr std::int32_t kLearningDivisor = 40;
inline constexpr std::int32_t kLearningStep = 100;
std::int32_t LevelAfterMark(std::int32_t level, std::int32_t rank, bool known,
                            std::int32_t rankCount);

}  // namespace quillmark
