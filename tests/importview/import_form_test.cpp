#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "common/test_files.h"
#include "importview/smr_ImportForm.h"
#include "storage/smr_Types.h"
#include "xml/xml_mainUnit.h"

namespace {

using test_files::U;

const std::array<QString, 4> kMarks = {U("Осознанный сон"), U("Астрал"), U("Выход из тела"),
                                       U("Другое")};

std::unique_ptr<Tfrm_ImportForm> Open(const char* utf8, TImportKind kind,
                                      const QString& mapping = {}) {
  auto form = std::make_unique<Tfrm_ImportForm>(U("сны.csv"), utf8, kind, kMarks, mapping);
  form->show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  return form;
}

template <typename T>
T* Find(const Tfrm_ImportForm& form, const char* name) {
  T* widget = form.findChild<T*>(name);
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

QString Text(const TXMLNode& node, std::string_view attribute) {
  return U(test_files::Utf8(node.GetAttribute(attribute)).c_str());
}

const TXMLNode* First(const TXMLNode& parent, std::string_view name) {
  for (const auto& child : parent.Children)
    if (child->Name == name) return child.get();
  return nullptr;
}

// The nights and dream titles of a journal: "night: title, title; night: ...".
QString Outline(const TImportedJournal& journal) {
  QStringList nights;
  for (const auto& day : journal.Document->Root->Children) {
    if (day->Name != smr::elDay) continue;
    QStringList titles;
    for (const auto& experience : day->Children)
      if (experience->Name == smr::elExperience) titles << Text(*experience, smr::atTitle);
    nights << Text(*day, smr::atName) + ": " + titles.join(", ");
  }
  return nights.join("; ");
}

constexpr const char* kDreams =
    "Дата,Название,Описание,Комментарий\n"
    "12.03.2024,Полёт,Летал над городом,весёлое\n"
    "13.03.2024,Море,Плыл к острову,тихое\n";

TEST(ImportFormCsv, AColumnTurnedIntoAPropertyFillsThePreviewAndTheJournal) {
  auto form = Open(kDreams, TImportKind::Csv);
  auto* columns = Find<QTableWidget>(*form, "grd_Columns");
  auto* preview = Find<QTableWidget>(*form, "grd_Preview");
  auto* field = Find<QComboBox>(*form, "cmb_Field3");
  ASSERT_EQ(columns->rowCount(), 4);
  ASSERT_EQ(preview->rowCount(), 2);
  ASSERT_EQ(preview->item(0, 4)->text(), U("весёлое"));  // a comment as guessed

  field->setCurrentIndex(field->findText(U("Свойство")));
  EXPECT_EQ(columns->item(3, 2)->text(), U("Комментарий"));  // named by its header
  columns->item(3, 2)->setText(U("Настроение"));
  EXPECT_EQ(preview->item(0, 4)->text(), QString());
  EXPECT_EQ(preview->item(0, 10)->text(), U("Настроение: весёлое"));
  EXPECT_EQ(preview->item(1, 10)->text(), U("Настроение: тихое"));

  QTest::mouseClick(Find<QPushButton>(*form, "btn_Ok"), Qt::LeftButton);
  ASSERT_EQ(form->result(), QDialog::Accepted);
  const TImportedJournal journal = form->TakeJournal();
  EXPECT_EQ(Outline(journal), U("12.03.24: Полёт; 13.03.24: Море"));
  const TXMLNode* parameter = journal.Document->Root->FindNode(smr::elParameter);
  ASSERT_NE(parameter, nullptr);
  EXPECT_EQ(Text(*parameter, smr::atControl), U("Настроение"));
  EXPECT_EQ(Text(*parameter, smr::atValue), U("тихое"));

  // The mapping remembered brings the same choice back.
  auto again = Open(kDreams, TImportKind::Csv, form->Mapping());
  EXPECT_EQ(Find<QComboBox>(*again, "cmb_Field3")->currentText(), U("Свойство"));
  EXPECT_EQ(Find<QTableWidget>(*again, "grd_Columns")->item(3, 2)->text(), U("Настроение"));
}

TEST(ImportFormCsv, TheReplacedCharactersAreCountedInRussian) {
  const struct {
    int Count;
    const char* Label;  // empty: hidden
  } cases[] = {
      {0, ""},
      {1, "1 знак будет заменён"},
      {2, "2 знака будут заменены"},
      {4, "4 знака будут заменены"},
      {5, "5 знаков будут заменены"},
      {11, "11 знаков будут заменены"},
      {12, "12 знаков будут заменены"},
      {21, "21 знак будет заменён"},
      {22, "22 знака будут заменены"},
      {111, "111 знаков будут заменены"},
  };
  for (const auto& c : cases) {
    // A character windows-1251 lacks, as many times as counted.
    const QString csv = U("Название\nСон ") + QString(c.Count, QChar(0x4E2D)) + '\n';
    auto form = Open(csv.toUtf8().constData(), TImportKind::Csv);
    auto* label = Find<QLabel>(*form, "lbl_Replaced");
    EXPECT_EQ(label->isVisible(), c.Count > 0) << c.Count;
    if (c.Count > 0) {
      EXPECT_EQ(label->text(), U(c.Label));
    }
  }
}

TEST(ImportFormCsv, AnUnreadableRowIsShownWithItsLineAndNothingIsImported) {
  const struct {
    const char* Csv;
    const char* Line;
  } cases[] = {
      {"Дата,Название\n12.03.2024,Полёт\n13.03.2024,Море,лишнее\n", "3"},
      {"Название,Энергия\nПолёт,1\n\"Море\nи скалы\",-1\nЛес,много\n", "5"},
  };
  for (const auto& c : cases) {
    auto form = Open(c.Csv, TImportKind::Csv);
    auto* error = Find<QLabel>(*form, "lbl_Error");
    EXPECT_TRUE(error->isVisible()) << c.Csv;
    EXPECT_TRUE(error->text().contains(U("Строка %1").arg(c.Line))) << error->text().toStdString();
    EXPECT_FALSE(Find<QPushButton>(*form, "btn_Ok")->isEnabled());
  }
  // Leaving the energy out makes the same table importable.
  auto form = Open(cases[1].Csv, TImportKind::Csv);
  auto* energy = Find<QComboBox>(*form, "cmb_Field1");
  energy->setCurrentIndex(energy->findText(U("Не импортировать")));
  EXPECT_FALSE(Find<QLabel>(*form, "lbl_Error")->isVisible());
  EXPECT_TRUE(Find<QPushButton>(*form, "btn_Ok")->isEnabled());
  EXPECT_EQ(Find<QLabel>(*form, "lbl_Totals")->text(), U("Ночей: 1, снов: 3"));
}

TEST(ImportFormText, TheEditedSplitIsTheJournalTaken) {
  auto form = Open(
      "12.03.2024\n\n"
      "# Полёт\nЛетал над городом.\n\n"
      "# Море\nПлыл к острову.\n\n"
      "# Горы\nСтоял на вершине.\n\n"
      "13 марта 2024\n\n"
      "# Лес\nШёл по лесу.\n",
      TImportKind::Text);
  auto* nights = Find<QTreeWidget>(*form, "lst_Nights");
  ASSERT_EQ(nights->topLevelItemCount(), 2);
  QTreeWidgetItem* first = nights->topLevelItem(0);
  ASSERT_EQ(first->childCount(), 3);
  EXPECT_EQ(Find<QLabel>(*form, "lbl_Totals")->text(), U("Ночей: 2, снов: 4"));

  // A date typed in words becomes the night's name as the program writes it.
  first->setText(0, U("11 марта 2024"));
  EXPECT_EQ(first->text(0), U("11.03.24"));
  first->child(0)->setText(0, U("Полёт над городом"));
  nights->setCurrentItem(first->child(1));
  QTest::mouseClick(Find<QPushButton>(*form, "btn_Remove"), Qt::LeftButton);
  nights->setCurrentItem(first->child(1));
  QTest::mouseClick(Find<QPushButton>(*form, "btn_Merge"), Qt::LeftButton);
  EXPECT_EQ(Find<QLabel>(*form, "lbl_Totals")->text(), U("Ночей: 2, снов: 2"));

  const TImportedJournal journal = form->TakeJournal();
  EXPECT_EQ(Outline(journal), U("11.03.24: Полёт над городом; 13.03.24: Лес"));
  const TXMLNode* night = First(*journal.Document->Root, smr::elDay);
  const TXMLNode* flight = night ? First(*night, smr::elExperience) : nullptr;
  const TXMLNode* description = flight ? First(*flight, smr::elDescription) : nullptr;
  ASSERT_NE(description, nullptr);
  const QString text = U(test_files::Utf8(description->FirstText()).c_str());
  EXPECT_TRUE(text.contains(U("Летал над городом.")) && text.contains(U("Стоял на вершине.")) &&
              !text.contains(U("Плыл")))
      << text.toStdString();
}

}  // namespace
