#include "study/vocabulary_level.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace quillmark {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// The words of one line, cut at blanks.
std::vector<std::string> WordsOfLine(std::string_view line) {
  std::vector<std::string> words;
  std::size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && IsBlank(line[at])) ++at;
    std::size_t end = at;
    while (end < line.size() && !IsBlank(line[end])) ++end;
    if (end > at) words.emplace_back(line.substr(at, end - at));
    at = end;
  }
  return words;
}

template <typename Visit>
void ForEachLine(std::string_view bytes, Visit visit) {
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    visit(bytes.substr(0, end));
    if (end == std::string_view::npos) break;
    bytes.remove_prefix(end + 1);
  }
}

std::string UpperCase(std::string word) {
  for (char& c : word) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return word;
}

}  // namespace

FrequencyRanks::FrequencyRanks(std::string_view bytes) {
  ForEachLine(bytes, [this](std::string_view line) {
    std::vector<std::string> words = WordsOfLine(line);
    if (words.empty()) return;
    const auto rank = static_cast<std::int32_t>(bases_.size() + 1);
    for (auto& word : words) {
      word = UpperCase(std::move(word));
      rankOf_.emplace(word, rank);  // a word on two lines keeps its better rank
    }
    bases_.push_back(words.front());
    forms_.emplace_back(words.begin() + 1, words.end());
  });
}

std::int32_t FrequencyRanks::RankOf(std::string_view upperWord) const {
  const auto found = rankOf_.find(std::string(upperWord));
  return found == rankOf_.end() ? 0 : found->second;
}

std::set<std::string> FrequencyRanks::WordsWithin(std::int32_t level) const {
  std::set<std::string> words;
  const std::int32_t last = std::min(level, Size());
  for (std::int32_t rank = 1; rank <= last; ++rank) {
    words.insert(bases_[rank - 1]);
    words.insert(forms_[rank - 1].begin(), forms_[rank - 1].end());
  }
  return words;
}

std::vector<std::string> WordLines(std::string_view bytes) {
  std::vector<std::string> words;
  ForEachLine(bytes, [&words](std::string_view line) {
    for (auto& word : WordsOfLine(line)) words.push_back(UpperCase(std::move(word)));
  });
  return words;
}

namespace {

// How far a band's share is pulled to one half while it has few answers, when the next word's
// band is chosen: little, so that two unknown words already mark a band as clearly unknown.
constexpr double kShareSmoothing = 0.1;
// The rarest bands, whose hit rate bounds the guessing rate, and the answers they need for it.
constexpr std::int32_t kRareBands = 3;
constexpr std::int32_t kRareBandsEvidence = 5;
// How many bands' worth of words beyond the last band the tail reaches.
constexpr std::int32_t kTailBands = 10;
// The commonest band's share from which its misses are taken to be slips.
constexpr double kKnownBandShare = 0.8;

// Shares that never rise from one band to the next (pool adjacent violators, weighted by the
// answers): a learner knows the rarer words less, so a rise is noise, and pooling it with its
// neighbours keeps one lucky answer in a rare band from counting a thousand words.
std::vector<double> NonIncreasing(const std::vector<double>& shares,
                                  const std::vector<double>& weights) {
  struct Block {
    double sum, weight;
    std::size_t count;
  };
  std::vector<Block> blocks;
  for (std::size_t i = 0; i < shares.size(); ++i) {
    blocks.push_back({shares[i] * weights[i], weights[i], 1});
    while (blocks.size() > 1) {
      const Block& last = blocks.back();
      const Block& before = blocks[blocks.size() - 2];
      if (before.sum * last.weight >= last.sum * before.weight) break;
      const Block merged{before.sum + last.sum, before.weight + last.weight,
                         before.count + last.count};
      blocks.pop_back();
      blocks.back() = merged;
    }
  }
  std::vector<double> result;
  for (const auto& block : blocks)
    result.insert(result.end(), block.count, block.sum / block.weight);
  return result;
}

}  // namespace

std::int32_t EstimateVocabulary(const std::vector<CheckAnswer>& answers) {
  std::array<std::int32_t, kBandCount + 1> asked{};
  std::array<std::int32_t, kBandCount + 1> hits{};
  for (const auto& answer : answers) {
    if (answer.band < 0 || answer.band > kBandCount) continue;
    ++asked[answer.band];
    if (answer.known) ++hits[answer.band];
  }
  double falseAlarms = asked[0] == 0 ? 0.0 : static_cast<double>(hits[0]) / asked[0];
  if (falseAlarms >= 1.0) return 0;
  // A learner who claims made-up words more often than the rarest real words cannot be
  // guessing at that rate among real words: the guessing rate is at most the rarest bands'.
  std::int32_t rareAsked = 0;
  std::int32_t rareHits = 0;
  for (std::int32_t band = kBandCount; band > kBandCount - kRareBands; --band) {
    rareAsked += asked[band];
    rareHits += hits[band];
  }
  if (rareAsked >= kRareBandsEvidence) {
    falseAlarms = std::min(falseAlarms, static_cast<double>(rareHits) / rareAsked);
  }
  std::vector<std::int32_t> askedBands;
  std::vector<double> shares;
  std::vector<double> weights;
  for (std::int32_t band = 1; band <= kBandCount; ++band) {
    if (asked[band] == 0) continue;
    const double hitRate = static_cast<double>(hits[band]) / asked[band];
    askedBands.push_back(band);
    shares.push_back(std::clamp((hitRate - falseAlarms) / (1.0 - falseAlarms), 0.0, 1.0));
    weights.push_back(asked[band]);
  }
  if (askedBands.empty()) return 0;
  shares = NonIncreasing(shares, weights);
  // A learner who knows the commonest band says no to some of its words all the same: a
  // slip. When the commonest words read as mostly known, they stand for fully known and every
  // share is scaled up by the same factor.
  if (shares.front() >= kKnownBandShare) {
    const double ceiling = shares.front();
    for (double& share : shares) share = std::min(1.0, share / ceiling);
  }
  // Every band takes the share of the nearest asked band at or below it (above it when none is).
  double total = 0;
  std::size_t next = 0;
  for (std::int32_t band = 1; band <= kBandCount; ++band) {
    while (next + 1 < askedBands.size() && askedBands[next + 1] <= band) ++next;
    total += shares[next] * kBandSize;
  }
  // Beyond the last band the learner still knows some words: as many as the last band's
  // share of the next kTailBands bands, falling to none (half of it in all).
  total += shares.back() * kBandSize * kTailBands / 2;
  return static_cast<std::int32_t>(std::lround(total));
}

std::string GroupedNumber(std::int32_t number) {
  std::string digits = std::to_string(number);
  for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
    digits.insert(static_cast<std::size_t>(at), ",");
  }
  return digits;
}

std::int32_t LevelOfEstimate(std::int32_t estimate) { return (estimate + 50) / 100 * 100; }

std::string EstimateText(std::int32_t estimate) {
  return "推定語彙数: 約" + GroupedNumber(LevelOfEstimate(estimate)) + "語";
}

VocabularyCheck::VocabularyCheck(const FrequencyRanks& ranks,
                                 const std::vector<std::string>& madeUp, std::uint32_t seed,
                                 CheckPlan plan)
    : ranks_(ranks), madeUp_(madeUp), plan_(plan), random_(seed) {
  // A short list (a test's) cannot give more words than it has.
  std::int32_t drawable = 0;
  for (std::int32_t rank = 1; rank <= std::min(ranks.Size(), kMaxCheckedLevel); ++rank) {
    if (ranks.BaseOf(rank).size() >= 3) ++drawable;
  }
  plan_.realWords = std::clamp(plan_.realWords, 0, drawable);
  plan_.madeUpWords = std::clamp(plan_.madeUpWords, 0, static_cast<std::int32_t>(madeUp.size()));
  DrawNext();
}

void VocabularyCheck::Answer(bool known) {
  if (Finished()) return;
  current_.known = known;
  answers_.push_back(current_);
  DrawNext();
}

std::int32_t VocabularyCheck::NextBand() const {
  const std::int32_t bands = std::min(kBandCount, (ranks_.Size() + kBandSize - 1) / kBandSize);
  std::array<std::int32_t, kBandCount + 1> asked{};
  std::array<std::int32_t, kBandCount + 1> hits{};
  for (const auto& answer : answers_) {
    ++asked[answer.band];
    if (answer.known) ++hits[answer.band];
  }
  // The first words go round the bands in order, so that every band is asked.
  if (realDrawn_ < plan_.firstPerBand * bands) return realDrawn_ % bands + 1;
  std::int32_t best = 1;
  double bestGain = -1;
  for (std::int32_t band = 1; band <= bands; ++band) {
    const double n = asked[band];
    const double p = (hits[band] + kShareSmoothing) / (n + 2 * kShareSmoothing);
    const double gain = p * (1 - p) / ((n + 1.0) * (n + 2.0));
    if (gain > bestGain) {
      bestGain = gain;
      best = band;
    }
  }
  return best;
}

std::string VocabularyCheck::DrawFromBand(std::int32_t band) {
  const std::int32_t first = (band - 1) * kBandSize + 1;
  const std::int32_t last = std::min(band * kBandSize, ranks_.Size());
  std::uniform_int_distribution<std::int32_t> pick(first, last);
  for (int attempt = 0; attempt < 10 * kBandSize; ++attempt) {
    const std::string& word = ranks_.BaseOf(pick(random_));
    if (word.size() >= 3 && drawn_.insert(word).second) return word;
  }
  return {};
}

void VocabularyCheck::DrawNext() {
  current_ = {};
  if (Finished()) return;
  // A made-up word after every (real / made-up) real words, so that they are spread evenly.
  const std::int32_t shown = realDrawn_ + madeUpDrawn_;
  const bool madeUpTurn = madeUpDrawn_ < plan_.madeUpWords &&
                          (realDrawn_ >= plan_.realWords ||
                           static_cast<std::int64_t>(madeUpDrawn_ + 1) * Total() <=
                               static_cast<std::int64_t>(shown + 1) * plan_.madeUpWords);
  if (madeUpTurn) {
    std::uniform_int_distribution<std::size_t> pick(0, madeUp_.size() - 1);
    for (int attempt = 0; attempt < 1000; ++attempt) {
      const std::string& word = madeUp_[pick(random_)];
      if (drawn_.insert(word).second) {
        current_ = {word, 0, false};
        break;
      }
    }
    ++madeUpDrawn_;
    if (current_.word.empty()) DrawNext();
    return;
  }
  const std::int32_t band = NextBand();
  current_ = {DrawFromBand(band), band, false};
  ++realDrawn_;
}

std::int32_t LevelAfterMark(std::int32_t level, std::int32_t rank, bool known,
                            std::int32_t rankCount) {
  if (level <= 0 || rank <= 0) return level;
  if (known && rank > level) {
    const std::int32_t step = std::clamp((rank - level) / kLearningDivisor, 1, kLearningStep);
    return std::min(level + step, std::max(rankCount, level));
  }
  if (!known && rank <= level) {
    const std::int32_t step = std::clamp((level - rank) / kLearningDivisor, 1, kLearningStep);
    return std::max(level - step, 1);
  }
  return level;
}

}  // namespace quillmark
