#include "study/news_trends.h"

#include <algorithm>
#include <unordered_map>

namespace quillmark {
namespace {

constexpr std::int64_t kSecondsPerDay = 86'400;
constexpr double kRateUnit = 10'000.0;  // rates are per 10,000 words

std::int64_t WordsCounted(const std::vector<WordCount>& words) {
  std::int64_t total = 0;
  for (const WordCount& word : words) total += word.word.empty() ? 0 : word.count;
  return total;
}

double RatePer10000(std::int64_t count, std::int64_t total) {
  return total == 0 ? 0.0 : static_cast<double>(count) * kRateUnit / static_cast<double>(total);
}

// Each word's rate summed over the earlier runs, one pass per run.
std::unordered_map<std::string, double> SummedEarlierRates(
    const std::vector<std::vector<WordCount>>& earlier) {
  std::unordered_map<std::string, double> rates;
  for (const std::vector<WordCount>& run : earlier) {
    const std::int64_t total = WordsCounted(run);
    for (const WordCount& word : run) rates[word.word] += RatePer10000(word.count, total);
  }
  return rates;
}

}  // namespace

std::vector<HistoryRun> EarlierRunsInWindow(const std::vector<HistoryRun>& runs,
                                            const HistoryRun& run, std::int32_t days) {
  const std::int64_t from = run.time - static_cast<std::int64_t>(days) * kSecondsPerDay;
  std::vector<HistoryRun> window;
  for (const HistoryRun& earlier : runs) {
    if (earlier.id < run.id && earlier.time >= from && earlier.time <= run.time)
      window.push_back(earlier);
  }
  return window;
}

NewsTrends ComputeTrends(const std::vector<WordCount>& today,
                         const std::vector<std::vector<WordCount>>& earlier,
                         const std::set<std::string>& knownWords, const TrendOptions& options) {
  NewsTrends trends;
  trends.earlierRuns = static_cast<std::int32_t>(earlier.size());
  if (earlier.empty()) return trends;

  const std::unordered_map<std::string, double> summedRates = SummedEarlierRates(earlier);
  const std::int64_t total = WordsCounted(today);
  for (const WordCount& word : today) {
    if (word.word.empty() || word.count < 1 || knownWords.contains(word.word)) continue;
    const auto found = summedRates.find(word.word);
    if (found == summedRates.end()) {
      trends.newWords.push_back({word.word, word.count, 0});
      continue;
    }
    if (word.count < options.minRisingCount) continue;
    const double meanRate = found->second / static_cast<double>(earlier.size());
    const double factor =
        RatePer10000(word.count, total) / std::max(meanRate, options.rateFloorPer10000);
    if (factor >= options.minRisingFactor) trends.rising.push_back({word.word, word.count, factor});
  }

  std::sort(trends.newWords.begin(), trends.newWords.end(),
            [](const TrendWord& a, const TrendWord& b) {
              return a.count != b.count ? a.count > b.count : a.word < b.word;
            });
  std::sort(trends.rising.begin(), trends.rising.end(), [](const TrendWord& a, const TrendWord& b) {
    if (a.factor != b.factor) return a.factor > b.factor;
    return a.count != b.count ? a.count > b.count : a.word < b.word;
  });
  return trends;
}

std::vector<RunPoint> KnownShareOverTime(const std::vector<HistoryRun>& runs) {
  std::vector<RunPoint> points;
  points.reserve(runs.size());
  for (const HistoryRun& run : runs) points.push_back({run.time, run.knownShareTenths});
  return points;
}

std::vector<RunPoint> WordCountOverTime(const std::vector<HistoryRun>& runs,
                                        const std::map<std::int64_t, std::int32_t>& countsByRun) {
  std::vector<RunPoint> points;
  points.reserve(runs.size());
  for (const HistoryRun& run : runs) {
    const auto found = countsByRun.find(run.id);
    points.push_back({run.time, found == countsByRun.end() ? 0 : found->second});
  }
  return points;
}

}  // namespace quillmark
