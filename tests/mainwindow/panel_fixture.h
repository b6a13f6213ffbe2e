#pragma once

// The editing panel's fixture: a library over one journal, shown in the
// real window, with helpers to select, click and type.
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "editor/smr_HTMLEditor.h"
#include "main_form_fixture.h"
#include "mainwindow/smr_ClickLabel.h"
#include "storage/smr_Types.h"

inline const QColor kRed(255, 0, 0);
inline const QColor kBlack(0, 0, 0);

class Panel : public TMainFormFixture {
 protected:
  // A library "Библиотека" / "Каталог" / "Журнал" over journal.xml holding
  // `days`; `labels` are the mark captions (nullptr: a label without caption).
  void StartWith(const std::string& days,
                 std::vector<const char*> labels = {"Осознанный сон", "Астральная проекция",
                                                    "Выход из тела", "Другой опыт"}) {
    WriteFile("journal.xml", kJournalProlog + "<somnary>\n" + days + "</somnary>\n");
    WriteFile("library.xml", kLibraryProlog +
                                 "<dreamlibrary name=\"Библиотека\">\n"
                                 "  <directory name=\"Каталог\">\n"
                                 "    <file name=\"Журнал\" path=\"" +
                                 NativePath("journal.xml") +
                                 "\" />\n  </directory>\n</dreamlibrary>\n");
    std::string settings =
        "<?xml version=\"1.0\" encoding=\"windows-1251\" standalone=\"yes\"?>\n\n\n<settings>\n";
    for (const char* caption : labels)
      settings +=
          caption ? "  <label caption=\"" + std::string(caption) + "\" />\n" : "  <label />\n";
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
    QCheckBox* boxes[4] = {EditPanel()->box_Label1, EditPanel()->box_Label2,
                           EditPanel()->box_Label3, EditPanel()->box_Label4};
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
      EXPECT_EQ(EditPanel()->pnl_HTMLEditor->pgc_HTMLEditor->isTabEnabled(1), !locked);
    }
  }
  std::string Level() const {
    TXMLNode* energy = Shown()->FindNode(smr::elEnergy);
    return energy ? energy->GetAttribute(smr::atLevel) : "<no energy>";
  }

  void WriteImage(const QString& name, int width, int height, const QColor& colour,
                  const char* format) {
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
