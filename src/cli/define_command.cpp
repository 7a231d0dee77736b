#include "cli/define_command.h"

namespace quillmark {

int DefineWords(Session& session, const std::vector<std::string>& words, std::string& out,
                std::string& errors) {
  bool anyFound = false;
  for (const std::string& word : words) {
    const Meaning meaning = session.MeaningOf(word);
    if (!meaning.Found()) {
      errors += "quillmark-cli: no meaning for " + word + "\n";
      continue;
    }
    anyFound = true;
    out += word + "\t" + meaning.headword + "\t" + JoinedSenses(meaning) + "\n";
  }
  return anyFound ? 0 : 1;
}

}  // namespace quillmark
