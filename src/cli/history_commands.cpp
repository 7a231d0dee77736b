#include "cli/history_commands.h"

#include <cstdio>
#include <ctime>

#include "cli/cli_output.h"
#include "cli/run_result.h"
#include "session/kept_articles.h"
#include "study/known_share.h"
#include "text/ascii_case.h"

namespace quillmark {
namespace {

std::string UtcTime(std::int64_t time) {
  const std::time_t seconds = static_cast<std::time_t>(time);
  std::tm parts{};
  ::gmtime_r(&seconds, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
  return text;
}

std::string OneDecimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

std::string RunJson(const HistoryRun& run) {
  std::string sites;
  for (const std::string& site : run.sites) sites += (sites.empty() ? "" : ", ") + JsonString(site);
  return "{\"id\": " + std::to_string(run.id) + ", \"time\": \"" + UtcTime(run.time) +
         "\", \"sites\": [" + sites + "], \"pagesFetched\": " + std::to_string(run.pagesFetched) +
         ", \"dataSize\": " + std::to_string(run.figures.dataSize) +
         ", \"wordsBeforeAggregation\": " + std::to_string(run.figures.wordsBeforeAggregation) +
         ", \"wordsAfterAggregation\": " + std::to_string(run.figures.wordsAfterAggregation) +
         ", \"knownShare\": " + PercentText(run.knownShareTenths) + "}";
}

// The first `top` words as JSON objects, with their factors when `withFactor`.
std::string TrendWordsJson(const std::vector<TrendWord>& words, std::size_t top, bool withFactor) {
  std::string out;
  for (std::size_t i = 0; i < std::min(top, words.size()); ++i) {
    out += (i == 0 ? "\n  " : ",\n  ");
    out += "{\"word\": " + JsonString(LowerCaseAscii(words[i].word)) +
           ", \"count\": " + std::to_string(words[i].count);
    if (withFactor) out += ", \"factor\": " + OneDecimal(words[i].factor);
    out += "}";
  }
  return out;
}

}  // namespace

std::string FormatHistory(const std::vector<HistoryRun>& runs, ResultFormat format) {
  std::string out;
  if (format == ResultFormat::kTsv) {
    out = "# time\tsites\tpages\tdata size\twords before\twords after\tknown share\n";
    for (const HistoryRun& run : runs) {
      out += UtcTime(run.time) + "\t" + std::to_string(run.sites.size()) + "\t" +
             std::to_string(run.pagesFetched) + "\t" + std::to_string(run.figures.dataSize) + "\t" +
             std::to_string(run.figures.wordsBeforeAggregation) + "\t" +
             std::to_string(run.figures.wordsAfterAggregation) + "\t" +
             PercentText(run.knownShareTenths) + "\n";
    }
    return out;
  }
  out = "{\"runs\": [";
  for (std::size_t i = 0; i < runs.size(); ++i)
    out += (i == 0 ? "\n  " : ",\n  ") + RunJson(runs[i]);
  return out + "]}\n";
}

std::string EmptyTrendsJson(std::int32_t days) {
  return "{\"run\": null,\n \"earlierRuns\": 0, \"days\": " + std::to_string(days) +
         ",\n \"new\": [],\n \"rising\": []}\n";
}

std::string FormatTrends(const HistoryRun& run, const NewsTrends& trends, std::int32_t days,
                         std::int32_t top, ResultFormat format) {
  const auto shown = static_cast<std::size_t>(std::max(top, 0));
  if (format == ResultFormat::kJson) {
    return "{\"run\": " + RunJson(run) +
           ",\n \"earlierRuns\": " + std::to_string(trends.earlierRuns) +
           ", \"days\": " + std::to_string(days) + ",\n \"new\": [" +
           TrendWordsJson(trends.newWords, shown, false) + "],\n \"rising\": [" +
           TrendWordsJson(trends.rising, shown, true) + "]}\n";
  }
  std::string out = "# run: " + UtcTime(run.time) + "; compared with " +
                    std::to_string(trends.earlierRuns) + " runs of the last " +
                    std::to_string(days) + " days\n";
  for (std::size_t i = 0; i < std::min(shown, trends.newWords.size()); ++i) {
    const TrendWord& word = trends.newWords[i];
    out += "new\t" + LowerCaseAscii(word.word) + "\t" + std::to_string(word.count) + "\n";
  }
  for (std::size_t i = 0; i < std::min(shown, trends.rising.size()); ++i) {
    const TrendWord& word = trends.rising[i];
    out += "rising\t" + LowerCaseAscii(word.word) + "\t" + std::to_string(word.count) + "\t" +
           OneDecimal(word.factor) + "\n";
  }
  return out;
}

int PrintHistory(RunHistory& history, ResultFormat format) {
  const std::vector<HistoryRun> runs = history.Runs();
  if (!Print(stdout, FormatHistory(runs, format))) {
    Print(stderr, std::string(kOutputFailedMessage) + "\n");
    return 1;
  }
  return runs.empty() ? 1 : 0;
}

int PrintTrends(RunHistory& history, const std::set<std::string>& ngWords, std::int32_t days,
                std::int32_t top, ResultFormat format) {
  const std::vector<HistoryRun> runs = history.Runs();
  if (runs.empty()) {
    // A program reading the JSON reads a document all the same, one without a run.
    if (format == ResultFormat::kJson && !Print(stdout, EmptyTrendsJson(days))) {
      Print(stderr, std::string(kOutputFailedMessage) + "\n");
      return 1;
    }
    Print(stderr, "quillmark-cli: the history holds no run yet\n");
    return 1;
  }
  const NewsTrends trends = TrendsOfLastRun(history, ngWords, TrendOptions{.days = days});
  if (Print(stdout, FormatTrends(runs.back(), trends, days, top, format))) return 0;
  Print(stderr, std::string(kOutputFailedMessage) + "\n");
  return 1;
}

void RecordGatheringRun(RunHistory& history, const MainStores& stores,
                        const std::vector<std::string>& sites, std::int32_t pagesFetched,
                        std::int64_t time, const std::vector<KeptArticle>& articles) {
  const RecordedRun record =
      RecordOfRun(time, sites, stores.figures, stores.ranking, stores.ngWords, pagesFetched);
  try {
    // The aggregation read the dictionary, so the stores hold it with the run's learned pairs.
    RecordRunWithArticles(history, record.run, record.words, articles, stores.mappedWords,
                          stores.dictionary, stores.configuration.keepArticlesDays);
  } catch (const HistoryError& error) {
    Print(stderr, HistoryErrorLine(error) + "\n");
  }
}

}  // namespace quillmark
