#pragma once

// Russian texts of the statistics and of the statistics view, UTF-8 in the
// source; kept apart from the shared string table so that the graphs
// library carries its own captions and messages.
namespace res {

inline constexpr const char* NightsHeader = "Количество опытов по дням";
inline constexpr const char* MarksHeader = "Качество опытов";
inline constexpr const char* TotalFooter = "Всего опытов: ";
inline constexpr const char* EnergyHeader = "Энергетический уровень";
inline constexpr const char* EnergyFooter = "Средний энергетический уровень сновидений: ";
inline constexpr const char* CatalogueTotalHeader = "Общее количество опытов в журналах";
inline constexpr const char* CatalogueAverageHeader = "Среднее количество опытов за день";
inline constexpr const char* CatalogueAverageFooter = "Среднее количество опытов за весь период: ";
inline constexpr const char* CatalogueMarkHeader = "Число опытов с пометкой: [";
inline constexpr const char* CatalogueMarkHeaderEnd = "]";
inline constexpr const char* CatalogueMarkFooter = "Общее количество подобных опытов: ";
// %1 element, %2 attribute, %3 the text found.
inline constexpr const char* NotANumber =
    "В элементе «%1» атрибут «%2» содержит «%3», а не число. Статистика не показана.";
inline constexpr const char* CopyGraphHint = "Скопировать график в буфер обмена";
inline constexpr const char* RefreshGraphHint = "Обновить график";

}  // namespace res
