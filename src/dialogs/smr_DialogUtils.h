#pragma once

#include <QString>

// The program keeps its file filters in the "Description|*.ext|..." form;
// Qt's file dialogs want "Description (*.ext);;...". The text is UTF-8.
// A description without its patterns in brackets gets them appended, and
// patterns separated by ';' become blank-separated as Qt expects.
QString QtFilter(const char* delphiFilter);

class QDialog;
class QPushButton;
class QWidget;

// The frame of the program's small dialogs: a title bar and no system
// buttons; sets the dialog font as well.
void SetDialogFrame(QWidget* dialog);

// The dialogs' controls sit at fixed places, so the font is fixed too:
// Tahoma 8 pt; where Tahoma is missing, the application's own font, since
// a stand-in face at 8 pt reads smaller than the rest of the program.
void SetDialogFont(QWidget* dialog);

// Gives the dialog a fixed width and an outer height (title bar and border
// included) of `outerHeight`. The frame is known only once the window is
// shown, so the inner height follows it then. The inner height never cuts
// off a visible control; an outer height of 0 fits the controls exactly.
// Call it after the controls are placed.
void SetOuterHeight(QWidget* dialog, int width, int outerHeight);

// The default button `btn_Ok` (accepts) and `btn_Cancel` (rejects) of a
// dialog, with the given captions.
void MakeOkCancel(QDialog* dialog, const QString& ok, const QString& cancel, QPushButton*& btnOk,
                  QPushButton*& btnCancel);
