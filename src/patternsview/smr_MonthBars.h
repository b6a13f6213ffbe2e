#pragma once

#include <QStyledItemDelegate>

// Paints a cell's counts per month (a QList<int> under Qt::UserRole, one
// entry for every month of the selection) as small bars, each scaled to the
// row's largest, so a sign's rise and fall shows at a glance. Months that
// outnumber the pixels are summed in groups.
class TMonthBarsDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
