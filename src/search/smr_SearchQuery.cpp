#include "search/smr_SearchQuery.h"

#include <charconv>
#include <unordered_set>

#include "search/smr_SearchText.h"

bool TSearchFilter::Active() const {
  for (bool mark : Marks)
    if (mark) return true;
  return LowestLevel > 0 || HighestLevel < 200 || DateFrom || DateTo ||
         Kind != TDescriptionKind::Any;
}

namespace {

// '"', and in windows-1251 the quotes a Russian keyboard types: « » „ “ ”.
bool IsQuote(unsigned char c) {
  return c == '"' || c == 0xAB || c == 0xBB || c == 0x84 || c == 0x93 || c == 0x94;
}

// The distinct terms of a query in the order first given.
class TTermList {
 public:
  explicit TTermList(std::vector<TSearchTerm>& terms) : FTerms(terms) {}

  // False once there are more distinct terms than a query may have.
  bool Add(TSearchTerm term) {
    std::string key = (term.Phrase ? "\"" : "") + term.Word + ' ' + term.Needle;
    if (!FSeen.insert(std::move(key)).second) return true;
    if (FTerms.size() == TSearchQuery::MaxTerms) return false;
    FTerms.push_back(std::move(term));
    return true;
  }

 private:
  std::vector<TSearchTerm>& FTerms;
  std::unordered_set<std::string> FSeen;
};

bool AddWords(std::string_view text, TStemmer& stemmer, TTermList& terms) {
  const std::string folded = FoldedWords(text);
  std::size_t start = 0;
  while (start < folded.size()) {
    std::size_t end = folded.find(' ', start);
    if (end == std::string::npos) end = folded.size();
    TSearchTerm term;
    term.Word = folded.substr(start, end - start);
    term.Needle = stemmer.Stem(term.Word);
    if (!terms.Add(std::move(term))) return false;
    start = end + 1;
  }
  return true;
}

bool Number(std::string_view text, int& value) {
  if (text.empty()) return false;
  const auto [last, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && last == text.data() + text.size();
}

int Date(int day, int month, int year) {
  static constexpr int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  // There is no year 0.
  if (year < 1 || month < 1 || month > 12 || day < 1 || day > kDays[month - 1]) return 0;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (month == 2 && day == 29 && !leap) return 0;
  return year * 10000 + month * 100 + day;
}

// "dd.mm.y..." with exactly two digits for day and month and yearDigits for the year.
int ParseDate(std::string_view text, std::size_t yearDigits) {
  if (text.size() != 6 + yearDigits || text[2] != '.' || text[5] != '.') return 0;
  for (std::size_t i : {0u, 1u, 3u, 4u})
    if (text[i] < '0' || text[i] > '9') return 0;
  int day = 0, month = 0, year = 0;
  if (!Number(text.substr(0, 2), day) || !Number(text.substr(3, 2), month) ||
      !Number(text.substr(6), year) || text[6] == '+' || text[6] == '-')
    return 0;
  if (yearDigits == 2) year += year >= 69 ? 1900 : 2000;
  return Date(day, month, year);
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

}  // namespace

TSearchQuery::TSearchQuery(std::string_view text, TStemmer& stemmer, TSearchFilter filter)
    : Filter(filter) {
  // An unclosed quote runs to the end: the phrase is still being typed.
  TTermList terms(Terms);
  std::size_t start = 0;
  bool quoted = false;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && !IsQuote(static_cast<unsigned char>(text[i]))) continue;
    const std::string_view part = text.substr(start, i - start);
    bool added = true;
    if (!quoted) {
      added = AddWords(part, stemmer, terms);
    } else if (std::string words = FoldedWords(part); !words.empty()) {
      TSearchTerm term;
      term.Phrase = true;
      term.Needle = std::move(words);
      added = terms.Add(std::move(term));
    }
    if (!added) {
      // Refused whole: a query cut short would find what was not asked for.
      Terms.clear();
      FTooMany = true;
      return;
    }
    quoted = !quoted;
    start = i + 1;
  }
}

bool WordMatches(const TSearchTerm& term, std::string_view word, TStemmer& stemmer) {
  if (word == term.Word || word == term.Needle) return true;
  const std::string& stem = stemmer.Stem(word);
  return stem == term.Needle || stem == term.Word;
}

int NightDate(std::string_view name) { return ParseDate(Trimmed(name), 2); }

int FilterDate(std::string_view text) {
  text = Trimmed(text);
  return text.size() == 10 ? ParseDate(text, 4) : ParseDate(text, 2);
}
