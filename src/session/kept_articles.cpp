#include "session/kept_articles.h"

#include <algorithm>

#include "article/sentence_split.h"
#include "gather/site_articles.h"

namespace quillmark {

ArticleWords KeptArticleWords(const ArticleWordCounter& counter, const KeptArticle& article) {
  return counter.Count(article, SentencesOf(article.paragraphs));
}

void KeepArticlesOfRun(RunHistory& history, std::int64_t runId, std::int64_t time,
                       const std::vector<KeptArticle>& articles,
                       const std::vector<std::string>& mappedWords,
                       const MappingDictionary& dictionary, std::int32_t keepDays) {
  const ArticleWordCounter counter(mappedWords, dictionary);
  std::vector<CountedArticle> counted;
  counted.reserve(articles.size());
  for (const KeptArticle& article : articles)
    counted.push_back(CountedArticle{article, KeptArticleWords(counter, article).counts});
  history.KeepArticles(runId, time, counted, keepDays);
}

std::vector<ArticleEntry> ListedArticles(RunHistory& history, std::int32_t days) {
  const std::vector<HistoryRun> runs = history.Runs();
  if (runs.empty()) return {};
  const HistoryRun& last = runs.back();
  constexpr std::int64_t kSecondsPerDay = 86'400;
  std::vector<ArticleEntry> entries =
      history.ArticlesSince(days > 0 ? last.time - std::int64_t{days} * kSecondsPerDay : last.time);
  std::erase_if(entries, [&](const ArticleEntry& entry) {
    return (days == 0 && entry.runId != last.id) || IsHomePageAddress(entry.address);
  });
  return entries;
}

void AddKeptSentences(RunHistory& history, SentenceStore& store) {
  for (const ArticleEntry& entry : history.ArticlesSince(0)) {
    if (const std::optional<KeptArticle> article = history.ArticleAt(entry.address))
      AddArticleSentences(article->site, SentencesOf(article->paragraphs), store);
  }
}

}  // namespace quillmark
