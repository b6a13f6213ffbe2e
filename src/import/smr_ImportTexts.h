#pragma once

// The import's own texts, UTF-8; the view converts them to QString.
namespace res {
inline constexpr const char* ImportOutputExists =
    "Файл «%1» уже существует. Импорт не заменяет существующие файлы.";
inline constexpr const char* ImportCannotWrite = "Не удалось записать файл «%1»: %2";
inline constexpr const char* ImportCannotRead = "Не удалось прочитать файл «%1»: %2";
inline constexpr const char* ImportTooLarge =
    "Файл «%1» слишком велик для импорта (%2 МБ; наибольший размер — 128 МБ).";
// Reading a CSV table or a text diary; %1 is the line.
inline constexpr const char* ImportBadUtf8 =
    "Строка %1: текст не в кодировке UTF-8. Сохраните файл в UTF-8 и повторите импорт.";
inline constexpr const char* ImportCsvEmpty = "В файле нет строки заголовка.";
inline constexpr const char* ImportCsvFieldCount = "Строка %1: полей %2, а в строке заголовка %3.";
inline constexpr const char* ImportCsvOpenQuote =
    "Строка %1: поле в кавычках открыто здесь и не закрыто до конца файла.";
inline constexpr const char* ImportCsvBadEnergy = "Строка %1: энергия «%2» — не число от -1 до 1.";
inline constexpr const char* ImportCsvBadDate = "Строка %1: дата «%2» не распознана.";
}  // namespace res
