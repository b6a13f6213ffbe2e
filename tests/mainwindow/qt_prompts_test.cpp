// The program's own prompts: each question shows the real dialog modally,
// and the answer read back is what the user gave in it.
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include "smr_QtPrompts.h"

namespace {

// Acts on the next modal dialog from inside its own event loop.
void WhenModal(std::function<void(QWidget*)> act) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    if (QWidget* dialog = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      act(dialog);
    }
  });
  timer->start();
}

template <typename T>
T* Child(QWidget* dialog, const char* name) {
  T* child = dialog->findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(child, nullptr) << name;
  return child;
}

TEST(QtPrompts, NewElementAnswersWhatWasTyped) {
  TQtPrompts prompts;
  WhenModal([](QWidget* dialog) {
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("Добавить опыт"));
    EXPECT_EQ(Child<QLineEdit>(dialog, "edt_First")->text(), "007");
    Child<QLineEdit>(dialog, "edt_Second")->setText(QString::fromUtf8("Полёт"));
    Child<QPushButton>(dialog, "btn_Ok")->click();
  });
  const auto answer = prompts.NewElement(nullptr, 4, 7, 1);
  EXPECT_TRUE(answer.Ok);
  EXPECT_EQ(answer.First, "007");
  EXPECT_EQ(answer.Second, QString::fromUtf8("Полёт"));
  EXPECT_EQ(answer.RadioIndex, 1);

  WhenModal([](QWidget* dialog) { Child<QPushButton>(dialog, "btn_Cancel")->click(); });
  EXPECT_FALSE(prompts.NewElement(nullptr, 1, 0, 0).Ok);
}

TEST(QtPrompts, ConfirmationAndAuthorization) {
  TQtPrompts prompts;
  WhenModal([](QWidget* dialog) {
    Child<QCheckBox>(dialog, "box_ShowAgain")->setChecked(true);
    Child<QPushButton>(dialog, "btn_Ok")->click();
  });
  const auto confirmation = prompts.Confirmation(nullptr, QString::fromUtf8("Удалить?"));
  EXPECT_TRUE(confirmation.Yes);
  EXPECT_TRUE(confirmation.DontShowAgain);

  WhenModal([](QWidget* dialog) {
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("Авторизация"));
    Child<QLineEdit>(dialog, "edt_First")->setText("Ivan");
    Child<QLineEdit>(dialog, "edt_Second")->setText("secret");
    Child<QPushButton>(dialog, "btn_Ok")->click();
  });
  const auto login = prompts.Authorization(nullptr, 0);
  EXPECT_TRUE(login.Ok);
  EXPECT_EQ(login.UserName, "Ivan");
  EXPECT_EQ(login.Password, "secret");
}

TEST(QtPrompts, SaveDialogRemembersTheFileAndTheChosenFilter) {
  QTemporaryDir dir;
  TQtPrompts prompts;
  TFileDialogState state;
  state.Title = QString::fromUtf8("Экспортировать");
  state.Filter = QString::fromUtf8("Гипертекст (*.html)|*.html|Просто текст (*.txt)|*.txt");
  state.InitialDir = dir.path();
  const QString target = dir.filePath("out.html");
  WhenModal([target](QWidget* widget) {
    auto* dialog = qobject_cast<QFileDialog*>(widget);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("Экспортировать"));
    EXPECT_EQ(dialog->nameFilters().size(), 2);
    dialog->selectNameFilter(dialog->nameFilters()[1]);
    dialog->selectFile(target);
    QMetaObject::invokeMethod(dialog, "accept");
  });
  EXPECT_EQ(prompts.SaveFileName(nullptr, state), target);
  EXPECT_EQ(state.FileName, target);
  EXPECT_EQ(state.FilterIndex, 2);
}

TEST(QtPrompts, ChooseGivesTheIndexOfTheButtonPressed) {
  TQtPrompts prompts;
  WhenModal([](QWidget* widget) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    ASSERT_NE(box, nullptr);
    for (QAbstractButton* button : box->buttons())
      if (button->text() == QString::fromUtf8("Подключить")) button->click();
  });
  EXPECT_EQ(prompts.Choose(nullptr, "?", {QString::fromUtf8("Заменить"), QString::fromUtf8("Подключить"),
                                          QString::fromUtf8("Отмена")}),
            1);
}

}  // namespace
