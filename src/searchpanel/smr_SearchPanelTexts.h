#pragma once

#include "storage/smr_Resources.h"

// Russian texts of the search panel, UTF-8 in the source;
// texts shared with files or other libraries are in storage/smr_Resources.h.
namespace res {

// --- search
inline constexpr const char* SearchQueryHint = "Слова или «точная фраза»";
inline constexpr const char* SearchMarksCaption = "Отметки:";
inline constexpr const char* SearchEnergyCaption = "Энергия от";
inline constexpr const char* SearchEnergyTo = "до";
inline constexpr const char* SearchDateFrom = "Ночи с";
inline constexpr const char* SearchDateTo = "по";
inline constexpr const char* SearchKindCaption = "Описание:";
inline constexpr const char* SearchKindAny = "любое";
inline constexpr const char* SearchKindPlain = "текст";
inline constexpr const char* SearchKindHTML = "HTML";
inline constexpr const char* SearchCount = "Найдено: %1";
inline constexpr const char* SearchNothing = "Ничего не найдено";
inline constexpr const char* SearchReading = "Чтение журналов: %1 из %2 (Esc — прервать)";
inline constexpr const char* SearchCancelled = "Поиск прерван. Найдено: %1";
inline constexpr const char* SearchNoNumber = "без номера";
inline constexpr const char* SearchTooManyTerms =
    "В запросе больше %1 разных слов и фраз. Сократите его, чтобы искать.";

}  // namespace res
