#pragma once
// The articles a gathering run read, kept with the run in the history, and the articles a
// table lists: the session's side of the articles window and of quillmark-cli's `articles`
// and `read`.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "session/run_history.h"
#include "study/article_words.h"
#include "study/sentence_store.h"

namespace quillmark {

// The words of `article` as a gathering run counts them: its sentences cut as the crawl cuts
// an article's (SentencesOf), counted by `counter`. Throws std::bad_alloc.
ArticleWords KeptArticleWords(const ArticleWordCounter& counter, const KeptArticle& article);

// What the history keeps of one article at most: its first kMaxKeptParagraphBytes of
// paragraphs (whole paragraphs; a first one longer than that is cut at a character) and its
// kMaxKeptWords most frequent distinct words, counted in that text. A page of some megabytes
// then costs the history what a long article does.
inline constexpr std::size_t kMaxKeptParagraphBytes = 64 * 1024;
inline constexpr std::size_t kMaxKeptWords = 2000;

// `article` with its paragraphs cut to kMaxKeptParagraphBytes as above.
KeptArticle BoundedArticle(const KeptArticle& article);

// Counts `articles` with `mappedWords` and `dictionary` as they stand after the run's
// aggregation (ArticleWordCounter) and keeps them with run `runId`, ended at `time`, for
// `keepDays` days (RunHistory::KeepArticles; older articles go even when the run read none).
// Throws HistoryError; std::bad_alloc.
void KeepArticlesOfRun(RunHistory& history, std::int64_t runId, std::int64_t time,
                       const std::vector<KeptArticle>& articles,
                       const std::vector<std::string>& mappedWords,
                       const MappingDictionary& dictionary, std::int32_t keepDays);

// Records `run` with its ranked `words` and its `articles` (counted and bounded as
// KeepArticlesOfRun does) in one write: all of it or, on a failure, none. Returns the run's
// id. Throws HistoryError; std::bad_alloc.
std::int64_t RecordRunWithArticles(RunHistory& history, const HistoryRun& run,
                                   const std::vector<WordCount>& words,
                                   const std::vector<KeptArticle>& articles,
                                   const std::vector<std::string>& mappedWords,
                                   const MappingDictionary& dictionary, std::int32_t keepDays);

// The articles a table lists: with `days` 0 those the last run read, else those of the runs
// that ended at most `days` days before the last run did. None when the history holds no run.
// Home pages (IsHomePageAddress), which an earlier version kept as articles, are left out.
// Throws HistoryError.
std::vector<ArticleEntry> ListedArticles(RunHistory& history, std::int32_t days);

// The address of the `number`-th row (from 1) of the table ListedArticles and
// RowsMostReadableFirst make against `knownWords`, without making it: the articles are read
// one at a time and only their standings kept. None when the table has no such row. Throws
// HistoryError.
std::optional<std::string> AddressOfListedArticle(RunHistory& history,
                                                  const std::set<std::string>& knownWords,
                                                  std::int32_t days, std::size_t number);

// Adds the sentences of every article the history keeps to `store`, under the host each was
// read from, as the run that read it added them. Throws HistoryError.
void AddKeptSentences(RunHistory& history, SentenceStore& store);

}  // namespace quillmark
