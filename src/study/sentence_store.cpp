#include "study/sentence_store.h"

#include <array>
#include <new>
#include <optional>
#include <vector>

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

namespace {

// The page's pieces between full stops, one at a time, trimmed of spaces: a page of a
// million full stops is walked, never cut into a million strings.
class TrimmedPieces {
 public:
  explicit TrimmedPieces(std::string_view text) : rest_(text) {}

  // The next piece, or nothing after the last. The empty text after a final full stop is
  // no piece.
  std::optional<std::string_view> Next() {
    if (done_) return std::nullopt;
    const std::size_t stop = rest_.find('.');
    std::string_view piece = rest_.substr(0, stop);
    if (stop == std::string_view::npos) {
      done_ = true;
    } else {
      rest_.remove_prefix(stop + 1);
      done_ = rest_.empty();
    }
    // Too short to be a sentence however it is trimmed: the common case on a page of stops.
    if (piece.size() < kShortestSentence) return std::string_view{};
    const std::size_t first = piece.find_first_not_of(' ');
    if (first == std::string_view::npos) return std::string_view{};
    return piece.substr(first, piece.find_last_not_of(' ') - first + 1);
  }

 private:
  std::string_view rest_;
  bool done_ = rest_.empty();
};

}  // namespace

namespace {

// Inserts the sentences `next` hands out (an empty optional ends them) under `host`, all or
// none: on a failed allocation what was inserted is taken back, so a page is never kept in
// part. The host entry is made only for a first sentence.
template <typename Next>
void InsertAllOrNothing(const std::string& host, SentenceStore& store, Next next) {
  std::optional<std::string_view> sentence = next();
  // Looked up only now, so a page without sentences leaves no empty host entry behind.
  if (!sentence) return;
  const bool newHost = !store.contains(host);
  std::set<std::string>& hostSentences = store[host];
  std::vector<std::set<std::string>::iterator> added;
  try {
    for (; sentence; sentence = next()) {
      // Room first, so that a sentence once inserted is always on the list.
      if (added.size() == added.capacity()) added.reserve(2 * added.size() + 16);
      const auto [at, inserted] = hostSentences.emplace(*sentence);
      if (inserted) added.push_back(at);
    }
  } catch (const std::bad_alloc&) {
    // Erasing allocates nothing.
    for (const auto& at : added) hostSentences.erase(at);
    if (newHost) store.erase(host);
    throw;
  }
}

bool IsArticleSentence(std::string_view sentence) {
  return sentence.size() >= 3 && sentence.find_first_of("\r\n") == std::string_view::npos;
}

}  // namespace

void AddPageSentences(const std::string& host, std::string_view pageText, SentenceStore& store) {
  TrimmedPieces pieces(pageText);
  InsertAllOrNothing(host, store, [&]() -> std::optional<std::string_view> {
    std::optional<std::string_view> piece;
    while ((piece = pieces.Next()) && !IsSentence(*piece)) {
    }
    return piece;
  });
}

void AddArticleSentences(const std::string& host, const std::vector<std::string>& sentences,
                         SentenceStore& store) {
  std::size_t next = 0;
  InsertAllOrNothing(host, store, [&]() -> std::optional<std::string_view> {
    while (next < sentences.size() && !IsArticleSentence(sentences[next])) ++next;
    if (next == sentences.size()) return std::nullopt;
    return std::string_view(sentences[next++]);
  });
}

}  // namespace quillmark
