#pragma once
// Everything a session keeps for the whole execution, without the windows.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "session/site_list.h"
#include "study/run_figures.h"
#include "study/sentence_store.h"
#include "text/word_types.h"

namespace quillmark {

// The values of quillmark.ini, with their defaults. Nothing is clamped here: an
// ItemViewCount outside the options dialog's range is used as it is.
struct Configuration {
  std::int32_t itemViewCount = 30;
  std::string lastSavedDirectory;  // directory of the last report, no trailing separator
  std::int32_t allowedLevel = 1;
  bool isLevel = false;
  // [link] FetchHttps: whether https sites and redirects are fetched. On: almost every news
  // site answers http with a redirect to https.
  bool fetchHttps = true;
  bool hideNames = false;  // [config] HideNames: whether names and page labels take no row
  // [link] FollowArticles: whether each site's articles of the day are read after its address
  // (its feed's newest items, else its article links). On: a site's address is its home
  // page, a list of headlines.
  bool followArticles = true;
  // [link] ArticlesPerSite: how many articles of each site at most; read into 1 to 100.
  std::int32_t articlesPerSite = 10;
  // [link] SitesAtOnce: how many sites the day's articles read side by side; read into 1 to 16,
  // written only once it differs from 6 (or the file has it).
  std::int32_t sitesAtOnce = 6;
  // [config] ArticleText: whether a page is read as an article (its body's own text and
  // sentences) rather than by the page scanner, which keeps menus and loses the article.
  bool articleText = true;
  // [config] KeepArticlesDays: how many days the history keeps the articles a run read.
  std::int32_t keepArticlesDays = 30;
  // [config] VocabularyLevel: how many of the most frequent base forms (FREQUENCY_RANKS) the
  // learner knows; 0, none set, counts only the NG-word list as known.
  std::int32_t vocabularyLevel = 0;
};

struct MainStores {
  SiteList sites;
  std::set<std::string> ngWords;  // byte order, upper case; holds the empty word
  // Words the level takes as known that the learner said they do not know (unknownwords.dat).
  std::set<std::string> unknownWords;
  std::vector<std::string> mappedWords;  // insertion order, duplicates allowed
  SentenceStore sentences;
  MappingDictionary dictionary;  // empty until Session::Dictionary reads it
  Configuration configuration;
  std::string programDirectory;  // where the data files are kept, with its trailing separator

  // The results of the last gathering run; the index is only ever extended.
  RankedWordList ranking;
  InflectionIndex inflectionIndex;
  RunFigures figures;
  // The articles of the day the last run read, by site address (empty when it read none).
  std::map<std::string, std::int32_t> articlesRead;
};

}  // namespace quillmark
