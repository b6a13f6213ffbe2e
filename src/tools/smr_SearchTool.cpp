// somnary-search: finds experiences in every journal of a library, with the
// search of the window, and prints one line per experience found; or prints
// the library's dream signs with their figures (--signs), or its most
// frequent words (--frequent N).
// Exit status as grep's: 0 found, 1 nothing found (no sign, no word), 2 bad
// arguments, a file that could not be read whole, or output that could not
// be written.

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QString>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "patterns/smr_DreamSigns.h"
#include "patterns/smr_PatternModel.h"
#include "patterns/smr_Patterns.h"
#include "search/smr_LibrarySearch.h"
#include "search/smr_SearchIndex.h"
#include "storage/smr_AppFolders.h"
#include "storage/smr_Cp1251.h"
#include "storage/smr_LoadProblem.h"
#include "storage/smr_Resources.h"
#include "storage/smr_StoredPath.h"
#include "storage/smr_TextEdge.h"
#include "storage/smr_Types.h"
#include "tools/smr_Console.h"
#include "tools/smr_ToolText.h"
#include "tools/smr_ToolUnlock.h"
#include "xml/xml_mainUnit.h"
#include "xml/xml_node.h"

namespace {

constexpr int ExitNothingFound = 1;
constexpr int ExitError = 2;

int Fail(const std::string& message) {
  std::fprintf(stderr, "somnary-search: %s\n", message.c_str());
  return ExitError;
}

// Energy as the window shows it, +1 .. -1, to a stored level (0 .. 200).
bool EnergyLevel(const std::string& text, bool upper, TSearchFilter& filter) {
  bool ok = false;
  const double value = Local(text).replace(u',', u'.').toDouble(&ok);
  // NaN would pass both bounds.
  if (!ok || !std::isfinite(value) || value < -1 || value > 1) return false;
  // "from E" is the lower energy: the higher stored level.
  const int level = static_cast<int>(std::lround(100 - value * 100));
  (upper ? filter.LowestLevel : filter.HighestLevel) = level;
  return true;
}

enum class TMode { Search, Signs, Frequent };

struct TOptions {
  TSearchFilter Filter;
  std::vector<std::string> Arguments;
  std::string PassphraseFile;
  bool Help = false;
  TMode Mode = TMode::Search;
  std::size_t Count = 0;    // of --frequent
  std::string FilterGiven;  // the first filter option, named when it does not apply
};

bool IsCount(const std::string& text, std::size_t& count) {
  const char* end = text.data() + text.size();
  const auto [last, error] = std::from_chars(text.data(), end, count);
  return !text.empty() && error == std::errc() && last == end && count > 0;
}

std::string ParseArguments(int argc, char** argv, TOptions& options) {
  bool onlyArguments = false;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (onlyArguments || argument.size() < 2 || argument[0] != '-' ||
        (argument[1] >= '0' && argument[1] <= '9')) {
      options.Arguments.push_back(argument);
      continue;
    }
    if (argument == "--") {
      onlyArguments = true;
    } else if (argument == "-h" || argument == "--help") {
      options.Help = true;
    } else if (argument == "--signs" || argument == "--frequent") {
      const TMode mode = argument == "--signs" ? TMode::Signs : TMode::Frequent;
      if (options.Mode != TMode::Search && options.Mode != mode)
        return Say(res::SearchToolSignsAndFrequent);
      options.Mode = mode;
      if (mode == TMode::Frequent) {
        if (i + 1 >= argc) return Say(res::ToolOptionNeedsValue, Local(argument));
        const std::string value = argv[++i];
        if (!IsCount(value, options.Count)) return Say(res::SearchToolBadCount, Local(value));
      }
    } else if (argument == "--plain" || argument == "--html") {
      if (options.FilterGiven.empty()) options.FilterGiven = argument;
      const TDescriptionKind kind =
          argument == "--plain" ? TDescriptionKind::Plain : TDescriptionKind::HTML;
      // Both together would find nothing; taking the last would hide the slip.
      if (options.Filter.Kind != TDescriptionKind::Any && options.Filter.Kind != kind)
        return Say(res::SearchToolPlainAndHTML);
      options.Filter.Kind = kind;
    } else if (argument == "--mark" || argument == "--energy-from" || argument == "--energy-to" ||
               argument == "--from" || argument == "--to" || argument == "--passphrase-file") {
      if (i + 1 >= argc) return Say(res::ToolOptionNeedsValue, Local(argument));
      const std::string value = argv[++i];
      if (argument != "--passphrase-file" && options.FilterGiven.empty())
        options.FilterGiven = argument;
      if (argument == "--passphrase-file") {
        options.PassphraseFile = value;
      } else if (argument == "--mark") {
        if (value.size() != 1 || value[0] < '1' || value[0] > '4')
          return Say(res::SearchToolBadMark, Local(value));
        options.Filter.Marks[static_cast<std::size_t>(value[0] - '1')] = true;
      } else if (argument == "--energy-from" || argument == "--energy-to") {
        if (!EnergyLevel(value, argument == "--energy-to", options.Filter))
          return Say(res::SearchToolBadEnergy, Local(value));
      } else {
        const int date = FilterDate(value);
        if (!date) return Say(res::SearchToolBadDate, Local(value));
        (argument == "--from" ? options.Filter.DateFrom : options.Filter.DateTo) = date;
      }
    } else {
      return Say(res::ToolUnknownOption, Local(argument));
    }
  }
  if (options.Help) return {};
  if (options.Mode == TMode::Search)
    return options.Arguments.size() == 2 ? std::string() : Say(res::SearchToolNeedsTwo);
  if (!options.FilterGiven.empty())
    return Say(res::SearchToolNoFilters,
               QLatin1String(options.Mode == TMode::Signs ? "--signs" : "--frequent"),
               Local(options.FilterGiven));
  return options.Arguments.size() == 1 ? std::string() : Say(res::SearchToolNeedsLibrary);
}

// One field of an output line: tabs and line breaks would split it.
std::string Field(const std::string& cp1251) {
  QString text = ToUi(cp1251);
  for (QChar& c : text)
    if (c == u'\t' || c == u'\r' || c == u'\n') c = u' ';
  return text.toUtf8().toStdString();
}

// Standard output with its first failure remembered: a line that could not
// be written must not end in a status that says all was printed.
class TOutput {
 public:
  void Print(const std::string& text) {
    if (FError) return;
    if (std::fputs(text.c_str(), stdout) == EOF) FError = errno;
  }
  // Flushes; returns the exit status given, or the error's when a write failed.
  int Finish(int status) {
    if (!FError && std::fflush(stdout) != 0) FError = errno;
    if (!FError && std::ferror(stdout)) FError = EIO;
    if (!FError) return status;
    return Fail(Say(res::SearchToolCannotWrite, QString::fromUtf8(std::strerror(FError))));
  }

 private:
  int FError = 0;
};

// Reads each journal of the library in tree order and hands it to f; a
// missing or unreadable one is told and skipped, one read in part is told
// and handed on. False when some journal was read in part.
template <typename F>
bool ForEachJournal(const TXMLNode& libraryRoot, const TStoredPaths& paths, F&& f) {
  bool whole = true;
  for (const TXMLNode* file : JournalFiles(libraryRoot)) {
    if (!file->HasAttribute(smr::atPath)) continue;
    const std::string path = paths.Resolve(file->GetAttribute(smr::atPath));
    TReadJournal read = ReadJournal(path);
    const QString name = ToUi(file->GetAttribute(smr::atName));
    if (read.Problem == TReadJournal::Missing) {
      std::fprintf(stderr, "somnary-search: %s\n",
                   Say(res::SearchJournalMissing, name, Local(path)).c_str());
      continue;
    }
    if (read.Problem == TReadJournal::Unreadable) {
      const QString text = QString::fromUtf8(res::SearchJournalUnreadable)
                               .arg(name, Local(path), Local(read.Reason));
      std::fprintf(stderr, "somnary-search: %s\n", text.toUtf8().constData());
      continue;
    }
    // What was read is used, but the status tells the rest was not.
    if (const QString problem = LoadProblem(*read.Document, path); !problem.isEmpty()) {
      std::fprintf(stderr, "somnary-search: %s\n", problem.toUtf8().constData());
      whole = false;
    }
    f(path, file, std::move(read.Document));
  }
  return whole;
}

// --signs and --frequent over every journal of the library, all read first;
// returns the exit status.
int PrintPatterns(const TOptions& options, const TXMLNode& root, const TStoredPaths& paths,
                  TSearchIndex& index, TOutput& output) {
  std::vector<std::unique_ptr<TXMLParser>> documents;
  std::vector<TPatternJournal> journals;
  bool whole = true;
  if (root.Name == smr::elJournal) {
    journals.push_back({nullptr, &root});
  } else {
    whole = ForEachJournal(
        root, paths,
        [&](const std::string&, const TXMLNode* file, std::unique_ptr<TXMLParser> document) {
          journals.push_back({file, document->Root.get()});
          documents.push_back(std::move(document));
        });
  }
  const TPatternModel model(index, journals);
  std::size_t lines = 0;
  if (options.Mode == TMode::Signs) {
    const std::vector<TDreamSign> signs = ReadDreamSigns(root);
    const std::vector<TSignFigures> table = SignTable(model, signs, index.Stemmer());
    const auto night = [](const TNightRef& ref) {
      return ref.Night ? Field(ref.Night->GetAttribute(smr::atName)) : std::string();
    };
    lines = signs.size();
    for (std::size_t i = 0; i < signs.size(); ++i) {
      const TSignFigures& f = table[i];
      output.Print(Field(signs[i].Text) + '\t' + Field(signs[i].Category) + '\t' +
                   std::to_string(f.Experiences) + '\t' + std::to_string(f.Lucid) + '\t' +
                   night(f.First) + '\t' + night(f.Last) + '\n');
    }
  } else {
    for (const TFrequentWord& word : FrequentWords(model, options.Count, {}, index.Stemmer())) {
      output.Print(Field(word.Word) + '\t' + std::to_string(word.Experiences) + '\n');
      ++lines;
    }
  }
  return !whole ? ExitError : lines ? 0 : ExitNothingFound;
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
  TOutput output;
  if (options.Help) {
    output.Print(Say(res::SearchToolUsage) + "\n");
    return output.Finish(0);
  }
  const std::string& libraryName = options.Arguments[0];
  if (const std::string problem = UnlockForTool(libraryName, options.PassphraseFile);
      !problem.empty())
    return Fail(problem);
  TXMLParser library;
  library.Load(libraryName);
  // A library read in part would search only some of its journals.
  if (const QString problem = LoadProblem(library, libraryName); !problem.isEmpty())
    return Fail(problem.toUtf8().toStdString());
  const std::string& rootName = library.Root->Name;
  if (rootName != smr::elLibrary && rootName != smr::elJournal)
    return Fail(Say(res::ToolNotADreamFile, Local(libraryName)));

  const QDir libraryDir = QFileInfo(Local(libraryName)).absoluteDir();
  // Stored paths lead where the window finds them.
  const TStoredPaths paths(
      libraryDir.absolutePath(),
      TAppFolders::ForProgram(QCoreApplication::applicationDirPath()).DocumentsDir());
  TSearchIndex index([&](const std::string& stored) { return paths.Resolve(stored); });
  if (options.Mode != TMode::Search)
    return output.Finish(PrintPatterns(options, *library.Root, paths, index, output));

  const TSearchQuery query(Utf8ToCp1251(Local(options.Arguments[1]).toStdString()), index.Stemmer(),
                           options.Filter);
  if (query.TooManyTerms())
    return Fail(Say(res::ToolSeeHelp,
                    QString::fromUtf8(res::SearchToolTooManyTerms).arg(TSearchQuery::MaxTerms)));
  std::size_t found = 0;
  auto search = [&](const std::string& path, const TXMLNode* file, const TXMLNode& root) {
    std::vector<TSearchHit> hits;
    index.Search(file, root, query, hits);
    for (const TSearchHit& hit : hits) {
      const TXMLNode& e = *hit.Experience;
      output.Print(
          path + '\t' + Field(hit.Night->GetAttribute(smr::atName)) + '\t' +
          (e.HasAttribute(smr::atNumber) ? Field(e.GetAttribute(smr::atNumber)) : std::string()) +
          '\t' +
          (e.HasAttribute(smr::atTitle) ? Field(e.GetAttribute(smr::atTitle)) : std::string()) +
          '\n');
    }
    found += hits.size();
  };
  bool readInPart = false;
  if (library.Root->Name == smr::elJournal) {
    search(libraryName, nullptr, *library.Root);
  } else {
    readInPart = !ForEachJournal(
        *library.Root, paths,
        [&](const std::string& path, const TXMLNode* file, std::unique_ptr<TXMLParser> document) {
          search(path, file, *document->Root);
          // The index is kept by root address, and the next
          // journal's root may be given this one's address once
          // this document is freed.
          index.Invalidate();
        });
  }
  return output.Finish(readInPart ? ExitError : found ? 0 : ExitNothingFound);
}
