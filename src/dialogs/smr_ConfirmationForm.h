#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QPushButton;

// A yes/no question with a "do not show again" box. The caller sets the
// text, shows the dialog and reads ShowAgainTicked() after OK.
class Tfrm_Confirmation : public QDialog {
  Q_OBJECT

 public:
  explicit Tfrm_Confirmation(QWidget* parent = nullptr);

  // Sets lbl_Confirmation; the dialog grows downwards to fit long texts.
  void SetText(const QString& text);
  QString Text() const;
  bool ShowAgainTicked() const;

 private:
  void Arrange();

  QLabel* img_Question;
  QLabel* lbl_Confirmation;
  QCheckBox* box_ShowAgain;
  QPushButton* btn_Ok;
  QPushButton* btn_Cancel;
};
