#include <QStandardPaths>

#include "storage/smr_UserFolders.h"

QString UserSettingsParent() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}
