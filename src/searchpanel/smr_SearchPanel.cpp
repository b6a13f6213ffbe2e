#include "searchpanel/smr_SearchPanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

#include "searchpanel/smr_SearchPanelTexts.h"
#include "searchpanel/smr_SearchResults.h"
#include "storage/smr_TextEdge.h"

namespace {

using res::U;

// A search that reads journals shows its progress only after this long.
constexpr int kProgressDelayMs = 400;

int DateNumber(const QDate& date) { return date.year() * 10000 + date.month() * 100 + date.day(); }

QDoubleSpinBox* EnergyBox(QWidget* parent, const char* name, double value) {
  auto* box = new QDoubleSpinBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setRange(-1, 1);
  box->setSingleStep(0.1);
  box->setDecimals(2);
  box->setValue(value);
  return box;
}

QDateEdit* DateBox(QWidget* parent, const char* name, const QDate& date) {
  auto* box = new QDateEdit(date, parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
  box->setCalendarPopup(true);
  box->setEnabled(false);
  return box;
}

}  // namespace

TSearchPanel::TSearchPanel(TSearchHost& host, QWidget* parent)
    : QWidget(parent), FSearch(std::make_unique<TLibrarySearch>(host)) {
  setObjectName("pnl_Search");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);

  edt_SearchQuery = new QLineEdit(this);
  edt_SearchQuery->setObjectName("edt_SearchQuery");
  edt_SearchQuery->setPlaceholderText(U(res::SearchQueryHint));
  edt_SearchQuery->setClearButtonEnabled(true);
  layout->addWidget(edt_SearchQuery);
  lbl_SearchQueryNote = new QLabel(this);
  lbl_SearchQueryNote->setObjectName("lbl_SearchQueryNote");
  lbl_SearchQueryNote->setWordWrap(true);
  lbl_SearchQueryNote->setStyleSheet(QStringLiteral("color: #a00000"));
  lbl_SearchQueryNote->hide();
  layout->addWidget(lbl_SearchQueryNote);

  FFilters = new QGridLayout;
  FFilters->setHorizontalSpacing(4);
  FMarksCaption = new QLabel(U(res::SearchMarksCaption), this);
  FMarksCaption->setObjectName("lbl_SearchMarks");
  FMarks = new QGridLayout;
  FMarks->setContentsMargins(0, 0, 0, 0);
  for (int k = 0; k < 4; ++k) {
    box_SearchMark[static_cast<std::size_t>(k)] = new QCheckBox(this);
    box_SearchMark[static_cast<std::size_t>(k)]->setObjectName(
        QStringLiteral("box_SearchMark%1").arg(k + 1));
    box_SearchMark[static_cast<std::size_t>(k)]->hide();
  }

  FEnergyCaption = new QLabel(U(res::SearchEnergyCaption), this);
  FEnergyCaption->setObjectName("lbl_SearchEnergy");
  spn_SearchEnergyFrom = EnergyBox(this, "spn_SearchEnergyFrom", -1);
  spn_SearchEnergyTo = EnergyBox(this, "spn_SearchEnergyTo", 1);
  FEnergyTo = new QLabel(U(res::SearchEnergyTo), this);
  FEnergyTo->setObjectName("lbl_SearchEnergyTo");

  const QDate today = QDate::currentDate();
  box_SearchDateFrom = new QCheckBox(U(res::SearchDateFrom), this);
  box_SearchDateFrom->setObjectName("box_SearchDateFrom");
  dte_SearchDateFrom = DateBox(this, "dte_SearchDateFrom", today.addMonths(-1));
  box_SearchDateTo = new QCheckBox(U(res::SearchDateTo), this);
  box_SearchDateTo->setObjectName("box_SearchDateTo");
  dte_SearchDateTo = DateBox(this, "dte_SearchDateTo", today);

  FKindCaption = new QLabel(U(res::SearchKindCaption), this);
  FKindCaption->setObjectName("lbl_SearchKind");
  cmb_SearchKind = new QComboBox(this);
  cmb_SearchKind->setObjectName("cmb_SearchKind");
  cmb_SearchKind->addItems(
      {U(res::SearchKindAny), U(res::SearchKindPlain), U(res::SearchKindHTML)});
  ArrangeFilters(false);
  FFilters->addLayout(FMarks, 0, 1, 1, 3);
  FFilters->addWidget(FMarksCaption, 0, 0, Qt::AlignTop);
  layout->addLayout(FFilters);

  auto* status = new QHBoxLayout;
  lbl_SearchCount = new QLabel(this);
  lbl_SearchCount->setObjectName("lbl_SearchCount");
  prb_Search = new QProgressBar(this);
  prb_Search->setObjectName("prb_Search");
  prb_Search->hide();
  status->addWidget(lbl_SearchCount);
  status->addWidget(prb_Search, 1);
  layout->addLayout(status);

  lbl_SearchProblems = new QLabel(this);
  lbl_SearchProblems->setObjectName("lbl_SearchProblems");
  lbl_SearchProblems->setWordWrap(true);
  lbl_SearchProblems->setStyleSheet(QStringLiteral("color: #a00000"));
  lbl_SearchProblems->hide();
  layout->addWidget(lbl_SearchProblems);

  FResults = new TSearchResults(*FSearch, this);
  lst_SearchResults = new QListView(this);
  lst_SearchResults->setObjectName("lst_SearchResults");
  lst_SearchResults->setModel(FResults);
  lst_SearchResults->setItemDelegate(new TSearchResultDelegate(lst_SearchResults));
  lst_SearchResults->setUniformItemSizes(true);
  lst_SearchResults->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lst_SearchResults->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  layout->addWidget(lst_SearchResults, 1);

  FEscape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  FEscape->setContext(Qt::WindowShortcut);
  FEscape->setEnabled(false);
  FProgressDelay = new QTimer(this);
  FProgressDelay->setSingleShot(true);
  FProgressDelay->setInterval(kProgressDelayMs);

  connect(edt_SearchQuery, &QLineEdit::textChanged, this, &TSearchPanel::RunSearch);
  for (QCheckBox* box : box_SearchMark)
    connect(box, &QCheckBox::toggled, this, &TSearchPanel::RunSearch);
  for (QDoubleSpinBox* box : {spn_SearchEnergyFrom, spn_SearchEnergyTo})
    connect(box, &QDoubleSpinBox::valueChanged, this, &TSearchPanel::RunSearch);
  for (auto [box, date] : {std::pair{box_SearchDateFrom, dte_SearchDateFrom},
                           std::pair{box_SearchDateTo, dte_SearchDateTo}}) {
    connect(box, &QCheckBox::toggled, date, &QWidget::setEnabled);
    connect(box, &QCheckBox::toggled, this, &TSearchPanel::RunSearch);
    connect(date, &QDateEdit::dateChanged, this, [this, box = box] {
      if (box->isChecked()) RunSearch();
    });
  }
  connect(cmb_SearchKind, &QComboBox::currentIndexChanged, this, &TSearchPanel::RunSearch);
  connect(lst_SearchResults, &QListView::activated, this, &TSearchPanel::Activate);
  connect(lst_SearchResults, &QListView::clicked, this, &TSearchPanel::Activate);
  connect(FEscape, &QShortcut::activated, this, &TSearchPanel::CancelSearch);
  connect(FProgressDelay, &QTimer::timeout, this, &TSearchPanel::SearchProgress);
  connect(FSearch.get(), &TLibrarySearch::Progress, this, &TSearchPanel::SearchProgress);
  connect(FSearch.get(), &TLibrarySearch::Finished, this, &TSearchPanel::SearchFinished);
  qApp->installEventFilter(this);
}

TSearchPanel::~TSearchPanel() { qApp->removeEventFilter(this); }

bool TSearchPanel::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::Resize && (watched == this || watched == parentWidget())) FitFilters();
  // From the query the keyboard reaches the hits: Down walks into the list,
  // Return opens the first one.
  if (type == QEvent::KeyPress && watched == edt_SearchQuery &&
      lst_SearchResults->model()->rowCount() > 0) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    const QModelIndex first = lst_SearchResults->model()->index(0, 0);
    if (key == Qt::Key_Down) {
      lst_SearchResults->setCurrentIndex(first);
      lst_SearchResults->setFocus(Qt::TabFocusReason);
      return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      Activate(first);
      return true;
    }
  }
  if ((type == QEvent::KeyPress || type == QEvent::MouseButtonPress) && watched->isWidgetType()) {
    auto* widget = static_cast<QWidget*>(watched);
    if (widget != this && !isAncestorOf(widget)) FStale = true;
  }
  return QWidget::eventFilter(watched, event);
}

void TSearchPanel::hideEvent(QHideEvent* event) {
  // Closed by the user (not the window minimised): the indexes are what
  // the search holds of the library's text, and are built again when needed.
  if (!event->spontaneous()) {
    FSearch->Cancel();
    FSearch->Index().Invalidate();
  }
  QWidget::hideEvent(event);
}

void TSearchPanel::SetMarkCaptions(const std::array<QString, 4>& captions) {
  // As in the editing panel: a mark needs its caption and every mark before it.
  bool shown = true;
  for (std::size_t k = 0; k < 4; ++k) {
    shown = shown && !captions[k].isEmpty();
    box_SearchMark[k]->setText(captions[k]);
    box_SearchMark[k]->setVisible(shown);
  }
  FitFilters();
}

void TSearchPanel::ArrangeFilters(bool narrow) {
  FNarrow = narrow;
  QWidget* placed[] = {spn_SearchEnergyFrom, spn_SearchEnergyTo, FEnergyCaption,   FEnergyTo,
                       box_SearchDateFrom,   dte_SearchDateFrom, box_SearchDateTo, dte_SearchDateTo,
                       FKindCaption,         cmb_SearchKind};
  for (QWidget* widget : placed) FFilters->removeWidget(widget);
  for (QCheckBox* box : box_SearchMark) FMarks->removeWidget(box);
  for (int k = 0; k < 4; ++k)
    FMarks->addWidget(box_SearchMark[static_cast<std::size_t>(k)], narrow ? k : k / 2,
                      narrow ? 0 : k % 2);
  // Wide: "from" and "to" share a row; narrow: "to" goes on a row of its own.
  const int to = narrow ? 2 : 1;
  FFilters->addWidget(FEnergyCaption, 1, 0);
  FFilters->addWidget(spn_SearchEnergyFrom, 1, 1);
  FFilters->addWidget(FEnergyTo, to, narrow ? 0 : 2, narrow ? Qt::AlignRight : Qt::Alignment());
  FFilters->addWidget(spn_SearchEnergyTo, to, narrow ? 1 : 3);
  const int dates = to + 1;
  FFilters->addWidget(box_SearchDateFrom, dates, 0);
  FFilters->addWidget(dte_SearchDateFrom, dates, 1);
  FFilters->addWidget(box_SearchDateTo, narrow ? dates + 1 : dates, narrow ? 0 : 2);
  FFilters->addWidget(dte_SearchDateTo, narrow ? dates + 1 : dates, narrow ? 1 : 3);
  const int kind = narrow ? dates + 2 : dates + 1;
  FFilters->addWidget(FKindCaption, kind, 0);
  FFilters->addWidget(cmb_SearchKind, kind, 1, 1, 3);
  FFilters->setColumnStretch(1, 1);
  FFilters->setColumnStretch(3, narrow ? 0 : 1);
}

void TSearchPanel::FitFilters() {
  // In a scroll area the panel is never narrower than it asks to be: the
  // room is the viewport's.
  const int room = parentWidget() ? parentWidget()->width() : width();
  const bool wasNarrow = FNarrow;
  if (wasNarrow) ArrangeFilters(false);
  FFilters->invalidate();
  const QMargins margins = layout()->contentsMargins();
  const int wide = FFilters->minimumSize().width() + margins.left() + margins.right();
  if (room < wide) ArrangeFilters(true);
}

void TSearchPanel::FocusQuery() {
  edt_SearchQuery->setFocus(Qt::ShortcutFocusReason);
  edt_SearchQuery->selectAll();
}

TSearchQuery TSearchPanel::CurrentQuery() {
  TSearchFilter filter;
  for (std::size_t k = 0; k < 4; ++k)
    filter.Marks[k] = !box_SearchMark[k]->isHidden() && box_SearchMark[k]->isChecked();
  // Energy as shown, +1 .. -1; stored levels run the other way, 0 .. 200.
  filter.LowestLevel = static_cast<int>(std::lround(100 - spn_SearchEnergyTo->value() * 100));
  filter.HighestLevel = static_cast<int>(std::lround(100 - spn_SearchEnergyFrom->value() * 100));
  if (box_SearchDateFrom->isChecked()) filter.DateFrom = DateNumber(dte_SearchDateFrom->date());
  if (box_SearchDateTo->isChecked()) filter.DateTo = DateNumber(dte_SearchDateTo->date());
  filter.Kind = static_cast<TDescriptionKind>(cmb_SearchKind->currentIndex());
  return TSearchQuery(FromUi(edt_SearchQuery->text(), TTextPlace::Plain),
                      FSearch->Index().Stemmer(), filter);
}

void TSearchPanel::RunSearch() {
  if (FStale) {
    FSearch->Invalidate();
    FStale = false;
  }
  FProgressDelay->stop();
  prb_Search->hide();
  const TSearchQuery query = CurrentQuery();
  // A refused query searches nothing: Start with it only clears the hits.
  if (query.TooManyTerms())
    lbl_SearchQueryNote->setText(U(res::SearchTooManyTerms).arg(TSearchQuery::MaxTerms));
  lbl_SearchQueryNote->setVisible(query.TooManyTerms());
  FSearch->Start(query);
  if (FSearch->Running()) {
    FEscape->setEnabled(true);
    FProgressDelay->start();
  }
}

void TSearchPanel::CancelSearch() { FSearch->Cancel(); }

void TSearchPanel::Forget() {
  FSearch->Forget();
  SearchFinished(false);
  // Searched again once the change is complete.
  if (isVisible() && !CurrentQuery().Empty()) QTimer::singleShot(0, this, &TSearchPanel::RunSearch);
}

void TSearchPanel::SearchProgress() {
  FResults->Refresh();
  if (FSearch->Running() && !FProgressDelay->isActive()) {
    prb_Search->setRange(0, FSearch->JournalCount());
    prb_Search->setValue(FSearch->JournalsDone());
    prb_Search->setFormat(
        U(res::SearchReading).arg(FSearch->JournalsDone() + 1).arg(FSearch->JournalCount()));
    prb_Search->show();
  }
  ShowCount(false);
}

void TSearchPanel::SearchFinished(bool cancelled) {
  FResults->Refresh();
  FProgressDelay->stop();
  FEscape->setEnabled(false);
  prb_Search->hide();
  ShowCount(cancelled);
  const QStringList& problems = FSearch->Problems();
  lbl_SearchProblems->setText(problems.join(QLatin1Char('\n')));
  lbl_SearchProblems->setVisible(!problems.isEmpty());
}

void TSearchPanel::ShowCount(bool cancelled) {
  const int count = static_cast<int>(FSearch->Hits().size());
  if (FSearch->Query().Empty())
    lbl_SearchCount->clear();
  else if (cancelled)
    lbl_SearchCount->setText(U(res::SearchCancelled).arg(count));
  else if (count == 0 && !FSearch->Running())
    lbl_SearchCount->setText(U(res::SearchNothing));
  else
    lbl_SearchCount->setText(U(res::SearchCount).arg(count));
}

void TSearchPanel::Activate(const QModelIndex& index) {
  if (!index.isValid()) return;
  // Copies: showing the hit may start another search, which drops these rows.
  const TSearchHit hit = FResults->Hit(index.row());
  const TSnippet snippet = FResults->Snippet(index.row());
  emit HitActivated(hit, snippet);
}
