#include "graphs/smr_GraphSetup.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "storage/smr_Resources.h"

namespace {

constexpr TColor Navy = 0x800000;
constexpr const char* Integer = "%.0n";

const TColorArray GraphColors[3] = {
    {0x000080, 0x0000FF, 0x00FFFF, 0xFFFFFF},            // maroon, red, yellow, white
    {0x800080, 0x800000, 0xFF0000, 0xFFFF00, 0xFFFFFF},  // purple, navy, blue, aqua, white
    {0x008080, 0x008000, 0x00FF00, 0xFFFFFF},            // olive, green, lime, white
};

void SetLabels(TSMGraph& graph, double xCount, double yStart, double yStep, const char* yFormat) {
  graph.XLabelStart = 1;
  graph.XLabelStep = 1;
  graph.XLabelCount = static_cast<std::int32_t>(xCount);
  graph.XLabelFormat = Integer;
  graph.YLabelStart = yStart;
  graph.YLabelStep = yStep;
  graph.YLabelCount = -1;
  graph.YLabelFormat = yFormat;
}

double Ratio(const TGraphArea& area) { return area.Ratio > 0 ? area.Ratio : 1; }

// The image keeps its top-left content when it changes size.
void EnsureSize(QImage& image, const TGraphArea& area, TColor buttonFace) {
  const double ratio = Ratio(area);
  // Whole device pixels that cover the logical size.
  const int w = static_cast<int>(std::ceil(std::max(area.W, 1) * ratio));
  const int h = static_cast<int>(std::ceil(std::max(area.H, 1) * ratio));
  if (image.width() == w && image.height() == h && image.depth() == 32 &&
      image.devicePixelRatio() == ratio) {
    return;
  }
  QImage sized(w, h, QImage::Format_RGB32);
  sized.setDevicePixelRatio(ratio);
  sized.fill(ToQColor(buttonFace, buttonFace));
  if (!image.isNull()) QPainter(&sized).drawImage(0, 0, image);
  image = std::move(sized);
}

void PlaceGraph(QImage& image, TSMGraph& graph, const TGraphRect& panel, double barWidth,
                const TGraphArea& area) {
  EnsureSize(image, area, graph.ButtonFace);
  {
    QPainter canvas(&image);
    DrawRectangle(&canvas, clBlack, clBtnFace, panel.Left, panel.Top, panel.Right - panel.Left,
                  panel.Bottom - panel.Top, graph.ButtonFace);
  }
  graph.BarWidth = barWidth;
  graph.Draw(image, GraphBounds(panel));
}

}  // namespace

QFont GraphFont(int pointSize, bool bold) {
  QFont font;
  if (QFontDatabase::families().contains(QStringLiteral("Tahoma"))) {
    font.setFamily(QStringLiteral("Tahoma"));
  } else {
    font = QGuiApplication::font();
    font.setStyleHint(QFont::SansSerif);
  }
  font.setPointSize(pointSize);
  font.setBold(bold);
  return font;
}

void CreateGraphs(TGraphs& graphs, const TGraphLocale& locale) {
  for (std::size_t i = 0; i < graphs.size(); ++i) {
    TSMGraph& graph = graphs[i];
    graph.LabelFont = {GraphFont(6, true), clBlack};
    graph.Header.Font = {GraphFont(8, true), Navy};
    graph.Header.Alignment = 0;
    graph.Footer.Font = {GraphFont(7, false), Navy};
    graph.Footer.Alignment = 1;
    graph.BorderColor = Navy;
    graph.AxisColor = clBlack;
    graph.BackgroundColor = clNone;
    graph.SetColors(GraphColors[i]);
    graph.LabelText = locale.Fixed;
  }
}

void FillJournalGraphs(TGraphs& graphs, const TJournalStatistics& statistics,
                       const std::array<QString, 4>& markCaptions) {
  TSMGraph& nights = graphs[0];
  const int days = static_cast<int>(statistics.PerNight.size());
  nights.XMin = 0;
  nights.XMax = days + 1;
  nights.YMin = 0;
  nights.YMax = 1;
  for (int n : statistics.PerNight) nights.YMax = std::max(nights.YMax, double(n));
  SetLabels(nights, days, 0, 1, Integer);
  nights.ClearValues();
  for (std::size_t i = 0; i < statistics.PerNight.size(); ++i)
    nights.AddValue(QString(), double(i + 1), statistics.PerNight[i]);
  nights.Header.Text = QString::fromUtf8(res::NightsHeader);
  nights.Footer.Text.clear();
  nights.GraphKind = gkLineRoundPoints;

  TSMGraph& marks = graphs[1];
  marks.XMin = 1;
  for (std::size_t n = 0; n < markCaptions.size(); ++n)
    if (!markCaptions[n].isEmpty())
      marks.XMax = double(n + 1);  // no named mark keeps the old value
  marks.YMin = 0;
  marks.YMax = *std::max_element(statistics.PerMark.begin(), statistics.PerMark.end());
  SetLabels(marks, -1, 0, 1, Integer);
  marks.ClearValues();
  for (std::size_t n = 0; n < markCaptions.size(); ++n)
    if (!markCaptions[n].isEmpty())
      marks.AddValue(markCaptions[n], double(n + 1), statistics.PerMark[n]);
  marks.Header.Text = QString::fromUtf8(res::MarksHeader);
  marks.Footer.Text = QString::fromUtf8(res::TotalFooter) + QString::number(statistics.Total);
  marks.GraphKind = gkHorizontalBars;
}

void FillNightGraph(TSMGraph& graph, const TNightStatistics& statistics,
                    const TGraphLocale& locale) {
  const int count = static_cast<int>(statistics.Energies.size());
  graph.ClearValues();
  for (std::size_t k = 0; k < statistics.Energies.size(); ++k)
    graph.AddValue(QString(), double(k + 1), statistics.Energies[k]);
  graph.XMin = 0;
  graph.XMax = count + 1;
  graph.YMin = -1;
  graph.YMax = 1;
  SetLabels(graph, count, -1, 0.25, "%.2n");
  graph.Header.Text = QString::fromUtf8(res::EnergyHeader);
  graph.Footer.Text =
      QString::fromUtf8(res::EnergyFooter) + locale.ToUi(locale.General(statistics.Average));
  graph.GraphKind = gkLineRoundPoints;
}

void FillCatalogueGraph(TSMGraph& graph, int index, const TCachedGraph& cached,
                        const TGraphLocale& locale) {
  graph.Header.Text = locale.ToUi(cached.Header);
  graph.Footer.Text = locale.ToUi(cached.Footer);
  graph.ClearValues();
  for (const TCachedPoint& point : cached.Points)
    graph.AddValue(locale.ToUi(point.Name), point.Left, point.Top);
  const int count = static_cast<int>(cached.Points.size());
  graph.XMin = 0;
  graph.XMax = count + 1;
  graph.YMin = 0;
  graph.YMax = cached.YMax;
  SetLabels(graph, count, 0, index == 0 ? 10 : 1, Integer);
  graph.GraphKind = gkLineRoundPoints;
}

std::optional<TStatisticsError> LoadCatalogueGraphs(TXMLNode& catalogue, TGraphs& graphs,
                                                    const TCatalogueSource& source,
                                                    const TGraphLocale& locale) {
  TXMLNode* statistic = OwnStatistic(catalogue);
  if (!statistic) {
    statistic = &EnsureStatistic(catalogue);
    for (int index = 0; index < CatalogueGraphCount; ++index)
      ComputeCatalogueGraph(index, *statistic, catalogue, source, locale);
  }
  const int count = std::min(statistic->ChildCount(), CatalogueGraphCount);
  std::array<TCachedGraph, CatalogueGraphCount> cached;
  for (int k = 0; k < count; ++k)
    if (auto error = ReadCachedGraph(*statistic->Child(k), cached[GraphSlot(k)])) return error;
  for (int k = 0; k < count; ++k)
    FillCatalogueGraph(graphs[GraphSlot(k)], k, cached[GraphSlot(k)], locale);
  return std::nullopt;
}

std::optional<TStatisticsError> LoadCatalogueGraph(int index, const TXMLNode& catalogue,
                                                   TSMGraph& graph, const TGraphLocale& locale,
                                                   bool& loaded) {
  loaded = false;
  const TXMLNode* statistic = OwnStatistic(catalogue);
  const TXMLNode* element = statistic ? statistic->Child(index) : nullptr;
  if (!element) return std::nullopt;
  TCachedGraph cached;
  if (auto error = ReadCachedGraph(*element, cached)) return error;
  FillCatalogueGraph(graph, index, cached, locale);
  loaded = true;
  return std::nullopt;
}

TGraphRect JournalPanel(int graph, const TGraphArea& a) {
  if (graph == 2) return {10, (a.H - a.S) / 2 + 35, a.W / 2 - 20, a.H - 10};
  return {10, a.T0 + 15, a.W - 10, (a.H - a.S) / 2 + 25};
}

TGraphRect CataloguePanel(int graph, const TGraphArea& a) {
  const int u = (a.H - (a.S + 36)) / 3;
  const int top = a.T0 + 15 + (graph - 1) * (10 + u);
  return {10, top, a.W - 10, top + u};
}

TGraphRect GraphBounds(const TGraphRect& panel) {
  return {20, panel.Top + 5, panel.Right - 10, panel.Bottom - 5};
}

TButtonPlace PanelButtons(const TGraphRect& panel, int buttonWidth, int buttonHeight) {
  const int top = panel.Top + 5;
  return {panel.Right - buttonWidth - 5, top, top + buttonHeight + 1};
}

double WideBarWidth(int width) { return width > 20 ? 7.5 / (width - 20) : 0; }

QRect DeviceRect(const TGraphRect& rect, double ratio) {
  // Rounded as the raster engine rounds the edges of a fill.
  const auto scaled = [ratio](int edge) { return qRound(edge * ratio); };
  return QRect(QPoint(scaled(rect.Left), scaled(rect.Top)),
               QPoint(scaled(rect.Right) - 1, scaled(rect.Bottom) - 1));
}

void FillGraphArea(QImage& image, const TGraphArea& area, TColor buttonFace) {
  EnsureSize(image, area, buttonFace);
  QPainter canvas(&image);
  DrawRectangle(&canvas, clBtnFace, clBtnFace, 0, 0, area.W, area.H, buttonFace);
}

void PlaceJournalGraphs(QImage& image, TGraphs& graphs, const TGraphArea& area, int only) {
  if (only != 1) PlaceGraph(image, graphs[0], JournalPanel(1, area), WideBarWidth(area.W), area);
  if (only != 0) PlaceGraph(image, graphs[1], JournalPanel(2, area), 0.1, area);
}

void PlaceNightGraph(QImage& image, TSMGraph& graph, const TGraphArea& area) {
  PlaceGraph(image, graph, JournalPanel(1, area), WideBarWidth(area.W), area);
}

void PlaceCatalogueGraphs(QImage& image, TGraphs& graphs, const TGraphArea& area, int only) {
  for (int index = 0; index < CatalogueGraphCount; ++index) {
    if (only >= 0 && index != only) continue;
    PlaceGraph(image, graphs[GraphSlot(index)], CataloguePanel(index + 1, area),
               WideBarWidth(area.W), area);
  }
}
