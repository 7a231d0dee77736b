#pragma once
// The distinct sentences of each site host, and how a page's text is cut into them.

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

// Host -> that host's distinct sentences, both in byte order. A host entry is created
// only together with its first sentence, except the start-up entry "History", which may
// be empty.
using SentenceStore = std::map<std::string, std::set<std::string>>;

// The 60 bytes a sentence may hold: the ASCII letters, the grave accent, the apostrophe,
// '!', '?', '.', ',', '$' and the space. Digits, hyphens, quotes, tabs, line breaks and every
// byte of 0x80 or above are not among them.
inline constexpr std::string_view SentenceCharacters{
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz`'!?.,$ "};

// Returns whether `piece` (already trimmed of spaces) is kept as a sentence: at least 3 bytes,
// every one of them in SentenceCharacters.
bool IsSentence(std::string_view piece);

// Cuts `pageText` at every '.', trims the spaces off each piece and inserts the pieces that
// are sentences into the set of `host` in `store`. The host entry is created only when the
// page gives at least one sentence; a sentence already held under the host is not added
// again. Walks the text without copying its pieces, so a page of full stops takes no memory
// beyond the page. On allocation failure throws std::bad_alloc and leaves `store` as it was.
void AddPageSentences(const std::string& host, std::string_view pageText, SentenceStore& store);

// Inserts each of `sentences` (an article's, cut as a reader sees them: digits, quotes and
// dashes kept) that holds at least 3 bytes and no line break into the set of `host`, as
// AddPageSentences does. On allocation failure throws std::bad_alloc and leaves `store` as
// it was.
void AddArticleSentences(const std::string& host, const std::vector<std::string>& sentences,
                         SentenceStore& store);

}  // namespace quillmark
