#pragma once

#include <QDialog>
#include <QPixmap>
#include <QString>
#include <array>
#include <functional>

class QLabel;
class QPushButton;
class QTimer;

// The about box: a borderless window with a picture, the program's name and
// version, a slowly sliding block of credits and a link to the maker's site.
class Tfrm_About : public QDialog {
  Q_OBJECT

 public:
  // Hands an address to the desktop (browser); injected so that tests and
  // scripted runs open nothing.
  using TShellOpen = std::function<void(const QString& address)>;

  explicit Tfrm_About(QWidget* parent = nullptr);

  void SetShellOpen(TShellOpen shellOpen);
  // +1 while the credits slide down, -1 while they slide up.
  int Direction() const { return direction_; }

  // The night sky on the left of the box, drawn rather than shipped as a file.
  static QPixmap DrawNightSky(const QSize& size);

 public slots:
  void FormCreate();
  void tmr_DispencerTimer();
  void btn_ExitClick();
  void lbl_QuillonClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  int direction_ = 1;
  TShellOpen shellOpen_;

  QLabel* img_Picture;
  QLabel* lbl_NameShadow;
  QLabel* lbl_Name;
  QLabel* lbl_Version;
  QLabel* lbl_Heading;
  std::array<QLabel*, 4> lbl_Credits;
  QLabel* lbl_Quillon;
  QPushButton* btn_Exit;
  QTimer* tmr_Dispencer;
};
