#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string_view>

class TFileSeal;

// Rewrites a library's files sealed (encrypted) or plain, one file at a
// time through the one writer, so a job cut off anywhere leaves every file
// whole: either as it was or as it is meant to become. A marker beside the
// library says that a job was under way, so the next opening can finish it.
class TLibrarySealing {
 public:
  enum class TDirection { Seal, Unseal };

  // The marker: "<library file>.somnary-sealing".
  static QString MarkerOf(const QString& libraryFile);
  // The job the marker says was cut off; nothing when there is none.
  static std::optional<TDirection> Interrupted(const QString& libraryFile);

  // The other files holding a document's text: its backups ("<name>.bak",
  // ".bak2", ...) and the copies kept beside it after a conflict.
  static QStringList Companions(const QString& file);

  // Whether a file's first bytes are already what the job makes of it.
  using TDone = std::function<bool(std::string_view fileStart)>;
  // Told each file as it is done, with how many of how many.
  using TProgress = std::function<void(const QString& file, int done, int total)>;

  // Rewrites the files (absolute; those missing are passed over): each is
  // read and opened with `from` (null: only plain files are read) and
  // written with `to` (null: plain). The marker is written first and goes
  // once every file is done. Returns the failures, one line each.
  static QStringList Run(const QString& libraryFile, TDirection direction, const QStringList& files,
                         const TFileSeal* from, const TFileSeal* to, const TDone& done,
                         const TProgress& progress = {});
};
