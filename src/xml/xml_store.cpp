#include "xml/xml_store.h"

#include <cstdint>
#include <mutex>
#include <new>
#include <vector>

#include "xml/xml_fileSystem.h"
#include "xml/xml_functions.h"
#include "xml/xml_node.h"
#include "xml/xml_seal.h"

namespace {

// The mapped pages of the last freed document, for the next load: pages
// the system hands out anew it must first clear, a fifth of the time of a
// load. Only one document's worth is kept, and at most KeptLimit bytes;
// what is kept stays in the program's memory until the next load takes it
// or another document is freed.
struct TKept {
  char* Data;
  std::size_t Size;
};
constexpr std::size_t KeptLimit = std::size_t(256) << 20;
struct TKeptPages {
  std::mutex Lock;
  std::vector<TKept> Pages;
};
// Never destroyed: a document freed at exit may still come by.
TKeptPages& Kept() {
  static auto* kept = new TKeptPages;
  return *kept;
}

// Pages for at least `length` bytes, kept or new; length becomes their size.
char* TakePages(std::size_t& length) {
  {
    TKeptPages& kept = Kept();
    const std::lock_guard<std::mutex> lock(kept.Lock);
    // The smallest that fits, if it is not much bigger than asked for.
    auto best = kept.Pages.end();
    for (auto it = kept.Pages.begin(); it != kept.Pages.end(); ++it)
      if (it->Size >= length && it->Size <= 2 * length + TTextBuffer::PagedSize &&
          (best == kept.Pages.end() || it->Size < best->Size))
        best = it;
    if (best != kept.Pages.end()) {
      const TKept pages = *best;
      kept.Pages.erase(best);
      // What this load does not ask for is not held on its behalf.
      xfs::ReleasePages(pages.Data + length, pages.Size - length);
      length = pages.Size;
      return pages.Data;
    }
  }
  return xfs::MapPages(length);
}

// Keeps the pages of one freed document in place of those kept before.
void KeepPages(std::vector<TKept> pages) {
  std::size_t total = 0;
  for (auto it = pages.begin(); it != pages.end();)
    if (total + it->Size > KeptLimit) {
      xfs::UnmapPages(it->Data, it->Size);
      it = pages.erase(it);
    } else {
      total += it->Size;
      ++it;
    }
  {
    TKeptPages& kept = Kept();
    const std::lock_guard<std::mutex> lock(kept.Lock);
    kept.Pages.swap(pages);
  }
  for (const TKept& old : pages) xfs::UnmapPages(old.Data, old.Size);
}

}  // namespace

bool TTextBuffer::Map(std::size_t size) {
  std::size_t length = size;
  char* pages = TakePages(length);
  if (!pages) return false;
  FData = pages;
  FMapped = length;
  return true;
}

void TTextBuffer::Unmap() {
  if (FMapped) xfs::UnmapPages(FData, FMapped);
  FMapped = 0;
}

void TTextBuffer::ReleaseTail() {
  if (FMapped) xfs::ReleasePages(FData + FSize, FMapped - FSize);
}

bool TTextBuffer::Read(const std::string& fileName, std::string& error) {
  std::uint64_t size = 0;
  const xfs::THandle file = xfs::OpenForReading(fileName, size, error);
  if (file < 0) return false;
  if (size >= PagedSize && Map(static_cast<std::size_t>(size))) {
    std::uint64_t got = 0;
    std::int64_t n = 1;
    while (got < size && (n = xfs::ReadSome(file, FData + got, size - got, error)) > 0)
      got += static_cast<std::uint64_t>(n);
    char more = 0;
    if (got == size && xfs::ReadSome(file, &more, 1, error) == 0) {
      xfs::CloseQuietly(file);
      FSize = static_cast<std::size_t>(size);
      if (!IsSealedText(std::string_view(FData, FSize))) return true;
      // A sealed file's pages give way to its opened text.
      std::string sealed(FData, FSize);
      Unmap();
      FData = nullptr;
      FSize = 0;
      return Open(std::move(sealed), error);
    }
    // Short, failing or still growing: read it the ordinary way below.
    Unmap();
  }
  xfs::CloseQuietly(file);
  std::string bytes;
  if (!ReadWholeFile(fileName, bytes, &error)) return false;
  return Open(std::move(bytes), error);
}

bool TTextBuffer::Open(std::string bytes, std::string& error) {
  const std::shared_ptr<const TFileSeal> seal = DocumentSeal();
  FSealed = IsSealedText(bytes);
  if (!OpenDocumentBytes(std::move(bytes), FString, &error, seal.get())) return false;
  FData = FString.data();
  FSize = FString.size();
  return true;
}

TXMLStore::~TXMLStore() {
  std::vector<TKept> pages;
  try {
    pages.reserve(FBlocks.size() + 1);
  } catch (const std::bad_alloc&) {
    // Nothing is kept then; everything goes back below.
  }
  auto giveBack = [&](char* data, std::size_t size) {
    if (pages.size() < pages.capacity())
      pages.push_back({data, size});
    else
      xfs::UnmapPages(data, size);
  };
  if (Text.FMapped) giveBack(Text.FData, Text.FMapped);
  Text.FMapped = 0;
  for (const TBlock& block : FBlocks) {
    if (block.Mapped)
      giveBack(block.Data, block.Size);
    else
      ::operator delete(block.Data);
  }
  // Even none: what an earlier document left is not held past a later one.
  KeepPages(std::move(pages));
}

TXMLNode* TXMLStore::NewNode() {
  TXMLNode* node = ::new (Allocate<TXMLNode>(1)) TXMLNode();
  node->FStore = this;
  ++FHolds;
  return node;
}

void* TXMLStore::AllocateBytes(TRegion& region, TKind kind, std::size_t bytes,
                               std::size_t alignment) {
  auto aligned = [&] {
    const auto at = reinterpret_cast<std::uintptr_t>(region.Next);
    return region.Next + (alignment - at % alignment) % alignment;
  };
  // The padding alone may run past the block's end.
  if (!region.Next || aligned() > region.End ||
      static_cast<std::size_t>(region.End - aligned()) < bytes) {
    // The first block is the share of what the load expects to need (nodes
    // take about five eighths of it, attributes three, lists much less);
    // later ones double. Untouched pages of a mapping cost no memory.
    static constexpr std::size_t kEighths[kKinds] = {5, 3, 1};
    std::size_t size = region.LastSize ? region.LastSize * 2 : FExpected / 8 * kEighths[kind];
    if (size < bytes + alignment) size = bytes + alignment;
    if (size < 4096) size = 4096;
    FBlocks.reserve(FBlocks.size() + 1);
    TBlock block{nullptr, size, false};
    if (size >= TTextBuffer::PagedSize) {
      block.Data = TakePages(block.Size);
      block.Mapped = block.Data != nullptr;
    }
    if (!block.Data) block.Data = static_cast<char*>(::operator new(block.Size));
    FBlocks.push_back(block);
    region.Next = block.Data;
    region.End = block.Data + block.Size;
    region.LastSize = block.Size;
  }
  char* result = aligned();
  region.Next = result + bytes;
  return result;
}
