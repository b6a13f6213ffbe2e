#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

// User name and password of a library. Mode 0 asks for them when a
// protected library is opened and can only be confirmed; mode 1 sets them,
// and there refuses values whose stored (encoded) form would not read back
// unchanged from the library file.
class Tfrm_Authorization : public QDialog {
  Q_OBJECT

 public:
  explicit Tfrm_Authorization(QWidget* parent = nullptr);

  // 0 or 1; other values are ignored.
  void SetMode(int mode);
  int Mode() const { return mode_; }

  QString UserName() const;
  QString Password() const;
  void SetUserName(const QString& text);
  void SetPassword(const QString& text);

 public slots:
  void edt_FirstChange();

 private:
  int mode_ = -1;

  // The setting mode's caption in full: a title bar this narrow cuts it.
  QLabel* lbl_Caption;
  QLabel* lbl_First;
  QLineEdit* edt_First;
  QLabel* lbl_Second;
  QLineEdit* edt_Second;
  QLabel* lbl_Warning;
  QPushButton* btn_Ok;
  QPushButton* btn_Cancel;
};
