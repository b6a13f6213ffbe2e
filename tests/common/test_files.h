#pragma once

// Small file helpers for tests that lay out folders on disk.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

namespace test_files {

inline bool CopyTree(const QString& from, const QString& to) {
  if (!QDir().mkpath(to)) return false;
  for (const QFileInfo& entry : QDir(from).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
    const QString target = to + '/' + entry.fileName();
    if (entry.isDir() ? !CopyTree(entry.filePath(), target) : !QFile::copy(entry.filePath(), target)) return false;
  }
  return true;
}

// Empty when the file cannot be read.
inline QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool Write(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

}  // namespace test_files
