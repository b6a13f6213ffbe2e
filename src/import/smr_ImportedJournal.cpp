#include "import/smr_ImportedJournal.h"

#include <QDir>
#include <QFileInfo>
#include <set>

#include "import/smr_ImportTexts.h"
#include "storage/smr_JournalHash.h"
#include "storage/smr_Types.h"
#include "xml/xml_functions.h"
#include "xml/xml_mainUnit.h"
#include "xml/xml_seal.h"

namespace {

QString Say(const char* text, const QString& first, const QString& second = {}) {
  QString message = QString::fromUtf8(text).arg(first);
  return message.contains(QLatin1String("%2")) ? message.arg(second) : message;
}

[[noreturn]] void Refuse(const QString& message) {
  throw TXMLWriteError(message.toUtf8().toStdString());
}

// The stored path as a file inside base: a path leading elsewhere keeps only
// its bare name, so an import never writes outside the folder it was given.
QString InsideBase(const QString& stored) {
  QString clean = QDir::cleanPath(QString(stored).replace(QLatin1Char('\\'), QLatin1Char('/')));
  if (QDir::isAbsolutePath(clean) || clean.startsWith(QLatin1String("..")) ||
      clean.contains(QLatin1Char(':')))
    return QFileInfo(clean).fileName();
  return clean;
}

// The relative name itself when free, else name_2.ext, name_3.ext ...
QString FreeName(const QDir& base, const QString& relative, const std::set<QString>& taken) {
  const auto isFree = [&](const QString& name) {
    return !taken.count(name) && !QFileInfo::exists(base.filePath(name));
  };
  if (isFree(relative)) return relative;
  const QFileInfo info(relative);
  const QString dir =
      info.path() == QLatin1String(".") ? QString() : info.path() + QLatin1Char('/');
  const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
  for (int n = 2;; ++n) {
    QString name = dir + info.completeBaseName() + QLatin1Char('_') + QString::number(n) + suffix;
    if (isFree(name)) return name;
  }
}

}  // namespace

std::string TImportText::Convert(const QString& text, TTextPlace where) {
  std::string bytes = FromUi(text, where);
  const auto marks = [](auto begin, auto end, auto mark) {
    int count = 0;
    for (auto it = begin; it != end; ++it) count += *it == mark;
    return count;
  };
  Replaced += marks(bytes.begin(), bytes.end(), '?') - marks(text.begin(), text.end(), QChar('?'));
  return bytes;
}

TImportedJournal::TImportedJournal() : Document(std::make_unique<TXMLParser>()) {
  InitNewJournal(*Document);
}
TImportedJournal::~TImportedJournal() = default;
TImportedJournal::TImportedJournal(TImportedJournal&&) noexcept = default;
TImportedJournal& TImportedJournal::operator=(TImportedJournal&&) noexcept = default;

void WriteImportedJournal(TImportedJournal& journal, const std::string& fileName,
                          const QString& storedBase) {
  const QString target = QString::fromUtf8(fileName);
  if (QFileInfo::exists(target)) Refuse(Say(res::ImportOutputExists, target));
  const QDir base(storedBase);
  std::set<QString> taken;
  std::vector<QString> written;
  const auto removeWritten = [&] {
    for (const QString& name : written) QFile::remove(name);
  };
  try {
    for (TImportedFile& file : journal.Files) {
      const QString stored = ToUi(file.Owner->GetAttribute(smr::atFile));
      const QString name = FreeName(base, InsideBase(stored), taken);
      taken.insert(name);
      if (name != stored)
        file.Owner->SetAttribute(smr::atFile, FromUi(name, TTextPlace::Attribute));
      const QString path = base.filePath(name);
      QDir().mkpath(QFileInfo(path).absolutePath());
      WriteDocumentFile(path.toUtf8().toStdString(), file.Bytes);
      written.push_back(path);
    }
    journal.Document->Save(fileName);
  } catch (const TXMLWriteError&) {
    removeWritten();
    throw;
  }
}
