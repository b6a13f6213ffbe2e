#include <QStandardPaths>

#include "storage/smr_UserFolders.h"

// Qt's generic configuration folder is the local one, which does not roam.
QString UserSettingsParent() {
  const QString roaming = qEnvironmentVariable("APPDATA");
  if (!roaming.isEmpty()) return roaming;
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}
