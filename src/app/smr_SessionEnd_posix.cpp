#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

#include "app/smr_SessionEnd.h"

namespace {

// Read end, write end. Non-blocking, so a burst of signals can never block
// the handler once the pipe is full (a byte waiting is wake-up enough), and
// closed on exec, so a browser started from the program does not keep them.
int gSignalPipe[2] = {-1, -1};
volatile std::sig_atomic_t gEnded = 0;

void OnSignal(int) {
  const int saved = errno;
  gEnded = 1;
  const char byte = 1;
  [[maybe_unused]] ssize_t n = ::write(gSignalPipe[1], &byte, 1);
  errno = saved;
}

}  // namespace

void CatchSessionEnd() {
  if (::pipe2(gSignalPipe, O_NONBLOCK | O_CLOEXEC) != 0) return;
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
}

// The program has time to leave its loops and write afterwards: `writeNow`
// is for systems that do not wait (the shared signature takes it by value).
void OnSessionEnd(
    QCoreApplication& app,
    std::function<void()> /*writeNow*/,  // NOLINT(performance-unnecessary-value-param)
    std::function<void()> end) {
  if (gSignalPipe[0] < 0) return;
  auto* notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, &app);
  QObject::connect(notifier, &QSocketNotifier::activated, &app, [end = std::move(end)] {
    char bytes[256];
    while (::read(gSignalPipe[0], bytes, sizeof bytes) > 0) {
    }
    static bool told = false;
    if (!told) {
      told = true;
      end();
    }
  });
  // Ended before the loop ran: the byte in the pipe wakes the notifier.
  if (gEnded) notifier->setEnabled(true);
}
