#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include "dialogs/smr_ParametersForm.h"

namespace {

TEST(Parameters, PagesCaptionsAndControlNames) {
  Tfrm_ParametersForm dialog;
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Параметры системы"));
  QStringList pages;
  for (int i = 0; i < dialog.pgc_Parameters->count(); ++i)
    pages << dialog.pgc_Parameters->tabText(i);
  EXPECT_EQ(pages, QStringList({"Общие свойства", "Внешний вид", "Подтверждения", "Пользователь",
                                "Дополнительно"}));
  EXPECT_EQ(dialog.pgc_Parameters->currentIndex(), 0);
  EXPECT_EQ(dialog.btn_Ok->text(), "OK");
  EXPECT_TRUE(dialog.btn_Ok->isDefault());
  EXPECT_EQ(dialog.btn_Cancel->text(), QStringLiteral("Отмена"));

  for (const char* name :
       {"edt_LibraryFileName", "edt_OpenNode", "edt_Library", "edt_Directory", "edt_File",
        "edt_Night", "edt_Experience", "edt_Label_1", "edt_Label_4", "edt_Name", "edt_Nick",
        "edt_EMail", "edt_Dictionary", "edt_DreamVocabulary"})
    EXPECT_NE(dialog.findChild<QLineEdit*>(name), nullptr) << name;
  for (const char* name :
       {"btn_LibraryFileName", "btn_OpenNode", "btn_Library", "btn_Directory", "btn_File",
        "btn_Night", "btn_Experience", "btn_Dictionary", "btn_DreamVocabulary"})
    EXPECT_EQ(dialog.findChild<QPushButton*>(name)->text(), "...") << name;
  // Each up-down is one spin box; its line edit carries the edit's name.
  for (const char* name : {"XCoordinate", "YCoordinate", "Width", "Height", "TreeWidth", "Age"}) {
    auto* upDown = dialog.findChild<QSpinBox*>(QStringLiteral("upd_") + name);
    ASSERT_NE(upDown, nullptr) << name;
    EXPECT_EQ(upDown->findChild<QLineEdit*>(QStringLiteral("edt_") + name)->parent(), upDown);
  }
  EXPECT_EQ(dialog.findChild<QCheckBox*>("box_Delete")->text(),
            QStringLiteral("Подтверждать удаление объектов из структуры библиотеки"));
  const std::pair<const char*, QString> radios[] = {
      {"rab_Masculinum", "Мужской"}, {"rab_Femininum", "Женский"}, {"rab_Smile", ":)"}};
  for (const auto& [name, text] : radios)
    EXPECT_EQ(dialog.findChild<QRadioButton*>(name)->text(), text);

  QStringList texts;
  for (const auto* group : dialog.findChildren<QGroupBox*>()) texts << group->title();
  for (const auto* label : dialog.findChildren<QLabel*>()) texts << label->text();
  for (const char* text : {" Главная форма ",
                           " Пиктограммы ",
                           " Названия флагов ",
                           " Подтверждения ",
                           " Пол: ",
                           " Дополнительные файлы ",
                           "X-координата верхнего левого угла:",
                           "Y-координата верхнего левого угла:",
                           "Ширина:",
                           "Высота:",
                           "Ширина навигатора по структуре библиотеки сновидений:",
                           "Библиотека сновидений, загружаемая при запуске:",
                           "Открытый узел:",
                           "Библиотека:",
                           "Каталог:",
                           "Журнал:",
                           "Ночь:",
                           "Сновидение:",
                           "Флаг 1:",
                           "Флаг 4:",
                           "Имя:",
                           "Псевдоним:",
                           "E-Mail:",
                           "Возраст:",
                           "Дополнительные сведения:",
                           "Словарь:",
                           "Сонник:"})
    EXPECT_TRUE(texts.contains(QString::fromUtf8(text))) << text;
}

TEST(Parameters, RangesFollowTheScreen) {
  Tfrm_ParametersForm dialog;
  dialog.pgc_Parameters->setCurrentIndex(3);
  dialog.FormCreate(QSize(1366, 768));
  EXPECT_EQ(dialog.pgc_Parameters->currentIndex(), 0);
  const std::tuple<QSpinBox*, int, int> ranges[] = {
      {dialog.upd_XCoordinate, 0, 1366}, {dialog.upd_YCoordinate, 0, 768},
      {dialog.upd_Width, 640, 1366},     {dialog.upd_Height, 480, 768},
      {dialog.upd_TreeWidth, 0, 683},    {dialog.upd_Age, 0, 150}};
  for (const auto& [box, low, high] : ranges) {
    EXPECT_EQ(box->minimum(), low) << box->objectName().toStdString();
    EXPECT_EQ(box->maximum(), high) << box->objectName().toStdString();
  }
  dialog.SetBounds({-5, 900, 100, 5000, 700});
  EXPECT_EQ(dialog.Bounds(), (Tfrm_ParametersForm::TBounds{0, 768, 640, 768, 683}));
}

TEST(Parameters, AnUpDownHoldsOnlyAnIntegerInRange) {
  Tfrm_ParametersForm dialog;
  dialog.show();
  auto* age = dialog.findChild<QLineEdit*>("edt_Age");
  age->selectAll();
  QTest::keyClicks(age, "4x2");
  EXPECT_EQ(age->text(), "42");
  EXPECT_EQ(dialog.upd_Age->value(), 42);
  age->selectAll();
  QTest::keyClicks(age, "999");  // the third digit would pass 150
  EXPECT_EQ(age->text(), "99");
  EXPECT_EQ(dialog.upd_Age->value(), 99);
}

}  // namespace
