// The program's own prompts: each question shows the real dialog modally,
// and the answer read back is what the user gave in it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <functional>
#include <memory>

#include "common/test_files.h"
#include "dialogs/smr_NewElementForm.h"
#include "dialogs/smr_ParametersForm.h"
#include "mainwindow/smr_QtPrompts.h"

namespace {

using test_files::U;

// Acts on the modal dialog from inside its own event loop, again every few
// milliseconds while it stays open (a file dialog may still be reading its
// folder the first time), and gives up after five seconds so that a dialog
// nobody can answer fails the test instead of hanging it.
void WhenModal(std::function<void(QWidget*)> act) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(20);
  auto ticks = std::make_shared<int>(0);
  auto target = std::make_shared<QPointer<QWidget>>();
  auto seen = std::make_shared<bool>(false);
  QObject::connect(timer, &QTimer::timeout, [timer, act, ticks, target, seen] {
    auto finish = [timer] {
      timer->stop();
      timer->deleteLater();
    };
    QWidget* dialog = QApplication::activeModalWidget();
    if (!*seen && dialog) {
      *target = dialog;
      *seen = true;
    }
    // Only the first dialog is ours; once it is gone, so is this timer.
    if (*seen && (target->isNull() || !(*target)->isVisible() || dialog != target->data()))
      return finish();
    if (++*ticks > 250) {
      ADD_FAILURE() << "the dialog was not answered";
      if (dialog) QMetaObject::invokeMethod(dialog, "reject");
      return finish();
    }
    if (*seen) act(target->data());
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
    EXPECT_EQ(dialog->windowTitle(), U("Добавить опыт"));
    EXPECT_EQ(Child<QLineEdit>(dialog, "edt_First")->text(), "007");
    Child<QLineEdit>(dialog, "edt_Second")->setText(U("Полёт"));
    Child<QPushButton>(dialog, "btn_Ok")->click();
  });
  const auto answer = prompts.NewElement(nullptr, 4, 7, 1);
  EXPECT_TRUE(answer.Ok);
  EXPECT_EQ(answer.First, "007");
  EXPECT_EQ(answer.Second, U("Полёт"));
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
  const auto confirmation = prompts.Confirmation(nullptr, U("Удалить?"));
  EXPECT_TRUE(confirmation.Yes);
  EXPECT_TRUE(confirmation.DontShowAgain);

  WhenModal([](QWidget* dialog) {
    EXPECT_EQ(dialog->windowTitle(), U("Авторизация"));
    Child<QLineEdit>(dialog, "edt_First")->setText("Ivan");
    Child<QLineEdit>(dialog, "edt_Second")->setText("secret");
    Child<QPushButton>(dialog, "btn_Ok")->click();
  });
  const auto login = prompts.Authorization(nullptr, 0);
  EXPECT_TRUE(login.Ok);
  EXPECT_EQ(login.UserName, "Ivan");
  EXPECT_EQ(login.Password, "secret");
}

TEST(QtPrompts, PassphraseAnswersWhatWasTypedAndNothingWhenCancelled) {
  TQtPrompts prompts;
  WhenModal([](QWidget* dialog) {
    EXPECT_EQ(dialog->windowTitle(), U("Смена пароля шифрования"));
    Child<QLineEdit>(dialog, "edt_Current")->setText(U("старый"));
    Child<QLineEdit>(dialog, "edt_Passphrase")->setText(U("зелёный слон"));
    Child<QLineEdit>(dialog, "edt_Repeat")->setText(U("зелёный слон"));
    Child<QPushButton>(dialog, "btn_Ok")->click();
  });
  const auto changed = prompts.Passphrase(nullptr, TPassphraseMode::Change, "a.xml", {});
  EXPECT_TRUE(changed.Ok);
  EXPECT_EQ(changed.Current, U("старый"));
  EXPECT_EQ(changed.Passphrase, U("зелёный слон"));

  WhenModal([](QWidget* dialog) {
    EXPECT_EQ(Child<QLabel>(dialog, "lbl_Message")->text(), U("Неверный пароль."));
    Child<QLineEdit>(dialog, "edt_Passphrase")->setText("typed");
    Child<QPushButton>(dialog, "btn_Cancel")->click();
  });
  const auto cancelled =
      prompts.Passphrase(nullptr, TPassphraseMode::Unlock, "a.xml", U("Неверный пароль."));
  EXPECT_FALSE(cancelled.Ok);
  EXPECT_EQ(cancelled.Passphrase, QString());
}

TEST(QtPrompts, SaveDialogRemembersTheFileAndTheChosenFilter) {
  // Qt's own dialog: a desktop's native one cannot be driven from here.
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
  QTemporaryDir dir;
  TQtPrompts prompts;
  TFileDialogState state;
  state.Title = U("Экспортировать");
  state.Filter = U("Гипертекст (*.html)|*.html|Просто текст (*.txt)|*.txt");
  state.InitialDir = dir.path();
  const QString target = dir.filePath("out.html");
  auto typed = std::make_shared<bool>(false);
  WhenModal([target, typed](QWidget* widget) {
    auto* dialog = qobject_cast<QFileDialog*>(widget);
    ASSERT_NE(dialog, nullptr);
    if (!*typed) {
      EXPECT_EQ(dialog->windowTitle(), U("Экспортировать"));
      ASSERT_EQ(dialog->nameFilters().size(), 2);
      dialog->selectNameFilter(dialog->nameFilters()[1]);
      Child<QLineEdit>(dialog, "fileNameEdit")->setText(target);
      *typed = true;
      return;
    }
    QMetaObject::invokeMethod(dialog, "accept");
  });
  EXPECT_EQ(prompts.SaveFileName(nullptr, state), target);
  EXPECT_EQ(state.FileName, target);
  EXPECT_EQ(state.FilterIndex, 2);
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, false);
}

TEST(QtPrompts, ChooseGivesTheIndexOfTheButtonPressed) {
  TQtPrompts prompts;
  WhenModal([](QWidget* widget) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    ASSERT_NE(box, nullptr);
    for (QAbstractButton* button : box->buttons())
      if (button->text() == U("Подключить")) button->click();
  });
  EXPECT_EQ(prompts.Choose(nullptr, "?", {U("Заменить"), U("Подключить"), U("Отмена")}), 1);
}

TEST(QtPrompts, ChooseNoEscapeLeavesEscapeUnanswered) {
  // The last button throws the text away: Escape must not press it.
  TQtPrompts prompts;
  auto escaped = std::make_shared<bool>(false);
  WhenModal([escaped](QWidget* widget) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    ASSERT_NE(box, nullptr);
    if (!*escaped) {
      QTest::keyClick(box, Qt::Key_Escape);
      box->close();
      *escaped = true;
      return;
    }
    for (QAbstractButton* button : box->buttons())
      if (button->text() == U("Повторить")) button->click();
  });
  EXPECT_EQ(prompts.ChooseNoEscape(
                nullptr, "?", {U("Повторить"), U("Сохранить как..."), U("Отменить изменения")}),
            0);
}

// Every dialog the program opens has a title bar without minimise and
// maximise buttons, or no frame at all.
TEST(QtPrompts, NoDialogCanBeMinimisedOrMaximised) {
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
  TQtPrompts prompts;
  TFileDialogState files;
  const std::pair<const char*, std::function<void()>> shown[] = {
      {"NewElement", [&] { prompts.NewElement(nullptr, 1, 0, 0); }},
      {"Authorization", [&] { prompts.Authorization(nullptr, 0); }},
      {"Passphrase", [&] { prompts.Passphrase(nullptr, TPassphraseMode::Choose, "a.xml", {}); }},
      {"Confirmation", [&] { prompts.Confirmation(nullptr, "?"); }},
      {"About", [&] { prompts.About(nullptr); }},
      {"Error", [&] { prompts.Error(nullptr, "?"); }},
      {"Information", [&] { prompts.Information(nullptr, "?"); }},
      {"Choose",
       [&] {
         prompts.Choose(nullptr, "?", {"a", "b"});
       }},
      {"ChooseNoEscape",
       [&] {
         prompts.ChooseNoEscape(nullptr, "?", {"a", "b"});
       }},
      {"OpenFileName", [&] { prompts.OpenFileName(nullptr, files); }},
      {"SaveFileName", [&] { prompts.SaveFileName(nullptr, files); }},
  };
  const auto framed = [](const QWidget* dialog) {
    const Qt::WindowFlags flags = dialog->windowFlags();
    return flags.testFlag(Qt::FramelessWindowHint) ||
           (flags.testFlag(Qt::CustomizeWindowHint) &&
            !flags.testFlag(Qt::WindowMinimizeButtonHint) &&
            !flags.testFlag(Qt::WindowMaximizeButtonHint));
  };
  for (const auto& [name, show] : shown) {
    auto checked = std::make_shared<int>(0);
    WhenModal([=](QWidget* dialog) {
      if ((*checked)++ == 0) {
        EXPECT_TRUE(framed(dialog)) << name << " " << std::hex << dialog->windowFlags().toInt();
      }
      QMetaObject::invokeMethod(dialog, "done", Q_ARG(int, 0));
    });
    show();
    EXPECT_EQ(*checked, 1) << name;
  }
  Tfrm_ParametersForm parameters;
  EXPECT_TRUE(framed(&parameters));
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, false);
}

TEST(QtTexts, FileDialogNamesTypesAndDatesInRussian) {
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
  QTemporaryDir dir;
  ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
  for (const char* name : {"a.bmp", "b.xml"})
    ASSERT_TRUE(test_files::Write(dir.filePath(name), ""));
  TQtPrompts prompts;
  TFileDialogState state;
  state.InitialDir = dir.path();
  auto rows = std::make_shared<QMap<QString, QStringList>>();
  WhenModal([rows](QWidget* dialog) {
    auto* view = dialog->findChild<QTreeView*>("treeView");
    ASSERT_NE(view, nullptr);
    const QAbstractItemModel* model = view->model();
    rows->clear();
    for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
      const auto text = [&](int column) {
        return model->index(row, column, view->rootIndex()).data().toString();
      };
      (*rows)[text(0)] = {text(2), text(3)};
    }
    // The folder is read in the background: wait for all three.
    if (rows->size() == 3) QMetaObject::invokeMethod(dialog, "done", Q_ARG(int, 0));
  });
  prompts.OpenFileName(nullptr, state);
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, false);
  ASSERT_EQ(rows->size(), 3);
  EXPECT_EQ(rows->value("sub").value(0), U("Папка"));
  EXPECT_EQ(rows->value("a.bmp").value(0), U("Изображение BMP"));
  EXPECT_EQ(rows->value("b.xml").value(0), U("Документ XML"));
  const QRegularExpression russianDate(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d\\d \\d\\d:\\d\\d$"));
  for (const QString& name : rows->keys())
    EXPECT_TRUE(russianDate.match(rows->value(name).value(1)).hasMatch())
        << rows->value(name).value(1).toStdString();
}

QString ButtonText(const QAbstractButton* button) {
  return button ? button->text().remove(QLatin1Char('&')) : QStringLiteral("<none>");
}

// Qt's own dialogs speak Russian like the rest of the program.
TEST(QtTexts, MessageBoxAndFileDialogButtonsAreRussian) {
  QMessageBox box(QMessageBox::Question, "?", "?",
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  EXPECT_EQ(ButtonText(box.button(QMessageBox::Yes)), U("Да"));
  EXPECT_EQ(ButtonText(box.button(QMessageBox::No)), U("Нет"));
  EXPECT_EQ(ButtonText(box.button(QMessageBox::Cancel)), U("Отмена"));

  QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
  QFileDialog dialog(nullptr, "?");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  auto* buttons = dialog.findChild<QDialogButtonBox*>("buttonBox");
  ASSERT_NE(buttons, nullptr);
  EXPECT_EQ(ButtonText(buttons->button(QDialogButtonBox::Cancel)), U("Отмена"));
  EXPECT_EQ(ButtonText(buttons->button(QDialogButtonBox::Save)), U("Сохранить"));
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, false);
}

// Picking an existing journal file through "..." asks only the program's
// own question (replace, attach or cancel), not Qt's replace question first.
TEST(QtTexts, PickingAnExistingFileForAJournalAsksNothingInTheFileDialog) {
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
  QTemporaryDir dir;
  const QString target = dir.filePath("old.xml");
  ASSERT_TRUE(test_files::Write(target, ""));
  Tfrm_NewElement form;
  form.SetMode(2);
  // A message box over the file dialog is a second question: count it and answer "Да".
  int asked = 0;
  QTimer watcher;
  watcher.setInterval(10);
  QObject::connect(&watcher, &QTimer::timeout, [&asked] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      ++asked;
      if (QAbstractButton* yes = box->button(QMessageBox::Yes))
        yes->click();
      else
        box->reject();
    }
  });
  watcher.start();
  auto typed = std::make_shared<bool>(false);
  WhenModal([target, typed](QWidget* widget) {
    auto* dialog = qobject_cast<QFileDialog*>(widget);
    ASSERT_NE(dialog, nullptr);
    if (!*typed) {
      Child<QLineEdit>(dialog, "fileNameEdit")->setText(target);
      *typed = true;
      return;
    }
    QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
  });
  Child<QToolButton>(&form, "btn_Default")->click();
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(form.Second(), target);
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, false);
}

TEST(QtPrompts, BrowserCommandPutsTheFileWhereTheDesktopEntrySays) {
  const QString file = QStringLiteral("/tmp/my lib.xml");
  const QString url = QStringLiteral("file:///tmp/my%20lib.xml");
  struct TCase {
    const char* exec;
    QStringList command;
  } cases[] = {
      {"firefox %u", {"firefox", url}},
      {"/usr/bin/chromium --new-window %U", {"/usr/bin/chromium", "--new-window", url}},
      {"epiphany %F", {"epiphany", file}},
      {"browser --flag", {"browser", "--flag", url}},  // no field code: the file goes last
      {"\"my browser\" %i %c %k %u", {"my browser", url}},
      {"wget --progress=100%%", {"wget", "--progress=100%", url}},
      {"", {}},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(DesktopEntryCommand(QString::fromUtf8(c.exec), file), c.command) << c.exec;
}

}  // namespace
