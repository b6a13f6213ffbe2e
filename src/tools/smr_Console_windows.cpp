#include <windows.h>

#include "tools/smr_Console.h"

// Output redirected to a file or a pipe stays as the bytes written.
void UseUtf8Console() { SetConsoleOutputCP(CP_UTF8); }
