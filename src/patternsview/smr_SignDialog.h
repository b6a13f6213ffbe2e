#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

// Asks for a dream sign's text and category. The owner reads the values
// after it was accepted; OK stays disabled while the owner finds a problem
// with the text (no word in it, another sign's words), and the note says which.
class TSignDialog : public QDialog {
  Q_OBJECT

 public:
  // problem: what is wrong with a text as a sign; empty when nothing is.
  TSignDialog(const QString& title, const QStringList& categories,
              std::function<QString(const QString& text)> problem, QWidget* parent = nullptr);

  void SetText(const QString& text);
  void SetCategory(const QString& category);
  QString Text() const;
  QString Category() const;

 public:
  QLineEdit* edt_SignText = nullptr;
  QComboBox* cmb_SignCategory = nullptr;
  QLabel* lbl_SignNote = nullptr;
  QDialogButtonBox* btn_SignButtons = nullptr;

 private:
  void Check();

  std::function<QString(const QString& text)> FProblem;
};
