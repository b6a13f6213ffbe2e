#pragma once

#include "storage/smr_Resources.h"

// Russian texts of the main window and its editing panel, UTF-8 in the source;
// texts shared with files or other libraries are in storage/smr_Resources.h.
namespace res {

// --- file filters and dialog titles
inline constexpr const char* ImageFilter =
    "Windows BMP (*.bmp)|*.bmp|Все файлы (*.*)|*.*|PNG (*.png)|*.png|JPEG "
    "(*.jpg;*.jpeg)|*.jpg;*.jpeg";
inline constexpr const char* ExportFilter =
    "Гипертекст (*.html)|*.html|Просто текст (*.txt)|*.txt|JSON (*.json)|*.json|CSV (*.csv)|*.csv|"
    "Markdown (*.md)|*.md";
inline constexpr const char* ImportCommand = "&Импорт...";
inline constexpr const char* PatternsCommand = "&Закономерности";
inline constexpr const char* PatternsCaption = "Закономерности";
inline constexpr const char* PatternsHint = "Календарь снов, сонные знаки и тенденции";
inline constexpr const char* ImportTitle = "Импорт";
inline constexpr const char* ImportFilter =
    "Дневники (*.json *.csv *.txt *.md)|*.json;*.csv;*.txt;*.md|JSON (*.json)|*.json|"
    "CSV (*.csv)|*.csv|Текст или Markdown (*.txt *.md)|*.txt;*.md|Все файлы (*.*)|*.*";
// %1: the input's name, %2: why.
inline constexpr const char* ImportFailed = "Не удалось импортировать «%1».\n\n%2";
// %1: the number of characters.
inline constexpr const char* ImportReplacedJSON =
    "Журнал импортирован. Знаков, которых нет в кодировке windows-1251, заменено на «?»: %1.";
inline constexpr const char* OpenLibraryTitle = "Открыть библиотеку";
inline constexpr const char* OpenImageTitle = "Открыть изображение";
inline constexpr const char* SaveLibraryAsTitle = "Сохранить библиотеку как";
inline constexpr const char* ExportTitle = "Экспортировать";

// --- main window
inline constexpr const char* BadlyReadFile =
    "Файл «%1» прочитан не полностью: в нём есть ошибки.\n"
    "Перед первой записью в него прежнее содержимое будет сохранено в файле «%2».";
inline constexpr const char* UnreadableFile =
    "Не удалось прочитать файл «%1»: %2.\n"
    "Программа не будет записывать в него, пока он не прочитается, чтобы не потерять его "
    "содержимое.";
inline constexpr const char* CloseWithoutSaving =
    "Не все файлы удалось сохранить. Закрыть программу без сохранения?";
inline constexpr const char* CloseAnyway = "Закрыть";
inline constexpr const char* CancelClosing = "Отмена";

// --- recovery copies and dated backups
inline constexpr const char* RecoveryQuestion = "Восстановить несохранённые изменения от %1?";
inline constexpr const char* RecoveryTimeFormat = "dd.MM.yy HH:mm";
inline constexpr const char* RecoveryListed = "Изменения есть в:";
inline constexpr const char* RecoveryLibrary = "библиотека «%1»";
inline constexpr const char* RecoveryJournal = "журнал «%1»";
inline constexpr const char* RecoverySettings = "настройки программы";
inline constexpr const char* RecoveryDescription = "описание «%1»";
inline constexpr const char* RecoveryYes = "Да";
inline constexpr const char* RecoveryNo = "Нет";
inline constexpr const char* RecoveryKeptAside =
    "Несохранённые изменения не восстановлены; их копии отложены в папку «%1».";
inline constexpr const char* RecoveryLeftInPlace =
    "Копии несохранённых изменений не удалось отложить (%1); они остаются в папке «%2».";
inline constexpr const char* RecoveryDamaged = "копия повреждена";
inline constexpr const char* RecoveryUnreadable = "Копию изменений «%1» не удалось прочитать: %2";
inline constexpr const char* RecoveryCopyFailed =
    "Не удалось записать копию несохранённых изменений: %1\n"
    "Программа продолжает работу; изменения будут записаны при сохранении.";
inline constexpr const char* BackupFailed =
    "Не удалось сделать резервную копию библиотеки: %1\n"
    "Файлы библиотеки сохраняются как обычно.";
// --- encryption of the library
inline constexpr const char* EncryptCommand = "За&шифровать библиотеку...";
inline constexpr const char* ChangePassphraseCommand = "Сменить пароль &шифрования...";
inline constexpr const char* DecryptCommand = "Снять ши&фрование...";
inline constexpr const char* SealingNeedsSave =
    "Перед шифрованием нужно сохранить текущие файлы, а это не удалось.";
inline constexpr const char* KeyNotDerived =
    "Не удалось получить ключ шифрования: системе не хватило памяти.";
inline constexpr const char* WrongPassphraseTry = "Неверный пароль. Осталось попыток: %1.";
inline constexpr const char* WrongPassphrase = "Неверный пароль.";
inline constexpr const char* LibraryNotUnlocked =
    "Пароль трижды не подошёл: библиотека «%1» не открыта.";
inline constexpr const char* LibraryEncrypted =
    "Библиотека зашифрована: %1 файлов записаны заново. Без пароля их не прочесть.";
inline constexpr const char* PassphraseChanged =
    "Пароль шифрования сменён: %1 файлов записаны заново.";
inline constexpr const char* LibraryDecrypted =
    "Шифрование снято: %1 файлов записаны открытым текстом.";
inline constexpr const char* SealingFailed =
    "Не все файлы удалось переписать; программа предложит закончить при следующем открытии "
    "библиотеки:\n%1";
inline constexpr const char* SealingInterrupted =
    "Шифрование библиотеки было прервано: часть файлов ещё не зашифрована. Закончить его сейчас?";
inline constexpr const char* UnsealingInterrupted =
    "Снятие шифрования было прервано: часть файлов ещё зашифрована. Закончить его сейчас?";
inline constexpr const char* FinishNow = "Закончить";
inline constexpr const char* FinishLater = "Позже";
inline constexpr const char* SealingNeverStarted =
    "Шифрование библиотеки было прервано в самом начале: файлы остались открытыми. "
    "Его можно начать снова из меню «Файл».";
inline constexpr const char* EncryptedNotForBrowser =
    "Библиотека зашифрована: браузер не прочтёт её файлы. Чтобы посмотреть их в браузере, "
    "экспортируйте их.";
inline constexpr const char* ExportTitleEncrypted =
    "Экспортировать (файл будет записан НЕ зашифрованным)";
inline constexpr const char* RestoreBackupCommand = "Восстановить из &копии...";
inline constexpr const char* NoBackups =
    "Резервных копий пока нет: они появляются в папке «%1» при первом сохранении каждого дня.";
inline constexpr const char* RestoreNeedsSave =
    "Перед восстановлением нужно сохранить текущие файлы, а это не удалось.";
inline constexpr const char* BackupRestored =
    "Файлы восстановлены из копии «%1». Прежние файлы сохранены в копии «%2»: восстановление "
    "можно отменить, выбрав её.";
inline constexpr const char* BackupNotRestored = "Не удалось восстановить из копии «%1»: %2";
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
inline constexpr const char* JournalPathNotStorable =
    "Путь «%1» содержит символы, которые нельзя записать в библиотеку. Выберите другое имя файла.";
inline constexpr const char* AttachJournal = "Подключить";
inline constexpr const char* ReplaceFile = "Заменить";
inline constexpr const char* CancelCommand = "Отмена";
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
inline constexpr const char* DescriptionFilter =
    "Страница HTML (*.html)|*.html|Любое расширение (*.*)|*.*";
inline constexpr const char* DescriptionPathNotStorable =
    "Путь «%1» содержит символы, которые нельзя записать в журнал. Выберите другое имя файла.";
inline constexpr const char* DescriptionPathInUse =
    "Файл «%1» занят: это журнал, библиотека, настройки или описание другого опыта. Выберите "
    "другое имя файла.";
inline constexpr const char* DescriptionRecovered = "%1; набранный текст описания сохранён в «%2»";
inline constexpr const char* DescriptionLost =
    "%1; набранный текст описания не удалось сохранить и в «%2»: %3";
// Editing panel
inline constexpr const char* ImagePathNotStorable =
    "Путь «%1» содержит символы, которые нельзя записать в журнал. Выберите другой файл.";

// --- the program's folders and its command line
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

// --- dream properties form: a description that cannot be built
inline constexpr const char* DreamPropertiesButton = "Свойства сна...";

// --- statistics and their graphs
inline constexpr const char* CopyGraphHint = "Скопировать график в буфер обмена";
inline constexpr const char* RefreshGraphHint = "Обновить график";

// --- search
inline constexpr const char* FindCommand = "&Найти...";
inline constexpr const char* SearchCaption = "Поиск";

}  // namespace res
