// Runs the program's own fold for the generator's tests (tools/tests/test_fold.py), which
// compare it with the generator's copy in tools/listgen/fold.py.
//
// Reads lines from standard input: "D FORM BASE" (a dictionary pair) and "W WORD COUNT" (a
// raw tally entry). Writes the folded tally as "R WORD COUNT" lines and the learned pairs as
// "L FORM BASE" lines, each in byte order.

#include <cstdint>
#include <iostream>
#include <set>
#include <string>

#include "text/inflection_normalizer.h"

int main() {
  quillmark::WordTally raw;
  quillmark::MappingDictionary dictionary;
  std::string kind, first, second;
  while (std::cin >> kind >> first >> second) {
    if (kind == "D") {
      dictionary[first] = second;
    } else if (kind == "W") {
      raw[first] = static_cast<std::int32_t>(std::stol(second));
    } else {
      std::cerr << "unknown line kind: " << kind << "\n";
      return 2;
    }
  }
  const quillmark::MappingDictionary builtIn = dictionary;
  std::set<std::string> newBaseForms;
  const quillmark::WordTally folded = quillmark::FoldInflections(raw, dictionary, newBaseForms);
  for (const auto& [word, count] : folded) std::cout << "R " << word << " " << count << "\n";
  for (const auto& [form, base] : dictionary) {
    if (!builtIn.count(form)) std::cout << "L " << form << " " << base << "\n";
  }
  return 0;
}
