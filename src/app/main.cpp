// Somnary: a dream diary.
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <string_view>

#include "app/smr_AppTexts.h"
#include "app/smr_SessionEnd.h"
#include "app/smr_SingleInstance.h"
#include "dialogs/smr_QtTranslation.h"
#include "mainwindow/smr_MainForm.h"
#include "storage/smr_AppFolders.h"
#include "storage/smr_Version.h"

int main(int argc, char** argv) {
  // The only arguments the program reads; each answers with one line, and
  // no display is needed for it.
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--version") return std::printf("Somnary %s\n", smr::ProgramVersion()) < 0;
    if (argument == "--help") return std::printf("%s\n", res::ProgramUsage) < 0;
  }
  CatchSessionEnd();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Somnary"));
  // Ties the window to the installed menu entry (its icon, on Wayland too).
  QGuiApplication::setDesktopFileName(QStringLiteral("org.example.somnary"));
  InstallQtRussianTexts(app);

  const TAppFolders folders = TAppFolders::ForProgram(QApplication::applicationDirPath());
  folders.MakeSettingsDir();
  // A second start with the same settings shows the first copy's window.
  Tfrm_MainForm* shown = nullptr;
  TSingleInstance instance(folders.SettingsFile(), [&shown] {
    QWidget* front = QApplication::activeModalWidget();
    if (!front && shown && shown->isVisible()) front = shown;
    if (!front) return;
    front->setWindowState(front->windowState() & ~Qt::WindowMinimized);
    front->raise();
    front->activateWindow();
  });
  if (!instance.IsFirst()) {
    if (instance.WakeFirst()) return 0;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Somnary"),
                    QString::fromUtf8(res::AlreadyRunning).arg(folders.SettingsFile()),
                    QMessageBox::Ok);
    box.exec();
    return 1;
  }

  // At logout nobody answers a question: every event loop is left, also
  // that of a dialog that is open (a start-up log-in included), and only
  // then does the window write what it can, once, and say on standard error
  // what it could not. Where the system does not wait for that (Windows),
  // the window writes at once.
  bool ended = false;
  bool written = false;
  int endResult = 0;
  OnSessionEnd(
      app,
      [&] {
        if (!shown) return;
        endResult = shown->EndSession();
        written = true;
      },
      [&] {
        ended = true;
        QApplication::exit(0);
      });
  int result = 0;
  {
    Tfrm_MainForm window(folders);
    shown = &window;
    // A failed log-in ends the program before the window shows.
    if (!ended && !window.Terminated()) {
      window.show();
      result = app.exec();
    }
    if (ended) result = written ? endResult : window.EndSession();
    shown = nullptr;
  }
  return result;
}
