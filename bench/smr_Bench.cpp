// Speed and memory figures of the program, with pugixml raced on the same
// files in the same run. Prints each figure as it is taken and a table at
// the end. Medians of several runs, so one disturbed run does not move them.
//
//   somnary_bench [--data DIR] [--quick] [--only
//   xml|sealed|export|select|statistics|startup|memory|search|patterns]
//
// DIR receives the generated files (default ./bench-data); --quick takes
// fewer runs and --only runs one group, both for profiling, not for figures.
#include <fcntl.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QWindow>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <pugixml.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "crypto/smr_Seal.h"
#include "export/smr_HTMLExporter.h"
#include "export/smr_JSONExporter.h"
#include "export/smr_TXTExporter.h"
#include "import/smr_JSONImport.h"
#include "mainwindow/smr_MainForm.h"
#include "patterns/smr_Patterns.h"
#include "patterns/smr_SignMatcher.h"
#include "search/smr_SearchIndex.h"
#include "smr_BenchData.h"
#include "storage/smr_Cp1251.h"
#include "storage/smr_Types.h"
#include "xml/xml_mainUnit.h"
#include "xml/xml_seal.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

template <typename F>
double TimeMs(F&& f) {
  const auto t0 = Clock::now();
  f();
  return Ms(t0, Clock::now());
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double MB(std::uint64_t bytes) { return static_cast<double>(bytes) / 1e6; }

double MBps(std::uint64_t bytes, double ms) { return ms > 0 ? MB(bytes) / (ms / 1e3) : 0; }

std::string Fixed(double v, int digits) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", digits, v);
  return buffer;
}

std::string LoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string a, b, c;
  in >> a >> b >> c;
  return a + " " + b + " " + c;
}

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "somnary_bench: %s\n", what.c_str());
  std::exit(1);
}

// One row of the closing table.
struct TRow {
  std::string Figure, Value, Goal, Verdict;
};
std::vector<TRow> Rows;

void Row(std::string figure, std::string value, std::string goal = "", int met = -1) {
  std::printf("  %-52s %s\n", figure.c_str(), value.c_str());
  std::fflush(stdout);
  Rows.push_back({std::move(figure), std::move(value), std::move(goal),
                  met < 0 ? "" : (met ? "met" : "MISSED")});
}

// Answers nothing and counts what was asked: a figure taken while the window
// asked a question would not be the figure of a plain selection.
class TBenchPrompts : public TPrompts {
 public:
  explicit TBenchPrompts(int* asked) : FAsked(asked) {}
  TNewElementAnswer NewElement(QWidget*, int, int, int) override {
    return Count(), TNewElementAnswer{};
  }
  TAuthorizationAnswer Authorization(QWidget*, int) override {
    return Count(), TAuthorizationAnswer{};
  }
  TPassphraseAnswer Passphrase(QWidget*, TPassphraseMode, const QString&, const QString&) override {
    return Count(), TPassphraseAnswer{};
  }
  TConfirmationAnswer Confirmation(QWidget*, const QString&) override {
    return Count(), TConfirmationAnswer{};
  }
  TImportAnswer ImportPreview(QWidget*, const TImportRequest&) override {
    return Count(), TImportAnswer{};
  }
  QString OpenFileName(QWidget*, TFileDialogState&) override { return Count(), QString(); }
  QString SaveFileName(QWidget*, TFileDialogState&) override { return Count(), QString(); }
  void Error(QWidget*, const QString&) override { Count(); }
  void Information(QWidget*, const QString&) override { Count(); }
  int Choose(QWidget*, const QString&, const QStringList&) override { return Count(), -1; }
  void About(QWidget*) override { Count(); }
  int Modal(QDialog&) override { return Count(), 0; }
  void ShellOpen(const QString&) override { Count(); }
  void OpenInBrowser(const QString&) override { Count(); }

 private:
  void Count() { ++*FAsked; }
  int* FAsked;
};

int CountElements(const TXMLNode& node, std::string_view name) {
  int n = node.Name == name;
  for (const auto& child : node.Children) n += CountElements(*child, name);
  return n;
}

int CountPugi(const pugi::xml_node& node, const char* name) {
  int n = 0;
  for (pugi::xml_node e = node.first_child(); e; e = e.next_sibling())
    n += (std::strcmp(e.name(), name) == 0) + CountPugi(e, name);
  return n;
}

struct TSettings {
  std::string Data;
  bool Quick = false;
  std::string Only;  // empty: every group
  std::string ExeDir;
  bool Runs(const char* group) const { return Only.empty() || Only == group; }
};

// ---------------------------------------------------------------- XML

std::string RunChild(const std::vector<std::string>& args, const std::string& workDir);

// Writes the bytes with plain system calls into a new file (as the atomic
// save does), optionally flushed to the disk.
void WritePlain(const std::string& file, const std::string& bytes, bool flush) {
  unlink(file.c_str());
  const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) Fail("cannot write " + file);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) Fail("cannot write " + file);
    done += static_cast<std::size_t>(n);
  }
  if (flush) fdatasync(fd);
  close(fd);
}

// Saves with pugixml as durably as the program does: a temporary file,
// flushed to the disk, renamed over the old one, the folder flushed.
void SavePugiDurably(const pugi::xml_document& document, const std::string& file) {
  const std::string temporary = file + ".tmp";
  FILE* out = std::fopen(temporary.c_str(), "wb");
  if (!out) Fail("cannot write " + temporary);
  pugi::xml_writer_file writer(out);
  document.save(writer);
  if (std::fflush(out) != 0 || fsync(fileno(out)) != 0 || std::fclose(out) != 0)
    Fail("cannot write " + temporary);
  if (std::rename(temporary.c_str(), file.c_str()) != 0) Fail("cannot rename " + temporary);
  const int folder = open(fs::path(file).parent_path().c_str(), O_RDONLY | O_DIRECTORY);
  if (folder < 0 || fsync(folder) != 0) Fail("cannot flush the folder of " + file);
  close(folder);
}

// One load in a fresh helper process: time in ms, resident bytes before,
// peak and after, and the time in ms to free the document.
std::array<double, 5> LoadInHelper(const TSettings& s, const char* reader,
                                   const std::string& file) {
  std::istringstream line(RunChild({s.ExeDir + "/somnary_bench_load", reader, file}, ""));
  std::array<double, 5> figures{};
  for (double& f : figures)
    if (!(line >> f)) Fail("somnary_bench_load gave no figures");
  return figures;
}

void BenchXml(const TSettings& s, const std::string& file, int experiences, int runs) {
  const std::uint64_t size = fs::file_size(file);
  const std::string label =
      std::to_string(experiences) + " experiences (" + Fixed(MB(size), 1) + " MB)";
  // Each load in a fresh process, as the program reads a journal the first
  // time; alternating, so both readers see the same machine load.
  std::vector<double> fresh, pfresh, freed, pfreed;
  for (int i = 0; i < runs; ++i) {
    const auto ours = LoadInHelper(s, "somnary", file);
    const auto theirs = LoadInHelper(s, "pugixml", file);
    fresh.push_back(ours[0]), freed.push_back(ours[4]);
    pfresh.push_back(theirs[0]), pfreed.push_back(theirs[4]);
  }
  // The same again in this one long-lived process, where memory freed by
  // the previous run may be reused: the parse itself more than the pages.
  std::vector<double> ours, pugi, oursFree, pugiFree;
  for (int i = 0; i < runs; ++i) {
    {
      auto document = std::make_unique<TXMLParser>();
      ours.push_back(TimeMs([&] { document->Load(file); }));
      if (document->Status != xsLoaded)
        Fail("Load status " + std::to_string(document->Status) + " on " + file);
      if (i == 0 && CountElements(*document->Root, smr::elExperience) != experiences)
        Fail("wrong experience count after Load of " + file);
      oursFree.push_back(TimeMs([&] { document.reset(); }));
    }
    {
      auto document = std::make_unique<pugi::xml_document>();
      pugi::xml_parse_result result;
      pugi.push_back(TimeMs([&] { result = document->load_file(file.c_str()); }));
      if (!result) Fail(std::string("pugixml: ") + result.description());
      if (i == 0 && CountPugi(*document, "experience") != experiences)
        Fail("pugixml: wrong experience count");
      pugiFree.push_back(TimeMs([&] { document.reset(); }));
    }
  }
  const double o = Median(fresh), p = Median(pfresh);
  Row("Load, " + label, Fixed(MBps(size, o), 0) + " MB/s (" + Fixed(o, 1) + " ms)");
  Row("  pugixml load_file, same file", Fixed(MBps(size, p), 0) + " MB/s (" + Fixed(p, 1) + " ms)");
  Row("  Load time / pugixml time", Fixed(o / p, 2), "<= 0.8", o <= 0.8 * p);
  // Freeing as at exit, in the same fresh processes; the goal is for the
  // biggest journal.
  const double f = Median(freed);
  Row("  Freeing the loaded document",
      Fixed(f, 1) + " ms (pugixml " + Fixed(Median(pfreed), 1) + " ms)",
      experiences >= 50000 ? "< 10 ms" : "", experiences >= 50000 ? f < 10 : -1);
  const double r = Median(ours), rp = Median(pugi);
  Row("  Load time / pugixml time, repeated in one process", Fixed(r / rp, 2), "<= 0.8",
      r <= 0.8 * rp);
  std::printf(
      "    (repeated in one process: ours %.1f ms, pugixml %.1f ms;\n"
      "     freeing the tree there: ours %.1f ms, pugixml %.1f ms, not in the figures)\n",
      Median(ours), Median(pugi), Median(oursFree), Median(pugiFree));

  TXMLParser document;
  document.Load(file);
  pugi::xml_document pdoc;
  pdoc.load_file(file.c_str());
  const std::string outOurs = s.Data + "/save_ours.xml", outPugi = s.Data + "/save_pugixml.xml";
  std::vector<double> save, psave, pdurable, text, plain, flushed;
  std::size_t bytes = 0;
  const std::string outPlain = s.Data + "/save_plain.xml";
  for (int i = 0; i < runs; ++i) {
    save.push_back(TimeMs([&] { document.Save(outOurs); }));
    psave.push_back(TimeMs([&] {
      if (!pdoc.save_file(outPugi.c_str())) Fail("pugixml save_file failed");
    }));
    pdurable.push_back(TimeMs([&] { SavePugiDurably(pdoc, outPugi); }));
    std::string written;
    text.push_back(TimeMs([&] { written = document.SaveToText(); }));
    bytes = written.size();
    // What the disk adds: the same bytes written plainly, then flushed.
    plain.push_back(TimeMs([&] { WritePlain(outPlain, written, false); }));
    flushed.push_back(TimeMs([&] { WritePlain(outPlain, written, true); }));
  }
  const double so = Median(save), sp = Median(psave), sd = Median(pdurable);
  const std::uint64_t pbytes = fs::file_size(outPugi);
  Row("Save, " + label, Fixed(MBps(bytes, so), 0) + " MB/s (" + Fixed(so, 1) + " ms)");
  Row("  pugixml save_file, same tree",
      Fixed(MBps(pbytes, sp), 0) + " MB/s (" + Fixed(sp, 1) + " ms)");
  Row("  Save time / pugixml time", Fixed(so / sp, 2));
  Row("  pugixml, temporary file flushed and renamed",
      Fixed(MBps(pbytes, sd), 0) + " MB/s (" + Fixed(sd, 1) + " ms)");
  Row("  Save time / durable pugixml time", Fixed(so / sd, 2), "<= 1.0", so <= sd);
  std::printf(
      "    (the whole text built in memory alone: %.1f ms; the same bytes written with write(): "
      "%.1f ms,\n"
      "     with write() and fdatasync(), as the atomic save does: %.1f ms)\n",
      Median(text), Median(plain), Median(flushed));
}

// ---------------------------------------------------------------- sealed

// Opening an encrypted journal: the key once, then each load opens the
// container in memory before parsing.
void BenchSealed(const TSettings& s, const std::string& file, int runs) {
  std::shared_ptr<const TSealKey> key;
  const double derive =
      TimeMs([&] { key = TSealKey::Derive("bench passphrase", TSealKey::NewSalt()); });
  if (!key) Fail("no key derived");
  const auto ring = std::make_shared<TSealKeyring>(key);
  std::string text;
  if (!ReadWholeFile(file, text)) Fail("cannot read " + file);
  const std::string sealedFile = s.Data + "/sealed_10000.xml";
  WriteDocumentFile(
      sealedFile, [&text](const TByteSink& sink) { sink(text); }, ring.get());
  std::vector<double> plain, sealed;
  for (int i = 0; i < runs; ++i) {
    plain.push_back(TimeMs([&] {
      TXMLParser document;
      document.Load(file);
    }));
    SetDocumentSeal(ring);
    sealed.push_back(TimeMs([&] {
      TXMLParser document;
      document.Load(sealedFile);
      if (document.Status != xsLoaded) Fail("sealed load failed");
    }));
    SetDocumentSeal(nullptr);
  }
  const double p = Median(plain), e = Median(sealed);
  Row("Key derivation (Argon2id, 64 MiB, 3 passes)", Fixed(derive, 0) + " ms");
  Row("Load of the sealed 10,000 journal", Fixed(e, 1) + " ms (plain " + Fixed(p, 1) + " ms)");
  Row("  Sealed load / plain load", Fixed(e / p, 2), "<= 1.3", e <= 1.3 * p);
}

// ---------------------------------------------------------------- export

void BenchExport(const TSettings& s, const std::string& file, int runs) {
  TXMLParser document;
  document.Load(file);
  const std::uint64_t input = fs::file_size(file);
  // goalMs 0: a figure without a goal.
  auto bench = [&](TExporter& exporter, const char* name, const std::string& out, int goalMs) {
    exporter.Label1Caption = Utf8ToCp1251("Осознанный сон");
    exporter.Label2Caption = Utf8ToCp1251("Астральная проекция");
    exporter.Label3Caption = Utf8ToCp1251("Выход из тела");
    exporter.Label4Caption = Utf8ToCp1251("Другой опыт");
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
      times.push_back(TimeMs([&] { exporter.ExportToFile(document.Root.get(), out); }));
    const double t = Median(times);
    const std::uint64_t size = fs::file_size(out);
    Row(std::string(name) + " export of 50,000 experiences",
        Fixed(MBps(size, t), 0) + " MB/s written (" + Fixed(t, 1) + " ms, " + Fixed(MB(size), 1) +
            " MB; " + Fixed(MBps(input, t), 0) + " MB/s of journal)",
        goalMs ? "< " + std::to_string(goalMs) + " ms" : "", goalMs ? t < goalMs : -1);
    if (!goalMs) return;
    // What the disk alone takes for the same bytes, over an old file as the export's is.
    std::string bytes;
    if (!ReadWholeFile(out, bytes)) Fail("cannot read " + out);
    const std::string plain = out + ".plain";
    WritePlain(plain, bytes, true);
    std::vector<double> disk;
    for (int i = 0; i < runs; ++i) disk.push_back(TimeMs([&] { WritePlain(plain, bytes, true); }));
    std::printf("    (the same bytes written with write() and fdatasync() alone: %.1f ms)\n",
                Median(disk));
  };
  THTMLExporter html;
  bench(html, "HTML", s.Data + "/export.html", 300);
  TTXTExporter txt;
  bench(txt, "Text", s.Data + "/export.txt", 0);

  // The JSON round: the export, then its import and the journal's text.
  TJSONExporter json;
  json.Prolog = &document.Parameters;
  const std::string jsonFile = s.Data + "/export.json";
  std::vector<double> exports, imports;
  for (int i = 0; i < runs; ++i) {
    exports.push_back(TimeMs([&] { json.ExportToFile(document.Root.get(), jsonFile); }));
    // Past the import's size cap: the JSON of Cyrillic text is about twice the journal.
    std::string text;
    if (!ReadWholeFile(jsonFile, text)) Fail("cannot read " + jsonFile);
    std::string journal;
    imports.push_back(TimeMs([&] { journal = ImportJSON(text).Document->SaveToText(); }));
    if (i == 0 && journal != document.SaveToText())
      Fail("the JSON import differs from the journal");
  }
  const double e = Median(exports), m = Median(imports);
  const std::uint64_t size = fs::file_size(jsonFile);
  Row("JSON export of 50,000 experiences",
      Fixed(e, 1) + " ms (" + Fixed(MB(size), 1) + " MB, " + Fixed(MBps(size, e), 0) + " MB/s)",
      "< 1.5 s", e < 1500);
  Row("JSON import of it (ImportJSON + SaveToText)",
      Fixed(m, 1) + " ms (" + Fixed(MBps(size, m), 0) + " MB/s)", "< 1.5 s", m < 1500);
}

// ---------------------------------------------------------------- main window

void CopyResources(const std::string& to) {
  fs::remove_all(to);
  fs::create_directories(to);
  fs::copy(SOMNARY_RESOURCES, to,
           fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

void SetLibraryPath(const std::string& programDir, const std::string& library) {
  TXMLParser settings;
  settings.Load(programDir + "/dreams.ini");
  if (settings.Status != xsLoaded) Fail("cannot read the copied dreams.ini");
  TXMLNode* element = settings.FindNode(smr::elSettingsLibrary);
  if (!element) Fail("dreams.ini names no library");
  element->SetAttribute(smr::atPath, library);
  settings.Save(programDir + "/dreams.ini");
}

QTreeWidgetItem* FindFileItem(QTreeWidget* tree, const std::string& path) {
  for (QTreeWidgetItemIterator it(tree); *it; ++it) {
    const TXMLNode* element = Tfrm_MainForm::ElementOf(*it);
    if (element && element->Name == smr::elFile && element->GetAttribute(smr::atPath) == path)
      return *it;
  }
  return nullptr;
}

void WaitExposed(QWidget& window) {
  const auto until = Clock::now() + std::chrono::seconds(10);
  while (!(window.windowHandle() && window.windowHandle()->isExposed())) {
    if (Clock::now() > until) Fail("the window was never exposed");
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  QCoreApplication::processEvents();
}

void BenchSelect(const TSettings& s, const TBenchLibrary& library, const std::string& bigJournal,
                 int runs) {
  const std::string programDir = s.Data + "/program-select";
  CopyResources(programDir);
  fs::remove_all(programDir + "/sample");
  SetLibraryPath(programDir, library.LibraryFile);
  // The window writes everything back when it goes (the journal in its read
  // form, the library with the journal marked default): each run starts
  // from the files as generated.
  const std::string pristineLibrary = library.LibraryFile + ".pristine";
  const std::string pristineJournal = bigJournal + ".pristine";
  const std::string settings = programDir + "/dreams.ini",
                    pristineSettings = settings + ".pristine";
  fs::copy_file(library.LibraryFile, pristineLibrary, fs::copy_options::overwrite_existing);
  fs::copy_file(bigJournal, pristineJournal, fs::copy_options::overwrite_existing);
  fs::copy_file(settings, pristineSettings, fs::copy_options::overwrite_existing);

  std::vector<double> select, painted, open;
  bool graphsShown = false;
  for (int i = 0; i < runs + 1; ++i) {  // the first run warms caches and is dropped
    fs::copy_file(pristineLibrary, library.LibraryFile, fs::copy_options::overwrite_existing);
    fs::copy_file(pristineJournal, bigJournal, fs::copy_options::overwrite_existing);
    fs::copy_file(pristineSettings, settings, fs::copy_options::overwrite_existing);
    int asked = 0;
    double tOpen = 0;
    std::unique_ptr<Tfrm_MainForm> window;
    tOpen = TimeMs([&] {
      window = std::make_unique<Tfrm_MainForm>(QString::fromStdString(programDir),
                                               std::make_unique<TBenchPrompts>(&asked));
    });
    window->show();
    WaitExposed(*window);
    QTreeWidgetItem* item = FindFileItem(window->tre_Directory, bigJournal);
    if (!item) Fail("the 10,000-experience journal is not in the tree");
    const auto t0 = Clock::now();
    window->tre_Directory->setCurrentItem(item);
    const auto t1 = Clock::now();
    QCoreApplication::processEvents();  // layout and paint of the grown tree
    const auto t2 = Clock::now();
    if (asked) Fail("the window asked a question while the journal was selected");
    if (Tfrm_MainForm::CountExperiences(Tfrm_MainForm::ElementOf(item)) != 10000 ||
        item->childCount() == 0)
      Fail("the journal did not open with its 10,000 experiences");
    graphsShown = window->pnl_Statistics->btn_Copy[1]->isVisible();
    if (i > 0) {
      select.push_back(Ms(t0, t1));
      painted.push_back(Ms(t0, t2));
      open.push_back(tOpen);
    }
    window.reset();
  }
  const double total = Median(painted);
  if (!graphsShown) Fail("the journal's graphs were not shown");
  Row("Select journal of 10,000 experiences (graphs included, until painted)",
      Fixed(total, 0) + " ms", "< 250 ms", total < 250);
  std::printf(
      "    (selection handler %.0f ms, then layout and paint %.0f ms; opening the window on the\n"
      "     20-journal library took %.0f ms)\n",
      Median(select), total - Median(select), Median(open));
}

// The 20 journals of the benchmark library side by side in one catalogue,
// so that its statistics read every one of them; written beside the library.
std::string WriteFlatLibrary(const TBenchLibrary& library) {
  TXMLParser document;
  document.Load(library.LibraryFile);
  if (document.Status != xsLoaded) Fail("cannot read the benchmark library");
  TXMLNode* root = document.Root.get();
  // A journal may stand in a library once, so the nested tree goes.
  for (int i = root->ChildCount() - 1; i >= 0; --i) {
    const TXMLNode* child = root->Child(i);
    if (child->Name == smr::elDirectory || child->Name == smr::elFile) root->DeleteChild(i);
  }
  auto* all = root->AddChild(std::make_unique<TXMLNode>(std::string(smr::elDirectory), nkElement));
  all->SetAttribute(smr::atName, "All");
  all->SetLevel(root->Level + 1);
  for (const std::string& path : library.JournalFiles) {
    auto* file =
        all->AddChild(std::make_unique<TXMLNode>(std::string(smr::elFile), nkEmptyElement));
    file->SetAttribute(smr::atName, fs::path(path).stem().string());
    file->SetAttribute(smr::atPath, path);
    file->SetLevel(all->Level + 1);
  }
  const std::string flat = fs::path(library.LibraryFile).parent_path().string() + "/flat.xml";
  document.Save(flat);
  return flat;
}

double SelectUntilPainted(Tfrm_MainForm& window, QTreeWidgetItem* item) {
  return TimeMs([&] {
    window.tre_Directory->setCurrentItem(item);
    QCoreApplication::processEvents();
  });
}

void BenchStatistics(const TSettings& s, const TBenchLibrary& library, int runs) {
  const std::string programDir = s.Data + "/program-statistics";
  CopyResources(programDir);
  fs::remove_all(programDir + "/sample");
  const std::string flat = WriteFlatLibrary(library), pristine = flat + ".pristine";
  fs::copy_file(flat, pristine, fs::copy_options::overwrite_existing);
  SetLibraryPath(programDir, flat);

  std::vector<double> first, cached, night;
  for (int i = 0; i < runs + 1; ++i) {  // the first run warms caches and is dropped
    fs::copy_file(pristine, flat, fs::copy_options::overwrite_existing);
    int asked = 0;
    Tfrm_MainForm window(QString::fromStdString(programDir),
                         std::make_unique<TBenchPrompts>(&asked));
    window.show();
    WaitExposed(window);
    QTreeWidgetItem* root = window.tre_Directory->topLevelItem(0);
    QTreeWidgetItem* all = root->child(root->childCount() - 1);
    if (window.Journals().Count() != 0) Fail("a journal was open before the catalogue");
    const double tFirst = SelectUntilPainted(window, all);
    if (window.Journals().Count() != 20 || !window.pnl_Statistics->btn_Copy[2]->isVisible())
      Fail("the catalogue's statistics did not read its 20 journals");
    SelectUntilPainted(window, root);
    const double tCached = SelectUntilPainted(window, all);
    // Nights of the big journal, opened for the catalogue above.
    QTreeWidgetItem* journal = nullptr;
    for (int j = 0; j < all->childCount() && !journal; ++j)
      if (Tfrm_MainForm::CountExperiences(Tfrm_MainForm::ElementOf(all->child(j))) == 10000)
        journal = all->child(j);
    if (!journal || journal->childCount() < 10) Fail("the 10,000 journal has no nights");
    std::vector<double> nights;
    for (int n = 0; n < 9; ++n)
      nights.push_back(SelectUntilPainted(window, journal->child(n * journal->childCount() / 9)));
    if (asked || !window.pnl_Statistics->btn_Copy[0]->isVisible())
      Fail("a night's graph was not shown");
    if (i > 0) {
      first.push_back(tFirst);
      cached.push_back(tCached);
      night.push_back(Median(nights));
    }
  }
  Row("Select catalogue of 20 journals, first time (read from disk, until painted)",
      Fixed(Median(first), 0) + " ms", "< 1 s", Median(first) < 1000);
  Row("Select the same catalogue again (cached, until painted)", Fixed(Median(cached), 1) + " ms",
      "< 20 ms", Median(cached) < 20);
  Row("Select a night of the 10,000 journal (graph until painted)", Fixed(Median(night), 1) + " ms",
      "< 10 ms", Median(night) < 10);
}

// ---------------------------------------------------------------- search

// The search of the 50,000 journal once it is loaded: the first query builds
// the journal's index; then a query typed key by key, each key a new search.
// The thread's CPU time is taken beside the wall time: on a busy machine it
// tells what the search costs apart from waiting for a core.
double ThreadCpuMs() {
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

template <typename F>
double TimeCpuMs(F&& f, std::vector<double>& cpu) {
  const double c0 = ThreadCpuMs();
  const double wall = TimeMs(std::forward<F>(f));
  cpu.push_back(ThreadCpuMs() - c0);
  return wall;
}

std::string WallAndCpu(const std::vector<double>& wall, const std::vector<double>& cpu) {
  return Fixed(Median(wall), 1) + " ms (CPU " + Fixed(Median(cpu), 1) + " ms)";
}

void BenchSearch(const std::string& file, int runs) {
  TXMLParser document;
  document.Load(file);
  if (document.Status != xsLoaded) Fail("cannot read " + file);
  const std::string typed = Utf8ToCp1251("полёт над \"тёмный лес\" море");
  const auto resolve = [](const std::string& stored) { return stored; };
  std::vector<double> first, firstCpu, build, buildCpu, keys, keysCpu, worst;
  std::size_t hits = 0, bytes = 0;
  for (int i = 0; i < runs; ++i) {
    TSearchIndex index(resolve);
    std::vector<TSearchHit> found;
    const TSearchQuery one(typed.substr(0, 1), index.Stemmer());
    first.push_back(
        TimeCpuMs([&] { index.Search(nullptr, *document.Root, one, found); }, firstCpu));
    build.push_back(
        TimeCpuMs([&] { bytes = TJournalIndex(*document.Root, index.HTML()).Bytes(); }, buildCpu));
    std::vector<double> run;
    for (std::size_t n = 2; n <= typed.size(); ++n) {
      run.push_back(TimeCpuMs(
          [&] {
            found.clear();
            const TSearchQuery query(typed.substr(0, n), index.Stemmer());
            index.Search(nullptr, *document.Root, query, found);
          },
          keysCpu));
    }
    hits = found.size();
    worst.push_back(*std::max_element(run.begin(), run.end()));
    keys.insert(keys.end(), run.begin(), run.end());
  }
  Row("Search 50,000 experiences, first query (index built)", WallAndCpu(first, firstCpu),
      "< 100 ms", Median(first) < 100);
  Row("Search, each further key typed (median of " + std::to_string(keys.size()) + ")",
      WallAndCpu(keys, keysCpu), "< 30 ms", Median(keys) < 30);
  Row("Search, slowest key typed (median over runs)", Fixed(Median(worst), 1) + " ms", "< 30 ms",
      Median(worst) < 30);
  std::printf("    (index alone %s, %.1f MB of folded text; the whole query found %zu)\n",
              WallAndCpu(build, buildCpu).c_str(), MB(bytes), hits);

  // Filters alone, and a common word found nearly everywhere.
  TSearchIndex index(resolve);
  std::vector<TSearchHit> found;
  index.Search(nullptr, *document.Root, TSearchQuery(Utf8ToCp1251("сон"), index.Stemmer()), found);
  TSearchFilter filter;
  filter.Marks[0] = true;
  filter.DateFrom = 20050101;
  std::vector<double> common, commonCpu, filtered, filteredCpu;
  std::size_t commonHits = 0, filteredHits = 0;
  for (int i = 0; i < runs; ++i) {
    found.clear();
    common.push_back(TimeCpuMs(
        [&] {
          index.Search(nullptr, *document.Root, TSearchQuery(Utf8ToCp1251("сон"), index.Stemmer()),
                       found);
        },
        commonCpu));
    commonHits = found.size();
    found.clear();
    filtered.push_back(TimeCpuMs(
        [&] {
          index.Search(nullptr, *document.Root, TSearchQuery("", index.Stemmer(), filter), found);
        },
        filteredCpu));
    filteredHits = found.size();
  }
  Row("Search, a word in most experiences (" + std::to_string(commonHits) + " found)",
      WallAndCpu(common, commonCpu), "< 30 ms", Median(common) < 30);
  Row("Search, filters alone (" + std::to_string(filteredHits) + " found)",
      WallAndCpu(filtered, filteredCpu), "< 30 ms", Median(filtered) < 30);
}

// ---------------------------------------------------------------- patterns

// The patterns view of the 50,000 journal once the search has indexed it:
// the model of its words, the calendar and the table of 30 signs; then the
// highlighter's matcher over a long description.
void BenchPatterns(const std::string& file, int runs) {
  TXMLParser document;
  document.Load(file);
  if (document.Status != xsLoaded) Fail("cannot read " + file);
  std::vector<TDreamSign> signs;
  for (const char* text :
       {"полёт",  "лестница", "зеркало",    "дверь",          "море",         "кошка",
        "лечу",   "падаю",    "тёмный лес", "\"старый дом\"", "туман",        "луна",
        "поезд",  "вокзал",   "мост",       "река",           "голос",        "ключ",
        "часы",   "экзамен",  "школа",      "больница",       "лифт",         "самолёт",
        "пещера", "бабушка",  "учитель",    "страх",          "осознанность", "незнакомец"})
    signs.push_back({Utf8ToCp1251(text), {}});
  const auto resolve = [](const std::string& stored) { return stored; };
  TSearchIndex index(resolve);
  index.Journal(*document.Root);
  const std::vector<TPatternJournal> journals{{nullptr, document.Root.get()}};
  std::vector<double> model, calendar, table, frequent, total;
  std::size_t nights = 0, stems = 0;
  int found = 0;
  for (int i = 0; i < runs; ++i) {
    std::unique_ptr<TPatternModel> built;
    model.push_back(TimeMs([&] { built = std::make_unique<TPatternModel>(index, journals); }));
    calendar.push_back(TimeMs([&] { nights = MakeCalendar(*built, 20250101).Days.size(); }));
    table.push_back(TimeMs([&] {
      found = 0;
      for (const TSignFigures& f : SignTable(*built, signs, index.Stemmer()))
        found += f.Experiences;
    }));
    frequent.push_back(TimeMs([&] { FrequentWords(*built, 20, signs, index.Stemmer()); }));
    total.push_back(model.back() + calendar.back() + table.back());
    stems = built->Stems().size();
  }
  Row("Patterns of 50,000 experiences: model, calendar, 30 signs", Fixed(Median(total), 1) + " ms",
      "< 200 ms", Median(total) < 200);
  std::printf(
      "    (model %.1f ms, %zu stems; calendar %.1f ms, %zu days; signs %.1f ms, %d found; "
      "20 suggestions %.1f ms)\n",
      Median(model), stems, Median(calendar), nights, Median(table), found, Median(frequent));

  // A description of about 2,000 characters, as the highlighter sees it line by line.
  const TSignMatcher matcher(signs, index.Stemmer());
  const TXMLNode* longest = nullptr;
  std::size_t length = 0;
  for (const auto& day : document.Root->Children)
    for (const auto& experience : day->Children)
      if (const TXMLNode* description = experience->FindNode(smr::elDescription))
        if (description->FirstText().size() > length && description->FirstText().size() <= 2000)
          length = description->FirstText().size(), longest = description;
  if (!longest) return;
  const QString text = QString::fromStdString(Cp1251ToUtf8(longest->FirstText()));
  std::vector<double> keys;
  std::size_t spans = 0;
  for (int i = 0; i < 100 * runs; ++i)
    keys.push_back(TimeMs([&] {
      spans = 0;
      for (const QString& line : text.split(u'\n')) spans += matcher.Find(line).size();
    }));
  Row("Signs found in a " + std::to_string(text.size()) + "-character description (30 signs)",
      Fixed(Median(keys), 3) + " ms", "< 5 ms", Median(keys) < 5);
  std::printf("    (%zu spans)\n", spans);
}

// ---------------------------------------------------------------- child processes

std::int64_t MonotonicNs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// Runs a helper with the working directory given; returns its first output line.
std::string RunChild(const std::vector<std::string>& args, const std::string& workDir) {
  int fds[2];
  if (pipe(fds) != 0) Fail("pipe");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  posix_spawn_file_actions_addclose(&actions, fds[1]);
  if (!workDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
    Fail("cannot start " + args[0]);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  std::string out;
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(fds[0], buffer, sizeof buffer);
    if (n <= 0) break;
    out.append(buffer, static_cast<std::size_t>(n));
    if (out.find('\n') != std::string::npos) break;
  }
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) Fail(args[0] + " failed: " + out);
  return out.substr(0, out.find('\n'));
}

struct TStartup {
  double Loaded, App, Built, Shown;
  int Journals;  // read by the time of the paint
};

// Start-ups in fresh processes, `prepare` run before each.
TStartup StartupRuns(const TSettings& s, const std::string& programDir, int runs,
                     const std::function<void()>& prepare) {
  std::vector<double> shown, loaded, app, built;
  int journals = 0;
  for (int i = 0; i < runs + 1; ++i) {  // the first run warms caches and is dropped
    prepare();
    const std::int64_t spawn = MonotonicNs();
    std::istringstream line(RunChild(
        {s.ExeDir + "/somnary_bench_startup", std::to_string(spawn), programDir}, programDir));
    double m = 0, a = 0, b = 0, p = 0;
    if (!(line >> m >> a >> b >> p >> journals)) Fail("somnary_bench_startup gave no figures");
    if (i > 0) {
      loaded.push_back(m), app.push_back(a), built.push_back(b), shown.push_back(p);
    }
  }
  return {Median(loaded), Median(app), Median(built), Median(shown), journals};
}

void PrintStartup(const TStartup& t) {
  std::printf(
      "    (program loaded and in main at %.0f ms, application object at %.0f ms,\n"
      "     window built with settings, library and default journal at %.0f ms, painted at %.0f "
      "ms)\n",
      t.Loaded, t.App, t.Built, t.Shown);
}

void BenchStartup(const TSettings& s, const TBenchLibrary& library, int runs) {
  const std::string programDir = s.Data + "/program-startup";
  const TStartup sample = StartupRuns(s, programDir, runs, [&] { CopyResources(programDir); });
  Row("Start-up to the shown window, sample library", Fixed(sample.Shown, 0) + " ms", "< 300 ms",
      sample.Shown < 300);
  PrintStartup(sample);

  // The library of 100 journals: the window reads its default journal and
  // writes it back as it goes, so each run starts from the files as generated.
  const std::string bigDir = s.Data + "/program-startup-100";
  CopyResources(bigDir);
  fs::remove_all(bigDir + "/sample");
  SetLibraryPath(bigDir, library.LibraryFile);
  std::vector<std::string> files = {library.LibraryFile, bigDir + "/dreams.ini"};
  for (const std::string& journal : library.JournalFiles)
    if (journal.find("default") != std::string::npos) files.push_back(journal);
  for (const std::string& f : files)
    fs::copy_file(f, f + ".pristine", fs::copy_options::overwrite_existing);
  const TStartup big = StartupRuns(s, bigDir, runs, [&] {
    for (const std::string& f : files)
      fs::copy_file(f + ".pristine", f, fs::copy_options::overwrite_existing);
  });
  if (big.Journals != 1) Fail("the start-up read " + std::to_string(big.Journals) + " journals");
  Row("Start-up to the painted window, 100 journals, default of 10,000",
      Fixed(big.Shown, 0) + " ms", "< 200 ms", big.Shown < 200);
  PrintStartup(big);
}

double ResidentBytes() {
  long pages = 0, resident = 0;
  if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
  }
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// The search over a library of many short journals: each index holds its
// folded text and little else.
void BenchSearchMemory() {
  constexpr int kJournals = 500;
  std::vector<std::unique_ptr<TXMLParser>> journals;
  for (int i = 0; i < kJournals; ++i) {
    journals.push_back(std::make_unique<TXMLParser>());
    MakeJournal(*journals.back(), 20, static_cast<std::uint64_t>(i));
  }
  const auto resolve = [](const std::string& stored) { return stored; };
  TSearchIndex search(resolve);
  std::vector<std::unique_ptr<TJournalIndex>> indexes;
  double text = 0;
  // Freed heap pages go back first, so that what the indexes take shows.
  malloc_trim(0);
  const double before = ResidentBytes();
  for (const auto& journal : journals) {
    indexes.push_back(std::make_unique<TJournalIndex>(*journal->Root, search.HTML()));
    text += static_cast<double>(indexes.back()->Bytes());
  }
  const double held = ResidentBytes() - before;
  const double goal = 2 * text + 20e6;
  Row("Search memory, 500 short journals indexed", Fixed(held / 1e6, 1) + " MB",
      "< " + Fixed(goal / 1e6, 1) + " MB", held < goal);
  std::printf("    (%.1f MB of folded text)\n", text / 1e6);
}

void BenchMemory(const TSettings& s, const std::string& file) {
  const auto size = static_cast<double>(fs::file_size(file));
  const auto ours = LoadInHelper(s, "somnary", file);
  const auto pugi = LoadInHelper(s, "pugixml", file);
  const double multiple = (ours[2] - ours[1]) / size;
  Row("Peak memory, journal of 50,000 (" + Fixed(size / 1e6, 1) + " MB) loaded",
      Fixed(multiple, 2) + " x file size", "<= 1.5 x", multiple <= 1.5);
  std::printf(
      "    (process peak %.1f MB of which %.1f MB before loading; %.1f MB resident once loaded;\n"
      "     pugixml in the same helper: %.2f x, process peak %.1f MB)\n",
      ours[2] / 1e6, ours[1] / 1e6, ours[3] / 1e6, (pugi[2] - pugi[1]) / size, pugi[2] / 1e6);
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  TSettings s;
  s.Data = "bench-data";
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--data" && i + 1 < argc)
      s.Data = argv[++i];
    else if (a == "--quick")
      s.Quick = true;
    else if (a == "--only" && i + 1 < argc)
      s.Only = argv[++i];
    else
      Fail(
          "usage: somnary_bench [--data DIR] [--quick] [--only "
          "xml|sealed|export|select|statistics|startup|memory|search|patterns]");
  }
  QApplication application(argc, argv);
  s.ExeDir = QCoreApplication::applicationDirPath().toStdString();
  fs::create_directories(s.Data);
  s.Data = fs::canonical(s.Data).string();
  const int k = s.Quick ? 1 : 0;

  std::printf("Somnary benchmarks; load average at start: %s\n", LoadAverage().c_str());
  std::printf("Generating data in %s ...\n", s.Data.c_str());
  const std::uint64_t seed = kBenchSeed;
  struct TJournal {
    int Experiences, Runs;
    std::string File;
  };
  std::vector<TJournal> journals = {
      {1000, k ? 3 : 21, ""}, {10000, k ? 1 : 9, ""}, {50000, k ? 1 : 7, ""}};
  const double generated = TimeMs([&] {
    for (auto& j : journals) {
      j.File = s.Data + "/journal_" + std::to_string(j.Experiences) + ".xml";
      WriteJournal(j.File, j.Experiences, seed + static_cast<std::uint64_t>(j.Experiences));
    }
  });
  const std::string libraryFolder = s.Data + "/library";
  fs::remove_all(libraryFolder);
  fs::create_directories(libraryFolder);
  const std::string bigJournal = libraryFolder + "/journal_10000.xml";
  fs::copy_file(journals[1].File, bigJournal);
  const TBenchLibrary library = WriteLibrary(libraryFolder, bigJournal, seed);
  const std::string library100Folder = s.Data + "/library-100";
  fs::remove_all(library100Folder);
  fs::create_directories(library100Folder);
  const std::string defaultJournal = library100Folder + "/journal_default.xml";
  fs::copy_file(journals[1].File, defaultJournal);
  const TBenchLibrary library100 = WriteDefaultLibrary(library100Folder, defaultJournal, 100, seed);
  std::printf("  done in %.0f ms (+ libraries of %zu and %zu journals)\n\n", generated,
              library.JournalFiles.size(), library100.JournalFiles.size());

  if (s.Runs("xml")) {
    std::printf("XML reading and writing, medians\n");
    for (const auto& j : journals) BenchXml(s, j.File, j.Experiences, j.Runs);
  }
  if (s.Runs("sealed")) {
    std::printf("\nEncrypted journal, medians of %d runs\n", k ? 1 : 5);
    BenchSealed(s, journals[1].File, k ? 1 : 5);
  }
  if (s.Runs("export")) {
    std::printf("\nExport, medians of %d runs\n", k ? 1 : 5);
    BenchExport(s, journals[2].File, k ? 1 : 5);
  }
  if (s.Runs("select") || s.Runs("statistics") || s.Runs("startup"))
    std::printf("\nMain window (offscreen), medians of %d runs (start-up: %d)\n", k ? 1 : 5,
                k ? 1 : 7);
  if (s.Runs("select")) BenchSelect(s, library, bigJournal, k ? 1 : 5);
  if (s.Runs("statistics")) BenchStatistics(s, library, k ? 1 : 5);
  if (s.Runs("startup")) BenchStartup(s, library100, k ? 1 : 7);
  if (s.Runs("search")) {
    std::printf("\nSearch, medians of %d runs\n", k ? 1 : 5);
    BenchSearch(journals[2].File, k ? 1 : 5);
  }
  if (s.Runs("patterns")) {
    std::printf("\nPatterns, medians of %d runs\n", k ? 1 : 5);
    BenchPatterns(journals[2].File, k ? 1 : 5);
  }
  if (s.Runs("memory")) {
    std::printf("\nMemory\n");
    BenchMemory(s, journals[2].File);
    BenchSearchMemory();
  }

  std::printf("\nLoad average at end: %s\n\n", LoadAverage().c_str());
  std::printf("| Figure | Value | Goal | |\n|---|---|---|---|\n");
  for (const auto& r : Rows) {
    std::string figure = r.Figure;
    figure.erase(0, figure.find_first_not_of(' '));
    std::printf("| %s | %s | %s | %s |\n", figure.c_str(), r.Value.c_str(), r.Goal.c_str(),
                r.Verdict.c_str());
  }
  return 0;
}
