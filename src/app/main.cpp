// Somnary: a dream diary.
#include <QApplication>
#include <cstdio>
#include <string_view>

#include "mainwindow/smr_MainForm.h"
#include "dialogs/smr_QtTranslation.h"
#include "app/smr_SessionEnd.h"
#include "storage/smr_AppFolders.h"
#include "storage/smr_Resources.h"
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

  // At logout nobody answers a question: write what can be written, say on
  // standard error what could not, and leave every event loop, also that of
  // a dialog that is open. While the window is being built (a start-up
  // message may be open) it is only asked to stop; it writes once it is built.
  Tfrm_MainForm* built = nullptr;
  bool ended = false;
  int result = 0;
  OnSessionEnd(app, [&] {
    ended = true;
    if (built) result = built->EndSession();
    QApplication::exit(result);
  });
  {
    Tfrm_MainForm window(TAppFolders::ForProgram(QApplication::applicationDirPath()));
    built = &window;
    if (ended) {
      result = window.EndSession();
    } else if (!window.Terminated()) {  // a failed log-in ends the program before the window shows
      window.show();
      const int code = app.exec();
      if (!ended) result = code;
    }
    built = nullptr;
  }
  return result;
}
