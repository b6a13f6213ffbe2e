#pragma once

#include "import/smr_ImportTexts.h"
#include "storage/smr_Resources.h"

// Russian texts of the import preview, UTF-8 in the source;
// texts shared with files or other libraries are in storage/smr_Resources.h.
namespace res {

inline constexpr const char* ImportCaption = "Импорт: %1";
inline constexpr const char* ImportOk = "Импортировать";
inline constexpr const char* ImportCancel = "Отмена";

// --- CSV: the columns and what each fills
inline constexpr const char* ImportColumnsCaption = "Столбцы файла";
inline constexpr const char* ImportColumnHeader = "Столбец";
inline constexpr const char* ImportFieldHeader = "Поле";
inline constexpr const char* ImportPropertyHeader = "Имя свойства";
inline constexpr const char* ImportFieldIgnore = "Не импортировать";
inline constexpr const char* ImportFieldNight = "Ночь";
inline constexpr const char* ImportFieldDate = "Дата";
inline constexpr const char* ImportFieldNumber = "Номер";
inline constexpr const char* ImportFieldTitle = "Название";
inline constexpr const char* ImportFieldDescription = "Описание";
inline constexpr const char* ImportFieldComment = "Комментарий";
inline constexpr const char* ImportFieldEnergy = "Энергия";
inline constexpr const char* ImportFieldReadOnly = "Только чтение";
inline constexpr const char* ImportFieldProperty = "Свойство";
// A mark whose caption the settings leave empty.
inline constexpr const char* ImportFieldMark = "Отметка %1";
inline constexpr const char* ImportPreviewCaption = "Первые строки, как они будут импортированы";
inline constexpr const char* ImportPreviewProperties = "Свойства";
inline constexpr const char* ImportMarkSet = "да";

// --- text diary: nights and dreams
inline constexpr const char* ImportNightsCaption =
    "Ночи и сны (двойной щелчок или F2 — переименовать)";
inline constexpr const char* ImportNightsName = "Ночь / сон";
inline constexpr const char* ImportNightsStart = "Начало";
inline constexpr const char* ImportNoTitle = "(без названия)";
inline constexpr const char* ImportDreamText = "Текст сна";
inline constexpr const char* ImportRemove = "Удалить";
inline constexpr const char* ImportMerge = "Присоединить к предыдущему";
inline constexpr const char* ImportNightDreams = "снов: %1";

// --- both
inline constexpr const char* ImportTotals = "Ночей: %1, снов: %2";
inline constexpr const char* ImportReplacedOne = "%1 знак будет заменён";
inline constexpr const char* ImportReplacedFew = "%1 знака будут заменены";
inline constexpr const char* ImportReplacedMany = "%1 знаков будут заменены";
inline constexpr const char* ImportReplacedHint =
    "Знаков, которых нет в кодировке windows-1251, в журнале не будет: вместо них встанет «?».";

}  // namespace res
