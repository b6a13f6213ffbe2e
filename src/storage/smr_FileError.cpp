#include "storage/smr_FileError.h"

#include <QFileInfo>

#include "storage/smr_Resources.h"

namespace {

QString FullPath(const QString& fileName) {
  return fileName.isEmpty() ? fileName : QFileInfo(fileName).absoluteFilePath();
}

}  // namespace

QString FileWriteErrorText(const QString& fileName, const QString& reason) {
  return QString::fromUtf8(res::FileNotWritten).arg(FullPath(fileName), reason);
}

QString FileReadErrorText(const QString& fileName, const QString& reason) {
  return QString::fromUtf8(res::FileNotRead).arg(FullPath(fileName), reason);
}

QString FileWriteErrorText(const QString& fileName, const char* reason) {
  return FileWriteErrorText(fileName, QString::fromUtf8(reason));
}
