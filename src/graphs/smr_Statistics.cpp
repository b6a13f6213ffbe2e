#include "graphs/smr_Statistics.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "storage/smr_NumberFormat.h"
#include "storage/smr_Resources.h"
#include "storage/smr_Types.h"

namespace {

constexpr int EnergyScaleMiddle = 200 / 2;  // the energy track bar runs 0..200

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace

// Sign, digits with at most one '.' or ',', then an optional exponent.
bool ParseCachedReal(std::string_view text, double& value) {
  text = Trimmed(text);
  std::string plain(text);
  std::size_t i = 0;
  if (i < plain.size() && (plain[i] == '+' || plain[i] == '-')) ++i;
  int digits = 0;
  bool separator = false;
  for (; i < plain.size(); ++i) {
    char& c = plain[i];
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if ((c == '.' || c == ',') && !separator) {
      separator = true;
      c = '.';
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  if (i < plain.size() && (plain[i] == 'E' || plain[i] == 'e')) {
    ++i;
    if (i < plain.size() && (plain[i] == '+' || plain[i] == '-')) ++i;
    int exponentDigits = 0;
    for (; i < plain.size() && plain[i] >= '0' && plain[i] <= '9'; ++i) ++exponentDigits;
    if (exponentDigits == 0) return false;
  }
  if (i != plain.size()) return false;
  const char* begin = plain.data() + (plain[0] == '+' ? 1 : 0);
  double parsed = 0;
  const auto [end, error] = std::from_chars(begin, plain.data() + plain.size(), parsed);
  if (error != std::errc() || end != plain.data() + plain.size() || !std::isfinite(parsed)) {
    return false;
  }
  value = parsed;
  return true;
}

namespace {

bool IsTrue(const TXMLNode& element, std::string_view attribute) {
  return element.GetAttribute(attribute) == smr::True;
}

// The mark 1 test of the catalogue statistics also honours the older name.
bool HasMark1(const TXMLNode& experience) {
  const TXMLNode* properties = experience.FindNode(smr::elProperties);
  if (!properties) return false;
  return IsTrue(*properties, smr::atLabel[0]) || IsTrue(*properties, smr::atOldLabel[0]);
}

std::string Decimal(long long value) { return std::to_string(value); }

TXMLNode& AppendChild(TXMLNode& parent, std::string_view name, std::uint8_t kind) {
  TXMLNode* child = parent.AddChild(std::make_unique<TXMLNode>(std::string(name), kind));
  child->SetLevel(parent.Level + 1);
  return *child;
}

void ComputeOneGraph(int index, TXMLNode& statistic, TXMLNode& catalogue,
                     const TCatalogueSource& source, const TGraphLocale& locale) {
  TXMLNode* graph = statistic.Child(index);
  if (graph)
    graph->ClearChildren();
  else
    graph = &AppendChild(statistic, smr::elGraph, nkElement);
  graph->Name = smr::elGraph;
  graph->Kind = nkElement;
  graph->SetLevel(statistic.Level + 1);

  long long journals = 0, experiences = 0, nights = 0, marked = 0;
  for (const auto& child : catalogue.Children) {
    if (child->Name != smr::elFile) continue;
    const TXMLNode* root = source.Journal ? source.Journal(*child) : nullptr;
    const int d = root ? root->ChildCount() : 0;
    int e = 0, m = 0;
    if (root) {
      for (const auto& day : root->Children) {
        if (day->Name != smr::elDay) continue;
        for (const auto& experience : day->Children) {
          if (experience->Name != smr::elExperience) continue;
          ++e;
          m += HasMark1(*experience);
        }
      }
    }
    TXMLNode& point = AppendChild(*graph, smr::elPoint, nkEmptyElement);
    point.SetAttribute(smr::atName, child->GetAttribute(smr::atName));
    point.SetAttribute(smr::atLeft, Decimal(journals + 1));
    if (index == 0)
      point.SetAttribute(smr::atTop, Decimal(e));
    else if (index == 1)
      point.SetAttribute(smr::atTop, d > 0 ? locale.General(double(e) / d) : "0");
    else
      point.SetAttribute(smr::atTop, Decimal(m));
    ++journals;
    experiences += e;
    nights += d;
    marked += m;
  }

  std::string header, footer;
  if (index == 0) {
    header = locale.ToBytes(res::CatalogueTotalHeader);
    footer = locale.ToBytes(res::TotalFooter) + Decimal(experiences);
  } else if (index == 1) {
    header = locale.ToBytes(res::CatalogueAverageHeader);
    footer = locale.ToBytes(res::CatalogueAverageFooter) +
             (nights > 0 ? locale.General(double(experiences) / double(nights)) : "0");
  } else {
    header = locale.ToBytes(res::CatalogueMarkHeader) + source.Mark1Caption +
             locale.ToBytes(res::CatalogueMarkHeaderEnd);
    footer = locale.ToBytes(res::CatalogueMarkFooter) + Decimal(marked);
  }
  graph->SetAttribute(smr::atHeader, header);
  graph->SetAttribute(smr::atFooter, footer);
}

}  // namespace

QString StatisticsErrorMessage(const TStatisticsError& error, const TGraphLocale& locale) {
  return QString::fromUtf8(res::NotANumber)
      .arg(locale.ToUi(error.Element), locale.ToUi(error.Attribute), locale.ToUi(error.Text));
}

TJournalStatistics ComputeJournalStatistics(const TXMLNode& journalRoot) {
  TJournalStatistics result;
  for (const auto& night : journalRoot.Children) {
    if (night->Kind == nkText) continue;
    int count = 0;
    for (const auto& experience : night->Children) {
      if (experience->Name != smr::elExperience) continue;
      ++count;
      const TXMLNode* properties = experience->FindNode(smr::elProperties);
      if (!properties) continue;
      for (std::size_t mark = 0; mark < 4; ++mark)
        result.PerMark[mark] += IsTrue(*properties, smr::atLabel[mark]);
    }
    result.PerNight.push_back(count);
    result.Total += count;
  }
  return result;
}

std::optional<TStatisticsError> ComputeNightStatistics(const TXMLNode& night,
                                                       TNightStatistics& result) {
  TNightStatistics computed;
  double sum = 0;
  for (const auto& experience : night.Children) {
    if (experience->Name != smr::elExperience) continue;
    double value = 0;
    if (const TXMLNode* energy = experience->FindNode(smr::elEnergy)) {
      const std::string level = energy->GetAttribute(smr::atLevel);
      double parsed = 0;
      if (!ParseEnergyLevel(level, parsed)) {
        return TStatisticsError{std::string(smr::elEnergy), std::string(smr::atLevel), level};
      }
      value = (EnergyScaleMiddle - parsed) / EnergyScaleMiddle;
      sum += value;
    }
    computed.Energies.push_back(value);
  }
  if (!computed.Energies.empty()) computed.Average = sum / double(computed.Energies.size());
  result = std::move(computed);
  return std::nullopt;
}

TXMLNode* OwnStatistic(const TXMLNode& catalogue) {
  for (const auto& child : catalogue.Children)
    if (child->Name == smr::elStatistic) return child.get();
  return nullptr;
}

TXMLNode& EnsureStatistic(TXMLNode& catalogue) {
  if (TXMLNode* statistic = OwnStatistic(catalogue)) return *statistic;
  return AppendChild(catalogue, smr::elStatistic, nkElement);
}

void ComputeCatalogueGraph(int index, TXMLNode& statistic, TXMLNode& catalogue,
                           const TCatalogueSource& source, const TGraphLocale& locale) {
  index = std::clamp(index, 0, CatalogueGraphCount - 1);
  for (int earlier = statistic.ChildCount(); earlier < index; ++earlier) {
    ComputeOneGraph(earlier, statistic, catalogue, source, locale);
  }
  ComputeOneGraph(index, statistic, catalogue, source, locale);
}

TXMLNode& RefreshCatalogueGraph(int index, TXMLNode& catalogue, const TCatalogueSource& source,
                                const TGraphLocale& locale) {
  TXMLNode& statistic = EnsureStatistic(catalogue);
  ComputeCatalogueGraph(index, statistic, catalogue, source, locale);
  return statistic;
}

std::optional<TStatisticsError> ReadCachedGraph(const TXMLNode& graph, TCachedGraph& result) {
  TCachedGraph read;
  const auto text = [&](std::string_view attribute) {
    std::string value = graph.GetAttribute(attribute);
    return value == smr::Undefined ? std::string() : value;
  };
  read.Header = text(smr::atHeader);
  read.Footer = text(smr::atFooter);
  for (const auto& child : graph.Children) {
    if (child->Name != smr::elPoint) continue;
    TCachedPoint point;
    point.Name = child->GetAttribute(smr::atName);
    for (auto [attribute, target] :
         {std::pair{smr::atLeft, &point.Left}, {smr::atTop, &point.Top}}) {
      const std::string value = child->GetAttribute(attribute);
      if (!ParseCachedReal(value, *target)) {
        return TStatisticsError{std::string(smr::elPoint), std::string(attribute), value};
      }
    }
    read.YMax = std::max(read.YMax, point.Top);
    read.Points.push_back(std::move(point));
  }
  result = std::move(read);
  return std::nullopt;
}
