#pragma once
// quillmark-cli define: the meanings of words in the built-in English–Japanese dictionary.

#include <string>
#include <vector>

#include "session/session.h"

namespace quillmark {

// For each of `words` that the dictionary knows (itself, or its base form as the session's
// mapping dictionary or the entry names it), one line "WORD<TAB>HEADWORD<TAB>SENSES" with the
// senses joined by " / " goes to `out`; for a word it does not know,
// "quillmark-cli: no meaning for WORD" goes to `errors`. Returns 0 when at least one word was
// found, else 1.
int DefineWords(Session& session, const std::vector<std::string>& words, std::string& out,
                std::string& errors);

}  // namespace quillmark
