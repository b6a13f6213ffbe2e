#include "xml_functions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

std::string NormalizeSpaces(std::string_view text) {
  std::size_t begin = 0, end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
  std::string out;
  out.reserve(end - begin);
  for (std::size_t i = begin; i < end; ++i) {
    if (text[i] == ' ' && !out.empty() && out.back() == ' ') continue;
    out.push_back(text[i]);
  }
  return out;
}

std::string UnquoteValue(std::string_view token) {
  if (token == ">" || token == "/>" || token == "?>" || token == "!>") return {};
  if (token.empty()) return {};
  std::string_view s = token.substr(1);  // the opening quote
  if (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  if (s.size() >= 2 && (s.ends_with("/>") || s.ends_with("?>")))
    s.remove_suffix(2);
  else if (!s.empty() && s.back() == '>')
    s.remove_suffix(1);
  if (!s.empty() && s.back() == '"') s.remove_suffix(1);
  return std::string(s);
}

void WriteFileAtomically(const std::string& fileName, std::string_view bytes,
                         const TChunkWriter& writer) {
  const QString name = QString::fromLocal8Bit(fileName.data(), static_cast<qsizetype>(fileName.size()));
  if (name.isEmpty()) throw TXMLWriteError("No file name");
  QSaveFile file(name);
  if (!file.open(QIODevice::WriteOnly)) throw TXMLWriteError(file.errorString().toStdString());
  const char* data = bytes.data();
  long long left = static_cast<long long>(bytes.size());
  while (left > 0) {
    long long written = writer ? writer(file, data, left) : file.write(data, left);
    if (written <= 0) {
      std::string message = file.errorString().toStdString();
      file.cancelWriting();
      throw TXMLWriteError(message.empty() || message == "Unknown error" ? "Write error" : message);
    }
    data += written;
    left -= written;
  }
  if (!file.commit()) throw TXMLWriteError(file.errorString().toStdString());
}

bool ReadWholeFile(const std::string& fileName, std::string& bytes) {
  QFile file(QString::fromLocal8Bit(fileName.data(), static_cast<qsizetype>(fileName.size())));
  if (!file.open(QIODevice::ReadOnly)) return false;
  const qint64 size = file.size();
  bytes.clear();
  if (size > 0 && file.isSequential() == false) {
    bytes.resize(static_cast<std::size_t>(size));
    qint64 got = 0;
    while (got < size) {
      qint64 n = file.read(bytes.data() + got, size - got);
      if (n <= 0) break;
      got += n;
    }
    bytes.resize(static_cast<std::size_t>(got));
  }
  // Files that grow or report no size are read to the end in chunks.
  char buffer[65536];
  for (;;) {
    qint64 n = file.read(buffer, sizeof buffer);
    if (n < 0) return false;
    if (n == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  return true;
}

bool FileExists(const std::string& fileName) {
  return QFileInfo::exists(QString::fromLocal8Bit(fileName.data(), static_cast<qsizetype>(fileName.size())));
}

std::string FreeBackupName(const std::string& fileName) {
  for (int n = 1;; ++n) {
    std::string candidate = fileName + ".bak" + (n == 1 ? std::string() : std::to_string(n));
    if (!FileExists(candidate)) return candidate;
  }
}

std::string CanonicalFileName(const std::string& fileName) {
  const QString name = QString::fromLocal8Bit(fileName.data(), static_cast<qsizetype>(fileName.size()));
  if (name.isEmpty()) return {};
  QFileInfo info(name);
  QString canonical = info.canonicalFilePath();
  if (canonical.isEmpty()) {
    // Not there yet: resolve the folder if it exists, keep the name.
    QString dir = QFileInfo(info.absolutePath()).canonicalFilePath();
    canonical = dir.isEmpty() ? QDir::cleanPath(info.absoluteFilePath())
                              : dir + QLatin1Char('/') + info.fileName();
  }
  return canonical.toLocal8Bit().toStdString();
}
