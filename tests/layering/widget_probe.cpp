// Compiled against each library below the windows: it must not find the
// widget headers there.
#include <QWidget>

int ProbeWidget() { return sizeof(QWidget); }
