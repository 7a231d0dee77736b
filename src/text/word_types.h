#pragma once
// The word stores shared by the text analysis, the run aggregation and the study tools.
// Every word is an upper-case byte string; std::string compares bytes as unsigned values
// with a proper prefix first, which is exactly the order the program relies on.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace quillmark {

// Word -> count. The empty word is a real key.
using WordTally = std::map<std::string, std::int32_t>;

// (word, count) pairs, count >= 1, count ascending then word descending: the most
// frequent word is last and presentation reads the list from the end.
using RankedWordList = std::vector<std::pair<std::string, std::int32_t>>;

// Inflected form -> base form.
using MappingDictionary = std::map<std::string, std::string>;

// Ranked base word -> the inflected forms the dictionary folds onto it.
using InflectionIndex = std::map<std::string, std::set<std::string>>;

}  // namespace quillmark
