#include "mainwindow/smr_QtPrompts.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>
#include <memory>

#include "dialogs/smr_AboutForm.h"
#include "dialogs/smr_AuthorizationForm.h"
#include "dialogs/smr_ConfirmationForm.h"
#include "dialogs/smr_DialogUtils.h"
#include "dialogs/smr_FileDialogModel.h"
#include "dialogs/smr_NewElementForm.h"
#include "dialogs/smr_PassphraseForm.h"
#include "importview/smr_ImportForm.h"
#include "mainwindow/smr_WebBrowser.h"

TPrompts::TNewElementAnswer TQtPrompts::NewElement(QWidget* parent, int mode, int number,
                                                   int radioIndex) {
  Tfrm_NewElement dialog(parent);
  dialog.SetNumber(number);
  dialog.SetMode(mode);
  dialog.SetRadioIndex(radioIndex);
  TNewElementAnswer answer;
  answer.Ok = dialog.exec() == QDialog::Accepted;
  answer.First = dialog.First();
  answer.Second = dialog.Second();
  answer.RadioIndex = dialog.RadioIndex();
  return answer;
}

TPrompts::TAuthorizationAnswer TQtPrompts::Authorization(QWidget* parent, int mode) {
  Tfrm_Authorization dialog(parent);
  dialog.SetMode(mode);
  TAuthorizationAnswer answer;
  answer.Ok = dialog.exec() == QDialog::Accepted;
  answer.UserName = dialog.UserName();
  answer.Password = dialog.Password();
  return answer;
}

TPrompts::TPassphraseAnswer TQtPrompts::Passphrase(QWidget* parent, TPassphraseMode mode,
                                                   const QString& libraryName,
                                                   const QString& message) {
  Tfrm_PassphraseForm dialog(parent);
  dialog.SetMode(mode);
  dialog.SetLibraryName(libraryName);
  dialog.SetMessage(message);
  TPassphraseAnswer answer;
  answer.Ok = dialog.exec() == QDialog::Accepted;
  // A cancelled dialog has wiped its fields already.
  if (answer.Ok) {
    answer.Passphrase = dialog.Passphrase();
    answer.Current = dialog.Current();
  }
  return answer;
}

TPrompts::TConfirmationAnswer TQtPrompts::Confirmation(QWidget* parent, const QString& text) {
  Tfrm_Confirmation dialog(parent);
  dialog.SetText(text);
  TConfirmationAnswer answer;
  answer.Yes = dialog.exec() == QDialog::Accepted;
  answer.DontShowAgain = dialog.ShowAgainTicked();
  return answer;
}

TPrompts::TImportAnswer TQtPrompts::ImportPreview(QWidget* parent, const TImportRequest& request) {
  Tfrm_ImportForm dialog(request.FileName, request.Bytes,
                         request.Csv ? TImportKind::Csv : TImportKind::Text, request.Captions,
                         request.Mapping, parent);
  TImportAnswer answer;
  answer.Ok = dialog.exec() == QDialog::Accepted;
  if (answer.Ok) {
    answer.Journal = dialog.TakeJournal();
    answer.Mapping = dialog.Mapping();
  }
  return answer;
}

namespace {
QString RunFileDialog(QWidget* parent, TFileDialogState& state, QFileDialog::AcceptMode mode) {
  QFileDialog dialog(parent, state.Title);
  SetDialogFrame(&dialog);
  UseRussianFileColumns(dialog);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(state.Folders                     ? QFileDialog::Directory
                     : mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
  const QStringList filters =
      QtFilter(state.Filter.toUtf8().constData()).split(QStringLiteral(";;"));
  if (state.Folders)
    dialog.setOption(QFileDialog::ShowDirsOnly);
  else
    dialog.setNameFilters(filters);
  if (!state.Folders && state.FilterIndex >= 1 && state.FilterIndex <= filters.size())
    dialog.selectNameFilter(filters[state.FilterIndex - 1]);
  if (!state.DefaultExt.isEmpty()) dialog.setDefaultSuffix(state.DefaultExt);
  if (!state.InitialDir.isEmpty()) dialog.setDirectory(state.InitialDir);
  if (!state.FileName.isEmpty()) dialog.selectFile(state.FileName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  state.FileName = dialog.selectedFiles().first();
  state.FilterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
  state.InitialDir = QFileInfo(state.FileName).absolutePath();
  return state.FileName;
}
}  // namespace

QString TQtPrompts::OpenFileName(QWidget* parent, TFileDialogState& state) {
  return RunFileDialog(parent, state, QFileDialog::AcceptOpen);
}

QString TQtPrompts::SaveFileName(QWidget* parent, TFileDialogState& state) {
  return RunFileDialog(parent, state, QFileDialog::AcceptSave);
}

namespace {
// A message box with the frame of the program's own dialogs.
std::unique_ptr<QMessageBox> MessageBox(
    QMessageBox::Icon icon, QWidget* parent, const QString& message,
    QMessageBox::StandardButtons buttons = QMessageBox::NoButton) {
  auto box = std::make_unique<QMessageBox>(icon, QApplication::applicationName(), message, buttons,
                                           parent);
  SetDialogFrame(box.get());
  return box;
}
}  // namespace

void TQtPrompts::Error(QWidget* parent, const QString& message) {
  MessageBox(QMessageBox::Critical, parent, message, QMessageBox::Ok)->exec();
}

void TQtPrompts::Information(QWidget* parent, const QString& message) {
  MessageBox(QMessageBox::Information, parent, message, QMessageBox::Ok)->exec();
}

int TQtPrompts::Choose(QWidget* parent, const QString& message, const QStringList& buttons) {
  const auto owned = MessageBox(QMessageBox::Question, parent, message);
  QMessageBox& box = *owned;
  QList<QAbstractButton*> added;
  for (int i = 0; i < buttons.size(); ++i)
    added << box.addButton(
        buttons[i], i == buttons.size() - 1 ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
  box.exec();
  return static_cast<int>(added.indexOf(box.clickedButton()));
}

int TQtPrompts::ChooseNoEscape(QWidget* parent, const QString& message,
                               const QStringList& buttons) {
  const auto owned = MessageBox(QMessageBox::Warning, parent, message);
  QMessageBox& box = *owned;
  QList<QAbstractButton*> added;
  for (const QString& caption : buttons) added << box.addButton(caption, QMessageBox::ActionRole);
  if (!added.isEmpty()) box.setDefaultButton(qobject_cast<QPushButton*>(added.first()));
  // Escape must not pick a button: the box finds none to press, and the window closed is -1.
  box.setEscapeButton(static_cast<QAbstractButton*>(nullptr));
  box.exec();
  return static_cast<int>(added.indexOf(box.clickedButton()));
}

void TQtPrompts::About(QWidget* parent) {
  Tfrm_About dialog(parent);
  dialog.SetShellOpen([this](const QString& address) { ShellOpen(address); });
  dialog.exec();
}

int TQtPrompts::Modal(QDialog& dialog) { return dialog.exec(); }

void TQtPrompts::ShellOpen(const QString& target) { QDesktopServices::openUrl(QUrl(target)); }

QStringList DesktopEntryCommand(const QString& exec, const QString& fileName) {
  const QString url = QUrl::fromLocalFile(fileName).toString(QUrl::FullyEncoded);
  QStringList command;
  bool placed = false;
  for (const QString& argument : QProcess::splitCommand(exec)) {
    if (argument == QLatin1String("%u") || argument == QLatin1String("%U")) {
      command << url;
      placed = true;
    } else if (argument == QLatin1String("%f") || argument == QLatin1String("%F")) {
      command << fileName;
      placed = true;
    } else if (!(argument.size() == 2 && argument[0] == '%')) {
      command << QString(argument).replace(QLatin1String("%%"), QLatin1String("%"));
    }
  }
  if (!command.isEmpty() && !placed) command << url;
  return command;
}

void TQtPrompts::OpenInBrowser(const QString& fileName) {
  // The desktop would open an XML file with its XML handler, not a browser.
  QStringList command = WebBrowserCommand(fileName);
  if (!command.isEmpty() && QProcess::startDetached(command.takeFirst(), command)) return;
  QDesktopServices::openUrl(QUrl::fromLocalFile(fileName));
}
