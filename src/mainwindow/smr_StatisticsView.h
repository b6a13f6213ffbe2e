#pragma once

#include <QImage>
#include <QWidget>
#include <array>
#include <functional>

#include "graphs/smr_GraphSetup.h"

class QToolButton;
class TPrompts;
class TXMLNode;

// The picture the graphs are drawn into, shown pixel for pixel: it holds
// the device pixels of the screen the widget is on.
class TGraphImage : public QWidget {
 public:
  using QWidget::QWidget;
  QImage Picture;
  // Called, after the paint, when the picture was drawn for a screen of
  // another scale than the one the widget is on now.
  std::function<void()> RatioChanged;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// The statistics of the journal, night or catalogue selected in the tree:
// up to three graphs in img_Graphs, which fills the host (the editing
// panel) behind the host's own controls. The host's separator line marks
// where the graphs start. Journal and night statistics live only in the
// painters; a catalogue's are cached in its `statistic` element, and
// computing them changes the library and may open journals.
//
// The window owns the elements shown and clears the view (Clear) whenever
// the selection changes, before any of them can go.
class TStatisticsView : public QWidget {
  Q_OBJECT

 public:
  struct TSources {
    // Captions of marks 1 to 4; empty when the mark is not named.
    std::function<std::array<QString, 4>()> MarkCaptions;
    // The journal root of a catalogue's `file` element, opened as a
    // selection would open it; null when it cannot be had.
    TJournalSource Journal;
  };

  TStatisticsView(QWidget* host, const QWidget* separator, TPrompts& prompts, TGraphLocale locale,
                  TSources sources);

  // Told the width the shown graphs need so that no button covers a
  // heading (0 when nothing is shown); the host grows to it and scrolls.
  std::function<void(int width)> WidthNeeded;

  // Hides the view and its buttons and forgets the element shown.
  void Clear();
  void ShowJournalStatistics(TXMLNode* journalRoot);
  void ShowNightStatistics(TXMLNode* night);
  void ShowCatalogueStatistics(TXMLNode* catalogue);
  // Recomputes graph `index` (0..2) of the shown catalogue's statistic.
  void ComputeCatalogueGraph(int index, TXMLNode& statistic);
  // Loads cached graph `index` of the shown catalogue and places it alone.
  void ShowCatalogueGraph(int index);
  // Draw the graphs of the current statistics again; `only` is an index.
  void PlaceJournalGraphs(int only = -1);
  void PlaceNightGraph();
  void PlaceCatalogueGraphs(int only = -1);

  const TGraphs& Graphs() const { return FGraphs; }
  // The panel rectangle of graph `index` (0..2) in the current view.
  TGraphRect Panel(int index) const;

 public slots:
  void btn_Refresh_1Click() { RefreshGraph(0); }
  void btn_Refresh_2Click() { RefreshGraph(1); }
  void btn_Refresh_3Click() { RefreshGraph(2); }
  void mnu_RefreshAllClick();
  void btn_Copy_1Click() { CopyGraph(0); }
  void btn_Copy_2Click() { CopyGraph(1); }
  void btn_Copy_3Click() { CopyGraph(2); }

 public:
  TGraphImage* img_Graphs = nullptr;
  std::array<QToolButton*, 3> btn_Copy{};
  std::array<QToolButton*, 3> btn_Refresh{};

 protected:
  // Follows the host's size.
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  enum class TShown { None, Journal, Night, Catalogue };

  TGraphArea Area() const;
  void Begin(TShown shown, TXMLNode* element);
  void FillArea();
  void Redraw();
  void ShowButtons(int index);
  // The least width at which graph `index`'s heading clears its buttons.
  int ClearWidth(int index) const;
  void Fail(const TStatisticsError& error);
  TCatalogueSource CatalogueSource() const;
  void RefreshGraph(int index);
  void CopyGraph(int index);

  const QWidget* FSeparator;
  TPrompts& FPrompts;
  TGraphLocale FLocale;
  TSources FSources;
  TGraphs FGraphs;
  TShown FShown = TShown::None;
  TXMLNode* FElement = nullptr;
  // Which painters hold graphs of the element shown: only those are drawn,
  // so another element's numbers never appear under this one's name.
  std::array<bool, 3> FLoaded{};
  int FClearWidth = 0;
  bool FRedrawWhenShown = false;  // graphs left undrawn while hidden
};
