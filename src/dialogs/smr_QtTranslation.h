#pragma once

class QCoreApplication;

// Qt's own texts (file dialogs, standard buttons, context menus of text
// fields) in Russian whatever the system's language, since every text of
// the program is Russian. The default locale is left alone: numbers still
// follow the user's own.
void InstallQtRussianTexts(QCoreApplication& app);
