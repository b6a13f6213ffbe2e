#include <QGuiApplication>
#include <QSessionManager>

#include "app/smr_SessionEnd.h"

// Qt answers WM_QUERYENDSESSION with commitDataRequest, in the event loop
// running then, a dialog's included; nothing is caught earlier.
void CatchSessionEnd() {}

void OnSessionEnd(QCoreApplication& app, std::function<void()> writeNow,
                  std::function<void()> leave) {
  auto* gui = qobject_cast<QGuiApplication*>(&app);
  if (!gui) return;
  QObject::connect(
      gui, &QGuiApplication::commitDataRequest, gui,
      [writeNow = std::move(writeNow), leave = std::move(leave)](QSessionManager&) {
        static bool told = false;
        if (told) return;
        told = true;
        // Windows may end the process as soon as the answer is given: the
        // files are written before it is.
        writeNow();
        leave();
      },
      Qt::DirectConnection);
}
