#include "cli/define_command.h"

#include "text/valid_utf8.h"

namespace quillmark {

int DefineWords(Session& session, const std::vector<std::string>& words, std::string& out,
                std::string& errors) {
  bool anyFound = false;
  for (const std::string& word : words) {
    const Meaning meaning = session.MeaningOf(word);
    // A line break in the argument would cut the line in two; printing escapes the other
    // control bytes, line by line.
    const std::string shown = EscapeControlBytes(word);
    if (!meaning.Found()) {
      errors += "quillmark-cli: no meaning for " + shown + "\n";
      continue;
    }
    anyFound = true;
    out += shown + "\t" + meaning.headword + "\t" + JoinedSenses(meaning) + "\n";
  }
  return anyFound ? 0 : 1;
}

}  // namespace quillmark
