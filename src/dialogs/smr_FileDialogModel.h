#pragma once

class QFileDialog;

// Qt's own file dialog names the file types in English and writes its dates
// in the English way whatever the language: its type and date columns are
// given in Russian instead. Does nothing to a native dialog.
void UseRussianFileColumns(QFileDialog& dialog);
