#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

// Dated copies of a library's files, made at the first save of each day so
// that a deletion saved once can still be undone. Each day has its folder
// "ГГГГ-ММ-ДД" under the backup folder (by default "Резервные копии" in the
// library's folder); files keep their places relative to the library's
// folder, and files outside it go under "Вне папки библиотеки" by their
// absolute path. No widgets: the window and its restore dialog use this.
class TDatedBackups {
 public:
  // root: the backup folder; libraryFolder: the folder the library file is in.
  TDatedBackups(const QString& root, const QString& libraryFolder);

  // The default backup folder of a library file.
  static QString DefaultRoot(const QString& libraryFile);
  // "ГГГГ-ММ-ДД".
  static QString DayFolderName(const QDate& day);

  // Copies the files that exist into today's folder unless it is there
  // already (the day's first save made it), then removes the days the
  // retention rule no longer keeps. The day is assembled under another name
  // and renamed into place, so a copy cut off half-way is never taken for a
  // finished one. Returns the failure ("file: reason"), empty on success;
  // the files themselves are never touched.
  QString CopyBeforeFirstSave(const QStringList& files, const QDate& today) const;

  // The days kept: the last 7 days that have a copy, the newest copy of each
  // of the last 4 weeks and of each of the last 12 months that have one.
  static std::vector<QDate> KeptDays(std::vector<QDate> days);
  // Removes the daily folders KeptDays does not keep. Copies made before a
  // restore are the user's and stay.
  QString Prune() const;

  // One dated copy as the restore dialog lists it.
  struct TCopy {
    QString Folder;     // absolute, with a trailing '/'
    QString Caption;    // its folder's name
    QDateTime Made;     // the day (midnight) or the moment of a pre-restore copy
    QStringList Files;  // relative to Folder, '/'-separated, sorted
  };
  // Daily copies and copies made before a restore, newest first.
  std::vector<TCopy> Copies() const;

  // The original file a copied file stands for.
  QString OriginalOf(const TCopy& copy, const QString& relative) const;
  // Where a file goes inside a copy.
  QString RelativeInCopy(const QString& file) const;

  // Brings back the given files of a copy (all when empty): the current
  // versions first go into a copy of their own ("ГГГГ-ММ-ДД ЧЧ-ММ-СС перед
  // восстановлением"), so a restore can be undone; then each original is
  // replaced through the atomic writer. The failure, empty on success;
  // `undoCopy` receives the folder of the copy made first.
  QString Restore(const TCopy& copy, const QStringList& relativeFiles, const QDateTime& now,
                  QString* undoCopy = nullptr) const;

  const QString& Root() const { return FRoot; }

 private:
  QString FRoot;           // with a trailing '/'
  QString FLibraryFolder;  // with a trailing '/'
};
