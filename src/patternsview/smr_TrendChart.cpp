#include "patternsview/smr_TrendChart.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <utility>

#include "patternsview/smr_PatternsViewTexts.h"

using res::U;

namespace {

const QColor kTotalColor(0xc9, 0xd3, 0xdd);
const QColor kMatchingColor(0x2e, 0x86, 0xc1);

// A round step for the axis: 1, 2 or 5 times a power of ten, so that about
// four lines cover the largest value.
int AxisStep(int top) {
  int step = 1;
  while (true) {
    for (int factor : {1, 2, 5})
      if (step * factor * 4 >= top) return step * factor;
    step *= 10;
  }
}

}  // namespace

TTrendChart::TTrendChart(QWidget* parent) : QWidget(parent) {
  setObjectName("pnt_Trend");
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TTrendChart::SetPoints(std::vector<TChartBar> points, const QString& matchingCaption) {
  FPoints = std::move(points);
  FMatchingCaption = matchingCaption;
  update();
}

int TTrendChart::Top() const {
  int top = 1;
  for (const TChartBar& point : FPoints) top = std::max(top, point.Total);
  const int step = AxisStep(top);
  return (top + step - 1) / step * step;
}

QRect TTrendChart::PlotRect() const {
  const QFontMetrics fm(font());
  const int left = fm.horizontalAdvance(QString::number(Top())) + 12;
  const int top = fm.height() + 14;     // the legend
  const int bottom = fm.height() + 10;  // the captions
  return QRect(left, top, width() - left - 10, height() - top - bottom);
}

QRect TTrendChart::BarRect(int index) const {
  if (index < 0 || index >= static_cast<int>(FPoints.size())) return {};
  const QRect plot = PlotRect();
  const double pitch = double(plot.width()) / double(FPoints.size());
  const int gap = pitch >= 6 ? std::max(1, int(pitch / 5)) : 0;
  const int x = plot.left() + int(index * pitch) + gap / 2;
  const int w = std::max(1, int((index + 1) * pitch) - int(index * pitch) - gap);
  const int h = int(double(plot.height()) * FPoints[std::size_t(index)].Total / Top());
  return {x, plot.bottom() - h + 1, w, h};
}

void TTrendChart::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QFontMetrics fm(font());
  const QColor text = palette().color(QPalette::WindowText);
  const QColor faint = palette().color(QPalette::Mid);

  // Legend over the plot.
  int x = 8;
  const int swatch = fm.height() - 4;
  for (const auto& [color, caption] : {std::pair{kTotalColor, U(res::PatternsTrendTotal)},
                                       std::pair{kMatchingColor, FMatchingCaption}}) {
    if (caption.isEmpty()) continue;
    p.fillRect(QRect(x, 6 + 2, swatch, swatch), color);
    x += swatch + 4;
    p.setPen(text);
    p.drawText(QRect(x, 6, fm.horizontalAdvance(caption) + 2, fm.height()), Qt::AlignVCenter,
               caption);
    x += fm.horizontalAdvance(caption) + 16;
  }

  const QRect plot = PlotRect();
  if (FPoints.empty()) {
    p.setPen(text);
    p.drawText(plot, Qt::AlignCenter, U(res::PatternsTrendNoData));
    return;
  }
  // Axis lines and their values.
  const int top = Top();
  const int step = AxisStep(top);
  for (int value = 0; value <= top; value += step) {
    const int y = plot.bottom() - int(double(plot.height()) * value / top);
    p.setPen(faint);
    p.drawLine(plot.left(), y, plot.right(), y);
    p.setPen(text);
    p.drawText(QRect(0, y - fm.height() / 2, plot.left() - 6, fm.height()),
               Qt::AlignRight | Qt::AlignVCenter, QString::number(value));
  }
  // Bars: the total, and the matching share of it in front.
  for (int i = 0; i < int(FPoints.size()); ++i) {
    const QRect bar = BarRect(i);
    p.fillRect(bar, kTotalColor);
    const int h = int(double(plot.height()) * FPoints[std::size_t(i)].Matching / top);
    if (h > 0) p.fillRect(QRect(bar.left(), plot.bottom() - h + 1, bar.width(), h), kMatchingColor);
  }
  // Captions under the axis, as many as fit side by side.
  int widest = 0;
  for (const TChartBar& point : FPoints)
    widest = std::max(widest, fm.horizontalAdvance(point.Caption));
  const double pitch = double(plot.width()) / double(FPoints.size());
  const int every = std::max(1, int(std::ceil((widest + 12) / pitch)));
  p.setPen(text);
  for (int i = 0; i < int(FPoints.size()); i += every) {
    const QRect bar = BarRect(i);
    const int w = fm.horizontalAdvance(FPoints[std::size_t(i)].Caption) + 2;
    const int left = std::clamp(bar.center().x() - w / 2, 0, std::max(0, width() - w));
    p.drawText(QRect(left, plot.bottom() + 4, w, fm.height()), Qt::AlignCenter,
               FPoints[std::size_t(i)].Caption);
  }
}

bool TTrendChart::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QWidget::event(event);
  auto* help = static_cast<QHelpEvent*>(event);
  const QRect plot = PlotRect();
  for (int i = 0; i < int(FPoints.size()); ++i) {
    const QRect bar = BarRect(i);
    if (help->pos().x() >= bar.left() && help->pos().x() <= bar.right() &&
        help->pos().y() >= plot.top() && help->pos().y() <= plot.bottom()) {
      const TChartBar& point = FPoints[std::size_t(i)];
      QToolTip::showText(
          help->globalPos(),
          U(res::PatternsTrendBarTip).arg(point.Caption).arg(point.Matching).arg(point.Total),
          this);
      return true;
    }
  }
  QToolTip::hideText();
  return true;
}
