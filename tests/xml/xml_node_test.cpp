// Node tree operations: defaults, children by index, attribute rules,
// FindNode's choice among several matches, and levels.

#include "xml/xml_node.h"

#include <gtest/gtest.h>

#include "xml_test_util.h"

using xmltest::Add;
using xmltest::Element;
using xmltest::Text;

namespace {

TEST(XmlNodeDefaults, NewNodeIsAnEmptyElementWithContentAtLevelZero) {
  TXMLNode node;
  EXPECT_EQ(node.Name, "");
  EXPECT_EQ(node.Value, "");
  EXPECT_EQ(node.Level, 0);
  EXPECT_EQ(node.Kind, nkElement);
  EXPECT_EQ(node.ChildCount(), 0);
  EXPECT_TRUE(node.Attributes.empty());
}

// ---- children by index ----

class XmlNodeChildren : public ::testing::Test {
 protected:
  void SetUp() override {
    a = root.AddChild(Element("a"));
    b = root.AddChild(Element("same"));
    c = root.AddChild(Element("same"));
  }
  TXMLNode root;
  TXMLNode* a = nullptr;
  TXMLNode* b = nullptr;
  TXMLNode* c = nullptr;
};

TEST_F(XmlNodeChildren, AddChildAppendsAndReturnsTheSameNode) {
  auto fresh = Element("d");
  TXMLNode* raw = fresh.get();
  EXPECT_EQ(root.AddChild(std::move(fresh)), raw);
  ASSERT_EQ(root.ChildCount(), 4);
  EXPECT_EQ(root.Child(3), raw);
  EXPECT_EQ(root.Child(0), a);
}

TEST_F(XmlNodeChildren, ChildOutsideTheListIsNone) {
  EXPECT_EQ(root.Child(0), a);
  EXPECT_EQ(root.Child(2), c);
  EXPECT_EQ(root.Child(root.ChildCount()), nullptr);
  EXPECT_EQ(root.Child(-1), nullptr);
  EXPECT_EQ(TXMLNode().Child(0), nullptr);
}

TEST_F(XmlNodeChildren, IndexOfChildGoesByIdentityNotName) {
  EXPECT_EQ(root.IndexOfChild(a), 0);
  EXPECT_EQ(root.IndexOfChild(b), 1);
  EXPECT_EQ(root.IndexOfChild(c), 2);  // same name as b, still its own place

  TXMLNode* grandchild = a->AddChild(Element("a"));
  TXMLNode stranger("a");
  EXPECT_EQ(root.IndexOfChild(grandchild), -1);
  EXPECT_EQ(root.IndexOfChild(&stranger), -1);
  EXPECT_EQ(root.IndexOfChild(&root), -1);
  EXPECT_EQ(root.IndexOfChild(nullptr), -1);
}

TEST_F(XmlNodeChildren, DeleteChildRemovesOnlyThatIndex) {
  root.DeleteChild(1);
  ASSERT_EQ(root.ChildCount(), 2);
  EXPECT_EQ(root.Child(0), a);
  EXPECT_EQ(root.Child(1), c);
}

TEST_F(XmlNodeChildren, DeleteChildOutsideTheListDoesNothing) {
  root.DeleteChild(root.ChildCount());
  root.DeleteChild(-1);
  root.DeleteChild(1000);
  ASSERT_EQ(root.ChildCount(), 3);
  EXPECT_EQ(root.Child(0), a);
  EXPECT_EQ(root.Child(1), b);
  EXPECT_EQ(root.Child(2), c);
}

TEST_F(XmlNodeChildren, ClearChildrenEmptiesTheList) {
  a->AddChild(Element("deep"))->AddChild(Element("deeper"));
  root.ClearChildren();
  EXPECT_EQ(root.ChildCount(), 0);
  EXPECT_EQ(root.Child(0), nullptr);
}

TEST(XmlNodeLifetime, DeletingAVeryDeepSubtreeDoesNotExhaustTheStack) {
  TXMLNode parent("root");
  TXMLNode* tip = parent.AddChild(Element("n"));
  for (int i = 0; i < 200000; ++i) tip = tip->AddChild(Element("n"));
  TXMLNode* sibling = parent.AddChild(Element("kept"));
  parent.DeleteChild(0);  // a recursive destructor overflows here
  ASSERT_EQ(parent.ChildCount(), 1);
  EXPECT_EQ(parent.Child(0), sibling);
}

// ---- attributes ----

TEST(XmlNodeAttributes, MissingAttributeReadsAsUndefined) {
  TXMLNode node("experience");
  EXPECT_EQ(node.GetAttribute("lucid"), "undefined");
  node.SetAttribute("number", "1");
  EXPECT_EQ(node.GetAttribute("lucid"), "undefined");
  EXPECT_EQ(node.GetAttribute("Number"), "undefined");  // names are case-sensitive
  EXPECT_EQ(node.GetAttribute("number"), "1");
}

TEST(XmlNodeAttributes, SetAttributeAppendsNewNamesInOrderOfFirstSetting) {
  TXMLNode node("file");
  node.SetAttribute("path", "a.xml");
  node.SetAttribute("name", "A");
  node.SetAttribute("default", "no");
  node.SetAttribute("path", "b.xml");  // changes in place, does not move
  ASSERT_EQ(node.Attributes.size(), 3u);
  EXPECT_EQ(node.Attributes[0].Name, "path");
  EXPECT_EQ(node.Attributes[0].Value, "b.xml");
  EXPECT_EQ(node.Attributes[1].Name, "name");
  EXPECT_EQ(node.Attributes[2].Name, "default");
}

class XmlNodeDuplicateAttributes : public ::testing::Test {
 protected:
  // A file may carry the same attribute twice; only the first one counts.
  void SetUp() override {
    node.Attributes = {{"mark", "first"}, {"other", "x"}, {"mark", "second"}};
  }
  TXMLNode node{"experience"};
};

TEST_F(XmlNodeDuplicateAttributes, GetReadsTheFirst) {
  EXPECT_EQ(node.GetAttribute("mark"), "first");
}

TEST_F(XmlNodeDuplicateAttributes, SetChangesTheFirstAndNeverAddsAnother) {
  node.SetAttribute("mark", "changed");
  ASSERT_EQ(node.Attributes.size(), 3u);
  EXPECT_EQ(node.Attributes[0].Value, "changed");
  EXPECT_EQ(node.Attributes[2].Value, "second");
}

TEST_F(XmlNodeDuplicateAttributes, DeleteRemovesTheFirstOnly) {
  node.DeleteAttribute("mark");
  ASSERT_EQ(node.Attributes.size(), 2u);
  EXPECT_EQ(node.Attributes[0].Name, "other");
  EXPECT_EQ(node.Attributes[1].Value, "second");
  EXPECT_EQ(node.GetAttribute("mark"), "second");
  node.DeleteAttribute("mark");
  EXPECT_EQ(node.GetAttribute("mark"), "undefined");
}

TEST_F(XmlNodeDuplicateAttributes, DeleteOfAMissingNameDoesNothing) {
  node.DeleteAttribute("absent");
  EXPECT_EQ(node.Attributes.size(), 3u);
}

TEST(XmlNodeAttributes, StoredUndefinedCountsAsAbsent) {
  TXMLNode node("experience");
  node.SetAttribute("image", "undefined");
  EXPECT_FALSE(node.HasAttribute("image"));
  node.SetAttribute("image", "sea.bmp");
  EXPECT_TRUE(node.HasAttribute("image"));
  EXPECT_FALSE(node.HasAttribute("other"));
}

// ---- FindNode ----

TEST(XmlNodeFindNode, OfTwoDirectChildrenTheSecondWins) {
  TXMLNode root("experience");
  root.AddChild(Element("comment"));
  TXMLNode* second = root.AddChild(Element("comment"));
  root.AddChild(Element("energy"));
  EXPECT_EQ(root.FindNode("comment"), second);
}

TEST(XmlNodeFindNode, ADirectChildBeatsDeeperMatchesEvenInEarlierChildren) {
  TXMLNode root("somnary");
  root.AddChild(Element("day"))->AddChild(Element("comment"));
  TXMLNode* direct = root.AddChild(Element("comment"));
  EXPECT_EQ(root.FindNode("comment"), direct);
}

TEST(XmlNodeFindNode, GrandchildInFirstSubtreeIsKeptWhenLaterChildrenHoldNoMatch) {
  TXMLNode root("settings");
  TXMLNode* wanted = root.AddChild(Element("group"))->AddChild(Element("form"));
  root.AddChild(Element("options"))->AddChild(Element("icon"));
  root.AddChild(Element("library"));
  EXPECT_EQ(root.FindNode("form"), wanted);
}

TEST(XmlNodeFindNode, OfSeveralSubtreesWithMatchesTheLastOneWins) {
  TXMLNode root("root");
  root.AddChild(Element("a"))->AddChild(Element("x"));
  TXMLNode* b = root.AddChild(Element("b"));
  TXMLNode* inB = b->AddChild(Element("deeper"))->AddChild(Element("x"));
  root.AddChild(Element("c"));
  EXPECT_EQ(root.FindNode("x"), inB);
}

TEST(XmlNodeFindNode, InsideOneSubtreeTheSameRulesApply) {
  TXMLNode root("root");
  TXMLNode* a = root.AddChild(Element("a"));
  a->AddChild(Element("x"))->AddChild(Element("x"));
  TXMLNode* secondDirectOfA = a->AddChild(Element("x"));
  EXPECT_EQ(root.FindNode("x"), secondDirectOfA);
}

TEST(XmlNodeFindNode, TheNodeItselfIsNeverCompared) {
  TXMLNode root("form");
  EXPECT_EQ(root.FindNode("form"), nullptr);
  root.AddChild(Element("other"));
  EXPECT_EQ(root.FindNode("form"), nullptr);
  EXPECT_EQ(root.FindNode("Other"), nullptr);
}

TEST(XmlNodeFindNode, TextNodesWithTheirEmptyNameDoNotMatchAName) {
  TXMLNode root("comment");
  root.AddChild(Text("hello"));
  EXPECT_EQ(root.FindNode("hello"), nullptr);
}

// ---- levels ----

TEST(XmlNodeLevel, AddChildLeavesLevelAlone) {
  TXMLNode root("root");
  root.Level = 4;
  TXMLNode* child = root.AddChild(Element("child"));
  EXPECT_EQ(child->Level, 0);
}

TEST(XmlNodeLevel, SetLevelNumbersTheWholeSubtree) {
  TXMLNode root("root");
  TXMLNode* day = root.AddChild(Element("day"));
  TXMLNode* experience = day->AddChild(Element("experience"));
  TXMLNode* text = experience->AddChild(Text("t"));
  TXMLNode* sibling = root.AddChild(Element("day"));
  root.SetLevel(3);
  EXPECT_EQ(root.Level, 3);
  EXPECT_EQ(day->Level, 4);
  EXPECT_EQ(experience->Level, 5);
  EXPECT_EQ(text->Level, 6);
  EXPECT_EQ(sibling->Level, 4);
  day->SetLevel(0);
  EXPECT_EQ(experience->Level, 1);
  EXPECT_EQ(root.Level, 3);
}

TEST(XmlNodeLevel, ANodeAddedWithoutSetLevelIsWrittenWithoutIndentation) {
  TXMLParser doc;
  doc.Root->Name = "journal";
  TXMLNode* day = Add(*doc.Root, Element("day", {{"date", "1"}}));
  day->AddChild(Element("experience", {}, nkEmptyElement));  // no SetLevel
  Add(*day, Element("experience", {}, nkEmptyElement));
  const std::string expected = std::string(xmltest::kDeclUtf8) + "\r\n\r\n" +
                               "<journal>\r\n"
                               "  <day date=\"1\">\r\n"
                               "<experience />\r\n"
                               "    <experience />\r\n"
                               "  </day>\r\n"
                               "</journal>\r\n";
  EXPECT_EQ(doc.SaveToText(), expected);
}

}  // namespace
