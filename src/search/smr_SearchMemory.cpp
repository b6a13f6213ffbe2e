// Memory of the folded texts. A journal of 100 MB folds into some 60 MB;
// mapped in whole huge pages where the system has them, indexing it takes
// a few dozen page faults instead of tens of thousands, and the memory
// goes back to the system with the index.
#include <new>

#include "search/smr_SearchIndex.h"

#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#endif

namespace {
constexpr std::size_t kHugePage = std::size_t(2) << 20;
}

TTextMemory::TTextMemory(std::size_t size) {
#ifdef MAP_ANONYMOUS
  // One huge page more, to cut an aligned stretch out of the mapping.
  const std::size_t length = (size + kHugePage - 1) / kHugePage * kHugePage;
  void* pages = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (pages == MAP_FAILED) throw std::bad_alloc();
  char* start = static_cast<char*>(pages);
  char* aligned = start + (kHugePage - reinterpret_cast<std::uintptr_t>(start) % kHugePage) % kHugePage;
  if (aligned > start) munmap(start, static_cast<std::size_t>(aligned - start));
  if (char* end = start + length + kHugePage; end > aligned + length)
    munmap(aligned + length, static_cast<std::size_t>(end - aligned - length));
#ifdef MADV_HUGEPAGE
  madvise(aligned, length, MADV_HUGEPAGE);
#endif
  FData = aligned;
  FSize = length;
#else
  FData = static_cast<char*>(::operator new(size));
  FSize = size;
#endif
}

TTextMemory::~TTextMemory() {
  if (!FData) return;
#ifdef MAP_ANONYMOUS
  munmap(FData, FSize);
#else
  ::operator delete(FData);
#endif
}
