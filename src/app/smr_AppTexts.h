#pragma once

#include "storage/smr_Resources.h"

// Russian texts of the program's start, UTF-8 in the source;
// texts shared with files or other libraries are in storage/smr_Resources.h.
namespace res {

// --- the program's folders and its command line
inline constexpr const char* ProgramUsage =
    "Использование: somnary [--version | --help]; без параметров открывает дневник сновидений "
    "(настройки: dreams.ini рядом с программой или в ~/.config/Somnary)";
inline constexpr const char* AlreadyRunning =
    "Дневник сновидений с этими настройками уже открыт, но не отвечает:\n%1";

}  // namespace res
