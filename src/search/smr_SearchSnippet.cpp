// Where a hit matched, for showing it: the same rules as the index, applied
// to the stored text of one experience.
#include <algorithm>

#include "search/smr_SearchIndex.h"
#include "storage/smr_Types.h"
#include "xml/xml_node.h"

namespace {

struct TWord {
  int Start, End;
  std::string Folded;
};

std::vector<TWord> Words(const std::string& text) {
  std::vector<TWord> words;
  const int n = static_cast<int>(text.size());
  for (int i = 0; i < n;) {
    if (!IsWordByte(static_cast<unsigned char>(text[static_cast<std::size_t>(i)]))) {
      ++i;
      continue;
    }
    TWord word{i, i, {}};
    while (word.End < n &&
           IsWordByte(static_cast<unsigned char>(text[static_cast<std::size_t>(word.End)])))
      word.Folded += static_cast<char>(
          FoldByte(static_cast<unsigned char>(text[static_cast<std::size_t>(word.End++)])));
    i = word.End;
    words.push_back(std::move(word));
  }
  return words;
}

// Start and length of every match of the query's terms in the text.
std::vector<std::pair<int, int>> Matches(const std::string& text, const TSearchQuery& query,
                                         TStemmer& stemmer) {
  std::vector<std::pair<int, int>> marks;
  const std::vector<TWord> words = Words(text);
  for (const TSearchTerm& term : query.Terms) {
    if (!term.Phrase) {
      for (const TWord& w : words)
        if (WordMatches(term, w.Folded, stemmer)) marks.emplace_back(w.Start, w.End - w.Start);
      continue;
    }
    std::vector<std::string> phrase;
    for (std::size_t start = 0; start <= term.Needle.size();) {
      const std::size_t end = std::min(term.Needle.find(' ', start), term.Needle.size());
      phrase.push_back(term.Needle.substr(start, end - start));
      start = end + 1;
    }
    for (std::size_t i = 0; i + phrase.size() <= words.size(); ++i) {
      bool same = true;
      for (std::size_t k = 0; same && k < phrase.size(); ++k)
        same = words[i + k].Folded == phrase[k];
      if (same)
        marks.emplace_back(words[i].Start, words[i + phrase.size() - 1].End - words[i].Start);
    }
  }
  std::sort(marks.begin(), marks.end());
  return marks;
}

// A window of about width bytes around the first match, on word bounds, as one line.
TSnippet Cut(const std::string& text, const std::vector<std::pair<int, int>>& marks, int width) {
  TSnippet snippet;
  const int n = static_cast<int>(text.size());
  const int first = marks.empty() ? 0 : marks.front().first;
  // The window is centred on the first match, so that however far into a
  // long line it lies, it is shown with words on both sides.
  const int length = marks.empty() ? 0 : std::min(marks.front().second, width);
  int start = std::max(0, std::min(first - (width - length) / 2, n - width));
  while (start > 0 && start < first &&
         IsWordByte(static_cast<unsigned char>(text[static_cast<std::size_t>(start - 1)])))
    ++start;
  int end = std::min(n, start + width);
  while (end < n && end > first + 1 &&
         IsWordByte(static_cast<unsigned char>(text[static_cast<std::size_t>(end)])))
    --end;
  const std::string ellipsis = "\x85";  // "…" in windows-1251
  if (start > 0) snippet.Text = ellipsis;
  const int shift = static_cast<int>(snippet.Text.size()) - start;
  for (int i = start; i < end; ++i) {
    const char c = text[static_cast<std::size_t>(i)];
    snippet.Text += static_cast<unsigned char>(c) < ' ' ? ' ' : c;
  }
  if (end < n) snippet.Text += ellipsis;
  for (const auto& [at, size] : marks) {
    const int from = std::max(at, start), to = std::min(at + size, end);
    if (from < to) snippet.Marks.emplace_back(from + shift, to - from);
  }
  snippet.FieldOffset = marks.empty() ? -1 : first;
  return snippet;
}

}  // namespace

TSnippet MakeSnippet(const TSearchHit& hit, const TSearchQuery& query, TSearchIndex& index,
                     int width) {
  const TXMLNode& experience = *hit.Experience;
  const bool html = experience.GetAttribute(smr::atType) == smr::Html;
  std::string description;
  if (html) {
    description = index.HTML().Text(experience);
  } else if (const TXMLNode* element = experience.FindNode(smr::elDescription)) {
    description = element->FirstText();
  }
  std::string properties;
  if (const TXMLNode* element = experience.FindNode(smr::elProperties)) {
    ForEachPropertyValue(*element, [&](const std::string& value) {
      if (!properties.empty()) properties += "; ";
      properties += value;
    });
  }
  const TXMLNode* comment = FirstChild(experience, smr::elComment);
  const TXMLNode* nightComment = hit.Night ? FirstChild(*hit.Night, smr::elComment) : nullptr;
  const std::pair<TSearchField, std::string> fields[] = {
      {html ? TSearchField::HTML : TSearchField::Description, description},
      {TSearchField::Comment, comment ? comment->FirstText().str() : std::string()},
      {TSearchField::Property, properties},
      {TSearchField::NightComment, nightComment ? nightComment->FirstText().str() : std::string()},
      {TSearchField::Title,
       experience.HasAttribute(smr::atTitle) ? experience.GetAttribute(smr::atTitle) : ""},
      {TSearchField::Number,
       experience.HasAttribute(smr::atNumber) ? experience.GetAttribute(smr::atNumber) : ""},
  };
  for (const auto& [field, text] : fields) {
    const auto marks = Matches(text, query, index.Stemmer());
    if (marks.empty()) continue;
    TSnippet snippet = Cut(text, marks, width);
    snippet.Field = field;
    return snippet;
  }
  return Cut(description, {}, width);
}
