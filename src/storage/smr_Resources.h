#pragma once

#include <QString>

// Russian texts that the program composes at run time, UTF-8 in the source.
// Widgets take them with QString::fromUtf8; files take them with Cp().
// Texts of files and of the libraries without widgets live here; each
// widget library keeps its own in its folder (smr_*Texts.h).
namespace res {

// A text of the tables as Qt shows it.
inline QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// --- main window
// A file that could not be written or read: its full path, the system's reason.
inline constexpr const char* FileNotWritten = "Не удалось записать файл «%1»: %2";
inline constexpr const char* FileNotRead = "Не удалось прочитать файл «%1»: %2";
inline constexpr const char* UnreadableFileNotSaved =
    "Файл «%1» не сохранён: при открытии его не удалось прочитать (%2). "
    "Сохраните данные под другим именем или откройте файл снова, когда он станет доступен.";
inline constexpr const char* NoJournalFile =
    "Не удалось определить файл журнала, по которому называется файл описания.";
inline constexpr const char* NoFreeDescriptionName =
    "Не удалось подобрать свободное имя для файла описания рядом с «%1».";

// --- recovery copies of unsaved changes
// The folder names under the recovery folder.
inline constexpr const char* RecoveryNoLibraryFolder = "без библиотеки";
inline constexpr const char* RecoveryKeptAsideFolder = "Отложено";
// %1 the document's file, %2 the reason.
inline constexpr const char* RecoveryCopyNotWritten =
    "Не удалось сохранить копию для восстановления файла «%1»: %2";
inline constexpr const char* RecoveryNameNotListed =
    "в имени файла или библиотеки есть табуляция или перевод строки";
// %1 a copy or the folder of copies.
inline constexpr const char* RecoveryNotRemoved =
    "Не удалось удалить копии для восстановления «%1».";
// %1 the folder of copies, %2 where it was to go.
inline constexpr const char* RecoveryNotKeptAside =
    "Не удалось перенести копии для восстановления из «%1» в «%2».";

// --- the program's folders and its command line
inline constexpr const char* CannotCreateFolder = "не удалось создать папку";

// --- dated backups: the folders' names are part of how copies are found again
inline constexpr const char* BackupsFolder = "Резервные копии";
inline constexpr const char* BackupsOutsideLibrary = "Вне папки библиотеки";
inline constexpr const char* BackupsBeforeRestore = "перед восстановлением";
// %1 the folder's full path, %2 (the new name) or the system's reason.
inline constexpr const char* FolderNotCreated = "Не удалось создать папку «%1»: %2";
inline constexpr const char* FolderNotRenamed = "Не удалось переименовать папку «%1» в «%2»: %3";
inline constexpr const char* FolderNotRemoved = "Не удалось удалить папку «%1»";

// --- export
inline constexpr const char* ExportLibraryTitle = "БИБЛИОТЕКА СНОВИДЕНИЙ";
inline constexpr const char* ExportJournalTitle = "ЖУРНАЛ СНОВИДЕНИЙ";
inline constexpr const char* ExportTable = "Таблица";
inline constexpr const char* ExportUserData = "Данные пользователя";
inline constexpr const char* ExportUser = "ПОЛЬЗОВАТЕЛЬ:";
inline constexpr const char* ExportUserName = "ИМЯ: ";
inline constexpr const char* ExportUserNick = "ПСЕВДОНИМ: ";
inline constexpr const char* ExportUserEmail = "ЭЛЕКТРОННАЯ ПОЧТА: ";
inline constexpr const char* ExportUserAge = "ВОЗРАСТ: ";
inline constexpr const char* ExportUserSex = "ПОЛ: ";
inline constexpr const char* ExportUserInfo = "ДОПОЛНИТЕЛЬНАЯ ИНФОРМАЦИЯ: ";
inline constexpr const char* ExportSexMale = "мужской";
inline constexpr const char* ExportSexFemale = "женский";
inline constexpr const char* ExportStructure = "Структура библиотеки сновидений";
inline constexpr const char* ExportFileList = "СПИСОК ФАЙЛОВ В БИБЛИОТЕКЕ: ";
inline constexpr const char* ExportAdditionalFiles = "Дополнительные файлы библиотеки";
inline constexpr const char* ExportDictionary = "Словарь";
inline constexpr const char* ExportVocabulary = "Сонник";
inline constexpr const char* ExportDayComment = "КОММЕНТАРИЙ ДНЯ: ";
inline constexpr const char* ExportDreamComment = "КОММЕНТАРИЙ СНОВИДЕНИЯ: ";
inline constexpr const char* ExportEnergy = "ЭНЕРГЕТИЧЕСКИЙ УРОВЕНЬ: ";
inline constexpr const char* ExportImage = "ИЗОБРАЖЕНИЕ: ";
inline constexpr const char* ExportMarks = "СВОЙСТВА:";
inline constexpr const char* ExportPropertyColumn = "Свойство";
inline constexpr const char* ExportValueColumn = "Значение";
inline constexpr const char* ExportYes = "да";
inline constexpr const char* ExportNo = "нет";
inline constexpr const char* ExportAdditionalProperties = "ДОПОЛНИТЕЛЬНЫЕ СВОЙСТВА: ";
inline constexpr const char* ExportNotDefined = "не определены";
// The table (CSV) export's column headers, in column order; then the marks
// by caption, then the property names.
inline constexpr const char* TableJournal = "Журнал";
inline constexpr const char* TableNight = "Ночь";
inline constexpr const char* TableDate = "Дата";
inline constexpr const char* TableNumber = "Номер";
inline constexpr const char* TableTitle = "Название";
inline constexpr const char* TableDescription = "Описание";
inline constexpr const char* TableComment = "Комментарий";
inline constexpr const char* TableEnergy = "Энергия";
inline constexpr const char* TableReadOnly = "Только чтение";
// A mark that has no caption in the settings, by its number.
inline constexpr const char* UnnamedMark = "Отметка %1";
// A journal of the library that could not be read; %1 its stored path.
inline constexpr const char* JournalNotRead = "Журнал не прочитан: %1";
// An HTML description whose page could not be read; %1 its stored file name.
inline constexpr const char* DescriptionNotRead = "Описание не прочитано: %1";
// The Markdown export's line of marks and energy, its comments and picture.
inline constexpr const char* MarkdownMarks = "Отметки: ";
inline constexpr const char* MarkdownEnergy = "Энергия: ";
inline constexpr const char* MarkdownNightComment = "Комментарий дня: ";
inline constexpr const char* MarkdownImage = "Изображение";

// --- statistics and their graphs
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

// --- somnary-export: its usage and its one-line messages (%1, %2: names, reasons)
inline constexpr const char* ExportToolUsage =
    "Использование: somnary-export [--format html|txt|json|csv|md] [--settings ФАЙЛ] "
    "[--decimal-separator C] ВХОД ВЫХОД\n"
    "Выгружает библиотеку сновидений или журнал (ВХОД) в страницу HTML, текстовый файл,\n"
    "JSON (без потерь, для обратного импорта), CSV (для таблиц) или Markdown.\n"
    "  --format             html, txt, json, csv или md; по умолчанию — по расширению ВЫХОДА\n"
    "                       (.txt, .json, .csv, .md), иначе html\n"
    "  --settings           файл настроек с подписями пометок (по умолчанию dreams.ini рядом\n"
    "                       с программой, а у установленной — в папке настроек пользователя;\n"
    "                       без него подписи пусты)\n"
    "  --decimal-separator  один символ для чисел энергетики (по умолчанию — как в системе)\n"
    "  --passphrase-file    файл, первая строка которого — пароль зашифрованной библиотеки\n"
    "                       (без него пароль читается первой строкой стандартного ввода)\n";
inline constexpr const char* ToolSeeHelp = "%1 (см. --help)";
inline constexpr const char* ToolUnknownOption = "неизвестный параметр %1";
inline constexpr const char* ToolOptionNeedsValue = "параметру %1 нужно значение";
inline constexpr const char* ToolBadFormat = "формат — html, txt, json, csv или md, а не «%1»";
inline constexpr const char* ToolSettingsNeedsName = "параметру --settings нужно имя файла";
inline constexpr const char* ToolBadSeparator =
    "десятичный разделитель — один символ windows-1251, а не «%1»";
inline constexpr const char* ToolNeedsTwoFiles = "нужны два файла: ВХОД и ВЫХОД";
inline constexpr const char* ToolEmptyFileName = "имя файла не может быть пустым";
inline constexpr const char* ToolOutputIsInput = "ВЫХОД не может быть тем же файлом, что ВХОД";
inline constexpr const char* ToolCannotRead = "не удалось прочитать «%1»: %2";
inline constexpr const char* ToolNoSuchFile = "нет такого файла";
inline constexpr const char* ToolByteOrderMark =
    "«%1» начинается с метки порядка байтов UTF-8; файлы Somnary пишутся в windows-1251 без неё";
inline constexpr const char* ToolReadInPart = "«%1» прочитан лишь частично: %2";
inline constexpr const char* ToolNeedsPassphrase =
    "«%1» зашифрован: дайте пароль файлом (--passphrase-file ФАЙЛ) или первой строкой "
    "стандартного ввода";
inline constexpr const char* ToolPassphraseFileUnreadable =
    "не удалось прочитать файл пароля «%1»: %2";
inline constexpr const char* ToolWrongPassphrase = "неверный пароль для «%1»";
inline constexpr const char* ToolKeyNotDerived = "системе не хватило памяти для ключа";
inline constexpr const char* ToolNotADreamFile = "«%1» — не библиотека сновидений и не журнал";
inline constexpr const char* ToolCannotWrite = "не удалось записать «%1»: %2";
// Why the reader stopped.
inline constexpr const char* ReadNoDeclaration = "файл не начинается с объявления XML";
inline constexpr const char* ReadDuplicateOrTrailing =
    "значение объявления дано дважды или после корневого элемента есть текст";
inline constexpr const char* ReadEmptyElementName = "у элемента пустое имя";
inline constexpr const char* ReadUnterminatedDeclaration = "объявление не закрыто";
inline constexpr const char* ReadUnterminatedComment = "комментарий не закрыт";
inline constexpr const char* ReadUnterminatedTag = "тег не закрыт";
inline constexpr const char* ReadAttributeWithoutValue = "у атрибута нет значения";
inline constexpr const char* ReadUnexpectedEnd = "файл кончается внутри элемента (обрезан?)";
inline constexpr const char* ReadTooDeep = "элементы вложены глубже %1 уровней";
inline constexpr const char* ReadOtherError = "ошибка чтения %1";

// --- search
inline constexpr const char* SearchJournalMissing = "Журнал «%1»: нет файла «%2»";
inline constexpr const char* SearchJournalUnreadable = "Журнал «%1»: не удалось прочитать «%2»: %3";
// somnary-search
inline constexpr const char* SearchToolUsage =
    "Использование: somnary-search [--mark N]... [--energy-from E] [--energy-to E] [--from ДАТА] "
    "[--to ДАТА]\n"
    "                      [--plain | --html] БИБЛИОТЕКА ЗАПРОС\n"
    "       somnary-search --signs БИБЛИОТЕКА\n"
    "       somnary-search --frequent N БИБЛИОТЕКА\n"
    "Ищет опыты во всех журналах библиотеки и печатает по строке на каждый найденный:\n"
    "путь журнала, ночь, номер и название через табуляцию. Код возврата 1, когда ничего не "
    "найдено,\n"
    "2 — когда параметры неверны, файл прочитан не целиком или вывод не удалось записать.\n"
    "В запросе не больше 64 разных слов и фраз.\n"
    "  --mark N           отмечен знаком N (1-4); можно несколько\n"
    "  --energy-from E    энергия не ниже E (от -1 до 1)\n"
    "  --energy-to E      энергия не выше E\n"
    "  --from ДАТА        ночи не раньше ДАТЫ (дд.мм.гг или дд.мм.гггг)\n"
    "  --to ДАТА          ночи не позже ДАТЫ; ночи, названные не датой, проходят всегда\n"
    "  --plain, --html    только с описанием текстом или HTML\n"
    "  --passphrase-file ФАЙЛ  пароль зашифрованной библиотеки — первая строка ФАЙЛА\n"
    "                     (без него — первая строка стандартного ввода)\n"
    "  --signs            сонные знаки библиотеки в её порядке, по строке на знак: текст,\n"
    "                     категория, число опытов со знаком, из них с отметкой 1, первая и\n"
    "                     последняя ночь через табуляцию; код 1, когда знаков нет\n"
    "  --frequent N       N самых частых слов библиотеки (по основе, без служебных слов и\n"
    "                     слов короче 3 букв): слово и число опытов с ним через табуляцию;\n"
    "                     код 1, когда слов нет";
inline constexpr const char* SearchToolBadMark = "номер отметки — от 1 до 4, а не «%1»";
inline constexpr const char* SearchToolBadEnergy = "энергия — число от -1 до 1, а не «%1»";
inline constexpr const char* SearchToolBadDate = "дата — дд.мм.гг или дд.мм.гггг, а не «%1»";
inline constexpr const char* SearchToolNeedsTwo = "нужны БИБЛИОТЕКА и ЗАПРОС";
inline constexpr const char* SearchToolNeedsLibrary = "нужна одна БИБЛИОТЕКА";
inline constexpr const char* SearchToolBadCount = "число слов — целое от 1, а не «%1»";
// %1 --signs or --frequent, %2 what else was given.
inline constexpr const char* SearchToolNoFilters =
    "%1 печатает всю библиотеку: %2 к нему не относится";
inline constexpr const char* SearchToolSignsAndFrequent =
    "--signs и --frequent вместе не печатаются: выберите одно";
inline constexpr const char* SearchToolTooManyTerms =
    "в запросе больше %1 разных слов и фраз: сократите его";
inline constexpr const char* SearchToolPlainAndHTML =
    "--plain и --html вместе не найдут ничего: выберите одно";
inline constexpr const char* SearchToolCannotWrite = "не удалось записать результат: %1";

// --- dream signs
// The categories a sign is given unless the user types another.
inline constexpr const char* DreamSignCategories[4] = {"Осознание", "Контекст", "Форма",
                                                       "Действие"};

}  // namespace res
