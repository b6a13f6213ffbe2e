#pragma once

#include <QString>

// The program keeps its file filters in the "Description|*.ext|..." form;
// Qt's file dialogs want "Description (*.ext);;...". The text is UTF-8.
// A description without its patterns in brackets gets them appended, and
// patterns separated by ';' become blank-separated as Qt expects.
QString QtFilter(const char* delphiFilter);

class QWidget;

// The frame of the program's small dialogs: a title bar and no system
// buttons; sets the dialog font as well.
void SetDialogFrame(QWidget* dialog);

// The dialogs' controls sit at fixed places, so the font is fixed too:
// Tahoma 8 pt, or the nearest sans-serif face the system has.
void SetDialogFont(QWidget* dialog);
