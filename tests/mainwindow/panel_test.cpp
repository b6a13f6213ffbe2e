// The editing panel through the real window: typing into its fields,
// clicking its boxes and labels, and the journal files saved afterwards.
#include "panel_fixture.h"

namespace {

// --------------------------------------------------------------- marks

TEST_F(Panel, MarksShowOnlyWhileEveryEarlierMarkHasACaption) {
  const std::string days =
      "  <day name=\"01.02.03\">\n    <experience number=\"1\" title=\"A\">\n    </experience>\n  "
      "</day>\n";
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
      "      <properties luciddream=\"true\" astralprojection=\"true\" label3=\"true\" "
      "outofbody=\"false\" />\n"
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

  EXPECT_EQ(
      SavedJournal(),
      kJournalProlog +
          "<somnary>\n"
          "  <day name=\"01.02.03\">\n"
          "    <experience number=\"1\" title=\"Old\">\n"
          "      <properties label3=\"false\" label1=\"true\" label2=\"true\" label4=\"false\" />\n"
          "    </experience>\n"
          "    <experience number=\"2\" title=\"Yes\">\n"
          "      <properties label1=\"true\" label2=\"false\" label3=\"false\" label4=\"false\" "
          "/>\n"
          "    </experience>\n"
          "    <experience number=\"3\" title=\"None\">\n"
          "      <properties label1=\"false\" />\n"
          "    </experience>\n"
          "  </day>\n"
          "</somnary>\n");
}

TEST_F(Panel, TickingAMarkWithoutPropertiesCreatesThemEmpty) {
  StartWith(
      "  <day name=\"01.02.03\">\n    <experience number=\"1\" title=\"A\">\n    </experience>\n  "
      "</day>\n");
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
  StartWith(
      "  <day name=\"01.02.03\">\n    <experience number=\"7\" title=\"Flight\">\n    "
      "</experience>\n  </day>\n");
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
  TypeLines(EditPanel()->mmo_Comment, {"  first", "second  ", "   third"});

  // Its empty fields differ from the ones shown before: they are written back.
  Show("01.02.03", "2. B");
  TypeLines(EditPanel()->mmo_Description, {"top   line", "   next"});

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
  EXPECT_EQ(reread.Root->Child(0)->Child(1)->FindNode(smr::elDescription)->FirstText(),
            "top line next");
}

TEST_F(Panel, TypedQuotesAnglesAndForeignCharactersCannotBreakTheJournal) {
  StartWith(
      "  <day name=\"01.02.03\">\n    <experience number=\"7\" title=\"Flight\">\n    "
      "</experience>\n  </day>\n");
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
  EXPECT_EQ(experience->GetAttribute(smr::atTitle), Cp1251("Он сказал ”да” › ‹нет›"));
  EXPECT_EQ(experience->FindNode(smr::elComment)->FirstText(), Cp1251("‹x> ?"));
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
  StartWith(
      "  <day name=\"01.02.03\">\n    <experience number=\"1\" title=\"A\">\n    </experience>\n  "
      "</day>\n");
  Show("01.02.03", "1. A");
  const std::pair<int, const char*> table[] = {
      {0, "1"},   {19, "1"}, {20, ""},  {90, ""},    {91, "0"},   {100, "0"},
      {109, "0"}, {110, ""}, {180, ""}, {181, "-1"}, {200, "-1"},
  };
  for (const auto& [position, red] : table) {
    EditPanel()->trb_Energy->setValue(position);
    EXPECT_EQ(RedLevel(), red) << "position " << position;
    EXPECT_EQ(Level(), std::to_string(position));
  }
}

TEST_F(Panel, TrackBarRunsFromOneAtTheTopToMinusOneAtTheBottom) {
  StartWith(
      "  <day name=\"01.02.03\">\n    <experience number=\"1\" title=\"A\">\n    </experience>\n  "
      "</day>\n");
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
      "    <experience number=\"1\" title=\"A\">\n      <energy level=\"150\" />\n    "
      "</experience>\n"
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
      "    <experience number=\"1\" title=\"A\">\n      <energy level=\"30\" />\n    "
      "</experience>\n"
      "    <experience number=\"2\" title=\"B\">\n      <energy />\n    </experience>\n"
      "    <experience number=\"3\" title=\"C\">\n      <energy level=\"30\" />\n    "
      "</experience>\n"
      "    <experience number=\"4\" title=\"D\">\n      <energy level=\"высоко\" />\n    "
      "</experience>\n"
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

}  // namespace
