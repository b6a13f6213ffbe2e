#include "search/smr_JournalIndexing.h"

#include <new>

#include "xml/xml_node.h"

TJournalIndexing::TJournalIndexing(const TXMLNode& root, THTMLTexts::TResolve resolve)
    : FRoot(root), FHTML(std::move(resolve)) {
  FWorker = std::thread([this] {
    try {
      FIndex = std::make_shared<const TJournalIndex>(FRoot, FHTML);
    } catch (const std::bad_alloc&) {
      FIndex.reset();
    }
  });
}

bool TJournalIndexing::Worthwhile(const TXMLNode& root) { return root.ChildCount() >= MinNights; }

TJournalIndexing::~TJournalIndexing() { Wait(); }

void TJournalIndexing::Wait() {
  if (FWorker.joinable()) FWorker.join();
}

void TJournalIndexing::HandTo(TSearchIndex& search) {
  Wait();
  if (FIndex) search.Adopt(FRoot, std::move(FIndex), std::move(FHTML));
}
