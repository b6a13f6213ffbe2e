#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "dialogs/smr_PassphraseForm.h"

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

TEST(PassphraseStrength, GrowsWithLengthKindsAndWords) {
  const struct {
    const char* Passphrase;
    int Strength;
  } cases[] = {
      {"", 0},
      {"кот", 0},
      {"Aa1!Bb2", 0},  // every kind, but too short to be accepted at all
      {"12345678", 0},
      {"password", 0},
      {"aaaaaaaaaaaaaaaaaaaa", 0},  // length made of one character
      {"слон слон слон слон", 0},
      {"Password1", 1},
      {"Пароль123", 1},  // Cyrillic letters have case too
      {"correct horse", 1},
      {"1234567890123456", 1},
      {"зелёный слон ест", 2},
      {"Сны мои тайные", 2},
      {"Tr0ub4dor&3", 2},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PassphraseStrength(U(c.Passphrase)), c.Strength) << c.Passphrase;
}

class PassphraseFormTest : public ::testing::Test {
 public:
  template <class T>
  T* Find(const char* name) {
    T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  QLineEdit* Field(const char* name) { return Find<QLineEdit>(name); }
  QLabel* Label(const char* name) { return Find<QLabel>(name); }
  bool OkEnabled() { return Find<QPushButton>("btn_Ok")->isEnabled(); }
  void Type(const char* field, const QString& text) {
    Field(field)->clear();
    QTest::keyClicks(Field(field), text);
  }

  Tfrm_PassphraseForm dialog;
};

TEST_F(PassphraseFormTest, ChooseEnablesOkOnlyForTwoEqualLongEnoughPassphrases) {
  dialog.SetMode(TPassphraseMode::Choose);
  EXPECT_EQ(dialog.windowTitle(), U("Шифрование библиотеки"));
  EXPECT_FALSE(Field("edt_Current")->isVisibleTo(&dialog));
  EXPECT_TRUE(Label("lbl_Warning")->text().startsWith(U("Забытый пароль восстановить нельзя")));
  const struct {
    const char* Passphrase;
    const char* Repeat;
    const char* Reason;
  } cases[] = {
      {"", "", "Не короче 8 знаков."},
      {"abc1234", "abc1234", "Не короче 8 знаков."},
      {"abcd1234", "", "Пароли не совпадают."},
      {"abcd1234", "abcd1235", "Пароли не совпадают."},
      {"abcd1234", "abcd123", "Пароли не совпадают."},
      {"abcd1234", "abcd1234", ""},
  };
  for (const auto& c : cases) {
    Type("edt_Passphrase", c.Passphrase);
    Type("edt_Repeat", c.Repeat);
    EXPECT_EQ(Label("lbl_Reason")->text(), U(c.Reason)) << c.Passphrase << " " << c.Repeat;
    EXPECT_EQ(OkEnabled(), *c.Reason == 0) << c.Passphrase << " " << c.Repeat;
  }
  EXPECT_EQ(dialog.Passphrase(), "abcd1234");
  // The hint follows the typing.
  Type("edt_Passphrase", "abcdefgh");
  EXPECT_TRUE(Label("lbl_Strength")->text().contains(U("низкая")));
  Type("edt_Passphrase", "Abcd-1234 moon");
  EXPECT_TRUE(Label("lbl_Strength")->text().contains(U("высокая")));
  Type("edt_Passphrase", "");
  EXPECT_EQ(Label("lbl_Strength")->text(), QString());
}

TEST_F(PassphraseFormTest, LengthCountsCharactersAsComposed) {
  // Eight letters, one of them typed as a letter and its combining mark.
  dialog.SetMode(TPassphraseMode::Choose);
  const QString decomposed = U("елочка") + QChar(0x0435) + QChar(0x0308) + U("ж");
  Field("edt_Passphrase")->setText(decomposed);
  Field("edt_Repeat")->setText(U("елочкаёж"));
  EXPECT_TRUE(OkEnabled()) << Label("lbl_Reason")->text().toStdString();
  EXPECT_EQ(dialog.Passphrase(), U("елочкаёж"));
  Field("edt_Repeat")->setText(U("елочкаё"));
  Field("edt_Passphrase")->setText(U("елочкаё"));
  EXPECT_FALSE(OkEnabled());
}

TEST_F(PassphraseFormTest, ChangeNeedsTheCurrentPassphrase) {
  dialog.SetMode(TPassphraseMode::Change);
  EXPECT_EQ(dialog.windowTitle(), U("Смена пароля шифрования"));
  EXPECT_TRUE(Field("edt_Current")->isVisibleTo(&dialog));
  EXPECT_EQ(Field("edt_Current")->echoMode(), QLineEdit::Password);
  Type("edt_Passphrase", "new moon 2024");
  Type("edt_Repeat", "new moon 2024");
  EXPECT_FALSE(OkEnabled());
  EXPECT_EQ(Label("lbl_Reason")->text(), U("Введите нынешний пароль."));
  Type("edt_Current", "x");
  EXPECT_TRUE(OkEnabled());
  EXPECT_EQ(dialog.Current(), "x");
  Type("edt_Repeat", "new moon 2025");
  EXPECT_FALSE(OkEnabled());
}

TEST_F(PassphraseFormTest, UnlockShowsTheMessageOnlyWhenSet) {
  dialog.SetMode(TPassphraseMode::Unlock);
  dialog.SetLibraryName(U("Сны.xml"));
  EXPECT_EQ(dialog.windowTitle(), U("Зашифрованная библиотека"));
  EXPECT_EQ(Label("lbl_Prompt")->text(), U("Введите пароль шифрования библиотеки «Сны.xml»."));
  for (const char* name : {"edt_Current", "edt_Repeat"})
    EXPECT_FALSE(Field(name)->isVisibleTo(&dialog)) << name;
  for (const char* name : {"lbl_Strength", "lbl_Warning", "lbl_Message"})
    EXPECT_FALSE(Label(name)->isVisibleTo(&dialog)) << name;
  const int plainHeight = dialog.height();
  EXPECT_FALSE(OkEnabled());
  Type("edt_Passphrase", "x");
  EXPECT_TRUE(OkEnabled());

  dialog.SetMessage(U("Неверный пароль. Осталось попыток: 2."));
  QLabel* message = Label("lbl_Message");
  EXPECT_TRUE(message->isVisibleTo(&dialog));
  EXPECT_NE(message->palette().color(QPalette::WindowText),
            dialog.palette().color(QPalette::WindowText));
  EXPECT_GT(dialog.height(), plainHeight);
  dialog.SetMessage({});
  EXPECT_FALSE(message->isVisibleTo(&dialog));
  EXPECT_EQ(dialog.height(), plainHeight);
}

TEST_F(PassphraseFormTest, EveryTextFitsInEveryMode) {
  dialog.SetLibraryName(U("Очень длинное имя библиотеки сновидений.xml"));
  dialog.SetMessage(U("Неверный пароль. Осталось попыток: 2."));
  for (TPassphraseMode mode :
       {TPassphraseMode::Unlock, TPassphraseMode::Choose, TPassphraseMode::Change}) {
    SCOPED_TRACE(static_cast<int>(mode));
    dialog.SetMode(mode);
    for (const char* passphrase : {"", "abc", "abcd1234", "Abcd-1234 moon"}) {
      Field("edt_Passphrase")->setText(passphrase);
      for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (!label->isVisibleTo(&dialog)) continue;
        EXPECT_LE(label->geometry().right(), dialog.width()) << label->objectName().toStdString();
        if (label->wordWrap())
          EXPECT_LE(label->heightForWidth(label->width()), label->height())
              << label->text().toStdString();
        else
          EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
              << label->text().toStdString();
      }
    }
    auto* cancel = Find<QPushButton>("btn_Cancel");
    EXPECT_LE(cancel->geometry().bottom(), dialog.height());
    EXPECT_LE(cancel->geometry().right(), dialog.width());
  }
}

TEST_F(PassphraseFormTest, CancellingWipesTheFields) {
  dialog.SetMode(TPassphraseMode::Change);
  for (const char* name : {"edt_Current", "edt_Passphrase", "edt_Repeat"})
    Field(name)->setText("secret words");
  dialog.show();
  QTest::keyClick(&dialog, Qt::Key_Escape);
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
  for (const char* name : {"edt_Current", "edt_Passphrase", "edt_Repeat"})
    EXPECT_EQ(Field(name)->text(), QString()) << name;
  EXPECT_FALSE(Field("edt_Passphrase")->isUndoAvailable());
}

}  // namespace
