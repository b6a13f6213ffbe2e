#pragma once

// The import's own texts, UTF-8; the view converts them to QString.
namespace res {
inline constexpr const char* ImportOutputExists =
    "Файл «%1» уже существует. Импорт не заменяет существующие файлы.";
inline constexpr const char* ImportCannotWrite = "Не удалось записать файл «%1»: %2";
inline constexpr const char* ImportCannotRead = "Не удалось прочитать файл «%1»: %2";
inline constexpr const char* ImportTooLarge =
    "Файл «%1» слишком велик для импорта (%2 МБ; наибольший размер — 128 МБ).";
}  // namespace res
