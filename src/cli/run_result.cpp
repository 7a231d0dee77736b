#include "cli/run_result.h"

#include <algorithm>
#include <cstdio>

#include "study/known_share.h"
#include "study/shown_words.h"
#include "text/ascii_case.h"
#include "text/tokenizer.h"
#include "text/valid_utf8.h"

namespace quillmark {

std::string JsonString(const std::string& text) {
  const std::string valid = ValidUtf8(text);
  std::string quoted = "\"";
  for (std::size_t at = 0; at < valid.size(); ++at) {
    const char c = valid[at];
    const auto byte = static_cast<unsigned char>(c);
    const bool c1 = StartsWithC1Control(std::string_view(valid).substr(at));
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (byte < 0x20 || byte == 0x7F || c1) {
      char escaped[8];
      const auto code = c1 ? static_cast<unsigned char>(valid[++at]) : byte;
      std::snprintf(escaped, sizeof escaped, "\\u%04x", code);
      quoted += escaped;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

namespace {

// A meaning as one column: a tab or a line break would cut the line.
std::string OneLine(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
  return text;
}

std::vector<ShownWord> Selected(const RunResult& result, const std::set<std::string>& ngWords,
                                const std::set<std::string>& hiddenWords, std::int32_t top,
                                bool all) {
  std::vector<ShownWord> words;
  if (all) {
    // The empty word counts what is not a word (numbers, signs): no row of its own.
    for (auto pair = result.ranking.rbegin(); pair != result.ranking.rend(); ++pair) {
      if (!pair->first.empty()) words.push_back(ShownWord{pair->first, pair->second});
    }
  } else if (top > 0) {
    words = SelectShownWords(result.ranking, ngWords, hiddenWords, top - 1);
  }
  return words;
}

std::string JsonClass(const WordDetails& details, const std::set<std::string>& ngWords,
                      const std::string& upperWord) {
  if (const auto found = details.classes.find(upperWord); found != details.classes.end())
    return JsonString(std::string(WordClassName(found->second)));
  return JsonString(ngWords.contains(upperWord) ? "known" : "word");
}

std::string JsonForms(const FoldedForms& forms, const std::string& upperWord, bool lower) {
  std::string out = "[";
  if (const auto found = forms.find(upperWord); found != forms.end()) {
    for (const auto& [form, count] : found->second) {
      out += (out.size() == 1 ? "" : ", ");
      out += "{\"form\": " + JsonString(lower ? LowerCaseAscii(form) : form) +
             ", \"count\": " + std::to_string(count) + "}";
    }
  }
  return out + "]";
}

}  // namespace

std::string FormatRunResult(const RunResult& result, const std::set<std::string>& ngWords,
                            std::int32_t top, bool all, ResultFormat format,
                            const WordDetails& details) {
  const RunFigures& figures = result.figures;
  const std::vector<ShownWord> words = Selected(result, ngWords, details.hiddenWords, top, all);
  std::vector<std::string> learned = result.learned;
  std::sort(learned.begin(), learned.end());

  std::string out;
  if (format == ResultFormat::kTsv) {
    out += "# data size: " + std::to_string(figures.dataSize) +
           " bytes; words before aggregation: " + std::to_string(figures.wordsBeforeAggregation) +
           "; words after aggregation: " + std::to_string(figures.wordsAfterAggregation) + "\n";
    for (const ShownWord& word : words) {
      out += word.caption + "\t" + std::to_string(word.count);
      if (details.meaningOf) out.append(1, '\t').append(OneLine(details.meaningOf(word.caption)));
      out += "\n";
    }
    if (all) {
      out += "--\n";
      for (const std::string& base : learned) out += base + "\n";
    }
    return out;
  }

  out += "{\"figures\": {\"dataSize\": " + std::to_string(figures.dataSize) +
         ", \"wordsBeforeAggregation\": " + std::to_string(figures.wordsBeforeAggregation) +
         ", \"wordsAfterAggregation\": " + std::to_string(figures.wordsAfterAggregation) +
         ", \"knownShare\": " + KnownSharePercent(result.ranking, ngWords, details.leftOut) +
         "},\n \"words\": [";
  for (std::size_t i = 0; i < words.size(); ++i) {
    out += (i == 0 ? "\n  " : ",\n  ");
    const std::string upper = UpperCaseAscii(words[i].caption);
    out += "{\"word\": " + JsonString(words[i].caption) +
           ", \"count\": " + std::to_string(words[i].count) +
           ", \"class\": " + JsonClass(details, ngWords, upper);
    if (details.forms) out += ", \"forms\": " + JsonForms(*details.forms, upper, !all);
    if (details.meaningOf)
      out += ", \"meaning\": " + JsonString(OneLine(details.meaningOf(words[i].caption)));
    out += "}";
  }
  out += "]";
  if (all) {
    out += ",\n \"learned\": [";
    for (std::size_t i = 0; i < learned.size(); ++i)
      out += (i == 0 ? "" : ", ") + JsonString(learned[i]);
    out += "]";
  }
  return out + "}\n";
}

FoldedForms CountFoldedForms(const SentenceStore& sentences, const InflectionIndex& index) {
  WordTally raw;
  std::int32_t tokens = 0;
  for (const auto& [host, hostSentences] : sentences)
    for (const std::string& sentence : hostSentences) CountWords(raw, sentence, tokens);
  FoldedForms forms;
  for (const auto& [base, inflected] : index) {
    for (const std::string& form : inflected) {
      const auto found = raw.find(form);
      if (form != base && found != raw.end() && found->second > 0)
        forms[base].emplace_back(form, found->second);
    }
  }
  return forms;
}

}  // namespace quillmark
