#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class TStemmer;

// What a search looks for besides words.
enum class TDescriptionKind { Any, Plain, HTML };

struct TSearchFilter {
  std::array<bool, 4> Marks{};  // each set mark must be ticked on the experience
  int LowestLevel = 0;          // energy levels as stored, inclusive: 0 is +1, 200 is -1
  int HighestLevel = 200;
  int DateFrom = 0;  // yyyymmdd, inclusive; 0: open. Nights whose name is
  int DateTo = 0;    // not a date pass either bound
  TDescriptionKind Kind = TDescriptionKind::Any;

  bool Active() const;
};

// A word of the query, or a phrase written in quotes.
struct TSearchTerm {
  bool Phrase = false;
  std::string Word;    // a word: its folded form
  std::string Needle;  // looked for in folded text: a word's stem, or the
                       // phrase's folded words joined by blanks
};

// A query as typed: words match by their stem, a phrase in quotes matches
// word for word; every term must match. Upper and lower case and "ё"/"е"
// are the same. Text is windows-1251. A word or phrase given again is one
// term: a pasted text repeats its words, and each term costs a pass.
class TSearchQuery {
 public:
  // More distinct terms than this and the query is refused: it has no
  // terms and finds nothing, and TooManyTerms says why.
  static constexpr std::size_t MaxTerms = 64;

  TSearchQuery() = default;
  TSearchQuery(std::string_view text, TStemmer& stemmer, TSearchFilter filter = {});

  std::vector<TSearchTerm> Terms;
  TSearchFilter Filter;

  bool TooManyTerms() const { return FTooMany; }
  // Nothing to look for: no terms and no filter, or a refused query.
  bool Empty() const { return FTooMany || (Terms.empty() && !Filter.Active()); }

 private:
  bool FTooMany = false;
};

// Whether a folded word of the text matches a word of the query: the same
// stem, or either is the other's stem (Snowball stems "туман" as "тума"
// but "тумане" as "туман").
bool WordMatches(const TSearchTerm& term, std::string_view word, TStemmer& stemmer);

// A night's name as a date, yyyymmdd, when it is a date in the short format
// "dd.mm.yy" (years 69-99 are 1969-1999, the rest 2000-2068); 0 otherwise.
int NightDate(std::string_view name);
// A date typed for a filter: "dd.mm.yy" or "dd.mm.yyyy"; 0 when it is none.
int FilterDate(std::string_view text);
