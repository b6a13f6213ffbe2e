#pragma once

#include "storage/smr_Resources.h"

// Russian texts of the patterns view, UTF-8 in the source; texts shared
// with files or other libraries are in storage/smr_Resources.h.
namespace res {

// --- pages
inline constexpr const char* PatternsCalendarPage = "Календарь";
inline constexpr const char* PatternsSignsPage = "Сонные знаки";
inline constexpr const char* PatternsTrendsPage = "Тенденции";

// --- calendar
inline constexpr const char* PatternsPrevYear = "◀";
inline constexpr const char* PatternsNextYear = "▶";
inline constexpr const char* PatternsPrevYearHint = "Предыдущий год";
inline constexpr const char* PatternsNextYearHint = "Следующий год";
inline constexpr const char* PatternsLongestRun =
    "Самая длинная серия ночей со снами: %1 (%2 – %3)";
inline constexpr const char* PatternsNoRun = "Самая длинная серия ночей со снами: нет";
inline constexpr const char* PatternsCurrentRun = "Текущая серия: %1";
inline constexpr const char* PatternsUndated = "Ночи без даты:";
inline constexpr const char* PatternsMonthNames[12] = {"Январь",   "Февраль", "Март",   "Апрель",
                                                       "Май",      "Июнь",    "Июль",   "Август",
                                                       "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};
inline constexpr const char* PatternsMonthShort[12] = {"янв", "фев", "мар", "апр", "май", "июн",
                                                       "июл", "авг", "сен", "окт", "ноя", "дек"};
inline constexpr const char* PatternsExperiencesColumn = "Сны";
inline constexpr const char* PatternsMarkColumn = "О%1";
inline constexpr const char* PatternsMarkFallback = "Отметка %1";
inline constexpr const char* PatternsLegendExperiences = "Снов за ночь:";
inline constexpr const char* PatternsLegendNone = "нет записи";
inline constexpr const char* PatternsLegendMany = "%1+";
inline constexpr const char* PatternsDayTip = "%1: снов %2";
inline constexpr const char* PatternsDayEmptyTip = "%1: нет записи";
inline constexpr const char* PatternsMonthTip = "%1 %2 — %3: %4";

// --- signs
inline constexpr const char* PatternsSignText = "Знак";
inline constexpr const char* PatternsSignCategory = "Категория";
inline constexpr const char* PatternsSignExperiences = "Снов";
inline constexpr const char* PatternsSignLucid = "Осознанных";
inline constexpr const char* PatternsSignFirst = "Первая ночь";
inline constexpr const char* PatternsSignLast = "Последняя ночь";
inline constexpr const char* PatternsSignMonths = "По месяцам";
inline constexpr const char* PatternsAddSign = "Добавить...";
inline constexpr const char* PatternsEditSign = "Изменить...";
inline constexpr const char* PatternsRemoveSign = "Удалить";
inline constexpr const char* PatternsSuggestions = "Частые слова:";
inline constexpr const char* PatternsAdoptSuggestion = "Сделать знаком";
inline constexpr const char* PatternsSuggestionTip = "Встречается в %1 снах";
inline constexpr const char* PatternsSignsHint = "Двойной щелчок по знаку ищет его в библиотеке.";
inline constexpr const char* PatternsAddSignTitle = "Новый сонный знак";
inline constexpr const char* PatternsEditSignTitle = "Сонный знак";
inline constexpr const char* PatternsSignTextCaption = "Слово или фраза:";
inline constexpr const char* PatternsSignCategoryCaption = "Категория:";
inline constexpr const char* PatternsSignExists = "Такой знак уже есть.";
inline constexpr const char* PatternsSignNoWord = "В тексте нет ни одного слова.";

// --- trends
inline constexpr const char* PatternsTrendCaption = "Слово, фраза или знак:";
inline constexpr const char* PatternsTrendHint = "например, летать";
inline constexpr const char* PatternsTrendMonths = "по месяцам";
inline constexpr const char* PatternsTrendYears = "по годам";
inline constexpr const char* PatternsTrendTotal = "Всего снов";
inline constexpr const char* PatternsTrendMatching = "Со словом «%1»";
inline constexpr const char* PatternsTrendNoData = "Нет снов с датой";
inline constexpr const char* PatternsTrendBarTip = "%1: %2 из %3";
inline constexpr const char* PatternsEnergyCaption = "Энергия и отметки";
inline constexpr const char* PatternsEnergyMark = "Отметка";
inline constexpr const char* PatternsEnergyWith = "С отметкой";
inline constexpr const char* PatternsEnergyWithout = "Без отметки";
inline constexpr const char* PatternsEnergyCount = "%1 (снов: %2)";
inline constexpr const char* PatternsEnergyNone = "—";

}  // namespace res
