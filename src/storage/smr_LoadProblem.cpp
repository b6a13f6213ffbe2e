#include "storage/smr_LoadProblem.h"

#include <QFile>

#include "storage/smr_Resources.h"
#include "xml/xml_mainUnit.h"

namespace {

using res::U;

// What stopped the reader.
QString StatusText(std::uint8_t status) {
  switch (status) {
    case xsNoDeclaration:
      return U(res::ReadNoDeclaration);
    case xsDuplicateOrTrailing:
      return U(res::ReadDuplicateOrTrailing);
    case xsEmptyElementName:
      return U(res::ReadEmptyElementName);
    case xsUnterminatedDeclaration:
      return U(res::ReadUnterminatedDeclaration);
    case xsUnterminatedComment:
      return U(res::ReadUnterminatedComment);
    case xsUnterminatedTag:
      return U(res::ReadUnterminatedTag);
    case xsAttributeWithoutValue:
      return U(res::ReadAttributeWithoutValue);
    case xsUnexpectedEnd:
      return U(res::ReadUnexpectedEnd);
    case xsTooDeep:
      return U(res::ReadTooDeep).arg(TXMLParser::MaxDepth);
    default:
      return U(res::ReadOtherError).arg(int(status));
  }
}

bool StartsWithUtf8Mark(const QString& fileName) {
  QFile file(fileName);
  return file.open(QIODevice::ReadOnly) && file.read(3) == QByteArray("\xEF\xBB\xBF");
}

}  // namespace

QString LoadProblem(const TXMLParser& document, const std::string& nativeFileName) {
  const QString name =
      QString::fromUtf8(nativeFileName.data(), static_cast<qsizetype>(nativeFileName.size()));
  if (!document.ReadError().empty())
    return U(res::ToolCannotRead).arg(name, QString::fromUtf8(document.ReadError().c_str()));
  if (document.Status == xsCannotOpen)
    return U(res::ToolCannotRead).arg(name, U(res::ToolNoSuchFile));
  if (document.Status == xsLoaded) return {};
  if (StartsWithUtf8Mark(name)) return U(res::ToolByteOrderMark).arg(name);
  return U(res::ToolReadInPart).arg(name, StatusText(document.Status));
}
