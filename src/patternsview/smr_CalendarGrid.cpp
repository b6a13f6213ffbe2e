#include "patternsview/smr_CalendarGrid.h"

#include <QDate>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

#include "patternsview/smr_PatternsViewTexts.h"

using res::U;

namespace {

constexpr int kMinCell = 10;
constexpr int kMaxCell = 30;
constexpr int kMargin = 6;

QString DateText(int year, int month, int day) {
  return QStringLiteral("%1.%2.%3")
      .arg(day, 2, 10, QLatin1Char('0'))
      .arg(month, 2, 10, QLatin1Char('0'))
      .arg(year);
}

}  // namespace

int DaysInMonth(int year, int month) { return QDate(year, month, 1).daysInMonth(); }

TCalendarSheet CalendarSheet(const TCalendar& calendar, int year) {
  TCalendarSheet sheet;
  sheet.Year = year;
  for (const TCalendarDay& day : calendar.Days)
    if (day.Date / 10000 == year)
      sheet.Days[static_cast<std::size_t>(day.Date / 100 % 100 - 1)]
                [static_cast<std::size_t>(day.Date % 100 - 1)] = day;
  for (const TMonthCounts& month : calendar.Months)
    if (month.Month / 100 == year)
      sheet.Months[static_cast<std::size_t>(month.Month % 100 - 1)] = month;
  return sheet;
}

TCalendarGrid::TCalendarGrid(QWidget* parent) : QWidget(parent) {
  setObjectName("pnt_Calendar");
  QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  policy.setHeightForWidth(true);
  setSizePolicy(policy);
  for (int k = 0; k < 4; ++k)
    FCaptions[static_cast<std::size_t>(k)] = U(res::PatternsMarkFallback).arg(k + 1);
  FYear.Year = QDate::currentDate().year();
  Arrange();
}

void TCalendarGrid::SetSheet(const TCalendarSheet& sheet) {
  FYear = sheet;
  update();
}

void TCalendarGrid::SetMarkCaptions(const std::array<QString, 4>& captions) {
  for (std::size_t k = 0; k < 4; ++k)
    FCaptions[k] = captions[k].isEmpty() ? U(res::PatternsMarkFallback).arg(k + 1) : captions[k];
  update();
}

QColor TCalendarGrid::StepColor(int experiences) {
  static const QColor steps[5] = {QColor(0xeb, 0xed, 0xf0), QColor(0xc6, 0xe4, 0x8b),
                                  QColor(0x7b, 0xc9, 0x6f), QColor(0x23, 0x9a, 0x3b),
                                  QColor(0x19, 0x61, 0x27)};
  return steps[std::clamp(experiences, 0, 4)];
}

QColor TCalendarGrid::MarkColor(int mark) {
  static const QColor marks[4] = {QColor(0x8e, 0x44, 0xad), QColor(0xe6, 0x7e, 0x22),
                                  QColor(0x29, 0x80, 0xb9), QColor(0xc0, 0x39, 0x2b)};
  return marks[std::clamp(mark, 0, 3)];
}

TCalendarGrid::TLayout TCalendarGrid::LayoutFor(int width, int height) const {
  const QFontMetrics fm(font());
  TLayout l;
  int names = 0;
  for (const char* name : res::PatternsMonthNames)
    names = std::max(names, fm.horizontalAdvance(U(name)));
  l.Left = kMargin + names + 8;
  l.Top = kMargin + fm.height() + 4;
  l.CountWidth = std::max(fm.horizontalAdvance(QStringLiteral("0000")),
                          fm.horizontalAdvance(U(res::PatternsExperiencesColumn))) +
                 10;
  const int across = (width - l.Left - 10 - 5 * l.CountWidth - kMargin) / 31;
  const int down = height < 0 ? kMaxCell : (height - l.Top - Legend()) / 12;
  l.Cell = std::clamp(std::min(across, down), kMinCell, kMaxCell);
  l.Gap = l.Cell >= 16 ? 2 : 1;
  l.CountsLeft = l.Left + 31 * l.Cell + 10;
  l.LegendTop = l.Top + 12 * l.Cell + 10;
  return l;
}

// Two lines, the scale and the marks, and the room around them.
int TCalendarGrid::Legend() const { return 2 * (fontMetrics().height() + 6) + 10; }

int TCalendarGrid::WidthFor(int cell) const {
  const TLayout l = LayoutFor(0, -1);
  return l.Left + 31 * cell + 10 + 5 * l.CountWidth + kMargin;
}

QSize TCalendarGrid::sizeHint() const { return {WidthFor(20), heightForWidth(WidthFor(20))}; }

QSize TCalendarGrid::minimumSizeHint() const {
  return {WidthFor(kMinCell), heightForWidth(WidthFor(kMinCell))};
}

// Square cells: the width sets the height, so the rows never stretch apart.
int TCalendarGrid::heightForWidth(int width) const {
  return LayoutFor(width, -1).LegendTop + Legend() - 10;
}

void TCalendarGrid::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Arrange();
}

void TCalendarGrid::Arrange() { FLayout = LayoutFor(width(), height()); }

QRect TCalendarGrid::DayRect(int month, int day) const {
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(FYear.Year, month)) return {};
  const TLayout& l = FLayout;
  return {l.Left + (day - 1) * l.Cell, l.Top + (month - 1) * l.Cell, l.Cell - l.Gap,
          l.Cell - l.Gap};
}

bool TCalendarGrid::DayAt(const QPoint& point, int& month, int& day) const {
  const TLayout& l = FLayout;
  if (point.x() < l.Left || point.y() < l.Top) return false;
  month = (point.y() - l.Top) / l.Cell + 1;
  day = (point.x() - l.Left) / l.Cell + 1;
  return DayRect(month, day).contains(point);
}

QRect TCalendarGrid::CountRect(int month, int column) const {
  const TLayout& l = FLayout;
  return {l.CountsLeft + column * l.CountWidth, l.Top + (month - 1) * l.Cell, l.CountWidth - 4,
          l.Cell - l.Gap};
}

void TCalendarGrid::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing, false);
  const TLayout& l = FLayout;
  const QFontMetrics fm(font());
  const QColor text = palette().color(QPalette::WindowText);
  const QColor faint = palette().color(QPalette::PlaceholderText);

  // Day numbers over the columns: all of them when they fit, else every fifth.
  const bool all = fm.horizontalAdvance(QStringLiteral("31")) + 2 <= l.Cell;
  p.setPen(faint);
  for (int day = 1; day <= 31; ++day) {
    if (!all && day != 1 && day % 5 != 0) continue;
    const QRect r(l.Left + (day - 1) * l.Cell - 4, kMargin, l.Cell + 8 - l.Gap, fm.height());
    p.drawText(r, Qt::AlignCenter, QString::number(day));
  }
  // Headings of the counts: the experiences, then a square of each mark's colour.
  p.setPen(text);
  p.drawText(QRect(l.CountsLeft, kMargin, l.CountWidth - 4, fm.height()),
             Qt::AlignRight | Qt::AlignVCenter, U(res::PatternsExperiencesColumn));
  const int square = std::max(6, fm.height() / 2);
  for (int k = 0; k < 4; ++k) {
    const QRect r(l.CountsLeft + (k + 2) * l.CountWidth - 4 - square,
                  kMargin + (fm.height() - square) / 2, square, square);
    p.fillRect(r, MarkColor(k));
  }

  for (int month = 1; month <= 12; ++month) {
    const std::size_t m = static_cast<std::size_t>(month - 1);
    p.setPen(text);
    p.drawText(QRect(kMargin, l.Top + (month - 1) * l.Cell, l.Left - kMargin - 6, l.Cell - l.Gap),
               Qt::AlignLeft | Qt::AlignVCenter, U(res::PatternsMonthNames[m]));
    for (int day = 1; day <= DaysInMonth(FYear.Year, month); ++day) {
      const TCalendarDay& cell = FYear.Days[m][static_cast<std::size_t>(day - 1)];
      const QRect r = DayRect(month, day);
      p.fillRect(r, StepColor(cell.Experiences));
      const int size = std::max(3, r.width() / 3);
      const QPoint corners[4] = {r.topLeft(), QPoint(r.right() - size + 1, r.top()),
                                 QPoint(r.left(), r.bottom() - size + 1),
                                 QPoint(r.right() - size + 1, r.bottom() - size + 1)};
      for (int k = 0; k < 4; ++k)
        if (cell.Marks & (1 << k)) p.fillRect(QRect(corners[k], QSize(size, size)), MarkColor(k));
    }
    for (int column = 0; column < 5; ++column) {
      const int count = column == 0 ? FYear.Months[m].Experiences
                                    : FYear.Months[m].Marks[static_cast<std::size_t>(column - 1)];
      p.setPen(count == 0 ? faint : text);
      p.drawText(CountRect(month, column), Qt::AlignRight | Qt::AlignVCenter,
                 QString::number(count));
    }
  }

  // The legend: the scale on one line, the marks on the next.
  int x = l.Left;
  int y = l.LegendTop;
  const int swatch = fm.height() - 2;
  auto caption = [&](const QString& s) {
    p.setPen(text);
    p.drawText(QRect(x, y, fm.horizontalAdvance(s) + 2, fm.height()), Qt::AlignVCenter, s);
    x += fm.horizontalAdvance(s) + 12;
  };
  auto box = [&](const QColor& color) {
    p.fillRect(QRect(x, y + 1, swatch, swatch), color);
    x += swatch + 4;
  };
  caption(U(res::PatternsLegendExperiences));
  box(StepColor(0));
  caption(U(res::PatternsLegendNone));
  for (int step = 1; step <= 4; ++step) {
    box(StepColor(step));
    caption(step < 4 ? QString::number(step) : U(res::PatternsLegendMany).arg(step));
  }
  x = l.Left;
  y += fm.height() + 6;
  for (int k = 0; k < 4; ++k) {
    box(MarkColor(k));
    caption(FCaptions[static_cast<std::size_t>(k)]);
  }
}

void TCalendarGrid::mousePressEvent(QMouseEvent* event) {
  int month = 0, day = 0;
  if (event->button() != Qt::LeftButton || !DayAt(event->position().toPoint(), month, day)) {
    QWidget::mousePressEvent(event);
    return;
  }
  const TCalendarDay& cell =
      FYear.Days[static_cast<std::size_t>(month - 1)][static_cast<std::size_t>(day - 1)];
  if (cell.Night.Night) emit NightClicked(cell.Night);
}

QString TCalendarGrid::DayTip(int month, int day) const {
  const TCalendarDay& cell =
      FYear.Days[static_cast<std::size_t>(month - 1)][static_cast<std::size_t>(day - 1)];
  const QString date = DateText(FYear.Year, month, day);
  if (cell.Experiences == 0) return U(res::PatternsDayEmptyTip).arg(date);
  QString tip = U(res::PatternsDayTip).arg(date).arg(cell.Experiences);
  for (std::size_t k = 0; k < 4; ++k)
    if (cell.Marks & (1 << k)) tip += QStringLiteral("\n• ") + FCaptions[k];
  return tip;
}

bool TCalendarGrid::event(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QWidget::event(event);
  auto* help = static_cast<QHelpEvent*>(event);
  int month = 0, day = 0;
  QString tip;
  if (DayAt(help->pos(), month, day)) {
    tip = DayTip(month, day);
  } else {
    // Over a count: what the column counts.
    for (int m = 1; m <= 12 && tip.isEmpty(); ++m)
      for (int column = 0; column < 5; ++column)
        if (CountRect(m, column).contains(help->pos())) {
          const std::size_t row = static_cast<std::size_t>(m - 1);
          const bool dreams = column == 0;
          const QString what = dreams ? U(res::PatternsExperiencesColumn)
                                      : FCaptions[static_cast<std::size_t>(column - 1)];
          const int count = dreams ? FYear.Months[row].Experiences
                                   : FYear.Months[row].Marks[static_cast<std::size_t>(column - 1)];
          tip = U(res::PatternsMonthTip)
                    .arg(U(res::PatternsMonthNames[row]))
                    .arg(FYear.Year)
                    .arg(what)
                    .arg(count);
          break;
        }
  }
  if (tip.isEmpty())
    QToolTip::hideText();
  else
    QToolTip::showText(help->globalPos(), tip, this);
  return true;
}
