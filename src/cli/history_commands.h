#pragma once
// quillmark-cli's side of the run history: the commands `history` and `trends`, and the row a
// gathering run with --save adds to it.

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "session/main_stores.h"
#include "session/run_history.h"

namespace quillmark {

// How many new and how many rising words `trends` prints without --top.
constexpr std::int32_t kDefaultTrendsTop = 20;

// tsv: "# time<TAB>sites<TAB>pages<TAB>data size<TAB>words before<TAB>words after<TAB>known
// share", then one line per run, oldest first: the time as "2026-12-07T14:50:00Z" (UTC), the
// number of sites, then the figures, the known share as "93.5". json: {"runs": [{...}]} with
// the sites themselves. Every line ends with LF.
std::string FormatHistory(const std::vector<HistoryRun>& runs, ResultFormat format);

// tsv: "# run: TIME; compared with R runs of the last D days", then "new<TAB>word<TAB>count"
// lines and "rising<TAB>word<TAB>count<TAB>factor" lines (factor with one decimal), words in
// lower case, at most `top` of each. json: one object with "run", "earlierRuns", "days",
// "new" and "rising".
std::string FormatTrends(const HistoryRun& run, const NewsTrends& trends, std::int32_t days,
                         std::int32_t top, ResultFormat format);

// What `trends --format json` prints for a history without a run: the same fields, "run" null
// and both lists empty.
std::string EmptyTrendsJson(std::int32_t days);

// `history`: prints every run. Returns 1 when the history holds none. Throws HistoryError.
int PrintHistory(RunHistory& history, ResultFormat format);

// `trends`: prints the trends of the last run, known words (`ngWords`) left out. Returns 1
// when the history holds no run (json: having printed EmptyTrendsJson). Throws HistoryError.
int PrintTrends(RunHistory& history, const std::set<std::string>& ngWords, std::int32_t days,
                std::int32_t top, ResultFormat format);

// The end of `gather`/`export --save`, before the data files are saved: adds the run that
// `stores` hold now, ended at `time`, to `history`, and keeps the `articles` it read with it
// (KeepArticlesOfRun, with the stores' lists and KeepArticlesDays). A failure is printed on
// standard error and changes nothing else.
void RecordGatheringRun(RunHistory& history, const MainStores& stores,
                        const std::vector<std::string>& sites, std::int32_t pagesFetched,
                        std::int64_t time, const std::vector<KeptArticle>& articles = {});

}  // namespace quillmark
