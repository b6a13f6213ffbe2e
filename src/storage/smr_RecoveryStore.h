#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <string>
#include <string_view>
#include <vector>

// Recovery copies of documents with changes not saved yet, so that a crash
// or a power cut loses at most the last seconds of typing. The copies of one
// library live in a folder of their own under the recovery folder (named
// from a hash of the library's canonical file name) with a list saying
// which file each copy stands for. Every file goes through the atomic
// writer. No widgets; Write and Remove may run on a worker thread, one at a
// time per store.
class TRecoveryStore {
 public:
  enum class TKind { Settings, Library, Journal, Description };

  struct TEntry {
    TKind Kind = TKind::Journal;
    QString Original;  // the document's file, absolute
    QString Copy;      // the copy's file, absolute
    QDateTime Written;
  };

  // recoveryDir: the user's state folder for copies; libraryFile: the open
  // library (empty when none is open).
  TRecoveryStore(const QString& recoveryDir, const QString& libraryFile);

  // Writes (or replaces) the copy of one document; the failure, empty on success.
  // Copies found in the folder for another library, or under a list this
  // version cannot read, are kept aside first rather than overwritten.
  QString Write(TKind kind, const QString& original, std::string_view bytes, const QDateTime& now);
  // Removes one document's copy (it was saved, or it matches its file again).
  QString Remove(const QString& original);
  // Removes every copy of this library (a normal save or end wrote all);
  // another library's copies in its folder stay.
  QString RemoveAll();

  // The copies of this library newer than the files they stand for; a copy
  // older than its file, or one written for another library, is left out.
  std::vector<TEntry> Offered() const;
  // The newest of the offered copies' times.
  static QDateTime Newest(const std::vector<TEntry>& entries);
  // The bytes of a copy; false with the reason when it cannot be read.
  static bool ReadCopy(const TEntry& entry, std::string& bytes, QString& error);

  // Moves this library's copies into "<recovery folder>/Отложено/ГГГГ-ММ-ДД ЧЧ-ММ-СС"
  // (never deleting them). The folder they went to, empty when there were
  // none; on failure `error` says why and the copies stay where they were.
  QString KeepAside(const QDateTime& now, QString& error);

  // Every copy this library has: those waiting and those set aside.
  QStringList AllCopies() const;

  const QString& Folder() const { return FFolder; }

 private:
  QString FRecoveryDir;  // with a trailing '/'
  QString FLibrary;      // canonical, empty for none
  QString FFolder;       // this library's folder, with a trailing '/'
};
