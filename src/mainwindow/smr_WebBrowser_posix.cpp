#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include "mainwindow/smr_QtPrompts.h"
#include "mainwindow/smr_WebBrowser.h"

namespace {
// The Exec value of the desktop's handler of web links; empty when none is known.
QString WebBrowserExec() {
  QProcess query;
  query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                           QStringLiteral("x-scheme-handler/http")});
  if (!query.waitForFinished(3000)) return {};
  const QString id = QString::fromUtf8(query.readAllStandardOutput()).trimmed();
  const QString entry =
      id.isEmpty() ? QString() : QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id);
  QFile file(entry);
  if (entry.isEmpty() || !file.open(QIODevice::ReadOnly)) return {};
  bool main = false;
  for (const QByteArray& raw : file.readAll().split('\n')) {
    const QString line = QString::fromUtf8(raw).trimmed();
    if (line.startsWith('['))
      main = line == QLatin1String("[Desktop Entry]");
    else if (main && line.startsWith(QLatin1String("Exec=")))
      return line.mid(5);
  }
  return {};
}
}  // namespace

QStringList WebBrowserCommand(const QString& fileName) {
  return DesktopEntryCommand(WebBrowserExec(), fileName);
}
