// somnary-import: makes a new journal file from the program's own JSON
// export, a CSV table or a text diary, with the imports of the window.
// Exit status 0, or 1 with one line on the error output; an existing
// output is never replaced.

#include <QCoreApplication>
#include <QFileInfo>
#include <QString>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "import/smr_ImportFile.h"
#include "import/smr_ImportTexts.h"
#include "import/smr_ImportedJournal.h"
#include "import/smr_JSONImport.h"
#include "import/smr_TableImport.h"
#include "import/smr_TextImport.h"
#include "storage/smr_AppFolders.h"
#include "storage/smr_Resources.h"
#include "storage/smr_SettingsFile.h"
#include "storage/smr_TextEdge.h"
#include "tools/smr_Console.h"
#include "tools/smr_ToolText.h"
#include "xml/xml_functions.h"
#include "xml/xml_mainUnit.h"

namespace {

constexpr int ExitFailure = 1;

int Fail(const std::string& message) {
  std::fprintf(stderr, "somnary-import: %s\n", message.c_str());
  return ExitFailure;
}

struct TOptions {
  QString Format;  // empty: from the input's extension
  std::vector<std::string> Files;
  bool Help = false;
};

std::string ParseArguments(int argc, char** argv, TOptions& options) {
  bool onlyFiles = false;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (onlyFiles || argument.size() < 2 || argument[0] != '-') {
      options.Files.push_back(argument);
    } else if (argument == "--") {
      onlyFiles = true;
    } else if (argument == "-h" || argument == "--help") {
      options.Help = true;
    } else if (argument == "--format" || argument.rfind("--format=", 0) == 0) {
      std::string value;
      if (argument.size() > 8) {
        value = argument.substr(9);
      } else if (i + 1 < argc) {
        value = argv[++i];
      } else {
        return Say(res::ToolOptionNeedsValue, Local(argument));
      }
      if (value != "json" && value != "csv" && value != "text")
        return Say(res::ImportToolBadFormat, Local(value));
      options.Format = Local(value);
    } else {
      return Say(res::ToolUnknownOption, Local(argument));
    }
  }
  if (options.Help) return {};
  if (options.Files.size() != 2) return Say(res::ToolNeedsTwoFiles);
  for (const std::string& file : options.Files)
    if (file.empty()) return Say(res::ToolEmptyFileName);
  return {};
}

QString FormatOf(const QString& input) {
  const QString suffix = QFileInfo(input).suffix().toLower();
  if (suffix == QLatin1String("json")) return QStringLiteral("json");
  if (suffix == QLatin1String("csv")) return QStringLiteral("csv");
  if (suffix == QLatin1String("txt") || suffix == QLatin1String("md") ||
      suffix == QLatin1String("markdown"))
    return QStringLiteral("text");
  return {};
}

// The mark captions a CSV header names, from the settings beside the program
// or the user's; empty when there are none.
std::array<QString, 4> MarkCaptions() {
  const TAppFolders folders = TAppFolders::ForProgram(QCoreApplication::applicationDirPath());
  TXMLParser settings;
  settings.Load(folders.SettingsFile().toUtf8().toStdString());
  std::array<QString, 4> captions;
  if (settings.Status != xsLoaded) return captions;
  const auto stored = ReadMarkCaptions(*settings.Root);
  for (std::size_t i = 0; i < captions.size(); ++i) captions[i] = ToUi(stored[i]);
  return captions;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  UseUtf8Console();
  TUtf8Arguments arguments;

  TOptions options;
  if (const std::string error = ParseArguments(arguments.Count(), arguments.Values(), options);
      !error.empty())
    return Fail(Say(res::ToolSeeHelp, Local(error)));
  if (options.Help) {
    std::fputs(Say(res::ImportToolUsage).c_str(), stdout);
    return 0;
  }
  const std::string& input = options.Files[0];
  const std::string& output = options.Files[1];
  const QString format = options.Format.isEmpty() ? FormatOf(Local(input)) : options.Format;
  if (format.isEmpty()) return Fail(Say(res::ImportToolUnknownFormat, Local(input)));
  // Refused before anything is read, and again by the writer at the end.
  if (QFileInfo::exists(Local(output))) return Fail(Say(res::ImportOutputExists, Local(output)));

  TImportedJournal journal;
  try {
    const std::string bytes = ReadImportFile(input);
    if (format == QLatin1String("json")) {
      journal = ImportJSON(bytes);
    } else if (format == QLatin1String("csv")) {
      const TCsvTable table = ReadCsv(bytes);
      const TCsvMapping mapping = GuessCsvMapping(table.Header, MarkCaptions());
      journal = BuildCsvJournal(table, mapping, QString::fromUtf8(res::ImportUndatedNight));
    } else {
      journal = BuildTextJournal(SplitTextDiary(bytes, QString::fromUtf8(res::ImportUndatedNight)));
    }
  } catch (const TImportError& error) {
    return Fail(Local(input).toStdString() + ": " + error.what());
  }
  try {
    WriteImportedJournal(journal, output, QFileInfo(Local(output)).absolutePath());
  } catch (const TXMLWriteError& error) {
    return Fail(Say(res::ToolCannotWrite, Local(output), Local(error.what())));
  }
  if (journal.Replaced > 0)
    std::fprintf(
        stderr, "somnary-import: %s\n",
        Say(res::ImportToolReplaced, Local(output), QString::number(journal.Replaced)).c_str());
  return 0;
}
