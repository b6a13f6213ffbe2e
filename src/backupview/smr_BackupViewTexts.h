#pragma once

#include "storage/smr_Resources.h"

// Russian texts of the restore dialog, UTF-8 in the source;
// texts shared with files or other libraries are in storage/smr_Resources.h.
namespace res {

inline constexpr const char* RestoreBackupCaption = "Восстановление из резервной копии";
inline constexpr const char* BackupCopyColumn = "Копия";
inline constexpr const char* BackupCountColumn = "Опытов";
inline constexpr const char* BackupLibraryFile = "Библиотека «%1»";
inline constexpr const char* BackupUnread = "(не прочитан)";
inline constexpr const char* BackupRestore = "Восстановить";
inline constexpr const char* BackupClose = "Закрыть";
inline constexpr const char* BackupHint =
    "Текущие файлы сначала сохраняются в отдельную копию, так что восстановление можно отменить.";
inline constexpr const char* BackupNoCopies = "Резервных копий пока нет.";
inline constexpr const char* BackupChoose =
    "Выберите копию, чтобы восстановить библиотеку целиком, или один журнал из неё.";
inline constexpr const char* BackupPreviewLibrary =
    "Каталоги и журналы библиотеки «%1» в копии «%2»";
inline constexpr const char* BackupPreviewNoLibrary =
    "В копии «%1» нет читаемого файла библиотеки.";
inline constexpr const char* BackupPreviewJournal = "Ночи и опыты журнала «%1» в копии «%2»";
inline constexpr const char* BackupPreviewOther =
    "Файл %1 восстанавливается целиком, без просмотра.";
inline constexpr const char* BackupPreviewUnread = "Файл %1 в копии больше не читается.";

}  // namespace res
