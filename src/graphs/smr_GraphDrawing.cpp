#include "graphs/smr_GraphDrawing.h"

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <cmath>

namespace {

TColor Byte(TColor color, int shift) { return (color >> shift) & 0xFF; }

void SetPenColor(QPainter& canvas, TColor color, TColor buttonFace) {
  QPen pen = canvas.pen();
  if (color == clNone) {
    pen.setStyle(Qt::NoPen);
  } else {
    if (pen.style() == Qt::NoPen) pen.setStyle(Qt::SolidLine);
    pen.setColor(ToQColor(color, buttonFace));
    // Square corners on frames wider than one device pixel too.
    pen.setJoinStyle(Qt::MiterJoin);
  }
  canvas.setPen(pen);
}

void SetBrushColor(QPainter& canvas, TColor color, TColor buttonFace) {
  if (color == clNone)
    canvas.setBrush(Qt::NoBrush);
  else
    canvas.setBrush(ToQColor(color, buttonFace));
}

bool Usable(const QPainter* canvas) { return canvas && canvas->isActive(); }

// The box from (x1, y1) up to but not including (x2, y2).
QRect EndExclusive(int x1, int y1, int x2, int y2) {
  return QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
               QPoint(std::max(x1, x2) - 1, std::max(y1, y2) - 1));
}

QRectF OnPixelCentres(const QPainter& canvas, const QRect& box) {
  return QRectF(box).translated(PixelCentre(canvas, 0, 0));
}

}  // namespace

QPointF PixelCentre(const QPainter& canvas, int x, int y) {
  // At ratio 1 Qt's own rule already covers the pixel right of and below
  // the point, and the picture stays as it always was.
  const QPaintDevice* device = canvas.device();
  if (!device || device->devicePixelRatio() == 1) return QPointF(x, y);
  return {x + 0.5, y + 0.5};
}

int RoundPixel(double value) {
  constexpr double limit = 1 << 30;
  if (!(value > -limit)) return -(1 << 30);  // also NaN
  if (value > limit) return 1 << 30;
  double whole = std::floor(value);
  const double rest = value - whole;
  if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0)) whole += 1;
  return static_cast<int>(whole);
}

std::uint32_t ColorToPixel(TColor color) {
  return (Byte(color, 0) << 16) | (Byte(color, 8) << 8) | Byte(color, 16);
}

TColor BlendColors(TColor c1, TColor c2, double f) {
  if (f > 1)
    f -= std::floor(f);
  else if (f < 0)
    f = std::fabs(f);
  TColor result = 0;
  for (int shift : {0, 8, 16}) {
    const double b1 = Byte(c1, shift);
    const double b2 = Byte(c2, shift);
    result |= static_cast<TColor>(RoundPixel(b1 + (b2 - b1) * f) & 0xFF) << shift;
  }
  return result;
}

TColor GradientColor(const TColorArray& list, int high, double t) {
  if (high < 0 || t < 0 || list.empty()) return 0;
  high = std::min(high, static_cast<int>(list.size()) - 1);
  if (t >= 1) t = 1;
  const double x = high * t;
  const int i = RoundPixel(x - 0.5);
  const int j = i + 1 <= high ? i + 1 : i;
  return BlendColors(list[static_cast<std::size_t>(i)], list[static_cast<std::size_t>(j)], x - i);
}

TColor DefaultButtonFace() {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    const QColor face = QGuiApplication::palette().color(QPalette::Button);
    return static_cast<TColor>(face.red()) | (static_cast<TColor>(face.green()) << 8) |
           (static_cast<TColor>(face.blue()) << 16);
  }
  return 0xF0F0F0;
}

QColor ToQColor(TColor color, TColor buttonFace) {
  if (color == clNone) return QColor();
  if (color & 0x80000000u) color = buttonFace;
  return QColor(ColorToPixel(color));
}

bool DrawLine(QPainter* canvas, TColor color, double x1, double y1, double x2, double y2,
              TColor buttonFace) {
  if (!Usable(canvas)) return false;
  SetPenColor(*canvas, color, buttonFace);
  canvas->drawLine(PixelCentre(*canvas, RoundPixel(x1), RoundPixel(y1)),
                   PixelCentre(*canvas, RoundPixel(x2), RoundPixel(y2)));
  return true;
}

bool DrawRectFrame(QPainter* canvas, TColor color, double x1, double y1, double x2, double y2,
                   TColor buttonFace) {
  if (!Usable(canvas)) return false;
  DrawLine(canvas, color, x1, y1, x2, y1, buttonFace);
  DrawLine(canvas, color, x2, y1, x2, y2, buttonFace);
  DrawLine(canvas, color, x2, y2, x1, y2, buttonFace);
  DrawLine(canvas, color, x1, y2, x1, y1, buttonFace);
  return true;
}

bool DrawRectangle(QPainter* canvas, TColor pen, TColor brush, double x, double y, double w,
                   double h, TColor buttonFace) {
  if (!Usable(canvas)) return false;
  SetPenColor(*canvas, pen, buttonFace);
  SetBrushColor(*canvas, brush, buttonFace);
  const QRect box =
      EndExclusive(RoundPixel(x), RoundPixel(y), RoundPixel(x + w), RoundPixel(y + h));
  if (!box.isEmpty()) {
    // Fill the whole box, then outline it: Qt's outlined rectangle would
    // reach one pixel further right and down.
    if (brush != clNone) canvas->fillRect(box, canvas->brush());
    if (pen != clNone) {
      canvas->setBrush(Qt::NoBrush);
      canvas->drawRect(OnPixelCentres(*canvas, box.adjusted(0, 0, -1, -1)));
      SetBrushColor(*canvas, brush, buttonFace);
    }
  }
  return true;
}

bool FillPixels(QPainter* canvas, TColor color, int x, int y, int w, int h, TColor buttonFace) {
  if (!Usable(canvas)) return false;
  if (color != clNone && w > 0 && h > 0) canvas->fillRect(x, y, w, h, ToQColor(color, buttonFace));
  return true;
}

bool DrawEllipse(QPainter* canvas, TColor pen, TColor brush, int x1, int y1, int x2, int y2,
                 TColor buttonFace) {
  if (!Usable(canvas)) return false;
  SetPenColor(*canvas, pen, buttonFace);
  SetBrushColor(*canvas, brush, buttonFace);
  const QRect box = EndExclusive(x1, y1, x2, y2);
  if (!box.isEmpty()) canvas->drawEllipse(OnPixelCentres(*canvas, box.adjusted(0, 0, -1, -1)));
  return true;
}
