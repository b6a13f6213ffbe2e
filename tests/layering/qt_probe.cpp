// Compiled against the plain C++ libraries: they must not find Qt's headers.
#include <QString>

int ProbeQt() { return sizeof(QString); }
