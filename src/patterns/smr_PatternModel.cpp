#include "patterns/smr_PatternModel.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "patterns/smr_Patterns.h"
#include "search/smr_SearchIndex.h"
#include "search/smr_SearchQuery.h"
#include "search/smr_SearchText.h"

namespace {

// The word scan below loads eight bytes at once and takes the first as the lowest.
static_assert(std::endian::native == std::endian::little);

// The first 8 bytes of the word and its last 8 (none up to 8 bytes), as
// loaded from memory, and its length.
struct TWordKey {
  std::uint64_t First = 0, Last = 0;
  std::uint32_t Size = 0;
  bool operator==(const TWordKey&) const = default;
};
TWordKey KeyOf(std::string_view word) {
  TWordKey key;
  key.Size = static_cast<std::uint32_t>(word.size());
  std::memcpy(&key.First, word.data(), std::min<std::size_t>(8, word.size()));
  if (word.size() > 8) std::memcpy(&key.Last, word.data() + word.size() - 8, 8);
  return key;
}

bool InWord(char c) { return static_cast<unsigned char>(c) > ' '; }

std::uint64_t Load(const char* p) {
  std::uint64_t x;
  std::memcpy(&x, p, 8);
  return x;
}

// Calls f with each word of a record's folded text and its key. The text's
// word bytes are all above the blank, its separators the blank and the
// field end: eight bytes at a time tell where a word ends, without a branch
// per byte.
template <typename F>
void ForEachWord(std::string_view text, F&& f) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;
  // Bytes up to the blank; the lowest one found is exact.
  const auto ends = [](std::uint64_t x) { return (x - kOnes * 0x21) & ~x & kHighs; };
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    if (!InWord(*p)) {
      ++p;
      continue;
    }
    const char* const start = p;
    TWordKey key;
    std::uint64_t stop = 0;
    while (end - p >= 8 && !(stop = ends(Load(p)))) p += 8;
    if (stop) {
      p += std::countr_zero(stop) / 8;
    } else {
      while (p < end && InWord(*p)) ++p;
    }
    const auto size = static_cast<std::size_t>(p - start);
    key.Size = static_cast<std::uint32_t>(size);
    if (size >= 8) {
      key.First = Load(start);
      if (size > 8) key.Last = Load(p - 8);
    } else if (end - start >= 8) {
      key.First = Load(start) & ((std::uint64_t(1) << (8 * size)) - 1);
    } else {
      std::memcpy(&key.First, start, size);
    }
    f(std::string_view(start, size), key);
  }
}

}  // namespace

// Folded words to their ids: open addressing, as the search's word memo
// does, since a diary's text has millions of words and a few thousand
// distinct ones. A slot holds the word's key, which is the word itself up
// to 16 bytes, so a word is found with one look at one slot.
class TPatternModel::TWordTable {
 public:
  static constexpr std::uint32_t None = ~std::uint32_t(0);

  std::uint32_t Find(std::string_view word) const {
    if (FSlots.empty() || word.empty()) return None;
    const TWordKey key = KeyOf(word);
    for (std::size_t i = Start(key);; i = (i + 1) & FMask) {
      const TSlot& slot = FSlots[i];
      if (!slot.Key.Size) return None;
      if (Same(slot, key, word)) return slot.Id;
    }
  }
  // The word's slot; a new word gets the next id. key: KeyOf(word), of a
  // word of at least one byte. The slot is good until the next Add.
  struct TSlot;
  TSlot& Add(std::string_view word, const TWordKey& key) {
    if (2 * (Size() + 1) > FSlots.size()) Grow();
    for (std::size_t i = Start(key);; i = (i + 1) & FMask) {
      TSlot& slot = FSlots[i];
      if (!slot.Key.Size) {
        slot = {key, static_cast<std::uint32_t>(Size()), None};
        FBytes.append(word);
        FStarts.push_back(static_cast<std::uint32_t>(FBytes.size()));
        return slot;
      }
      if (Same(slot, key, word)) return slot;
    }
  }
  std::size_t Size() const { return FStarts.size() - 1; }
  std::string_view Word(std::uint32_t id) const {
    return std::string_view(FBytes).substr(FStarts[id], FStarts[id + 1] - FStarts[id]);
  }

  // The key, the id and, in the slot's padding, the last experience the
  // word was seen in: a word repeated in an experience costs one look.
  struct TSlot {
    TWordKey Key;  // Size 0: free
    std::uint32_t Id = None;
    std::uint32_t Last = None;
  };

 private:
  std::size_t Start(const TWordKey& key) const {
    const std::uint64_t h =
        (key.First ^ (key.Last * 0xC2B2AE3D27D4EB4FULL) ^ key.Size) * 0x9E3779B97F4A7C15ULL;
    return static_cast<std::size_t>(h >> FShift);
  }
  bool Same(const TSlot& slot, const TWordKey& key, std::string_view word) const {
    return slot.Key == key && (key.Size <= 16 || Word(slot.Id) == word);
  }
  void Grow() {
    std::vector<TSlot> old(std::max<std::size_t>(4096, 2 * FSlots.size()));
    old.swap(FSlots);
    FMask = FSlots.size() - 1;
    FShift = 64 - std::countr_zero(FSlots.size());
    for (const TSlot& slot : old) {
      if (!slot.Key.Size) continue;
      std::size_t i = Start(slot.Key);
      while (FSlots[i].Key.Size) i = (i + 1) & FMask;
      FSlots[i] = slot;
    }
  }
  std::vector<TSlot> FSlots;
  std::size_t FMask = 0;
  int FShift = 64;
  std::string FBytes;
  std::vector<std::uint32_t> FStarts{0};
};

namespace {

// Words a suggestion may show: of at least 3 letters, not a stop word.
bool MaySuggest(std::string_view word) {
  int letters = 0;
  for (const char c : word)
    if (c < '0' || c > '9') ++letters;
  return letters >= 3 && !IsStopWord(word);
}

}  // namespace

TPatternModel::~TPatternModel() = default;

TPatternModel::TPatternModel(TSearchIndex& index, const std::vector<TPatternJournal>& journals)
    : FWordIds(std::make_unique<TWordTable>()) {
  TStemmer& stemmer = index.Stemmer();
  // Per word: the last experience it was seen in, its stem, whether it may
  // be suggested. Per stem: the last experience counted, all words and
  // suggested ones.
  struct TWordSeen {
    std::uint32_t Stem;
    bool Suggested;
    std::uint32_t Experiences;
  };
  std::vector<TWordSeen> words;
  struct TStemSeen {
    std::uint32_t Last = ~0u, LastFrequent = ~0u, Experiences = 0, Frequent = 0;
  };
  std::vector<TStemSeen> stems;
  std::string stem;
  // A word seen for the first time: stemmed once, here.
  const auto addWord = [&](std::string_view word) {
    // Snowball's Russian stemmer leaves a word without Cyrillic letters as
    // it is (numbers, Latin words): a diary numbers every experience.
    if (std::all_of(word.begin(), word.end(), [](char c) { return (c & 0x80) == 0; }))
      stem.assign(word);
    else
      stem = stemmer.Stem(word);
    const auto [found, added] =
        FStemIds.try_emplace(stem, static_cast<std::uint32_t>(FStems.size()));
    if (added) {
      FStems.push_back({stem, {}, 0, 0});
      FStemWords.emplace_back();
      stems.emplace_back();
    }
    FStemWords[found->second].push_back(static_cast<std::uint32_t>(words.size()));
    words.push_back({found->second, MaySuggest(word), 0});
  };
  // Each experience's words as first seen in it, in order: the postings
  // are laid out once the text is read, each word's in one run.
  std::vector<std::uint32_t> firsts;
  std::vector<std::size_t> experienceStarts;
  // The text is read once: each word's experiences and each stem's counts
  // grow as it goes, in experience order.
  for (const TPatternJournal& journal : journals) {
    std::shared_ptr<const TJournalIndex> text = index.Journal(*journal.Root);
    FJournalStart.push_back(static_cast<std::uint32_t>(FExperiences.size()));
    const TXMLNode* lastNight = nullptr;
    for (std::size_t r = 0; r < text->Size(); ++r) {
      const TJournalIndex::TEntry entry = text->Entry(r);
      if (entry.Night != lastNight) {
        lastNight = entry.Night;
        FNights.push_back({journal.File, entry.Night, entry.Date});
      }
      const auto e = static_cast<std::uint32_t>(FExperiences.size());
      experienceStarts.push_back(firsts.size());
      FExperiences.push_back({journal.File, entry.Night, entry.Experience, entry.Date, entry.Level,
                              entry.Marks, static_cast<std::uint32_t>(FNights.size() - 1)});
      ForEachWord(entry.Text, [&](std::string_view word, const TWordKey& key) {
        TWordTable::TSlot& slot = FWordIds->Add(word, key);
        if (slot.Last == e) return;
        slot.Last = e;
        const std::uint32_t id = slot.Id;
        if (id == words.size()) addWord(word);
        TWordSeen& seen = words[id];
        ++seen.Experiences;
        firsts.push_back(id);
        TStemSeen& counted = stems[seen.Stem];
        if (counted.Last != e) {
          counted.Last = e;
          ++counted.Experiences;
        }
        if (seen.Suggested && counted.LastFrequent != e) {
          counted.LastFrequent = e;
          ++counted.Frequent;
        }
      });
    }
    FJournals.push_back(std::move(text));
  }
  experienceStarts.push_back(firsts.size());
  FPostingStart.resize(words.size() + 1);
  for (std::size_t w = 0; w < words.size(); ++w)
    FPostingStart[w + 1] = FPostingStart[w] + words[w].Experiences;
  FPostings.resize(firsts.size());
  {
    std::vector<std::uint32_t> next(FPostingStart.begin(), FPostingStart.end() - 1);
    for (std::uint32_t e = 0; e + 1 < experienceStarts.size(); ++e)
      for (std::size_t i = experienceStarts[e]; i < experienceStarts[e + 1]; ++i)
        FPostings[next[firsts[i]]++] = e;
  }
  for (std::size_t s = 0; s < FStems.size(); ++s) {
    FStems[s].Experiences = stems[s].Experiences;
    FStems[s].Frequent = stems[s].Frequent;
  }

  FWordStem.reserve(words.size());
  for (const TWordSeen& word : words) FWordStem.push_back(word.Stem);
  for (std::uint32_t s = 0; s < FStems.size(); ++s) {
    std::uint32_t best = ~0u;
    for (const std::uint32_t w : FStemWords[s]) {
      if (best != ~0u) {
        if (words[best].Suggested != words[w].Suggested) {
          if (words[best].Suggested) continue;
        } else if (words[w].Experiences != words[best].Experiences) {
          if (words[w].Experiences < words[best].Experiences) continue;
        } else if (FWordIds->Word(w) > FWordIds->Word(best)) {
          continue;
        }
      }
      best = w;
    }
    FStems[s].Surface = std::string(FWordIds->Word(best));
  }
}

std::vector<std::uint32_t> TPatternModel::WordsMatching(const TSearchTerm& term) const {
  // WordMatches: the word is the query word or its stem, or its stem is either.
  std::vector<std::uint32_t> words;
  for (const std::string* key : {&term.Needle, &term.Word}) {
    if (key->empty()) continue;
    if (auto stem = FStemIds.find(*key); stem != FStemIds.end())
      words.insert(words.end(), FStemWords[stem->second].begin(), FStemWords[stem->second].end());
    if (const std::uint32_t w = FWordIds->Find(*key); w != TWordTable::None) words.push_back(w);
  }
  std::sort(words.begin(), words.end());
  words.erase(std::unique(words.begin(), words.end()), words.end());
  return words;
}

std::vector<std::uint32_t> TPatternModel::StemsMatching(const TSearchTerm& word) const {
  std::vector<std::uint32_t> stems;
  for (const std::uint32_t w : WordsMatching(word)) stems.push_back(FWordStem[w]);
  std::sort(stems.begin(), stems.end());
  stems.erase(std::unique(stems.begin(), stems.end()), stems.end());
  return stems;
}

std::vector<std::uint32_t> TPatternModel::Union(const std::vector<std::uint32_t>& words) const {
  if (words.size() == 1) {
    const auto postings = Postings(words[0]);
    return std::vector<std::uint32_t>(postings.begin(), postings.end());
  }
  // Marks rather than a sort: a common stem's words hold most experiences.
  std::vector<char> holds(FExperiences.size());
  for (const std::uint32_t w : words)
    for (const std::uint32_t e : Postings(w)) holds[e] = 1;
  std::vector<std::uint32_t> experiences;
  for (std::uint32_t e = 0; e < holds.size(); ++e)
    if (holds[e]) experiences.push_back(e);
  return experiences;
}

std::vector<std::uint32_t> TPatternModel::TermExperiences(const TSearchTerm& term,
                                                          TStemmer& stemmer) const {
  if (!term.Phrase) return Union(WordsMatching(term));
  // A phrase matches word for word: only experiences holding each of its
  // words can hold it, and those the search's own matching then decides.
  std::vector<std::uint32_t> candidates;
  std::size_t count = 0;
  for (std::size_t start = 0; start < term.Needle.size();) {
    std::size_t end = term.Needle.find(' ', start);
    if (end == std::string::npos) end = term.Needle.size();
    const std::uint32_t w =
        FWordIds->Find(std::string_view(term.Needle).substr(start, end - start));
    if (w == TWordTable::None) return {};
    std::vector<std::uint32_t> holding = Union({w});
    if (count++ == 0) {
      candidates = std::move(holding);
    } else {
      std::vector<std::uint32_t> both;
      std::set_intersection(candidates.begin(), candidates.end(), holding.begin(), holding.end(),
                            std::back_inserter(both));
      candidates = std::move(both);
    }
    start = end + 1;
  }
  if (count <= 1) return candidates;
  std::vector<std::uint32_t> found;
  for (const std::uint32_t e : candidates) {
    const std::size_t j =
        static_cast<std::size_t>(std::upper_bound(FJournalStart.begin(), FJournalStart.end(), e) -
                                 FJournalStart.begin() - 1);
    if (FJournals[j]->Holds(e - FJournalStart[j], term, stemmer)) found.push_back(e);
  }
  return found;
}

std::vector<std::uint32_t> TPatternModel::Matching(const TSearchQuery& query,
                                                   TStemmer& stemmer) const {
  std::vector<std::uint32_t> found;
  for (std::size_t t = 0; t < query.Terms.size(); ++t) {
    std::vector<std::uint32_t> holding = TermExperiences(query.Terms[t], stemmer);
    if (t == 0) {
      found = std::move(holding);
    } else {
      std::vector<std::uint32_t> both;
      std::set_intersection(found.begin(), found.end(), holding.begin(), holding.end(),
                            std::back_inserter(both));
      found = std::move(both);
    }
    if (found.empty()) break;
  }
  return found;
}
