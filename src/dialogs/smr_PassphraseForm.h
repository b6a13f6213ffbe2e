#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

// Unlock asks the passphrase of an encrypted library; Choose asks a new one
// twice; Change asks the current one and a new one twice.
enum class TPassphraseMode { Unlock, Choose, Change };

// How hard a passphrase is to guess: 0 weak, 1 medium, 2 strong. Counts
// length (repeated characters count little), the kinds of characters
// (lower and upper case letters of any alphabet, digits, other signs) and
// distinct words.
int PassphraseStrength(const QString& passphrase);

// The passphrase of a library's encryption. The typed texts are wiped from
// the fields when the dialog is cancelled and when it is destroyed, so read
// them before; they are never kept anywhere else.
class Tfrm_PassphraseForm : public QDialog {
  Q_OBJECT

 public:
  explicit Tfrm_PassphraseForm(QWidget* parent = nullptr);
  ~Tfrm_PassphraseForm() override;

  void SetMode(TPassphraseMode mode);
  TPassphraseMode Mode() const { return mode_; }
  // The library's file name, named in the prompt line (none when empty).
  void SetLibraryName(const QString& name);
  // Why the caller asks (again), shown in red; none when empty.
  void SetMessage(const QString& message);

  // In Unicode's composed form, so that a letter typed as two code points
  // (as some keyboards give "ё") makes the same key.
  QString Passphrase() const;
  QString Current() const;

  void done(int result) override;

 private:
  void Arrange();
  void Check();
  void Wipe();

  TPassphraseMode mode_ = TPassphraseMode::Unlock;
  QString libraryName_;

  QLabel* lbl_Prompt;
  QLabel* lbl_Current;
  QLineEdit* edt_Current;
  QLabel* lbl_Passphrase;
  QLineEdit* edt_Passphrase;
  QLabel* lbl_Repeat;
  QLineEdit* edt_Repeat;
  QLabel* lbl_Strength;
  QLabel* lbl_Reason;
  QLabel* lbl_Warning;
  QLabel* lbl_Message;
  QPushButton* btn_Ok;
  QPushButton* btn_Cancel;
};
