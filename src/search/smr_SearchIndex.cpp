#include "search/smr_SearchIndex.h"

#include <QFileInfo>
#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include "storage/smr_Types.h"
#include "xml/xml_node.h"

namespace {

// Ends every field, so that neither a word nor a phrase runs into the next.
constexpr char kFieldEnd = '\x01';

// A name compared in place: most differ in length, and the rest are a few
// bytes, shorter than a call to memcmp.
inline bool Named(const TXMLString& name, std::string_view wanted) {
  if (name.size() != wanted.size()) return false;
  const char* p = name.data();
  for (std::size_t i = 0; i < wanted.size(); ++i)
    if (p[i] != wanted[i]) return false;
  return true;
}

// The first attribute of that name, as GetAttribute finds it, without a
// copy; null when there is none or it reads "undefined".
const TXMLString* FindAttribute(const TXMLNode& element, std::string_view name) {
  for (const auto& attribute : element.Attributes)
    if (Named(attribute.Name, name))
      return attribute.Value == smr::Undefined ? nullptr : &attribute.Value;
  return nullptr;
}

// The level the panel shows: the middle when it is missing or not a number.
std::int16_t EnergyLevel(const TXMLNode* energy) {
  const TXMLString* level = energy ? FindAttribute(*energy, smr::atLevel) : nullptr;
  if (!level || level->empty()) return 100;
  int value = 0;
  const char* end = level->data() + level->size();
  const auto [last, error] = std::from_chars(level->data(), end, value);
  if (error != std::errc() || last != end) return 100;
  return static_cast<std::int16_t>(std::clamp(value, -1000, 1000));
}

// Marks as the panel shows them: a mark of the older format still counts
// until the experience is shown and converted.
std::uint8_t Marks(const TXMLNode* properties) {
  if (!properties) return 0;
  // The first attribute of each name, in one pass.
  const TXMLString* found[2][4] = {};
  for (const auto& attribute : properties->Attributes)
    for (int k = 0; k < 4; ++k)
      for (int old = 0; old < 2; ++old)
        if (!found[old][k] && Named(attribute.Name, (old ? smr::atOldLabel : smr::atLabel)[k]))
          found[old][k] = &attribute.Value;
  std::uint8_t marks = 0;
  for (int k = 0; k < 4; ++k) {
    const TXMLString* mark = found[1][k];
    if (!mark || *mark == smr::Undefined) mark = found[0][k];
    if (mark && *mark == smr::True) marks |= static_cast<std::uint8_t>(1 << k);
  }
  return marks;
}

}  // namespace

// Property values of check boxes and radio buttons are "true"/"false":
// nothing anyone would look for; nor is a field left empty.
void ForEachPropertyValue(const TXMLNode& element,
                          const std::function<void(const std::string&)>& f) {
  for (const auto& child : element.Children) {
    if (child->Name != smr::elParameter) continue;
    if (child->HasAttribute(smr::atValue)) {
      const std::string value = child->GetAttribute(smr::atValue);
      if (!value.empty() && value != smr::True && value != smr::False) f(value);
    }
    ForEachPropertyValue(*child, f);
  }
}

const TXMLNode* FirstChild(const TXMLNode& parent, std::string_view name) {
  for (const auto& child : parent.Children)
    if (child->Name == name) return child.get();
  return nullptr;
}

const std::string& THTMLTexts::Text(const TXMLNode& experience) {
  static const std::string none;
  if (!experience.HasAttribute(smr::atFile)) return none;
  const std::string path = FResolve(experience.GetAttribute(smr::atFile));
  const QFileInfo info(QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())));
  const std::int64_t size = info.exists() ? info.size() : -1;
  const std::int64_t time = info.exists() ? info.lastModified().toMSecsSinceEpoch() : 0;
  TEntry& entry = FFiles[path];
  if (entry.Size != size || entry.Time != time) {
    entry.Size = size;
    entry.Time = time;
    entry.Text = size < 0 ? std::string() : HTMLFilePlainText(path);
  }
  return entry.Text;
}

namespace {

// What the index reads of a missing text.
const TXMLString kNone;

const TXMLString& Attribute(const TXMLNode& element, std::string_view name) {
  const TXMLString* value = FindAttribute(element, name);
  return value ? *value : kNone;
}

// ForEachPropertyValue without copies, for the index.
void CollectPropertyValues(const TXMLNode& element, std::vector<const TXMLString*>& values) {
  for (const auto& child : element.Children) {
    if (Named(child->Name, smr::elParameter)) {
      const TXMLString& value = Attribute(*child, smr::atValue);
      if (!value.empty() && value != smr::True && value != smr::False) values.push_back(&value);
    }
    CollectPropertyValues(*child, values);
  }
}

// The parts of an experience the index reads, as FindNode and FirstChild
// find them, in one walk over its children instead of one per part.
struct TParts {
  const TXMLNode *Energy = nullptr, *Properties = nullptr, *Description = nullptr,
                 *Comment = nullptr;
  explicit TParts(const TXMLNode& experience) {
    for (const auto& child : experience.Children) {
      const TXMLNode* node = child.get();
      if (Named(node->Name, smr::elEnergy))
        Energy = node;
      else if (Named(node->Name, smr::elProperties))
        Properties = node;
      else if (Named(node->Name, smr::elDescription))
        Description = node;
      else if (Named(node->Name, smr::elComment) && !Comment)
        Comment = node;
    }
    // FindNode looks deeper when no child has the name.
    if (!Energy) Energy = experience.FindNode(smr::elEnergy);
    if (!Properties) Properties = experience.FindNode(smr::elProperties);
    if (!Description) Description = experience.FindNode(smr::elDescription);
  }
};

// Calls f with each experience of the nights among the root's children
// [from, to), with its night.
template <typename F>
void ForEachExperience(const TXMLNode& root, std::size_t from, std::size_t to, F&& f) {
  // Through const nodes only: a changeable list marks itself touched,
  // a write another thread may be making at the same time.
  const auto* days = root.Children.begin();
  for (std::size_t i = from; i < to; ++i) {
    const TXMLNode& day = *days[i];
    if (!Named(day.Name, smr::elDay)) continue;
    for (const auto& experience : day.Children)
      if (Named(experience->Name, smr::elExperience)) f(day, *experience);
  }
}

// The first place of the pattern (a blank and a stem or phrase) in
// base[from, to). Sixteen places at a time are tested for the blank and
// the next three bytes at once: a one-letter stem's letter starts a word
// often and lies inside words far more often, and stopping at each would
// cost more than the test.
const char* FindPattern(const char* base, std::size_t from, std::size_t to,
                        const std::string& pattern) {
  const std::size_t n = pattern.size();
  if (to - from < n) return nullptr;
  const char* p = base + from;
  const char* const last = base + to - n;  // the last place the pattern fits
#if defined(__SSE2__) || defined(_M_X64)
  const __m128i blank = _mm_set1_epi8(' ');
  const __m128i first = _mm_set1_epi8(pattern[1]);
  const __m128i second = _mm_set1_epi8(n > 2 ? pattern[2] : '\0');
  const __m128i third = _mm_set1_epi8(n > 3 ? pattern[3] : '\0');
  const std::size_t tested = std::min<std::size_t>(n, 4);
  // Each step reads 19 bytes from p, all before base + to.
  for (; p + 19 <= base + to; p += 16) {
    const auto at = [&](std::size_t k) {
      return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
    };
    __m128i same = _mm_and_si128(_mm_cmpeq_epi8(at(0), blank), _mm_cmpeq_epi8(at(1), first));
    if (n > 2) same = _mm_and_si128(same, _mm_cmpeq_epi8(at(2), second));
    if (n > 3) same = _mm_and_si128(same, _mm_cmpeq_epi8(at(3), third));
    for (auto bits = static_cast<unsigned>(_mm_movemask_epi8(same)); bits; bits &= bits - 1) {
      const char* q = p + std::countr_zero(bits);
      if (q > last) return nullptr;
      std::size_t k = tested;
      while (k < n && q[k] == pattern[k]) ++k;
      if (k == n) return q;
    }
  }
#endif
  for (; p <= last; ++p)
    if (*p == ' ' && std::memcmp(p + 1, pattern.data() + 1, n - 1) == 0) return p;
  return nullptr;
}

// The first chunk is small, so that a short journal costs little; each
// next one doubles up to the largest. A bigger record gets a chunk of its own.
constexpr std::size_t kFirstChunk = std::size_t(64) << 10;
constexpr std::size_t kChunk = std::size_t(8) << 20;

}  // namespace

TWordMemo::TKey TWordMemo::KeyOf(std::string_view word) {
  // Loads of fixed sizes, overlapping for lengths between them: a call to
  // memcpy of a variable length costs more than the rest of a lookup.
  const auto load = [](const char* p, auto value) {
    std::memcpy(&value, p, sizeof value);
    return static_cast<std::uint64_t>(value);
  };
  const char* p = word.data();
  const std::size_t n = word.size();
  TKey key;
  key.Size = n;
  if (n >= 8) {
    key.Head = load(p, std::uint64_t());
    if (n > 8) key.Tail = load(p + n - 8, std::uint64_t());
  } else if (n >= 4) {
    key.Head = load(p, std::uint32_t()) | load(p + n - 4, std::uint32_t()) << (8 * (n - 4));
  } else if (n > 0) {
    key.Head = load(p, std::uint8_t()) | load(p + n / 2, std::uint8_t()) << (8 * (n / 2)) |
               load(p + n - 1, std::uint8_t()) << (8 * (n - 1));
  }
  return key;
}

std::uint64_t TWordMemo::Hash(const TKey& key) {
  // Both ends of the word and its length: enough to tell a diary's words apart.
  const std::uint64_t h =
      (key.Head * 0x9E3779B97F4A7C15ULL) ^ (key.Tail * 0xC2B2AE3D27D4EB4FULL) ^ key.Size;
  return h ^ (h >> 29);
}

int TWordMemo::Find(std::string_view word) const {
  if (FSlots.empty()) return -1;
  const TKey key = KeyOf(word);
  const std::size_t mask = FSlots.size() - 1;
  for (std::size_t i = Hash(key) & mask;; i = (i + 1) & mask) {
    const TSlot& slot = FSlots[i];
    if (!slot.Word) return -1;
    if (slot.Key == key &&
        (key.Size <= 16 || std::memcmp(slot.Word, word.data(), word.size()) == 0))
      return slot.Match;
  }
}

int TWordMemo::Add(std::string_view word, bool match) {
  if (2 * (FUsed + 1) > FSlots.size()) {
    std::vector<TSlot> old(std::max<std::size_t>(1024, 2 * FSlots.size()));
    old.swap(FSlots);
    FUsed = 0;
    for (const TSlot& slot : old)
      if (slot.Word) Add({slot.Word, slot.Key.Size}, slot.Match);
  }
  const TKey key = KeyOf(word);
  const std::size_t mask = FSlots.size() - 1;
  std::size_t i = Hash(key) & mask;
  while (FSlots[i].Word) i = (i + 1) & mask;
  FSlots[i] = {word.data(), key, match};
  ++FUsed;
  return match;
}

char* TJournalIndex::Room(std::size_t bytes) {
  if (FChunks.empty() || FChunks.back().Capacity - FChunks.back().Size < bytes) {
    const std::size_t next =
        FChunks.empty() ? kFirstChunk : std::min(kChunk, 2 * FChunks.back().Capacity);
    const std::size_t capacity = std::max(next, bytes + 1);
    TChunk& chunk = FChunks.emplace_back(TChunk{TTextMemory(capacity), 0, capacity});
    chunk.Memory.get()[chunk.Size++] = kFieldEnd;  // so every word has a byte before it
  }
  TChunk& chunk = FChunks.back();
  return chunk.Memory.get() + chunk.Size;
}

namespace {

// What one record is made of, as read from the tree: the fields in record
// order are number, title, description (or the HTML text), comment,
// property values and the night's comment. The texts are the document's,
// or the HTML texts'.
struct TSource {
  const TXMLNode* Night = nullptr;
  const TXMLNode* Experience = nullptr;
  std::int32_t Date = 0;
  std::int16_t Level = 100;
  std::uint8_t Marks = 0;
  bool HTML = false;
  const TXMLString *Number = &kNone, *Title = &kNone, *Description = &kNone, *Comment = &kNone,
                   *NightComment = &kNone;
  std::string_view HTMLText;
  const std::vector<const TXMLString*>* Values = nullptr;
  std::string_view DescriptionText() const { return HTML ? HTMLText : Description->View(); }
};

template <typename F>
void ForEachSource(const TXMLNode& root, THTMLTexts& html, std::size_t from, std::size_t to,
                   F&& f) {
  const TXMLNode* lastDay = nullptr;
  TSource source;
  std::vector<const TXMLString*> values;
  source.Values = &values;
  ForEachExperience(root, from, to, [&](const TXMLNode& day, const TXMLNode& experience) {
    if (&day != lastDay) {
      lastDay = &day;
      source.Night = &day;
      source.Date = NightDate(day.GetAttribute(smr::atName));
      const TXMLNode* comment = FirstChild(day, smr::elComment);
      source.NightComment = comment ? &comment->FirstText() : &kNone;
    }
    source.Experience = &experience;
    source.HTML = Attribute(experience, smr::atType) == smr::Html;
    const TParts parts(experience);
    source.Level = EnergyLevel(parts.Energy);
    source.Marks = Marks(parts.Properties);
    source.Number = &Attribute(experience, smr::atNumber);
    source.Title = &Attribute(experience, smr::atTitle);
    source.Description = &kNone;
    source.HTMLText = {};
    if (source.HTML)
      source.HTMLText = html.Text(experience);
    else if (parts.Description)
      source.Description = &parts.Description->FirstText();
    source.Comment = parts.Comment ? &parts.Comment->FirstText() : &kNone;
    values.clear();
    if (parts.Properties) CollectPropertyValues(*parts.Properties, values);
    f(std::as_const(source));
  });
}

// A 64-bit hash of everything an index is built from, to tell whether a
// tree still reads as it did without building its index again. Two lanes
// of 8 bytes, so the multiplications overlap.
class TSourceHash {
 public:
  void Add(std::uint64_t value) { FA = Mix(FA ^ value); }
  void Add(std::string_view text) {
    const char* p = text.data();
    std::size_t n = text.size();
    Add(n);
    for (; n >= 16; p += 16, n -= 16) {
      FA = Mix(FA ^ Load(p));
      FB = Mix(FB ^ Load(p + 8));
    }
    if (n >= 8) {
      FB = Mix(FB ^ Load(p));
      p += 8;
      n -= 8;
    }
    if (n > 0) {
      std::uint64_t last = 0;
      std::memcpy(&last, p, n);
      FB = Mix(FB ^ last);
    }
  }
  // Bytes read from the file lie in the document's text, which never
  // changes while a node holds it: where they are tells what they are.
  // The program's own are read.
  void Add(const TXMLString& text) {
    if (text.IsCopy()) return Add(text.View());
    Add(reinterpret_cast<std::uintptr_t>(text.data()));
    Add(text.size());
  }
  std::uint64_t Value() const { return Mix(FA ^ Mix(FB)); }

 private:
  static std::uint64_t Load(const char* p) {
    std::uint64_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
  }
  static std::uint64_t Mix(std::uint64_t h) {
    h *= 0x9E3779B97F4A7C15ULL;
    return h ^ (h >> 31);
  }
  std::uint64_t FA = 1, FB = 2;
};

void AddSource(TSourceHash& hash, const TSource& source) {
  hash.Add(reinterpret_cast<std::uintptr_t>(source.Night));
  hash.Add(reinterpret_cast<std::uintptr_t>(source.Experience));
  hash.Add(static_cast<std::uint64_t>(static_cast<std::uint32_t>(source.Date)) << 32 |
           static_cast<std::uint64_t>(static_cast<std::uint16_t>(source.Level)) << 16 |
           static_cast<std::uint64_t>(source.Marks) << 8 | (source.HTML ? 1 : 0));
  for (const TXMLString* text :
       {source.Number, source.Title, source.Description, source.Comment, source.NightComment})
    hash.Add(*text);
  hash.Add(source.HTMLText);
  hash.Add(source.Values->size());
  for (const TXMLString* value : *source.Values) hash.Add(*value);
}

}  // namespace

// A journal's index built a night at a time, or at once: the records so
// far and where the next night is.
struct TJournalIndex::TBuild {
  TBuild(TJournalIndex& index, const TXMLNode& root, THTMLTexts& html)
      : Index(index), Root(root), HTML(html) {}

  TJournalIndex& Index;
  const TXMLNode& Root;
  THTMLTexts& HTML;
  std::size_t Next = 0;  // the root's next child
  TSourceHash Hash;

  // Indexes nights until the deadline; true once the last is done.
  bool Step(TSearchDeadline deadline) {
    const std::size_t nights = Root.Children.size();
    const bool timed = deadline != TSearchDeadline::max();
    while (Next < nights) {
      const std::size_t to = timed ? Next + 1 : nights;
      ForEachSource(Root, HTML, Next, to, [&](const TSource& source) {
        AddSource(Hash, source);
        Add(source);
      });
      Next = to;
      if (Next < nights && std::chrono::steady_clock::now() >= deadline) return false;
    }
    Index.FSourceHash = Hash.Value();
    return true;
  }

  void Add(const TSource& source) {
    TJournalIndex& index = Index;
    // Each field: its text, a blank more than it has words, and the field end.
    const std::string_view description = source.DescriptionText();
    std::size_t bytes = source.Number->size() + source.Title->size() + description.size() +
                        source.Comment->size() + source.NightComment->size() + 15;
    for (const TXMLString* value : *source.Values) bytes += value->size() + 3;

    char* const start = index.Room(bytes);
    char* to = start;
    auto field = [&](std::string_view text) {
      to = FoldWordsInto(text, to);
      *to++ = kFieldEnd;
    };
    field(*source.Number);
    field(*source.Title);
    field(description);
    field(*source.Comment);
    for (const TXMLString* value : *source.Values) field(*value);
    field(*source.NightComment);
    TChunk& chunk = index.FChunks.back();
    TRecord record{};
    record.Night = source.Night;
    record.Experience = source.Experience;
    record.Date = source.Date;
    record.Level = source.Level;
    record.Marks = source.Marks;
    record.HTML = source.HTML;
    record.Chunk = static_cast<std::uint32_t>(index.FChunks.size() - 1);
    record.Start = static_cast<std::uint32_t>(chunk.Size);
    chunk.Size += static_cast<std::size_t>(to - start);
    record.End = static_cast<std::uint32_t>(chunk.Size);
    index.FRecords.push_back(record);
  }
};

TJournalIndex::TJournalIndex(const TXMLNode& root, THTMLTexts& html) {
  TBuild(*this, root, html).Step(TSearchDeadline::max());
}

TJournalIndexBuilder::TJournalIndexBuilder(const TXMLNode& root, THTMLTexts& html)
    : FRoot(root),
      FIndex(new TJournalIndex()),
      FBuild(std::make_unique<TJournalIndex::TBuild>(*FIndex, root, html)) {}

TJournalIndexBuilder::~TJournalIndexBuilder() = default;

bool TJournalIndexBuilder::Step(TSearchDeadline deadline) {
  if (!FBuild) return true;
  if (!FBuild->Step(deadline)) return false;
  FBuild.reset();
  return true;
}

bool TJournalIndex::Describes(const TXMLNode& root, THTMLTexts& html) const {
  TSourceHash hash;
  ForEachSource(root, html, 0, root.Children.size(),
                [&](const TSource& source) { AddSource(hash, source); });
  return hash.Value() == FSourceHash;
}

std::size_t TJournalIndex::Bytes() const {
  std::size_t bytes = 0;
  for (const TChunk& chunk : FChunks) bytes += chunk.Size;
  return bytes;
}

TJournalIndex::TEntry TJournalIndex::Entry(std::size_t record) const {
  const TRecord& r = FRecords[record];
  const char* base = FChunks[r.Chunk].Memory.get();
  return {r.Night, r.Experience, r.Date,
          r.Level, r.Marks,      std::string_view(base + r.Start, r.End - r.Start)};
}

bool TJournalIndex::Holds(std::size_t record, const TSearchTerm& term, TStemmer& stemmer) const {
  TWordMemo memo;
  return Occurs(term, FRecords[record], stemmer, memo);
}

bool TJournalIndex::Passes(const TRecord& record, const TSearchFilter& filter) const {
  for (int k = 0; k < 4; ++k)
    if (filter.Marks[static_cast<std::size_t>(k)] && !(record.Marks & (1 << k))) return false;
  if (record.Level < filter.LowestLevel || record.Level > filter.HighestLevel) return false;
  if (record.Date && ((filter.DateFrom && record.Date < filter.DateFrom) ||
                      (filter.DateTo && record.Date > filter.DateTo)))
    return false;
  if (filter.Kind == TDescriptionKind::Plain && record.HTML) return false;
  if (filter.Kind == TDescriptionKind::HTML && !record.HTML) return false;
  return true;
}

std::size_t TJournalIndex::Find(const TSearchTerm& term, const char* base, std::size_t from,
                                std::size_t to, TStemmer& stemmer, TWordMemo& memo) const {
  // Every word stands after one blank: looking for the blank too finds
  // word starts only.
  const std::string pattern = ' ' + term.Needle;
  std::size_t pos = from;
  while (pos < to) {
    const char* found = FindPattern(base, pos, to, pattern);
    if (!found) break;
    const std::size_t p = static_cast<std::size_t>(found - base);
    std::size_t end = p + pattern.size();  // a chunk ends with a field end, never in a word
    if (term.Phrase) {
      if (!IsWordByte(static_cast<unsigned char>(base[end]))) return p;
      pos = p + 1;  // a repeating phrase may start again inside this one
      continue;
    }
    while (IsWordByte(static_cast<unsigned char>(base[end]))) ++end;
    const std::string_view word(base + p + 1, end - p - 1);
    int known = memo.Find(word);
    if (known < 0) known = memo.Add(word, WordMatches(term, word, stemmer));
    if (known) return p;
    pos = end;
  }
  return std::string::npos;
}

bool TJournalIndex::Occurs(const TSearchTerm& term, const TRecord& record, TStemmer& stemmer,
                           TWordMemo& memo) const {
  const char* base = FChunks[record.Chunk].Memory.get();
  return Find(term, base, record.Start, record.End, stemmer, memo) != std::string::npos;
}

bool TJournalIndex::Search(const TSearchQuery& query, TStemmer& stemmer, const TXMLNode* file,
                           std::vector<TSearchHit>& hits, std::size_t& next,
                           TSearchDeadline deadline) const {
  if (query.Empty() || next >= FRecords.size()) {
    next = 0;
    return true;
  }
  // Longer needles are rarer and found faster: they go first.
  std::vector<const TSearchTerm*> terms;
  for (const TSearchTerm& term : query.Terms) terms.push_back(&term);
  std::stable_sort(terms.begin(), terms.end(), [](const TSearchTerm* a, const TSearchTerm* b) {
    return a->Needle.size() > b->Needle.size();
  });
  std::vector<TWordMemo> memos(terms.size());
  auto matches = [&](const TRecord& record, std::size_t first) {
    for (std::size_t t = first; t < terms.size(); ++t)
      if (!Occurs(*terms[t], record, stemmer, memos[t])) return false;
    return true;
  };
  auto hit = [&](const TRecord& record) {
    hits.push_back({file, record.Night, record.Experience});
  };
  // The clock is read every few records: reading it costs more than a record.
  std::size_t steps = 0;
  auto late = [&] { return (++steps & 31) == 0 && std::chrono::steady_clock::now() >= deadline; };

  if (terms.empty() || query.Filter.Active()) {
    for (; next < FRecords.size(); ++next) {
      if (late()) return false;
      const TRecord& record = FRecords[next];
      if (Passes(record, query.Filter) && matches(record, 0)) hit(record);
    }
    next = 0;
    return true;
  }
  // No filter: the first term runs over each chunk whole, jumping to the
  // end of each record it finds.
  std::size_t r = next;
  for (std::size_t c = FRecords[r].Chunk; c < FChunks.size(); ++c) {
    const char* base = FChunks[c].Memory.get();
    std::size_t pos = c == FRecords[next].Chunk ? FRecords[next].Start : 0;
    for (;;) {
      const std::size_t p = Find(*terms[0], base, pos, FChunks[c].Size, stemmer, memos[0]);
      if (p == std::string::npos) break;
      while (FRecords[r].Chunk < c || FRecords[r].End <= p) ++r;
      if (matches(FRecords[r], 1)) hit(FRecords[r]);
      pos = FRecords[r].End;
      if (r + 1 < FRecords.size() && late()) {
        next = r + 1;
        return false;
      }
    }
  }
  next = 0;
  return true;
}

void TSearchIndex::Search(const TXMLNode* file, const TXMLNode& root, const TSearchQuery& query,
                          std::vector<TSearchHit>& hits) {
  std::size_t next = 0;
  Search(file, root, query, hits, next, TSearchDeadline::max());
}

bool TSearchIndex::Search(const TXMLNode* file, const TXMLNode& root, const TSearchQuery& query,
                          std::vector<TSearchHit>& hits, std::size_t& next,
                          TSearchDeadline deadline) {
  if (query.Empty()) {
    next = 0;
    return true;
  }
  return Journal(root)->Search(query, FStemmer, file, hits, next, deadline);
}

void TSearchIndex::Prepare(const TXMLNode& root) {
  if (FJournals.contains(&root) || (FPending && &FPending->Root() == &root)) return;
  FPending = std::make_unique<TJournalIndexBuilder>(root, FHTML);
}

bool TSearchIndex::PrepareStep(TSearchDeadline deadline) {
  if (!FPending) return true;
  if (!FPending->Step(deadline)) return false;
  // The tree may have been edited between the steps: the index is
  // checked against it when first needed.
  FJournals[&FPending->Root()] = {FPending->Take(), true};
  FPending.reset();
  return true;
}

std::shared_ptr<const TJournalIndex> TSearchIndex::Journal(const TXMLNode& root) {
  if (FPending && &FPending->Root() == &root) PrepareStep(TSearchDeadline::max());
  TEntry& entry = FJournals[&root];
  if (entry.Stale && entry.Index && !entry.Index->Describes(root, FHTML)) entry.Index.reset();
  entry.Stale = false;
  if (!entry.Index) entry.Index = std::make_shared<TJournalIndex>(root, FHTML);
  return entry.Index;
}

void TSearchIndex::Adopt(const TXMLNode& root, std::shared_ptr<const TJournalIndex> index,
                         THTMLTexts&& html) {
  FJournals[&root] = {std::move(index), false};
  FHTML.Merge(std::move(html));
}

void TSearchIndex::MarkStale() {
  for (auto& [root, entry] : FJournals) entry.Stale = true;
}

void THTMLTexts::Merge(THTMLTexts&& other) {
  for (auto& [file, entry] : other.FFiles) FFiles.try_emplace(file, std::move(entry));
  other.FFiles.clear();
}
