#include "search/smr_LibrarySearch.h"

#include <QThread>
#include <QTimer>
#include <chrono>
#include <new>

#include "storage/smr_Resources.h"
#include "storage/smr_TextEdge.h"
#include "storage/smr_Types.h"
#include "xml/xml_functions.h"
#include "xml/xml_mainUnit.h"

namespace {

void CollectFiles(const TXMLNode& directory, std::vector<const TXMLNode*>& files) {
  for (const auto& child : directory.Children) {
    if (child->Name == smr::elDirectory)
      CollectFiles(*child, files);
    else if (child->Name == smr::elFile && directory.Name == smr::elDirectory)
      files.push_back(child.get());
  }
}

}  // namespace

std::vector<const TXMLNode*> JournalFiles(const TXMLNode& libraryRoot) {
  std::vector<const TXMLNode*> files;
  CollectFiles(libraryRoot, files);
  return files;
}

TReadJournal ReadJournal(const std::string& nativeFileName) {
  TReadJournal read;
  if (!FileExists(nativeFileName)) {
    read.Problem = TReadJournal::Missing;
    return read;
  }
  auto document = std::make_unique<TXMLParser>();
  document->Parameters.Encoding = std::string(smr::Encoding1251);
  document->Load(nativeFileName);
  if (document->Status == xsCannotOpen) {
    read.Problem = document->ReadError().empty() ? TReadJournal::Missing : TReadJournal::Unreadable;
    read.Reason = document->ReadError();
    return read;
  }
  read.Document = std::move(document);
  return read;
}

TLibrarySearch::TLibrarySearch(TSearchHost& host, QObject* parent)
    : QObject(parent),
      FHost(host),
      FIndex([&host](const std::string& stored) { return host.DescriptionFile(stored); }),
      FSlice(new QTimer(this)),
      FPrepare(new QTimer(this)) {
  FSlice->setSingleShot(true);
  FSlice->setInterval(0);
  connect(FSlice, &QTimer::timeout, this, &TLibrarySearch::Continue);
  FPrepare->setSingleShot(true);
  connect(FPrepare, &QTimer::timeout, this, [this] {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(SliceMs);
    if (!FIndex.PrepareStep(deadline)) FPrepare->start(0);
  });
}

void TLibrarySearch::Prepare(const TXMLNode& root) {
  FIndex.Prepare(root);
  // Once the window has shown what was chosen and is idle.
  FPrepare->start(PrepareDelayMs);
}

TLibrarySearch::~TLibrarySearch() { WaitForReader(); }

void TLibrarySearch::WaitForReader() {
  if (!FReader) return;
  FReader->wait();
  delete FReader;
  FReader = nullptr;
  FRead = {};
  FReadIndex.reset();
  FReadHTML.reset();
}

void TLibrarySearch::Start(const TSearchQuery& query) {
  ++FRun;
  FQuery = query;
  FHits.clear();
  FProblems.clear();
  FFiles.clear();
  FNext = 0;
  FRecord = 0;
  FRunning = false;
  FSlice->stop();
  const TXMLNode* root = FHost.LibraryRoot();
  if (query.Empty() || !root) {
    emit Finished(false);
    return;
  }
  FFiles = JournalFiles(*root);
  FRunning = true;
  // A journal still being read for an earlier run is wanted again.
  FDropRead = false;
  Continue();
}

void TLibrarySearch::Cancel() {
  if (!FRunning) return;
  FRunning = false;
  FDropRead = true;
  FSlice->stop();
  emit Finished(true);
}

void TLibrarySearch::Forget() {
  ++FRun;
  FRunning = false;
  FDropRead = true;
  FReadFile = nullptr;
  FHits.clear();
  FProblems.clear();
  FFiles.clear();
  FNext = 0;
  FRecord = 0;
  FSlice->stop();
  FPrepare->stop();
  FIndex.Invalidate();
  FUnavailable.clear();
}

void TLibrarySearch::Continue() {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(SliceMs);
  while (FRunning && FNext < FFiles.size()) {
    const TXMLNode* file = FFiles[FNext];
    std::string path;
    if (auto known = FUnavailable.find(file); known != FUnavailable.end()) {
      FProblems << known->second;
    } else if (const TXMLNode* root = FHost.Journal(*file, path)) {
      if (!FIndex.Search(file, *root, FQuery, FHits, FRecord, deadline)) {
        FSlice->start();
        emit Progress();
        return;
      }
    } else if (!path.empty()) {
      StartReading(file, path);
      emit Progress();
      return;
    }
    ++FNext;
    FRecord = 0;
    if (FNext < FFiles.size() && std::chrono::steady_clock::now() >= deadline) {
      FSlice->start();
      emit Progress();
      return;
    }
  }
  if (!FRunning) return;
  FRunning = false;
  emit Finished(false);
}

void TLibrarySearch::StartReading(const TXMLNode* file, const std::string& path) {
  if (FReader) {
    // One reading at a time; the one under way may be this very journal.
    if (FReadPath != path) FDropRead = true;
    return;
  }
  FReadPath = path;
  FReadFile = file;
  FDropRead = false;
  FReader = QThread::create([this, path, resolve = FHost.DetachedDescriptionFile()] {
    FRead = ReadJournal(path);
    // The document is this thread's alone until it is handed over: its
    // index, which the search needs next, is built here too, with texts
    // of its own.
    if (!resolve || !FRead.Document) return;
    FReadHTML.emplace(resolve);
    try {
      FReadIndex = std::make_shared<const TJournalIndex>(*FRead.Document->Root, *FReadHTML);
    } catch (const std::bad_alloc&) {
      FReadIndex.reset();  // built when searched, as any other
    }
  });
  connect(FReader, &QThread::finished, this, &TLibrarySearch::ReadingDone, Qt::QueuedConnection);
  FReader->start();
}

void TLibrarySearch::ReadingDone() {
  if (!FReader) return;
  FReader->wait();
  delete FReader;
  FReader = nullptr;
  TReadJournal read = std::move(FRead);
  FRead = {};
  std::shared_ptr<const TJournalIndex> index = std::move(FReadIndex);
  std::optional<THTMLTexts> html = std::move(FReadHTML);
  FReadIndex.reset();
  FReadHTML.reset();
  if (FDropRead || !FReadFile) {
    // Dropped with its document; a run still under way asks again.
    FDropRead = false;
    if (FRunning) Continue();
    return;
  }
  const TXMLNode* file = FReadFile;
  FReadFile = nullptr;
  const bool current = FRunning && FNext < FFiles.size() && FFiles[FNext] == file;
  const QString name = ToUi(file->GetAttribute(smr::atName));
  const QString shown = UiFileName(FReadPath);
  bool skip = true;  // the run moves past it; a journal taken is searched next
  if (read.Problem != TReadJournal::None) {
    const QString problem = read.Problem == TReadJournal::Missing
                                ? QString::fromUtf8(res::SearchJournalMissing).arg(name, shown)
                                : QString::fromUtf8(res::SearchJournalUnreadable)
                                      .arg(name, shown, QString::fromUtf8(read.Reason.c_str()));
    FUnavailable[file] = problem;
    if (current) FProblems << problem;
  } else {
    const TXMLNode* readRoot = read.Document->Root.get();
    const TXMLNode* root = FHost.Adopt(*file, std::move(read.Document));
    skip = !root;
    // The index describes the document read; the host may have kept another.
    if (root && root == readRoot && index) FIndex.Adopt(*root, std::move(index), std::move(*html));
  }
  if (!FRunning) return;
  if (current && skip) {
    ++FNext;
    FRecord = 0;
  }
  Continue();
}
