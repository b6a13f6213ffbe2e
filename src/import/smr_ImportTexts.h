#pragma once

// The import's own texts, UTF-8; the view converts them to QString.
namespace res {
inline constexpr const char* ImportOutputExists =
    "Файл «%1» уже существует. Импорт не заменяет существующие файлы.";
inline constexpr const char* ImportCannotWrite = "Не удалось записать файл «%1»: %2";
inline constexpr const char* ImportCannotRead = "Не удалось прочитать файл «%1»: %2";
inline constexpr const char* ImportTooLarge =
    "Файл «%1» слишком велик для импорта (%2 МБ; наибольший размер — 128 МБ).";

// --- somnary-import: its usage and its one-line messages
inline constexpr const char* ImportToolUsage =
    "Использование: somnary-import [--format json|csv|text] ВХОД ВЫХОД\n"
    "Создаёт журнал сновидений ВЫХОД из выгрузки JSON программы, таблицы CSV или текстового\n"
    "дневника (текст или Markdown, сны разделены строками с датами).\n"
    "  --format  json, csv или text; по умолчанию — по расширению ВХОДА (.json, .csv,\n"
    "            .txt, .md)\n"
    "ВЫХОД не должен существовать. Описания HTML из выгрузки JSON записываются рядом с ним.\n";
inline constexpr const char* ImportToolBadFormat = "формат — json, csv или text, а не «%1»";
inline constexpr const char* ImportToolUnknownFormat =
    "не понять формат «%1» по расширению; укажите --format";
inline constexpr const char* ImportToolReplaced =
    "%1: знаков, которых нет в кодировке windows-1251, заменено на «?»: %2";
// The night of the rows or text that carry no date.
inline constexpr const char* ImportUndatedNight = "Без даты";
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
