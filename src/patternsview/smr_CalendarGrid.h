#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <array>

#include "patterns/smr_Patterns.h"

// A year of the calendar: days by month (0..11) and day (0..30), a day
// without experiences left as it is made; the counts of each month.
struct TCalendarSheet {
  int Year = 0;
  std::array<std::array<TCalendarDay, 31>, 12> Days{};
  std::array<TMonthCounts, 12> Months{};
};
// The sheet of one year of a calendar.
TCalendarSheet CalendarSheet(const TCalendar& calendar, int year);

// The year as a painted grid: a row per month, a column per day, the
// month's counts beside each row and a legend under the grid. A day cell is
// coloured by its experiences on a five-step scale; a small square in each
// corner shows that an experience of it has mark 1..4.
class TCalendarGrid : public QWidget {
  Q_OBJECT

 public:
  explicit TCalendarGrid(QWidget* parent = nullptr);

  void SetSheet(const TCalendarSheet& sheet);
  const TCalendarSheet& Sheet() const { return FYear; }
  // Captions of marks 1..4 for the legend and the tips; never empty.
  void SetMarkCaptions(const std::array<QString, 4>& captions);

  // The cell of a day (month 1..12, day 1..31) in widget coordinates; empty
  // for a day the month lacks.
  QRect DayRect(int month, int day) const;
  // The month (1..12) and day under a point; false outside the cells.
  bool DayAt(const QPoint& point, int& month, int& day) const;

  // The five steps of the scale, for 0, 1, 2, 3 and 4 or more experiences.
  static QColor StepColor(int experiences);
  static QColor MarkColor(int mark);  // mark 0..3

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;

 signals:
  // A day with experiences was clicked: its first night.
  void NightClicked(const TNightRef& night);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Where everything goes at the current size.
  struct TLayout {
    int Left = 0, Top = 0, Cell = 0, Gap = 1;
    int CountsLeft = 0, CountWidth = 0;
    int LegendTop = 0;
  };
  // The layout at a size; a negative height: as tall as the width allows.
  TLayout LayoutFor(int width, int height) const;
  int Legend() const;
  int WidthFor(int cell) const;
  void Arrange();
  QRect CountRect(int month, int column) const;  // column 0: experiences, 1..4: marks
  QString DayTip(int month, int day) const;

  TCalendarSheet FYear;
  std::array<QString, 4> FCaptions;
  TLayout FLayout;
};

// Days in a month of a year (month 1..12).
int DaysInMonth(int year, int month);
