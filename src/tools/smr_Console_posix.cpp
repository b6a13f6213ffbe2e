#include "tools/smr_Console.h"

// The terminal takes the locale's UTF-8 as it is.
void UseUtf8Console() {}
