// The editing panel's picture, read-only lock and layout through the real
// window.
#include "panel_fixture.h"

namespace {

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
        "      <image path=\"" +
        NativePath("red.bmp") +
        "\" />\n    </experience>\n"
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
  EXPECT_TRUE(
      Prompts->Asked.back().Filter.startsWith(U("Windows BMP (*.bmp)|*.bmp|Все файлы (*.*)|*.*|")));
  EXPECT_TRUE(Prompts->Asked.back().Filter.contains("*.png"));
  EXPECT_TRUE(Prompts->Asked.back().Filter.contains("*.jpg"));
  EXPECT_EQ(ShownPictureColour(), QColor(0, 0, 255));

  QTest::mouseClick(EditPanel()->btn_LoadImage, Qt::LeftButton);
  EXPECT_EQ(EditPanel()->img_Image->pixmap().size(), QSize(30, 30));
  EXPECT_NE(SavedJournal().find("    <experience number=\"1\" title=\"Plain\">\n"
                                "      <image path=\"" +
                                NativePath("teal.jpg") +
                                "\" />\n"
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
  StartWith(
      "  <day name=\"01.02.03\">\n    <experience number=\"1\" title=\"A\">\n    </experience>\n  "
      "</day>\n");
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
  for (QWidget* w : std::initializer_list<QWidget*>{
           EditPanel()->edt_Number, EditPanel()->edt_Name, EditPanel()->btn_ReadOnly,
           EditPanel()->trb_Energy, EditPanel()->lbl_ZeroEnergyLevel, Box(3),
           EditPanel()->pnl_HTMLEditor})
    EXPECT_TRUE(w->isVisible()) << w->objectName().toStdString();
  for (QWidget* w :
       std::initializer_list<QWidget*>{EditPanel()->mmo_Description, EditPanel()->lbl_Description,
                                       EditPanel()->mmo_Comment, EditPanel()->img_Image})
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
      "    <experience number=\"2\" title=\"Web\" type=\"html\" file=\"web.html\">\n    "
      "</experience>\n"
      "  </day>\n");
  EXPECT_EQ(Form->minimumSize(), QSize(640, 480));
  const char* shown[][2] = {
      {"01.02.03", nullptr}, {"01.02.03", "1. Plain"}, {"01.02.03", "2. Web"}};
  for (QSize size : {QSize(640, 480), QSize(1100, 760)}) {
    Form->resize(size);
    QApplication::processEvents();
    for (const auto& item : shown) {
      Show(item[0], item[1]);
      // The panel covers the whole work area, with no need to scroll there;
      // its controls stay inside it.
      ASSERT_EQ(EditPanel()->scr_WorkArea->geometry(), Form->pnl_WorkArea->rect());
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
        EXPECT_TRUE(area.contains(r))
            << name << " outside at " << size.width() << "x" << size.height();
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
