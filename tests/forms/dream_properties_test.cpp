// The dream properties button of the main window: the dialog built from
// the settings at start-up, driven through its widgets, and the journal
// bytes saved afterwards.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "forms/smr_UserForm.h"
#include "main_form_fixture.h"

namespace {

const std::string kForm =
    "  <dream-form width=\"320\" height=\"200\">\n"
    "    <static value=\"Место:\" />\n"
    "    <edit id=\"place\" />\n"
    "    <group id=\"questions\" value=\"Вопросы\">\n"
    "      <checkbox id=\"nightmare\" value=\"Кошмар\" />\n"
    "      <checkbox id=\"vivid\" value=\"Яркий\" top=\"20\" />\n"
    "    </group>\n"
    "    <select id=\"mood\">\n"
    "      <option value=\"Спокойное\" />\n"
    "      <option value=\"Тревожное\" />\n"
    "    </select>\n"
    "    <button id=\"ok\" value=\"OK\" action=\"ok\" />\n"
    "    <button id=\"cancel\" value=\"Отмена\" action=\"cancel\" />\n"
    "  </dream-form>\n";

const std::string kPlain =
    "    <experience number=\"1\" title=\"Сон\">\n"
    "      <energy level=\"100\" />\n"
    "    </experience>\n";

class DreamProperties : public TMainFormFixture {
 protected:
  std::string Library;

  // One night "01.01.26" holding `experiences`, under the library
  // "Библиотека" / "Каталог" / "Журнал".
  void StartWith(const std::string& form, const std::string& experiences, bool selectNight = true) {
    WriteFile("journal.xml", Journal(experiences));
    Library = kLibraryProlog +
              "<dreamlibrary name=\"Библиотека\">\n  <directory name=\"Каталог\">\n"
              "    <file name=\"Журнал\" path=\"" +
              NativePath("journal.xml") + "\" />\n  </directory>\n</dreamlibrary>\n";
    WriteFile("library.xml", Library);
    WriteSettings(NativePath("library.xml"), form);
    Start();
    Form->show();
    if (!selectNight) return;
    Select(Node({"Библиотека", "Каталог", "Журнал"}));
    Select(Node({"Библиотека", "Каталог", "Журнал", "01.01.26"}));
  }
  static std::string Journal(const std::string& experiences) {
    return kJournalProlog + "<somnary>\n  <day name=\"01.01.26\">\n" + experiences +
           "  </day>\n</somnary>\n";
  }
  void ShowExperience(const char* caption) {
    QTreeWidgetItem* item = Node({"Библиотека", "Каталог", "Журнал", "01.01.26", U(caption)});
    ASSERT_NE(item, nullptr) << caption;
    Select(item);
  }
  // Clicks the button; `drive` works the shown dialog's widgets.
  void Open(std::function<void(Tfrm_DreamProperties&)> drive) {
    Prompts->Modals.push_back(
        [drive](QDialog& dialog) { drive(static_cast<Tfrm_DreamProperties&>(dialog)); });
    QTest::mouseClick(EditPanel()->btn_DreamProperties, Qt::LeftButton);
  }
  template <typename T>
  static T* Control(Tfrm_DreamProperties& dialog, const char* name) {
    T* control = dialog.pnl_WorkArea->findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  static void Click(Tfrm_DreamProperties& dialog, const char* button) {
    QTest::mouseClick(Control<QPushButton>(dialog, button), Qt::LeftButton);
  }
  std::string SavedJournal() {
    Form->btn_SaveClick();
    EXPECT_EQ(Prompts->Count("Error"), 0);
    return ReadText("journal.xml");
  }
};

TEST_F(DreamProperties, OkWithoutPropertiesCreatesOneParameterPerValueControl) {
  StartWith(kForm, kPlain);
  ShowExperience("1. Сон");
  QPushButton* button = EditPanel()->btn_DreamProperties;
  ASSERT_TRUE(button->isVisible());
  ASSERT_TRUE(button->isEnabled());
  QPoint shownAt;
  Open([&](Tfrm_DreamProperties& dialog) {
    shownAt = dialog.pos();
    EXPECT_EQ(dialog.size(), QSize(320, 200));
    Click(dialog, "ok");
  });
  EXPECT_EQ(Prompts->Messages("Modal"), QStringList{"frm_DreamProperties"});
  EXPECT_EQ(shownAt, button->mapToGlobal(QPoint(0, button->height() + 2)))
      << "just below the button";
  EXPECT_EQ(SavedJournal(),
            Journal("    <experience number=\"1\" title=\"Сон\">\n"
                    "      <energy level=\"100\" />\n"
                    "      <properties>\n"
                    "        <parameter control=\"place\" value=\"\" />\n"
                    "        <parameter control=\"questions\">\n"
                    "          <parameter control=\"nightmare\" value=\"false\" />\n"
                    "          <parameter control=\"vivid\" value=\"false\" />\n"
                    "        </parameter>\n"
                    "        <parameter control=\"mood\" value=\"\" />\n"
                    "      </properties>\n"
                    "    </experience>\n"));
}

TEST_F(DreamProperties, ATallDialogNearTheScreensEdgeIsShrunkAndMovedWhole) {
  std::string tall = kForm;
  tall.replace(tall.find("height=\"200\""), 12, "height=\"2000\"");
  StartWith(tall, kPlain);
  ShowExperience("1. Сон");
  const QRect available = Form->screen()->availableGeometry();
  Form->move(available.right() - Form->frameGeometry().width() / 2, available.bottom() - 40);
  QRect shown;
  Open([&](Tfrm_DreamProperties& dialog) {
    shown = dialog.frameGeometry();
    Click(dialog, "ok");
  });
  EXPECT_TRUE(available.contains(shown))
      << shown.x() << "," << shown.y() << " " << shown.width() << "x" << shown.height();
  EXPECT_EQ(shown.width(), 320);
  EXPECT_EQ(shown.height(), available.height());
}

TEST_F(DreamProperties, EveryOtherEndCreatesNothing) {
  StartWith(kForm, kPlain);
  ShowExperience("1. Сон");
  const std::vector<std::function<void(Tfrm_DreamProperties&)>> ends = {
      [](Tfrm_DreamProperties& d) { Click(d, "cancel"); },
      [](Tfrm_DreamProperties& d) {
        Control<QLineEdit>(d, "place")->setText("typed");
        QTest::keyClick(&d, Qt::Key_Escape);
      },
      [](Tfrm_DreamProperties& d) { d.close(); },
  };
  for (const auto& end : ends) Open(end);
  EXPECT_EQ(Prompts->Count("Modal"), 3);
  EXPECT_EQ(SavedJournal(), Journal(kPlain));
}

TEST_F(DreamProperties, TypedValuesAreLoadedByNameAndStoredByPosition) {
  StartWith(
      kForm,
      "    <experience number=\"2\" title=\"Лес\">\n"
      "      <properties label1=\"true\" label2=\"false\" label3=\"false\" label4=\"false\">\n"
      "        <parameter control=\"mood\" value=\"Тревожное\" />\n"
      "        <parameter control=\"questions\">\n"
      "          <parameter control=\"vivid\" value=\"true\" />\n"
      "        </parameter>\n"
      "        <parameter control=\"place\" value=\"Лес\" />\n"
      "        <parameter control=\"old\" value=\"kept\" />\n"
      "      </properties>\n"
      "    </experience>\n");
  ShowExperience("2. Лес");
  Open([](Tfrm_DreamProperties& d) {
    auto* place = Control<QLineEdit>(d, "place");
    EXPECT_EQ(place->text(), U("Лес"));
    EXPECT_EQ(Control<QComboBox>(d, "mood")->currentText(), U("Тревожное"));
    EXPECT_TRUE(Control<QCheckBox>(d, "vivid")->isChecked());
    QTest::keyClick(place, Qt::Key_End);
    QTest::keyClicks(place, " \"x\" > y");
    QTest::mouseClick(Control<QCheckBox>(d, "nightmare"), Qt::LeftButton, {}, QPoint(6, 8));
    QTest::keyClick(Control<QComboBox>(d, "mood"), Qt::Key_Up);
    Click(d, "ok");
  });
  // Storing goes by position: the static label deletes the first
  // parameter (mood), and each control takes over the one now at its place,
  // with the attributes and children it had. Typed quotes and `>` pass the
  // text edge.
  EXPECT_EQ(
      SavedJournal(),
      Journal(
          "    <experience number=\"2\" title=\"Лес\">\n"
          "      <properties label1=\"true\" label2=\"false\" label3=\"false\" label4=\"false\">\n"
          "        <parameter control=\"place\" value=\"Лес ”x” › y\">\n"
          "          <parameter control=\"vivid\" value=\"true\" />\n"
          "        </parameter>\n"
          "        <parameter control=\"questions\" value=\"Лес\">\n"
          "          <parameter control=\"nightmare\" value=\"true\" />\n"
          "          <parameter control=\"vivid\" value=\"true\" />\n"
          "        </parameter>\n"
          "        <parameter control=\"mood\" value=\"Спокойное\" />\n"
          "      </properties>\n"
          "    </experience>\n"));
}

TEST_F(DreamProperties, LockedExperiencesKeepTheirPropertiesAndNightsHaveNoButton) {
  StartWith(kForm,
            "    <experience number=\"4\" title=\"Замок\" readonly=\"true\">\n"
            "      <energy level=\"100\" />\n"
            "    </experience>\n");
  EXPECT_FALSE(EditPanel()->btn_DreamProperties->isVisible());
  ShowExperience("4. Замок");
  EXPECT_TRUE(EditPanel()->btn_DreamProperties->isVisible());
  EXPECT_FALSE(EditPanel()->btn_DreamProperties->isEnabled());
}

// A bad description is told once at start-up; the program goes on with the
// controls built before the fault, and no document changes.
TEST_F(DreamProperties, BadDescriptionIsToldOnceAndTheProgramGoesOn) {
  const struct {
    const char* form;
    const char* element;
    const char* text;
    QStringList built;
  } cases[] = {
      {"    <edit id=\"place\" />\n    <edit id=\"people\" width=\"wide\" />\n    <edit "
       "id=\"after\" />\n",
       "edit",
       "wide",
       {"place"}},
      {"    <edit id=\"place\" />\n    <option value=\"Сон\" />\n    <edit id=\"after\" />\n",
       "option",
       "Сон",
       {"place"}},
      {"    <group id=\"g\">\n      <checkbox id=\"да-нет\" />\n    </group>\n    <edit "
       "id=\"after\" />\n",
       "checkbox",
       "да-нет",
       {"g"}},
      {"    <edit id=\"place\" />\n    <group id=\"g\" />\n    <edit id=\"place\" />\n",
       "edit",
       "place",
       {"place", "g"}},
  };
  for (const auto& c : cases) {
    StartWith(std::string("  <dream-form>\n") + c.form + "  </dream-form>\n" +
                  "  <dream-form>\n    <edit id=\"second\" />\n  </dream-form>\n",
              kPlain, false);
    const QStringList errors = Prompts->Messages("Error");
    ASSERT_EQ(errors.size(), 1) << c.form;
    EXPECT_TRUE(errors[0].contains(U("«") + c.element + U("»")) &&
                errors[0].contains(U("«") + U(c.text) + U("»")))
        << errors[0].toStdString();
    QStringList built;
    for (QWidget* w : Form->frm_DreamProperties->pnl_WorkArea->findChildren<QWidget*>(
             QString(), Qt::FindDirectChildrenOnly))
      built << w->objectName();
    EXPECT_EQ(built, c.built) << c.form;
    ASSERT_NE(Node({"Библиотека", "Каталог", "Журнал"}), nullptr)
        << "the library opened all the same";
    const std::string settings = ReadBytes("dreams.ini");
    Stop();
    EXPECT_EQ(ReadText("journal.xml"), Journal(kPlain));
    EXPECT_EQ(ReadText("library.xml"), Library);
    const std::size_t kept = settings.find("  <library");
    EXPECT_EQ(ReadBytes("dreams.ini").substr(0, kept), settings.substr(0, kept));
  }
}

TEST_F(DreamProperties, DialogSizeThatIsNotANumberBuildsNothing) {
  StartWith("  <dream-form width=\"4OO\">\n    <edit id=\"place\" />\n  </dream-form>\n", kPlain,
            false);
  EXPECT_EQ(Prompts->Messages("Error").size(), 1);
  EXPECT_TRUE(Prompts->Messages("Error").value(0).contains(U("«dream-form» значение «4OO»")));
  EXPECT_EQ(Form->frm_DreamProperties->size(), QSize(472, 333));
  EXPECT_EQ(Form->frm_DreamProperties->pnl_WorkArea->findChild<QWidget*>("place"), nullptr);
}

}  // namespace
