// The vocabulary check against simulated learners. Goal: for learners of N = 3,000, 6,000 and
// 10,000 words who slip on 5 % of their answers and claim 10 % of the made-up words, the
// estimate within ±25 % of N for at least 9 learners of 10 after at most 120 answers (the
// counters within25 and answers of BM_SimulatedLearners); the next word within 50 ms of an
// answer (BM_AnswerAndDrawNext).
//
// A learner is not built on the program's own ranks: the learner's list ranks the same words
// by their rank here times a random factor (log-normal, sigma kListDisagreement), standing for
// a frequency list of other corpora, and the learner knows it with the probability
// 1 / (1 + (rank / N')^kSteepness), where N' is set so that the learner knows N words of
// that list in expectation.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <numbers>
#include <random>
#include <sstream>

#include "study/vocabulary_level.h"

namespace quillmark {
namespace {

constexpr double kSlipRate = 0.05;
constexpr double kFalseClaimRate = 0.10;
constexpr double kListDisagreement = 0.5;
constexpr double kSteepness = 4.0;
// LEARNERS=100 in the environment runs more learners per size, for a steadier rate.
const int kLearners = std::getenv("LEARNERS") ? std::atoi(std::getenv("LEARNERS")) : 10;

std::string ReadResource(const char* name) {
  std::ifstream stream(std::string(QUILLMARK_SOURCE_DIR) + "/resources/" + name, std::ios::binary);
  std::ostringstream bytes;
  bytes << stream.rdbuf();
  return bytes.str();
}

const FrequencyRanks& Ranks() {
  static const FrequencyRanks ranks(ReadResource("FREQUENCY_RANKS"));
  return ranks;
}

const std::vector<std::string>& MadeUp() {
  static const std::vector<std::string> words = WordLines(ReadResource("MADE_UP_WORDS"));
  return words;
}

class SimulatedLearner {
 public:
  SimulatedLearner(std::int32_t size, std::uint32_t seed) : random_(seed) {
    // The learner's own list: the same words, each rank disturbed by a log-normal factor and
    // the words ranked again, so that it still holds one word per rank.
    std::lognormal_distribution<double> disagreement(0, kListDisagreement);
    std::vector<std::pair<double, std::int32_t>> keys;
    for (std::int32_t rank = 1; rank <= Ranks().Size(); ++rank) {
      keys.emplace_back(rank * disagreement(random_), rank);
    }
    std::sort(keys.begin(), keys.end());
    listRank_.resize(keys.size() + 1);
    for (std::size_t i = 0; i < keys.size(); ++i) listRank_[keys[i].second] = i + 1;
    // The expected number known of a log-logistic curve is scale * (pi/k) / sin(pi/k).
    const double factor = (std::numbers::pi / kSteepness) / std::sin(std::numbers::pi / kSteepness);
    scale_ = size / factor;
  }

  bool Says(std::int32_t rank) {
    std::uniform_real_distribution<double> unit(0, 1);
    if (rank == 0) return unit(random_) < kFalseClaimRate;
    const double listRank = listRank_[rank];
    const bool knows = unit(random_) < 1 / (1 + std::pow(listRank / scale_, kSteepness));
    return unit(random_) < kSlipRate ? !knows : knows;
  }

 private:
  std::mt19937 random_;
  double scale_;
  std::vector<std::int32_t> listRank_;  // by the rank here
};

void BM_SimulatedLearners(benchmark::State& state) {
  const auto size = static_cast<std::int32_t>(state.range(0));
  int within = 0;
  std::int32_t answers = 0;
  double errorSum = 0;
  double signedSum = 0;
  for (auto _ : state) {
    within = 0;
    errorSum = 0;
    signedSum = 0;
    for (int learner = 0; learner < kLearners; ++learner) {
      SimulatedLearner simulated(size, 1000 + learner);
      VocabularyCheck check(Ranks(), MadeUp(), 2000 + learner);
      while (!check.Finished()) {
        const std::string word = check.CurrentWord();
        check.Answer(simulated.Says(Ranks().RankOf(word)));
      }
      answers = check.AnsweredCount();
      const double error = (check.Estimate() - size) / static_cast<double>(size);
      errorSum += std::abs(error);
      signedSum += error;
      if (std::abs(error) <= 0.25) ++within;
    }
  }
  state.counters["within25"] = within;
  state.counters["of"] = kLearners;
  state.counters["answers"] = answers;
  state.counters["mean_abs_error_pct"] = 100 * errorSum / kLearners;
  state.counters["mean_error_pct"] = 100 * signedSum / kLearners;
}
BENCHMARK(BM_SimulatedLearners)
    ->Arg(3000)
    ->Arg(6000)
    ->Arg(10000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void BM_AnswerAndDrawNext(benchmark::State& state) {
  std::uint32_t seed = 0;
  auto check = std::make_unique<VocabularyCheck>(Ranks(), MadeUp(), seed);
  for (auto _ : state) {
    if (check->Finished()) {
      state.PauseTiming();
      check = std::make_unique<VocabularyCheck>(Ranks(), MadeUp(), ++seed);
      state.ResumeTiming();
    }
    check->Answer(check->AnsweredCount() % 3 != 0);
  }
}
BENCHMARK(BM_AnswerAndDrawNext)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quillmark
