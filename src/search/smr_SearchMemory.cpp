// Memory of the folded texts. A journal of 100 MB folds into some 60 MB;
// mapped in whole huge pages where the system has them, indexing it takes
// a few dozen page faults instead of tens of thousands, and the memory
// goes back to the system with the index.
#include <new>

#include "search/smr_SearchIndex.h"
#include "xml/xml_fileSystem.h"
#include "xml/xml_store.h"

TTextMemory::TTextMemory(std::size_t size) : FSize(size) {
  // A huge page is 2 MB: below a megabyte the heap wastes less.
  if (size >= TTextBuffer::PagedSize) FData = xfs::MapPages(FSize);
  FMapped = FData != nullptr;
  if (!FMapped) {
    FSize = size;
    FData = static_cast<char*>(::operator new(size));
  }
}

TTextMemory::~TTextMemory() {
  if (!FData) return;
  if (FMapped)
    xfs::UnmapPages(FData, FSize);
  else
    ::operator delete(FData);
}
