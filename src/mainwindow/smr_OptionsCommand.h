#pragma once

#include <QList>
#include <QRect>

class QWidget;
class Tfrm_MainForm;

// The options command: fills the options dialog from the window and both
// documents, shows it through the prompts and, after OK, applies it. The
// window takes its new bounds, tree width and mark captions at once.
void RunOptionsCommand(Tfrm_MainForm& form);

// Bounds that leave the window off every screen (no screen shows a part
// large enough to grab) are moved, and shrunk if need be, into `own`, the
// screen the window is on. Other bounds are kept as they are.
QRect KeepOnScreen(const QRect& bounds, const QList<QRect>& screens, const QRect& own);
// The same against the screens there are and the one the window is on.
QRect KeepOnScreen(const QRect& bounds, const QWidget& window);
