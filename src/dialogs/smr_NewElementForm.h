#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// What the new-element dialog is asked for.
enum NewElementMode : int {
  nemLibrary = 0,
  nemCatalogue = 1,
  nemJournal = 2,
  nemNight = 3,
  nemExperience = 4,
};

// Name (and path, number or date) of a new library, catalogue, journal,
// night or experience. The caller sets Number (for experiences) and the mode,
// shows the dialog and reads First(), Second() and RadioIndex() after OK.
class Tfrm_NewElement : public QDialog {
  Q_OBJECT

 public:
  // Asks for the name of a file to save: returns the full path, or an empty
  // text when the user gave up. Title and filter are in Qt's form.
  using TSaveFileChooser = std::function<QString(const QString& title, const QString& filter)>;

  explicit Tfrm_NewElement(QWidget* parent = nullptr);

  // Lays the dialog out for one of the NewElementMode values; other values
  // are ignored. In experience mode the first field gets Number, so set
  // that first.
  void SetMode(int mode);
  int Mode() const { return mode_; }

  int Number() const { return number_; }
  void SetNumber(int number) { number_ = number; }

  // 0 plain text, 1 HTML; -1 when neither is chosen.
  int RadioIndex() const;
  void SetRadioIndex(int index);

  QString First() const;
  QString Second() const;
  void SetFirst(const QString& text);
  void SetSecond(const QString& text);

  // Replaces the file dialog behind btn_Default (tests, scripted runs).
  void SetSaveFileChooser(TSaveFileChooser chooser);

  // Zero-padded to three digits: 7 gives "007", 1234 stays "1234".
  static QString PaddedNumber(int number);

 public slots:
  void edt_FirstChange();
  void btn_DefaultClick();

 private:
  int mode_ = -1;
  int number_ = 0;
  TSaveFileChooser chooseSaveFile_;

  QLabel* lbl_First;
  QLineEdit* edt_First;
  QLabel* lbl_Second;
  QLineEdit* edt_Second;
  QToolButton* btn_Default;
  QGroupBox* rdg_DreamOption;
  QButtonGroup* grp_DreamOption;
  QPushButton* btn_Ok;
  QPushButton* btn_Cancel;
};
