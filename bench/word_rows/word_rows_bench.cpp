// Rebuilding the word list: the previous rows dismantled and new ones built, as at the end of
// every gathering run. The goal is no visible pause for the largest list (ItemViewCount 200,
// so 201 rows of four controls each): well under the 100 ms a user notices.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollArea>

#include "app/word_list_view.h"

namespace {

void BM_RebuildWordRows(benchmark::State& state) {
  const auto itemViewCount = static_cast<std::int32_t>(state.range(0));
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char name[] = "bench_word_rows";
  char* argv[] = {name, nullptr};
  QApplication application(argc, argv);
  QScrollArea scrollBox;
  scrollBox.resize(600, 180);
  scrollBox.show();
  quillmark::TWordListView rows(
      &scrollBox, [](const std::string&) {}, [](const std::string&) {});
  quillmark::RankedWordList ranking;
  for (int i = 0; i < 300; ++i) ranking.emplace_back("WORD" + std::to_string(1000 + i), i + 1);
  std::set<std::string> ngWords{""};
  for (auto _ : state) {
    rows.Rebuild(ranking, ngWords, itemViewCount);
    QCoreApplication::processEvents();  // the rows are laid out and drawn
  }
  state.counters["rows"] = static_cast<double>(rows.RowCount());
}
BENCHMARK(BM_RebuildWordRows)->Arg(30)->Arg(200)->Unit(benchmark::kMillisecond);

}  // namespace
