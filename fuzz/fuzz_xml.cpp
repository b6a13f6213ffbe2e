// Feeds arbitrary bytes to the reader, writes what it read, reads that text
// again and checks that it writes the same text a second time. The nodes
// read are also moved into another document that outlives the first and
// must write the same text. Any crash, hang, sanitizer report or broken
// round trip is a finding.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "xml/xml_mainUnit.h"

namespace {

bool HasBlankRun(std::string_view s) { return s.find("  ") != std::string_view::npos; }

// Whether the text form can carry this tree unchanged. The reader accepts
// more than the writer can reproduce, and these trees legitimately come back
// different from their first save:
// - a text node that is empty once trimmed is written as nothing, so it is
//   not there when read again;
// - a run of blanks (a removed comment leaves one between its neighbours)
//   collapses when the written line is read;
// - a '"' inside an attribute name or value ends the token early when read
//   again, since values are delimited by quotes and nothing is escaped;
// - an attribute name that begins with a blank (a removed comment before
//   it) forms a run with the blank written before it.
bool Reproducible(const TXMLNode& node) {
  if (node.Kind == nkText) return !NormalizeSpaces(node.Value).empty();
  for (const TXMLAttribute& a : node.Attributes) {
    if (a.Name.find('"') != std::string::npos || a.Value.find('"') != std::string::npos)
      return false;
    if (HasBlankRun(a.Name) || HasBlankRun(a.Value) || a.Name.starts_with(' ')) return false;
  }
  for (const auto& child : node.Children)
    if (!Reproducible(*child)) return false;
  return true;
}

bool Reproducible(const TXMLParser& doc) {
  return !HasBlankRun(doc.Parameters.Instruction) && !HasBlankRun(doc.Parameters.DocType.Text) &&
         Reproducible(*doc.Root);
}

[[noreturn]] void Fail(const char* what, const std::string& first, const std::string& second) {
  std::fprintf(stderr, "%s\n--- first save (%zu bytes) ---\n", what, first.size());
  std::fwrite(first.data(), 1, first.size(), stderr);
  std::fprintf(stderr, "\n--- second save (%zu bytes) ---\n", second.size());
  std::fwrite(second.data(), 1, second.size(), stderr);
  std::fprintf(stderr, "\n");
  std::abort();
}

// The same document with every node read moved out of it into a new root
// of its own, after which the document that read them is destroyed.
std::string SaveMoved(const std::string& input) {
  TXMLParser moved;
  {
    TXMLParser source;
    source.LoadFromText(input);
    moved.Parameters = source.Parameters;
    TXMLNode& from = *source.Root;
    auto root = std::make_unique<TXMLNode>(from.Name, from.Kind);
    root->Value = from.Value;
    for (const TXMLAttribute& a : from.Attributes) root->Attributes.push_back(TXMLAttribute(a));
    while (from.ChildCount() > 0) root->InsertChild(0, from.TakeChild(from.ChildCount() - 1));
    moved.Root = std::move(root);
  }
  return moved.SaveToText();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  TXMLParser first;
  first.LoadFromText(input);
  const std::string firstText = first.SaveToText();
  const std::string movedText = SaveMoved(input);
  if (movedText != firstText) Fail("moved nodes do not save the same", firstText, movedText);

  // Partial trees of failed loads are saved at exit too, so they go the
  // whole way round as well; only clean loads promise the same text.
  TXMLParser second;
  second.LoadFromText(firstText);
  const std::string secondText = second.SaveToText();

  if (first.Status == xsLoaded && Reproducible(first)) {
    if (second.Status != xsLoaded)
      Fail("written text does not load cleanly", firstText, secondText);
    if (secondText != firstText)
      Fail("written text does not save back the same", firstText, secondText);
  }
  return 0;
}
