// Somnary: a dream diary.
#include <QApplication>

#include "smr_MainForm.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Somnary"));

  int result = 0;
  {
    Tfrm_MainForm window(QApplication::applicationDirPath());
    // A failed log-in ends the program before the window is ever shown.
    if (!window.Terminated()) {
      window.show();
      result = app.exec();
    }
  }
  return result;
}
