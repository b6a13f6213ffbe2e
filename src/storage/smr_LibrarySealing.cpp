#include "storage/smr_LibrarySealing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include "storage/smr_FileError.h"
#include "xml/xml_fileSystem.h"
#include "xml/xml_functions.h"
#include "xml/xml_seal.h"

namespace {

std::string Native(const QString& path) { return path.toUtf8().toStdString(); }

constexpr const char* kSealWord = "seal";
constexpr const char* kUnsealWord = "unseal";

}  // namespace

QString TLibrarySealing::MarkerOf(const QString& libraryFile) {
  return libraryFile + QStringLiteral(".somnary-sealing");
}

std::optional<TLibrarySealing::TDirection> TLibrarySealing::Interrupted(
    const QString& libraryFile) {
  std::string bytes;
  if (!ReadWholeFile(Native(MarkerOf(libraryFile)), bytes)) return std::nullopt;
  if (bytes.rfind(kUnsealWord, 0) == 0) return TDirection::Unseal;
  // Any other marker: sealing is the safe way to finish.
  return TDirection::Seal;
}

QStringList TLibrarySealing::Companions(const QString& file) {
  const QFileInfo info(file);
  const QString name = info.fileName();
  const QString suffix = info.suffix();
  const QString stem = suffix.isEmpty() ? name : name.chopped(suffix.size() + 1);
  // The shapes FreeBackupName and ConflictFileName give.
  const QRegularExpression backup(QRegularExpression::anchoredPattern(
      QRegularExpression::escape(name) + QStringLiteral("\\.bak[0-9]*")));
  const QRegularExpression conflict(QRegularExpression::anchoredPattern(
      QRegularExpression::escape(stem) + QStringLiteral(" \\(конфликт [^)]*\\)( [0-9]+)?") +
      (suffix.isEmpty() ? QString() : QRegularExpression::escape(QLatin1Char('.') + suffix))));
  QStringList found;
  const QDir folder = info.absoluteDir();
  for (const QString& entry : folder.entryList(QDir::Files | QDir::Hidden | QDir::System))
    if (backup.match(entry).hasMatch() || conflict.match(entry).hasMatch())
      found << folder.absoluteFilePath(entry);
  return found;
}

QStringList TLibrarySealing::Run(const QString& libraryFile, TDirection direction,
                                 const QStringList& files, const TFileSeal* from,
                                 const TFileSeal* to, const TDone& done,
                                 const TProgress& progress) {
  QStringList failures;
  const QString marker = MarkerOf(libraryFile);
  try {
    WriteFileAtomically(
        Native(marker),
        std::string(direction == TDirection::Seal ? kSealWord : kUnsealWord) + "\r\n");
  } catch (const TXMLWriteError& error) {
    return {FileWriteErrorText(marker, error.what())};
  }
  QSet<QString> seen;
  int count = 0;
  for (const QString& file : files) {
    ++count;
    const QString canonical = QString::fromStdString(CanonicalFileName(Native(file)));
    if (seen.contains(canonical)) continue;
    seen.insert(canonical);
    const std::string native = Native(file);
    // Temporaries of saves cut off long ago may hold the old text.
    xfs::RemoveStaleTemporaries(native);
    std::string bytes, reason;
    if (!FileExists(native)) continue;
    if (!ReadWholeFile(native, bytes, &reason)) {
      failures << FileReadErrorText(file, QString::fromUtf8(reason));
      continue;
    }
    if (!done(bytes)) {
      std::string text;
      if (!OpenDocumentBytes(std::move(bytes), text, &reason, from)) {
        failures << FileReadErrorText(file, QString::fromUtf8(reason));
        continue;
      }
      try {
        WriteDocumentFile(
            native, [&](const TByteSink& sink) { sink(text); }, to);
      } catch (const TXMLWriteError& error) {
        failures << FileWriteErrorText(file, error.what());
        continue;
      }
    }
    if (progress) progress(file, count, static_cast<int>(files.size()));
  }
  // A job with failures is not finished: the marker stays for the next try.
  if (failures.isEmpty()) QFile::remove(marker);
  return failures;
}
