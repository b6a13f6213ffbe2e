#pragma once

#include <QIcon>
#include <QSize>
#include <functional>
#include <vector>

class QPainter;
class QPixmap;

// Small icons that stay smooth on scaled screens. Qt only ever shrinks the
// pixmaps of an icon and enlarges the one it picks pixel by pixel, so each
// icon carries a copy for every usual screen scale, and Qt takes the one
// nearest the screen's. At scale 1 the picture itself is shown.

// 1 first, then the scales of 125% to 300% and those of the screens attached.
std::vector<qreal> IconScales();
// The picture at scale 1 and copies of it enlarged with smoothing.
QIcon ScaledIcon(const QPixmap& picture);
// Calls `draw` on a transparent picture of `size` logical pixels for each
// scale, so that lines and curves are drawn at the device's resolution.
QIcon DrawnIcon(QSize size, const std::function<void(QPainter&)>& draw);
