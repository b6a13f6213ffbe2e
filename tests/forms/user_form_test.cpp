// The dream properties dialog on its own: its results, and the walks that
// carry values between its controls and a `properties` element.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

#include "form_test_util.h"
#include "forms/smr_UserForm.h"
#include "storage/smr_SettingsFile.h"
#include "xml/xml_node.h"

namespace {

const char* const kForm =
    "<dream-form width=\"300\" height=\"200\">"
    "<static id=\"caption\" value=\"Место:\" /><edit id=\"place\" />"
    "<group id=\"questions\"><checkbox id=\"nightmare\" /><static /><checkbox id=\"vivid\" "
    "/></group>"
    "<select id=\"mood\"><option value=\"Спокойное\" /><option value=\"Тревожное\" /></select>"
    "<textarea id=\"notes\" /><radio id=\"colour\" /><button id=\"ok\" action=\"ok\" />"
    "<separator /><button id=\"cancel\" action=\"cancel\" /></dream-form>";

class Dialog : public ::testing::Test {
 protected:
  Tfrm_DreamProperties Form;
  std::unique_ptr<TXMLParser> Journal;

  void SetUp() override {
    auto settings = ParseForm(kForm);
    QString error;
    ASSERT_TRUE(Form.BuildForm(*settings->Root, error)) << error.toStdString();
  }
  template <typename T>
  T* Find(const char* name) const {
    return Form.pnl_WorkArea->findChild<T*>(QString::fromUtf8(name));
  }
  // An experience with the given `properties` lines (UTF-8, LF).
  TXMLNode* Properties(const std::string& lines) {
    Journal = ParseForm("<experience number=\"1\">\n" + lines + "</experience>\n");
    return Journal->Root->FindNode("properties");
  }
  // The experience as the journal writer puts it, UTF-8 with LF.
  std::string Written() const {
    std::string text = test_files::FileText(Journal->SaveToText());
    return text.erase(0, text.find("<experience"));
  }
  void Store(TXMLNode* properties) {
    Tfrm_DreamProperties::StoreValues(properties, Form.pnl_WorkArea);
  }
  void Load(const TXMLNode* properties) {
    Tfrm_DreamProperties::ClearValues(Form.pnl_WorkArea);
    Tfrm_DreamProperties::LoadValues(properties, Form.pnl_WorkArea);
  }
};

TEST(DialogWindow, BorderlessSizedAndEndedAsOkOrCancel) {
  Tfrm_DreamProperties form;
  EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(form.size(), QSize(472, 333));
  EXPECT_EQ(form.windowTitle(), "frm_DreamProperties");
  auto settings =
      ParseForm("<dream-form height=\"120\"><button id=\"go\" action=\"close\" /></dream-form>");
  QString error;
  ASSERT_TRUE(form.BuildForm(*settings->Root, error));
  EXPECT_EQ(form.size(), QSize(472, 120));
  form.show();
  EXPECT_EQ(form.pnl_WorkArea->geometry(), form.rect());

  const struct {
    const char* how;
    std::function<void()> end;
    int result;
  } ends[] = {
      {"action close",
       [&] { QTest::mouseClick(form.findChild<QPushButton*>("go"), Qt::LeftButton); }, 1},
      {"ClickOk", [&] { form.ClickOk(); }, 1},
      {"ClickCancel", [&] { form.ClickCancel(); }, 2},
      {"Escape", [&] { QTest::keyClick(&form, Qt::Key_Escape); }, 2},
      {"closed", [&] { form.close(); }, 2},
  };
  for (const auto& e : ends) {
    form.setResult(0);
    form.show();
    e.end();
    EXPECT_EQ(form.result(), e.result) << e.how;
    EXPECT_FALSE(form.isVisible()) << e.how;
  }
}

TEST_F(Dialog, StoringIntoAnEmptyElementGivesOneParameterPerValueControl) {
  TXMLNode* properties = Properties("  <properties label1=\"true\" />\n");
  Load(properties);
  Find<QLineEdit>("place")->setText(U("Берег \"моря\" > ☺"));
  Find<QCheckBox>("vivid")->setChecked(true);
  Find<QComboBox>("mood")->setCurrentIndex(1);
  Find<QPlainTextEdit>("notes")->setPlainText(U("первая\nвторая"));
  Store(properties);
  EXPECT_EQ(Written(),
            "<experience number=\"1\">\n"
            "  <properties label1=\"true\">\n"
            "    <parameter control=\"place\" value=\"Берег ”моря” › ?\" />\n"
            "    <parameter control=\"questions\">\n"
            "      <parameter control=\"nightmare\" value=\"false\" />\n"
            "      <parameter control=\"vivid\" value=\"true\" />\n"
            "    </parameter>\n"
            "    <parameter control=\"mood\" value=\"Тревожное\" />\n"
            "    <parameter control=\"notes\" value=\"первая\nвторая\" />\n"
            "    <parameter control=\"colour\" value=\"false\" />\n"
            "  </properties>\n"
            "</experience>\n");
  // The reader joins the lines of a multi-line value with a blank.
  TXMLParser reread;
  reread.LoadFromText(Journal->SaveToText());
  Load(reread.Root->FindNode("properties"));
  EXPECT_EQ(Find<QPlainTextEdit>("notes")->toPlainText(), U("первая вторая"));
  EXPECT_EQ(Find<QLineEdit>("place")->text(), U("Берег ”моря” › ?"));
}

TEST_F(Dialog, LoadingMatchesByNameAndClearsWhatIsNotStored) {
  Find<QLineEdit>("place")->setText("left over");
  Find<QCheckBox>("nightmare")->setChecked(true);
  TXMLNode* properties = Properties(
      "  <properties>\n"
      "    <parameter control=\"mood\" value=\"Спокойное\" />\n"
      "    <parameter control=\"gone\" value=\"x\" />\n"
      "    <parameter control=\"questions\">\n"
      "      <parameter control=\"vivid\" value=\"true\" />\n"
      "    </parameter>\n"
      "    <parameter control=\"colour\" value=\"true\" />\n"
      "    <parameter control=\"notes\" />\n"
      "  </properties>\n");
  Load(properties);
  EXPECT_EQ(Find<QComboBox>("mood")->currentText(), U("Спокойное"));
  EXPECT_EQ(Find<QLineEdit>("place")->text(), QString());
  EXPECT_FALSE(Find<QCheckBox>("nightmare")->isChecked());
  EXPECT_TRUE(Find<QCheckBox>("vivid")->isChecked());
  EXPECT_TRUE(Find<QRadioButton>("colour")->isChecked());
  EXPECT_EQ(Find<QPlainTextEdit>("notes")->toPlainText(), QString()) << "no value shows as empty";

  // A mark alone, or a list value no longer offered: all cleared.
  Load(Properties("  <properties label1=\"true\" />\n"));
  EXPECT_FALSE(Find<QRadioButton>("colour")->isChecked());
  TXMLNode* stale = Properties(
      "  <properties>\n    <parameter control=\"mood\" value=\"Весёлое\" />\n  </properties>\n");
  Load(stale);
  EXPECT_EQ(Find<QComboBox>("mood")->currentIndex(), -1);
  Store(stale);
  EXPECT_EQ(stale->Child(0)->GetAttribute("control"), "place");
  EXPECT_EQ(stale->Child(2)->GetAttribute("control"), "mood");
  EXPECT_EQ(stale->Child(2)->GetAttribute("value"), "");
}

TEST(DialogStore, StoresByPositionAndKeepsTheChildrenBeyond) {
  Tfrm_DreamProperties form;
  auto settings =
      ParseForm("<dream-form><static value=\"Место\" /><edit id=\"place\" /></dream-form>");
  QString error;
  ASSERT_TRUE(form.BuildForm(*settings->Root, error));
  form.findChild<QLineEdit*>("place")->setText(U("Лес"));
  auto journal = ParseForm(
      "<properties>\n"
      "  <parameter control=\"a\" value=\"1\" />\n"
      "  <parameter control=\"b\" value=\"2\" note=\"kept\" />\n"
      "  <parameter control=\"c\" value=\"3\" />\n"
      "  <parameter control=\"d\" value=\"4\" />\n"
      "</properties>\n");
  Tfrm_DreamProperties::StoreValues(journal->Root.get(), form.pnl_WorkArea);
  std::string text = test_files::FileText(journal->SaveToText());
  text.erase(0, text.find("<properties"));
  // The static label deleted the first, the edit box reused the second.
  EXPECT_EQ(text,
            "<properties>\n"
            "  <parameter control=\"place\" value=\"Лес\" note=\"kept\" />\n"
            "  <parameter control=\"c\" value=\"3\" />\n"
            "  <parameter control=\"d\" value=\"4\" />\n"
            "</properties>\n");
}

}  // namespace

namespace {

// The table export's property columns are the names the dialog stores its
// values under, made-up ones included.
TEST(DialogStore, StoredNamesAreTheFormsPropertyNames) {
  auto settings = ParseForm(
      "<settings><dream-form><edit /><group><edit /><checkbox id=\"x\" /><static /></group>"
      "<select><option value=\"a\" /><edit /></select><edit /><textarea /><checkbox />"
      "<radio /><edit id=\"place\" /><button /><radio /></dream-form></settings>");
  Tfrm_DreamProperties form;
  QString error;
  ASSERT_TRUE(form.BuildForm(*settings->FindNode("dream-form"), error)) << error.toStdString();
  TXMLNode properties("properties");
  Tfrm_DreamProperties::StoreValues(&properties, form.pnl_WorkArea);
  std::vector<std::string> stored;
  const auto leaves = [&stored](const TXMLNode& element, const auto& self) -> void {
    for (const auto& child : element.Children)
      if (child->ChildCount() > 0)
        self(*child, self);
      else
        stored.push_back(child->GetAttribute("control"));
  };
  leaves(properties, leaves);
  EXPECT_EQ(stored, std::vector<std::string>({"EDITBOX_0", "EDITBOX_1", "x", "LIST_0", "EDITBOX_2",
                                              "MEMO_0", "CHECKBOX_0", "RADIOBOX_0", "place",
                                              "RADIOBOX_1"}));
  EXPECT_EQ(FormPropertyNames(*settings->Root), stored);
}

// The form that comes with the program builds without a fault, and the
// sample journal's stored values match its controls by name.
TEST(ShippedForm, BuildsAndLoadsTheSampleValues) {
  const QString resources = qEnvironmentVariable("SOMNARY_RESOURCES");
  TXMLParser settings;
  settings.Load((resources + "/dreams.ini").toStdString());
  const TXMLNode* description = settings.FindNode("dream-form");
  ASSERT_NE(description, nullptr);
  Tfrm_DreamProperties form;
  QString error;
  ASSERT_TRUE(form.BuildForm(*description, error)) << error.toStdString();
  EXPECT_EQ(form.size(), QSize(472, 333));
  EXPECT_EQ(ControlNames(form.pnl_WorkArea).filter(QRegularExpression("^[^A-Z]")),
            QStringList({U("Настроение"), U("Место"), U("Встречи"), U("Особенности"),
                         U("Особенности/Кошмар"), U("Особенности/Повторяющийся"),
                         U("Особенности/Яркий"), U("Особенности/Цветной"), U("Чувства")}));

  TXMLParser journal;
  journal.Load((resources + "/sample/autumn2026.xml").toStdString());
  const TXMLNode* first = journal.Root->Child(0)->Child(0);
  Tfrm_DreamProperties::ClearValues(form.pnl_WorkArea);
  Tfrm_DreamProperties::LoadValues(first->FindNode("properties"), form.pnl_WorkArea);
  QWidget* area = form.pnl_WorkArea;
  EXPECT_EQ(area->findChild<QComboBox*>(U("Настроение"))->currentText(), U("спокойное"));
  EXPECT_EQ(area->findChild<QLineEdit*>(U("Место"))->text(), U("Старый дом на берегу моря"));
  EXPECT_TRUE(area->findChild<QCheckBox*>(U("Повторяющийся"))->isChecked());
  EXPECT_FALSE(area->findChild<QCheckBox*>(U("Кошмар"))->isChecked());
}

}  // namespace
