#pragma once

#include <QString>
#include <QWidget>
#include <vector>

// One period of a trend: its caption under the axis and its counts.
struct TChartBar {
  QString Caption;   // "янв 2024" or "2024"
  int Total = 0;     // experiences of the period
  int Matching = 0;  // of those, the ones holding the word
};

// Experiences per period as bars: the total in a pale bar, the ones
// holding the word in a coloured bar over it, on one scale so the share is
// seen at a glance. Captions thin out when the periods are many.
class TTrendChart : public QWidget {
  Q_OBJECT

 public:
  explicit TTrendChart(QWidget* parent = nullptr);

  void SetPoints(std::vector<TChartBar> points, const QString& matchingCaption);
  const std::vector<TChartBar>& Points() const { return FPoints; }
  // The bar of period index in widget coordinates (the total's bar).
  QRect BarRect(int index) const;

  QSize sizeHint() const override { return {640, 260}; }
  QSize minimumSizeHint() const override { return {320, 160}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;

 private:
  QRect PlotRect() const;
  int Top() const;  // the largest value the axis shows

  std::vector<TChartBar> FPoints;
  QString FMatchingCaption;
};
