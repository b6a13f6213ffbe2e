#include "import/smr_ImportFile.h"

#include <QFileInfo>
#include <QString>

#include "import/smr_ImportTexts.h"
#include "import/smr_ImportedJournal.h"
#include "xml/xml_functions.h"

std::string ReadImportFile(const std::string& fileName) {
  const QString name = QString::fromUtf8(fileName);
  const QFileInfo info(name);
  if (info.exists() && info.size() > MaxImportBytes) {
    const QString size = QString::number(info.size() / (1024LL * 1024));
    throw TImportError(
        QString::fromUtf8(res::ImportTooLarge).arg(name, size).toUtf8().toStdString(), 0);
  }
  std::string bytes, error;
  if (!ReadWholeFile(fileName, bytes, &error)) {
    throw TImportError(QString::fromUtf8(res::ImportCannotRead)
                           .arg(name, QString::fromStdString(error))
                           .toUtf8()
                           .toStdString(),
                       0);
  }
  return bytes;
}
