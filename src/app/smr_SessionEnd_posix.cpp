#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>

#include "app/smr_SessionEnd.h"

namespace {

int gSignalPipe[2] = {-1, -1};

void OnSignal(int) {
  const char byte = 1;
  // Only a write is safe in a signal handler; the loop does the rest.
  [[maybe_unused]] ssize_t n = ::write(gSignalPipe[0], &byte, 1);
}

}  // namespace

void CatchSessionEnd() {
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, gSignalPipe) != 0) return;
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
}

void OnSessionEnd(QCoreApplication& app, std::function<void()> end) {
  if (gSignalPipe[1] < 0) return;
  auto* notifier = new QSocketNotifier(gSignalPipe[1], QSocketNotifier::Read, &app);
  QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier, end] {
    char byte = 0;
    [[maybe_unused]] ssize_t n = ::read(gSignalPipe[1], &byte, 1);
    notifier->setEnabled(false);
    end();
  });
}
