// The options command through the real dialog: what it shows, what it
// writes into the settings and the library, and what the window takes.
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>

#include "dialogs/smr_ParametersForm.h"
#include "main_form_fixture.h"

namespace {

using TScript = std::function<void(Tfrm_ParametersForm&)>;

class Options : public TMainFormFixture {
 protected:
  // Three icons under names of their own, the four captions, bounds, and a
  // library whose owner has no notes.
  void WriteDocuments(const std::string& user = "  <user name=\"Я\" age=\"20\" />\n") {
    WriteFile("lib.xml", kLibraryProlog +
                             "<dreamlibrary name=\"Мои сны\">\n  <directory name=\"Сны\">\n"
                             "  </directory>\n" +
                             user + "</dreamlibrary>\n");
    WriteSettings(
        NativePath("lib.xml"),
        "  <icon name=\"Корень\" path=\"root.bmp\" />\n  <icon name=\"x\" path=\"lib.bmp\" />\n"
        "  <icon name=\"y\" />\n  <form left=\"10\" top=\"10\" width=\"700\" height=\"500\" "
        "treewidth=\"220\" />\n");
  }
  // The next modal dialog must be the options dialog; the script drives it.
  void Queue(const TScript& script) {
    Prompts->Modals.push_back([script](QDialog& shown) {
      auto* dialog = qobject_cast<Tfrm_ParametersForm*>(&shown);
      ASSERT_NE(dialog, nullptr) << shown.objectName().toStdString();
      script(*dialog);
    });
  }
  // Starts, runs the command once with the script, and reports OK.
  void RunOptions(const TScript& script) {
    if (!Form) Start();
    Form->show();
    Queue(script);
    Form->mnu_OptionsClick();
    ASSERT_EQ(Prompts->Count("Modal"), 1);
  }
  // Types over a line edit's text, or on at the end of a memo.
  static void Retype(QWidget* field, const QString& text) {
    if (auto* line = qobject_cast<QLineEdit*>(field)) line->clear();
    Type(field, text);
  }
  static void Ok(Tfrm_ParametersForm& d) { QTest::mouseClick(d.btn_Ok, Qt::LeftButton); }
  // The settings as written, with the form line the window leaves at exit.
  std::string SettingsAfter(const std::string& middle, const std::string& end) {
    const QRect g = Form->geometry();
    const std::string form = "  <form left=\"" + std::to_string(g.left()) + "\" top=\"" +
                             std::to_string(g.top()) + "\" width=\"" + std::to_string(g.width()) +
                             "\" height=\"" + std::to_string(g.height()) + "\" treewidth=\"" +
                             std::to_string(Form->tre_Directory->width()) + "\" />\n";
    return "<?xml version=\"1.0\" encoding=\"windows-1251\" "
           "standalone=\"yes\"?>\n\n\n<settings>\n" +
           middle + form + "  <library path=\"" + NativePath("lib.xml") + "\" />\n" + end +
           "</settings>\n";
  }
};

TEST_F(Options, FillsFromBothDocumentsAndAppliesInOrder) {
  WriteDocuments();
  RunOptions([this](Tfrm_ParametersForm& d) {
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Параметры системы"));
    EXPECT_EQ(d.pgc_Parameters->currentIndex(), 0);
    const QRect g = Form->geometry();
    EXPECT_EQ(d.Bounds(), (Tfrm_ParametersForm::TBounds{g.x(), g.y(), g.width(), g.height(),
                                                        Form->tre_Directory->width()}));
    EXPECT_EQ(d.edt_LibraryFileName->text(), Path("lib.xml"));
    EXPECT_EQ(d.edt_Icons[1]->text(), "lib.bmp");
    EXPECT_EQ(d.edt_Icons[2]->text(), "");
    EXPECT_EQ(d.edt_Labels[1]->text(), QStringLiteral("Астральная проекция"));
    EXPECT_FALSE(d.box_Delete->isChecked());  // no options element
    EXPECT_TRUE(d.tsh_User->isEnabled());
    EXPECT_EQ(d.edt_Name->text(), QStringLiteral("Я"));
    EXPECT_EQ(d.upd_Age->value(), 20);
    EXPECT_EQ(d.mmo_AdditionalNotes->toPlainText(), "");

    d.SetBounds({20, 30, 720, 520, 250});
    d.edt_Labels[1]->clear();
    Retype(d.edt_Labels[3], QStringLiteral("\"Иное\" <b>"));
    Retype(d.edt_Icons[3], "file.bmp");
    Retype(d.edt_Name, QStringLiteral("Иван"));
    Retype(d.findChild<QLineEdit*>("edt_Age"), "33");
    Retype(d.mmo_AdditionalNotes, QStringLiteral("Летал"));
    QTest::keyClick(d.mmo_AdditionalNotes, Qt::Key_Return);
    Retype(d.mmo_AdditionalNotes, QStringLiteral("над морем <низко>"));
    Retype(d.edt_Dictionary, "dict.xml");
    Ok(d);
  });
  // Geometry and captions at once; the confirmation only at the next start.
  EXPECT_EQ(Form->geometry(), QRect(20, 30, 720, 520));
  EXPECT_EQ(Form->tre_Directory->width(), 250);
  EXPECT_EQ(EditPanel()->box_Label2->text(), "");
  EXPECT_EQ(EditPanel()->box_Label4->text(), QStringLiteral("”Иное” ‹b›"));
  EXPECT_TRUE(Form->ConfirmDelete());
  const std::string settings = SettingsAfter(
      "  <label caption=\"Осознанный сон\" />\n  <label caption=\"Выход из тела\" />\n"
      "  <label caption=\"”Иное” ‹b›\" />\n  <icon name=\"Opened Node\" path=\"root.bmp\" />\n"
      "  <icon name=\"Dream Library\" path=\"lib.bmp\" />\n"
      "  <icon name=\"Dream Directory\" path=\"\" />\n",
      "  <icon name=\"Dream File\" path=\"file.bmp\" />\n  <icon name=\"One Night\" path=\"\" />\n"
      "  <icon name=\"One Dream\" path=\"\" />\n  <options confirmdelete=\"no\" />\n");
  Stop();
  EXPECT_EQ(ReadText("dreams.ini"), settings);
  EXPECT_EQ(ReadText("lib.xml"),
            kLibraryProlog +
                "<dreamlibrary name=\"Мои сны\">\n  <directory name=\"Сны\">\n  </directory>\n"
                "  <user name=\"Иван\" age=\"33\" nick=\"\" email=\"\" sex=\":)\">Летал\nнад морем "
                "‹низко></user>\n"
                "  <additional dictionary=\"dict.xml\" vocabulary=\"\" />\n</dreamlibrary>\n");
  // The removed second label lets the third caption name the second mark.
  Start();
  EXPECT_EQ(EditPanel()->box_Label2->text(), QStringLiteral("Выход из тела"));
}

TEST_F(Options, SexAndNotesFollowTheFields) {
  struct TCase {
    const char* user;
    QRadioButton* Tfrm_ParametersForm::*tick;  // null: none chosen
    const char* notes;                         // null: left as shown
    const char* written;
  };
  const TCase cases[] = {
      {"<user sex=\"femininum\">Старое</user>", &Tfrm_ParametersForm::rab_Masculinum, "",
       "<user sex=\"masculinum\" name=\"\" nick=\"\" email=\"\" age=\"0\">\n  </user>"},
      {"<user sex=\"?\" age=\"200\" />", nullptr, "Новое",
       "<user sex=\":)\" age=\"150\" name=\"\" nick=\"\" email=\"\">Новое</user>"},
      {"<user sex=\":)\">Было</user>", &Tfrm_ParametersForm::rab_Femininum, "Стало",
       "<user sex=\"femininum\" name=\"\" nick=\"\" email=\"\" age=\"0\">Стало</user>"},
      {"<user>Было\nещё</user>", nullptr, nullptr,
       // the reader joins the lines of a text; the notes go back as read
       "<user name=\"\" nick=\"\" email=\"\" age=\"0\" sex=\":)\">Было ещё</user>"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.user);
    WriteDocuments("  " + std::string(c.user) + "\n");
    RunOptions([&c](Tfrm_ParametersForm& d) {
      if (c.tick) (d.*c.tick)->click();
      if (c.notes) d.mmo_AdditionalNotes->setPlainText(QString::fromUtf8(c.notes));
      Ok(d);
    });
    Stop();
    EXPECT_NE(ReadText("lib.xml").find("\n  " + std::string(c.written) + "\n"), std::string::npos)
        << ReadText("lib.xml");
  }
}

TEST_F(Options, AShownExperienceTakesItsMarksAtOnce) {
  WriteFile(
      "journal.xml",
      kJournalProlog +
          "<somnary>\n  <day name=\"01.02.03\">\n"
          "    <experience number=\"1\" title=\"A\">\n    </experience>\n  </day>\n</somnary>\n");
  WriteDocuments("  <directory name=\"К\">\n    <file name=\"Ж\" path=\"" +
                 NativePath("journal.xml") + "\" />\n  </directory>\n");
  Start();
  Select(Node({QStringLiteral("Мои сны"), QStringLiteral("К"), QStringLiteral("Ж")}));
  Select(Node(
      {QStringLiteral("Мои сны"), QStringLiteral("К"), QStringLiteral("Ж"), "01.02.03", "1. A"}));
  ASSERT_TRUE(EditPanel()->box_Label4->isVisibleTo(EditPanel()));
  RunOptions([](Tfrm_ParametersForm& d) {
    Retype(d.edt_Labels[0], QStringLiteral("Выход \"из\" тела и долгий полёт"));
    d.edt_Labels[1]->clear();
    Ok(d);
  });
  const QCheckBox* boxes[4] = {EditPanel()->box_Label1, EditPanel()->box_Label2,
                               EditPanel()->box_Label3, EditPanel()->box_Label4};
  EXPECT_TRUE(boxes[0]->isVisibleTo(EditPanel()));
  // The longer caption has its room at once.
  EXPECT_EQ(boxes[0]->text(), QStringLiteral("Выход ”из” тела и долгий полёт"));
  EXPECT_GE(boxes[0]->width(), boxes[0]->sizeHint().width());
  for (int i = 1; i < 4; ++i) EXPECT_FALSE(boxes[i]->isVisibleTo(EditPanel())) << i;
}

TEST_F(Options, CancelWritesNothing) {
  WriteDocuments();
  Start();
  Form->show();
  Stop();  // the first exit settles the bounds the shown window writes
  const std::string settings = ReadBytes("dreams.ini"), library = ReadBytes("lib.xml");
  RunOptions([](Tfrm_ParametersForm& d) {
    d.SetBounds({0, 0, 640, 480, 0});
    d.edt_Labels[0]->clear();
    d.edt_Name->setText("X");
    d.box_Delete->setChecked(true);
    QTest::mouseClick(d.btn_Cancel, Qt::LeftButton);
  });
  EXPECT_EQ(EditPanel()->box_Label1->text(), QStringLiteral("Осознанный сон"));
  Stop();
  EXPECT_EQ(ReadBytes("dreams.ini"), settings);
  EXPECT_EQ(ReadBytes("lib.xml"), library);
}

TEST_F(Options, WithoutALibraryOnlyTheSettingsChange) {
  WriteSettings("");
  RunOptions([](Tfrm_ParametersForm& d) {
    EXPECT_FALSE(d.tsh_User->isEnabled());
    EXPECT_FALSE(d.tsh_Additional->isEnabled());
    d.box_Delete->setChecked(true);
    Ok(d);
  });
  Stop();
  EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files), QStringList{"dreams.ini"});
  const std::string settings = ReadText("dreams.ini");
  EXPECT_NE(settings.find("  <library path=\"\" />\n"), std::string::npos);
  EXPECT_NE(settings.find("  <options confirmdelete=\"yes\" />\n"), std::string::npos);
}

TEST_F(Options, FileButtonsShareOneDialogStartingFromTheField) {
  WriteDocuments();
  const char* library = "Библиотека сновидений (*.xml)|*.xml|Любое расширение (*.*)|*.*";
  const char* icon = "Windows BMP (*.bmp)|*.bmp|Все файлы (*.*)|*.*";
  const char* extra = "Дополнительный файл (*.xml)|*.xml|Любое расширение (*.*)|*.*";
  RunOptions([&](Tfrm_ParametersForm& d) {
    const std::pair<QPushButton*, QLineEdit*> buttons[] = {
        {d.btn_LibraryFileName, d.edt_LibraryFileName},
        {d.btn_Icons[0], d.edt_Icons[0]},
        {d.btn_Icons[5], d.edt_Icons[5]},
        {d.btn_Dictionary, d.edt_Dictionary},
        {d.btn_DreamVocabulary, d.edt_DreamVocabulary}};
    for (const auto& [button, field] : buttons) {
      field->setText("start " + button->objectName());
      Prompts->OpenFiles.push_back("");  // cancelled: the field keeps its text
      button->click();
      EXPECT_EQ(Form->dlg_OpenFile.FileName, field->text());
      Prompts->OpenFiles.push_back("/chosen/" + button->objectName());
      button->click();
      EXPECT_EQ(field->text(), "/chosen/" + button->objectName());
    }
    QTest::mouseClick(d.btn_Cancel, Qt::LeftButton);
  });
  QStringList filters;
  for (const auto& asked : Prompts->Asked)
    if (asked.Kind == "Open") {
      EXPECT_EQ(asked.Text, QStringLiteral("Выбор библиотеки сновидений"));
      filters << asked.Filter;
    }
  const QStringList expected = {library, library, icon,  icon,  icon,
                                icon,    extra,   extra, extra, extra};
  EXPECT_EQ(filters, expected);
}

TEST_F(Options, BoundsOffEveryScreenAreKeptOnTheWindowsScreen) {
  WriteDocuments();
  Start();
  const QRect screen = Form->screen()->availableGeometry();
  RunOptions([&](Tfrm_ParametersForm& d) {
    EXPECT_EQ(d.upd_XCoordinate->maximum(), Form->screen()->geometry().width());
    EXPECT_EQ(d.upd_TreeWidth->maximum(), Form->screen()->geometry().width() / 2);
    d.SetBounds({d.upd_XCoordinate->maximum(), d.upd_YCoordinate->maximum(), 640, 480, 200});
    Ok(d);
  });
  EXPECT_TRUE(screen.contains(Form->geometry()))
      << Form->geometry().x() << "," << Form->geometry().y();
  EXPECT_EQ(Form->size(), QSize(640, 480));
}

TEST_F(Options, StoredBoundsOffEveryScreenAreKeptOnItAtStart) {
  WriteSettings("", "  <form left=\"5000\" top=\"-3000\" width=\"700\" height=\"500\" />\n");
  Start();
  const QRect screen = Form->screen()->availableGeometry();
  EXPECT_EQ(Form->geometry(), QRect(screen.right() + 1 - 700, screen.top(), 700, 500));
}

TEST(KeepOnScreen, MovesOnlyBoundsNoScreenShows) {
  const QList<QRect> screens = {QRect(0, 0, 1000, 800), QRect(1000, 0, 800, 600)};
  const QRect own = screens[0];
  struct TCase {
    QRect given, kept;
  } const cases[] = {
      {{100, 100, 700, 500}, {100, 100, 700, 500}},   // inside
      {{900, 100, 700, 500}, {900, 100, 700, 500}},   // across both screens
      {{-590, 50, 640, 480}, {-590, 50, 640, 480}},   // 50 pixels still shown
      {{-620, 50, 640, 480}, {0, 50, 640, 480}},      // 20 pixels are not enough
      {{1500, 700, 700, 500}, {300, 300, 700, 500}},  // below the second screen
      {{0, 0, 2500, 900}, {0, 0, 2500, 900}},         // oversized but shown
      {{3000, 3000, 2500, 900}, {0, 0, 1000, 800}},   // oversized and off: shrunk
  };
  for (const TCase& c : cases)
    EXPECT_EQ(KeepOnScreen(c.given, screens, own), c.kept) << c.given.x();
}

TEST_F(Options, CtrlPOpensTheDialog) {
  WriteSettings("");
  Start();
  EXPECT_TRUE(Form->mnu_File->actions().contains(Form->mnu_Options));
  EXPECT_EQ(Form->mnu_Options->text(), QStringLiteral("&Параметры"));
  Form->show();
  Form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
  Queue([](Tfrm_ParametersForm& d) {
    EXPECT_TRUE(d.btn_Ok->isDefault());
    QTest::mouseClick(d.btn_Cancel, Qt::LeftButton);
  });
  QTest::keyClick(Form.get(), Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(Prompts->Count("Modal"), 1);
}

}  // namespace
