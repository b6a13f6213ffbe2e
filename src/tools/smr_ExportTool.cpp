// somnary-export: exports a dream library or a journal to an HTML page, a
// plain-text file, JSON, CSV or Markdown without starting the program, with
// the exporters of the window.

#include <QCoreApplication>
#include <QFileInfo>
#include <QString>
#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "export/smr_CSVExporter.h"
#include "export/smr_DiskSources.h"
#include "export/smr_HTMLExporter.h"
#include "export/smr_JSONExporter.h"
#include "export/smr_MarkdownExporter.h"
#include "export/smr_TXTExporter.h"
#include "storage/smr_AppFolders.h"
#include "storage/smr_Cp1251.h"
#include "storage/smr_LoadProblem.h"
#include "storage/smr_NumberFormat.h"
#include "storage/smr_Resources.h"
#include "storage/smr_SettingsFile.h"
#include "storage/smr_StoredPath.h"
#include "storage/smr_Types.h"
#include "tools/smr_Console.h"
#include "tools/smr_ToolText.h"
#include "tools/smr_ToolUnlock.h"
#include "xml/xml_functions.h"
#include "xml/xml_mainUnit.h"

namespace {

constexpr int ExitFailure = 1;  // input, settings or output could not be used
constexpr int ExitUsage = 2;    // bad arguments

struct TOptions {
  std::string Format;  // empty: from the output's extension
  std::string Settings;
  bool HasSettings = false;
  std::string PassphraseFile;
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
  const QString text = QString::fromUtf8(argument.data(), static_cast<qsizetype>(argument.size()));
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
    if (name != "--format" && name != "--settings" && name != "--decimal-separator" &&
        name != "--passphrase-file") {
      return Say(res::ToolUnknownOption, Local(name));
    }
    if (!hasValue) {
      if (i + 1 >= argc) return Say(res::ToolOptionNeedsValue, Local(name));
      value = argv[++i];
    }
    if (name == "--format") {
      if (value != "html" && value != "txt" && value != "json" && value != "csv" && value != "md")
        return Say(res::ToolBadFormat, Local(value));
      options.Format = value;
    } else if (name == "--passphrase-file") {
      if (value.empty()) return Say(res::ToolOptionNeedsValue, Local(name));
      options.PassphraseFile = value;
    } else if (name == "--settings") {
      if (value.empty()) return Say(res::ToolSettingsNeedsName);
      options.Settings = value;
      options.HasSettings = true;
    } else {
      if (!SeparatorByte(value, options.DecimalSeparator)) {
        return Say(res::ToolBadSeparator, Local(value));
      }
      options.HasSeparator = true;
    }
  }
  if (options.Help) return {};
  if (options.Files.size() != 2) return Say(res::ToolNeedsTwoFiles);
  for (const std::string& file : options.Files) {
    if (file.empty()) return Say(res::ToolEmptyFileName);
  }
  return {};
}

// The format an output's extension names; html for any other.
std::string FormatOf(const std::string& fileName) {
  const QString suffix = QFileInfo(QString::fromUtf8(fileName.c_str())).suffix().toLower();
  for (const char* format : {"txt", "json", "csv", "md"})
    if (suffix == QLatin1String(format)) return format;
  return "html";
}

// Why a document cannot be used, or empty when it was read whole. A file
// read only in part must not give a partial export that looks complete.
std::string ExportLoadProblem(const TXMLParser& document, const std::string& fileName) {
  return LoadProblem(document, fileName).toUtf8().toStdString();
}

// A journal read on its own is named in a table by its file's name.
std::string JournalNameOf(const std::string& input) {
  return Utf8ToCp1251(QFileInfo(QString::fromUtf8(input.c_str())).completeBaseName().toStdString());
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  UseUtf8Console();
  TUtf8Arguments arguments;

  TOptions options;
  if (const std::string error = ParseArguments(arguments.Count(), arguments.Values(), options);
      !error.empty()) {
    return Fail(ExitUsage, Say(res::ToolSeeHelp, Local(error)));
  }
  if (options.Help) {
    std::fputs(Say(res::ExportToolUsage).c_str(), stdout);
    return 0;
  }
  const std::string& input = options.Files[0];
  const std::string& output = options.Files[1];
  // Exporting over the input would replace the library or journal it reads.
  if (CanonicalFileName(input) == CanonicalFileName(output)) {
    return Fail(ExitUsage, Say(res::ToolOutputIsInput));
  }

  if (const std::string problem = UnlockForTool(input, options.PassphraseFile); !problem.empty())
    return Fail(ExitFailure, problem);
  TXMLParser document;
  document.Load(input);
  if (const std::string problem = ExportLoadProblem(document, input); !problem.empty())
    return Fail(ExitFailure, problem);
  const std::string& rootName = document.Root->Name;
  if (rootName != smr::elLibrary && rootName != smr::elJournal) {
    return Fail(ExitFailure, Say(res::ToolNotADreamFile, Local(input)));
  }

  // Beside the tool, or the user's and the shipped ones when it is installed.
  const TAppFolders folders = TAppFolders::ForProgram(QCoreApplication::applicationDirPath());
  std::string settingsName = options.Settings;
  if (!options.HasSettings) settingsName = folders.SettingsFile().toUtf8().toStdString();
  std::array<std::string, 4> captions;
  TXMLParser settings;
  settings.Load(settingsName);
  // A named settings file is meant to be there; the default one is optional
  // when missing, but not when it is there and unreadable.
  const bool missing = settings.Status == xsCannotOpen && settings.ReadError().empty();
  if (!missing || options.HasSettings) {
    if (const std::string problem = ExportLoadProblem(settings, settingsName); !problem.empty())
      return Fail(ExitFailure, problem);
    captions = ReadMarkCaptions(*settings.Root);
  }

  TNumberFormat format = SystemNumberFormat();
  if (options.HasSeparator) format.DecimalSeparator = options.DecimalSeparator;

  const std::string chosen = options.Format.empty() ? FormatOf(output) : options.Format;
  std::unique_ptr<TExporter> exporter;
  if (chosen == "txt") {
    exporter = std::make_unique<TTXTExporter>(format);
  } else if (chosen == "json") {
    auto json = std::make_unique<TJSONExporter>(format);
    json->Prolog = &document.Parameters;  // its own prolog, for a lossless import
    exporter = std::move(json);
  } else if (chosen == "csv") {
    auto csv = std::make_unique<TCSVExporter>(format);
    csv->PropertyNames = FormPropertyNames(*settings.Root);
    csv->JournalName = JournalNameOf(input);
    exporter = std::move(csv);
  } else if (chosen == "md") {
    exporter = std::make_unique<TMarkdownExporter>(format);
  } else {
    exporter = std::make_unique<THTMLExporter>(format);
  }
  exporter->Label1Caption = captions[0];
  exporter->Label2Caption = captions[1];
  exporter->Label3Caption = captions[2];
  exporter->Label4Caption = captions[3];
  // Links lead from where the page is written to where the files are, found
  // as the window finds them (a journal read alone stands for its library).
  const TStoredPaths paths(QFileInfo(QString::fromUtf8(input.c_str())).absolutePath(),
                           folders.DocumentsDir());
  const QString pageDir = QFileInfo(QString::fromUtf8(output.c_str())).absolutePath();
  exporter->Link = [&paths, pageDir](const std::string& stored) {
    return paths.LinkFrom(pageDir, stored);
  };
  // The formats that carry every dream read the journals and descriptions.
  TDiskSources sources(paths);
  sources.Attach(*exporter);

  try {
    exporter->ExportToFiles(document.Root.get(), output, folders.DataDir().toUtf8().toStdString());
  } catch (const TExportWriteError& error) {
    return Fail(ExitFailure, Say(res::ToolCannotWrite, Local(error.FileName), Local(error.what())));
  }
  return 0;
}
