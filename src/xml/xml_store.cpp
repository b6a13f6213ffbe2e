#include "xml/xml_store.h"

#include <cstdint>
#include <new>

#include "xml/xml_fileSystem.h"
#include "xml/xml_functions.h"
#include "xml/xml_node.h"
#include "xml/xml_seal.h"

bool TTextBuffer::Map(std::size_t size) {
  std::size_t length = size;
  char* pages = xfs::MapPages(length);
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
  for (const TBlock& block : FBlocks) {
    if (block.Mapped)
      xfs::UnmapPages(block.Data, block.Size);
    else
      ::operator delete(block.Data);
  }
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
      block.Data = xfs::MapPages(block.Size);
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
