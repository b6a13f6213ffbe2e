#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>

#include "dialogs/smr_AuthorizationForm.h"

namespace {

class AuthorizationTest : public ::testing::Test {
 public:
  template <class T>
  T* Find(const char* name) {
    T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  QPushButton* Ok() { return Find<QPushButton>("btn_Ok"); }
  QLabel* Warning() { return Find<QLabel>("lbl_Warning"); }

  Tfrm_Authorization dialog;
};

TEST_F(AuthorizationTest, AskingModeCanOnlyBeConfirmed) {
  dialog.SetMode(0);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Авторизация"));
  EXPECT_EQ(dialog.frameGeometry().height(), 127);
  EXPECT_EQ(Find<QLabel>("lbl_First")->text(), QStringLiteral("Имя:"));
  EXPECT_EQ(Find<QLabel>("lbl_Second")->text(), QStringLiteral("Пароль:"));
  EXPECT_FALSE(Find<QPushButton>("btn_Cancel")->isVisibleTo(&dialog));
  EXPECT_FALSE(Warning()->isVisibleTo(&dialog));
  EXPECT_TRUE(Ok()->isVisibleTo(&dialog));
  EXPECT_EQ(Ok()->x(), 72);
  auto* password = Find<QLineEdit>("edt_Second");
  EXPECT_EQ(password->echoMode(), QLineEdit::Password);
  password->ensurePolished();
  EXPECT_EQ(password->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, password),
            int(u'*'));
  EXPECT_FALSE(dialog.windowFlags().testFlag(Qt::WindowCloseButtonHint));
}

TEST_F(AuthorizationTest, SettingModeShowsCancelAndSwitchesBack) {
  dialog.SetMode(1);
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Параметры авторизации"));
  auto* cancel = Find<QPushButton>("btn_Cancel");
  EXPECT_TRUE(cancel->isVisibleTo(&dialog));
  EXPECT_EQ(Ok()->y(), cancel->y());
  EXPECT_LT(Ok()->geometry().right(), cancel->x());
  EXPECT_GE(Ok()->y(), Warning()->geometry().bottom());
  EXPECT_LE(cancel->geometry().bottom(), dialog.height());
  dialog.SetMode(0);
  EXPECT_FALSE(cancel->isVisibleTo(&dialog));
  EXPECT_EQ(Ok()->x(), 72);
  EXPECT_EQ(dialog.height(), 127);
}

TEST_F(AuthorizationTest, OkNeedsAUserNameButNoPassword) {
  for (int mode : {0, 1}) {
    SCOPED_TRACE(mode);
    dialog.SetUserName({});
    dialog.SetPassword({});
    dialog.SetMode(mode);
    EXPECT_FALSE(Ok()->isEnabled());
    QTest::keyClicks(Find<QLineEdit>("edt_Second"), "secret");
    EXPECT_FALSE(Ok()->isEnabled());
    QTest::keyClicks(Find<QLineEdit>("edt_First"), "Ivan");
    EXPECT_TRUE(Ok()->isEnabled());
    dialog.SetPassword({});
    EXPECT_TRUE(Ok()->isEnabled());
    EXPECT_EQ(dialog.UserName(), QStringLiteral("Ivan"));
    EXPECT_EQ(dialog.Password(), QString());
    dialog.SetUserName({});
    EXPECT_FALSE(Ok()->isEnabled());
  }
}

TEST_F(AuthorizationTest, SettingModeRefusesWhatTheStoredFormCannotCarry) {
  dialog.SetMode(1);
  dialog.SetUserName(QStringLiteral("Алёна_Dreamer 7"));
  dialog.SetPassword(QStringLiteral("Ёжик2024"));
  EXPECT_TRUE(Ok()->isEnabled());
  const QString hint = Warning()->text();
  EXPECT_TRUE(hint.contains(QStringLiteral("Допустимы только")));

  dialog.SetUserName(QStringLiteral("Ivan-1"));
  EXPECT_FALSE(Ok()->isEnabled());
  EXPECT_TRUE(Warning()->text().contains(QStringLiteral("«-»"))) << Warning()->text().toStdString();
  EXPECT_NE(Warning()->palette().color(QPalette::WindowText),
            dialog.palette().color(QPalette::WindowText));

  // Characters the code page lacks, and those outside the basic plane.
  for (const QString& name : {QStringLiteral("夢"), QStringLiteral("Sleep\U0001F634"),
                              QStringLiteral("№5"), QStringLiteral("a?")}) {
    dialog.SetUserName(name);
    EXPECT_FALSE(Ok()->isEnabled()) << name.toStdString();
  }
  dialog.SetUserName(QStringLiteral("Sleep\U0001F634"));
  EXPECT_TRUE(Warning()->text().contains(QStringLiteral("«\U0001F634»")));

  dialog.SetUserName(QStringLiteral("Ivan"));
  EXPECT_TRUE(Ok()->isEnabled());
  EXPECT_EQ(Warning()->text(), hint);

  // The masked password's character is not echoed in the warning.
  dialog.SetPassword(QStringLiteral("pa$s"));
  EXPECT_FALSE(Ok()->isEnabled());
  EXPECT_FALSE(Warning()->text().contains(u'$'));
  EXPECT_NE(Warning()->text(), hint);
  dialog.SetPassword(QStringLiteral("pass"));
  EXPECT_TRUE(Ok()->isEnabled());
}

// Some characters encode to a blank at some positions ("A" at the first,
// "м" at the second, "w" at the third, "х" at the fourth), and the reader
// collapses runs of blanks: such values would never decode as typed.
TEST_F(AuthorizationTest, SettingModeRefusesValuesWhoseStoredFormWouldNotReadBack) {
  dialog.SetMode(1);
  const QString hint = Warning()->text();
  // The name's warning says in plain words which characters to change.
  const QString merged[][2] = {{QStringLiteral("Aм"), QStringLiteral("«Aм»")},
                               {QStringLiteral("Aмyz"), QStringLiteral("«Aм»")},
                               {QStringLiteral("Соwх"), QStringLiteral("«wх»")}};
  for (const auto& [value, characters] : merged) {
    dialog.SetPassword(QStringLiteral("pass"));
    dialog.SetUserName(value);
    EXPECT_FALSE(Ok()->isEnabled()) << value.toStdString();
    EXPECT_EQ(Warning()->text(),
              QStringLiteral("Это имя нельзя сохранить как есть. Замените символы ") + characters +
                  QStringLiteral(" или поменяйте их местами."));
    dialog.SetUserName(QStringLiteral("Ivan"));
    dialog.SetPassword(value);
    EXPECT_FALSE(Ok()->isEnabled()) << value.toStdString();
    EXPECT_TRUE(Warning()->text().contains(QStringLiteral("пароль исказится")))
        << value.toStdString();
  }
  // A single blank, also at either end of the stored text, reads back as it was.
  for (const QString& value :
       {QStringLiteral("A"), QStringLiteral("Anna"), QStringLiteral("Aнна_м")}) {
    dialog.SetUserName(value);
    dialog.SetPassword(value);
    EXPECT_TRUE(Ok()->isEnabled()) << value.toStdString();
    EXPECT_EQ(Warning()->text(), hint);
  }
}

TEST_F(AuthorizationTest, SettingModeShowsItsWholeCaption) {
  // The title bar of a dialog this narrow cuts the caption short.
  dialog.SetMode(1);
  auto* caption = Find<QLabel>("lbl_Caption");
  EXPECT_TRUE(caption->isVisibleTo(&dialog));
  EXPECT_EQ(caption->text(), QStringLiteral("Параметры авторизации"));
  EXPECT_EQ(dialog.width(), 220);
  EXPECT_LE(caption->geometry().right(), dialog.width());
  EXPECT_LE(caption->heightForWidth(caption->width()), caption->height());
  for (const QString& word : caption->text().split(u' '))
    EXPECT_LE(caption->fontMetrics().horizontalAdvance(word), caption->width());
  EXPECT_LT(caption->geometry().bottom(), Find<QLineEdit>("edt_First")->y());
  dialog.SetMode(0);
  EXPECT_FALSE(caption->isVisibleTo(&dialog));
}

TEST_F(AuthorizationTest, EveryWarningFitsItsPlace) {
  dialog.SetMode(1);
  QLabel* warning = Warning();
  for (const QString& name :
       {QStringLiteral("Ivan"), QStringLiteral("Ivan-1"), QStringLiteral("Aм")}) {
    for (const QString& password :
         {QStringLiteral(""), QStringLiteral("pa$s"), QStringLiteral("Aм")}) {
      dialog.SetUserName(name);
      dialog.SetPassword(password);
      EXPECT_LE(warning->heightForWidth(warning->width()), warning->height())
          << warning->text().toStdString();
    }
  }
}

TEST_F(AuthorizationTest, AskingModeJudgesNoCharactersAndEscapeCancels) {
  // What is typed is only compared with the stored values; a stray
  // character simply fails that comparison.
  dialog.SetMode(0);
  dialog.SetUserName(QStringLiteral("Ivan-1"));
  EXPECT_TRUE(Ok()->isEnabled());
  dialog.show();
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  EXPECT_FALSE(dialog.isVisible());
  dialog.show();
  QTest::mouseClick(Ok(), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

}  // namespace
