#pragma once

#include <QString>

// Where the user's settings folders live; one implementation per platform.
// The folder that holds the program's settings folder: ~/.config here, the
// roaming %APPDATA% on Windows (it follows the user to other computers).
QString UserSettingsParent();
