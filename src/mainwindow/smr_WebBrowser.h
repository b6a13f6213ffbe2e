#pragma once

#include <QStringList>

// The command (program first) that opens a local file in the user's web
// browser, empty when none is known; one implementation per platform. The
// desktop would open an XML file with its XML handler, not a browser.
QStringList WebBrowserCommand(const QString& fileName);
