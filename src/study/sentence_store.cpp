#include "study/sentence_store.h"

#include <array>
#include <utility>
#include <vector>

#include "text/tokenizer.h"

namespace quillmark {
namespace {

constexpr std::size_t kShortestSentence = 3;

constexpr std::array<bool, 256> MakeSentenceByteTable() {
  std::array<bool, 256> table{};
  for (char c : SentenceCharacters) table[static_cast<unsigned char>(c)] = true;
  return table;
}

constexpr std::array<bool, 256> kSentenceByte = MakeSentenceByteTable();

}  // namespace

bool IsSentence(std::string_view piece) {
  if (piece.size() < kShortestSentence) return false;
  for (unsigned char c : piece) {
    if (!kSentenceByte[c]) return false;
  }
  return true;
}

void AddPageSentences(const std::string& host, std::string_view pageText, SentenceStore& store) {
  std::vector<std::string> sentences;
  for (const std::string& piece : SplitText(pageText, ".")) {
    std::string trimmed = TrimBlanks(piece);
    if (IsSentence(trimmed)) sentences.push_back(std::move(trimmed));
  }
  // Looked up only now, so a page without sentences leaves no empty host entry behind.
  if (sentences.empty()) return;
  std::set<std::string>& hostSentences = store[host];
  for (std::string& sentence : sentences) hostSentences.insert(std::move(sentence));
}

}  // namespace quillmark
