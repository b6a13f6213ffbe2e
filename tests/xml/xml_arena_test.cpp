// Loaded documents keep their nodes, lists and texts in an arena of the
// load: edits after loading, nodes moved between documents (the one that
// read them destroyed first), and copies that outlive their document. Run
// under AddressSanitizer these also catch anything freed too early.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "xml/xml_mainUnit.h"
#include "xml/xml_store.h"
#include "xml_test_util.h"

using xmltest::Element;
using xmltest::Text;

namespace {

// A journal as the program writes it, loaded from its text.
constexpr const char* kJournal =
    "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\r\n"
    "\r\n\r\n"
    "<journal name=\"J\">\r\n"
    "  <day date=\"1\" name=\"first\">\r\n"
    "    <experience number=\"1\" name=\"sea\" read-only=\"false\">\r\n"
    "      <description>a long swim</description>\r\n"
    "    </experience>\r\n"
    "    <experience number=\"2\" name=\"hill\" />\r\n"
    "  </day>\r\n"
    "  <day date=\"2\" name=\"second\" />\r\n"
    "</journal>\r\n";

std::unique_ptr<TXMLParser> Loaded(const std::string& text = kJournal) {
  auto document = std::make_unique<TXMLParser>();
  document->LoadFromText(text);
  EXPECT_EQ(document->Status, xsLoaded);
  return document;
}

// The saved text with `from` replaced by `to` once; fails if not found.
std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

struct TEditCase {
  const char* Name;
  std::function<void(TXMLParser&)> Edit;
  const char* From;  // text of the saved journal that the edit changes...
  const char* To;    // ...and what it becomes
};

class XmlArenaEdit : public ::testing::TestWithParam<TEditCase> {};

TEST_P(XmlArenaEdit, SavesTheUntouchedTextWithOnlyTheEditChanged) {
  auto document = Loaded();
  ASSERT_NE(document->Root->Child(0)->Store(), nullptr) << "nodes are not read into an arena";
  GetParam().Edit(*document);
  EXPECT_EQ(document->SaveToText(), Replaced(kJournal, GetParam().From, GetParam().To));
}

TXMLNode* Day(TXMLParser& d) { return d.Root->Child(0); }
TXMLNode* Sea(TXMLParser& d) { return Day(d)->Child(0); }

INSTANTIATE_TEST_SUITE_P(
    AfterLoading, XmlArenaEdit,
    ::testing::Values(
        TEditCase{"LongerValue",
                  [](TXMLParser& d) { Sea(d)->SetAttribute("name", "the open sea"); },
                  "name=\"sea\"", "name=\"the open sea\""},
        TEditCase{"ShorterValue", [](TXMLParser& d) { Sea(d)->SetAttribute("read-only", "1"); },
                  "read-only=\"false\"", "read-only=\"1\""},
        TEditCase{"NewAttributeGrowsTheList",
                  [](TXMLParser& d) { Sea(d)->SetAttribute("energy", "120"); },
                  "read-only=\"false\">", "read-only=\"false\" energy=\"120\">"},
        TEditCase{"DeletedAttribute", [](TXMLParser& d) { Sea(d)->DeleteAttribute("number"); },
                  "<experience number=\"1\" name", "<experience name"},
        TEditCase{"ValueSetThroughTheList",
                  [](TXMLParser& d) { Sea(d)->Attributes[1].Value = "lake"; }, "name=\"sea\"",
                  "name=\"lake\""},
        TEditCase{"RenamedElementEndsWithItsNewName",
                  [](TXMLParser& d) { Sea(d)->Child(0)->Name = "comment"; },
                  "<description>a long swim</description>", "<comment>a long swim</comment>"},
        TEditCase{"LongerText",
                  [](TXMLParser& d) { Sea(d)->Child(0)->Child(0)->Value = "a long swim home"; },
                  "a long swim<", "a long swim home<"},
        TEditCase{"StandaloneNodeInsertedAmongLoadedOnes",
                  [](TXMLParser& d) {
                    auto made = Element("experience", {{"number", "9"}}, nkEmptyElement);
                    Day(d)->InsertChild(1, std::move(made))->SetLevel(2);
                  },
                  "    <experience number=\"2\"",
                  "    <experience number=\"9\" />\r\n    <experience number=\"2\""},
        TEditCase{"DeletedChild", [](TXMLParser& d) { Day(d)->DeleteChild(0); },
                  "    <experience number=\"1\" name=\"sea\" read-only=\"false\">\r\n"
                  "      <description>a long swim</description>\r\n"
                  "    </experience>\r\n",
                  ""},
        TEditCase{"ChildMovedWithinItsParent",
                  [](TXMLParser& d) { Day(d)->InsertChild(2, Day(d)->TakeChild(0)); },
                  "    <experience number=\"1\" name=\"sea\" read-only=\"false\">\r\n"
                  "      <description>a long swim</description>\r\n"
                  "    </experience>\r\n"
                  "    <experience number=\"2\" name=\"hill\" />\r\n",
                  "    <experience number=\"2\" name=\"hill\" />\r\n"
                  "    <experience number=\"1\" name=\"sea\" read-only=\"false\">\r\n"
                  "      <description>a long swim</description>\r\n"
                  "    </experience>\r\n"},
        TEditCase{"ClearedAndRefilled",
                  [](TXMLParser& d) {
                    Sea(d)->ClearChildren();
                    TXMLNode* text = Sea(d)->AddChild(Text("new"));
                    text->Level = 4;
                  },
                  ">\r\n      <description>a long swim</description>\r\n    </experience>",
                  ">new</experience>"}),
    [](const auto& test) { return std::string(test.param.Name); });

TEST(XmlArenaMove, NodesMovedToAnotherJournalOutliveTheJournalTheyCameFrom) {
  auto target = Loaded();
  TXMLNode* moved = nullptr;
  {
    auto source = Loaded();
    // Another load into the same document replaces the arena it holds;
    // nodes from either load must stay.
    source->LoadFromText(kJournal);
    std::unique_ptr<TXMLNode> taken = source->Root->TakeChild(0)->TakeChild(0);
    ASSERT_NE(taken, nullptr);
    moved = target->Root->Child(0)->AddChild(std::move(taken));
    auto root = std::move(source->Root);
    source->Root = std::make_unique<TXMLNode>();
    target->Root->AddChild(std::move(root));
  }
  EXPECT_EQ(moved->GetAttribute("name"), "sea");
  EXPECT_EQ(moved->Child(0)->FirstText(), "a long swim");
  moved->SetAttribute("name", "moved");
  target->Root->SetLevel(0);
  const std::string saved = target->SaveToText();
  EXPECT_NE(saved.find("<experience number=\"1\" name=\"moved\" read-only=\"false\">"),
            std::string::npos);
  // The source's root came along: journal inside journal, both whole.
  EXPECT_NE(saved.find("    <day date=\"2\" name=\"second\" />\r\n  </journal>"),
            std::string::npos);
}

TEST(XmlArenaMove, TakenNodeAndCopiesStayReadableAfterTheirDocumentIsGone) {
  std::unique_ptr<TXMLNode> taken;
  TXMLAttribute copied;
  TXMLString text;
  TXMLString assigned;
  TXMLString swapped = "mine";
  std::optional<TXMLString> moved;
  {
    auto document = Loaded();
    taken = document->Root->TakeChild(0);
    copied = taken->Child(1)->Attributes[1];
    text = taken->Child(0)->Child(0)->FirstText();
  }
  {
    // No node of this one outlives it, so nothing keeps its text alive.
    auto document = Loaded();
    assigned = std::move(document->Root->Attributes[0].Value);
    moved.emplace(std::move(document->Root->Child(1)->Attributes[0].Value));
    // Growing and shrinking a loaded list keeps its values where they were read.
    auto& attributes = document->Root->Child(1)->Attributes;
    attributes.insert(attributes.begin(), {"first", "1"});
    attributes.push_back({"last", "9"});
    attributes.erase(attributes.begin());
    EXPECT_EQ(attributes[1].Value, "second");
    EXPECT_EQ(attributes.back().Value, "9");
    std::swap(swapped, document->Root->Child(1)->Attributes[1].Value);
    EXPECT_EQ(document->Root->Child(1)->Attributes[1].Value, "mine");
  }
  EXPECT_EQ(assigned, "J");
  EXPECT_EQ(swapped, "second");
  EXPECT_EQ(*moved, "2");
  EXPECT_EQ(taken->Child(0)->Child(0)->FirstText(), "a long swim");
  EXPECT_EQ(copied.Name, "name");
  EXPECT_EQ(copied.Value, "hill");
  EXPECT_EQ(text, "a long swim");
}

// A block left with less room than an alignment's padding: the next
// allocation goes to a new block instead of past this one's end.
TEST(XmlArenaStore, PaddingThatRunsPastTheBlockStartsANewBlock) {
  TXMLStore* store = TXMLStore::Create();
  store->ExpectBytes(5001);
  char* first = store->Allocate<char>(5001);
  auto* number = store->Allocate<std::uint64_t>(1);
  *number = 42;
  EXPECT_EQ(*number, 42u);
  EXPECT_NE(reinterpret_cast<char*>(number), first + 5008);
  TXMLStore::Release(store);
}

}  // namespace
