#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

// Asks for a dream sign's text and category. The owner reads the values
// after it was accepted; OK stays disabled while the text is blank or names
// a sign that exists.
class TSignDialog : public QDialog {
  Q_OBJECT

 public:
  // taken: whether a text names another sign already; the dialog refuses it.
  TSignDialog(const QString& title, const QStringList& categories,
              std::function<bool(const QString& text)> taken, QWidget* parent = nullptr);

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

  std::function<bool(const QString& text)> FTaken;
};
