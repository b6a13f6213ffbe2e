#include "storage/smr_StoredPath.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include "storage/smr_TextEdge.h"

namespace {

QStringList Candidates(const QString& path, const QString& libraryDir,
                       const QString& documentsDir) {
  // A library written on Windows keeps "сны\осень.xml": where '\' is no
  // separator, the name as it stands comes first (it may hold a '\'), then
  // the same path with '/'. Where '\' is the separator, the path is the
  // same either way: Qt's '/' is kept.
  QStringList forms{QDir::fromNativeSeparators(path)};
  if (QDir::separator() != u'\\' && path.contains(u'\\'))
    forms << QString(path).replace(u'\\', u'/');
  QStringList candidates;
  for (const QString& form : forms) {
    if (!libraryDir.isEmpty()) candidates << QDir(libraryDir).absoluteFilePath(form);
    candidates << QDir::current().absoluteFilePath(form);
    if (!documentsDir.isEmpty()) candidates << QDir(documentsDir).absoluteFilePath(form);
  }
  return candidates;
}

bool IsRelative(const QString& path) { return !path.isEmpty() && QFileInfo(path).isRelative(); }

}  // namespace

TStoredPaths::TStoredPaths(const QString& libraryDir, const QString& documentsDir)
    : FLibraryDir(libraryDir.isEmpty() ? QString() : QDir(libraryDir).absolutePath()),
      FDocumentsDir(documentsDir) {}

std::string TStoredPaths::Resolve(const std::string& stored) const {
  std::string native = NativeFileName(stored);
  const QString path = UiFileName(native);
  if (!IsRelative(path)) return native;
  const QStringList candidates = Candidates(path, FLibraryDir, FDocumentsDir);
  for (const QString& candidate : candidates)
    if (QFileInfo::exists(candidate)) return candidate.toUtf8().toStdString();
  return candidates.constFirst().toUtf8().toStdString();
}

QString TStoredPaths::ResolveUi(const std::string& stored) const {
  return UiFileName(Resolve(stored));
}

bool TStoredPaths::Exists(const std::string& stored) const {
  const QString path = UiFileName(NativeFileName(stored));
  if (path.isEmpty()) return false;
  if (!IsRelative(path)) return QFileInfo::exists(path);
  for (const QString& candidate : Candidates(path, FLibraryDir, FDocumentsDir))
    if (QFileInfo::exists(candidate)) return true;
  return false;
}

std::string TStoredPaths::LinkFrom(const QString& pageDir, const std::string& stored) const {
  // Nothing found ("undefined", another system's path): the stored text is all there is.
  if (!IsRelative(UiFileName(NativeFileName(stored))) || !Exists(stored)) return stored;
  const QString link = QDir(QDir(pageDir).absolutePath()).relativeFilePath(ResolveUi(stored));
  // A link the page's code page cannot hold would lead nowhere: keep the stored one.
  const std::string bytes = DocumentFileName(link);
  return ToUi(bytes) == link ? bytes : stored;
}
