#include "session/kept_articles.h"

#include <algorithm>
#include <unordered_set>

#include "article/sentence_split.h"
#include "gather/site_articles.h"

namespace quillmark {

ArticleWords KeptArticleWords(const ArticleWordCounter& counter, const KeptArticle& article) {
  return counter.Count(article, SentencesOf(article.paragraphs));
}

namespace {

// The articles bounded and counted as the history keeps them.
std::vector<CountedArticle> CountedArticles(const std::vector<KeptArticle>& articles,
                                            const std::vector<std::string>& mappedWords,
                                            const MappingDictionary& dictionary) {
  const ArticleWordCounter counter(mappedWords, dictionary);
  std::vector<CountedArticle> counted;
  counted.reserve(articles.size());
  for (const KeptArticle& article : articles) {
    KeptArticle bounded = BoundedArticle(article);
    std::vector<WordCount> words = KeptArticleWords(counter, bounded).counts;
    if (words.size() > kMaxKeptWords) {
      // The most frequent; among equal counts, the order the counter gave.
      std::stable_sort(words.begin(), words.end(),
                       [](const WordCount& a, const WordCount& b) { return a.count > b.count; });
      words.resize(kMaxKeptWords);
    }
    counted.push_back(CountedArticle{std::move(bounded), std::move(words)});
  }
  return counted;
}

}  // namespace

KeptArticle BoundedArticle(const KeptArticle& article) {
  KeptArticle bounded = article;
  std::size_t total = 0;
  for (std::size_t i = 0; i < bounded.paragraphs.size(); ++i) {
    std::string& paragraph = bounded.paragraphs[i];
    if (total + paragraph.size() <= kMaxKeptParagraphBytes) {
      total += paragraph.size();
      continue;
    }
    if (i == 0) {  // a first paragraph alone past the bound keeps its start, whole characters
      std::size_t cut = kMaxKeptParagraphBytes;
      while (cut > 0 && (static_cast<unsigned char>(paragraph[cut]) & 0xC0) == 0x80) --cut;
      paragraph.resize(cut);
      ++i;
    }
    bounded.paragraphs.resize(i);
    break;
  }
  return bounded;
}

void KeepArticlesOfRun(RunHistory& history, std::int64_t runId, std::int64_t time,
                       const std::vector<KeptArticle>& articles,
                       const std::vector<std::string>& mappedWords,
                       const MappingDictionary& dictionary, std::int32_t keepDays) {
  history.KeepArticles(runId, time, CountedArticles(articles, mappedWords, dictionary), keepDays);
}

std::int64_t RecordRunWithArticles(RunHistory& history, const HistoryRun& run,
                                   const std::vector<WordCount>& words,
                                   const std::vector<KeptArticle>& articles,
                                   const std::vector<std::string>& mappedWords,
                                   const MappingDictionary& dictionary, std::int32_t keepDays) {
  return history.AppendWithArticles(run, words, CountedArticles(articles, mappedWords, dictionary),
                                    keepDays);
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

std::optional<std::string> AddressOfListedArticle(RunHistory& history,
                                                  const std::set<std::string>& knownWords,
                                                  std::int32_t days, std::size_t number) {
  const std::vector<HistoryRun> runs = history.Runs();
  if (runs.empty() || number == 0) return std::nullopt;
  const HistoryRun& last = runs.back();
  constexpr std::int64_t kSecondsPerDay = 86'400;
  const std::int64_t from = days > 0 ? last.time - std::int64_t{days} * kSecondsPerDay : last.time;
  const std::unordered_set<std::string_view> known(knownWords.begin(), knownWords.end());
  std::vector<ArticleStanding> standings;
  std::vector<std::string> addresses;
  history.VisitArticlesSince(from, [&](ArticleEntry& entry) {
    // The rows ListedArticles keeps.
    if ((days <= 0 && entry.runId != last.id) || IsHomePageAddress(entry.address)) return;
    standings.push_back(StandingOf(entry.words, known));
    addresses.push_back(std::move(entry.address));
  });
  if (number > standings.size()) return std::nullopt;
  return std::move(addresses[MostReadableFirst(standings)[number - 1]]);
}

void AddKeptSentences(RunHistory& history, SentenceStore& store) {
  for (const ArticleEntry& entry : history.ArticlesSince(0)) {
    if (const std::optional<KeptArticle> article = history.ArticleAt(entry.address))
      AddArticleSentences(article->site, SentencesOf(article->paragraphs), store);
  }
}

}  // namespace quillmark
