// Somnary: a dream diary.
#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#include "mainwindow/smr_MainForm.h"

namespace {

int gSignalPipe[2] = {-1, -1};

void OnTerminate(int) {
  const char byte = 1;
  // Only a write is safe in a signal handler; the loop does the rest.
  [[maybe_unused]] ssize_t n = ::write(gSignalPipe[0], &byte, 1);
}

// A session that ends (logout, shutdown) sends SIGTERM: leave the event loop
// so that the window is destroyed normally and writes every document.
void QuitCleanlyOnTerminate(QApplication& app) {
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, gSignalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(gSignalPipe[1], QSocketNotifier::Read, &app);
  QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier] {
    char byte = 0;
    [[maybe_unused]] ssize_t n = ::read(gSignalPipe[1], &byte, 1);
    notifier->setEnabled(false);
    QApplication::quit();
  });
  struct sigaction action = {};
  action.sa_handler = OnTerminate;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Somnary"));
  QuitCleanlyOnTerminate(app);

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
