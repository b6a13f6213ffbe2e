#pragma once

#include <QStringList>

#include "mainwindow/smr_Prompts.h"

// The program's prompts: the real dialogs, shown modally.
class TQtPrompts : public TPrompts {
 public:
  TNewElementAnswer NewElement(QWidget* parent, int mode, int number, int radioIndex) override;
  TAuthorizationAnswer Authorization(QWidget* parent, int mode) override;
  TPassphraseAnswer Passphrase(QWidget* parent, TPassphraseMode mode, const QString& libraryName,
                               const QString& message) override;
  TConfirmationAnswer Confirmation(QWidget* parent, const QString& text) override;
  TImportAnswer ImportPreview(QWidget* parent, const TImportRequest& request) override;
  QString OpenFileName(QWidget* parent, TFileDialogState& state) override;
  QString SaveFileName(QWidget* parent, TFileDialogState& state) override;
  void Error(QWidget* parent, const QString& message) override;
  void Information(QWidget* parent, const QString& message) override;
  int Choose(QWidget* parent, const QString& message, const QStringList& buttons) override;
  int ChooseNoEscape(QWidget* parent, const QString& message, const QStringList& buttons) override;
  void About(QWidget* parent) override;
  int Modal(QDialog& dialog) override;
  void ShellOpen(const QString& target) override;
  void OpenInBrowser(const QString& fileName) override;
};

// The command line a desktop entry's Exec value gives for opening a file:
// the URL and file field codes take the file, other field codes go.
QStringList DesktopEntryCommand(const QString& exec, const QString& fileName);
