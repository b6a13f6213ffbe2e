#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "search/smr_SearchQuery.h"
#include "search/smr_SearchText.h"

class TXMLNode;

// When a piece of a search should give the thread back.
using TSearchDeadline = std::chrono::steady_clock::time_point;

// One experience found: the library `file` element of its journal, its
// night and itself. The nodes belong to the documents; a hit is good until
// the next structural change of the library (a delete, another library).
struct TSearchHit {
  const TXMLNode* File = nullptr;
  const TXMLNode* Night = nullptr;
  const TXMLNode* Experience = nullptr;
};

// The text of HTML descriptions, read from their files, kept while a file's
// size and time stay the same.
class THTMLTexts {
 public:
  // Gives the file a stored `file` attribute names (native 8-bit name).
  using TResolve = std::function<std::string(const std::string& stored)>;
  explicit THTMLTexts(TResolve resolve) : FResolve(std::move(resolve)) {}

  // The plain text of an HTML experience's description; empty without one.
  const std::string& Text(const TXMLNode& experience);
  // Takes the texts another one read (a worker thread's) where it has none.
  void Merge(THTMLTexts&& other);

 private:
  struct TEntry {
    std::int64_t Size = -1, Time = 0;
    std::string Text;
  };
  TResolve FResolve;
  std::unordered_map<std::string, TEntry> FFiles;
};

// The words of the folded text already judged for one term of a query:
// each distinct word is stemmed once. The words are views into the text.
class TWordMemo {
 public:
  // 1 or 0 when the word was judged, -1 when it was not.
  int Find(std::string_view word) const;
  int Add(std::string_view word, bool match);

 private:
  // A word up to 16 bytes is told apart by its key alone: its first 8
  // bytes, its last 8 and its length; a longer one is compared whole.
  struct TKey {
    std::uint64_t Head = 0, Tail = 0;
    std::size_t Size = 0;
    bool operator==(const TKey&) const = default;
  };
  struct TSlot {
    const char* Word = nullptr;  // null: free
    TKey Key;
    bool Match = false;
  };
  static TKey KeyOf(std::string_view word);
  static std::uint64_t Hash(const TKey& key);
  std::vector<TSlot> FSlots;  // open addressing, a power of two, at most half full
  std::size_t FUsed = 0;
};

// Memory for the folded text of a journal, in huge pages where the system
// has them (smr_SearchMemory.cpp).
class TTextMemory {
 public:
  TTextMemory() = default;
  explicit TTextMemory(std::size_t size);
  ~TTextMemory();
  TTextMemory(TTextMemory&& other) noexcept
      : FData(std::exchange(other.FData, nullptr)),
        FSize(std::exchange(other.FSize, 0)),
        FMapped(std::exchange(other.FMapped, false)) {}
  TTextMemory(const TTextMemory&) = delete;
  TTextMemory& operator=(const TTextMemory&) = delete;
  TTextMemory& operator=(TTextMemory&&) = delete;
  char* get() const { return FData; }

 private:
  char* FData = nullptr;
  std::size_t FSize = 0;
  bool FMapped = false;  // huge pages, else the heap
};

// The searchable text of one journal, folded into one buffer with a record
// per experience, and what its filters read. Built from the document in
// one pass; a query then runs over the buffer without touching the tree.
class TJournalIndex {
 public:
  TJournalIndex(const TXMLNode& root, THTMLTexts& html);

  // Appends the experiences that match, in journal order, from the record
  // next on. Stops once past the deadline with next set where to go on and
  // returns false; true when the journal is done.
  bool Search(const TSearchQuery& query, TStemmer& stemmer, const TXMLNode* file,
              std::vector<TSearchHit>& hits, std::size_t& next, TSearchDeadline deadline) const;
  std::size_t Bytes() const;
  // Whether the tree still reads as it did when the index was built: the
  // same nodes, texts and figures. Costs a walk over the tree, a fraction
  // of building the index again.
  bool Describes(const TXMLNode& root, THTMLTexts& html) const;

  // The records as indexed, in journal order, for figures taken over the
  // whole text. Text is the record's folded words, each after a blank,
  // fields ended by a byte that is neither a blank nor a word's.
  struct TEntry {
    const TXMLNode* Night = nullptr;
    const TXMLNode* Experience = nullptr;
    std::int32_t Date = 0;  // yyyymmdd, 0: the night's name is not a date
    std::int16_t Level = 100;
    std::uint8_t Marks = 0;  // bit k: mark k+1 ticked
    std::string_view Text;
  };
  std::size_t Size() const { return FRecords.size(); }
  TEntry Entry(std::size_t record) const;
  // Whether the record holds the term, as a search finds it.
  bool Holds(std::size_t record, const TSearchTerm& term, TStemmer& stemmer) const;

 private:
  friend class TJournalIndexBuilder;
  struct TBuild;
  TJournalIndex() = default;

  struct TRecord {
    const TXMLNode* Night;
    const TXMLNode* Experience;
    std::uint32_t Chunk;       // a record lies in one chunk
    std::uint32_t Start, End;  // in that chunk
    std::int32_t Date;         // yyyymmdd, 0: the night's name is not a date
    std::int16_t Level;
    std::uint8_t Marks;  // bit k: mark k+1 ticked
    bool HTML;
  };
  bool Passes(const TRecord& record, const TSearchFilter& filter) const;
  // Whether the term occurs in FText[from, to); memo keeps words already stemmed.
  bool Occurs(const TSearchTerm& term, const TRecord& record, TStemmer& stemmer,
              TWordMemo& memo) const;
  // The first position in [from, to) of a chunk where the term occurs, or npos.
  std::size_t Find(const TSearchTerm& term, const char* base, std::size_t from, std::size_t to,
                   TStemmer& stemmer, TWordMemo& memo) const;
  // Room for a record of that many bytes at the end of the last chunk.
  char* Room(std::size_t bytes);

  // The folded text in chunks, so it is written once and never moved.
  struct TChunk {
    TTextMemory Memory;
    std::size_t Size = 0, Capacity = 0;
  };
  std::vector<TChunk> FChunks;
  std::vector<TRecord> FRecords;
  std::uint64_t FSourceHash = 0;  // of what the index was built from
};

// A journal of this many nights (some 20,000 experiences) or more is
// indexed ahead of its first search, which would otherwise wait longer
// than a key may; a smaller one is indexed in well under that.
inline int IndexAheadNights = 8192;

// Builds a journal's index a night at a time, for the moments the
// window has nothing else to do. The root must outlive the builder; the
// tree may change between steps, and the index is then what was read.
class TJournalIndexBuilder {
 public:
  TJournalIndexBuilder(const TXMLNode& root, THTMLTexts& html);
  ~TJournalIndexBuilder();
  TJournalIndexBuilder(const TJournalIndexBuilder&) = delete;
  TJournalIndexBuilder& operator=(const TJournalIndexBuilder&) = delete;

  // Indexes on until the deadline; true once the whole journal is.
  bool Step(TSearchDeadline deadline);
  const TXMLNode& Root() const { return FRoot; }
  // The index, once Step has returned true.
  std::shared_ptr<const TJournalIndex> Take() { return std::move(FIndex); }

 private:
  const TXMLNode& FRoot;
  std::shared_ptr<TJournalIndex> FIndex;
  std::unique_ptr<TJournalIndex::TBuild> FBuild;
};

// The indexes of the journals searched so far, each built when a search
// first needs it. Edits reach a search once Invalidate or MarkStale has
// been called.
class TSearchIndex {
 public:
  explicit TSearchIndex(THTMLTexts::TResolve resolve) : FHTML(std::move(resolve)) {}

  // Appends the hits of one journal, whose root is given, in journal order.
  void Search(const TXMLNode* file, const TXMLNode& root, const TSearchQuery& query,
              std::vector<TSearchHit>& hits);
  // The same in pieces: from the record next on, until the deadline; false
  // with next set when the journal is not done. A journal's index is built
  // in one piece.
  bool Search(const TXMLNode* file, const TXMLNode& root, const TSearchQuery& query,
              std::vector<TSearchHit>& hits, std::size_t& next, TSearchDeadline deadline);
  // The index of a journal, built now when there is none; it stays good
  // for its holder after Invalidate, describing the documents as they were.
  std::shared_ptr<const TJournalIndex> Journal(const TXMLNode& root);
  // Takes the index of that journal built elsewhere (in a worker thread)
  // from the tree as it is now, with the description texts read for it.
  void Adopt(const TXMLNode& root, std::shared_ptr<const TJournalIndex> index, THTMLTexts&& html);
  bool Has(const TXMLNode& root) const { return FJournals.contains(&root); }
  // Starts building the index of a journal a piece at a time, by
  // PrepareStep; a search of it before the end finishes the build.
  void Prepare(const TXMLNode& root);
  // Builds on until the deadline; true when nothing is left to build.
  bool PrepareStep(TSearchDeadline deadline);
  // The documents may have changed: each journal is indexed again when next searched.
  void Invalidate() {
    FJournals.clear();
    FPending.reset();
  }
  // They may have been edited in place: each index is checked against its
  // tree when next needed, and built again only when the tree reads otherwise.
  void MarkStale();
  bool Empty() const { return FJournals.empty() && !FPending; }
  TStemmer& Stemmer() { return FStemmer; }
  THTMLTexts& HTML() { return FHTML; }

 private:
  struct TEntry {
    std::shared_ptr<const TJournalIndex> Index;
    bool Stale = false;
  };
  TStemmer FStemmer;
  THTMLTexts FHTML;
  std::unordered_map<const TXMLNode*, TEntry> FJournals;
  std::unique_ptr<TJournalIndexBuilder> FPending;
};

// The parts of an experience that are searched, as stored (windows-1251).
enum class TSearchField { None, Title, Number, Description, HTML, Comment, Property, NightComment };

// Where a query matched an experience, to show it: a piece of the field
// with the matching words marked.
struct TSnippet {
  TSearchField Field = TSearchField::None;
  std::string Text;                        // one line, windows-1251
  std::vector<std::pair<int, int>> Marks;  // start and length in Text
  int FieldOffset = -1;                    // where the first match starts in the field's own text
};

// Shows the first field that matches, in the order description (or HTML
// text), comment, property values, night comment, title, number; for a
// query of filters alone, the start of the description.
TSnippet MakeSnippet(const TSearchHit& hit, const TSearchQuery& query, TSearchIndex& index,
                     int width = 150);

// Calls f with each stored property value under a `properties` element,
// in document order; the "true"/"false" of check boxes and empty values
// are left out.
void ForEachPropertyValue(const TXMLNode& properties,
                          const std::function<void(const std::string&)>& f);

// The first direct child of that name, or null. A night's comment is its
// own `comment` child, never one of its experiences'.
const TXMLNode* FirstChild(const TXMLNode& parent, std::string_view name);
