#include "mainwindow/smr_ScaledIcons.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <algorithm>
#include <cmath>

std::vector<qreal> IconScales() {
  std::vector<qreal> scales{1};
  for (int quarters = 5; quarters <= 12; ++quarters) scales.push_back(quarters / 4.0);
  for (const QScreen* screen : QGuiApplication::screens()) {
    const qreal ratio = screen->devicePixelRatio();
    if (ratio > 1 && std::find(scales.begin(), scales.end(), ratio) == scales.end())
      scales.push_back(ratio);
  }
  return scales;
}

namespace {

QSize DeviceSize(QSize size, qreal scale) {
  return {static_cast<int>(std::lround(size.width() * scale)),
          static_cast<int>(std::lround(size.height() * scale))};
}

}  // namespace

QIcon ScaledIcon(const QPixmap& picture) {
  QIcon icon(picture);
  if (picture.isNull()) return icon;
  for (qreal scale : IconScales()) {
    if (scale == 1) continue;
    QPixmap scaled = picture.scaled(DeviceSize(picture.size(), scale), Qt::IgnoreAspectRatio,
                                    Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(scale);
    icon.addPixmap(scaled);
  }
  return icon;
}

QIcon DrawnIcon(QSize size, const std::function<void(QPainter&)>& draw) {
  QIcon icon;
  for (qreal scale : IconScales()) {
    QPixmap pixmap(DeviceSize(size, scale));
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    draw(painter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}
