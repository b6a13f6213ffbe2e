#include "storage/smr_AppFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <filesystem>
#include <string>
#include <system_error>

#include "storage/smr_Resources.h"
#include "storage/smr_TextEdge.h"
#include "storage/smr_Types.h"
#include "storage/smr_UserFolders.h"
#include "xml/xml_functions.h"
#include "xml/xml_mainUnit.h"

namespace {

// The program's folder under the user's configuration folder (its
// AppConfigLocation, named here so that the tools find it too) and under
// the documents folder.
const QString kFolderName = QStringLiteral("Somnary");
// An installed program's shipped files, seen from bin/.
const QString kInstalledData = QStringLiteral("../share/somnary");
// The sample journals name "../journal.xsl", the library "library.xsl".
const QString kStyleSheets[] = {QStringLiteral("journal.xsl"), QStringLiteral("journal.css"),
                                QStringLiteral("library.xsl"), QStringLiteral("library.css")};

QString WithSlash(QString dir) {
  if (!dir.isEmpty() && !dir.endsWith('/')) dir += '/';
  return dir;
}

QString SettingsName() {
  return QString::fromLatin1(smr::SettingsFileName.data(),
                             static_cast<qsizetype>(smr::SettingsFileName.size()));
}

std::string Native(const QString& path) { return path.toUtf8().toStdString(); }

// A path as the settings keep it, as the file system takes it.
QString StoredPath(const TXMLNode& element) {
  return UiFileName(NativeFileName(element.GetAttribute(smr::atPath)));
}

struct TFailure {
  QString Text;
};

// The reason the first step that failed gave (a parent that is a file, a
// folder the user may not write), empty when the folder is there.
QString FolderProblem(const QString& folder) {
  std::error_code error;
  // From UTF-8 explicitly: a plain std::string path is the code page's on Windows.
  const std::string name = Native(folder);
  std::filesystem::create_directories(
      std::filesystem::path(std::u8string(name.begin(), name.end())), error);
  if (!error && QFileInfo(folder).isDir()) return {};
  if (!error) error = std::make_error_code(std::errc::not_a_directory);
  return QString::fromUtf8(error.message());
}

void MakeFolder(const QString& folder) {
  const QString reason = FolderProblem(folder);
  if (!reason.isEmpty())
    throw TFailure{folder + ": " + QString::fromUtf8(res::CannotCreateFolder) + " (" + reason +
                   ")"};
}

// A file already there is the user's (a diary kept under the sample's
// name, or a style sheet of their own) and stays.
void CopyIfMissing(const QString& from, const QString& to) {
  if (QFileInfo::exists(to)) return;
  std::string bytes;
  std::string error;
  if (!ReadWholeFile(Native(from), bytes, &error))
    throw TFailure{from + ": " + QString::fromUtf8(error)};
  try {
    WriteFileAtomically(Native(to), bytes);
  } catch (const TXMLWriteError& failure) {
    throw TFailure{to + ": " + QString::fromUtf8(failure.what())};
  }
}

}  // namespace

TAppFolders::TAppFolders(const QString& portableFolder)
    : FPortable(true),
      FSettingsDir(WithSlash(portableFolder)),
      FDataDir(FSettingsDir),
      FDocumentsDir(FSettingsDir),
      FRecoveryDir(FSettingsDir + QStringLiteral("recovery/")) {}

TAppFolders::TAppFolders(const QString& settingsDir, const QString& dataDir,
                         const QString& documentsDir, const QString& stateDir)
    : FSettingsDir(WithSlash(settingsDir)),
      FDataDir(WithSlash(dataDir)),
      FDocumentsDir(WithSlash(documentsDir)),
      FRecoveryDir(WithSlash(stateDir.isEmpty() ? QStandardPaths::writableLocation(
                                                      QStandardPaths::AppLocalDataLocation)
                                                : stateDir) +
                   QStringLiteral("recovery/")) {}

TAppFolders TAppFolders::ForProgram(const QString& programDir) {
  const QDir program(programDir);
  const bool shipsBeside = program.exists(SettingsName());
  if (shipsBeside && QFileInfo(program.absolutePath()).isWritable()) return TAppFolders(programDir);
  QString data = program.absolutePath();
  if (!shipsBeside) {
    data = QDir::cleanPath(program.absoluteFilePath(kInstalledData));
    // Moved away from its data (a link in another bin/): the system's data folders.
    if (!QFileInfo::exists(QDir(data).filePath(SettingsName()))) {
      const QString found =
          QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("somnary"),
                                 QStandardPaths::LocateDirectory);
      if (!found.isEmpty()) data = found;
    }
  }
  return TAppFolders(QDir(UserSettingsParent()).filePath(kFolderName), data,
                     QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                         .filePath(kFolderName));
}

QString TAppFolders::SettingsFile() const { return FSettingsDir + SettingsName(); }

QString TAppFolders::MakeSettingsDir() const { return FolderProblem(FSettingsDir); }

QString TAppFolders::SetUpUserFolders() const {
  if (FPortable || QFileInfo::exists(SettingsFile())) return {};
  TXMLParser settings;
  settings.Plain = true;
  settings.Parameters.Encoding = std::string(smr::Encoding1251);
  const QString shipped = FDataDir + SettingsName();
  settings.Load(Native(shipped));
  if (settings.Root->Name.empty()) {
    const QString reason = settings.ReadError().empty() ? QString::fromUtf8(res::ToolNoSuchFile)
                                                        : QString::fromUtf8(settings.ReadError());
    return shipped + ": " + reason;
  }

  for (const auto& child : settings.Root->Children) {
    if (child->Name != smr::elIcon || !child->HasAttribute(smr::atPath)) continue;
    const QString path = StoredPath(*child);
    if (QFileInfo(path).isRelative())
      child->SetAttribute(smr::atPath, DocumentFileName(FDataDir + path));
  }

  QString problem;
  TXMLNode* library = settings.Root->FindNode(smr::elSettingsLibrary);
  if (library && library->HasAttribute(smr::atPath)) {
    // The sample keeps its place under the documents folder as under the
    // data folder, so its journals' relative paths and style sheets hold.
    const QString path = StoredPath(*library);
    const QFileInfo source(QFileInfo(path).isRelative() ? FDataDir + path : path);
    const QString target =
        QFileInfo(path).isRelative() ? FDocumentsDir + path : FDocumentsDir + source.fileName();
    try {
      const QString folder = QFileInfo(target).absolutePath();
      MakeFolder(folder);
      for (const QFileInfo& file : source.absoluteDir().entryInfoList(QDir::Files))
        CopyIfMissing(file.absoluteFilePath(), QDir(folder).filePath(file.fileName()));
      for (const QString& sheet : kStyleSheets) {
        if (!QFileInfo::exists(FDataDir + sheet)) continue;
        CopyIfMissing(FDataDir + sheet, FDocumentsDir + sheet);
        if (sheet.startsWith(QStringLiteral("library")))
          CopyIfMissing(FDataDir + sheet, QDir(folder).filePath(sheet));
      }
      library->SetAttribute(smr::atPath, DocumentFileName(target));
    } catch (const TFailure& failure) {
      problem = failure.Text;
      // Never the shipped library: the window writes its library at exit.
      library->DeleteAttribute(smr::atPath);
    }
  }

  try {
    MakeFolder(FSettingsDir);
    settings.Save(Native(SettingsFile()));
  } catch (const TFailure& failure) {
    return problem.isEmpty() ? failure.Text : problem + '\n' + failure.Text;
  } catch (const TXMLWriteError& failure) {
    const QString text = SettingsFile() + ": " + QString::fromUtf8(failure.what());
    return problem.isEmpty() ? text : problem + '\n' + text;
  }
  return problem;
}
