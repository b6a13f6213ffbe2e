// Dated backups: the library's files are copied at the first save of each
// day, and any copy can be brought back, the whole library or one journal.
#include <QDir>
#include <QFileInfo>
#include <QTreeWidget>
#include <functional>
#include <set>

#include "backupview/smr_RestoreBackupForm.h"
#include "mainwindow/smr_MainForm.h"
#include "mainwindow/smr_MainFormTexts.h"
#include "storage/smr_SettingsFile.h"
#include "storage/smr_TextEdge.h"
#include "storage/smr_Types.h"
#include "xml/xml_functions.h"

namespace {
using res::U;
}  // namespace

TDatedBackups Tfrm_MainForm::Backups() const {
  const QString library = QFileInfo(UiFileName(FLibrary->FileName)).absoluteFilePath();
  QString root = ReadBackupSetting(*FSettings).Folder;
  if (root.isEmpty()) root = TDatedBackups::DefaultRoot(library);
  return TDatedBackups(root, QFileInfo(library).absolutePath());
}

QStringList Tfrm_MainForm::LibraryFiles() const {
  QStringList files{QFileInfo(UiFileName(FLibrary->FileName)).absoluteFilePath()};
  std::set<std::string> seen{CanonicalFileName(FLibrary->FileName)};
  EachFileElement([&](const TXMLNode& element) {
    const std::string file = JournalFileName(element.GetAttribute(smr::atPath));
    if (seen.insert(CanonicalFileName(file)).second && FileExists(file))
      files << QFileInfo(UiFileName(file)).absoluteFilePath();
  });
  return files;
}

void Tfrm_MainForm::MakeDailyBackup() {
  if (!FileNamed(*FLibrary) || !FLibrary->ReadError().empty() || !FileExists(FLibrary->FileName) ||
      !ReadBackupSetting(*FSettings).Daily)
    return;
  const QString error = Backups().CopyBeforeFirstSave(LibraryFiles(), FClock().date());
  // Told once; the save itself goes on.
  if (error.isEmpty() || FToldBackupFailure) return;
  FToldBackupFailure = true;
  FConflicts << U(res::BackupFailed).arg(error);
}

void Tfrm_MainForm::mnu_RestoreBackupClick() {
  if (!FileNamed(*FLibrary)) return;
  // What is in memory goes to the files first: a restore copies the files
  // aside before it replaces them.
  if (!KeepHTMLDescription()) return;
  if (!SaveEverything()) {
    Prompts().Error(this, U(res::RestoreNeedsSave));
    return;
  }
  const TDatedBackups backups = Backups();
  const std::vector<TDatedBackups::TCopy> copies = backups.Copies();
  if (copies.empty()) {
    Prompts().Information(this, U(res::NoBackups).arg(QDir::toNativeSeparators(backups.Root())));
    return;
  }
  Tfrm_RestoreBackupForm dialog(this);
  dialog.Fill(copies);
  if (Prompts().Modal(dialog) != QDialog::Accepted) return;
  const int chosen = dialog.ChosenCopy();
  if (chosen < 0 || chosen >= static_cast<int>(copies.size())) return;
  const TDatedBackups::TCopy& copy = copies[static_cast<std::size_t>(chosen)];
  const QStringList files = dialog.ChosenFiles().isEmpty() ? copy.Files : dialog.ChosenFiles();

  QString undo;
  const QString error = backups.Restore(copy, files, FClock(), &undo);
  // Whatever was written, the window shows the files as they are now.
  std::vector<std::string> journals;
  for (const QString& file : files)
    journals.push_back(backups.OriginalOf(copy, file).toUtf8().toStdString());
  ReopenLibrary(journals);
  if (!error.isEmpty())
    Prompts().Error(this, U(res::BackupNotRestored).arg(copy.Caption, error));
  else
    Prompts().Information(this, U(res::BackupRestored).arg(copy.Caption, QDir(undo).dirName()));
}
