#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QString>
#include <functional>

// One copy of the program per settings file: two copies would each write
// the same settings, library and journals at their end. The first holds a
// lock beside the settings (somnary.lock) and listens; a later start asks it to show its
// window and ends. A lock left by a copy that crashed is taken over.
class TSingleInstance {
 public:
  // `wake` runs in the first copy each time a later start asks for it.
  TSingleInstance(const QString& settingsFile, const std::function<void()>& wake);
  ~TSingleInstance();
  TSingleInstance(const TSingleInstance&) = delete;
  TSingleInstance& operator=(const TSingleInstance&) = delete;

  // True for the first copy, and when no lock can be made at all (a
  // folder that cannot be written): the program then runs as it always did.
  bool IsFirst() const { return FFirst; }
  // For a later copy: asks the first to show its window; false when it
  // did not answer.
  bool WakeFirst();

 private:
  QLockFile FLock;
  QLocalServer FServer;
  QString FName;
  bool FFirst = true;
};
