#include "export/smr_Exporter.h"

#include <QDir>
#include <QFileInfo>
#include <QString>

#include "storage/smr_Cp1251.h"
#include "storage/smr_Resources.h"
#include "storage/smr_Types.h"
#include "xml/xml_functions.h"
#include "xml/xml_node.h"

namespace {

std::string C(const char* utf8) { return Utf8ToCp1251(utf8); }

// A file name as the file system takes it.
QString Local(const std::string& name) {
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

TExporter::TExporter(TNumberFormat numberFormat)
    : LineBreak("\r\n"),
      NumberFormat(numberFormat),
      Texts{C(res::ExportLibraryTitle), C(res::ExportJournalTitle),
            C(res::ExportTable),        C(res::ExportUserData),
            C(res::ExportUser),         C(res::ExportUserName),
            C(res::ExportUserNick),     C(res::ExportUserEmail),
            C(res::ExportUserAge),      C(res::ExportUserSex),
            C(res::ExportUserInfo),     C(res::ExportSexMale),
            C(res::ExportSexFemale),    C(res::ExportStructure),
            C(res::ExportFileList),     C(res::ExportAdditionalFiles),
            C(res::ExportDictionary),   C(res::ExportVocabulary),
            C(res::ExportDayComment),   C(res::ExportDreamComment),
            C(res::ExportEnergy),       C(res::ExportImage),
            C(res::ExportMarks),        C(res::ExportPropertyColumn),
            C(res::ExportValueColumn),  C(res::ExportYes),
            C(res::ExportNo),           C(res::ExportAdditionalProperties),
            C(res::ExportNotDefined)} {}

TExporter::~TExporter() = default;

std::string TExporter::ExportBody(const TXMLNode*) { return {}; }
std::string TExporter::ExportHeader(const TXMLNode*) { return {}; }
std::string TExporter::ExportFooter(const TXMLNode*) { return {}; }

void TExporter::Export(const TXMLNode* element, std::string& output) {
  output += ExportHeader(element);
  output += LineBreak;
  output += ExportBody(element);
  output += LineBreak;
  output += ExportFooter(element);
  output += LineBreak;
}

std::string TExporter::Indent(int count) const {
  std::string text;
  for (int i = 0; i < count; ++i) text += Spacer;
  return text;
}

void TExporter::Write(const TXMLNode* element, const TByteSink& sink) {
  sink(ExportHeader(element));
  sink(LineBreak);
  sink(ExportBody(element));
  sink(LineBreak);
  sink(ExportFooter(element));
  sink(LineBreak);
}

std::string TExporter::ExportToText(const TXMLNode* element) {
  std::string text;
  Write(element, [&text](std::string_view piece) { text += piece; });
  return text;
}

void TExporter::ExportToFile(const TXMLNode* element, const std::string& fileName) {
  // The parts go to the file one after another, as Export joins them: the
  // page of a big journal is not copied into one more string first.
  WriteFileAtomically(fileName, [&](const TByteSink& sink) { Write(element, sink); });
}

std::vector<std::string> TExporter::ExportToFiles(const TXMLNode* element,
                                                  const std::string& fileName,
                                                  const std::string& styleSheetDir) {
  try {
    ExportToFile(element, fileName);
  } catch (const TXMLWriteError& error) {
    throw TExportWriteError(fileName, error);
  }
  std::vector<std::string> written = {fileName};
  const std::string_view styleSheet = StyleSheet(element);
  if (styleSheet.empty()) return written;
  const QString name =
      QString::fromLatin1(styleSheet.data(), static_cast<qsizetype>(styleSheet.size()));
  const QString target = QFileInfo(Local(fileName)).absoluteDir().filePath(name);
  const QString shipped = QDir(Local(styleSheetDir)).filePath(name);
  std::string bytes;
  if (QFileInfo::exists(target) || !ReadWholeFile(shipped.toUtf8().toStdString(), bytes))
    return written;
  const std::string native = target.toUtf8().toStdString();
  try {
    WriteFileAtomically(native, bytes);
  } catch (const TXMLWriteError& error) {
    throw TExportWriteError(native, error);
  }
  written.push_back(native);
  return written;
}

std::string_view TExporter::StyleSheet(const TXMLNode*) const { return {}; }

void TExporter::AddLine(std::string& out, std::initializer_list<std::string_view> pieces) const {
  for (std::string_view piece : pieces) out += piece;
  out += LineBreak;
}

const std::string& TExporter::LabelCaption(int index) const {
  switch (index) {
    case 0:
      return Label1Caption;
    case 1:
      return Label2Caption;
    case 2:
      return Label3Caption;
    default:
      return Label4Caption;
  }
}

const std::string& TExporter::MarkText(const TXMLNode* properties, int index) const {
  const bool set = properties && properties->GetAttribute(smr::atLabel[index]) == smr::True;
  return set ? Texts.Yes : Texts.No;
}

bool TExporter::MarkSet(const TXMLNode* properties, int index) {
  if (!properties) return false;
  const std::string_view name = properties->HasAttribute(smr::atOldLabel[index])
                                    ? smr::atOldLabel[index]
                                    : smr::atLabel[index];
  return properties->GetAttribute(name) == smr::True;
}

std::string TExporter::SexText(const std::string& sex) const {
  if (sex == smr::Masculinum) return Texts.SexMale;
  if (sex == smr::Femininum) return Texts.SexFemale;
  return sex;
}

std::string TExporter::EnergyText(const TXMLNode* energy) const {
  if (!energy) return "0";
  return EnergyFigure(energy->GetAttribute(smr::atLevel), NumberFormat);
}

std::string_view TExporter::TextOf(const TXMLNode* element) {
  const TXMLNode* first = element ? element->Child(0) : nullptr;
  return first ? first->Value.View() : std::string_view();
}

bool TExporter::HasFirstChild(const TXMLNode* element) {
  return element && element->ChildCount() > 0;
}
