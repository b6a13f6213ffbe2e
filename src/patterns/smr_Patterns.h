#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "patterns/smr_DreamSigns.h"
#include "patterns/smr_PatternModel.h"

class TStemmer;
class TXMLNode;

// The figures of the patterns view and of somnary-search, computed from a
// model. Dates are yyyymmdd, months yyyymm (as ints).

// A night to show or to select: null when there is none.
struct TNightRef {
  const TXMLNode* File = nullptr;
  const TXMLNode* Night = nullptr;
  int Date = 0;
};

// ---------------------------------------------------------------- calendar

struct TCalendarDay {
  int Date = 0;
  int Experiences = 0;
  std::uint8_t Marks = 0;  // bit k: some experience of the day has mark k+1
  TNightRef Night;         // the first night of that date, in document order
};

struct TMonthCounts {
  int Month = 0;  // yyyymm
  int Experiences = 0;
  std::array<int, 4> Marks{};  // experiences with each mark
};

// Consecutive days each with a night holding an experience.
struct TRun {
  int Nights = 0;
  int First = 0, Last = 0;  // dates; 0 for no run
};

struct TCalendar {
  std::vector<TCalendarDay> Days;    // dated nights with experiences, by date
  std::vector<TMonthCounts> Months;  // every month from the first dated night's to the last's
  TRun Longest;                      // the latest of the longest runs
  // The run ending at the latest dated night on or before today, when that
  // night is today's or yesterday's (a night is written down the morning
  // after, under either date); nothing once a day has gone by without one.
  // Nights dated after today are left out of it.
  TRun Current;
  std::vector<TNightRef> Undated;  // nights not named by a date, in document order
  int UndatedExperiences = 0;
};
// today: yyyymmdd.
TCalendar MakeCalendar(const TPatternModel& model, int today);

// The number of days since 1 January 1970 of a valid date, and back.
int DayNumber(int date);
int DateOfDay(int dayNumber);

// ---------------------------------------------------------------- signs

struct TMonthCount {
  int Month = 0;  // yyyymm
  int Count = 0;
};

struct TSignFigures {
  int Experiences = 0;  // holding the sign as the search finds its text
  int Lucid = 0;        // of those, with mark 1 ticked
  // The earliest and latest dated nights holding it; nights without a
  // date only when no dated one does, then by document order.
  TNightRef First, Last;
  std::vector<TMonthCount> Months;  // months with such experiences, ascending
};
// One per sign, in the list's order. The stemmer makes each sign's query.
std::vector<TSignFigures> SignTable(const TPatternModel& model,
                                    const std::vector<TDreamSign>& signs, TStemmer& stemmer);

// ---------------------------------------------------------------- suggestions

struct TFrequentWord {
  std::string Word;  // the stem's most common surface form, folded windows-1251
  std::string Stem;
  int Experiences = 0;
};
// The `count` stems in most experiences (TStem::Frequent), stop words and
// words under 3 letters left out, and so the stems any of the signs given
// would find; by the number, then alphabetically by the word.
std::vector<TFrequentWord> FrequentWords(const TPatternModel& model, std::size_t count,
                                         const std::vector<TDreamSign>& exceptSigns,
                                         TStemmer& stemmer);
// Whether a folded word is on the stop list (pronouns, prepositions,
// conjunctions, particles, auxiliary verbs, common adverbs).
bool IsStopWord(std::string_view foldedWord);

// ---------------------------------------------------------------- trends

struct TTrendPoint {
  int Period = 0;  // yyyymm, or yyyy
  int Count = 0;   // experiences holding the text
  int Total = 0;   // all experiences of the period
};
struct TTrend {
  // Every month (year) from the first dated experience's to the last's.
  std::vector<TTrendPoint> Months, Years;
  int Count = 0, Total = 0;                // dated and undated together
  int UndatedCount = 0, UndatedTotal = 0;  // nights not named by a date
};
// text: a word, a phrase or a sign's text as typed in the search (windows-1251).
TTrend MakeTrend(const TPatternModel& model, const std::string& text, TStemmer& stemmer);

struct TMarkEnergy {
  int With = 0, Without = 0;                 // experiences with and without the mark
  double EnergyWith = 0, EnergyWithout = 0;  // average energy, +1 .. -1 as shown; 0 for none
};
// Energy as the window shows it: (100 - level) / 100, an experience without
// energy counting as 0, as in the statistics.
std::array<TMarkEnergy, 4> EnergyByMarks(const TPatternModel& model);
