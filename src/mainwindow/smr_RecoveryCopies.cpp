#include "mainwindow/smr_RecoveryCopies.h"

#include <QDateTime>
#include <QThread>
#include <memory>

#include "xml/xml_functions.h"

TRecoveryCopies::TRecoveryCopies(QObject* parent) : QObject(parent), FStore(QString(), QString()) {
  FThread = new QThread(this);
  FThread->setObjectName(QStringLiteral("recovery"));
  FWorker = new QObject;
  FWorker->moveToThread(FThread);
  connect(FThread, &QThread::finished, FWorker, &QObject::deleteLater);
  FThread->start(QThread::LowPriority);
  FQuiet.setSingleShot(true);
  FLongest.setSingleShot(true);
  connect(&FQuiet, &QTimer::timeout, this, &TRecoveryCopies::TakeCopy);
  connect(&FLongest, &QTimer::timeout, this, [this] {
    // Typing goes on: the copy waits for the next short pause.
    FOverdue = true;
    if (FQuiet.remainingTime() > FPause) FQuiet.start(FPause);
  });
  SetDelays(5000, 30000);
}

TRecoveryCopies::~TRecoveryCopies() {
  // Jobs still queued when the loop quits would be dropped.
  Drain();
  FThread->quit();
  FThread->wait();
}

void TRecoveryCopies::SetDelays(int afterTyping, int atMost, int pause) {
  FAfterTyping = afterTyping;
  FPause = pause;
  FQuiet.setInterval(afterTyping);
  FLongest.setInterval(atMost);
}

void TRecoveryCopies::UseStore(const TRecoveryStore& store) {
  // Jobs already handed over belong to the store they were made for.
  Drain();
  FStore = store;
}

void TRecoveryCopies::Activity() {
  FQuiet.start(FOverdue ? FPause : FAfterTyping);
  if (!FLongest.isActive() && !FOverdue) FLongest.start();
}

void TRecoveryCopies::TakeCopy() {
  FOverdue = false;
  FLongest.stop();
  emit Due();
}

void TRecoveryCopies::Post(std::function<void(TRecoveryStore&)> job) {
  // The store is copied into the job: it is small and its strings are shared.
  QMetaObject::invokeMethod(
      FWorker, [this, store = FStore, job = std::move(job)]() mutable { job(store); },
      Qt::QueuedConnection);
}

void TRecoveryCopies::Copy(TRecoveryStore::TKind kind, const QString& file, std::string text,
                           std::optional<std::uint64_t> fileTextHash) {
  // Shared, not copied: a big journal's text must not be copied on the way.
  auto shared = std::make_shared<const std::string>(std::move(text));
  Post([this, kind, file, shared, fileTextHash](TRecoveryStore& store) {
    const QString error = fileTextHash && HashOf(*shared) == *fileTextHash
                              ? store.Remove(file)
                              : store.Write(kind, file, *shared, QDateTime::currentDateTime());
    if (!error.isEmpty())
      QMetaObject::invokeMethod(
          this, [this, error] { emit Failed(error); }, Qt::QueuedConnection);
  });
}

void TRecoveryCopies::Forget(const QString& file) {
  Post([this, file](TRecoveryStore& store) {
    if (const QString error = store.Remove(file); !error.isEmpty())
      QMetaObject::invokeMethod(
          this, [this, error] { emit Failed(error); }, Qt::QueuedConnection);
  });
}

void TRecoveryCopies::ForgetAll() {
  FQuiet.stop();
  FLongest.stop();
  FOverdue = false;
  Post([this](TRecoveryStore& store) {
    if (const QString error = store.RemoveAll(); !error.isEmpty())
      QMetaObject::invokeMethod(
          this, [this, error] { emit Failed(error); }, Qt::QueuedConnection);
  });
}

void TRecoveryCopies::Drain() {
  QMetaObject::invokeMethod(
      FWorker, [] {}, Qt::BlockingQueuedConnection);
}
