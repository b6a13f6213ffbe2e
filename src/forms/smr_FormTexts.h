#pragma once

#include "storage/smr_Resources.h"

// Russian texts of the dream properties form, UTF-8 in the source;
// texts shared with files or other libraries are in storage/smr_Resources.h.
namespace res {

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

}  // namespace res
