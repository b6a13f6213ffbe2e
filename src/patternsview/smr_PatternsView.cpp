#include "patternsview/smr_PatternsView.h"

#include <QCompleter>
#include <QDate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStringListModel>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "patternsview/smr_CalendarGrid.h"
#include "patternsview/smr_MonthBars.h"
#include "patternsview/smr_PatternsViewTexts.h"
#include "patternsview/smr_SignDialog.h"
#include "patternsview/smr_TrendChart.h"
#include "search/smr_SearchIndex.h"
#include "search/smr_SearchText.h"
#include "storage/smr_TextEdge.h"
#include "storage/smr_Types.h"
#include "xml/xml_node.h"

using res::U;

namespace {

// How many frequent words are offered.
constexpr std::size_t kSuggestions = 30;

enum TSignColumn { scText, scCategory, scExperiences, scLucid, scFirst, scLast, scMonths, scCount };

QString DateText(int date) {
  return QStringLiteral("%1.%2.%3")
      .arg(date % 100, 2, 10, QLatin1Char('0'))
      .arg(date / 100 % 100, 2, 10, QLatin1Char('0'))
      .arg(date / 10000);
}

// Months counted from year 0, so that a difference is a number of months.
int MonthNumber(int yyyymm) { return yyyymm / 100 * 12 + yyyymm % 100 - 1; }

QTableWidgetItem* Cell(const QString& text, Qt::Alignment alignment = Qt::AlignLeft) {
  auto* item = new QTableWidgetItem(text);
  item->setTextAlignment(alignment | Qt::AlignVCenter);
  return item;
}

QToolButton* YearButton(QWidget* parent, const char* name, const char* caption, const char* hint) {
  auto* button = new QToolButton(parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setText(U(caption));
  button->setToolTip(U(hint));
  button->setAutoRaise(true);
  return button;
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(U(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  return button;
}

}  // namespace

TPatternsView::TPatternsView(QWidget* parent) : QWidget(parent) {
  setObjectName("pnl_Patterns");
  // For queued connections and spies of NightChosen.
  qRegisterMetaType<const TXMLNode*>();
  for (std::size_t k = 0; k < 4; ++k) FCaptions[k] = U(res::PatternsMarkFallback).arg(k + 1);
  FNumbers = SystemNumberFormat();
  RunSignDialog = [](TSignDialog& dialog) { return dialog.exec() == QDialog::Accepted; };

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  tab_Patterns = new QTabWidget(this);
  tab_Patterns->setObjectName("tab_Patterns");
  pg_Calendar = MakeCalendarPage();
  pg_Signs = MakeSignsPage();
  pg_Trends = MakeTrendsPage();
  tab_Patterns->addTab(pg_Calendar, U(res::PatternsCalendarPage));
  tab_Patterns->addTab(pg_Signs, U(res::PatternsSignsPage));
  tab_Patterns->addTab(pg_Trends, U(res::PatternsTrendsPage));
  layout->addWidget(tab_Patterns);
  Clear();
}

TPatternsView::~TPatternsView() = default;

QWidget* TPatternsView::MakeCalendarPage() {
  auto* page = new QWidget(this);
  page->setObjectName("pg_Calendar");
  auto* layout = new QVBoxLayout(page);
  auto* top = new QHBoxLayout;
  btn_PrevYear = YearButton(page, "btn_PrevYear", res::PatternsPrevYear, res::PatternsPrevYearHint);
  btn_NextYear = YearButton(page, "btn_NextYear", res::PatternsNextYear, res::PatternsNextYearHint);
  lbl_Year = new QLabel(page);
  lbl_Year->setObjectName("lbl_Year");
  QFont big = lbl_Year->font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.25);
  lbl_Year->setFont(big);
  lbl_Year->setAlignment(Qt::AlignCenter);
  lbl_Year->setMinimumWidth(QFontMetrics(big).horizontalAdvance(QStringLiteral("00000")));
  lbl_Runs = new QLabel(page);
  lbl_Runs->setObjectName("lbl_Runs");
  lbl_Runs->setTextInteractionFlags(Qt::TextSelectableByMouse);
  top->addWidget(btn_PrevYear);
  top->addWidget(lbl_Year);
  top->addWidget(btn_NextYear);
  top->addSpacing(16);
  top->addWidget(lbl_Runs, 1);
  layout->addLayout(top);

  pnt_Calendar = new TCalendarGrid(page);
  layout->addWidget(pnt_Calendar);

  auto* undated = new QLabel(U(res::PatternsUndated), page);
  undated->setObjectName("lbl_Undated");
  lst_Undated = new QListWidget(page);
  lst_Undated->setObjectName("lst_Undated");
  // Names side by side, wrapping: a list of short names needs little height.
  lst_Undated->setFlow(QListView::LeftToRight);
  lst_Undated->setWrapping(true);
  lst_Undated->setResizeMode(QListView::Adjust);
  lst_Undated->setSpacing(2);
  lst_Undated->setMaximumHeight(QFontMetrics(font()).height() * 3);
  layout->addWidget(undated);
  layout->addWidget(lst_Undated);
  layout->addStretch(1);

  connect(btn_PrevYear, &QToolButton::clicked, this, &TPatternsView::btn_PrevYearClick);
  connect(btn_NextYear, &QToolButton::clicked, this, &TPatternsView::btn_NextYearClick);
  connect(pnt_Calendar, &TCalendarGrid::NightClicked, this,
          [this](const TNightRef& night) { emit NightChosen(night.File, night.Night); });
  connect(lst_Undated, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    const auto row = static_cast<std::size_t>(lst_Undated->row(item));
    if (row < FCalendar.Undated.size())
      emit NightChosen(FCalendar.Undated[row].File, FCalendar.Undated[row].Night);
  });
  return page;
}

QWidget* TPatternsView::MakeSignsPage() {
  auto* page = new QWidget(this);
  page->setObjectName("pg_Signs");
  auto* layout = new QHBoxLayout(page);

  auto* left = new QVBoxLayout;
  grd_Signs = new QTableWidget(0, scCount, page);
  grd_Signs->setObjectName("grd_Signs");
  grd_Signs->setHorizontalHeaderLabels({U(res::PatternsSignText), U(res::PatternsSignCategory),
                                        U(res::PatternsSignExperiences), U(res::PatternsSignLucid),
                                        U(res::PatternsSignFirst), U(res::PatternsSignLast),
                                        U(res::PatternsSignMonths)});
  grd_Signs->setSelectionBehavior(QAbstractItemView::SelectRows);
  grd_Signs->setSelectionMode(QAbstractItemView::SingleSelection);
  grd_Signs->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grd_Signs->setItemDelegateForColumn(scMonths, new TMonthBarsDelegate(grd_Signs));
  grd_Signs->verticalHeader()->hide();
  grd_Signs->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  grd_Signs->horizontalHeader()->setSectionResizeMode(scMonths, QHeaderView::Stretch);
  grd_Signs->horizontalHeader()->setMinimumSectionSize(60);
  grd_Signs->setAlternatingRowColors(true);
  left->addWidget(grd_Signs, 1);
  auto* buttons = new QHBoxLayout;
  btn_AddSign = Button(page, "btn_AddSign", res::PatternsAddSign);
  btn_EditSign = Button(page, "btn_EditSign", res::PatternsEditSign);
  btn_RemoveSign = Button(page, "btn_RemoveSign", res::PatternsRemoveSign);
  auto* hint = new QLabel(U(res::PatternsSignsHint), page);
  hint->setObjectName("lbl_SignsHint");
  hint->setForegroundRole(QPalette::PlaceholderText);
  buttons->addWidget(btn_AddSign);
  buttons->addWidget(btn_EditSign);
  buttons->addWidget(btn_RemoveSign);
  buttons->addSpacing(12);
  buttons->addWidget(hint, 1);
  left->addLayout(buttons);
  layout->addLayout(left, 1);

  auto* right = new QVBoxLayout;
  auto* caption = new QLabel(U(res::PatternsSuggestions), page);
  caption->setObjectName("lbl_Suggestions");
  lst_Suggestions = new QListWidget(page);
  lst_Suggestions->setObjectName("lst_Suggestions");
  lst_Suggestions->setMaximumWidth(220);
  btn_AdoptSuggestion = Button(page, "btn_AdoptSuggestion", res::PatternsAdoptSuggestion);
  right->addWidget(caption);
  right->addWidget(lst_Suggestions, 1);
  right->addWidget(btn_AdoptSuggestion);
  layout->addLayout(right);

  connect(btn_AddSign, &QPushButton::clicked, this, &TPatternsView::btn_AddSignClick);
  connect(btn_EditSign, &QPushButton::clicked, this, &TPatternsView::btn_EditSignClick);
  connect(btn_RemoveSign, &QPushButton::clicked, this, &TPatternsView::btn_RemoveSignClick);
  connect(btn_AdoptSuggestion, &QPushButton::clicked, this,
          &TPatternsView::btn_AdoptSuggestionClick);
  connect(grd_Signs, &QTableWidget::itemSelectionChanged, this, &TPatternsView::UpdateSignButtons);
  connect(lst_Suggestions, &QListWidget::itemSelectionChanged, this,
          &TPatternsView::UpdateSignButtons);
  connect(grd_Signs, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
    if (row >= 0 && row < static_cast<int>(FSigns.size()))
      emit SearchRequested(ToUi(FSigns[static_cast<std::size_t>(row)].Text));
  });
  connect(lst_Suggestions, &QListWidget::itemDoubleClicked, this,
          &TPatternsView::btn_AdoptSuggestionClick);
  return page;
}

QWidget* TPatternsView::MakeTrendsPage() {
  auto* page = new QWidget(this);
  page->setObjectName("pg_Trends");
  auto* layout = new QVBoxLayout(page);
  auto* top = new QHBoxLayout;
  auto* caption = new QLabel(U(res::PatternsTrendCaption), page);
  caption->setObjectName("lbl_Trend");
  edt_Trend = new QLineEdit(page);
  edt_Trend->setObjectName("edt_Trend");
  edt_Trend->setPlaceholderText(U(res::PatternsTrendHint));
  edt_Trend->setClearButtonEnabled(true);
  FCompleter = new QCompleter(new QStringListModel(this), this);
  FCompleter->setCaseSensitivity(Qt::CaseInsensitive);
  FCompleter->setFilterMode(Qt::MatchContains);
  edt_Trend->setCompleter(FCompleter);
  rad_TrendMonths = new QRadioButton(U(res::PatternsTrendMonths), page);
  rad_TrendMonths->setObjectName("rad_TrendMonths");
  rad_TrendMonths->setChecked(true);
  rad_TrendYears = new QRadioButton(U(res::PatternsTrendYears), page);
  rad_TrendYears->setObjectName("rad_TrendYears");
  top->addWidget(caption);
  top->addWidget(edt_Trend, 1);
  top->addSpacing(12);
  top->addWidget(rad_TrendMonths);
  top->addWidget(rad_TrendYears);
  layout->addLayout(top);

  pnt_Trend = new TTrendChart(page);
  layout->addWidget(pnt_Trend, 1);

  auto* energy = new QLabel(U(res::PatternsEnergyCaption), page);
  energy->setObjectName("lbl_Energy");
  QFont bold = energy->font();
  bold.setBold(true);
  energy->setFont(bold);
  layout->addWidget(energy);
  grd_Energy = new QTableWidget(4, 3, page);
  grd_Energy->setObjectName("grd_Energy");
  grd_Energy->setHorizontalHeaderLabels(
      {U(res::PatternsEnergyMark), U(res::PatternsEnergyWith), U(res::PatternsEnergyWithout)});
  grd_Energy->verticalHeader()->hide();
  grd_Energy->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grd_Energy->setSelectionMode(QAbstractItemView::NoSelection);
  grd_Energy->setFocusPolicy(Qt::NoFocus);
  grd_Energy->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  grd_Energy->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grd_Energy->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grd_Energy->resizeRowsToContents();
  grd_Energy->setFixedHeight(grd_Energy->horizontalHeader()->sizeHint().height() +
                             4 * grd_Energy->rowHeight(0) + 2 * grd_Energy->frameWidth());
  layout->addWidget(grd_Energy);

  connect(edt_Trend, &QLineEdit::textChanged, this, &TPatternsView::ShowTrend);
  connect(rad_TrendMonths, &QRadioButton::toggled, this, &TPatternsView::ShowTrend);
  return page;
}

void TPatternsView::Show(TXMLNode* library, TSearchIndex& index,
                         const std::vector<TPatternJournal>& journals) {
  FLibrary = library;
  FIndex = &index;
  FModel = std::make_unique<TPatternModel>(index, journals);
  const QDate now = QDate::currentDate();
  const int today = FToday ? FToday : now.year() * 10000 + now.month() * 100 + now.day();
  FCalendar = MakeCalendar(*FModel, today);
  FFirstYear = FCalendar.Months.empty() ? 0 : FCalendar.Months.front().Month / 100;
  FLastYear = FCalendar.Months.empty() ? 0 : FCalendar.Months.back().Month / 100;

  if (FCalendar.Longest.Nights == 0)
    lbl_Runs->setText(U(res::PatternsNoRun) + QStringLiteral("    ") +
                      U(res::PatternsCurrentRun).arg(0));
  else
    lbl_Runs->setText(
        U(res::PatternsLongestRun)
            .arg(FCalendar.Longest.Nights)
            .arg(DateText(FCalendar.Longest.First), DateText(FCalendar.Longest.Last)) +
        QStringLiteral("    ") + U(res::PatternsCurrentRun).arg(FCalendar.Current.Nights));
  // The year shown stays while it has nights; else the latest with any.
  ShowYear(FYear >= FFirstYear && FYear <= FLastYear && FFirstYear ? FYear
           : FLastYear                                             ? FLastYear
                                                                   : now.year());
  ShowUndated();
  SignsChanged();
  ShowEnergy();
  ShowTrend();
}

void TPatternsView::Clear() {
  FModel.reset();
  FLibrary = nullptr;
  FIndex = nullptr;
  FCalendar = {};
  FSigns.clear();
  FFigures.clear();
  FSuggestions.clear();
  FFirstYear = FLastYear = 0;
  lbl_Runs->clear();
  ShowYear(FYear ? FYear : QDate::currentDate().year());
  ShowUndated();
  ShowSigns();
  ShowEnergy();
  ShowTrend();
}

void TPatternsView::SetMarkCaptions(const std::array<QString, 4>& captions) {
  for (std::size_t k = 0; k < 4; ++k)
    FCaptions[k] = captions[k].isEmpty() ? U(res::PatternsMarkFallback).arg(k + 1) : captions[k];
  pnt_Calendar->SetMarkCaptions(FCaptions);
  ShowEnergy();
}

// ---------------------------------------------------------------- calendar

void TPatternsView::ShowYear(int year) {
  FYear = year;
  lbl_Year->setText(QString::number(year));
  btn_PrevYear->setEnabled(FFirstYear && year > FFirstYear);
  btn_NextYear->setEnabled(FLastYear && year < FLastYear);
  pnt_Calendar->SetSheet(CalendarSheet(FCalendar, year));
}

QString TPatternsView::NightName(const TNightRef& night) const {
  return night.Night ? ToUi(night.Night->GetAttribute(smr::atName)) : QString();
}

void TPatternsView::ShowUndated() {
  lst_Undated->clear();
  for (const TNightRef& night : FCalendar.Undated) lst_Undated->addItem(NightName(night));
  const bool any = !FCalendar.Undated.empty();
  lst_Undated->setVisible(any);
  if (auto* caption = pg_Calendar->findChild<QLabel*>("lbl_Undated")) caption->setVisible(any);
}

// ---------------------------------------------------------------- signs

void TPatternsView::SignsChanged() {
  FSigns = FLibrary ? ReadDreamSigns(*FLibrary) : std::vector<TDreamSign>();
  FFigures = FModel ? SignTable(*FModel, FSigns, FIndex->Stemmer()) : std::vector<TSignFigures>();
  FSuggestions = FModel ? FrequentWords(*FModel, kSuggestions, FSigns, FIndex->Stemmer())
                        : std::vector<TFrequentWord>();
  ShowSigns();
}

void TPatternsView::ShowSigns() {
  const int selected = grd_Signs->currentRow();
  grd_Signs->setRowCount(static_cast<int>(FSigns.size()));
  const int firstMonth = FCalendar.Months.empty() ? 0 : MonthNumber(FCalendar.Months.front().Month);
  const int months = static_cast<int>(FCalendar.Months.size());
  for (std::size_t i = 0; i < FSigns.size(); ++i) {
    const int row = static_cast<int>(i);
    const TSignFigures figures = i < FFigures.size() ? FFigures[i] : TSignFigures();
    grd_Signs->setItem(row, scText, Cell(ToUi(FSigns[i].Text)));
    grd_Signs->setItem(row, scCategory, Cell(ToUi(FSigns[i].Category)));
    grd_Signs->setItem(row, scExperiences,
                       Cell(QString::number(figures.Experiences), Qt::AlignRight));
    const QString lucid =
        figures.Experiences
            ? QStringLiteral("%1 %").arg(std::lround(100.0 * figures.Lucid / figures.Experiences))
            : U(res::PatternsEnergyNone);
    grd_Signs->setItem(row, scLucid, Cell(lucid, Qt::AlignRight));
    grd_Signs->setItem(row, scFirst, Cell(NightName(figures.First)));
    grd_Signs->setItem(row, scLast, Cell(NightName(figures.Last)));
    QList<int> bars(months, 0);
    for (const TMonthCount& month : figures.Months) {
      const int at = MonthNumber(month.Month) - firstMonth;
      if (at >= 0 && at < months) bars[at] = month.Count;
    }
    auto* item = new QTableWidgetItem;
    item->setData(Qt::UserRole, QVariant::fromValue(bars));
    grd_Signs->setItem(row, scMonths, item);
  }
  if (selected >= 0 && selected < grd_Signs->rowCount()) grd_Signs->selectRow(selected);

  lst_Suggestions->clear();
  for (const TFrequentWord& word : FSuggestions) {
    auto* item = new QListWidgetItem(
        QStringLiteral("%1  (%2)").arg(ToUi(word.Word)).arg(word.Experiences), lst_Suggestions);
    item->setToolTip(U(res::PatternsSuggestionTip).arg(word.Experiences));
  }

  QStringList texts;
  for (const TDreamSign& sign : FSigns) texts << ToUi(sign.Text);
  static_cast<QStringListModel*>(FCompleter->model())->setStringList(texts);
  UpdateSignButtons();
}

void TPatternsView::UpdateSignButtons() {
  const bool row = grd_Signs->currentRow() >= 0 && !grd_Signs->selectedItems().isEmpty();
  btn_AddSign->setEnabled(FLibrary);
  btn_EditSign->setEnabled(FLibrary && row);
  btn_RemoveSign->setEnabled(FLibrary && row);
  btn_AdoptSuggestion->setEnabled(FLibrary && lst_Suggestions->currentRow() >= 0);
}

QStringList TPatternsView::Categories() const {
  QStringList categories;
  for (const char* category : res::DreamSignCategories) categories << U(category);
  for (const TDreamSign& sign : FSigns) {
    const QString category = ToUi(sign.Category);
    if (!category.isEmpty() && !categories.contains(category)) categories << category;
  }
  return categories;
}

bool TPatternsView::AskSign(const QString& title, QString& text, QString& category, int except) {
  auto problem = [this, except](const QString& typed) {
    if (FoldedWords(FromUi(typed, TTextPlace::Attribute)).empty())
      return U(res::PatternsSignNoWord);
    if (!CanBeDreamSign(*FLibrary, typed, except)) return U(res::PatternsSignExists);
    return QString();
  };
  TSignDialog dialog(title, Categories(), problem, this);
  dialog.SetText(text);
  dialog.SetCategory(category);
  if (!RunSignDialog(dialog)) return false;
  text = dialog.Text();
  category = dialog.Category();
  return true;
}

void TPatternsView::btn_AddSignClick() {
  if (!FLibrary) return;
  QString text, category = U(res::DreamSignCategories[1]);
  if (!AskSign(U(res::PatternsAddSignTitle), text, category, -1)) return;
  if (!AddDreamSign(*FLibrary, text, category)) return;
  SignsChanged();
  grd_Signs->selectRow(grd_Signs->rowCount() - 1);
  emit LibraryChanged();
}

void TPatternsView::btn_EditSignClick() {
  const int row = grd_Signs->currentRow();
  if (!FLibrary || row < 0 || row >= static_cast<int>(FSigns.size())) return;
  const TDreamSign& sign = FSigns[static_cast<std::size_t>(row)];
  QString text = ToUi(sign.Text), category = ToUi(sign.Category);
  if (!AskSign(U(res::PatternsEditSignTitle), text, category, row)) return;
  if (!ChangeDreamSign(*FLibrary, row, text, category)) return;
  SignsChanged();
  grd_Signs->selectRow(row);
  emit LibraryChanged();
}

void TPatternsView::btn_RemoveSignClick() {
  const int row = grd_Signs->currentRow();
  if (!FLibrary || row < 0 || !RemoveDreamSign(*FLibrary, row)) return;
  SignsChanged();
  if (grd_Signs->rowCount() > 0) grd_Signs->selectRow(std::min(row, grd_Signs->rowCount() - 1));
  emit LibraryChanged();
}

void TPatternsView::btn_AdoptSuggestionClick() {
  const int row = lst_Suggestions->currentRow();
  if (!FLibrary || row < 0 || row >= static_cast<int>(FSuggestions.size())) return;
  // A frequent word is most often a place, a person or a thing: the
  // context; the user may change it after.
  const QString word = ToUi(FSuggestions[static_cast<std::size_t>(row)].Word);
  if (!AddDreamSign(*FLibrary, word, U(res::DreamSignCategories[1]))) return;
  SignsChanged();
  grd_Signs->selectRow(grd_Signs->rowCount() - 1);
  lst_Suggestions->setCurrentRow(std::min(row, lst_Suggestions->count() - 1));
  emit LibraryChanged();
}

// ---------------------------------------------------------------- trends

void TPatternsView::ShowTrend() {
  std::vector<TChartBar> bars;
  const QString typed = edt_Trend->text().simplified();
  if (FModel) {
    const TTrend trend = MakeTrend(*FModel, FromUi(typed, TTextPlace::Plain), FIndex->Stemmer());
    const bool years = rad_TrendYears->isChecked();
    for (const TTrendPoint& point : years ? trend.Years : trend.Months) {
      const QString caption = years ? QString::number(point.Period)
                                    : QStringLiteral("%1 %2")
                                          .arg(U(res::PatternsMonthShort[point.Period % 100 - 1]))
                                          .arg(point.Period / 100 % 100, 2, 10, QLatin1Char('0'));
      bars.push_back({caption, point.Total, typed.isEmpty() ? 0 : point.Count});
    }
  }
  pnt_Trend->SetPoints(std::move(bars),
                       typed.isEmpty() ? QString() : U(res::PatternsTrendMatching).arg(typed));
}

void TPatternsView::ShowEnergy() {
  const std::array<TMarkEnergy, 4> energy =
      FModel ? EnergyByMarks(*FModel) : std::array<TMarkEnergy, 4>{};
  auto figure = [this](double value, int count) {
    if (count == 0) return U(res::PatternsEnergyNone);
    return U(res::PatternsEnergyCount).arg(ToUi(FormatFixed(value, 2, FNumbers))).arg(count);
  };
  for (int k = 0; k < 4; ++k) {
    const TMarkEnergy& mark = energy[static_cast<std::size_t>(k)];
    auto* caption = Cell(FCaptions[static_cast<std::size_t>(k)]);
    caption->setForeground(TCalendarGrid::MarkColor(k));
    grd_Energy->setItem(k, 0, caption);
    grd_Energy->setItem(k, 1, Cell(figure(mark.EnergyWith, mark.With), Qt::AlignRight));
    grd_Energy->setItem(k, 2, Cell(figure(mark.EnergyWithout, mark.Without), Qt::AlignRight));
  }
}
