#include "patterns/smr_SignMatcher.h"

#include <algorithm>

#include "search/smr_SearchText.h"
#include "storage/smr_Cp1251.h"

TSignMatcher::TSignMatcher(const std::vector<TDreamSign>& signs, TStemmer& stemmer)
    : FStemmer(stemmer) {
  for (const TDreamSign& sign : signs) {
    TSign matcher;
    // The query the search would run for it tells whether it is quoted.
    const TSearchQuery query(sign.Text, stemmer);
    for (const TSearchTerm& term : query.Terms) matcher.Exact = matcher.Exact || term.Phrase;
    const std::string words = FoldedWords(sign.Text);
    for (std::size_t start = 0; start < words.size();) {
      std::size_t end = words.find(' ', start);
      if (end == std::string::npos) end = words.size();
      TSearchTerm& term = matcher.Words.emplace_back();
      term.Word = words.substr(start, end - start);
      term.Needle = matcher.Exact ? term.Word : stemmer.Stem(term.Word);
      start = end + 1;
    }
    const int index = static_cast<int>(FSigns.size());
    if (!matcher.Words.empty()) {
      FFirst[matcher.Words[0].Word].push_back(index);
      if (matcher.Words[0].Needle != matcher.Words[0].Word)
        FFirst[matcher.Words[0].Needle].push_back(index);
    }
    FSigns.push_back(std::move(matcher));
  }
}

bool TSignMatcher::Matches(const TSign& sign, std::size_t word, std::string_view w) const {
  const TSearchTerm& term = sign.Words[word];
  return sign.Exact ? w == term.Word : WordMatches(term, w, FStemmer);
}

std::vector<TSignMatcher::TSpan> TSignMatcher::Find(std::string_view cp1251) const {
  std::vector<TSpan> spans;
  if (FFirst.empty()) return spans;
  // The folded words with where each starts and ends in the text.
  struct TWordAt {
    std::size_t Start, End;
    std::string Folded;
  };
  std::vector<TWordAt> words;
  for (std::size_t i = 0; i < cp1251.size();) {
    if (!IsWordByte(static_cast<unsigned char>(cp1251[i]))) {
      ++i;
      continue;
    }
    TWordAt& word = words.emplace_back(TWordAt{i, i, {}});
    for (; i < cp1251.size() && IsWordByte(static_cast<unsigned char>(cp1251[i])); ++i)
      word.Folded += static_cast<char>(FoldByte(static_cast<unsigned char>(cp1251[i])));
    word.End = i;
  }
  std::vector<int> candidates;
  for (std::size_t i = 0; i < words.size(); ++i) {
    candidates.clear();
    for (const std::string* key :
         {static_cast<const std::string*>(&words[i].Folded), &FStemmer.Stem(words[i].Folded)})
      if (auto found = FFirst.find(*key); found != FFirst.end())
        candidates.insert(candidates.end(), found->second.begin(), found->second.end());
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    for (const int s : candidates) {
      const TSign& sign = FSigns[static_cast<std::size_t>(s)];
      const std::size_t n = sign.Words.size();
      if (i + n > words.size()) continue;
      bool all = true;
      for (std::size_t k = 0; k < n && all; ++k) all = Matches(sign, k, words[i + k].Folded);
      if (all)
        spans.push_back({static_cast<int>(words[i].Start),
                         static_cast<int>(words[i + n - 1].End - words[i].Start), s});
    }
  }
  // The first to start wins, the longer of two starting together.
  std::stable_sort(spans.begin(), spans.end(), [](const TSpan& a, const TSpan& b) {
    return a.Start != b.Start ? a.Start < b.Start : a.Length > b.Length;
  });
  std::vector<TSpan> kept;
  for (const TSpan& span : spans)
    if (kept.empty() || span.Start >= kept.back().Start + kept.back().Length) kept.push_back(span);
  return kept;
}

std::vector<TSignMatcher::TSpan> TSignMatcher::Find(const QString& text) const {
  // One byte per UTF-16 unit, so the spans' places are the QString's.
  std::string bytes(static_cast<std::size_t>(text.size()), ' ');
  for (qsizetype i = 0; i < text.size(); ++i) {
    const int byte = UnicodeToCp1251(text[i].unicode());
    if (byte > 0) bytes[static_cast<std::size_t>(i)] = static_cast<char>(byte);
  }
  return Find(std::string_view(bytes));
}
