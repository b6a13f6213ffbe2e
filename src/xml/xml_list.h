#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <new>
#include <stdexcept>
#include <utility>

// True for element types the reader builds from slices of the kept text
// only: such elements have nothing to free until someone changes them.
template <typename T>
inline constexpr bool XMLReadAsSlices = false;

// Moves an element to raw memory of the same list and ends the old one.
// Element types holding slices supply their own, which keeps the slices.
template <typename T>
void XMLRelocate(T* to, T& from) noexcept {
  ::new (to) T(std::move(from));
  from.~T();
}

// The children or attributes of a node: a vector in all that callers use.
// The reader hands a loaded node its list in the document's arena, sized
// once; the first insertion that needs more room moves the list to memory
// of its own. Removing keeps the room it has.
template <typename T>
class TXMLList {
 public:
  using value_type = T;
  using size_type = std::size_t;
  using iterator = T*;
  using const_iterator = const T*;
  using reference = T&;
  using const_reference = const T&;

  TXMLList() noexcept = default;
  TXMLList(const TXMLList&) = delete;
  TXMLList& operator=(const TXMLList&) = delete;
  ~TXMLList() {
    clear();
    if (Owned()) ::operator delete(FData);
  }

  TXMLList& operator=(std::initializer_list<T> values) {
    Touch();
    clear();
    reserve(values.size());
    for (const T& value : values) ::new (FData + FSize++) T(value);
    return *this;
  }

  // Whatever hands out a changeable element marks the list as touched.
  T* begin() noexcept { return Touch(), FData; }
  T* end() noexcept { return Touch(), FData + FSize; }
  const T* begin() const noexcept { return FData; }
  const T* end() const noexcept { return FData + FSize; }
  std::size_t size() const noexcept { return FSize; }
  bool empty() const noexcept { return FSize == 0; }
  T& operator[](std::size_t i) noexcept { return Touch(), FData[i]; }
  const T& operator[](std::size_t i) const noexcept { return FData[i]; }
  T& front() noexcept { return Touch(), FData[0]; }
  const T& front() const noexcept { return FData[0]; }
  T& back() noexcept { return Touch(), FData[FSize - 1]; }
  const T& back() const noexcept { return FData[FSize - 1]; }

  void clear() noexcept {
    // Emptied first: a destructor below may look at this list again.
    const std::uint32_t n = FSize;
    FSize = 0;
    // What the reader built and nobody touched frees nothing: freeing a big
    // document then skips the attributes' memory altogether.
    if (XMLReadAsSlices<T> && (FCapacity & kBorrowed) && !(FCapacity & kTouched)) return;
    for (std::uint32_t i = 0; i < n; ++i) FData[i].~T();
  }
  void reserve(std::size_t n) {
    if (n > Capacity()) Reallocate(n);
  }
  template <typename... Args>
  T& emplace_back(Args&&... args) {
    Touch();
    if (FSize == Capacity()) {
      // Built first: the arguments may refer to an element.
      T value(std::forward<Args>(args)...);
      Reallocate(Grown());
      return *::new (FData + FSize++) T(std::move(value));
    }
    return *::new (FData + FSize++) T(std::forward<Args>(args)...);
  }
  void push_back(T&& value) { emplace_back(std::move(value)); }
  T* insert(const T* position, T&& value) {
    Touch();
    const std::size_t at = static_cast<std::size_t>(position - FData);
    T held(std::move(value));
    if (FSize == Capacity()) Reallocate(Grown());
    for (std::size_t i = FSize; i > at; --i) XMLRelocate(FData + i, FData[i - 1]);
    ::new (FData + at) T(std::move(held));
    ++FSize;
    return FData + at;
  }
  T* erase(const T* position) {
    Touch();
    const std::size_t at = static_cast<std::size_t>(position - FData);
    FData[at].~T();
    for (std::size_t i = at; i + 1 < FSize; ++i) XMLRelocate(FData + i, FData[i + 1]);
    --FSize;
    return FData + at;
  }

  // For the reader: the list becomes the n elements already built at data,
  // in memory the document owns and frees. The list must be empty.
  void AdoptArena(T* data, std::size_t n) noexcept {
    FData = data;
    FSize = static_cast<std::uint32_t>(n);
    FCapacity = static_cast<std::uint32_t>(n) | kBorrowed;
  }
  // The most elements a list holds.
  static constexpr std::size_t MaxSize = (std::size_t(1) << 30) - 1;

 private:
  // The top bits of the capacity mark room in the document's arena and a
  // list whose elements may have been changed.
  static constexpr std::uint32_t kBorrowed = std::uint32_t(1) << 31;
  static constexpr std::uint32_t kTouched = std::uint32_t(1) << 30;

  void Touch() noexcept { FCapacity |= kTouched; }
  bool Owned() const noexcept { return FData && !(FCapacity & kBorrowed); }
  std::size_t Capacity() const noexcept { return FCapacity & ~(kBorrowed | kTouched); }
  std::size_t Grown() const {
    if (Capacity() >= MaxSize) throw std::length_error("XML list too long");
    const std::size_t twice = Capacity() * 2;
    return twice < 4 ? 4 : twice > MaxSize ? MaxSize : twice;
  }
  void Reallocate(std::size_t capacity) {
    Touch();
    if (capacity > MaxSize) throw std::length_error("XML list too long");
    T* data = static_cast<T*>(::operator new(capacity * sizeof(T)));
    for (std::uint32_t i = 0; i < FSize; ++i) XMLRelocate(data + i, FData[i]);
    if (Owned()) ::operator delete(FData);
    FData = data;
    FCapacity = static_cast<std::uint32_t>(capacity) | kTouched;
  }

  T* FData = nullptr;
  std::uint32_t FSize = 0;
  std::uint32_t FCapacity = 0;
};
