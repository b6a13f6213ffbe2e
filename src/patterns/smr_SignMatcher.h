#pragma once

#include <QString>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "patterns/smr_DreamSigns.h"
#include "search/smr_SearchQuery.h"

class TStemmer;

// Finds the dream signs in a line of typed text, for the highlighter: a
// sign of one word wherever a word has its stem (as the search matches a
// word), a sign of several words where they stand one after the other, each
// by its stem; the words of a sign with quotes in it must be the same words.
// The signs' stems are worked out once, when the matcher is made; the
// stemmer must outlive the matcher.
class TSignMatcher {
 public:
  TSignMatcher(const std::vector<TDreamSign>& signs, TStemmer& stemmer);

  struct TSpan {
    int Start = 0, Length = 0;  // in the QString's UTF-16 units
    int Sign = 0;               // the index of the sign in the list given
  };
  // The spans of the text that are signs, in text order, not overlapping
  // (where two would overlap, the one starting first, then the longer, wins).
  std::vector<TSpan> Find(const QString& text) const;
  // The same over windows-1251 text; Start and Length are bytes.
  std::vector<TSpan> Find(std::string_view cp1251) const;
  bool Empty() const { return FSigns.empty(); }

 private:
  struct TSign {
    std::vector<TSearchTerm> Words;  // in the sign's order
    bool Exact = false;              // written with quotes: word for word
  };
  bool Matches(const TSign& sign, std::size_t word, std::string_view w) const;

  std::vector<TSign> FSigns;
  // Signs by their first word's folded form and stem.
  std::unordered_map<std::string, std::vector<int>> FFirst;
  TStemmer& FStemmer;
};
