#include "patterns/smr_Patterns.h"

#include <algorithm>
#include <map>

#include "search/smr_SearchQuery.h"
#include "search/smr_SearchText.h"

namespace {

int MonthOf(int date) { return date / 100; }
int NextMonth(int month) { return month % 100 == 12 ? (month / 100 + 1) * 100 + 1 : month + 1; }

TNightRef RefOf(const TPatternModel::TExperience& e) { return {e.File, e.Night, e.Date}; }

// Dated experiences by date, in document order within a date.
std::vector<std::uint32_t> ByDate(const TPatternModel& model) {
  const auto& experiences = model.Experiences();
  std::vector<std::uint32_t> dated;
  for (std::uint32_t e = 0; e < experiences.size(); ++e)
    if (experiences[e].Date) dated.push_back(e);
  std::stable_sort(dated.begin(), dated.end(), [&](std::uint32_t a, std::uint32_t b) {
    return experiences[a].Date < experiences[b].Date;
  });
  return dated;
}

}  // namespace

int DayNumber(int date) {
  // Days from the civil calendar, counting years from March so that the
  // leap day ends a year.
  int y = date / 10000;
  const int m = date / 100 % 100, d = date % 100;
  y -= m <= 2;
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

int DateOfDay(int dayNumber) {
  const int z = dayNumber + 719468;
  const int era = (z >= 0 ? z : z - 146096) / 146097;
  const int doe = z - era * 146097;
  const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int mp = (5 * doy + 2) / 153;
  const int d = doy - (153 * mp + 2) / 5 + 1;
  const int m = mp < 10 ? mp + 3 : mp - 9;
  const int y = yoe + era * 400 + (m <= 2);
  return y * 10000 + m * 100 + d;
}

TCalendar MakeCalendar(const TPatternModel& model, int today) {
  TCalendar calendar;
  const auto& experiences = model.Experiences();
  for (const std::uint32_t e : ByDate(model)) {
    const TPatternModel::TExperience& experience = experiences[e];
    if (calendar.Days.empty() || calendar.Days.back().Date != experience.Date)
      calendar.Days.push_back({experience.Date, 0, 0, RefOf(experience)});
    TCalendarDay& day = calendar.Days.back();
    ++day.Experiences;
    day.Marks |= experience.Marks;

    const int month = MonthOf(experience.Date);
    if (calendar.Months.empty()) calendar.Months.push_back({month, 0, {}});
    while (calendar.Months.back().Month != month)
      calendar.Months.push_back({NextMonth(calendar.Months.back().Month), 0, {}});
    TMonthCounts& counts = calendar.Months.back();
    ++counts.Experiences;
    for (std::size_t k = 0; k < 4; ++k)
      if (experience.Marks & (1 << k)) ++counts.Marks[k];
  }

  TRun run;
  int previous = 0;
  const int todayNumber = DayNumber(today);
  for (const TCalendarDay& day : calendar.Days) {
    const int number = DayNumber(day.Date);
    if (run.Nights && number == previous + 1) {
      ++run.Nights;
    } else {
      run = {1, day.Date, day.Date};
    }
    run.Last = day.Date;
    previous = number;
    if (run.Nights >= calendar.Longest.Nights) calendar.Longest = run;
    if (number <= todayNumber) calendar.Current = todayNumber - number <= 1 ? run : TRun{};
  }

  for (const TPatternModel::TNight& night : model.Nights())
    if (!night.Date) calendar.Undated.push_back({night.File, night.Night, 0});
  for (const TPatternModel::TExperience& experience : experiences)
    if (!experience.Date) ++calendar.UndatedExperiences;
  return calendar;
}

std::vector<TSignFigures> SignTable(const TPatternModel& model,
                                    const std::vector<TDreamSign>& signs, TStemmer& stemmer) {
  const auto& experiences = model.Experiences();
  std::vector<TSignFigures> table;
  table.reserve(signs.size());
  for (const TDreamSign& sign : signs) {
    TSignFigures& figures = table.emplace_back();
    const TSearchQuery query(sign.Text, stemmer);
    const std::vector<std::uint32_t> found = model.Matching(query, stemmer);
    figures.Experiences = static_cast<int>(found.size());
    std::map<int, int> months;
    const TPatternModel::TExperience *first = nullptr, *last = nullptr;
    const TPatternModel::TExperience *firstUndated = nullptr, *lastUndated = nullptr;
    for (const std::uint32_t e : found) {
      const TPatternModel::TExperience& experience = experiences[e];
      if (experience.Marks & 1) ++figures.Lucid;
      if (!experience.Date) {
        if (!firstUndated) firstUndated = &experience;
        lastUndated = &experience;
        continue;
      }
      ++months[MonthOf(experience.Date)];
      if (!first || experience.Date < first->Date) first = &experience;
      if (!last || experience.Date >= last->Date) last = &experience;
    }
    if (!first) first = firstUndated, last = lastUndated;
    if (first) figures.First = RefOf(*first), figures.Last = RefOf(*last);
    for (const auto& [month, count] : months) figures.Months.push_back({month, count});
  }
  return table;
}

std::vector<TFrequentWord> FrequentWords(const TPatternModel& model, std::size_t count,
                                         const std::vector<TDreamSign>& exceptSigns,
                                         TStemmer& stemmer) {
  const auto& stems = model.Stems();
  // A sign covers the stems each of its words would find, quoted or not.
  std::vector<char> covered(stems.size());
  for (const TDreamSign& sign : exceptSigns) {
    const std::string words = FoldedWords(sign.Text);
    for (std::size_t start = 0; start < words.size();) {
      std::size_t end = words.find(' ', start);
      if (end == std::string::npos) end = words.size();
      TSearchTerm term;
      term.Word = words.substr(start, end - start);
      term.Needle = stemmer.Stem(term.Word);
      for (const std::uint32_t s : model.StemsMatching(term)) covered[s] = 1;
      start = end + 1;
    }
  }
  std::vector<std::uint32_t> candidates;
  for (std::uint32_t s = 0; s < stems.size(); ++s)
    if (stems[s].Frequent && !covered[s]) candidates.push_back(s);
  const auto before = [&](std::uint32_t a, std::uint32_t b) {
    if (stems[a].Frequent != stems[b].Frequent) return stems[a].Frequent > stems[b].Frequent;
    return stems[a].Surface < stems[b].Surface;
  };
  const std::size_t n = std::min(count, candidates.size());
  std::partial_sort(candidates.begin(), candidates.begin() + static_cast<std::ptrdiff_t>(n),
                    candidates.end(), before);
  std::vector<TFrequentWord> words;
  for (std::size_t i = 0; i < n; ++i) {
    const TPatternModel::TStem& stem = stems[candidates[i]];
    words.push_back({stem.Surface, stem.Stem, static_cast<int>(stem.Frequent)});
  }
  return words;
}

TTrend MakeTrend(const TPatternModel& model, const std::string& text, TStemmer& stemmer) {
  TTrend trend;
  const auto& experiences = model.Experiences();
  std::vector<char> holds(experiences.size());
  for (const std::uint32_t e : model.Matching(TSearchQuery(text, stemmer), stemmer)) holds[e] = 1;
  int firstMonth = 0, lastMonth = 0;
  for (const TPatternModel::TExperience& experience : experiences) {
    if (!experience.Date) continue;
    const int month = MonthOf(experience.Date);
    if (!firstMonth || month < firstMonth) firstMonth = month;
    lastMonth = std::max(lastMonth, month);
  }
  if (firstMonth) {
    for (int month = firstMonth; month <= lastMonth; month = NextMonth(month))
      trend.Months.push_back({month, 0, 0});
    for (int year = firstMonth / 100; year <= lastMonth / 100; ++year)
      trend.Years.push_back({year, 0, 0});
  }
  for (std::size_t e = 0; e < experiences.size(); ++e) {
    const int date = experiences[e].Date;
    const int hit = holds[e];
    trend.Total += 1;
    trend.Count += hit;
    if (!date) {
      trend.UndatedTotal += 1;
      trend.UndatedCount += hit;
      continue;
    }
    const int month = MonthOf(date);
    const int index = (month / 100 - firstMonth / 100) * 12 + month % 100 - firstMonth % 100;
    TTrendPoint& m = trend.Months[static_cast<std::size_t>(index)];
    TTrendPoint& y = trend.Years[static_cast<std::size_t>(month / 100 - firstMonth / 100)];
    m.Total += 1, m.Count += hit;
    y.Total += 1, y.Count += hit;
  }
  return trend;
}

std::array<TMarkEnergy, 4> EnergyByMarks(const TPatternModel& model) {
  std::array<TMarkEnergy, 4> marks{};
  for (const TPatternModel::TExperience& experience : model.Experiences()) {
    const double energy = (100 - experience.Level) / 100.0;
    for (std::size_t k = 0; k < 4; ++k) {
      TMarkEnergy& mark = marks[k];
      if (experience.Marks & (1 << k)) {
        ++mark.With;
        mark.EnergyWith += energy;
      } else {
        ++mark.Without;
        mark.EnergyWithout += energy;
      }
    }
  }
  for (TMarkEnergy& mark : marks) {
    if (mark.With) mark.EnergyWith /= mark.With;
    if (mark.Without) mark.EnergyWithout /= mark.Without;
  }
  return marks;
}
