// The editing panel through the real window: typing into its fields,
// clicking its boxes and labels, and the journal files saved afterwards.
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTreeWidget>

#include "main_form_fixture.h"
#include "mainwindow/smr_ClickLabel.h"
#include "storage/smr_Types.h"

namespace {

QString U(const char* text) { return QString::fromUtf8(text); }
std::string Cp(const char* utf8) { return Utf8ToCp1251(utf8); }

const QColor kRed(255, 0, 0);
const QColor kBlack(0, 0, 0);

class Panel : public TMainFormFixture {
 protected:
  // A library "Библиотека" / "Каталог" / "Журнал" over journal.xml holding
  // `days`; `labels` are the mark captions (nullptr: a label without caption).
  void StartWith(const std::string& days,
                 std::vector<const char*> labels = {"Осознанный сон", "Астральная проекция",
                                                    "Выход из тела", "Другой опыт"}) {
    WriteFile("journal.xml", kJournalProlog + "<somnary>\n" + days + "</somnary>\n");
    WriteFile("library.xml", kLibraryProlog + "<dreamlibrary name=\"Библиотека\">\n"
                                 "  <directory name=\"Каталог\">\n"
                                 "    <file name=\"Журнал\" path=\"" + NativePath("journal.xml") +
                                 "\" />\n  </directory>\n</dreamlibrary>\n");
    std::string settings =
        "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\n\n\n<settings>\n";
    for (const char* caption : labels)
      settings += caption ? "  <label caption=\"" + std::string(caption) + "\" />\n" : "  <label />\n";
    settings += "  <library path=\"" + NativePath("library.xml") + "\" />\n</settings>\n";
    WriteFile("dreams.ini", settings);
    Start();
    Form->show();
    JournalNode = Node({"Библиотека", "Каталог", "Журнал"});
    ASSERT_NE(JournalNode, nullptr);
    Select(JournalNode);
  }

  QTreeWidgetItem* JournalNode = nullptr;
  static QTreeWidgetItem* ChildNamed(QTreeWidgetItem* parent, const char* caption) {
    for (int i = 0; parent && i < parent->childCount(); ++i)
      if (parent->child(i)->text(0) == U(caption)) return parent->child(i);
    return nullptr;
  }
  // Selects a night, or an experience of it, by captions.
  void Show(const char* night, const char* experience = nullptr) {
    QTreeWidgetItem* item = ChildNamed(JournalNode, night);
    if (experience) item = ChildNamed(item, experience);
    ASSERT_NE(item, nullptr) << night << " / " << (experience ? experience : "");
    Select(item);
  }
  // Clicks a check box on its indicator.
  static void Click(QCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
  }
  TXMLNode* Shown() const { return Tfrm_MainForm::ElementOf(Tree()->currentItem()); }
  TXMLParser* JournalDocument() const { return Form->Journals().Find(NativePath("journal.xml")); }

  // Replaces a field's whole text the way a user does: select all, type.
  static void Retype(QWidget* field, const QString& text) {
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
      QTest::keyClick(field, Qt::Key_Delete);
    else
      Type(field, text);
  }
  // Types lines into a memo, pressing Enter between them.
  static void TypeLines(QPlainTextEdit* memo, std::initializer_list<const char*> lines) {
    Retype(memo, {});
    bool first = true;
    for (const char* line : lines) {
      if (!first) QTest::keyClick(memo, Qt::Key_Return);
      Type(memo, U(line));
      first = false;
    }
  }

  std::string SavedJournal() {
    Form->btn_SaveClick();
    EXPECT_EQ(Prompts->Count("Error"), 0);
    return ReadText("journal.xml");
  }

  QCheckBox* Box(int index) const {
    QCheckBox* boxes[4] = {EditPanel()->box_Label1, EditPanel()->box_Label2, EditPanel()->box_Label3, EditPanel()->box_Label4};
    return boxes[index];
  }
  std::vector<bool> ShownMarks() const {
    std::vector<bool> shown;
    for (int i = 0; i < 4; ++i) shown.push_back(Box(i)->isVisible());
    return shown;
  }
  // Which energy labels are red, as "1", "0", "-1" or "" when all are black.
  std::string RedLevel() const {
    std::string red;
    int other = 0;
    for (QLabel* label : {static_cast<QLabel*>(EditPanel()->lbl_HighEnergyLevel),
                          static_cast<QLabel*>(EditPanel()->lbl_ZeroEnergyLevel),
                          static_cast<QLabel*>(EditPanel()->lbl_LowEnergyLevel)}) {
      const QColor colour = label->palette().color(QPalette::WindowText);
      if (colour == kRed) {
        if (!red.empty()) red += '+';
        red += label->text().toStdString();
      } else if (colour != kBlack) {
        ++other;
      }
    }
    return other ? "<neither red nor black>" : red;
  }
  // The fields as the lock table leaves them. The text fields and image
  // buttons belong to plain experiences; an HTML one leaves them unlocked.
  void ExpectLocked(bool locked, bool html) const {
    EXPECT_EQ(EditPanel()->btn_ReadOnly->isChecked(), locked);
    EXPECT_EQ(EditPanel()->edt_Number->isReadOnly(), locked);
    EXPECT_EQ(EditPanel()->edt_Name->isReadOnly(), locked);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Box(i)->isEnabled(), !locked) << "mark " << i + 1;
    EXPECT_EQ(EditPanel()->trb_Energy->isEnabled(), !locked);
    const bool textLocked = locked && !html;
    EXPECT_EQ(EditPanel()->mmo_Description->isReadOnly(), textLocked);
    EXPECT_EQ(EditPanel()->mmo_Comment->isReadOnly(), textLocked);
    EXPECT_EQ(EditPanel()->btn_LoadImage->isVisible(), !locked && !html);
    EXPECT_EQ(EditPanel()->btn_ClearImage->isVisible(), !locked && !html);
    if (html) {
      EXPECT_EQ(EditPanel()->pgc_HTMLEditor->isEnabled(), !locked);
    }
  }
  std::string Level() const {
    TXMLNode* energy = Shown()->FindNode(smr::elEnergy);
    return energy ? energy->GetAttribute(smr::atLevel) : "<no energy>";
  }

  void WriteImage(const QString& name, int width, int height, const QColor& colour, const char* format) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(Path(name), format));
  }
  QColor ShownPictureColour() const {
    const QPixmap picture = EditPanel()->img_Image->pixmap();
    if (picture.isNull()) return QColor();
    return picture.toImage().pixelColor(0, 0);
  }
};

// --------------------------------------------------------------- marks

TEST_F(Panel, MarksShowOnlyWhileEveryEarlierMarkHasACaption) {
  const std::string days =
      "  <day name=\"01.02.03\">\n    <experience number=\"1\" title=\"A\">\n    </experience>\n  </day>\n";
  struct TCase {
    std::vector<const char*> labels;
    std::vector<bool> shown;
  };
  const TCase cases[] = {
      {{"Один"}, {true, false, false, false}},
      {{"Один", "Два"}, {true, true, false, false}},
      {{"Один", "Два", "Три"}, {true, true, true, false}},
      {{"Один", "Два", "Три", ""}, {true, true, true, false}},
      {{"", "Два"}, {false, false, false, false}},
      {{nullptr, "Два", "Три", "Четыре"}, {false, false, false, false}},
      {{"Один", "", "Три", "Четыре"}, {true, false, false, false}},
      {{}, {false, false, false, false}},
  };
  for (const TCase& c : cases) {
    StartWith(days, c.labels);
    Show("01.02.03", "1. A");
    EXPECT_EQ(ShownMarks(), c.shown) << "labels: " << c.labels.size();
    Stop();
  }
}

TEST_F(Panel, OlderMarkNamesAreConvertedOnShowAndSavedUnderTheNewNames) {
  StartWith(
      "  <day name=\"01.02.03\">\n"
      "    <experience number=\"1\" title=\"Old\">\n"
      "      <properties luciddream=\"true\" astralprojection=\"true\" label3=\"true\" outofbody=\"false\" />\n"
      "    </experience>\n"
      "    <experience number=\"2\" title=\"Yes\">\n"
      "      <properties label1=\"true\" label2=\"yes\" />\n"
      "    </experience>\n"
      "    <experience number=\"3\" title=\"None\">\n"
      "    </experience>\n"
      "  </day>\n");
  Show("01.02.03", "1. Old");
  // An older name replaces the value under the current one (mark 3).
  EXPECT_TRUE(Box(0)->isChecked());
  EXPECT_TRUE(Box(1)->isChecked());
  EXPECT_FALSE(Box(2)->isChecked());
  EXPECT_FALSE(Box(3)->isChecked());

  Show("01.02.03", "2. Yes");
  EXPECT_TRUE(Box(0)->isChecked());
  EXPECT_FALSE(Box(1)->isChecked()) << "only \"true\" ticks a mark";

  // No properties: all unticked; the box that changed writes its "false".
  Show("01.02.03", "3. None");
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(Box(i)->isChecked()) << i;

  EXPECT_EQ(SavedJournal(),
            kJournalProlog +
                "<somnary>\n"
                "  <day name=\"01.02.03\">\n"
                "    <experience number=\"1\" title=\"Old\">\n"
                "      <properties label3=\"false\" label1=\"true\" label2=\"true\" label4=\"false\" />\n"
                "    </experience>\n"
                "    <experience number=\"2\" title=\"Yes\">\n"
                "      <properties label1=\"true\" label2=\"false\" label3=\"false\" label4=\"false\" />\n"
                "    </experience>\n"
                "    <experience number=\"3\" title=\"None\">\n"
                "      <properties label1=\"false\" />\n"
                "    </experience>\n"
                "  </day>\n"
                "</somnary>\n");
}

TEST_F(Panel, TickingAMarkWithoutPropertiesCreatesThemEmpty) {
  StartWith("  <day name=\"01.02.03\">\n    <experience number=\"1\" title=\"A\">\n    </experience>\n  </day>\n");
  Show("01.02.03", "1. A");
  Click(Box(2));
  EXPECT_EQ(SavedJournal(), kJournalProlog +
                                "<somnary>\n  <day name=\"01.02.03\">\n"
                                "    <experience number=\"1\" title=\"A\">\n"
                                "      <properties label3=\"true\" />\n"
                                "    </experience>\n  </day>\n</somnary>\n");
}

// --------------------------------------------------------------- texts

TEST_F(Panel, NumberAndTitleEachReplaceTheirOwnHalfOfTheCaption) {
  StartWith("  <day name=\"01.02.03\">\n    <experience number=\"7\" title=\"Flight\">\n    </experience>\n  </day>\n");
  Show("01.02.03", "7. Flight");
  QTreeWidgetItem* node = Tree()->currentItem();

  Retype(EditPanel()->edt_Number, "12");
  EXPECT_EQ(Shown()->GetAttribute(smr::atNumber), "12");
  EXPECT_EQ(node->text(0), "12. Flight");

  Retype(EditPanel()->edt_Name, U("Полёт. Снова"));
  EXPECT_EQ(node->text(0), U("12. Полёт. Снова"));
  Retype(EditPanel()->edt_Number, "3");
  EXPECT_EQ(node->text(0), U("3. Полёт. Снова")) << "a title holding \". \" survives a new number";
  // A number holding ". " survives a new title.
  Retype(EditPanel()->edt_Number, "3. 1");
  Retype(EditPanel()->edt_Name, "X");
  EXPECT_EQ(node->text(0), "3. 1. X");
  Retype(EditPanel()->edt_Number, "3");
  Retype(EditPanel()->edt_Name, U("Полёт. Снова"));

  EXPECT_EQ(SavedJournal(), kJournalProlog +
                                "<somnary>\n  <day name=\"01.02.03\">\n"
                                "    <experience number=\"3\" title=\"Полёт. Снова\">\n"
                                "    </experience>\n  </day>\n</somnary>\n");
}

TEST_F(Panel, NamesOfNightsJournalsAndCataloguesGoToTheirElements) {
  StartWith("  <day name=\"01.02.03\">\n  </day>\n");
  // The journal node is bound to the journal root by now: its title lives
  // on the library's file element.
  Retype(EditPanel()->edt_Name, U("Сны"));
  EXPECT_EQ(Tree()->currentItem()->text(0), U("Сны"));
  EXPECT_EQ(EditPanel()->lbl_Name->text(), U("Название:"));

  Show("01.02.03");
  EXPECT_EQ(EditPanel()->lbl_Name->text(), U("Дата:"));
  Retype(EditPanel()->edt_Name, "02.02.03");
  EXPECT_EQ(Tree()->currentItem()->text(0), "02.02.03");

  Select(Node({"Библиотека", "Каталог"}));
  Retype(EditPanel()->edt_Name, U("Папка"));

  Form->btn_SaveClick();
  EXPECT_NE(ReadText("journal.xml").find("  <day name=\"02.02.03\">\n"), std::string::npos);
  const std::string library = ReadText("library.xml");
  EXPECT_NE(library.find("  <directory name=\"Папка\">\n"), std::string::npos) << library;
  EXPECT_NE(library.find("    <file name=\"Сны\" path="), std::string::npos) << library;
}

TEST_F(Panel, DescriptionAndCommentAreNormalisedAndTheCommentKeptOnOneLine) {
  StartWith(
      "  <day name=\"01.02.03\">\n"
      "    <experience number=\"1\" title=\"A\">\n    </experience>\n"
      "    <experience number=\"2\" title=\"B\">\n    </experience>\n"
      "  </day>\n");
  Show("01.02.03", "1. A");
  Retype(EditPanel()->mmo_Description, "   one   two   ");
  EXPECT_EQ(Shown()->FindNode(smr::elDescription)->FirstText(), "one two");
  TypeLines(EditPanel()->mmo_Comment, {"  first", "second  ", "   third"});
  EXPECT_EQ(Shown()->FindNode(smr::elComment)->FirstText(), "first second third");

  // Its empty fields differ from the ones shown before: they are written back.
  Show("01.02.03", "2. B");
  TypeLines(EditPanel()->mmo_Description, {"top   line", "   next"});
  EXPECT_EQ(Shown()->FindNode(smr::elDescription)->FirstText(), "top line\r\n next");

  Show("01.02.03");
  TypeLines(EditPanel()->mmo_Comment, {"night", "", "  comment"});

  EXPECT_EQ(SavedJournal(), kJournalProlog +
                                "<somnary>\n"
                                "  <day name=\"01.02.03\">\n"
                                "    <experience number=\"1\" title=\"A\">\n"
                                "      <description>one two</description>\n"
                                "      <comment>first second third</comment>\n"
                                "    </experience>\n"
                                "    <experience number=\"2\" title=\"B\">\n"
                                "      <description>top line\n next</description>\n"
                                "      <comment></comment>\n"
                                "    </experience>\n"
                                "    <comment>night comment</comment>\n"
                                "  </day>\n"
                                "</somnary>\n");

  // The description's line break becomes a blank when the file is read again.
  TXMLParser reread;
  reread.Load(NativePath("journal.xml"));
  ASSERT_EQ(reread.Status, xsLoaded);
  EXPECT_EQ(reread.Root->Child(0)->Child(1)->FindNode(smr::elDescription)->FirstText(), "top line next");
}

TEST_F(Panel, TypedQuotesAnglesAndForeignCharactersCannotBreakTheJournal) {
  StartWith("  <day name=\"01.02.03\">\n    <experience number=\"7\" title=\"Flight\">\n    </experience>\n  </day>\n");
  Show("01.02.03", "7. Flight");
  Retype(EditPanel()->edt_Number, "1\"2");
  Retype(EditPanel()->edt_Name, U("Он сказал \"да\" > <нет>"));
  Retype(EditPanel()->mmo_Description, U("a < b > c \"d\" 日"));
  Retype(EditPanel()->mmo_Comment, U("<x> 日"));
  EXPECT_EQ(Tree()->currentItem()->text(0), U("1”2. Он сказал ”да” › ‹нет›"));

  const std::string saved = SavedJournal();
  EXPECT_EQ(saved, kJournalProlog +
                       "<somnary>\n  <day name=\"01.02.03\">\n"
                       "    <experience number=\"1”2\" title=\"Он сказал ”да” › ‹нет›\">\n"
                       "      <description>a ‹ b > c \"d\" ?</description>\n"
                       "      <comment>‹x> ?</comment>\n"
                       "    </experience>\n  </day>\n</somnary>\n");
  TXMLParser reread;
  reread.Load(NativePath("journal.xml"));
  EXPECT_EQ(reread.Status, xsLoaded);
  const TXMLNode* experience = reread.Root->Child(0)->Child(0);
  ASSERT_NE(experience, nullptr);
  EXPECT_EQ(experience->GetAttribute(smr::atTitle), Cp("Он сказал ”да” › ‹нет›"));
  EXPECT_EQ(experience->FindNode(smr::elComment)->FirstText(), Cp("‹x> ?"));
}

// The reader strips comments from the whole text before it parses: a typed
// "<!--" once swallowed everything up to the next "-->", wherever that was.
TEST_F(Panel, TypedCommentOpenersCannotSwallowTheJournal) {
  struct Case {
    const char* title;        // typed into experience 001
    const char* description;  // typed into experience 002
    const char* caption;      // of experience 001 after a restart
  };
  const Case cases[] = {
      {"one <!-- typed", "an arrow --> here", "001. one ‹!-- typed"},
      {"a<!--b", "", "001. a‹!--b"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    StartWith(
        "  <day name=\"01.02.03\">\n"
        "    <experience number=\"001\" title=\"A\">\n    </experience>\n"
        "    <experience number=\"002\" title=\"B\">\n    </experience>\n"
        "  </day>\n");
    Show("01.02.03", "001. A");
    Retype(EditPanel()->edt_Name, U(c.title));
    Show("01.02.03", "002. B");
    Retype(EditPanel()->mmo_Description, U(c.description));
    Stop();  // writes every document

    TXMLParser reread;
    reread.Load(NativePath("journal.xml"));
    EXPECT_EQ(reread.Status, xsLoaded);
    Start();
    JournalNode = Node({"Библиотека", "Каталог", "Журнал"});
    ASSERT_NE(JournalNode, nullptr);
    Select(JournalNode);
    QTreeWidgetItem* night = ChildNamed(JournalNode, "01.02.03");
    ASSERT_NE(night, nullptr);
    ASSERT_EQ(night->childCount(), 2);
    EXPECT_EQ(night->child(0)->text(0), U(c.caption));
    EXPECT_EQ(night->child(1)->text(0), U("002. B"));
    Show("01.02.03", "002. B");
    EXPECT_EQ(EditPanel()->mmo_Description->toPlainText(), U(c.description));
    Stop();
  }
}

TEST_F(Panel, ShowingWritesBackOnlyValuesThatDifferFromTheFields) {
  StartWith(
      "  <day name=\"01.02.03\">\n"
      "    <experience number=\"1\" title=\"A\">\n    </experience>\n"
      "    <experience number=\"2\" title=\"B\">\n    </experience>\n"
      "  </day>\n");
  Show("01.02.03", "1. A");
  Show("01.02.03", "2. B");
  Show("01.02.03", "1. A");
  // Empty description and comment, unticked marks, the middle energy and
  // no lock match what the fields held: no child element was added.
  EXPECT_EQ(SavedJournal(), kJournalProlog +
                                "<somnary>\n  <day name=\"01.02.03\">\n"
                                "    <experience number=\"1\" title=\"A\">\n    </experience>\n"
                                "    <experience number=\"2\" title=\"B\">\n    </experience>\n"
                                "  </day>\n</somnary>\n");
}

TEST_F(Panel, FieldsChangeNothingWhileNothingIsSelected) {
  WriteSettings("");
  Start();
  Form->show();
  ASSERT_EQ(Tree()->currentItem(), nullptr);
  Type(EditPanel()->edt_Name, "x");
  EditPanel()->edt_Number->setText("5");
  EditPanel()->mmo_Comment->setPlainText("y");
  EditPanel()->box_Label1->setChecked(true);
  EditPanel()->trb_Energy->setValue(10);
  EditPanel()->btn_ReadOnly->setChecked(true);
  Form->btn_ClearImageClick();
  Form->lbl_ZeroEnergyLevelDblClick();
  EXPECT_TRUE(Form->Library().Root->Attributes.empty());
  EXPECT_TRUE(Form->Library().Root->Children.empty());
  EXPECT_EQ(Prompts->Asked.size(), 0u);
}

// --------------------------------------------------------------- energy

TEST_F(Panel, EnergyLabelsTurnRedInsideTheirRanges) {
  StartWith("  <day name=\"01.02.03\">\n    <experience number=\"1\" title=\"A\">\n    </experience>\n  </day>\n");
  Show("01.02.03", "1. A");
  const std::pair<int, const char*> table[] = {
      {0, "1"},    {19, "1"},   {20, ""},    {90, ""},     {91, "0"},   {100, "0"},
      {109, "0"},  {110, ""},   {180, ""},   {181, "-1"},  {200, "-1"},
  };
  for (const auto& [position, red] : table) {
    EditPanel()->trb_Energy->setValue(position);
    EXPECT_EQ(RedLevel(), red) << "position " << position;
    EXPECT_EQ(Level(), std::to_string(position));
  }
}

TEST_F(Panel, TrackBarRunsFromOneAtTheTopToMinusOneAtTheBottom) {
  StartWith("  <day name=\"01.02.03\">\n    <experience number=\"1\" title=\"A\">\n    </experience>\n  </day>\n");
  Show("01.02.03", "1. A");
  QSlider* track = EditPanel()->trb_Energy;
  EXPECT_EQ(track->minimum(), 0);
  EXPECT_EQ(track->maximum(), 200);
  EXPECT_EQ(track->pageStep(), 20);
  EXPECT_LT(EditPanel()->lbl_HighEnergyLevel->y(), EditPanel()->lbl_LowEnergyLevel->y());
  // Up moves towards "1", which is position 0.
  QTest::keyClick(track, Qt::Key_PageUp);
  EXPECT_EQ(Level(), "80");
  QTest::keyClick(track, Qt::Key_Down);
  EXPECT_EQ(Level(), "81");
  QTest::keyClick(track, Qt::Key_Home);
  EXPECT_EQ(Level(), "0");
  EXPECT_EQ(RedLevel(), "1");
}

TEST_F(Panel, DoubleClickingALevelLabelMovesTheTrackBarThere) {
  StartWith(
      "  <day name=\"01.02.03\">\n"
      "    <experience number=\"1\" title=\"A\">\n      <energy level=\"150\" />\n    </experience>\n"
      "    <experience number=\"2\" title=\"B\">\n    </experience>\n"
      "  </day>\n");
  // Without energy the bar stands in the middle; "0" changes nothing then.
  Show("01.02.03", "2. B");
  EXPECT_EQ(EditPanel()->trb_Energy->value(), 100);
  EXPECT_EQ(RedLevel(), "0");
  QTest::mouseDClick(EditPanel()->lbl_ZeroEnergyLevel, Qt::LeftButton);
  EXPECT_EQ(Shown()->FindNode(smr::elEnergy), nullptr);

  Show("01.02.03", "1. A");
  EXPECT_EQ(EditPanel()->trb_Energy->value(), 150);
  EXPECT_EQ(RedLevel(), "");

  QTest::mouseDClick(EditPanel()->lbl_ZeroEnergyLevel, Qt::LeftButton);
  EXPECT_EQ(Level(), "100");
  EXPECT_EQ(RedLevel(), "0");
  QTest::mouseDClick(EditPanel()->lbl_HighEnergyLevel, Qt::LeftButton);
  EXPECT_EQ(Level(), "0");
  EXPECT_EQ(RedLevel(), "1");
  QTest::mouseDClick(EditPanel()->lbl_LowEnergyLevel, Qt::LeftButton);
  EXPECT_EQ(Level(), "200");
  EXPECT_EQ(RedLevel(), "-1");
}

TEST_F(Panel, EnergyWithoutAUsableLevelShowsTheMiddle) {
  StartWith(
      "  <day name=\"01.02.03\">\n"
      "    <experience number=\"1\" title=\"A\">\n      <energy level=\"30\" />\n    </experience>\n"
      "    <experience number=\"2\" title=\"B\">\n      <energy />\n    </experience>\n"
      "    <experience number=\"3\" title=\"C\">\n      <energy level=\"30\" />\n    </experience>\n"
      "    <experience number=\"4\" title=\"D\">\n      <energy level=\"высоко\" />\n    </experience>\n"
      "  </day>\n");
  Show("01.02.03", "1. A");
  EXPECT_EQ(RedLevel(), "");
  Show("01.02.03", "2. B");
  EXPECT_EQ(EditPanel()->trb_Energy->value(), 100);
  EXPECT_EQ(RedLevel(), "0");
  EXPECT_EQ(Level(), "100") << "the shown middle is written back";
  Show("01.02.03", "3. C");
  Show("01.02.03", "4. D");
  EXPECT_EQ(EditPanel()->trb_Energy->value(), 100);
}

// --------------------------------------------------------------- image

class PanelImage : public Panel {
 protected:
  void SetUp() override {
    Panel::SetUp();
    WriteImage("empty.bmp", 140, 140, QColor(0, 255, 0), "BMP");
    WriteImage("red.bmp", 20, 10, QColor(255, 0, 0), "BMP");
    WriteImage("blue.png", 30, 30, QColor(0, 0, 255), "PNG");
    WriteImage("teal.jpg", 30, 30, QColor(0, 128, 128), "JPG");
    WriteBytes("broken.bmp", "BM this is not a picture");
  }
  void StartWithImages() {
    StartWith(
        "  <day name=\"01.02.03\">\n"
        "    <experience number=\"1\" title=\"Plain\">\n    </experience>\n"
        "    <experience number=\"2\" title=\"Pictured\">\n"
        "      <image path=\"" + NativePath("red.bmp") + "\" />\n    </experience>\n"
        "    <experience number=\"3\" title=\"Cleared\">\n"
        "      <image path=\"undefined\" />\n    </experience>\n"
        "  </day>\n");
  }
};

TEST_F(PanelImage, ClearingWithoutAPictureChangesNothing) {
  StartWithImages();
  Show("01.02.03", "1. Plain");
  const std::string before = JournalDocument()->SaveToText();
  QTest::mouseClick(EditPanel()->btn_ClearImage, Qt::LeftButton);
  EXPECT_EQ(JournalDocument()->SaveToText(), before);
  Show("01.02.03", "3. Cleared");
  QTest::mouseClick(EditPanel()->btn_ClearImage, Qt::LeftButton);
  EXPECT_EQ(JournalDocument()->SaveToText(), before);
}

TEST_F(PanelImage, ClearingALoadedPictureStoresUndefined) {
  StartWithImages();
  Show("01.02.03", "3. Cleared");
  EXPECT_EQ(ShownPictureColour(), QColor(0, 255, 0));
  Show("01.02.03", "2. Pictured");
  EXPECT_EQ(EditPanel()->img_Image->pixmap().size(), QSize(20, 10));
  EXPECT_EQ(ShownPictureColour(), QColor(255, 0, 0));
  QTest::mouseClick(EditPanel()->btn_ClearImage, Qt::LeftButton);
  EXPECT_EQ(ShownPictureColour(), QColor(0, 255, 0));
  EXPECT_NE(SavedJournal().find("    <experience number=\"2\" title=\"Pictured\">\n"
                                "      <image path=\"undefined\" />\n"),
            std::string::npos);
}

TEST_F(PanelImage, LoadingStoresTheFullPathOfBitmapsPngAndJpeg) {
  StartWithImages();
  Show("01.02.03", "1. Plain");
  Prompts->OpenFiles = {Path("blue.png"), Path("teal.jpg")};
  QTest::mouseClick(EditPanel()->btn_LoadImage, Qt::LeftButton);
  ASSERT_EQ(Prompts->Count("Open"), 1);
  EXPECT_EQ(Prompts->Asked.back().Text, U("Открыть изображение"));
  EXPECT_TRUE(Prompts->Asked.back().Filter.startsWith(
      U("Windows BMP (*.bmp)|*.bmp|Все файлы (*.*)|*.*|")));
  EXPECT_TRUE(Prompts->Asked.back().Filter.contains("*.png"));
  EXPECT_TRUE(Prompts->Asked.back().Filter.contains("*.jpg"));
  EXPECT_EQ(ShownPictureColour(), QColor(0, 0, 255));

  QTest::mouseClick(EditPanel()->btn_LoadImage, Qt::LeftButton);
  EXPECT_EQ(EditPanel()->img_Image->pixmap().size(), QSize(30, 30));
  EXPECT_NE(SavedJournal().find("    <experience number=\"1\" title=\"Plain\">\n"
                                "      <image path=\"" + NativePath("teal.jpg") + "\" />\n"
                                "    </experience>\n"),
            std::string::npos);
}

TEST_F(PanelImage, APictureThatCannotBeReadShowsTheMessageAndChangesNothing) {
  StartWithImages();
  Show("01.02.03", "2. Pictured");
  const std::string before = JournalDocument()->SaveToText();
  Prompts->OpenFiles = {Path("broken.bmp"), Path("missing.bmp"), QString()};
  QTest::mouseClick(EditPanel()->btn_LoadImage, Qt::LeftButton);
  QTest::mouseClick(EditPanel()->btn_LoadImage, Qt::LeftButton);
  QTest::mouseClick(EditPanel()->btn_LoadImage, Qt::LeftButton);  // cancelled
  const QStringList errors = Prompts->Messages("Error");
  ASSERT_EQ(errors.size(), 2);
  EXPECT_TRUE(errors[0].contains("broken.bmp")) << errors[0].toStdString();
  EXPECT_TRUE(errors[1].contains("missing.bmp")) << errors[1].toStdString();
  EXPECT_EQ(JournalDocument()->SaveToText(), before);
  EXPECT_EQ(ShownPictureColour(), QColor(255, 0, 0));
}

// --------------------------------------------------------------- read-only

TEST_F(Panel, ReadOnlyBoxLocksAndUnlocksAPlainExperience) {
  StartWith("  <day name=\"01.02.03\">\n    <experience number=\"1\" title=\"A\">\n    </experience>\n  </day>\n");
  Show("01.02.03", "1. A");
  ExpectLocked(false, false);
  Click(EditPanel()->btn_ReadOnly);
  EXPECT_EQ(Shown()->GetAttribute(smr::atReadOnly), "true");
  {
    SCOPED_TRACE("locked");
    ExpectLocked(true, false);
  }
  // Typing and the level shortcuts leave a locked experience alone.
  Type(EditPanel()->edt_Name, "zzz");
  QTest::mouseDClick(EditPanel()->lbl_HighEnergyLevel, Qt::LeftButton);
  EXPECT_EQ(Shown()->GetAttribute(smr::atTitle), "A");
  EXPECT_EQ(Shown()->FindNode(smr::elEnergy), nullptr);

  Click(EditPanel()->btn_ReadOnly);
  EXPECT_EQ(Shown()->GetAttribute(smr::atReadOnly), "false");
  SCOPED_TRACE("unlocked");
  ExpectLocked(false, false);
}

TEST_F(Panel, StoredLockIsAppliedOnShowAndEndsWithTheExperience) {
  StartWith(
      "  <day name=\"01.02.03\">\n"
      "    <experience number=\"1\" title=\"Locked\" readonly=\"true\">\n    </experience>\n"
      "    <experience number=\"2\" title=\"Open\">\n    </experience>\n"
      "  </day>\n");
  Show("01.02.03", "1. Locked");
  ExpectLocked(true, false);

  // A night shown next is editable again.
  Show("01.02.03");
  EXPECT_FALSE(EditPanel()->edt_Name->isReadOnly());
  EXPECT_FALSE(EditPanel()->mmo_Comment->isReadOnly());

  Show("01.02.03", "1. Locked");
  Show("01.02.03", "2. Open");
  ExpectLocked(false, false);
  // The box changed while the open experience was shown: it was written.
  EXPECT_EQ(Shown()->GetAttribute(smr::atReadOnly), "false");
}

TEST_F(Panel, HtmlExperienceShowsItsFieldsAndLocksWithoutTheTextFields) {
  StartWith(
      "  <day name=\"01.02.03\">\n"
      "    <experience number=\"2\" title=\"Web\" type=\"html\" file=\"web.html\">\n"
      "      <properties luciddream=\"true\" />\n"
      "    </experience>\n"
      "  </day>\n");
  Show("01.02.03", "2. Web");
  for (QWidget* w : std::initializer_list<QWidget*>{EditPanel()->edt_Number, EditPanel()->edt_Name, EditPanel()->btn_ReadOnly,
                                                    EditPanel()->trb_Energy, EditPanel()->lbl_ZeroEnergyLevel, Box(3)})
    EXPECT_TRUE(w->isVisible()) << w->objectName().toStdString();
  for (QWidget* w : std::initializer_list<QWidget*>{EditPanel()->mmo_Description, EditPanel()->lbl_Description,
                                                    EditPanel()->mmo_Comment, EditPanel()->img_Image, EditPanel()->pgc_HTMLEditor})
    EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
  // Older mark names are converted here too rather than lost.
  EXPECT_TRUE(Box(0)->isChecked());
  EXPECT_EQ(Shown()->FindNode(smr::elProperties)->GetAttribute(smr::atLabel[0]), "true");

  Click(EditPanel()->btn_ReadOnly);
  EXPECT_EQ(Shown()->GetAttribute(smr::atReadOnly), "true");
  {
    SCOPED_TRACE("locked");
    ExpectLocked(true, true);
  }
  Click(EditPanel()->btn_ReadOnly);
  EXPECT_EQ(Shown()->GetAttribute(smr::atReadOnly), "false");
  SCOPED_TRACE("unlocked");
  ExpectLocked(false, true);
}

// --------------------------------------------------------------- layout

TEST_F(Panel, ShownControlsStayInsideTheWorkAreaWithoutOverlapping) {
  StartWith(
      "  <day name=\"01.02.03\">\n"
      "    <experience number=\"1\" title=\"Plain\">\n    </experience>\n"
      "    <experience number=\"2\" title=\"Web\" type=\"html\" file=\"web.html\">\n    </experience>\n"
      "  </day>\n");
  EXPECT_EQ(Form->minimumSize(), QSize(640, 480));
  const char* shown[][2] = {{"01.02.03", nullptr}, {"01.02.03", "1. Plain"}, {"01.02.03", "2. Web"}};
  for (QSize size : {QSize(640, 480), QSize(1100, 760)}) {
    Form->resize(size);
    QApplication::processEvents();
    for (const auto& item : shown) {
      Show(item[0], item[1]);
      // The panel covers the whole work area; its controls stay inside it.
      ASSERT_EQ(EditPanel()->geometry(), Form->pnl_WorkArea->rect());
      const QRect area = EditPanel()->rect();
      QList<QWidget*> visible;
      // The statistics view is the backdrop behind the fields; a night's
      // comment stays below its graph.
      for (QWidget* w : EditPanel()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (w->isVisible() && w != Form->pnl_Statistics) visible << w;
      if (!item[1]) {
        ASSERT_TRUE(Form->pnl_Statistics->isVisible());
        EXPECT_EQ(Form->pnl_Statistics->geometry(), area);
        EXPECT_GT(EditPanel()->lbl_Comment->y(), Form->pnl_Statistics->Panel(0).Bottom);
      } else {
        EXPECT_FALSE(Form->pnl_Statistics->isVisible());
      }
      for (int i = 0; i < visible.size(); ++i) {
        const QRect r = visible[i]->geometry();
        const std::string name = visible[i]->objectName().toStdString();
        EXPECT_TRUE(area.contains(r)) << name << " outside at " << size.width() << "x" << size.height();
        EXPECT_GT(r.height(), 0) << name;
        for (int j = i + 1; j < visible.size(); ++j) {
          // The level labels stand beside the narrow track inside its column.
          const QRect other = visible[j]->geometry();
          EXPECT_FALSE(r.intersects(other))
              << name << " overlaps " << visible[j]->objectName().toStdString() << " at "
              << size.width() << "x" << size.height();
        }
      }
      if (item[1]) {
        const QRect track = EditPanel()->trb_Energy->geometry();
        const QRect zero = EditPanel()->lbl_ZeroEnergyLevel->geometry();
        EXPECT_EQ(zero.left(), track.left() + 28);
        EXPECT_EQ(zero.top(), track.top() + (track.height() - zero.height()) / 2);
      }
    }
  }
  Show("01.02.03", "1. Plain");
  EXPECT_EQ(EditPanel()->mmo_Comment->height(), 64);
}

}  // namespace
