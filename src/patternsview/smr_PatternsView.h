#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "patterns/smr_Patterns.h"
#include "storage/smr_NumberFormat.h"

class QCompleter;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableWidget;
class QToolButton;
class TCalendarGrid;
class TSearchIndex;
class TSignDialog;
class TTrendChart;

// The patterns of a selection (the library, a catalogue or a journal) on
// three pages: a calendar of the dated nights, the user's dream signs with
// their figures and the frequent words that are not signs yet, and the
// trend of any word over time with energy against marks.
//
// The owner hands it the journals of the selection (Show) and lends the
// library root, whose signs the signs page edits. Everything shown comes
// from a model built in Show: after a document changed shape, the owner
// calls Clear or Show again before any element shown may go.
class TPatternsView : public QWidget {
  Q_OBJECT

 public:
  explicit TPatternsView(QWidget* parent = nullptr);
  ~TPatternsView() override;

  // Computes and shows the patterns of the journals given. library: the
  // root whose signs are shown and edited (null: no signs to edit). The
  // index lends the journals' folded text and its stemmer; it must outlive
  // what is shown (until Clear or the next Show).
  void Show(TXMLNode* library, TSearchIndex& index, const std::vector<TPatternJournal>& journals);
  // Forgets the documents and shows nothing.
  void Clear();
  // The signs changed elsewhere (another library, an undo): the table and
  // the suggestions follow.
  void SignsChanged();
  // Captions of marks 1 to 4; an empty one is shown as "Отметка N".
  void SetMarkCaptions(const std::array<QString, 4>& captions);
  // The date the current run ends by, yyyymmdd; 0 (the default): today.
  void SetToday(int date) { FToday = date; }
  void SetNumberFormat(const TNumberFormat& format) { FNumbers = format; }

  // Runs the dialog that asks for a sign; true when it was accepted. The
  // default shows it modally; tests fill its widgets instead.
  std::function<bool(TSignDialog& dialog)> RunSignDialog;

  int ShownYear() const { return FYear; }
  const TCalendar& Calendar() const { return FCalendar; }
  TCalendarGrid& CalendarGrid() const { return *pnt_Calendar; }
  TTrendChart& TrendChart() const { return *pnt_Trend; }

 signals:
  // A day of the calendar was clicked: the first night of that date, and
  // the library `file` element of its journal.
  void NightChosen(const TXMLNode* file, const TXMLNode* night);
  // A sign was double-clicked: the search should run its text.
  void SearchRequested(const QString& text);
  // A sign was added, changed or removed in the library document.
  void LibraryChanged();

 public slots:
  void btn_PrevYearClick() { ShowYear(FYear - 1); }
  void btn_NextYearClick() { ShowYear(FYear + 1); }
  void btn_AddSignClick();
  void btn_EditSignClick();
  void btn_RemoveSignClick();
  void btn_AdoptSuggestionClick();

 public:
  QTabWidget* tab_Patterns = nullptr;
  QWidget* pg_Calendar = nullptr;
  QWidget* pg_Signs = nullptr;
  QWidget* pg_Trends = nullptr;
  // Calendar
  QToolButton* btn_PrevYear = nullptr;
  QToolButton* btn_NextYear = nullptr;
  QLabel* lbl_Year = nullptr;
  QLabel* lbl_Runs = nullptr;
  TCalendarGrid* pnt_Calendar = nullptr;
  QListWidget* lst_Undated = nullptr;
  // Signs
  QTableWidget* grd_Signs = nullptr;
  QPushButton* btn_AddSign = nullptr;
  QPushButton* btn_EditSign = nullptr;
  QPushButton* btn_RemoveSign = nullptr;
  QListWidget* lst_Suggestions = nullptr;
  QPushButton* btn_AdoptSuggestion = nullptr;
  // Trends
  QLineEdit* edt_Trend = nullptr;
  QRadioButton* rad_TrendMonths = nullptr;
  QRadioButton* rad_TrendYears = nullptr;
  TTrendChart* pnt_Trend = nullptr;
  QTableWidget* grd_Energy = nullptr;

 private:
  QWidget* MakeCalendarPage();
  QWidget* MakeSignsPage();
  QWidget* MakeTrendsPage();
  void ShowYear(int year);
  void ShowUndated();
  void ShowSigns();
  void ShowTrend();
  void ShowEnergy();
  void UpdateSignButtons();
  QStringList Categories() const;
  // Asks for a sign's text and category; false when cancelled.
  bool AskSign(const QString& title, QString& text, QString& category, int except);
  QString NightName(const TNightRef& night) const;

  TXMLNode* FLibrary = nullptr;
  TSearchIndex* FIndex = nullptr;
  std::unique_ptr<TPatternModel> FModel;
  TCalendar FCalendar;
  std::vector<TDreamSign> FSigns;
  std::vector<TSignFigures> FFigures;
  std::vector<TFrequentWord> FSuggestions;
  std::array<QString, 4> FCaptions;
  int FYear = 0;
  int FFirstYear = 0, FLastYear = 0;  // years with dated nights; 0 when none
  int FToday = 0;
  TNumberFormat FNumbers;
  QCompleter* FCompleter = nullptr;
};
