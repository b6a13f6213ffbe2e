// The statistics view: which graphs a journal, a night or a catalogue
// shows, where they go, and the copy and refresh buttons beside them.
#include "mainwindow/smr_StatisticsView.h"

#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QStyle>
#include <QToolButton>
#include <algorithm>
#include <cmath>

#include "mainwindow/smr_MainFormTexts.h"
#include "mainwindow/smr_Prompts.h"
#include "storage/smr_TextEdge.h"

namespace {

constexpr int kButtonSize = 15;
constexpr int kButtonGap = 3;  // between a heading and the buttons beside it

QToolButton* MakeButton(QWidget* parent, const QString& name, const char* hint,
                        QStyle::StandardPixmap icon) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setToolTip(QString::fromUtf8(hint));
  button->setAutoRaise(true);
  button->setFixedSize(kButtonSize, kButtonSize);
  button->setIconSize(QSize(kButtonSize - 4, kButtonSize - 4));
  button->setIcon(parent->style()->standardIcon(icon));
  button->setFocusPolicy(Qt::NoFocus);
  button->hide();
  return button;
}

}  // namespace

void TGraphImage::paintEvent(QPaintEvent*) {
  // Moved to a screen of another scale: shown enlarged this once, then
  // drawn again at the new resolution.
  if (!Picture.isNull() && Picture.devicePixelRatio() != devicePixelRatioF() && RatioChanged)
    QMetaObject::invokeMethod(this, RatioChanged, Qt::QueuedConnection);
  QPainter painter(this);
  painter.drawImage(0, 0, Picture);
}

TStatisticsView::TStatisticsView(QWidget* host, const QWidget* separator, TPrompts& prompts,
                                 TGraphLocale locale, TSources sources)
    : QWidget(host),
      FSeparator(separator),
      FPrompts(prompts),
      FLocale(std::move(locale)),
      FSources(std::move(sources)) {
  setObjectName("pnl_Statistics");
  img_Graphs = new TGraphImage(this);
  img_Graphs->setObjectName("img_Graphs");
  img_Graphs->RatioChanged = [this] { Redraw(); };
  for (int i = 0; i < 3; ++i) {
    const QString number = QString::number(i + 1);
    const std::size_t slot = GraphSlot(i);
    btn_Copy[slot] = MakeButton(this, "btn_Copy_" + number, res::CopyGraphHint,
                                QStyle::SP_FileDialogDetailedView);
    btn_Refresh[slot] =
        MakeButton(this, "btn_Refresh_" + number, res::RefreshGraphHint, QStyle::SP_BrowserReload);
    connect(btn_Copy[slot], &QToolButton::clicked, this, [this, i] { CopyGraph(i); });
    connect(btn_Refresh[slot], &QToolButton::clicked, this, [this, i] { RefreshGraph(i); });
  }
  CreateGraphs(FGraphs, FLocale);
  // Behind the host's own fields, which stay usable above the graphs.
  lower();
  host->installEventFilter(this);
  setGeometry(host->rect());
  hide();
}

bool TStatisticsView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parent() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
  return QWidget::eventFilter(watched, event);
}

void TStatisticsView::resizeEvent(QResizeEvent*) {
  img_Graphs->setGeometry(rect());
  Redraw();
}

void TStatisticsView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (FRedrawWhenShown) {
    FRedrawWhenShown = false;
    Redraw();
  }
}

TGraphArea TStatisticsView::Area() const {
  const QRect line = FSeparator->geometry();
  return {width(), height(), line.top(), line.top() + line.height(), devicePixelRatioF()};
}

static TGraphRect PanelIn(bool catalogue, int index, const TGraphArea& area) {
  return catalogue ? CataloguePanel(index + 1, area) : JournalPanel(index + 1, area);
}

TGraphRect TStatisticsView::Panel(int index) const {
  return PanelIn(FShown == TShown::Catalogue, index, Area());
}

int TStatisticsView::ClearWidth(int index) const {
  TGraphArea area = Area();
  const int widest = 4000;
  for (area.W = 0; area.W < widest; area.W += 2) {
    const TGraphRect panel = PanelIn(FShown == TShown::Catalogue, index, area);
    const TButtonPlace place = PanelButtons(panel, kButtonSize, kButtonSize);
    const TGraphRect heading = FGraphs[GraphSlot(index)].HeaderBox(GraphBounds(panel));
    const QRect buttons(place.Left, place.CopyTop, kButtonSize,
                        place.RefreshTop + kButtonSize - place.CopyTop);
    if (heading.Right + kButtonGap <= buttons.left()) return area.W;
  }
  return widest;
}

void TStatisticsView::Clear() {
  Begin(TShown::None, nullptr);
  if (WidthNeeded) WidthNeeded(0);
  hide();
}

void TStatisticsView::Begin(TShown shown, TXMLNode* element) {
  FShown = shown;
  FElement = element;
  FLoaded = {};
  FClearWidth = 0;
  for (QToolButton* button : btn_Copy) button->hide();
  for (QToolButton* button : btn_Refresh) button->hide();
  if (shown != TShown::None) show();
}

void TStatisticsView::FillArea() {
  FillGraphArea(img_Graphs->Picture, Area(), FGraphs[0].ButtonFace);
  img_Graphs->update();
}

void TStatisticsView::Redraw() {
  if (FShown == TShown::None) return;
  FillArea();
  if (FShown == TShown::Journal) PlaceJournalGraphs();
  if (FShown == TShown::Night) PlaceNightGraph();
  if (FShown == TShown::Catalogue) PlaceCatalogueGraphs();
}

void TStatisticsView::ShowButtons(int index) {
  // Growing the host lays the graphs out again, this call's buttons with them.
  if (const int needed = ClearWidth(index); needed > FClearWidth) {
    FClearWidth = needed;
    if (WidthNeeded) WidthNeeded(FClearWidth);
  }
  const TButtonPlace place = PanelButtons(Panel(index), kButtonSize, kButtonSize);
  const std::size_t slot = GraphSlot(index);
  btn_Copy[slot]->move(place.Left, place.CopyTop);
  btn_Refresh[slot]->move(place.Left, place.RefreshTop);
  btn_Copy[slot]->show();
  btn_Refresh[slot]->show();
}

void TStatisticsView::Fail(const TStatisticsError& error) {
  FPrompts.Error(window(), StatisticsErrorMessage(error, FLocale));
}

// ------------------------------------------------------------ journal, night

void TStatisticsView::ShowJournalStatistics(TXMLNode* journalRoot) {
  Begin(TShown::Journal, journalRoot);
  FillJournalGraphs(FGraphs, ComputeJournalStatistics(*journalRoot), FSources.MarkCaptions());
  FLoaded = {true, true, false};
  FillArea();
  PlaceJournalGraphs();
}

void TStatisticsView::ShowNightStatistics(TXMLNode* night) {
  Begin(TShown::Night, night);
  FillArea();
  TNightStatistics statistics;
  if (auto error = ComputeNightStatistics(*night, statistics)) return Fail(*error);
  FillNightGraph(FGraphs[0], statistics, FLocale);
  FLoaded[0] = true;
  PlaceNightGraph();
}

void TStatisticsView::PlaceJournalGraphs(int only) {
  if (FShown != TShown::Journal) return;
  if (isVisible()) {
    ::PlaceJournalGraphs(img_Graphs->Picture, FGraphs, Area(), only);
  } else {
    // A hidden window (the one starting up) is laid out again as it is
    // shown: the graphs of thousands of nights are drawn once, then. Their
    // headings are measured on the picture all the same, as a drawn graph's are.
    for (TSMGraph* graph : {&FGraphs[0], &FGraphs[1]})
      if (std::fabs(graph->XMax - graph->XMin) >= 0.000001 &&
          std::fabs(graph->YMax - graph->YMin) >= 0.000001)
        graph->Bitmap = &img_Graphs->Picture;
    FRedrawWhenShown = true;
  }
  for (int index : {0, 1})
    if (only < 0 || only == index) ShowButtons(index);
  img_Graphs->update();
}

void TStatisticsView::PlaceNightGraph() {
  if (FShown != TShown::Night || !FLoaded[0]) return;
  ::PlaceNightGraph(img_Graphs->Picture, FGraphs[0], Area());
  ShowButtons(0);
  img_Graphs->update();
}

// ------------------------------------------------------------ catalogue

TCatalogueSource TStatisticsView::CatalogueSource() const {
  return {FSources.Journal, FromUi(FSources.MarkCaptions()[0], TTextPlace::Attribute)};
}

void TStatisticsView::ShowCatalogueStatistics(TXMLNode* catalogue) {
  Begin(TShown::Catalogue, catalogue);
  FillArea();
  if (auto error = LoadCatalogueGraphs(*catalogue, FGraphs, CatalogueSource(), FLocale))
    return Fail(*error);
  const int count = std::min(OwnStatistic(*catalogue)->ChildCount(), CatalogueGraphCount);
  for (int k = 0; k < count; ++k) FLoaded[GraphSlot(k)] = true;
  PlaceCatalogueGraphs();
}

void TStatisticsView::ComputeCatalogueGraph(int index, TXMLNode& statistic) {
  if (FShown != TShown::Catalogue) return;
  ::ComputeCatalogueGraph(index, statistic, *FElement, CatalogueSource(), FLocale);
}

void TStatisticsView::ShowCatalogueGraph(int index) {
  if (FShown != TShown::Catalogue) return;
  bool loaded = false;
  const std::size_t slot = GraphSlot(index);
  if (auto error = LoadCatalogueGraph(index, *FElement, FGraphs[slot], FLocale, loaded)) {
    FLoaded[slot] = false;
    return Fail(*error);
  }
  FLoaded[slot] = FLoaded[slot] || loaded;
  PlaceCatalogueGraphs(index);
}

void TStatisticsView::PlaceCatalogueGraphs(int only) {
  if (FShown != TShown::Catalogue) return;
  for (int index = 0; index < CatalogueGraphCount; ++index) {
    if ((only >= 0 && index != only) || !FLoaded[GraphSlot(index)]) continue;
    ::PlaceCatalogueGraphs(img_Graphs->Picture, FGraphs, Area(), index);
    ShowButtons(index);
  }
  img_Graphs->update();
}

// ------------------------------------------------------------ buttons

void TStatisticsView::RefreshGraph(int index) {
  switch (FShown) {
    case TShown::Journal:
      if (index < 2) PlaceJournalGraphs(index);
      break;
    case TShown::Night:
      if (index == 0) PlaceNightGraph();
      break;
    case TShown::Catalogue:
      ComputeCatalogueGraph(index, EnsureStatistic(*FElement));
      ShowCatalogueGraph(index);
      break;
    case TShown::None:
      break;
  }
}

void TStatisticsView::mnu_RefreshAllClick() {
  btn_Refresh_1Click();
  btn_Refresh_2Click();
  btn_Refresh_3Click();
}

void TStatisticsView::CopyGraph(int index) {
  if (FShown == TShown::None || !FLoaded[GraphSlot(index)]) return;
  // Every device pixel of the panel: sharp on a scaled screen as well.
  const QImage& picture = img_Graphs->Picture;
  QGuiApplication::clipboard()->setImage(
      picture.copy(DeviceRect(Panel(index), picture.devicePixelRatio())));
}
