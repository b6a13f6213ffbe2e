// Reading and writing the text form: exact bytes of the layout and the
// prolog, what survives a round trip, the reader's accepted variants, and a
// table of broken inputs with the status each must give.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "xml/xml_mainUnit.h"
#include "xml_test_util.h"

using xmltest::Add;
using xmltest::Element;
using xmltest::kDecl1251;
using xmltest::kDeclUtf8;
using xmltest::Parse;
using xmltest::ReadBytes;
using xmltest::SameTree;
using xmltest::Text;
using xmltest::WriteBytes;

namespace {

const std::string kStylesheet = "<?xml-stylesheet type=\"text/xsl\" href=\"library.xsl\"?>";
const std::string kDocType = "<!DOCTYPE dreamlibrary SYSTEM \"dream_library.dtd\">";

// A fresh document with an empty document type: declaration, empty line for
// the document type, one more empty line, then the root.
std::string FreshPrologThen(const std::string& body) {
  return std::string(kDeclUtf8) + "\r\n\r\n" + body;
}

// ---- layout of elements ----

TEST(XmlWriteLayout, ElementWithAttributesAndNoChildrenTakesTwoIndentedLines) {
  TXMLParser doc;
  doc.Root->Name = "dreamlibrary";
  Add(*doc.Root, Element("file", {{"name", "Sea"}, {"path", "sea.xml"}}));
  EXPECT_EQ(doc.SaveToText(), FreshPrologThen("<dreamlibrary>\r\n"
                                              "  <file name=\"Sea\" path=\"sea.xml\">\r\n"
                                              "  </file>\r\n"
                                              "</dreamlibrary>\r\n"));
}

TEST(XmlWriteLayout, ElementWithoutAttributesOrChildrenStillHasAnEndTagLine) {
  TXMLParser doc;
  doc.Root->Name = "dreamlibrary";
  EXPECT_EQ(doc.SaveToText(), FreshPrologThen("<dreamlibrary>\r\n</dreamlibrary>\r\n"));
}

TEST(XmlWriteLayout, OneTextChildSharesTheLineWithBothTags) {
  TXMLParser doc;
  doc.Root->Name = "experience";
  Add(*doc.Root, Element("comment"))->AddChild(Text("Flew over the sea"));
  Add(*doc.Root, Element("description", {{"type", "text"}}))->AddChild(Text("Tom & Jerry"));
  EXPECT_EQ(doc.SaveToText(),
            FreshPrologThen("<experience>\r\n"
                            "  <comment>Flew over the sea</comment>\r\n"
                            "  <description type=\"text\">Tom & Jerry</description>\r\n"
                            "</experience>\r\n"));
}

TEST(XmlWriteLayout, TextIsWrittenWithItsBlanksNormalizedAndItsLineBreaksAsTheyAre) {
  TXMLParser doc;
  doc.Root->Name = "experience";
  Add(*doc.Root, Element("comment"))->AddChild(Text("  two   blanks\there \r\n"));
  Add(*doc.Root, Element("description"))->AddChild(Text("first line\r\nsecond line"));
  Add(*doc.Root, Element("empty"))->AddChild(Text("   "));
  EXPECT_EQ(doc.SaveToText(),
            FreshPrologThen("<experience>\r\n"
                            "  <comment>two blanks\there</comment>\r\n"
                            "  <description>first line\r\nsecond line</description>\r\n"
                            "  <empty></empty>\r\n"
                            "</experience>\r\n"));
}

TEST(XmlWriteLayout, EmptyElementIsOneIndentedLineEndingInBlankSlash) {
  TXMLParser doc;
  doc.Root->Name = "experience";
  Add(*doc.Root, Element("image", {}, nkEmptyElement));
  Add(*doc.Root, Element("energy", {{"value", "120"}, {"max", "200"}}, nkEmptyElement));
  // Children of an empty element are not written at all.
  Add(*doc.Root, Element("properties", {}, nkEmptyElement))->AddChild(Element("lost"));
  EXPECT_EQ(doc.SaveToText(), FreshPrologThen("<experience>\r\n"
                                              "  <image />\r\n"
                                              "  <energy value=\"120\" max=\"200\" />\r\n"
                                              "  <properties />\r\n"
                                              "</experience>\r\n"));
}

TEST(XmlWriteLayout, ElementChildrenAreIndentedTwoBlanksPerLevel) {
  TXMLParser doc;
  doc.Root->Name = "somnary";
  TXMLNode* day = Add(*doc.Root, Element("day", {{"date", "2024-01-02"}}));
  Add(*day, Element("experience", {{"number", "1"}}, nkEmptyElement));
  TXMLNode* second = Add(*day, Element("experience", {{"number", "2"}, {"lucid", "true"}}));
  Add(*second, Element("comment"))->AddChild(Text("x"));
  Add(*doc.Root, Element("day", {{"date", "2024-01-03"}}, nkEmptyElement));
  EXPECT_EQ(doc.SaveToText(), FreshPrologThen("<somnary>\r\n"
                                              "  <day date=\"2024-01-02\">\r\n"
                                              "    <experience number=\"1\" />\r\n"
                                              "    <experience number=\"2\" lucid=\"true\">\r\n"
                                              "      <comment>x</comment>\r\n"
                                              "    </experience>\r\n"
                                              "  </day>\r\n"
                                              "  <day date=\"2024-01-03\" />\r\n"
                                              "</somnary>\r\n"));
}

TEST(XmlWriteLayout, TextBesideElementsHasNoIndentationAndNoLineEnd) {
  TXMLParser doc;
  doc.Root->Name = "r";
  Add(*doc.Root, Text("note"));
  Add(*doc.Root, Element("b", {}, nkEmptyElement));
  EXPECT_EQ(doc.SaveToText(), FreshPrologThen("<r>\r\nnote  <b />\r\n</r>\r\n"));
}

TEST(XmlWriteLayout, ValuesAreWrittenUnchangedWithoutEscapes) {
  TXMLParser doc;
  doc.Root->Name = "r";
  doc.Root->SetAttribute("path", "C:\\Dreams\\a&b <1>.xml");
  doc.Root->SetAttribute("empty", "");
  doc.Root->Kind = nkEmptyElement;
  EXPECT_EQ(doc.SaveToText(),
            FreshPrologThen("<r path=\"C:\\Dreams\\a&b <1>.xml\" empty=\"\" />\r\n"));
}

// ---- the prolog ----

TEST(XmlWriteProlog, NewFileHasDeclarationEmptyDocTypeLineAndEmptyLine) {
  TXMLParser doc;
  doc.Parameters.Encoding = "windows-1251";
  doc.Root->Name = "dreamlibrary";
  EXPECT_EQ(doc.SaveToText(),
            "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\r\n"
            "\r\n"
            "\r\n"
            "<dreamlibrary>\r\n"
            "</dreamlibrary>\r\n");
}

TEST(XmlWriteProlog, InstructionAndDocTypeEachTakeTheirLine) {
  TXMLParser doc;
  doc.Parameters.Encoding = "windows-1251";
  doc.Parameters.Instruction = kStylesheet;
  doc.Parameters.DocType.Text = kDocType;
  doc.Root->Name = "dreamlibrary";
  EXPECT_EQ(doc.SaveToText(), std::string(kDecl1251) + kStylesheet + "\r\n" + kDocType +
                                  "\r\n\r\n" + "<dreamlibrary>\r\n</dreamlibrary>\r\n");
}

TEST(XmlWriteProlog, DocTypeWithoutInstruction) {
  TXMLParser doc;
  doc.Parameters.Encoding = "windows-1251";
  doc.Parameters.DocType.Text = kDocType;
  doc.Root->Name = "dreamlibrary";
  EXPECT_EQ(doc.SaveToText(), std::string(kDecl1251) + kDocType + "\r\n\r\n" +
                                  "<dreamlibrary>\r\n</dreamlibrary>\r\n");
}

TEST(XmlWriteProlog, InstructionWithoutDocTypeKeepsTheEmptyDocTypeLine) {
  TXMLParser doc;
  doc.Parameters.Encoding = "windows-1251";
  doc.Parameters.Instruction = kStylesheet;
  doc.Root->Name = "dreamlibrary";
  EXPECT_EQ(doc.SaveToText(), std::string(kDecl1251) + kStylesheet + "\r\n\r\n\r\n" +
                                  "<dreamlibrary>\r\n</dreamlibrary>\r\n");
}

TEST(XmlWriteProlog, PseudoAttributesInFixedOrderThenExtrasInTheirOrder) {
  TXMLParser doc;
  doc.Parameters.Standalone = "no";
  doc.Parameters.Language = "RU";
  doc.Parameters.Encoding = "windows-1251";
  doc.Parameters.Version = "1.1";
  doc.Parameters.OmitLanguage = false;
  doc.Parameters.Attributes = {{"zeta", "1"}, {"alpha", ""}};
  doc.Root->Name = "r";
  doc.Root->Kind = nkEmptyElement;
  EXPECT_EQ(doc.SaveToText(),
            "<?xml version=\"1.1\" encoding=\"windows-1251\" language=\"RU\" "
            "standalone=\"no\" zeta=\"1\" alpha=\"\"?>\r\n\r\n\r\n<r />\r\n");
}

TEST(XmlWriteProlog, OmitLanguageLeavesLanguageOut) {
  TXMLParser doc;
  doc.Parameters.Language = "RU";
  ASSERT_TRUE(doc.Parameters.OmitLanguage);  // the default
  doc.Root->Name = "r";
  doc.Root->Kind = nkEmptyElement;
  EXPECT_EQ(doc.SaveToText(), FreshPrologThen("<r />\r\n"));
}

TEST(XmlWriteProlog, LanguageReadFromAFileIsNotWrittenBack) {
  auto doc = Parse(
      "<?xml version=\"1.0\" encoding=\"windows-1251\" language=\"RU\" standalone=\"yes\"?>\r\n"
      "<r />\r\n");
  ASSERT_EQ(doc->Status, xsLoaded);
  EXPECT_EQ(doc->Parameters.Language, "RU");
  EXPECT_TRUE(doc->Parameters.OmitLanguage);
  EXPECT_EQ(doc->SaveToText(), std::string(kDecl1251) + "\r\n\r\n<r />\r\n");
}

// ---- reading what the writer and hand-edited files produce ----

TEST(XmlRead, SelfClosingTagWithOrWithoutBlankIsAnEmptyElementWithoutAttributes) {
  auto doc = Parse(std::string(kDecl1251) +
                   "<settings>\r\n"
                   "  <form />\r\n"
                   "  <form/>\r\n"
                   "  <library path=\"a.xml\" />\r\n"
                   "</settings>\r\n");
  ASSERT_EQ(doc->Status, xsLoaded);
  ASSERT_EQ(doc->Root->ChildCount(), 3);
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    const TXMLNode* form = doc->Root->Child(i);
    EXPECT_EQ(form->Name, "form");
    EXPECT_EQ(form->Kind, nkEmptyElement);
    EXPECT_TRUE(form->Attributes.empty());
    EXPECT_EQ(form->ChildCount(), 0);
    EXPECT_EQ(form->Level, 1);
  }
  // The sibling after "<form/>" is intact: the '>' was consumed with the '/'.
  EXPECT_EQ(doc->Root->Child(2)->Name, "library");
  EXPECT_EQ(doc->Root->Child(2)->GetAttribute("path"), "a.xml");
}

TEST(XmlRead, TwoAttributesClosedBySlashWithoutBlank) {
  auto doc = Parse(std::string(kDecl1251) +
                   "<dreamlibrary>\r\n"
                   "  <file name=\"Sea dreams\" path=\"C:\\Dreams\\sea.xml\"/>\r\n"
                   "</dreamlibrary>\r\n");
  ASSERT_EQ(doc->Status, xsLoaded);
  ASSERT_EQ(doc->Root->ChildCount(), 1);
  const TXMLNode* file = doc->Root->Child(0);
  EXPECT_EQ(file->Kind, nkEmptyElement);
  ASSERT_EQ(file->Attributes.size(), 2u);
  EXPECT_EQ(file->Attributes[0].Name, "name");
  EXPECT_EQ(file->Attributes[0].Value, "Sea dreams");
  EXPECT_EQ(file->Attributes[1].Name, "path");
  EXPECT_EQ(file->Attributes[1].Value, "C:\\Dreams\\sea.xml");
}

TEST(XmlRead, StartTagWithABlankButNoAttributesIsAnElementWithContent) {
  auto doc = Parse(std::string(kDecl1251) + "<r >\r\n<a >x</a>\r\n</r>");
  ASSERT_EQ(doc->Status, xsLoaded);
  EXPECT_EQ(doc->Root->Kind, nkElement);
  EXPECT_TRUE(doc->Root->Attributes.empty());
  ASSERT_EQ(doc->Root->ChildCount(), 1);
  EXPECT_EQ(doc->Root->Child(0)->FirstText(), "x");
}

TEST(XmlRead, PrologWithStylesheetAndDocTypeIsKeptAndWrittenBackByteForByte) {
  const std::string file = std::string(kDecl1251) + kStylesheet + "\r\n" + kDocType + "\r\n" +
                           "\r\n"
                           "<dreamlibrary title=\"My dreams\">\r\n"
                           "  <directory name=\"2024\">\r\n"
                           "    <file name=\"Sea\" path=\"sea.xml\" default=\"yes\" />\r\n"
                           "  </directory>\r\n"
                           "  <owner>\r\n"
                           "    <name>Ivan</name>\r\n"
                           "    <comment></comment>\r\n"
                           "  </owner>\r\n"
                           "</dreamlibrary>\r\n";
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string in = dir.filePath("in.xml").toStdString();
  const std::string out = dir.filePath("out.xml").toStdString();
  WriteBytes(in, file);

  TXMLParser doc;
  doc.Load(in);
  ASSERT_EQ(doc.Status, xsLoaded);
  EXPECT_EQ(doc.Parameters.Version, "1.0");
  EXPECT_EQ(doc.Parameters.Encoding, "windows-1251");
  EXPECT_EQ(doc.Parameters.Standalone, "yes");
  EXPECT_TRUE(doc.Parameters.Attributes.empty());
  EXPECT_EQ(doc.Parameters.Instruction, kStylesheet);
  EXPECT_EQ(doc.Parameters.DocType.Text, kDocType);

  doc.Save(out);
  EXPECT_EQ(doc.FileName, out);
  // The one difference: the empty comment came back without its empty text.
  std::string expected = file;
  const std::string emptyComment = "    <comment></comment>\r\n";
  expected.replace(expected.find(emptyComment), emptyComment.size(),
                   "    <comment>\r\n    </comment>\r\n");
  EXPECT_EQ(ReadBytes(out), expected);
}

TEST(XmlRead, ExtraDeclarationAttributesAreKeptInOrder) {
  auto doc = Parse(
      "<?xml version=\"1.0\" author=\"me\" encoding=\"windows-1251\" empty=\"\" "
      "standalone=\"no\"?>\r\n<r />\r\n");
  ASSERT_EQ(doc->Status, xsLoaded);
  ASSERT_EQ(doc->Parameters.Attributes.size(), 2u);
  EXPECT_EQ(doc->Parameters.Attributes[0].Name, "author");
  EXPECT_EQ(doc->Parameters.Attributes[0].Value, "me");
  EXPECT_EQ(doc->Parameters.Attributes[1].Name, "empty");
  EXPECT_EQ(doc->Parameters.Attributes[1].Value, "");
  EXPECT_EQ(doc->Parameters.Standalone, "no");
  EXPECT_EQ(doc->SaveToText(),
            "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"no\" "
            "author=\"me\" empty=\"\"?>\r\n\r\n\r\n<r />\r\n");
}

TEST(XmlRead, DeclarationWithBlankAfterQuestionMarkAndMissingValuesKeepsDefaults) {
  auto doc = Parse("<? xml encoding=\"windows-1251\"?>\r\n<r/>");
  ASSERT_EQ(doc->Status, xsLoaded);
  EXPECT_EQ(doc->Parameters.Version, "1.0");
  EXPECT_EQ(doc->Parameters.Encoding, "windows-1251");
  EXPECT_EQ(doc->Parameters.Standalone, "yes");
  EXPECT_EQ(doc->Root->Name, "r");
  EXPECT_EQ(doc->SaveToText(), std::string(kDecl1251) + "\r\n\r\n<r />\r\n");
}

TEST(XmlRead, CommentsAnywhereAlsoAcrossLinesAreRemovedBeforeParsing) {
  auto doc = Parse("<!-- before the declaration -->\r\n" + std::string(kDecl1251) +
                   "<!-- between\r\n"
                   "     prolog and root -->\r\n"
                   "<journal title=\"J\"><!-- one\r\n"
                   "   two\r\n"
                   "three --><day date=\"1\">\r\n"
                   "<!--x--></day>\r\n"
                   "  <comment>before <!-- hidden --> after</comment>\r\n"
                   "</journal><!-- after the root -->\r\n"
                   "<!-- last -->\r\n");
  ASSERT_EQ(doc->Status, xsLoaded);
  EXPECT_EQ(doc->Parameters.Encoding, "windows-1251");
  EXPECT_EQ(doc->Root->Name, "journal");
  ASSERT_EQ(doc->Root->ChildCount(), 2);
  EXPECT_EQ(doc->Root->Child(0)->Name, "day");
  EXPECT_EQ(doc->Root->Child(0)->ChildCount(), 0);
  // The blanks on both sides of the comment stay; writing collapses them.
  EXPECT_EQ(doc->Root->Child(1)->FirstText(), "before  after");
}

TEST(XmlRead, CommentRemovalThatJoinsANewCommentOpeningRemovesThatToo) {
  // Cutting the inner comment leaves "<!--" + "-x-->": removed in turn.
  auto doc = Parse(std::string(kDecl1251) + "<r><!<!--a-->--x--><b/></r>");
  ASSERT_EQ(doc->Status, xsLoaded);
  ASSERT_EQ(doc->Root->ChildCount(), 1);
  EXPECT_EQ(doc->Root->Child(0)->Name, "b");
}

TEST(XmlRead, LeftmostCommentOpeningIsClosedByTheFirstCloseAfterIt) {
  // Removing "<!--a-->" joins "<!--" + "-b..." ahead of the later "<!--c-->":
  // that joined comment runs to the first "-->", which is c's.
  auto doc = Parse(std::string(kDecl1251) + "<r><!<!--a-->--b<!--c--><d/>--><e/></r>");
  ASSERT_EQ(doc->Status, xsLoaded);
  ASSERT_EQ(doc->Root->ChildCount(), 3);
  EXPECT_EQ(doc->Root->Child(0)->Name, "d");
  EXPECT_EQ(doc->Root->Child(1)->Kind, nkText);
  EXPECT_EQ(doc->Root->Child(1)->Value, "-->");
  EXPECT_EQ(doc->Root->Child(2)->Name, "e");
}

TEST(XmlRead, BlankLinesAndLinesOfBlanksAreSkipped) {
  const std::string compact = std::string(kDecl1251) + "<r>\r\n<c>a b</c>\r\n</r>\r\n";
  const std::string airy = "\r\n   \r\n" + std::string(kDecl1251) +
                           "\r\n"
                           "\t \t\r\n"
                           "<r>\r\n"
                           "       \r\n"
                           "<c>a\r\n"
                           "\r\n"
                           "    \r\n"
                           "b</c>\r\n"
                           "\r\n"
                           "</r>\r\n"
                           "   \r\n";
  auto expected = Parse(compact);
  auto actual = Parse(airy);
  ASSERT_EQ(expected->Status, xsLoaded);
  ASSERT_EQ(actual->Status, xsLoaded);
  EXPECT_TRUE(SameTree(*expected->Root, *actual->Root));
}

TEST(XmlRead, LoneLineFeedEndsALineLikeCarriageReturnLineFeed) {
  const std::string crlf =
      std::string(kDecl1251) + "<r>\r\n  <c>one\r\ntwo</c>\r\n  <e a=\"1\"/>\r\n</r>\r\n";
  const std::string lf =
      "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\n"
      "<r>\n  <c>one\ntwo</c>\n  <e a=\"1\"/>\n</r>\n";
  const std::string mixed =
      "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\n"
      "<r>\r\n  <c>one\ntwo</c>\r\n  <e a=\"1\"/>\n</r>";
  auto expected = Parse(crlf);
  ASSERT_EQ(expected->Status, xsLoaded);
  ASSERT_EQ(expected->Root->ChildCount(), 2);
  EXPECT_EQ(expected->Root->Child(0)->FirstText(), "one two");
  for (const std::string& text : {lf, mixed}) {
    auto actual = Parse(text);
    ASSERT_EQ(actual->Status, xsLoaded);
    EXPECT_TRUE(SameTree(*expected->Root, *actual->Root));
  }
}

TEST(XmlRead, BlankRunsCollapseAndLinesJoinWithOneBlankInTextAndValues) {
  auto doc = Parse(std::string(kDecl1251) +
                   "<r name=\"a    b\">\r\n"
                   "  <c>  many    blanks  </c>\r\n"
                   "  <d>first\r\n"
                   "        second\t\r\n"
                   "third</d>\r\n"
                   "</r>");
  ASSERT_EQ(doc->Status, xsLoaded);
  EXPECT_EQ(doc->Root->GetAttribute("name"), "a b");
  ASSERT_EQ(doc->Root->ChildCount(), 2);
  EXPECT_EQ(doc->Root->Child(0)->FirstText(), " many blanks ");
  EXPECT_EQ(doc->Root->Child(1)->FirstText(), "first second third");
}

TEST(XmlRead, LevelsComeFromNestingNotFromIndentation) {
  auto doc = Parse(std::string(kDecl1251) + "      <r>\r\n<a>\r\n<b/>\r\n</a>\r\n</r>");
  ASSERT_EQ(doc->Status, xsLoaded);
  EXPECT_EQ(doc->Root->Level, 0);
  EXPECT_EQ(doc->Root->Child(0)->Level, 1);
  EXPECT_EQ(doc->Root->Child(0)->Child(0)->Level, 2);
}

TEST(XmlRead, EntitiesAndNonAsciiBytesPassThroughUnchanged) {
  // "\xd1\xee\xed" is a Russian word in windows-1251; 0xA0 is its no-break space.
  const std::string text = std::string(kDecl1251) +
                           "<r t=\"&amp;\xd1\xee\xed\">\r\n"
                           "  <c>Tom &amp; Jerry &lt;3\xa0\xd1\xee\xed</c>\r\n"
                           "  <\xd1\xee\xed />\r\n"
                           "  <bin>\xff\x01\x02\xfe</bin>\r\n"
                           "</r>\r\n";
  auto doc = Parse(text);
  ASSERT_EQ(doc->Status, xsLoaded);
  EXPECT_EQ(doc->Root->GetAttribute("t"), "&amp;\xd1\xee\xed");
  EXPECT_EQ(doc->Root->Child(0)->FirstText(), "Tom &amp; Jerry &lt;3\xa0\xd1\xee\xed");
  EXPECT_EQ(doc->Root->Child(1)->Name, "\xd1\xee\xed");
  EXPECT_EQ(doc->Root->Child(2)->FirstText(), "\xff\x01\x02\xfe");
  EXPECT_EQ(doc->SaveToText(),
            std::string(kDecl1251) + "\r\n\r\n" + text.substr(std::string(kDecl1251).size()));
}

TEST(XmlRead, EmptyFileNameGivesStatusTwoAndChangesNothing) {
  TXMLParser doc;
  doc.FileName = "before.xml";
  doc.Root->Name = "keep";
  doc.Load("");
  EXPECT_EQ(doc.Status, xsNoFileName);
  EXPECT_EQ(doc.FileName, "before.xml");
  EXPECT_EQ(doc.Root->Name, "keep");
}

TEST(XmlRead, MissingFileGivesStatusOneAndLeavesTheTree) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string missing = dir.filePath("nowhere.xml").toStdString();
  TXMLParser doc;
  doc.Root->Name = "keep";
  doc.Parameters.Encoding = "windows-1251";
  doc.Load(missing);
  EXPECT_EQ(doc.Status, xsCannotOpen);
  EXPECT_EQ(doc.FileName, missing);
  EXPECT_EQ(doc.Root->Name, "keep");
  EXPECT_EQ(doc.Parameters.Encoding, "windows-1251");
  EXPECT_TRUE(doc.PendingBackupName().empty());

  doc.Load(dir.path().toStdString());  // a folder is no file either
  EXPECT_EQ(doc.Status, xsCannotOpen);
}

TEST(XmlRead, FindNodeOfTheDocumentMatchesTheRootItselfFirst) {
  auto doc = Parse(std::string(kDecl1251) + "<form>\r\n<a>\r\n<form/>\r\n</a>\r\n</form>");
  ASSERT_EQ(doc->Status, xsLoaded);
  EXPECT_EQ(doc->FindNode("form"), doc->Root.get());
  EXPECT_EQ(doc->FindNode("a"), doc->Root->Child(0));
  EXPECT_EQ(doc->FindNode("none"), nullptr);
}

// ---- what a save and a load give back ----

// Builds the same small library twice: once as written, once as it must read
// back. `readBack` applies the reader's normalisation.
std::unique_ptr<TXMLNode> SampleLibrary(bool readBack) {
  auto root = Element("dreamlibrary", {{"title", readBack ? "My dreams" : "My   dreams"}});
  TXMLNode* directory = Add(*root, Element("directory", {{"name", "2024"}}));
  Add(*directory, Element("file", {{"name", "Sea"}, {"path", "C:\\d\\sea.xml"}, {"default", "yes"}},
                          nkEmptyElement));
  TXMLNode* inner = Add(*directory, Element("directory", {{"name", "\xd1\xee\xed"}}));
  Add(*inner, Element("file", {{"name", "Deep"}, {"path", "deep.xml"}}, nkEmptyElement));
  Add(*directory, Element("file", {{"name", "Lone"}}));  // element with content, none given
  TXMLNode* owner = Add(*root, Element("owner"));
  owner->AddChild(Element("name"))->AddChild(Text(readBack ? "Ivan Petrov" : "  Ivan    Petrov "));
  owner->Child(0)->SetLevel(owner->Level + 1);
  TXMLNode* comment = Add(*owner, Element("comment"));
  if (!readBack) comment->AddChild(Text(""));  // written as <comment></comment>, read back empty
  TXMLNode* about = Add(*owner, Element("about"));
  about->AddChild(Text(readBack ? "line one line two" : "line one\r\nline two"));
  about->Child(0)->Level = about->Level + 1;
  Add(*root, Element("statistics", {}, nkEmptyElement));
  return root;
}

TEST(XmlRoundTrip, SavedTreeLoadsBackTheSameExceptForTheNormalisedText) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string path = dir.filePath("library.xml").toStdString();

  TXMLParser written;
  written.Parameters.Encoding = "windows-1251";
  written.Parameters.Instruction = kStylesheet;
  written.Parameters.DocType.Text = kDocType;
  written.Parameters.Attributes = {{"author", "me"}};
  written.Root = SampleLibrary(false);
  written.Save(path);

  TXMLParser read;
  read.Load(path);
  ASSERT_EQ(read.Status, xsLoaded);
  EXPECT_EQ(read.Parameters.Version, "1.0");
  EXPECT_EQ(read.Parameters.Encoding, "windows-1251");
  EXPECT_EQ(read.Parameters.Standalone, "yes");
  EXPECT_EQ(read.Parameters.Instruction, kStylesheet);
  EXPECT_EQ(read.Parameters.DocType.Text, kDocType);
  ASSERT_EQ(read.Parameters.Attributes.size(), 1u);
  EXPECT_EQ(read.Parameters.Attributes[0].Name, "author");
  EXPECT_EQ(read.Parameters.Attributes[0].Value, "me");
  EXPECT_TRUE(SameTree(*SampleLibrary(true), *read.Root));
  EXPECT_TRUE(read.PendingBackupName().empty());
}

TEST(XmlRoundTrip, ANewFileReadBackIntoTheSameDocumentKeepsRootAndPrologue) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string path = dir.filePath("new.xml").toStdString();
  TXMLParser doc;
  doc.Parameters.Encoding = "windows-1251";
  doc.Parameters.DocType.Text = kDocType;
  doc.Root->Name = "dreamlibrary";
  doc.Root->SetAttribute("title", "New");
  doc.Save(path);
  doc.Load(path);
  ASSERT_EQ(doc.Status, xsLoaded);
  EXPECT_EQ(doc.Root->Name, "dreamlibrary");
  ASSERT_EQ(doc.Root->Attributes.size(), 1u);
  EXPECT_EQ(doc.Root->GetAttribute("title"), "New");
  EXPECT_EQ(doc.Root->ChildCount(), 0);
  EXPECT_EQ(doc.Parameters.DocType.Text, kDocType);
  EXPECT_EQ(doc.Parameters.Instruction, "");
}

// ---- broken input ----

struct BrokenCase {
  const char* name;
  std::string bytes;
  int status;
};

std::string D(const std::string& rest) { return std::string(kDecl1251) + rest; }

std::string Nested(int depth) {
  std::string text = kDecl1251;
  for (int i = 0; i < depth; ++i) text += "<n>";
  for (int i = 0; i < depth; ++i) text += "</n>";
  return text;
}

std::vector<BrokenCase> BrokenCases() {
  using namespace std::string_literals;
  return {
      {"EmptyFile", "", xsNoDeclaration},
      {"OnlyBlankLines", "\r\n   \r\n\t\r\n\n", xsNoDeclaration},
      {"NoDeclaration", "<dreamlibrary />\r\n", xsNoDeclaration},
      {"DeclarationWithoutBlank", "<?xml?>\r\n<r/>", xsNoDeclaration},
      {"UpperCaseDeclaration", "<?XML version=\"1.0\"?>\r\n<r/>", xsNoDeclaration},
      {"TextBeforeDeclaration", "hello\r\n" + D("<r/>"), xsNoDeclaration},
      {"DocTypeBeforeDeclaration", "<!DOCTYPE r>\r\n" + D("<r/>"), xsNoDeclaration},
      {"Utf8ByteOrderMark", "\xEF\xBB\xBF" + D("<r/>"), xsNoDeclaration},
      {"Utf16File", "\xff\xfe<\0?\0x\0m\0l\0 \0v\0=\0\"\0001\0\"\0?\0>\0"s, xsNoDeclaration},
      {"BinaryJunk", "\x00\x01\x02\xff\xfe\x80junk\x1b[0m\r\n\x00<<>>\"\"=="s, xsNoDeclaration},
      {"SecondVersion", "<?xml version=\"1.0\" version=\"1.1\"?>\r\n<r/>", xsDuplicateOrTrailing},
      {"SecondEncoding", "<?xml encoding=\"a\" version=\"1.0\" encoding=\"b\"?>\r\n<r/>",
       xsDuplicateOrTrailing},
      {"SecondLanguage", "<?xml language=\"RU\" language=\"EN\"?>\r\n<r/>", xsDuplicateOrTrailing},
      {"SecondStandalone", "<?xml standalone=\"yes\" standalone=\"no\"?>\r\n<r/>",
       xsDuplicateOrTrailing},
      {"TextAfterRoot", D("<r>\r\n</r>\r\ntrailing words\r\n"), xsDuplicateOrTrailing},
      {"SecondRoot", D("<r/>\r\n<r/>\r\n"), xsDuplicateOrTrailing},
      {"EmptyElementName", D("<r>\r\n  < x=\"1\" />\r\n</r>\r\n"), xsEmptyElementName},
      {"EmptyTag", D("<>\r\n</>"), xsEmptyElementName},
      {"MismatchedEndTag", D("<r>\r\n  <day>\r\n  </night>\r\n</r>\r\n"), xsEmptyElementName},
      {"EndTagCutShort", D("<r>\r\n</r"), xsEmptyElementName},
      {"UnterminatedDeclaration", "<?xml version=\"1.0\" encoding=\"windows-1251\"\r\n<r/>\r\n",
       xsUnterminatedDeclaration},
      {"UnterminatedInstruction", D("<?xml-stylesheet href=\"a.xsl\"\r\n<r/>\r\n"),
       xsUnterminatedDeclaration},
      {"UnterminatedDocType", D("<!DOCTYPE r SYSTEM \"r.dtd\"\r\n"), xsUnterminatedDeclaration},
      {"UnterminatedComment", D("<r>\r\n<!-- not closed\r\n</r>\r\n"), xsUnterminatedComment},
      {"CommentOpenedBeforeDeclaration", "<!-- \r\n" + D("<r/>"), xsUnterminatedComment},
      {"StartTagWithoutEnd", D("<r>\r\n  <day date=\"1\"\r\n"), xsUnterminatedTag},
      {"NameRunningToTheEnd", D("<r><day"), xsUnterminatedTag},
      {"SlashAtTheEnd", D("<r><form/"), xsUnterminatedTag},
      {"JunkAfterDeclaration", D("<\x01\x02\xff"), xsUnterminatedTag},
      {"AttributeWithoutEquals", D("<r lucid>\r\n</r>\r\n"), xsAttributeWithoutValue},
      {"AttributeWithoutEqualsAfterAGoodOne", D("<r a=\"1\" b \"2\">\r\n</r>\r\n"),
       xsAttributeWithoutValue},
      {"DeclarationTokenWithoutEquals", "<?xml version=\"1.0\" standalone?>\r\n<r/>",
       xsAttributeWithoutValue},
      {"DeclarationOnly", D(""), xsUnexpectedEnd},
      {"EndInsideRoot", D("<r>\r\n"), xsUnexpectedEnd},
      {"EndInsideChild", D("<r>\r\n  <day>\r\n    <experience/>\r\n"), xsUnexpectedEnd},
      {"EndInsideText", D("<r>\r\n  <comment>half a sen"), xsUnexpectedEnd},
      {"NestedBeyondMaxDepth", Nested(TXMLParser::MaxDepth + 2), xsTooDeep},
  };
}

class XmlBrokenInput : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(XmlBrokenInput, GivesItsStatusFromTextAndFromFile) {
  const BrokenCase& c = GetParam();
  auto fromText = Parse(c.bytes);
  EXPECT_EQ(fromText->Status, c.status);
  fromText->SaveToText();  // the partial tree is still written at exit

  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string path = dir.filePath("broken.xml").toStdString();
  WriteBytes(path, c.bytes);
  TXMLParser fromFile;
  fromFile.Load(path);
  EXPECT_EQ(fromFile.Status, c.status);
}

INSTANTIATE_TEST_SUITE_P(Table, XmlBrokenInput, ::testing::ValuesIn(BrokenCases()),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(XmlBrokenInputTree, WhatWasReadBeforeTheFailureStays) {
  auto doc = Parse(D("<r kind=\"lib\">\r\n  <a/>\r\n  <b>\r\n    <c>text</c>\r\n"));
  EXPECT_EQ(doc->Status, xsUnexpectedEnd);
  EXPECT_EQ(doc->Root->Name, "r");
  EXPECT_EQ(doc->Root->GetAttribute("kind"), "lib");
  ASSERT_EQ(doc->Root->ChildCount(), 2);
  EXPECT_EQ(doc->Root->Child(1)->Name, "b");
  ASSERT_EQ(doc->Root->Child(1)->ChildCount(), 1);
  EXPECT_EQ(doc->Root->Child(1)->Child(0)->FirstText(), "text");
}

TEST(XmlBrokenInputDepth, NestingUpToTheLimitLoadsAndOneDeeperIsRefused) {
  // The root is depth 0, so MaxDepth + 1 elements reach exactly the limit.
  auto atLimit = Parse(Nested(TXMLParser::MaxDepth + 1));
  EXPECT_EQ(atLimit->Status, xsLoaded);
  const TXMLNode* deepest = atLimit->Root.get();
  while (deepest->ChildCount() > 0) deepest = deepest->Child(0);
  EXPECT_EQ(deepest->Level, TXMLParser::MaxDepth);
  EXPECT_EQ(Parse(atLimit->SaveToText())->Status, xsLoaded);

  EXPECT_EQ(Parse(Nested(TXMLParser::MaxDepth + 2))->Status, xsTooDeep);
}

TEST(XmlBrokenInputDepth, HugeNestingEndsWithoutExhaustingTheStack) {
  std::string text = kDecl1251;
  for (int i = 0; i < 300000; ++i) text += "<n>\r\n";
  EXPECT_EQ(Parse(text)->Status, xsTooDeep);
}

}  // namespace

// ---- the text built in pieces, and a recovered text put in place ----

TEST(XmlTextBuilder, PiecesOfAnySizeGiveExactlyTheSavedText) {
  const std::string texts[] = {
      std::string(kDecl1251) + "\r\n\r\n<somnary />\r\n",
      std::string(kDecl1251) + "\r\n\r\n<somnary>only text</somnary>\r\n",
      std::string(kDecl1251) + "\r\n" + kDocType +
          "\r\n\r\n<somnary>\r\n  <day name=\"1\">\r\n    <experience number=\"1\" />\r\n"
          "  </day>\r\n  <day name=\"2\">\r\n  </day>\r\n  loose text<day />\r\n</somnary>\r\n",
  };
  for (const std::string& text : texts) {
    TXMLParser document;
    document.LoadFromText(text);
    ASSERT_EQ(document.Status, xsLoaded) << text;
    for (std::size_t piece : {std::size_t(1), std::size_t(40), std::size_t(1) << 20}) {
      TXMLTextBuilder builder(document);
      int steps = 0;
      while (!builder.Step(piece)) ++steps;
      EXPECT_EQ(builder.Text(), document.SaveToText()) << piece;
      if (piece == 1 && text.find("<day") != std::string::npos) {
        EXPECT_GE(steps, 2);
      }
    }
  }
}

TEST(XmlReplaceText, TheFileIsStillTheOneLastReadSoASaveSeesAnEdit) {
  QTemporaryDir dir;
  const std::string file = dir.filePath("journal.xml").toStdString();
  const std::string read =
      std::string(kDecl1251) + "\r\n\r\n<somnary>\r\n  <day />\r\n</somnary>\r\n";
  WriteBytes(file, read);
  TXMLParser document;
  document.Load(file);
  const auto hash = document.DiskTextHash();
  ASSERT_TRUE(hash.has_value());
  document.ReplaceText(std::string(kDecl1251) +
                       "\r\n\r\n<somnary>\r\n  <day name=\"new\" />\r\n</somnary>\r\n");
  EXPECT_EQ(document.FileName, file);
  EXPECT_EQ(document.DiskTextHash(), hash);
  EXPECT_FALSE(document.UnchangedSinceDisk());
  EXPECT_EQ(document.Save(file), TXMLParser::TSaveOutcome::Written);
  EXPECT_EQ(ReadBytes(file), std::string(kDecl1251) +
                                 "\r\n\r\n<somnary>\r\n  <day name=\"new\" />\r\n</somnary>\r\n");
}
