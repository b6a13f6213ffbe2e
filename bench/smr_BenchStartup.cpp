// Start-up as the program does it, timed from the moment the harness
// started this process: prints, in milliseconds since then, when main was
// entered, when the application object existed, when the window was built
// (settings, library and default journal read) and when it was first painted,
// then how many journals the window had read by then.
//
//   somnary_bench_startup SPAWN_NS PROGRAM_DIR
#include <time.h>

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "mainwindow/smr_MainForm.h"

namespace {

std::int64_t NowNs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// Reports once the first paint of the window has been handled: the timer
// fires on the next turn of the event loop, after the paint is done.
class TPaintWatch : public QObject {
 public:
  std::int64_t Painted = 0;
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() == QEvent::Paint && !FSeen) {
      FSeen = true;
      QTimer::singleShot(0, [this] {
        Painted = NowNs();
        QCoreApplication::quit();
      });
    }
    return QObject::eventFilter(object, event);
  }

 private:
  bool FSeen = false;
};

}  // namespace

int main(int argc, char** argv) {
  const std::int64_t entered = NowNs();
  if (argc < 3) return 2;
  const std::int64_t spawn = std::strtoll(argv[1], nullptr, 10);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Somnary"));
  const std::int64_t created = NowNs();
  Tfrm_MainForm window(QString::fromLocal8Bit(argv[2]));
  const std::int64_t built = NowNs();
  if (window.Terminated()) return 3;
  TPaintWatch watch;
  window.installEventFilter(&watch);
  QTimer::singleShot(10000, [] { QCoreApplication::exit(4); });
  window.show();
  if (app.exec() != 0 || watch.Painted == 0) return 4;
  auto ms = [&](std::int64_t t) { return static_cast<double>(t - spawn) / 1e6; };
  std::printf("%.2f %.2f %.2f %.2f %d\n", ms(entered), ms(created), ms(built), ms(watch.Painted),
              window.Journals().Count());
  std::fflush(stdout);
  return 0;
}
