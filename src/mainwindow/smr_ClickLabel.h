#pragma once

#include <QLabel>
#include <QMouseEvent>

// A label that reports double clicks: the energy level labels set the track
// bar when double-clicked.
class TClickLabel : public QLabel {
  Q_OBJECT

 public:
  using QLabel::QLabel;

 signals:
  void doubleClicked();

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) emit doubleClicked();
    QLabel::mouseDoubleClickEvent(event);
  }
};
