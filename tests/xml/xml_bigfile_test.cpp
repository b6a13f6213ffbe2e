// Big files take other paths than small ones: the text is read into pages
// of its own (huge pages), so are the nodes, and Save hands the text
// to the file in pieces. Both must give exactly what the in-memory paths give,
// wherever tags, long texts and comments fall across those boundaries.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdint>
#include <memory>
#include <string>

#include "xml/xml_mainUnit.h"
#include "xml_test_util.h"

namespace {

// About 9 MB in the program's layout, with texts of up to 6 KB in several
// lines, runs of blanks, and comments of all sizes: some inside a line, some
// over many lines, and one longer than a huge page.
std::string BigText() {
  std::string text = xmltest::kDecl1251;
  text += "<?xml-stylesheet href=\"../journal.xsl\" type=\"text/xsl\"?>\r\n";
  text += "<!DOCTYPE somnary SYSTEM \"../somnary.dtd\">\r\n\r\n<somnary>\r\n";
  std::uint32_t seed = 20260211;
  auto next = [&](std::uint32_t range) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % range;
  };
  for (int i = 0; text.size() < (std::size_t(9) << 20); ++i) {
    const std::string n = std::to_string(i);
    text += "  <day name=\"" + n + ".01.26\">\r\n";
    text += "    <experience number=\"" + n + "\" title=\"Dream   number " + n + "\">\r\n";
    text += "      <description>";
    for (std::uint32_t words = 20 + next(1200); words > 0; --words) {
      text += "word";
      text += next(10) == 0 ? "\r\n" : next(15) == 0 ? "    " : " ";
    }
    text += "end</description>\r\n";
    if (next(4) == 0) text += "      <!-- a note -->\r\n";
    if (next(40) == 0)
      text += "      <!--\r\n" + std::string(next(30000), '-') + "\r\n      -->\r\n";
    if (i == 300) text += "<!--" + std::string(std::size_t(3) << 20, 'c') + "-->\r\n";
    text += "      <image path=\"C:\\pictures\\" + n + ".bmp\" />\r\n";
    text +=
        "      <properties label1=\"true\" label2=\"false\" label3=\"false\" label4=\"true\">\r\n";
    text += "        <parameter control=\"edt_Place\" value=\"at home   " + n + "\" />\r\n";
    text += "      </properties>\r\n";
    text += "      <energy level=\"" + std::to_string(next(201)) + "\"/>\r\n";
    text += "    </experience>\r\n  </day>\r\n";
  }
  text += "</somnary>\r\n";
  return text;
}

class XmlBigFile : public ::testing::Test {
 protected:
  QTemporaryDir Dir;
  std::string Path(const char* name) const { return Dir.filePath(name).toStdString(); }
};

TEST_F(XmlBigFile, ReadsFromDiskExactlyAsFromMemoryAndSavesInPiecesAsOneText) {
  ASSERT_TRUE(Dir.isValid());
  const std::string text = BigText();
  const std::string path = Path("big.xml");
  xmltest::WriteBytes(path, text);

  TXMLParser fromDisk;
  fromDisk.Load(path);
  TXMLParser fromMemory;
  fromMemory.LoadFromText(text);
  ASSERT_EQ(fromMemory.Status, xsLoaded);
  EXPECT_EQ(fromDisk.Status, xsLoaded);
  EXPECT_TRUE(xmltest::SameTree(*fromMemory.Root, *fromDisk.Root));
  // Hashed as read, though joining rewrites the text meanwhile.
  EXPECT_EQ(fromDisk.DiskTextHash(), HashOf(text));
  EXPECT_EQ(fromDisk.Parameters.DocType.Text, "<!DOCTYPE somnary SYSTEM \"../somnary.dtd\">");
  // The last day came through whole: its experience still has all children.
  const TXMLNode* last = fromDisk.Root->Child(fromDisk.Root->ChildCount() - 1);
  ASSERT_NE(last, nullptr);
  ASSERT_EQ(last->ChildCount(), 1);
  EXPECT_EQ(last->Child(0)->ChildCount(), 4);

  const std::string saved = Path("saved.xml");
  fromDisk.Save(saved);
  const std::string written = xmltest::ReadBytes(saved);
  EXPECT_GT(written.size(), std::size_t(4) << 20);  // several pieces
  EXPECT_TRUE(written == fromMemory.SaveToText()) << "the file differs from the text";
}

TEST_F(XmlBigFile, CutOffFileKeepsTheSamePartialTreeAsInMemory) {
  ASSERT_TRUE(Dir.isValid());
  // Cut inside a description past the middle of the file.
  std::string text = BigText();
  const std::size_t cut = text.find("<description>", std::size_t(5) << 20) + 40;
  const std::string whole = Path("whole.xml");
  xmltest::WriteBytes(whole, text);
  text.resize(cut);
  const std::string path = Path("cut.xml");
  xmltest::WriteBytes(path, text);

  // The whole file read and freed first: the cut one is read into the pages
  // it leaves, with its bytes still beyond the cut.
  std::make_unique<TXMLParser>()->Load(whole);
  TXMLParser fromDisk;
  fromDisk.Load(path);
  TXMLParser fromMemory;
  fromMemory.LoadFromText(text);
  EXPECT_EQ(fromMemory.Status, xsUnexpectedEnd);
  EXPECT_EQ(fromDisk.Status, xsUnexpectedEnd);
  EXPECT_TRUE(xmltest::SameTree(*fromMemory.Root, *fromDisk.Root));
  EXPECT_EQ(fromDisk.DiskTextHash(), HashOf(text));
}

}  // namespace
