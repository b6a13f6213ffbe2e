#pragma once

#include <QFont>
#include <QString>
#include <array>
#include <cstddef>
#include <optional>

#include "graphs/smr_GraphPainter.h"
#include "graphs/smr_Statistics.h"

class QImage;
class QRect;

// The three painters of the statistics view and what feeds and places them.
// The view widget owns a TGraphs and an image; it calls these and shows the
// image, positions its buttons from PanelButtons and shows error messages.
using TGraphs = std::array<TSMGraph, 3>;
// Graphs are numbered with int, where -1 stands for all of them; a number
// that indexes an array kept per graph goes through here.
constexpr std::size_t GraphSlot(int graph) { return static_cast<std::size_t>(graph); }

// "Tahoma" when installed, else the application's sans-serif font.
QFont GraphFont(int pointSize, bool bold);
// Fonts, colours and label texts shared by the three painters.
void CreateGraphs(TGraphs& graphs, const TGraphLocale& locale);

// Graph 1 (experiences per night) and graph 2 (experiences per mark). A
// mark is named when its caption is not empty.
void FillJournalGraphs(TGraphs& graphs, const TJournalStatistics& statistics,
                       const std::array<QString, 4>& markCaptions);
void FillNightGraph(TSMGraph& graph, const TNightStatistics& statistics,
                    const TGraphLocale& locale);
void FillCatalogueGraph(TSMGraph& graph, int index, const TCachedGraph& cached,
                        const TGraphLocale& locale);

// Computes the catalogue's cache when it has none (which changes the
// library), then loads each cached graph, up to three, into its painter.
// On an error no painter changes and nothing should be placed.
std::optional<TStatisticsError> LoadCatalogueGraphs(TXMLNode& catalogue, TGraphs& graphs,
                                                    const TCatalogueSource& source,
                                                    const TGraphLocale& locale);
// Loads cached graph `index` into its painter; `loaded` says whether there
// was one to load.
std::optional<TStatisticsError> LoadCatalogueGraph(int index, const TXMLNode& catalogue,
                                                   TSMGraph& graph, const TGraphLocale& locale,
                                                   bool& loaded);

// Where the graphs go in an image of W x H logical pixels; T0 and S are the
// top and the bottom edge of the separator line above the graphs. Ratio is
// the device pixel ratio of the screen the image is shown on: the image
// holds that many device pixels per logical pixel, so text and shapes stay
// sharp on a scaled screen.
struct TGraphArea {
  int W = 0;
  int H = 0;
  int T0 = 0;
  int S = 0;
  double Ratio = 1;
};
// graph is 1 or 2; the night view uses panel 1.
TGraphRect JournalPanel(int graph, const TGraphArea& area);
// graph is 1, 2 or 3.
TGraphRect CataloguePanel(int graph, const TGraphArea& area);
// The rectangle a graph is drawn in on its panel.
TGraphRect GraphBounds(const TGraphRect& panel);
// The copy button at the panel's upper right corner, the refresh button
// below it.
struct TButtonPlace {
  int Left = 0;
  int CopyTop = 0;
  int RefreshTop = 0;
};
TButtonPlace PanelButtons(const TGraphRect& panel, int buttonWidth = 15, int buttonHeight = 15);
// Bar width of the graphs that span the whole width.
double WideBarWidth(int width);

// The device pixels of an image of that ratio that a fill of the logical
// rectangle covers: each edge is scaled and rounded.
QRect DeviceRect(const TGraphRect& rect, double ratio);

// Sizes the image to W x H at the area's ratio and paints it all in the
// button face colour.
void FillGraphArea(QImage& image, const TGraphArea& area, TColor buttonFace);
// Both journal graphs, or only the one of that index (0 or 1).
void PlaceJournalGraphs(QImage& image, TGraphs& graphs, const TGraphArea& area, int only = -1);
void PlaceNightGraph(QImage& image, TSMGraph& graph, const TGraphArea& area);
// All three graphs, or only the one of that index (0..2).
void PlaceCatalogueGraphs(QImage& image, TGraphs& graphs, const TGraphArea& area, int only = -1);
