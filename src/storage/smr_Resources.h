#pragma once

// Russian texts that the program composes at run time, UTF-8 in the source.
// Widgets take them with QString::fromUtf8; files take them with Cp().
// Each subsystem keeps its own section.
namespace res {

// --- file filters and dialog titles
inline constexpr const char* LibraryFilter = "Библиотека сновидений (*.xml)|*.xml|Любое расширение (*.*)|*.*";
inline constexpr const char* JournalFilter = "Журнал сновидений (*.xml)|*.xml|Любое расширение (*.*)|*.*";
inline constexpr const char* ImageFilter =
    "Windows BMP (*.bmp)|*.bmp|Все файлы (*.*)|*.*|PNG (*.png)|*.png|JPEG (*.jpg;*.jpeg)|*.jpg;*.jpeg";
inline constexpr const char* IconFilter = "Windows BMP (*.bmp)|*.bmp|Все файлы (*.*)|*.*";
inline constexpr const char* AdditionalFileFilter = "Дополнительный файл (*.xml)|*.xml|Любое расширение (*.*)|*.*";
inline constexpr const char* OptionsOpenFileTitle = "Выбор библиотеки сновидений";
inline constexpr const char* ExportFilter = "Гипертекст (*.html)|*.html|Просто текст (*.txt)|*.txt";
inline constexpr const char* OpenLibraryTitle = "Открыть библиотеку";
inline constexpr const char* OpenImageTitle = "Открыть изображение";
inline constexpr const char* SaveLibraryAsTitle = "Сохранить библиотеку как";
inline constexpr const char* ExportTitle = "Экспортировать";
// The type column of Qt's own file dialog.
inline constexpr const char* FileTypeFolder = "Папка";
inline constexpr const char* FileTypeImage = "Изображение %1";
inline constexpr const char* FileTypeHtml = "Страница HTML";
inline constexpr const char* FileTypeXml = "Документ XML";
inline constexpr const char* FileTypeText = "Текстовый файл";
inline constexpr const char* FileTypeOther = "Файл";

// --- main window
// A file that could not be written or read: its full path, the system's reason.
inline constexpr const char* FileNotWritten = "Не удалось записать файл «%1»: %2";
inline constexpr const char* FileNotRead = "Не удалось прочитать файл «%1»: %2";
inline constexpr const char* BadlyReadFile =
    "Файл «%1» прочитан не полностью: в нём есть ошибки.\n"
    "Перед первой записью в него прежнее содержимое будет сохранено в файле «%2».";
inline constexpr const char* UnreadableFile =
    "Не удалось прочитать файл «%1»: %2.\n"
    "Программа не будет записывать в него, пока он не прочитается, чтобы не потерять его "
    "содержимое.";
inline constexpr const char* UnreadableFileNotSaved =
    "Файл «%1» не сохранён: при открытии его не удалось прочитать (%2). "
    "Сохраните данные под другим именем или откройте файл снова, когда он станет доступен.";
inline constexpr const char* CloseWithoutSaving =
    "Не все файлы удалось сохранить. Закрыть программу без сохранения?";
inline constexpr const char* CloseAnyway = "Закрыть";
inline constexpr const char* CancelClosing = "Отмена";
// Edit commands
inline constexpr const char* DeleteQuestion = "Вы действительно хотите удалить объект \"%1\" ?";
inline constexpr const char* JournalFileExists =
    "Файл «%1» уже существует. Заменить его новым пустым журналом?";
inline constexpr const char* JournalFileIsJournal =
    "Файл «%1» уже существует и содержит журнал сновидений.\n"
    "Подключить этот журнал как есть или заменить его новым пустым журналом?";
inline constexpr const char* JournalAlreadyInLibrary =
    "Журнал «%1» уже есть в библиотеке: один журнал подключается только один раз.";
inline constexpr const char* JournalPathInUse =
    "Файл «%1» занят библиотекой или настройками программы. Выберите для журнала другое имя.";
inline constexpr const char* LibraryPathInUse =
    "Файл «%1» занят открытой библиотекой, журналом или настройками программы. "
    "Выберите для новой библиотеки другое имя.";
inline constexpr const char* LibraryFileExists =
    "Файл «%1» уже существует. Заменить его новой пустой библиотекой?";
inline constexpr const char* NoJournalFile = "Не удалось определить файл журнала, по которому называется файл описания.";
inline constexpr const char* JournalPathNotStorable =
    "Путь «%1» содержит символы, которые нельзя записать в библиотеку. Выберите другое имя файла.";
inline constexpr const char* AttachJournal = "Подключить";
inline constexpr const char* ReplaceFile = "Заменить";
inline constexpr const char* CancelCommand = "Отмена";
// HTML descriptions
inline constexpr const char* DescriptionHasNul =
    "Описание открыто только для чтения: в файле «%1» есть нулевой байт, и редактор потерял бы "
    "всё, что стоит после него.";
inline constexpr const char* DescriptionHasInvalidBytes =
    "Описание открыто только для чтения: в файле «%1» есть байты, которых нет в его кодировке "
    "(%2), и при записи они бы изменились.";
inline constexpr const char* DescriptionShared =
    "Описание открыто только для чтения: файл «%1» — это и описание опыта %2. Правка здесь "
    "стёрла бы то описание.";
inline constexpr const char* ExperiencePlace = "«%1» (ночь «%2», журнал «%3»)";
inline constexpr const char* DescriptionNotSaved =
    "Описание опыта не сохранено.\n%1\n\nНабранный текст сохранится, пока вы не решите, что с ним "
    "делать.";
inline constexpr const char* RetrySave = "Повторить";
inline constexpr const char* SaveDescriptionAs = "Сохранить как...";
inline constexpr const char* DiscardChanges = "Отменить изменения";
inline constexpr const char* SaveDescriptionAsTitle = "Сохранить описание как";
inline constexpr const char* DescriptionFilter = "Страница HTML (*.html)|*.html|Любое расширение (*.*)|*.*";
inline constexpr const char* DescriptionPathNotStorable =
    "Путь «%1» содержит символы, которые нельзя записать в журнал. Выберите другое имя файла.";
inline constexpr const char* DescriptionPathInUse =
    "Файл «%1» занят: это журнал, библиотека, настройки или описание другого опыта. Выберите "
    "другое имя файла.";
inline constexpr const char* DescriptionRecovered = "%1; набранный текст описания сохранён в «%2»";
inline constexpr const char* DescriptionLost =
    "%1; набранный текст описания не удалось сохранить и в «%2»: %3";
inline constexpr const char* NoFreeDescriptionName =
    "Не удалось подобрать свободное имя для файла описания рядом с «%1».";
// Editing panel
inline constexpr const char* ImagePathNotStorable =
    "Путь «%1» содержит символы, которые нельзя записать в журнал. Выберите другой файл.";

// --- dialogs
inline constexpr const char* NewLibraryCaption = "Новая библиотека";
inline constexpr const char* AddCatalogueCaption = "Добавить каталог";
inline constexpr const char* AddJournalCaption = "Добавить файл";
inline constexpr const char* AddNightCaption = "Добавить день";
inline constexpr const char* AddExperienceCaption = "Добавить опыт";
inline constexpr const char* NewElementTitleLabel = "Название:";
inline constexpr const char* NewElementPathLabel = "Путь:";
inline constexpr const char* NewElementDateLabel = "Дата:";
inline constexpr const char* NewElementNumberLabel = "Номер";
inline constexpr const char* ChooseFileNameHint = "Выбрать имя файла";
inline constexpr const char* TodayHint = "Текущая дата";
inline constexpr const char* AuthorizationCaption = "Авторизация";
inline constexpr const char* AuthorizationSetupCaption = "Параметры авторизации";
inline constexpr const char* CredentialsHint =
    "Допустимы только русские и латинские буквы, цифры, пробел и «_».";
inline constexpr const char* UserNameRefused =
    "Символ «%1» в имени недопустим. Допустимы только русские и латинские буквы, цифры, пробел и «_».";
inline constexpr const char* PasswordRefused =
    "В пароле есть недопустимый символ. Допустимы только русские и латинские буквы, цифры, пробел и «_».";
inline constexpr const char* UserNameAltered =
    "Это имя нельзя сохранить как есть. Замените символы «%1» или поменяйте их местами.";
inline constexpr const char* PasswordAltered =
    "Такой пароль исказится в файле библиотеки: пробелы в его коде сольются. Измените пароль.";
// The maker's web site: the about box link and the Help menu's "В Internet".
inline constexpr const char* MakerAddress = "https://somnary.example.org";

// --- the program's folders and its command line
inline constexpr const char* ProgramUsage =
    "Использование: somnary [--version | --help]; без параметров открывает дневник сновидений "
    "(настройки: dreams.ini рядом с программой или в ~/.config/Somnary)";
inline constexpr const char* AlreadyRunning =
    "Дневник сновидений с этими настройками уже открыт, но не отвечает:\n%1";
inline constexpr const char* ConflictCopyWritten =
    "Файл «%1» тем временем изменила другая программа. Ваша версия сохранена в «%2», "
    "версия другой программы осталась в «%1».";
inline constexpr const char* ReloadedFromDisk =
    "Файл «%1» изменила другая программа. Показана его новая версия.";
inline constexpr const char* ChangedHereAndThere =
    "Файл «%1» изменила другая программа, а в окне есть несохранённые изменения. "
    "При сохранении ваша версия будет записана рядом, в копию с пометкой «конфликт», "
    "а версия другой программы останется на месте.";
inline constexpr const char* SavedButNotSynced =
    "Файл «%1» сохранён, но может не пережить внезапного отключения питания: %2";
inline constexpr const char* UserFoldersNotSetUp = "Не удалось подготовить папки пользователя:\n%1";
inline constexpr const char* CannotCreateFolder = "не удалось создать папку";

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

// --- dream properties form: a description that cannot be built
inline constexpr const char* FormNotInteger =
    "Форма свойств сновидения: в элементе «%1» значение «%2» не является целым числом.\n"
    "Остальная часть формы не построена.";
inline constexpr const char* FormOptionOutsideSelect =
    "Форма свойств сновидения: элемент «%1» со значением «%2» стоит вне списка (select).\n"
    "Остальная часть формы не построена.";
inline constexpr const char* FormBadName =
    "Форма свойств сновидения: в элементе «%1» имя «%2» не является допустимым идентификатором.\n"
    "Остальная часть формы не построена.";
inline constexpr const char* FormDuplicateName =
    "Форма свойств сновидения: в элементе «%1» имя «%2» уже занято другим элементом этой группы.\n"
    "Остальная часть формы не построена.";
inline constexpr const char* DreamPropertiesButton = "Свойства сна...";

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
inline constexpr const char* CopyGraphHint = "Скопировать график в буфер обмена";
inline constexpr const char* RefreshGraphHint = "Обновить график";

// --- somnary-export: its usage and its one-line messages (%1, %2: names, reasons)
inline constexpr const char* ExportToolUsage =
    "Использование: somnary-export [--format html|txt] [--settings ФАЙЛ] [--decimal-separator C] "
    "ВХОД ВЫХОД\n"
    "Выгружает библиотеку сновидений или журнал (ВХОД) в страницу HTML или текстовый файл.\n"
    "  --format             html или txt; по умолчанию txt, когда ВЫХОД оканчивается на .txt, иначе html\n"
    "  --settings           файл настроек с подписями пометок (по умолчанию dreams.ini рядом\n"
    "                       с программой, а у установленной — в папке настроек пользователя;\n"
    "                       без него подписи пусты)\n"
    "  --decimal-separator  один символ для чисел энергетики (по умолчанию — как в системе)\n";
inline constexpr const char* ToolSeeHelp = "%1 (см. --help)";
inline constexpr const char* ToolUnknownOption = "неизвестный параметр %1";
inline constexpr const char* ToolOptionNeedsValue = "параметру %1 нужно значение";
inline constexpr const char* ToolBadFormat = "формат — html или txt, а не «%1»";
inline constexpr const char* ToolSettingsNeedsName = "параметру --settings нужно имя файла";
inline constexpr const char* ToolBadSeparator = "десятичный разделитель — один символ windows-1251, а не «%1»";
inline constexpr const char* ToolNeedsTwoFiles = "нужны два файла: ВХОД и ВЫХОД";
inline constexpr const char* ToolEmptyFileName = "имя файла не может быть пустым";
inline constexpr const char* ToolOutputIsInput = "ВЫХОД не может быть тем же файлом, что ВХОД";
inline constexpr const char* ToolCannotRead = "не удалось прочитать «%1»: %2";
inline constexpr const char* ToolNoSuchFile = "нет такого файла";
inline constexpr const char* ToolByteOrderMark =
    "«%1» начинается с метки порядка байтов UTF-8; файлы Somnary пишутся в windows-1251 без неё";
inline constexpr const char* ToolReadInPart = "«%1» прочитан лишь частично: %2";
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
inline constexpr const char* FindCommand = "&Найти...";
inline constexpr const char* SearchCaption = "Поиск";
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
inline constexpr const char* SearchJournalMissing = "Журнал «%1»: нет файла «%2»";
inline constexpr const char* SearchJournalUnreadable = "Журнал «%1»: не удалось прочитать «%2»: %3";
inline constexpr const char* SearchNoNumber = "без номера";
inline constexpr const char* SearchTooManyTerms =
    "В запросе больше %1 разных слов и фраз. Сократите его, чтобы искать.";
// somnary-search
inline constexpr const char* SearchToolUsage =
    "Использование: somnary-search [--mark N]... [--energy-from E] [--energy-to E] [--from ДАТА] [--to ДАТА]\n"
    "                      [--plain | --html] БИБЛИОТЕКА ЗАПРОС\n"
    "Ищет опыты во всех журналах библиотеки и печатает по строке на каждый найденный:\n"
    "путь журнала, ночь, номер и название через табуляцию. Код возврата 1, когда ничего не найдено,\n"
    "2 — когда параметры неверны, файл прочитан не целиком или вывод не удалось записать.\n"
    "В запросе не больше 64 разных слов и фраз.\n"
    "  --mark N           отмечен знаком N (1-4); можно несколько\n"
    "  --energy-from E    энергия не ниже E (от -1 до 1)\n"
    "  --energy-to E      энергия не выше E\n"
    "  --from ДАТА        ночи не раньше ДАТЫ (дд.мм.гг или дд.мм.гггг)\n"
    "  --to ДАТА          ночи не позже ДАТЫ; ночи, названные не датой, проходят всегда\n"
    "  --plain, --html    только с описанием текстом или HTML";
inline constexpr const char* SearchToolBadMark = "номер отметки — от 1 до 4, а не «%1»";
inline constexpr const char* SearchToolBadEnergy = "энергия — число от -1 до 1, а не «%1»";
inline constexpr const char* SearchToolBadDate = "дата — дд.мм.гг или дд.мм.гггг, а не «%1»";
inline constexpr const char* SearchToolNeedsTwo = "нужны БИБЛИОТЕКА и ЗАПРОС";
inline constexpr const char* SearchToolTooManyTerms = "в запросе больше %1 разных слов и фраз: сократите его";
inline constexpr const char* SearchToolPlainAndHTML = "--plain и --html вместе не найдут ничего: выберите одно";
inline constexpr const char* SearchToolCannotWrite = "не удалось записать результат: %1";

}  // namespace res
