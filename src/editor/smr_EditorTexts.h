#pragma once

#include "storage/smr_Resources.h"

// Russian texts of the HTML description editor, UTF-8 in the source;
// texts shared with files or other libraries are in storage/smr_Resources.h.
namespace res {

// --- main window
// HTML descriptions
inline constexpr const char* DescriptionHasNul =
    "Описание открыто только для чтения: в файле «%1» есть нулевой байт, и редактор потерял бы "
    "всё, что стоит после него.";
inline constexpr const char* DescriptionHasInvalidBytes =
    "Описание открыто только для чтения: в файле «%1» есть байты, которых нет в его кодировке "
    "(%2), и при записи они бы изменились.";
inline constexpr const char* DescriptionCharsetUnknown =
    "Описание открыто только для чтения: файл «%1» записан в кодировке %2, которую программа не "
    "умеет преобразовывать, и при записи его текст бы испортился.";

}  // namespace res
