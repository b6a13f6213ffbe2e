#include "patterns/smr_PatternModel.h"

#include <algorithm>
#include <cstring>

#include "patterns/smr_Patterns.h"
#include "search/smr_SearchIndex.h"
#include "search/smr_SearchQuery.h"
#include "search/smr_SearchText.h"

// Folded words to their ids: open addressing over views, as the search's
// word memo does, since a diary's text has millions of words and a few
// thousand distinct ones.
class TPatternModel::TWordTable {
 public:
  static constexpr std::uint32_t None = ~std::uint32_t(0);

  std::uint32_t Find(std::string_view word, const std::vector<std::string_view>& words) const {
    if (FSlots.empty()) return None;
    const std::size_t mask = FSlots.size() - 1;
    for (std::size_t i = Hash(word) & mask;; i = (i + 1) & mask) {
      const std::uint32_t id = FSlots[i];
      if (id == None || words[id] == word) return id;
    }
  }
  // The word's id, the next one (words.size()) when it is new and then added.
  std::uint32_t Add(std::string_view word, std::vector<std::string_view>& words) {
    if (2 * (words.size() + 1) > FSlots.size()) Grow(words);
    const std::size_t mask = FSlots.size() - 1;
    for (std::size_t i = Hash(word) & mask;; i = (i + 1) & mask) {
      std::uint32_t& id = FSlots[i];
      if (id == None) {
        id = static_cast<std::uint32_t>(words.size());
        words.push_back(word);
        return id;
      }
      if (words[id] == word) return id;
    }
  }

 private:
  static std::uint64_t Hash(std::string_view word) {
    std::uint64_t head = 0, tail = 0;
    std::memcpy(&head, word.data(), std::min<std::size_t>(8, word.size()));
    if (word.size() > 8) std::memcpy(&tail, word.data() + word.size() - 8, 8);
    const std::uint64_t h =
        (head * 0x9E3779B97F4A7C15ULL) ^ (tail * 0xC2B2AE3D27D4EB4FULL) ^ word.size();
    return h ^ (h >> 29);
  }
  void Grow(const std::vector<std::string_view>& words) {
    FSlots.assign(std::max<std::size_t>(4096, 2 * FSlots.size()), None);
    const std::size_t mask = FSlots.size() - 1;
    for (std::uint32_t id = 0; id < words.size(); ++id) {
      std::size_t i = Hash(words[id]) & mask;
      while (FSlots[i] != None) i = (i + 1) & mask;
      FSlots[i] = id;
    }
  }
  std::vector<std::uint32_t> FSlots;
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
  // Each experience's distinct words, one after another.
  std::vector<std::uint32_t> forward, forwardStart{0};
  std::vector<std::uint32_t> lastSeen, wordExperiences;
  for (const TPatternJournal& journal : journals) {
    std::shared_ptr<const TJournalIndex> text = index.Journal(*journal.Root);
    FJournalStart.push_back(static_cast<std::uint32_t>(FExperiences.size()));
    const TXMLNode* lastNight = nullptr;
    for (std::size_t r = 0; r < text->Size(); ++r) {
      const TJournalIndex::TEntry entry = text->Entry(r);
      if (entry.Night != lastNight || FNights.empty()) {
        lastNight = entry.Night;
        FNights.push_back({journal.File, entry.Night, entry.Date});
      }
      const auto e = static_cast<std::uint32_t>(FExperiences.size());
      FExperiences.push_back({journal.File, entry.Night, entry.Experience, entry.Date, entry.Level,
                              entry.Marks, static_cast<std::uint32_t>(FNights.size() - 1)});
      const char* p = entry.Text.data();
      const char* const end = p + entry.Text.size();
      while (p < end) {
        while (p < end && !IsWordByte(static_cast<unsigned char>(*p))) ++p;
        const char* const start = p;
        while (p < end && IsWordByte(static_cast<unsigned char>(*p))) ++p;
        if (start == p) break;
        const std::uint32_t id =
            FWordIds->Add(std::string_view(start, static_cast<std::size_t>(p - start)), FWords);
        if (id == lastSeen.size()) {
          lastSeen.push_back(e);
          wordExperiences.push_back(1);
          forward.push_back(id);
        } else if (lastSeen[id] != e) {
          lastSeen[id] = e;
          ++wordExperiences[id];
          forward.push_back(id);
        }
      }
      forwardStart.push_back(static_cast<std::uint32_t>(forward.size()));
    }
    FJournals.push_back(std::move(text));
  }

  // Postings in experience order, so each word's are ascending.
  const std::size_t words = FWords.size();
  FWordStart.assign(words + 1, 0);
  for (std::size_t w = 0; w < words; ++w) FWordStart[w + 1] = FWordStart[w] + wordExperiences[w];
  FPostings.resize(forward.size());
  std::vector<std::uint32_t> fill(FWordStart.begin(), FWordStart.end() - 1);
  for (std::uint32_t e = 0; e < FExperiences.size(); ++e)
    for (std::uint32_t i = forwardStart[e]; i < forwardStart[e + 1]; ++i)
      FPostings[fill[forward[i]]++] = e;

  // Stems, each distinct word stemmed once.
  TStemmer& stemmer = index.Stemmer();
  FWordStem.resize(words);
  std::vector<char> suggested(words);
  for (std::uint32_t w = 0; w < words; ++w) {
    const std::string& stem = stemmer.Stem(FWords[w]);
    auto [found, added] = FStemIds.try_emplace(stem, static_cast<std::uint32_t>(FStems.size()));
    if (added) {
      FStems.push_back({stem, {}, 0, 0});
      FStemWords.emplace_back();
    }
    FWordStem[w] = found->second;
    FStemWords[found->second].push_back(w);
    suggested[w] = MaySuggest(FWords[w]);
  }
  std::vector<std::uint32_t> stemSeen(FStems.size(), ~0u), frequentSeen(FStems.size(), ~0u);
  for (std::uint32_t e = 0; e < FExperiences.size(); ++e) {
    for (std::uint32_t i = forwardStart[e]; i < forwardStart[e + 1]; ++i) {
      const std::uint32_t w = forward[i], s = FWordStem[w];
      if (stemSeen[s] != e) {
        stemSeen[s] = e;
        ++FStems[s].Experiences;
      }
      if (suggested[w] && frequentSeen[s] != e) {
        frequentSeen[s] = e;
        ++FStems[s].Frequent;
      }
    }
  }
  for (std::uint32_t s = 0; s < FStems.size(); ++s) {
    std::uint32_t best = ~0u;
    bool bestSuggested = false;
    for (const std::uint32_t w : FStemWords[s]) {
      const bool may = suggested[w];
      if (best != ~0u) {
        if (bestSuggested && !may) continue;
        if (bestSuggested == may) {
          if (wordExperiences[w] < wordExperiences[best]) continue;
          if (wordExperiences[w] == wordExperiences[best] && FWords[w] > FWords[best]) continue;
        }
      }
      best = w;
      bestSuggested = may;
    }
    FStems[s].Surface = std::string(FWords[best]);
  }
}

std::vector<std::uint32_t> TPatternModel::WordsMatching(const TSearchTerm& term) const {
  // WordMatches: the word is the query word or its stem, or its stem is either.
  std::vector<std::uint32_t> words;
  for (const std::string* key : {&term.Needle, &term.Word}) {
    if (key->empty()) continue;
    if (auto stem = FStemIds.find(*key); stem != FStemIds.end())
      words.insert(words.end(), FStemWords[stem->second].begin(), FStemWords[stem->second].end());
    if (const std::uint32_t w = FWordIds->Find(*key, FWords); w != TWordTable::None)
      words.push_back(w);
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
  std::vector<std::uint32_t> experiences;
  for (const std::uint32_t w : words)
    experiences.insert(experiences.end(), FPostings.begin() + FWordStart[w],
                       FPostings.begin() + FWordStart[w + 1]);
  if (words.size() > 1) {
    std::sort(experiences.begin(), experiences.end());
    experiences.erase(std::unique(experiences.begin(), experiences.end()), experiences.end());
  }
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
        FWordIds->Find(std::string_view(term.Needle).substr(start, end - start), FWords);
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
