#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TJournalIndex;
class TSearchIndex;
class TSearchQuery;
class TStemmer;
struct TSearchTerm;
class TXMLNode;

// A journal of the selection: its library `file` element (null for a
// journal opened alone) and the root of its document.
struct TPatternJournal {
  const TXMLNode* File = nullptr;
  const TXMLNode* Root = nullptr;
};

// What the patterns are computed from: the experiences of a selection (the
// library, a catalogue or a journal: the journals the caller gives, in
// tree order) and their words, taken from the search's folded text, so a
// word is what the search takes for one, from the fields it searches.
// Built once in one pass; each distinct word is stemmed once.
//
// A snapshot: it keeps the folded text it was built from, so it stays
// usable when the search drops its indexes. Its node pointers are good
// until the next structural change of the documents, as a search hit's;
// whoever edits the documents builds a new model.
class TPatternModel {
 public:
  TPatternModel(TSearchIndex& index, const std::vector<TPatternJournal>& journals);
  ~TPatternModel();
  TPatternModel(const TPatternModel&) = delete;
  TPatternModel& operator=(const TPatternModel&) = delete;

  struct TExperience {
    const TXMLNode* File = nullptr;
    const TXMLNode* Night = nullptr;
    const TXMLNode* Experience = nullptr;
    std::int32_t Date = 0;         // yyyymmdd; 0: the night's name is not a date
    std::int16_t Level = 0;        // energy level as stored, 0 (+1) .. 200 (-1); 100 without one
    std::uint8_t Marks = 0;        // bit k: mark k+1 ticked (older names honoured)
    std::uint32_t NightIndex = 0;  // its night in Nights()
  };
  // A night of the selection that holds at least one experience.
  struct TNight {
    const TXMLNode* File = nullptr;
    const TXMLNode* Night = nullptr;
    std::int32_t Date = 0;
  };
  // In document order, journal after journal.
  const std::vector<TExperience>& Experiences() const { return FExperiences; }
  const std::vector<TNight>& Nights() const { return FNights; }

  // The experiences a query's words and phrases find (its filters are not
  // applied), as the search finds them: ascending indexes into
  // Experiences(). None for a query without words.
  std::vector<std::uint32_t> Matching(const TSearchQuery& query, TStemmer& stemmer) const;

  // A stem of the selection's words.
  struct TStem {
    std::string Stem;     // folded windows-1251
    std::string Surface;  // its word in most experiences (ties: the first alphabetically),
                          // among the words Frequent counts when it has any
    std::uint32_t Experiences = 0;  // experiences holding any word of this stem
    // Experiences holding a word of it that may be suggested: not a stop
    // word, and of at least 3 letters (digits are no letters).
    std::uint32_t Frequent = 0;
  };
  const std::vector<TStem>& Stems() const { return FStems; }
  // Indexes into Stems() of the stems a query word would find (as
  // WordMatches does); none when no word of the selection matches.
  std::vector<std::uint32_t> StemsMatching(const TSearchTerm& word) const;

 private:
  class TWordTable;
  // The words (ids in FWordIds) a word term matches.
  std::vector<std::uint32_t> WordsMatching(const TSearchTerm& term) const;
  std::vector<std::uint32_t> TermExperiences(const TSearchTerm& term, TStemmer& stemmer) const;
  // The experiences holding any of the words, ascending.
  std::vector<std::uint32_t> Union(const std::vector<std::uint32_t>& words) const;

  std::vector<TExperience> FExperiences;
  std::vector<TNight> FNights;
  std::vector<TStem> FStems;
  std::unordered_map<std::string, std::uint32_t> FStemIds;
  std::vector<std::vector<std::uint32_t>> FStemWords;
  // Distinct folded words by id, their stems and the experiences holding
  // them, ascending.
  std::unique_ptr<TWordTable> FWordIds;
  std::vector<std::uint32_t> FWordStem;
  // Word w's experiences are FPostings[FPostingStart[w], FPostingStart[w + 1]).
  std::vector<std::uint32_t> FPostings, FPostingStart;
  std::span<const std::uint32_t> Postings(std::uint32_t word) const {
    return std::span<const std::uint32_t>(FPostings).subspan(
        FPostingStart[word], FPostingStart[word + 1] - FPostingStart[word]);
  }
  // The search's text of each journal, and where its experiences start.
  std::vector<std::shared_ptr<const TJournalIndex>> FJournals;
  std::vector<std::uint32_t> FJournalStart;
};
