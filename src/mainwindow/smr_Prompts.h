#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <string>

#include "dialogs/smr_PassphraseForm.h"
#include "import/smr_ImportedJournal.h"

class QDialog;
class QWidget;

// State of a file dialog that the main window keeps between uses (title,
// filter, chosen filter, last file name, starting folder). Filters are
// written "Description (*.x)|*.x|Other (*.*)|*.*".
struct TFileDialogState {
  QString Title;
  QString Filter;
  int FilterIndex = 1;  // 1-based, as chosen last
  QString FileName;
  QString InitialDir;
  QString DefaultExt;
  // Chooses a folder instead of a file (the filter is not used).
  bool Folders = false;
};

// Every modal question of the main window goes through this interface. The
// program shows real dialogs; tests install a scripted implementation.
class TPrompts {
 public:
  virtual ~TPrompts() = default;

  struct TNewElementAnswer {
    bool Ok = false;
    QString First;
    QString Second;
    int RadioIndex = 0;
  };
  // The new-element dialog in a mode (0 library ... 4 experience), with the
  // proposed number and radio choice for mode 4.
  virtual TNewElementAnswer NewElement(QWidget* parent, int mode, int number, int radioIndex) = 0;

  struct TAuthorizationAnswer {
    bool Ok = false;
    QString UserName;
    QString Password;
  };
  // Mode 0 asks at library open, mode 1 sets the values.
  virtual TAuthorizationAnswer Authorization(QWidget* parent, int mode) = 0;

  struct TPassphraseAnswer {
    bool Ok = false;
    QString Passphrase;
    QString Current;
  };
  // The passphrase dialog: Unlock asks the passphrase of the library named
  // (message: why again, or empty); Choose asks a new one twice; Change the
  // current and a new one.
  virtual TPassphraseAnswer Passphrase(QWidget* parent, TPassphraseMode mode,
                                       const QString& libraryName, const QString& message) = 0;

  struct TConfirmationAnswer {
    bool Yes = false;
    bool DontShowAgain = false;
  };
  virtual TConfirmationAnswer Confirmation(QWidget* parent, const QString& text) = 0;

  struct TImportRequest {
    QString FileName;
    std::string Bytes;  // the whole input
    bool Csv = false;   // a CSV table; otherwise a text diary
    std::array<QString, 4> Captions;
    QString Mapping;  // the CSV mapping last chosen
  };
  struct TImportAnswer {
    bool Ok = false;
    TImportedJournal Journal;
    QString Mapping;  // the CSV mapping chosen, to remember
  };
  // The preview of a CSV or text import, where the user maps the columns or
  // corrects the split. Throws TImportError when the input cannot be read.
  virtual TImportAnswer ImportPreview(QWidget* parent, const TImportRequest& request) = 0;

  // Open and save dialogs; empty result means cancelled. The state is
  // updated with the chosen file and filter.
  virtual QString OpenFileName(QWidget* parent, TFileDialogState& state) = 0;
  virtual QString SaveFileName(QWidget* parent, TFileDialogState& state) = 0;

  // Messages.
  virtual void Error(QWidget* parent, const QString& message) = 0;
  virtual void Information(QWidget* parent, const QString& message) = 0;
  // A question with buttons; returns the index of the chosen button, or -1
  // when the window was closed.
  virtual int Choose(QWidget* parent, const QString& message, const QStringList& buttons) = 0;
  // The same where the last button throws something away: closing the
  // window (Escape, the title bar) gives -1 instead of the last button.
  virtual int ChooseNoEscape(QWidget* parent, const QString& message, const QStringList& buttons) {
    return Choose(parent, message, buttons);
  }

  virtual void About(QWidget* parent) = 0;
  // Shows a dialog the window keeps (already filled) modally; returns its
  // result code.
  virtual int Modal(QDialog& dialog) = 0;
  // Asks the desktop to open a file or web address.
  virtual void ShellOpen(const QString& target) = 0;
  // Opens a local file in the user's web browser (not in the program the
  // desktop opens that kind of file with).
  virtual void OpenInBrowser(const QString& fileName) = 0;
};
