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

// The JSON import. %1 is the line; the reasons fill the %2 of ImportJsonAtLine.
namespace res {
inline constexpr const char* ImportJsonAtLine = "Строка %1: %2";
inline constexpr const char* ImportJsonSyntax = "ошибка в записи JSON (%1).";
inline constexpr const char* ImportJsonUnexpectedEnd = "файл обрывается";
inline constexpr const char* ImportJsonUnexpectedChar = "неожиданный символ";
inline constexpr const char* ImportJsonBadEscape = "неверная последовательность с «\\»";
inline constexpr const char* ImportJsonControlChar = "управляющий символ внутри строки";
inline constexpr const char* ImportJsonBadNumber = "неверное число";
inline constexpr const char* ImportJsonTrailing = "лишний текст после конца данных";
inline constexpr const char* ImportJsonTooDeep = "слишком глубокая вложенность.";
inline constexpr const char* ImportJsonBadUtf8 = "текст не в кодировке UTF-8.";
inline constexpr const char* ImportJsonNotSomnary =
    "это не экспорт Somnary в JSON: нет поля «format» со значением «somnary».";
inline constexpr const char* ImportJsonBadVersion =
    "версия формата %1 не поддерживается; эта программа читает версию 1.";
inline constexpr const char* ImportJsonLibrary =
    "это JSON всей библиотеки, а импортировать можно только JSON одного журнала. Выделите "
    "в дереве нужный журнал и экспортируйте в JSON его.";
inline constexpr const char* ImportJsonLibraryJournals =
    "это JSON всей библиотеки, а импортировать можно только JSON одного журнала. Выделите "
    "в дереве нужный журнал (%1) и экспортируйте в JSON его.";
inline constexpr const char* ImportJsonNotJournal =
    "в файле не журнал: корневой элемент «%1», а у журнала он «somnary».";
inline constexpr const char* ImportJsonNoRoot = "нет дерева журнала (поля «root»).";
inline constexpr const char* ImportJsonExpected = "здесь ожидается %1.";
inline constexpr const char* ImportJsonObject = "объект «{...}»";
inline constexpr const char* ImportJsonArray = "массив «[...]»";
inline constexpr const char* ImportJsonString = "строка в кавычках";
inline constexpr const char* ImportJsonBool = "true или false";
inline constexpr const char* ImportJsonPair = "пара [имя, значение]";
inline constexpr const char* ImportJsonNodeKind =
    "узел должен иметь либо «element», либо «text», но не оба.";
inline constexpr const char* ImportJsonBadName = "имя «%1» нельзя записать в файл журнала.";
inline constexpr const char* ImportJsonBadProlog =
    "значение «%1» нельзя записать в заголовок файла журнала.";
inline constexpr const char* ImportJsonBadEncoding = "кодировка «%1» неизвестна.";
inline constexpr const char* ImportJsonBadBase64 = "содержимое файла описания повреждено.";
inline constexpr const char* ImportJsonUnreadable =
    "из этих данных не получился файл журнала, который программа может прочитать.";
}  // namespace res
