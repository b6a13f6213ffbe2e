#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "search/smr_SearchIndex.h"

class QThread;
class QTimer;
class TXMLNode;
class TXMLParser;

// The library `file` elements in the order the tree shows them: catalogues
// depth first, each one's journals in place. A `file` directly under the
// root is never shown, so it is not searched either.
std::vector<const TXMLNode*> JournalFiles(const TXMLNode& libraryRoot);

// A journal read for a search. A missing file or one that cannot be read
// gives no document and the reason.
struct TReadJournal {
  enum TProblem { None, Missing, Unreadable };
  std::unique_ptr<TXMLParser> Document;
  TProblem Problem = None;
  std::string Reason;  // the system's words for Unreadable
};
TReadJournal ReadJournal(const std::string& nativeFileName);

// What a search of the window needs from the documents' owner.
class TSearchHost {
 public:
  virtual ~TSearchHost() = default;
  virtual const TXMLNode* LibraryRoot() = 0;  // null: no library open
  // The root of a journal in memory. Null when it must be read first (the
  // file is then given) or cannot be searched (the file left empty).
  virtual const TXMLNode* Journal(const TXMLNode& file, std::string& fileToRead) = 0;
  // Takes a journal read for the search as if the user had opened it;
  // returns its root, or null when it is not taken.
  virtual const TXMLNode* Adopt(const TXMLNode& file, std::unique_ptr<TXMLParser> document) = 0;
  // The file a stored description file name names.
  virtual std::string DescriptionFile(const std::string& stored) = 0;
  // The same as a function that leaves the host alone, to be called from a
  // worker thread; empty when the host has none (a journal read for the
  // search is then indexed when it is searched).
  virtual THTMLTexts::TResolve DetachedDescriptionFile() { return {}; }
};

// A search over the open library: journals in memory are searched in
// short slices of the event loop, so typing is never held up for long; one
// not read yet is read in a worker thread, and the search goes on when it
// arrives. Hits grow in library order.
class TLibrarySearch : public QObject {
  Q_OBJECT

 public:
  explicit TLibrarySearch(TSearchHost& host, QObject* parent = nullptr);
  // Waits for a reading under way and drops what it read.
  ~TLibrarySearch() override;

  // Searches from the start; a previous run ends.
  void Start(const TSearchQuery& query);
  // Stops the run; the hits found so far stay. A journal being read is dropped.
  void Cancel();
  // The library changed or went: hits, indexes and a reading under way go.
  void Forget();
  // Builds the index of a journal just opened in slices of idle time, so
  // that its first search need not: for a big journal that takes longer
  // than a key may.
  void Prepare(const TXMLNode& root);
  // The documents may have been edited: each journal's index is checked
  // against its tree and built again where it differs. A journal file
  // found missing may be there now, too.
  void Invalidate() {
    FIndex.MarkStale();
    FUnavailable.clear();
  }

  bool Running() const { return FRunning; }
  const std::vector<TSearchHit>& Hits() const { return FHits; }
  const TSearchQuery& Query() const { return FQuery; }
  TSearchIndex& Index() { return FIndex; }
  // Journals that could not be searched in the last run, one line each.
  const QStringList& Problems() const { return FProblems; }
  // Counts the runs: hits of another run are not more of the same.
  int Run() const { return FRun; }
  int JournalsDone() const { return static_cast<int>(FNext); }
  int JournalCount() const { return static_cast<int>(FFiles.size()); }

  // How long one slice of a search may hold the event loop.
  static constexpr int SliceMs = 10;
  // How long after Prepare the first slice of building waits.
  static constexpr int PrepareDelayMs = 150;

 signals:
  // Hits or progress changed while running.
  void Progress();
  // The run ended, by itself or cancelled.
  void Finished(bool cancelled);

 private:
  // Searches on for one slice; another is queued while there is more.
  void Continue();
  void StartReading(const TXMLNode* file, const std::string& path);
  void ReadingDone();
  void WaitForReader();

  TSearchHost& FHost;
  TSearchIndex FIndex;
  TSearchQuery FQuery;
  std::vector<const TXMLNode*> FFiles;
  std::size_t FNext = 0;
  std::size_t FRecord = 0;  // where the search of journal FNext goes on
  QTimer* FSlice = nullptr;
  QTimer* FPrepare = nullptr;
  std::vector<TSearchHit> FHits;
  QStringList FProblems;
  // Journals that could not be read, with the reason: not tried again on
  // every key typed.
  std::unordered_map<const TXMLNode*, QString> FUnavailable;
  bool FRunning = false;
  int FRun = 0;

  QThread* FReader = nullptr;
  std::string FReadPath;
  const TXMLNode* FReadFile = nullptr;
  bool FDropRead = false;
  TReadJournal FRead;
  // The index of the journal read, built by the reader while the document
  // was its alone, and the description texts it read.
  std::shared_ptr<const TJournalIndex> FReadIndex;
  std::optional<THTMLTexts> FReadHTML;
};
