#include "storage/smr_DatedBackups.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTime>
#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>

#include "storage/smr_FileError.h"
#include "storage/smr_Resources.h"
#include "xml/xml_functions.h"

namespace {

using res::U;

// ASCII digits only: a folder named with other digits is not one of ours.
const QRegularExpression kDayName(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}$"));

QString Absolute(const QString& path) {
  return QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(path)).absoluteFilePath());
}

QString WithSlash(QString dir) {
  if (!dir.endsWith('/')) dir += '/';
  return dir;
}

std::string Native(const QString& path) { return path.toUtf8().toStdString(); }

// From UTF-8 explicitly: a plain std::string path is the code page's on Windows.
std::filesystem::path FsPath(const QString& path) {
  const QByteArray name = path.toUtf8();
  return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

QString MakeFolder(const QString& folder) {
  std::error_code error;
  std::filesystem::create_directories(FsPath(QDir::cleanPath(folder)), error);
  if (!error && QFileInfo(folder).isDir()) return {};
  if (!error) error = std::make_error_code(std::errc::not_a_directory);
  return U(res::FolderNotCreated).arg(folder, QString::fromUtf8(error.message()));
}

QString RemoveFolder(const QString& folder) {
  if (!QFileInfo::exists(folder) || QDir(folder).removeRecursively()) return {};
  return U(res::FolderNotRemoved).arg(folder);
}

QString ReadFile(const QString& file, std::string& bytes) {
  std::string error;
  if (ReadWholeFile(Native(file), bytes, &error)) return {};
  return FileReadErrorText(file, QString::fromUtf8(error));
}

// The one writer, with the folders on the way made first.
QString WriteFile(const QString& file, const std::string& bytes) {
  QString failure = MakeFolder(QFileInfo(file).absolutePath());
  if (!failure.isEmpty()) return failure;
  try {
    // A folder left unsynced only risks this copy on a power cut; the
    // original is untouched either way.
    WriteFileAtomically(Native(file), bytes);
  } catch (const TXMLWriteError& error) {
    return FileWriteErrorText(file, error.what());
  }
  return {};
}

struct TItem {
  QString Source;
  QString Relative;
};

// Copies the items into root + name. The folder is filled under a hidden
// name and renamed into place only when complete, so a copy cut off
// half-way never looks finished; on failure nothing of it stays.
QString Assemble(const QString& root, const QString& name, const std::vector<TItem>& items) {
  const QString part = root + '.' + name + ".part";
  QString failure = RemoveFolder(part);
  if (failure.isEmpty()) failure = MakeFolder(part);
  for (std::size_t i = 0; i < items.size() && failure.isEmpty(); ++i) {
    std::string bytes;
    failure = ReadFile(items[i].Source, bytes);
    if (failure.isEmpty()) failure = WriteFile(part + '/' + items[i].Relative, bytes);
  }
  if (failure.isEmpty()) {
    std::error_code error;
    std::filesystem::rename(FsPath(part), FsPath(root + name), error);
    if (error)
      failure = U(res::FolderNotRenamed).arg(part, name, QString::fromUtf8(error.message()));
  }
  if (!failure.isEmpty()) QDir(part).removeRecursively();
  return failure;
}

QDate DayOf(const QString& folderName) {
  return kDayName.match(folderName).hasMatch() ? QDate::fromString(folderName, Qt::ISODate)
                                               : QDate();
}

// "ГГГГ-ММ-ДД ЧЧ-ММ-СС перед восстановлением", with " (2)" and on when the
// same second was taken.
const QRegularExpression& BeforeRestoreName() {
  static const QRegularExpression name(
      QStringLiteral("^([0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}-[0-9]{2}-[0-9]{2}) ") +
      QRegularExpression::escape(U(res::BackupsBeforeRestore)) +
      QStringLiteral("(?: \\([0-9]+\\))?$"));
  return name;
}

QStringList FilesUnder(const QString& folder) {
  QStringList files;
  QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) files << it.next().mid(folder.size());
  files.sort();
  return files;
}

// Whether "C:/..." names a whole path here, i.e. the system has drive letters.
bool HasDriveLetters() { return QDir::isAbsolutePath(QStringLiteral("C:/")); }

}  // namespace

TDatedBackups::TDatedBackups(const QString& root, const QString& libraryFolder)
    : FRoot(WithSlash(Absolute(root))), FLibraryFolder(WithSlash(Absolute(libraryFolder))) {}

QString TDatedBackups::DefaultRoot(const QString& libraryFile) {
  return WithSlash(QFileInfo(Absolute(libraryFile)).absolutePath()) + U(res::BackupsFolder) + '/';
}

QString TDatedBackups::DayFolderName(const QDate& day) { return day.toString(Qt::ISODate); }

QString TDatedBackups::RelativeInCopy(const QString& file) const {
  const QString path = Absolute(file);
  if (path.startsWith(FLibraryFolder)) return path.mid(FLibraryFolder.size());
  // "/home/x/j.xml" → "home/x/j.xml", "C:/x/j.xml" → "C/x/j.xml",
  // "//server/share/j.xml" → "server/share/j.xml".
  QString rest = path;
  while (rest.startsWith('/')) rest.remove(0, 1);
  if (rest.size() >= 2 && rest[1] == ':' && rest[0].isLetter()) rest.remove(1, 1);
  return U(res::BackupsOutsideLibrary) + '/' + rest;
}

QString TDatedBackups::OriginalOf(const TCopy& /*copy*/, const QString& relative) const {
  const QString outside = U(res::BackupsOutsideLibrary) + '/';
  if (!relative.startsWith(outside)) return FLibraryFolder + relative;
  const QString rest = relative.mid(outside.size());
  if (!HasDriveLetters()) return '/' + rest;
  // With drive letters every whole path has one or is a network share.
  if (rest.size() >= 2 && rest[1] == '/' && rest[0].isLetter())
    return rest.left(1) + ':' + rest.mid(1);
  return "//" + rest;
}

QString TDatedBackups::CopyBeforeFirstSave(const QStringList& files, const QDate& today) const {
  const QString name = DayFolderName(today);
  if (QFileInfo::exists(FRoot + name)) return {};
  std::vector<TItem> items;
  QSet<QString> taken;
  for (const QString& file : files) {
    const QString path = Absolute(file);
    // A copy of the copies would only grow with every day.
    if (file.isEmpty() || WithSlash(path).startsWith(FRoot) || !QFileInfo(path).isFile()) continue;
    const QString relative = RelativeInCopy(path);
    if (taken.contains(relative)) continue;
    taken.insert(relative);
    items.push_back({path, relative});
  }
  // Nothing to keep yet (a library not written so far): no empty day.
  if (items.empty()) return {};
  const QString failure = Assemble(FRoot, name, items);
  return failure.isEmpty() ? Prune() : failure;
}

std::vector<QDate> TDatedBackups::KeptDays(std::vector<QDate> days) {
  std::sort(days.begin(), days.end(), std::greater<>());
  days.erase(std::unique(days.begin(), days.end()), days.end());
  std::vector<QDate> kept;
  QSet<int> weeks;
  QSet<int> months;
  for (std::size_t i = 0; i < days.size(); ++i) {
    const QDate& day = days[i];
    int weekYear = 0;
    const int week = day.weekNumber(&weekYear) + weekYear * 100;
    const int month = day.month() + day.year() * 100;
    // Newest first, so the first day met in a week or month is its newest.
    bool keep = i < 7;
    if (!weeks.contains(week) && weeks.size() < 4) {
      weeks.insert(week);
      keep = true;
    }
    if (!months.contains(month) && months.size() < 12) {
      months.insert(month);
      keep = true;
    }
    if (keep) kept.push_back(day);
  }
  std::reverse(kept.begin(), kept.end());
  return kept;
}

QString TDatedBackups::Prune() const {
  std::vector<QDate> days;
  const QStringList folders = QDir(FRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  for (const QString& folder : folders)
    if (const QDate day = DayOf(folder); day.isValid()) days.push_back(day);
  const std::vector<QDate> kept = KeptDays(days);
  QString failure;
  for (const QDate& day : days) {
    if (std::binary_search(kept.begin(), kept.end(), day)) continue;
    const QString removed = RemoveFolder(FRoot + DayFolderName(day));
    if (failure.isEmpty()) failure = removed;
  }
  return failure;
}

std::vector<TDatedBackups::TCopy> TDatedBackups::Copies() const {
  std::vector<TCopy> copies;
  const QStringList folders = QDir(FRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  for (const QString& folder : folders) {
    QDateTime made;
    if (const QDate day = DayOf(folder); day.isValid()) {
      made = QDateTime(day, QTime(0, 0));
    } else if (const auto match = BeforeRestoreName().match(folder); match.hasMatch()) {
      made = QDateTime::fromString(match.captured(1), QStringLiteral("yyyy-MM-dd HH-mm-ss"));
    }
    if (!made.isValid()) continue;
    const QString path = FRoot + folder + '/';
    copies.push_back({path, folder, made, FilesUnder(path)});
  }
  std::sort(copies.begin(), copies.end(), [](const TCopy& a, const TCopy& b) {
    return a.Made != b.Made ? a.Made > b.Made : a.Caption > b.Caption;
  });
  return copies;
}

QString TDatedBackups::Restore(const TCopy& copy, const QStringList& relativeFiles,
                               const QDateTime& now, QString* undoCopy) const {
  if (undoCopy) undoCopy->clear();
  const QStringList& chosen = relativeFiles.isEmpty() ? copy.Files : relativeFiles;
  // Everything is read first: a copy that cannot be read changes nothing.
  std::vector<std::string> contents(static_cast<std::size_t>(chosen.size()));
  std::vector<TItem> current;
  for (qsizetype i = 0; i < chosen.size(); ++i) {
    QString failure = ReadFile(copy.Folder + chosen[i], contents[static_cast<std::size_t>(i)]);
    if (!failure.isEmpty()) return failure;
    const QString original = OriginalOf(copy, chosen[i]);
    if (QFileInfo(original).isFile()) current.push_back({original, RelativeInCopy(original)});
  }
  if (!current.empty()) {
    const QString base = DayFolderName(now.date()) + ' ' +
                         now.time().toString(QStringLiteral("HH-mm-ss")) + ' ' +
                         U(res::BackupsBeforeRestore);
    QString name = base;
    for (int n = 2; QFileInfo::exists(FRoot + name); ++n)
      name = base + QStringLiteral(" (%1)").arg(n);
    QString failure = Assemble(FRoot, name, current);
    if (!failure.isEmpty()) return failure;
    if (undoCopy) *undoCopy = FRoot + name + '/';
  }
  QString failure;
  for (qsizetype i = 0; i < chosen.size(); ++i) {
    const QString written =
        WriteFile(OriginalOf(copy, chosen[i]), contents[static_cast<std::size_t>(i)]);
    if (failure.isEmpty()) failure = written;
  }
  return failure;
}
