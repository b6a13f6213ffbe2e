#pragma once

#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "graphs/smr_GraphLocale.h"
#include "xml/xml_node.h"

// The numbers behind the statistics graphs, read from journal and library
// elements. No painting and no widgets; errors come back as values.

// A stored text that should have been a number. Names and text are
// document bytes.
struct TStatisticsError {
  std::string Element;
  std::string Attribute;
  std::string Text;
};
// The one message the program shows for it.
QString StatisticsErrorMessage(const TStatisticsError& error, const TGraphLocale& locale);

// A cached real: blanks around, a sign, digits with '.' or ',' as the
// separator and an optional exponent, so a library moved between locales
// stays readable. Energy levels are read as the exporters read them
// (ParseEnergyLevel of storage/smr_NumberFormat).
bool ParseCachedReal(std::string_view text, double& value);

// Experiences per night and per mark of one journal (its root element).
// Every element child of the root is a night, as in the library tree.
struct TJournalStatistics {
  std::vector<int> PerNight;
  std::array<int, 4> PerMark{};  // experiences whose label1..label4 is "true"
  int Total = 0;
};
TJournalStatistics ComputeJournalStatistics(const TXMLNode& journalRoot);

// Energy of each experience of a night, from +1 at level 0 to -1 at 200; an
// experience without an energy element counts 0 and is left out of the sum.
struct TNightStatistics {
  std::vector<double> Energies;
  double Average = 0;
};
std::optional<TStatisticsError> ComputeNightStatistics(const TXMLNode& night,
                                                       TNightStatistics& result);

// Where the catalogue statistics get a journal: the root of the journal of
// a library `file` element, opened (and shown in the tree) when needed by
// the caller; null when the journal cannot be had, which counts as empty.
using TJournalSource = std::function<TXMLNode*(TXMLNode& file)>;

struct TCatalogueSource {
  TJournalSource Journal;
  std::string Mark1Caption;  // document bytes, for the header of graph 3
};

inline constexpr int CatalogueGraphCount = 3;

// The catalogue's own `statistic` (the first direct child of that name), or
// null; a sub-catalogue's cache is never taken for the catalogue's.
TXMLNode* OwnStatistic(const TXMLNode& catalogue);
// The same, appending a new one as the last child when there is none.
TXMLNode& EnsureStatistic(TXMLNode& catalogue);

// Recomputes graph element `index` (0..2) of the statistic from the
// catalogue's journals. Missing earlier graph elements are computed first,
// so the element at `index` is always the graph asked for.
void ComputeCatalogueGraph(int index, TXMLNode& statistic, TXMLNode& catalogue,
                           const TCatalogueSource& source, const TGraphLocale& locale);
// Refresh of one graph: ensures the statistic, then computes the graph.
TXMLNode& RefreshCatalogueGraph(int index, TXMLNode& catalogue, const TCatalogueSource& source,
                                const TGraphLocale& locale);

// One cached graph as read back from its element.
struct TCachedPoint {
  std::string Name;  // document bytes
  double Left = 0;
  double Top = 0;
};
struct TCachedGraph {
  std::string Header;  // empty when absent
  std::string Footer;
  std::vector<TCachedPoint> Points;
  double YMax = 0;  // largest top, at least 0
};
std::optional<TStatisticsError> ReadCachedGraph(const TXMLNode& graph, TCachedGraph& result);
