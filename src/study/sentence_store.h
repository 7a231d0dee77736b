#pragma once
// The distinct sentences of each site host.

#include <map>
#include <set>
#include <string>

namespace quillmark {

// Host -> that host's distinct sentences, both in byte order. A host entry is created
// only together with its first sentence, except the start-up entry "History", which may
// be empty.
using SentenceStore = std::map<std::string, std::set<std::string>>;

}  // namespace quillmark
