// somnary-export: exports a dream library or a journal to an HTML page or a
// plain-text file without starting the program, with the same exporters.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "export/smr_HTMLExporter.h"
#include "export/smr_NumberFormat.h"
#include "export/smr_TXTExporter.h"
#include "storage/smr_Cp1251.h"
#include "storage/smr_SettingsFile.h"
#include "storage/smr_Types.h"
#include "xml/xml_functions.h"
#include "xml/xml_mainUnit.h"

namespace {

constexpr int ExitFailure = 1;  // input, settings or output could not be used
constexpr int ExitUsage = 2;    // bad arguments

const char* const Usage =
    "Usage: somnary-export [--format html|txt] [--settings FILE] [--decimal-separator C] "
    "INPUT OUTPUT\n"
    "Exports a dream library or a journal (INPUT) to an HTML page or a plain-text file.\n"
    "  --format             html or txt; by default txt when OUTPUT ends in .txt, else html\n"
    "  --settings           settings file with the mark captions (default: dreams.ini beside\n"
    "                       this program; when that is missing the captions are empty)\n"
    "  --decimal-separator  one character for the energy figures (default: the locale's)\n";

struct TOptions {
  std::string Format;  // empty: from the output's extension
  std::string Settings;
  bool HasSettings = false;
  bool HasSeparator = false;
  char DecimalSeparator = '.';
  std::vector<std::string> Files;
  bool Help = false;
};

int Fail(int code, const std::string& message) {
  std::fprintf(stderr, "somnary-export: %s\n", message.c_str());
  return code;
}

// The separator as one windows-1251 byte, or false when it is not one.
bool SeparatorByte(const std::string& argument, char& byte) {
  const QString text =
      QString::fromLocal8Bit(argument.data(), static_cast<qsizetype>(argument.size()));
  if (text.size() != 1) return false;
  const std::string bytes = Utf8ToCp1251(text.toStdString());
  if (bytes.size() != 1 || (bytes[0] == '?' && text != QLatin1String("?"))) return false;
  byte = bytes[0];
  return true;
}

// Fills the options; returns an error text, empty when the arguments are good.
std::string ParseArguments(int argc, char** argv, TOptions& options) {
  bool onlyFiles = false;
  for (int i = 1; i < argc; ++i) {
    std::string argument = argv[i];
    if (onlyFiles || argument.size() < 2 || argument[0] != '-') {
      options.Files.push_back(argument);
      continue;
    }
    if (argument == "--") {
      onlyFiles = true;
      continue;
    }
    if (argument == "-h" || argument == "--help") {
      options.Help = true;
      continue;
    }
    std::string name = argument, value;
    bool hasValue = false;
    if (const auto equals = argument.find('='); equals != std::string::npos) {
      name = argument.substr(0, equals);
      value = argument.substr(equals + 1);
      hasValue = true;
    }
    if (name != "--format" && name != "--settings" && name != "--decimal-separator") {
      return "unknown option " + name;
    }
    if (!hasValue) {
      if (i + 1 >= argc) return "option " + name + " needs a value";
      value = argv[++i];
    }
    if (name == "--format") {
      if (value != "html" && value != "txt")
        return "format must be html or txt, not '" + value + "'";
      options.Format = value;
    } else if (name == "--settings") {
      if (value.empty()) return "option --settings needs a file name";
      options.Settings = value;
      options.HasSettings = true;
    } else {
      if (!SeparatorByte(value, options.DecimalSeparator)) {
        return "decimal separator must be one windows-1251 character, not '" + value + "'";
      }
      options.HasSeparator = true;
    }
  }
  if (options.Help) return {};
  if (options.Files.size() != 2) return "expected INPUT and OUTPUT";
  for (const std::string& file : options.Files) {
    if (file.empty()) return "file names must not be empty";
  }
  return {};
}

bool EndsWithTxt(const std::string& fileName) {
  if (fileName.size() < 4) return false;
  std::string tail = fileName.substr(fileName.size() - 4);
  for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return tail == ".txt";
}

// What stopped the reader, for the one line of a failed export.
std::string StatusText(std::uint8_t status) {
  switch (status) {
    case xsNoDeclaration:
      return "it does not begin with an XML declaration";
    case xsDuplicateOrTrailing:
      return "a declaration value is given twice, or text follows the root element";
    case xsEmptyElementName:
      return "an element has an empty name";
    case xsUnterminatedDeclaration:
      return "a declaration is not closed";
    case xsUnterminatedComment:
      return "a comment is not closed";
    case xsUnterminatedTag:
      return "a tag is not closed";
    case xsAttributeWithoutValue:
      return "an attribute has no value";
    case xsUnexpectedEnd:
      return "the file ends inside an element (cut off?)";
    case xsTooDeep:
      return "elements are nested more than " + std::to_string(TXMLParser::MaxDepth) + " deep";
    default:
      return "read error " + std::to_string(status);
  }
}

bool StartsWithUtf8Mark(const std::string& fileName) {
  QFile file(QString::fromLocal8Bit(fileName.data(), static_cast<qsizetype>(fileName.size())));
  return file.open(QIODevice::ReadOnly) && file.read(3) == QByteArray("\xEF\xBB\xBF");
}

// Why a document cannot be used, or empty when it was read whole. A file
// read only in part must not give a partial export that looks complete.
std::string LoadProblem(const TXMLParser& document, const std::string& fileName) {
  if (!document.ReadError().empty())
    return "cannot read '" + fileName + "': " + document.ReadError();
  if (document.Status == xsCannotOpen) return "cannot read '" + fileName + "': no such file";
  if (document.Status == xsLoaded) return {};
  if (StartsWithUtf8Mark(fileName))
    return "'" + fileName +
           "' begins with a UTF-8 byte order mark; Somnary's files are windows-1251 without one";
  return "'" + fileName + "' was read only in part: " + StatusText(document.Status);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);

  TOptions options;
  if (const std::string error = ParseArguments(argc, argv, options); !error.empty()) {
    return Fail(ExitUsage, error + " (see --help)");
  }
  if (options.Help) {
    std::fputs(Usage, stdout);
    return 0;
  }
  const std::string& input = options.Files[0];
  const std::string& output = options.Files[1];
  // Exporting over the input would replace the library or journal it reads.
  if (CanonicalFileName(input) == CanonicalFileName(output)) {
    return Fail(ExitUsage, "OUTPUT must not be the INPUT file");
  }

  TXMLParser document;
  document.Load(input);
  if (const std::string problem = LoadProblem(document, input); !problem.empty())
    return Fail(ExitFailure, problem);
  const std::string& rootName = document.Root->Name;
  if (rootName != smr::elLibrary && rootName != smr::elJournal) {
    return Fail(ExitFailure, "'" + input + "' is neither a dream library nor a journal");
  }

  std::string settingsName = options.Settings;
  if (!options.HasSettings) {
    const QString beside = QDir(QCoreApplication::applicationDirPath())
                               .filePath(QString::fromUtf8(smr::SettingsFileName.data(),
                                                           smr::SettingsFileName.size()));
    settingsName = beside.toLocal8Bit().toStdString();
  }
  std::array<std::string, 4> captions;
  TXMLParser settings;
  settings.Load(settingsName);
  // A named settings file is meant to be there; the default one is optional
  // when missing, but not when it is there and unreadable.
  const bool missing = settings.Status == xsCannotOpen && settings.ReadError().empty();
  if (!missing || options.HasSettings) {
    if (const std::string problem = LoadProblem(settings, settingsName); !problem.empty())
      return Fail(ExitFailure, problem);
    captions = ReadMarkCaptions(*settings.Root);
  }

  TNumberFormat format = SystemNumberFormat();
  if (options.HasSeparator) format.DecimalSeparator = options.DecimalSeparator;

  const bool text = options.Format.empty() ? EndsWithTxt(output) : options.Format == "txt";
  std::unique_ptr<TExporter> exporter;
  if (text) {
    exporter = std::make_unique<TTXTExporter>(format);
  } else {
    exporter = std::make_unique<THTMLExporter>(format);
  }
  exporter->Label1Caption = captions[0];
  exporter->Label2Caption = captions[1];
  exporter->Label3Caption = captions[2];
  exporter->Label4Caption = captions[3];

  try {
    exporter->ExportToFile(document.Root.get(), output);
  } catch (const TXMLWriteError& error) {
    return Fail(ExitFailure, "cannot write '" + output + "': " + error.what());
  }
  return 0;
}
