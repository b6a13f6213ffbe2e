#include "storage/smr_RecoveryStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>

#include "storage/smr_FileError.h"
#include "storage/smr_Resources.h"
#include "xml/xml_functions.h"
#include "xml/xml_seal.h"

namespace {

// The list's first line starts with this tag; a list of another format is
// left alone rather than guessed at.
constexpr const char* kListTag = "somnary-recovery 1";
constexpr const char* kListName = "copies.lst";

struct TKindName {
  TRecoveryStore::TKind Kind;
  const char* Name;
  const char* Suffix;
};
constexpr TKindName kKinds[] = {
    {TRecoveryStore::TKind::Settings, "settings", ".ini"},
    {TRecoveryStore::TKind::Library, "library", ".xml"},
    {TRecoveryStore::TKind::Journal, "journal", ".xml"},
    {TRecoveryStore::TKind::Description, "description", ".html"},
};

const TKindName& Named(TRecoveryStore::TKind kind) {
  return *std::find_if(std::begin(kKinds), std::end(kKinds),
                       [kind](const TKindName& k) { return k.Kind == kind; });
}

std::string Native(const QString& path) { return path.toUtf8().toStdString(); }

QString Canonical(const QString& path) {
  return QString::fromStdString(CanonicalFileName(Native(path)));
}

QString Hex(const QString& text) {
  return QStringLiteral("%1").arg(HashOf(Native(text)), 16, 16, QLatin1Char('0'));
}

// The list's fields are split at tabs and lines.
bool FitsTheList(const QString& path) {
  return !path.contains(QLatin1Char('\t')) && !path.contains(QLatin1Char('\n'));
}

// What the folder's list says: nothing (no list), this library's copies,
// another library's, or something unreadable that is not ours to change.
enum class TOwner { None, Ours, Foreign, Garbled };

struct TList {
  TOwner Owner = TOwner::None;
  std::vector<TRecoveryStore::TEntry> Entries;
};

bool ParseEntry(const QString& line, const QString& folder, TRecoveryStore::TEntry& entry) {
  const QStringList fields = line.split(QLatin1Char('\t'));
  if (fields.size() != 4) return false;
  const auto kind = std::find_if(std::begin(kKinds), std::end(kKinds), [&](const TKindName& k) {
    return fields[0] == QLatin1StringView(k.Name);
  });
  entry.Written = QDateTime::fromString(fields[1], Qt::ISODateWithMs);
  const QString& copy = fields[2];
  // A bare name inside the folder: a damaged list must never make Remove
  // delete a file elsewhere.
  const bool bareName = !copy.isEmpty() && copy != QLatin1String(".") &&
                        copy != QLatin1String("..") && !copy.contains(QLatin1Char('/')) &&
                        !copy.contains(QLatin1Char('\\'));
  if (kind == std::end(kKinds) || !entry.Written.isValid() || !bareName ||
      !QDir::isAbsolutePath(fields[3]))
    return false;
  entry.Kind = kind->Kind;
  entry.Copy = folder + copy;
  entry.Original = fields[3];
  return true;
}

TList ReadList(const QString& folder, const QString& library) {
  TList list;
  std::string bytes;
  if (!ReadWholeFile(Native(folder + QLatin1String(kListName)), bytes)) return list;
  list.Owner = TOwner::Garbled;
  QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
  if (lines.size() < 2 || !lines.constLast().isEmpty()) return list;
  lines.removeLast();
  const QString header = lines.takeFirst();
  const QString tag = QLatin1String(kListTag) + QLatin1Char('\t');
  if (!header.startsWith(tag)) return list;
  std::vector<TRecoveryStore::TEntry> entries(static_cast<std::size_t>(lines.size()));
  for (qsizetype i = 0; i < lines.size(); ++i)
    if (!ParseEntry(lines[i], folder, entries[static_cast<std::size_t>(i)])) return list;
  const QString named = header.mid(tag.size());
  // A copy of the same folder name may belong to another library: a hash
  // collision, or a recovery folder brought from elsewhere.
  list.Owner =
      (named.isEmpty() ? named : Canonical(named)) == library ? TOwner::Ours : TOwner::Foreign;
  list.Entries = std::move(entries);
  return list;
}

void WriteList(const QString& folder, const QString& library,
               const std::vector<TRecoveryStore::TEntry>& entries) {
  QString text = QLatin1String(kListTag) + QLatin1Char('\t') + library + QLatin1Char('\n');
  for (const TRecoveryStore::TEntry& e : entries)
    text += QLatin1String(Named(e.Kind).Name) + QLatin1Char('\t') +
            e.Written.toUTC().toString(Qt::ISODateWithMs) + QLatin1Char('\t') +
            QFileInfo(e.Copy).fileName() + QLatin1Char('\t') + e.Original + QLatin1Char('\n');
  WriteFileAtomically(Native(folder + QLatin1String(kListName)), text.toUtf8().toStdString());
}

// The folder without its trailing '/', as renames and removals take it.
QString Bare(const QString& folder) { return folder.chopped(1); }

// Removes a folder of copies, its list first so that a removal cut short
// never leaves a list naming a copy that is gone.
QString RemoveFolder(const QString& folder) {
  QFile::remove(folder + QLatin1String(kListName));
  if (QDir(folder).removeRecursively()) return {};
  return res::U(res::RecoveryNotRemoved).arg(Bare(folder));
}

}  // namespace

TRecoveryStore::TRecoveryStore(const QString& recoveryDir, const QString& libraryFile)
    : FRecoveryDir(QDir::cleanPath(QFileInfo(recoveryDir).absoluteFilePath()) + QLatin1Char('/')),
      FLibrary(libraryFile.isEmpty() ? QString() : Canonical(libraryFile)),
      FFolder(FRecoveryDir +
              (FLibrary.isEmpty() ? res::U(res::RecoveryNoLibraryFolder) : Hex(FLibrary)) +
              QLatin1Char('/')) {}

QString TRecoveryStore::Write(TKind kind, const QString& original, std::string_view bytes,
                              const QDateTime& now) {
  const QString absolute = QDir::cleanPath(QFileInfo(original).absoluteFilePath());
  const auto failed = [&](const QString& reason) {
    return res::U(res::RecoveryCopyNotWritten).arg(absolute, reason);
  };
  if (!FitsTheList(absolute) || !FitsTheList(FLibrary))
    return failed(res::U(res::RecoveryNameNotListed));
  TList list = ReadList(FFolder, FLibrary);
  if (list.Owner == TOwner::Foreign || list.Owner == TOwner::Garbled) {
    // Not ours to overwrite: it goes aside whole, and this library starts afresh.
    QString error;
    KeepAside(now, error);
    if (!error.isEmpty()) return error;
    list = TList();
  }
  if (!QDir().mkpath(FFolder)) return failed(res::U(res::CannotCreateFolder));

  const QString canonical = Canonical(absolute);
  auto entry = std::find_if(list.Entries.begin(), list.Entries.end(),
                            [&](const TEntry& e) { return Canonical(e.Original) == canonical; });
  QString replaced;  // a copy under the name of the document's former kind
  QString copy = entry == list.Entries.end() ? QString() : entry->Copy;
  if (copy.isEmpty() || !copy.endsWith(QLatin1String(Named(kind).Suffix))) {
    replaced = copy;
    const QString stem = FFolder + Hex(canonical);
    copy = stem + QLatin1String(Named(kind).Suffix);
    for (int n = 2; std::any_of(list.Entries.begin(), list.Entries.end(),
                                [&](const TEntry& e) { return e.Copy == copy; });
         ++n)
      copy = stem + QLatin1Char('-') + QString::number(n) + QLatin1String(Named(kind).Suffix);
  }
  try {
    // The copy first: a list never names a copy that is not whole.
    WriteDocumentFile(Native(copy), bytes);
    if (entry == list.Entries.end())
      list.Entries.push_back({kind, absolute, copy, now});
    else
      *entry = {kind, absolute, copy, now};
    WriteList(FFolder, FLibrary, list.Entries);
  } catch (const TXMLWriteError& e) {
    return failed(QString::fromUtf8(e.what()));
  }
  if (!replaced.isEmpty()) QFile::remove(replaced);
  return {};
}

QString TRecoveryStore::Remove(const QString& original) {
  TList list = ReadList(FFolder, FLibrary);
  if (list.Owner != TOwner::Ours) return {};
  const QString canonical = Canonical(original);
  const auto entry = std::find_if(list.Entries.begin(), list.Entries.end(), [&](const TEntry& e) {
    return Canonical(e.Original) == canonical;
  });
  if (entry == list.Entries.end()) return {};
  const QString copy = entry->Copy;
  list.Entries.erase(entry);
  if (list.Entries.empty()) return RemoveFolder(FFolder);
  try {
    WriteList(FFolder, FLibrary, list.Entries);
  } catch (const TXMLWriteError& e) {
    return FileWriteErrorText(FFolder + QLatin1String(kListName), e.what());
  }
  if (!QFile::remove(copy) && QFileInfo::exists(copy))
    return res::U(res::RecoveryNotRemoved).arg(copy);
  return {};
}

QString TRecoveryStore::RemoveAll() {
  if (!QFileInfo::exists(FFolder)) return {};
  // Copies another library or another version of the program left here stay.
  const TOwner owner = ReadList(FFolder, FLibrary).Owner;
  if (owner == TOwner::Foreign || owner == TOwner::Garbled) return {};
  return RemoveFolder(FFolder);
}

std::vector<TRecoveryStore::TEntry> TRecoveryStore::Offered() const {
  TList list = ReadList(FFolder, FLibrary);
  std::vector<TEntry> offered;
  if (list.Owner != TOwner::Ours) return offered;
  for (TEntry& e : list.Entries) {
    if (!QFileInfo::exists(e.Copy)) continue;
    // A file saved after its copy was written holds the newer text; a
    // missing file has none.
    const QFileInfo file(e.Original);
    if (file.exists() && file.lastModified() >= e.Written) continue;
    offered.push_back(std::move(e));
  }
  return offered;
}

QDateTime TRecoveryStore::Newest(const std::vector<TEntry>& entries) {
  QDateTime newest;
  for (const TEntry& e : entries)
    if (!newest.isValid() || e.Written > newest) newest = e.Written;
  return newest;
}

bool TRecoveryStore::ReadCopy(const TEntry& entry, std::string& bytes, QString& error) {
  std::string reason;
  if (ReadDocumentFile(Native(entry.Copy), bytes, &reason)) return true;
  error = FileReadErrorText(entry.Copy, QString::fromUtf8(reason));
  return false;
}

QStringList TRecoveryStore::AllCopies() const {
  QStringList copies;
  QStringList folders{FFolder};
  const QString aside = FRecoveryDir + res::U(res::RecoveryKeptAsideFolder) + QLatin1Char('/');
  for (const QString& name : QDir(aside).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
    folders << aside + name + QLatin1Char('/');
  for (const QString& folder : folders) {
    const TList list = ReadList(folder, FLibrary);
    if (list.Owner != TOwner::Ours) continue;
    for (const TEntry& e : list.Entries) copies << e.Copy;
  }
  return copies;
}

QString TRecoveryStore::KeepAside(const QDateTime& now, QString& error) {
  error.clear();
  if (!QFileInfo::exists(FFolder)) return {};
  const QString aside = FRecoveryDir + res::U(res::RecoveryKeptAsideFolder) + QLatin1Char('/');
  const QString stem = aside + now.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"));
  QString target = stem;
  for (int n = 2; QFileInfo::exists(target); ++n) target = stem + QStringLiteral(" (%1)").arg(n);
  if (!QDir().mkpath(aside) || !QDir().rename(Bare(FFolder), target)) {
    error = res::U(res::RecoveryNotKeptAside).arg(Bare(FFolder), target);
    return {};
  }
  return target + QLatin1Char('/');
}
