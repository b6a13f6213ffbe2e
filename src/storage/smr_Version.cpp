#include "storage/smr_Version.h"

// Only this file is built with the version, so a new one recompiles nothing else.
const char* smr::ProgramVersion() { return SOMNARY_VERSION; }
const char* smr::ShortVersion() { return SOMNARY_SHORT_VERSION; }
