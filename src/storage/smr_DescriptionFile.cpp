#include "storage/smr_DescriptionFile.h"

#include <QFileInfo>
#include <QString>
#include <string_view>

#include "storage/smr_FileError.h"
#include "storage/smr_Resources.h"
#include "storage/smr_StoredPath.h"
#include "storage/smr_TextEdge.h"
#include "storage/smr_Types.h"
#include "xml/xml_functions.h"
#include "xml/xml_seal.h"

namespace {

using res::U;

// The journal path without the extension of its file name. A dot in a
// folder name, in "../" or leading a hidden file's name is not an extension.
std::string WithoutExtension(const std::string& path) {
  const std::size_t separator = path.find_last_of("/\\");
  const std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot <= nameStart) return path;
  return path.substr(0, dot);
}

}  // namespace

std::string CreateDescriptionFile(const TStoredPaths& paths, const std::string& journalPath,
                                  const std::string& number, const std::set<std::string>& taken) {
  if (journalPath.empty() || journalPath == smr::Undefined)
    throw TXMLWriteError(U(res::NoJournalFile).toUtf8().toStdString());

  const std::string storedBase = WithoutExtension(journalPath) + "_" + number;
  const QString fileBase =
      UiFileName(WithoutExtension(paths.Resolve(journalPath))) + "_" + ToUi(number);
  constexpr int kMaxCopies = 1000;
  for (int copy = 1; copy <= kMaxCopies; ++copy) {
    const std::string tail = (copy == 1 ? std::string() : "_" + std::to_string(copy)) + ".html";
    std::string name = storedBase + tail;
    const QString fileName = fileBase + QString::fromLatin1(tail);
    const std::string native = fileName.toUtf8().toStdString();
    if (paths.Exists(name) || QFileInfo::exists(fileName) ||
        taken.count(CanonicalFileName(native)) ||
        taken.count(CanonicalFileName(paths.Resolve(name))))
      continue;
    try {
      WriteDocumentFile(native, std::string_view());
    } catch (const TXMLWriteError& error) {
      throw TXMLWriteError(FileWriteErrorText(fileName, error.what()).toUtf8().toStdString());
    }
    return name;
  }
  throw TXMLWriteError(U(res::NoFreeDescriptionName).arg(fileBase).toUtf8().toStdString());
}
