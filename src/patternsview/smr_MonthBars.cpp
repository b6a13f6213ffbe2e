#include "patternsview/smr_MonthBars.h"

#include <QPainter>
#include <algorithm>
#include <vector>

void TMonthBarsDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
  QStyleOptionViewItem plain = option;
  initStyleOption(&plain, index);
  plain.text.clear();
  QStyledItemDelegate::paint(painter, plain, QModelIndex());
  const QList<int> counts = index.data(Qt::UserRole).value<QList<int>>();
  const QRect area = option.rect.adjusted(3, 3, -3, -3);
  if (counts.isEmpty() || area.width() < 2 || area.height() < 2) return;

  // Months in groups so that each bar has at least two pixels.
  const int months = static_cast<int>(counts.size());
  const int group = std::max(1, (2 * months + area.width() - 1) / area.width());
  std::vector<int> bars;
  for (int i = 0; i < months; i += group) {
    int sum = 0;
    for (int j = i; j < std::min(months, i + group); ++j) sum += counts[j];
    bars.push_back(sum);
  }
  const int top = *std::max_element(bars.begin(), bars.end());
  const double pitch = double(area.width()) / double(bars.size());
  const QColor color = option.state & QStyle::State_Selected
                           ? option.palette.color(QPalette::HighlightedText)
                           : QColor(0x2e, 0x86, 0xc1);
  painter->save();
  painter->setPen(option.palette.color(QPalette::Mid));
  painter->drawLine(area.bottomLeft(), area.bottomRight());
  if (top > 0)
    for (std::size_t i = 0; i < bars.size(); ++i) {
      if (bars[i] == 0) continue;
      const int h = std::max(1, int(double(area.height() - 1) * bars[i] / top));
      const int x = area.left() + int(double(i) * pitch);
      const int w =
          std::max(1, int(double(i + 1) * pitch) - int(double(i) * pitch) - (pitch >= 4 ? 1 : 0));
      painter->fillRect(QRect(x, area.bottom() - h, w, h), color);
    }
  painter->restore();
}

QSize TMonthBarsDelegate::sizeHint(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
  return QStyledItemDelegate::sizeHint(option, index).expandedTo(QSize(140, 20));
}
