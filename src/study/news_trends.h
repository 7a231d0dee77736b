#pragma once
// What the news did over time: the runs a history keeps, and the words that are new or rising
// in one run against the runs of the days before it. Pure arithmetic over plain vectors; the
// history on disk lives in src/session (run_history.h).

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "study/run_figures.h"

namespace quillmark {

// One gathering run as the history keeps it.
struct HistoryRun {
  std::int64_t id = 0;    // given by the history; a later run has a greater id
  std::int64_t time = 0;  // when the run ended, seconds since 1970-01-01 UTC
  std::vector<std::string> sites;
  RunFigures figures;
  std::int32_t knownShareTenths = 0;  // the known share in tenths of a percent: 935 is 93.5 %
  std::int32_t pagesFetched = 0;
};

// A ranked word of a run (upper case, as ranked) and its count.
struct WordCount {
  std::string word;
  std::int32_t count = 0;
  bool operator==(const WordCount&) const = default;
};

// The knobs of the trends; the defaults are the program's.
struct TrendOptions {
  std::int32_t days = 7;  // the earlier runs compared with are those of the last `days` days
  // A rising word is counted at least this often in the run...
  std::int32_t minRisingCount = 3;
  // ...and its rate is at least this many times its earlier mean rate...
  double minRisingFactor = 1.5;
  // ...where an earlier mean rate below this many per 10,000 words counts as this floor, so a
  // word seen once before does not top the list with an enormous factor.
  double rateFloorPer10000 = 1.0;
};

// A word of the trends: its count in the run and, for a rising word, the factor by which its
// rate per 10,000 words exceeds its earlier mean rate (0 for a new word).
struct TrendWord {
  std::string word;
  std::int32_t count = 0;
  double factor = 0;
  bool operator==(const TrendWord&) const = default;
};

struct NewsTrends {
  std::vector<TrendWord> newWords;  // most frequent first, then in byte order
  std::vector<TrendWord> rising;    // greatest factor first, then most frequent, then byte order
  std::int32_t earlierRuns = 0;     // how many runs the run was compared with
};

// The runs of `runs` that `run` is compared with: those written before it (a smaller id) that
// ended at most `days` days (of 86,400 s) before it. In the order of `runs`.
std::vector<HistoryRun> EarlierRunsInWindow(const std::vector<HistoryRun>& runs,
                                            const HistoryRun& run, std::int32_t days);

// The trends of a run with the words `today` against the words of the `earlier` runs:
//  - new: ranked in the run, in none of the earlier runs;
//  - rising: in an earlier run too, counted at least minRisingCount times, and with a rate per
//    10,000 words (a run's words are the sum of its counts) at least minRisingFactor times its
//    mean rate over the earlier runs (0 in a run that did not rank it), floored as
//    TrendOptions says.
// Words on `knownWords` and the empty word are left out. Without earlier runs nothing is new
// or rising: there is nothing to compare with.
NewsTrends ComputeTrends(const std::vector<WordCount>& today,
                         const std::vector<std::vector<WordCount>>& earlier,
                         const std::set<std::string>& knownWords, const TrendOptions& options = {});

// A point of a chart over the runs: the run's time and a value.
struct RunPoint {
  std::int64_t time = 0;
  std::int32_t value = 0;
  bool operator==(const RunPoint&) const = default;
};

// The known share (in tenths of a percent) of every run, in the order of `runs`.
std::vector<RunPoint> KnownShareOverTime(const std::vector<HistoryRun>& runs);

// A word's count in every run of `runs` (0 where the run did not rank it), from its counts by
// run id.
std::vector<RunPoint> WordCountOverTime(const std::vector<HistoryRun>& runs,
                                        const std::map<std::int64_t, std::int32_t>& countsByRun);

}  // namespace quillmark
