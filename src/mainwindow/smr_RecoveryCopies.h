#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <optional>
#include <string>

#include "storage/smr_RecoveryStore.h"

class QThread;

// Writes recovery copies of unsaved edits without holding up the typing:
// the window hands over each document's text when a copy is due, and a
// worker thread compares it with the file and writes or removes the copy.
// A copy is due a few seconds after the user stops, and at the latest at the
// next pause once half a minute has passed with edits uncopied.
class TRecoveryCopies : public QObject {
  Q_OBJECT

 public:
  explicit TRecoveryCopies(QObject* parent = nullptr);
  // Finishes the copies handed over.
  ~TRecoveryCopies() override;

  // Milliseconds: the quiet after which a copy is taken, the longest time
  // edits wait for one, and the pause that is enough once they waited that long.
  void SetDelays(int afterTyping, int atMost, int pause = 300);
  // The copies go to this library's store from now on.
  void UseStore(const TRecoveryStore& store);
  const TRecoveryStore& Store() const { return FStore; }

  // The user did something that may have changed a document.
  void Activity();
  // Hands over a document's text: written unless it hashes as the file's
  // text does (then its copy goes).
  void Copy(TRecoveryStore::TKind kind, const QString& file, std::string text,
            std::optional<std::uint64_t> fileTextHash);
  // The document was written: its copy goes.
  void Forget(const QString& file);
  // Everything was written: every copy of the library goes.
  void ForgetAll();
  // Waits until the worker has done everything handed over.
  void Drain();

 signals:
  // A copy is due: the window hands over the documents edited since the last one.
  void Due();
  // A copy could not be written or removed (the message names the file).
  void Failed(const QString& message);

 private:
  void Post(std::function<void(TRecoveryStore&)> job);
  void TakeCopy();

  TRecoveryStore FStore;
  QThread* FThread = nullptr;
  QObject* FWorker = nullptr;  // lives on FThread; jobs run in its context
  QTimer FQuiet;               // restarted by each activity
  QTimer FLongest;             // runs from the first activity after a copy
  int FAfterTyping = 5000;
  int FPause = 300;
  bool FOverdue = false;
};
