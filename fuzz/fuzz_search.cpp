// The search's query parser and its HTML-to-text folding. The bytes before
// the first "\n--\n" are a query (windows-1251, as typed), the rest an HTML
// page. The query is parsed, the page's text folded, and the query run over
// a journal whose one experience has that text as its description, with a
// snippet of it. Any crash, hang or sanitizer report is a finding, and so is
// a query whose terms break the parser's promises.

#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "search/smr_SearchIndex.h"
#include "search/smr_SearchQuery.h"
#include "search/smr_SearchText.h"
#include "xml/xml_mainUnit.h"
#include "xml/xml_node.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

// Folded words: letters and digits, single blanks between, none at the ends.
void CheckFolded(std::string_view words) {
  Check(words.empty() || (words.front() != ' ' && words.back() != ' '));
  for (std::size_t i = 0; i < words.size(); ++i) {
    const auto byte = static_cast<unsigned char>(words[i]);
    if (byte == ' ')
      Check(i + 1 < words.size() && words[i + 1] != ' ');
    else
      Check(FoldByte(byte) == byte);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t cut = input.find("\n--\n");
  const std::string_view queryText = input.substr(0, cut);
  const std::string_view page =
      cut == std::string_view::npos ? std::string_view() : input.substr(cut + 4);

  TSearchIndex index([](const std::string&) { return std::string(); });
  const TSearchQuery query(queryText, index.Stemmer());
  if (query.TooManyTerms()) {
    Check(query.Terms.empty());
  } else {
    Check(query.Terms.size() <= TSearchQuery::MaxTerms);
    for (std::size_t i = 0; i < query.Terms.size(); ++i) {
      const TSearchTerm& term = query.Terms[i];
      Check(!term.Needle.empty());
      CheckFolded(term.Needle);
      for (std::size_t j = 0; j < i; ++j)
        Check(query.Terms[j].Phrase != term.Phrase || query.Terms[j].Needle != term.Needle ||
              query.Terms[j].Word != term.Word);
    }
  }

  const std::string text =
      HTMLPlainText(QString::fromUtf8(page.data(), static_cast<qsizetype>(page.size())));
  CheckFolded(FoldedWords(text));

  // The page's text as a plain description, found by its own words.
  TXMLParser journal;
  journal.LoadFromText(
      "<?xml version=\"1.0\" encoding=\"windows-1251\"?><somnary><day name=\"01.01.24\">"
      "<experience number=\"1\"><description/></experience></day></somnary>");
  TXMLNode* experience = journal.Root->Child(0)->Child(0);
  auto textNode = std::make_unique<TXMLNode>("", nkText);
  textNode->Value = text;
  experience->Child(0)->AddChild(std::move(textNode));
  std::vector<TSearchHit> hits;
  index.Search(nullptr, *journal.Root, query, hits);
  for (const TSearchHit& hit : hits) {
    const TSnippet snippet = MakeSnippet(hit, query, index);
    for (const auto& [start, length] : snippet.Marks)
      Check(start >= 0 && length > 0 &&
            std::size_t(start) + std::size_t(length) <= snippet.Text.size());
  }
  const TSearchQuery own(text, index.Stemmer());
  if (!own.TooManyTerms() && !own.Terms.empty()) {
    hits.clear();
    index.Invalidate();
    index.Search(nullptr, *journal.Root, own, hits);
    Check(hits.size() == 1);
  }
  return 0;
}
