#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

class TXMLNode;
struct TXMLAttribute;

// Where a file's text lives while it is read and afterwards: the nodes'
// names and values are slices of it. A large file gets pages of its own
// (huge pages where the system offers them).
class TTextBuffer {
 public:
  TTextBuffer() = default;
  TTextBuffer(const TTextBuffer&) = delete;
  TTextBuffer& operator=(const TTextBuffer&) = delete;
  ~TTextBuffer() { Unmap(); }

  // Reads the whole file, a sealed one opened with the document seal;
  // false with the reason when it cannot be opened or read.
  bool Read(const std::string& fileName, std::string& error);
  // Text handed over by the caller.
  void Adopt(std::string text) {
    FString = std::move(text);
    FData = FString.data();
    FSize = FString.size();
  }

  // The file read was sealed: the text is what the seal opened.
  bool Sealed() const { return FSealed; }
  char* Data() { return FData; }
  std::size_t& Size() { return FSize; }
  // Gives back the pages after the text's (shortened) size.
  void ReleaseTail();
  // Files smaller than this are read into a string. From here on a few
  // huge page faults beat hundreds of small ones, even with the rounding up
  // to whole huge pages.
  static constexpr std::size_t PagedSize = std::size_t(1) << 20;

 private:
  friend class TXMLStore;  // takes the pages when the store goes
  bool Map(std::size_t size);
  bool Open(std::string bytes, std::string& error);
  void Unmap();

  std::string FString;  // small files and text handed over
  char* FData = nullptr;
  std::size_t FSize = 0;
  std::size_t FMapped = 0;
  bool FSealed = false;  // bytes of the mapping, 0 when FString holds the text
};

// What one load produced: the text and an arena holding the nodes, their
// lists and nothing else. Nothing in it is freed on its own; the whole
// store goes when the last holder lets go: the document that loaded it, and
// every node in it (counted while alive). Single-threaded, as documents are.
class TXMLStore {
 public:
  // A new store with one hold, for its document.
  static TXMLStore* Create() { return new TXMLStore; }
  static void Release(TXMLStore* store, std::size_t holds = 1) noexcept {
    if (store && (store->FHolds -= holds) == 0) delete store;
  }

  TTextBuffer Text;

  // Expected bytes of nodes and lists; sizes the first blocks.
  void ExpectBytes(std::size_t bytes) { FExpected = bytes; }
  // Room for n objects of T, uninitialised, freed with the store. Nodes,
  // attributes and the rest each fill blocks of their own: freeing a tree
  // then reads the nodes one after another, with the child lists close by,
  // and skips the attributes nobody changed.
  template <typename T>
  T* Allocate(std::size_t n) {
    constexpr TKind kind = std::is_same_v<T, TXMLNode>        ? kNodes
                           : std::is_same_v<T, TXMLAttribute> ? kAttributes
                                                              : kOther;
    TRegion& region = FRegions[kind];
    const std::size_t bytes = n * sizeof(T);
    // Inline for the common case: room left in the region's block.
    const auto at = reinterpret_cast<std::uintptr_t>(region.Next);
    const std::size_t pad = (alignof(T) - at % alignof(T)) % alignof(T);
    if (region.Next && static_cast<std::size_t>(region.End - region.Next) >= pad + bytes) {
      char* result = region.Next + pad;
      region.Next = result + bytes;
      return reinterpret_cast<T*>(result);
    }
    return static_cast<T*>(AllocateBytes(region, kind, bytes, alignof(T)));
  }
  // A node in the arena; it holds the store until it is deleted.
  TXMLNode* NewNode();

 private:
  TXMLStore() = default;
  ~TXMLStore();
  TXMLStore(const TXMLStore&) = delete;
  TXMLStore& operator=(const TXMLStore&) = delete;

  struct TBlock {
    char* Data;
    std::size_t Size;
    bool Mapped;
  };
  struct TRegion {
    char* Next = nullptr;
    char* End = nullptr;
    std::size_t LastSize = 0;  // bytes of its newest block
  };
  enum TKind { kNodes, kAttributes, kOther, kKinds };
  void* AllocateBytes(TRegion& region, TKind kind, std::size_t bytes, std::size_t alignment);

  std::vector<TBlock> FBlocks;
  TRegion FRegions[kKinds];
  std::size_t FExpected = 0;
  std::size_t FHolds = 1;
};
