#pragma once

#include <memory>
#include <thread>

#include "search/smr_SearchIndex.h"

// Builds the index of a journal in a worker thread while the caller goes on
// reading the same tree (making its view, its graphs): both only read it.
// The tree must not change, nor the caller return to the event loop, until
// HandTo or the destructor has waited for the worker. The worker has its
// own THTMLTexts, so the search's texts and stemmer stay the GUI thread's.
class TJournalIndexing {
 public:
  // A journal of fewer nights (some 20,000 experiences) is indexed when
  // first searched, in well under the 100 ms a first query may take; on
  // two busy cores a worker would slow the opening about as much as it
  // saves. The benchmark and the tests move it.
  static inline int MinNights = 8192;
  static bool Worthwhile(const TXMLNode& root);

  // Starts the worker. resolve must not touch the caller's objects: it
  // runs in the worker.
  TJournalIndexing(const TXMLNode& root, THTMLTexts::TResolve resolve);
  ~TJournalIndexing();
  TJournalIndexing(const TJournalIndexing&) = delete;
  TJournalIndexing& operator=(const TJournalIndexing&) = delete;

  // Waits for the worker and gives the index and the description texts it
  // read to the search. An index that could not be built (no memory) is
  // built by the search when it needs it.
  void HandTo(TSearchIndex& search);

 private:
  void Wait();

  const TXMLNode& FRoot;
  THTMLTexts FHTML;
  std::shared_ptr<const TJournalIndex> FIndex;
  std::thread FWorker;
};
