#pragma once

#include "storage/smr_Resources.h"

// Russian texts of the dialogs (the main window shows some of them too), UTF-8 in the source;
// texts shared with files or other libraries are in storage/smr_Resources.h.
namespace res {

// --- file filters and dialog titles
inline constexpr const char* LibraryFilter =
    "Библиотека сновидений (*.xml)|*.xml|Любое расширение (*.*)|*.*";
inline constexpr const char* JournalFilter =
    "Журнал сновидений (*.xml)|*.xml|Любое расширение (*.*)|*.*";
inline constexpr const char* IconFilter = "Windows BMP (*.bmp)|*.bmp|Все файлы (*.*)|*.*";
inline constexpr const char* AdditionalFileFilter =
    "Дополнительный файл (*.xml)|*.xml|Любое расширение (*.*)|*.*";
inline constexpr const char* OptionsOpenFileTitle = "Выбор библиотеки сновидений";
inline constexpr const char* OptionsDailyBackups =
    "Каждый день перед первым сохранением копировать библиотеку и журналы";
inline constexpr const char* OptionsBackupFolder = "Папка:";
inline constexpr const char* OptionsBackupFolderDefault = "«Резервные копии» рядом с библиотекой";
inline constexpr const char* OptionsBackupFolderTitle = "Папка для резервных копий";
// The type column of Qt's own file dialog.
inline constexpr const char* FileTypeFolder = "Папка";
inline constexpr const char* FileTypeImage = "Изображение %1";
inline constexpr const char* FileTypeHtml = "Страница HTML";
inline constexpr const char* FileTypeXml = "Документ XML";
inline constexpr const char* FileTypeText = "Текстовый файл";
inline constexpr const char* FileTypeOther = "Файл";

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
    "Символ «%1» в имени недопустим. Допустимы только русские и латинские буквы, цифры, пробел и "
    "«_».";
inline constexpr const char* PasswordRefused =
    "В пароле есть недопустимый символ. Допустимы только русские и латинские буквы, цифры, пробел "
    "и «_».";
inline constexpr const char* UserNameAltered =
    "Это имя нельзя сохранить как есть. Замените символы «%1» или поменяйте их местами.";
inline constexpr const char* PasswordAltered =
    "Такой пароль исказится в файле библиотеки: пробелы в его коде сольются. Измените пароль.";
// --- the passphrase of an encrypted library
inline constexpr const char* PassphraseUnlockCaption = "Зашифрованная библиотека";
inline constexpr const char* PassphraseChooseCaption = "Шифрование библиотеки";
inline constexpr const char* PassphraseChangeCaption = "Смена пароля шифрования";
inline constexpr const char* PassphraseUnlockPrompt = "Введите пароль шифрования библиотеки «%1».";
inline constexpr const char* PassphraseChoosePrompt =
    "Придумайте пароль для шифрования библиотеки «%1».";
inline constexpr const char* PassphraseChangePrompt =
    "Введите нынешний пароль шифрования библиотеки «%1» и новый пароль.";
inline constexpr const char* PassphraseCurrentLabel = "Нынешний пароль:";
inline constexpr const char* PassphraseLabel = "Пароль:";
inline constexpr const char* PassphraseNewLabel = "Новый пароль:";
inline constexpr const char* PassphraseRepeatLabel = "Ещё раз:";
// How hard the new passphrase is to guess, weak to strong, with what would help.
inline constexpr const char* PassphraseStrengths[] = {
    "Надёжность: низкая — добавьте слова или знаки.", "Надёжность: средняя — добавьте ещё слово.",
    "Надёжность: высокая."};
// Why OK is not yet enabled.
inline constexpr const char* PassphraseCurrentMissing = "Введите нынешний пароль.";
inline constexpr const char* PassphraseTooShort = "Не короче %1 знаков.";
inline constexpr const char* PassphraseMismatch = "Пароли не совпадают.";
inline constexpr const char* PassphraseWarning =
    "Забытый пароль восстановить нельзя: без него зашифрованные сны не прочесть никому, и нам "
    "тоже.";
inline constexpr const char* PassphraseOk = "ОК";
inline constexpr const char* PassphraseCancel = "Отмена";
// The maker's web site: the about box link and the Help menu's "В Internet".
inline constexpr const char* MakerAddress = "https://somnary.example.org";

}  // namespace res
