#pragma once

#include <QString>

// Where the program keeps its settings and finds the files it ships
// (empty.bmp, icons, help, style sheets, the sample library and the settings
// template). A portable folder holds both, as a build folder or an unpacked
// copy does; an installed program keeps the settings in the user's
// configuration folder and never writes into the installation.
class TAppFolders {
 public:
  // Everything in one folder, nothing set up: the build folder and tests.
  explicit TAppFolders(const QString& portableFolder);
  // The settings in settingsDir, the shipped files in dataDir; the first
  // run copies the sample library into documentsDir.
  // Recovery copies go under stateDir (the user's local data folder when empty).
  TAppFolders(const QString& settingsDir, const QString& dataDir, const QString& documentsDir,
              const QString& stateDir = QString());

  // For the program (or a tool) in programDir: portable when dreams.ini sits
  // beside it in a folder it may write; otherwise the user's folders
  // (XDG_CONFIG_HOME/Somnary, the documents folder) and the shipped files in
  // ../share/somnary, or beside the program when it is a read-only portable
  // folder. Needs the application object.
  static TAppFolders ForProgram(const QString& programDir);

  bool IsPortable() const { return FPortable; }
  // Each with a trailing '/'.
  const QString& SettingsDir() const { return FSettingsDir; }
  const QString& DataDir() const { return FDataDir; }
  // Where file dialogs start: the portable folder or the user's diary folder.
  const QString& DocumentsDir() const { return FDocumentsDir; }
  QString SettingsFile() const;
  // Where recovery copies of unsaved edits are kept: "recovery/" in the
  // portable folder, or in the user's local data folder (never roaming: a
  // copy is of this computer's session).
  const QString& RecoveryDir() const { return FRecoveryDir; }

  // The first run outside a portable folder: copies the sample library
  // (with the style sheets its pages name) into DocumentsDir, keeping files
  // already there, and writes the settings from the shipped template with
  // the icons and the library as absolute paths. Does nothing when the
  // settings exist. Returns what failed ("file: reason"), empty when
  // nothing did; a failed copy still leaves settings without a library.
  QString SetUpUserFolders() const;
  // Makes the settings folder when it is missing; the system's reason for
  // the first step that failed, empty when the folder is there.
  QString MakeSettingsDir() const;

 private:
  bool FPortable = false;
  QString FSettingsDir;
  QString FDataDir;
  QString FDocumentsDir;
  QString FRecoveryDir;
};
