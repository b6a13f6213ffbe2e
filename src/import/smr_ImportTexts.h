#pragma once

// The import's own texts, UTF-8; the view converts them to QString.
namespace res {
inline constexpr const char* ImportOutputExists =
    "Файл «%1» уже существует. Импорт не заменяет существующие файлы.";
inline constexpr const char* ImportCannotWrite = "Не удалось записать файл «%1»: %2";
}  // namespace res
