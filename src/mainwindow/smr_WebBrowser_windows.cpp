#include <QDir>
#include <QProcess>
#include <QSettings>

#include "mainwindow/smr_WebBrowser.h"

namespace {

// The open command of the program the user chose for web links, as the
// registry keeps it: "C:\...\browser.exe" -osint -url "%1".
QString WebBrowserOpenCommand() {
  const QSettings choice(
      QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\Shell\\Associations\\"
                     "UrlAssociations\\http\\UserChoice"),
      QSettings::NativeFormat);
  QString progId = choice.value(QStringLiteral("ProgId")).toString();
  if (progId.isEmpty()) progId = QStringLiteral("http");
  const QSettings command(QStringLiteral("HKEY_CLASSES_ROOT\\%1\\shell\\open\\command").arg(progId),
                          QSettings::NativeFormat);
  return command.value(QStringLiteral(".")).toString();
}

}  // namespace

QStringList WebBrowserCommand(const QString& fileName) {
  const QString native = QDir::toNativeSeparators(fileName);
  QStringList command;
  bool placed = false;
  for (QString argument : QProcess::splitCommand(WebBrowserOpenCommand())) {
    if (argument.contains(QLatin1String("%1"))) {
      argument.replace(QLatin1String("%1"), native);
      placed = true;
    }
    command << argument;
  }
  if (!command.isEmpty() && !placed) command << native;
  return command;
}
