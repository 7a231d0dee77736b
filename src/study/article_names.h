#pragma once
// The names an article holds (Reed, Jackson, Donald): words the reader does not mark as words
// to learn, judged from the article's own text, which keeps the case its page wrote it in.

#include <set>
#include <string>
#include <vector>

#include "study/article_words.h"

namespace quillmark {

// The counted words (upper case, as CountedWordOf gives them) of `paragraphs` that are names:
// every occurrence that tells its case starts with a capital letter, and at least one does.
// An occurrence tells nothing about case when it starts a sentence (a paragraph's first word,
// or one after '.', '!' or '?') or is written all in capitals ("NATO", a shouted heading).
// `baseOf` as for CountedWordOf. Changes nothing.
std::set<std::string> NamesOfArticle(const std::vector<std::string>& paragraphs,
                                     const MappingDictionary& baseOf);

}  // namespace quillmark
