#include "graphs/smr_GraphPainter.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <cmath>

namespace {

void SolidPen(QPainter& canvas) {
  QPen pen = canvas.pen();
  pen.setStyle(Qt::SolidLine);
  pen.setWidth(1);
  canvas.setPen(pen);
}

bool Is32Bit(const QImage& image) {
  const auto format = image.format();
  return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
         format == QImage::Format_ARGB32_Premultiplied;
}

}  // namespace

QString PlainLabelText(double value, int decimals) { return QString::number(value, 'f', decimals); }

TSMGraph::TSMGraph()
    : LinePen(QBrush(Qt::black), 1, Qt::DotLine), ButtonFace(DefaultButtonFace()) {}

void TSMGraph::Draw(QImage& bitmap, const TGraphRect& rect) {
  if (std::fabs(XMax - XMin) < 0.000001 || std::fabs(YMax - YMin) < 0.000001) return;
  Bitmap = &bitmap;
  Bounds = rect;
  // The colours land exactly as given, whatever image the caller passed.
  if (!Is32Bit(bitmap)) bitmap.convertTo(QImage::Format_RGB32);
  QPainter canvas(&bitmap);
  switch (GraphKind) {
    case gkSquarePoints:
    case gkRoundPoints:
      DrawPoints(canvas, DrawAxes(canvas));
      break;
    case gkLineSquarePoints:
    case gkLineRoundPoints:
      DrawPolylinePoints(canvas, DrawAxes(canvas));
      break;
    case gkLine:
      DrawPolyline(canvas, DrawAxes(canvas));
      break;
    case gkHorizontalBars:
      DrawHorizontalBars(canvas, DrawAxesSwapped(canvas));
      break;
    case gkVerticalBars:
      DrawVerticalBars(canvas, DrawAxes(canvas));
      break;
    default:
      break;
  }
}

std::vector<TSMGraph::TLabel> TSMGraph::Labels(bool xAxis) const {
  const std::vector<double> values =
      xAxis ? LabelValues(XLabelStart, XLabelStep, XLabelCount, XMin, XMax)
            : LabelValues(YLabelStart, YLabelStep, YLabelCount, YMin, YMax);
  const int decimals = LabelDecimals(xAxis ? XLabelFormat : YLabelFormat);
  std::vector<TLabel> labels;
  labels.reserve(values.size());
  for (double v : values) labels.push_back({v, LabelText(v, decimals)});
  return labels;
}

void TSMGraph::TextOut(QPainter& canvas, const TSMFont& font, int x, int y,
                       const QString& text) const {
  const QPen pen = canvas.pen();
  canvas.setPen(ToQColor(font.Color, ButtonFace));
  canvas.drawText(x, y + canvas.fontMetrics().ascent(), text);
  canvas.setPen(pen);
}

namespace {

int HeaderOffset(const TSMGraphHeader& header, int span, int textWidth) {
  if (header.Alignment == 1) return span - textWidth;
  if (header.Alignment == 2) return RoundPixel((span - textWidth) / 2.0);
  return 0;
}

}  // namespace

TGraphRect TSMGraph::HeaderBox(const TGraphRect& rect) const {
  if (Header.Text.trimmed().isEmpty()) return {rect.Left, rect.Top, rect.Left, rect.Top};
  const QFontMetrics metrics =
      Bitmap ? QFontMetrics(Header.Font.Font, Bitmap) : QFontMetrics(Header.Font.Font);
  const int w = metrics.horizontalAdvance(Header.Text);
  const int left = rect.Left + HeaderOffset(Header, rect.Right - rect.Left, w);
  return {left, rect.Top, left + w, rect.Top + metrics.height()};
}

TGraphRect TSMGraph::DrawHeaders(QPainter& canvas) const {
  TGraphRect r = Bounds;
  if (BackgroundColor != clNone) {
    DrawRectangle(&canvas, BackgroundColor, BackgroundColor, r.Left, r.Top, r.Right - r.Left,
                  r.Bottom - r.Top, ButtonFace);
  }
  const auto place = [&](const TSMGraphHeader& header, bool atTop) {
    if (header.Text.trimmed().isEmpty()) return;
    canvas.setFont(header.Font.Font);
    const QFontMetrics metrics = canvas.fontMetrics();
    const int w = metrics.horizontalAdvance(header.Text);
    const int h = metrics.height();
    const int offset = HeaderOffset(header, r.Right - r.Left, w);
    if (atTop) {
      TextOut(canvas, header.Font, r.Left + offset, r.Top, header.Text);
      r.Top += h + 10;
    } else {
      TextOut(canvas, header.Font, r.Left + offset, r.Bottom - h, header.Text);
      r.Bottom -= h + 10;
    }
  };
  place(Header, true);
  place(Footer, false);
  return r;
}

TGraphRect TSMGraph::StartFrame(QPainter& canvas, const std::vector<TLabel>& bottomLabels,
                                const std::vector<TLabel>& sideLabels) const {
  SolidPen(canvas);
  TGraphRect r = DrawHeaders(canvas);
  canvas.setFont(LabelFont.Font);
  const QFontMetrics metrics = canvas.fontMetrics();
  if (!bottomLabels.empty() && metrics.height() > 0) r.Bottom -= metrics.height() + 3;
  int widest = 0;
  for (const TLabel& label : sideLabels)
    widest = std::max(widest, metrics.horizontalAdvance(label.Text));
  if (widest > 0) r.Left += widest + 4;
  return r;
}

TGraphRect TSMGraph::DrawAxes(QPainter& canvas) const {
  const std::vector<TLabel> xLabels = Labels(true);
  const std::vector<TLabel> yLabels = Labels(false);
  const TGraphRect r = StartFrame(canvas, xLabels, yLabels);
  const QFontMetrics metrics = canvas.fontMetrics();
  const int hp = r.Bottom - r.Top;
  const int wp = r.Right - r.Left;
  const int inset = GraphKind == gkLine ? 0 : RoundPixel(wp * BarWidth);
  for (const TLabel& label : xLabels) {
    const int w = metrics.horizontalAdvance(label.Text);
    const int x = BottomLabelX(label.Value, XMin, XMax, wp, inset, w, r.Left);
    TextOut(canvas, LabelFont, x, r.Bottom + 3, label.Text);
    DrawLine(&canvas, AxisColor, x + w / 2.0, r.Bottom, x + w / 2.0, r.Bottom + 3, ButtonFace);
  }
  for (const TLabel& label : yLabels) {
    const int w = metrics.horizontalAdvance(label.Text);
    const int h = metrics.height();
    const int y = SideLabelY(label.Value, YMin, YMax, hp, h, r.Bottom);
    TextOut(canvas, LabelFont, r.Left - 4 - w, y, label.Text);
    DrawLine(&canvas, AxisColor, r.Left - 2, y + h / 2.0, r.Left, y + h / 2.0, ButtonFace);
  }
  DrawLine(&canvas, AxisColor, r.Left, r.Bottom, r.Left, r.Top, ButtonFace);
  DrawLine(&canvas, AxisColor, r.Left, r.Bottom, r.Right, r.Bottom, ButtonFace);
  return r;
}

TGraphRect TSMGraph::DrawAxesSwapped(QPainter& canvas) const {
  const std::vector<TLabel> xLabels = Labels(true);   // along the left side
  const std::vector<TLabel> yLabels = Labels(false);  // along the bottom
  const TGraphRect r = StartFrame(canvas, yLabels, xLabels);
  const QFontMetrics metrics = canvas.fontMetrics();

  const int hp = r.Bottom - r.Top;
  const int wp = r.Right - r.Left;
  // The bar thickness comes from the width but runs along the height.
  const int inset = RoundPixel(wp * BarWidth);
  for (const TLabel& label : yLabels) {
    const int w = metrics.horizontalAdvance(label.Text);
    const int x = BottomLabelX(label.Value, YMin, YMax, wp, 0, w, r.Left);
    TextOut(canvas, LabelFont, x, r.Bottom + 3, label.Text);
    DrawLine(&canvas, AxisColor, x + w / 2.0, r.Bottom + 1, x + w / 2.0, r.Bottom + 3, ButtonFace);
  }
  for (const TLabel& label : xLabels) {
    const int w = metrics.horizontalAdvance(label.Text);
    const int h = metrics.height();
    const int y = SwappedSideLabelY(label.Value, XMin, XMax, hp, inset, h, r.Bottom);
    TextOut(canvas, LabelFont, r.Left - 4 - w, y, label.Text);
    DrawLine(&canvas, AxisColor, r.Left - 2, y + h / 2.0, r.Left, y + h / 2.0, ButtonFace);
  }
  SolidPen(canvas);
  DrawLine(&canvas, AxisColor, r.Left, r.Bottom, r.Left, r.Top, ButtonFace);
  DrawLine(&canvas, AxisColor, r.Left, r.Bottom, r.Right, r.Bottom, ButtonFace);
  return r;
}

void TSMGraph::DrawMarker(QPainter& canvas, const TDataArea& area, int offset, int height,
                          bool round) const {
  const TColor fill = GradientColor(Colors, area.Hp > 0 ? double(height) / area.Hp : 0.0);
  const TColor outline = BorderColor == clNone ? fill : BorderColor;
  const TGraphRect box = MarkerBox(area, offset, height);
  if (round) {
    DrawEllipse(&canvas, outline, fill, box.Left, box.Top, box.Right, box.Bottom, ButtonFace);
  } else {
    DrawRectangle(&canvas, outline, fill, box.Left, box.Top, area.M + 1, area.M + 1, ButtonFace);
  }
}

void TSMGraph::DrawPoints(QPainter& canvas, const TGraphRect& plot) const {
  SolidPen(canvas);
  const TDataArea area = DataArea(plot, BarWidth);
  for (const TSMGraphValue& point : Values) {
    if (!InRange(point.X, XMin, XMax) || !InRange(point.Y, YMin, YMax)) continue;
    const int offset = BarOffset(Fraction(point.X, XMin, XMax), area.Wp, area.M);
    DrawMarker(canvas, area, offset, ScaledLength(point.Y, YMin, YMax, area.Hp),
               GraphKind == gkRoundPoints);
  }
}

void TSMGraph::LinePass(QPainter& canvas, const TDataArea& area, bool centred) const {
  canvas.setPen(LinePen);
  // With markers the line runs through their centres.
  const int span = centred ? area.Wp - area.M : area.Wp;
  const double shift = centred ? area.M / 2.0 : 0.0;
  bool started = false;
  QPoint previous;
  for (const TSMGraphValue& point : Values) {
    if (!InRange(point.X, XMin, XMax)) continue;
    const QPoint current(area.L + RoundPixel(Fraction(point.X, XMin, XMax) * span + shift),
                         area.B - ScaledLength(point.Y, YMin, YMax, area.Hp));
    if (started)
      canvas.drawLine(PixelCentre(canvas, previous.x(), previous.y()),
                      PixelCentre(canvas, current.x(), current.y()));
    previous = current;
    started = true;
  }
}

void TSMGraph::DrawPolyline(QPainter& canvas, const TGraphRect& plot) const {
  LinePass(canvas, DataArea(plot, BarWidth), false);
}

void TSMGraph::DrawPolylinePoints(QPainter& canvas, const TGraphRect& plot) const {
  const TDataArea area = DataArea(plot, BarWidth);
  LinePass(canvas, area, true);
  SolidPen(canvas);
  for (const TSMGraphValue& point : Values) {
    if (!InRange(point.X, XMin, XMax)) continue;
    const int offset = BarOffset(Fraction(point.X, XMin, XMax), area.Wp, area.M);
    DrawMarker(canvas, area, offset, ScaledLength(point.Y, YMin, YMax, area.Hp),
               GraphKind == gkLineRoundPoints);
  }
}

void TSMGraph::DrawVerticalBars(QPainter& canvas, const TGraphRect& plot) const {
  SolidPen(canvas);
  const TDataArea a = DataArea(plot, BarWidth);
  for (const TSMGraphValue& point : Values) {
    if (!InRange(point.X, XMin, XMax)) continue;
    const int offset = BarOffset(Fraction(point.X, XMin, XMax), a.Wp, a.M);
    const int height = ScaledLength(point.Y, YMin, YMax, a.Hp);
    // One colour per row, by the row's height in the plot: all bars agree.
    for (int k = 1; k < height; ++k)
      FillPixels(&canvas, GradientColor(Colors, double(k) / a.Hp), a.L + offset, a.B - k, a.M, 1);
    if (BorderColor != clNone && height >= 1) {
      DrawRectFrame(&canvas, BorderColor, a.L + offset, a.B - height, a.L + offset + a.M, a.B,
                    ButtonFace);
    }
  }
}

void TSMGraph::DrawHorizontalBars(QPainter& canvas, const TGraphRect& plot) const {
  SolidPen(canvas);
  const TDataArea a = DataArea(plot, BarWidth);
  for (const TSMGraphValue& point : Values) {
    if (!InRange(point.X, XMin, XMax)) continue;
    const int length = ScaledLength(point.Y, YMin, YMax, a.Wp);
    const int offset = BarOffset(Fraction(point.X, XMin, XMax), a.Hp, a.M);
    // One colour per column, by the column's length in the plot.
    for (int k = 1; k < length; ++k)
      FillPixels(&canvas, GradientColor(Colors, double(k) / a.Wp), a.L + k, a.B - offset - a.M + 1,
                 1, a.M);
    if (BorderColor != clNone && length >= 1) {
      DrawRectFrame(&canvas, BorderColor, a.L, a.B - offset, a.L + length, a.B - offset - a.M,
                    ButtonFace);
    }
  }
}
