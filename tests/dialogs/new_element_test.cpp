#include <gtest/gtest.h>

#include <QDate>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include "dialogs/smr_NewElementForm.h"

namespace {

struct ChooserCall {
  QString title;
  QString filter;
};

class NewElementTest : public ::testing::Test {
 public:
  NewElementTest() {
    dialog.SetSaveFileChooser([this](const QString& title, const QString& filter) {
      calls.push_back({title, filter});
      return chosen;
    });
  }

  template <class T>
  T* Find(const char* name) {
    T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  QLineEdit* First() { return Find<QLineEdit>("edt_First"); }
  QLineEdit* Second() { return Find<QLineEdit>("edt_Second"); }
  QPushButton* Ok() { return Find<QPushButton>("btn_Ok"); }
  QToolButton* Default() { return Find<QToolButton>("btn_Default"); }
  bool Shown(const char* name) { return Find<QWidget>(name)->isVisibleTo(&dialog); }

  Tfrm_NewElement dialog;
  std::vector<ChooserCall> calls;
  QString chosen;
};

struct ModeCase {
  int mode;
  const char* caption;
  int height;
  const char* firstLabel;
  const char* secondLabel;  // nullptr: hidden
  const char* defaultHint;  // nullptr: hidden
  int defaultTop;
  int buttonsTop;
  bool radio;
};

const ModeCase kModes[] = {
    {0, "Новая библиотека", 127, "Название:", "Путь:", "Выбрать имя файла", 37, 68, false},
    {1, "Добавить каталог", 103, "Название:", nullptr, nullptr, 0, 43, false},
    {2, "Добавить файл", 127, "Название:", "Путь:", "Выбрать имя файла", 37, 68, false},
    {3, "Добавить день", 103, "Дата:", nullptr, "Текущая дата", 8, 43, false},
    {4, "Добавить опыт", 193, "Номер", "Название:", nullptr, 0, 134, true},
};

void ExpectLayout(NewElementTest& t, Tfrm_NewElement& dialog, const ModeCase& m) {
  SCOPED_TRACE(testing::Message() << "mode " << m.mode);
  EXPECT_EQ(dialog.Mode(), m.mode);
  EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(m.caption));
  EXPECT_EQ(dialog.frameGeometry().height(), m.height);
  EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize()) << "window must not be resizable";
  EXPECT_EQ(t.Find<QLabel>("lbl_First")->text(), QString::fromUtf8(m.firstLabel));
  EXPECT_TRUE(t.Shown("edt_First"));

  EXPECT_EQ(t.Shown("lbl_Second"), m.secondLabel != nullptr);
  EXPECT_EQ(t.Shown("edt_Second"), m.secondLabel != nullptr);
  if (m.secondLabel) {
    EXPECT_EQ(t.Find<QLabel>("lbl_Second")->text(), QString::fromUtf8(m.secondLabel));
  }

  EXPECT_EQ(t.Shown("btn_Default"), m.defaultHint != nullptr);
  if (m.defaultHint) {
    EXPECT_EQ(t.Default()->toolTip(), QString::fromUtf8(m.defaultHint));
    EXPECT_EQ(t.Default()->y(), m.defaultTop);
    // The field beside the button is the narrow one; the button ends where a wide field would.
    QLineEdit* beside = m.defaultTop == 8 ? t.First() : t.Second();
    EXPECT_EQ(beside->width(), 127);
    EXPECT_GT(t.Default()->x(), beside->geometry().right());
    EXPECT_LE(t.Default()->geometry().right(), beside->x() + 150);
    if (m.mode == 0 || m.mode == 2) {
      EXPECT_EQ(t.First()->width(), 150);
    }
  }

  EXPECT_EQ(t.Shown("rdg_DreamOption"), m.radio);
  EXPECT_EQ(t.Ok()->y(), m.buttonsTop);
  EXPECT_EQ(t.Find<QPushButton>("btn_Cancel")->y(), m.buttonsTop);
  EXPECT_TRUE(t.Shown("btn_Ok"));
  EXPECT_TRUE(t.Shown("btn_Cancel"));
  EXPECT_LE(t.Ok()->geometry().bottom(), dialog.height());
}

TEST_F(NewElementTest, EveryModeArrangesTheDialog) {
  // Forwards and backwards through the same dialog, so that nothing a mode
  // shows or narrows survives into the next one.
  for (const ModeCase& m : kModes) {
    dialog.SetMode(m.mode);
    ExpectLayout(*this, dialog, m);
  }
  // The heights include the frame, which the window system reports once the
  // dialog is shown.
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  EXPECT_GT(dialog.frameGeometry().height(), dialog.height());
  for (const ModeCase& m : kModes) {
    dialog.SetMode(m.mode);
    ExpectLayout(*this, dialog, m);
  }
  dialog.hide();
  for (int i = 4; i >= 0; --i) {
    dialog.SetMode(kModes[i].mode);
    ExpectLayout(*this, dialog, kModes[i]);
  }
  dialog.SetMode(5);  // unknown modes leave the layout alone
  ExpectLayout(*this, dialog, kModes[0]);
}

TEST_F(NewElementTest, OkNeedsTheFirstFieldOnlyInCatalogueAndNightModes) {
  for (int mode : {1, 3}) {
    SCOPED_TRACE(mode);
    First()->clear();
    Second()->clear();
    dialog.SetMode(mode);
    EXPECT_FALSE(Ok()->isEnabled());
    Second()->setText("ignored");  // the hidden second field plays no part
    EXPECT_FALSE(Ok()->isEnabled());
    QTest::keyClicks(First(), "01.02.03");
    EXPECT_TRUE(Ok()->isEnabled());
    Second()->clear();
    EXPECT_TRUE(Ok()->isEnabled());
    First()->clear();
    EXPECT_FALSE(Ok()->isEnabled());
  }
}

TEST_F(NewElementTest, OkNeedsBothFieldsInLibraryJournalAndExperienceModes) {
  for (int mode : {0, 2, 4}) {
    SCOPED_TRACE(mode);
    First()->clear();
    Second()->clear();
    dialog.SetMode(mode);
    First()->setText("name");
    EXPECT_FALSE(Ok()->isEnabled());
    QTest::keyClicks(Second(), "x");
    EXPECT_TRUE(Ok()->isEnabled());
    First()->clear();
    EXPECT_FALSE(Ok()->isEnabled());
    First()->setText("n");
    EXPECT_TRUE(Ok()->isEnabled());
    Second()->clear();
    EXPECT_FALSE(Ok()->isEnabled());
  }
}

TEST_F(NewElementTest, ExperienceNumberIsPaddedToThreeDigits) {
  const std::pair<int, const char*> cases[] = {
      {7, "007"}, {12, "012"}, {1234, "1234"}, {0, "000"}, {100, "100"}};
  for (const auto& [number, text] : cases) {
    Tfrm_NewElement fresh;
    fresh.SetNumber(number);
    fresh.SetMode(4);
    EXPECT_EQ(fresh.First(), QString::fromLatin1(text)) << number;
    EXPECT_FALSE(fresh.findChild<QPushButton*>("btn_Ok")->isEnabled())
        << "a number alone must not enable OK";
    fresh.SetSecond(QStringLiteral("Полёт"));
    EXPECT_TRUE(fresh.findChild<QPushButton*>("btn_Ok")->isEnabled());
  }
}

TEST_F(NewElementTest, DefaultButtonPutsTodayInNightMode) {
  dialog.SetMode(3);
  const QString before = QDate::currentDate().toString("dd.MM.yy");
  QTest::mouseClick(Default(), Qt::LeftButton);
  const QString after = QDate::currentDate().toString("dd.MM.yy");
  EXPECT_TRUE(dialog.First() == before || dialog.First() == after) << dialog.First().toStdString();
  EXPECT_EQ(dialog.First().size(), 8);
  EXPECT_TRUE(Ok()->isEnabled());
  EXPECT_TRUE(calls.empty());
}

TEST_F(NewElementTest, DefaultButtonAsksForAFileInLibraryAndJournalModes) {
  chosen = QStringLiteral("/home/sleeper/Сны/library.xml");
  dialog.SetMode(0);
  dialog.SetFirst(QStringLiteral("Мои сны"));
  QTest::mouseClick(Default(), Qt::LeftButton);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].title, QStringLiteral(" "));
  EXPECT_EQ(calls[0].filter,
            QStringLiteral("Библиотека сновидений (*.xml);;Любое расширение (*.*)"));
  EXPECT_EQ(dialog.Second(), chosen);
  EXPECT_EQ(dialog.First(), QStringLiteral("Мои сны"));
  EXPECT_TRUE(Ok()->isEnabled());

  // Giving up in the file dialog keeps what the field held.
  chosen.clear();
  dialog.SetMode(2);
  dialog.btn_DefaultClick();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1].filter, QStringLiteral("Журнал сновидений (*.xml);;Любое расширение (*.*)"));
  EXPECT_EQ(dialog.Second(), QStringLiteral("/home/sleeper/Сны/library.xml"));
}

TEST_F(NewElementTest, DefaultActionDoesNothingInOtherModes) {
  chosen = QStringLiteral("/tmp/x.xml");
  for (int mode : {1, 4}) {
    dialog.SetMode(mode);
    const QString first = dialog.First();
    dialog.btn_DefaultClick();
    EXPECT_EQ(dialog.First(), first);
    EXPECT_EQ(dialog.Second(), QString());
  }
  EXPECT_TRUE(calls.empty());
}

TEST_F(NewElementTest, RadioIndexFollowsTheButtons) {
  dialog.SetMode(4);
  auto* text = Find<QRadioButton>("rdg_DreamOption_0");
  auto* html = Find<QRadioButton>("rdg_DreamOption_1");
  EXPECT_EQ(text->text(), QStringLiteral("Только текст"));
  EXPECT_EQ(html->text(), QStringLiteral("В виде HTML"));
  dialog.SetRadioIndex(1);
  EXPECT_TRUE(html->isChecked());
  EXPECT_EQ(dialog.RadioIndex(), 1);
  QTest::mouseClick(text, Qt::LeftButton);
  EXPECT_EQ(dialog.RadioIndex(), 0);
  EXPECT_FALSE(html->isChecked());
  dialog.SetRadioIndex(-1);
  EXPECT_EQ(dialog.RadioIndex(), -1);
  EXPECT_FALSE(text->isChecked());
  dialog.SetRadioIndex(1);
  EXPECT_EQ(dialog.RadioIndex(), 1);
}

}  // namespace
