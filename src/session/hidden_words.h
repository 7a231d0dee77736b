#pragma once
// The words a learner asked not to see besides the NG words: with HideNames on, the ranked
// words of the last run that its own sentences show to be names or page labels.

#include <set>
#include <string>

#include "session/main_stores.h"

namespace quillmark {

// With `hideNames` (the configuration's HideNames, or the command line's choice), the words
// of the last run's ranking (not on the NG-word list) that ClassifyWords finds to be names or
// page labels in its sentences; else none. They still count and stay in the report: only the
// rows and the cards leave them out. Changes nothing.
std::set<std::string> HiddenRowWords(const MainStores& stores, bool hideNames);

// The NG-word list with HiddenRowWords added: the words the rows and the cards skip.
std::set<std::string> WordsNotShown(const MainStores& stores, bool hideNames);

}  // namespace quillmark
