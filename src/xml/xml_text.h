#pragma once

#include <compare>
#include <cstddef>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>

// The bytes of a name, value or text in a document. What the reader found
// in a file is a slice of the text the document keeps (no copy, nothing to
// free); whatever the program sets is a copy of its own. Either way it reads
// like a std::string_view and converts to std::string.
//
// Copying always copies the bytes, so a copy outlives the node it came from.
// Moving into a new string hands over what there is, slice or copy (lists
// growing within a node); assigning a moved slice copies it.
class TXMLString {
  template <typename S>
  static constexpr bool OtherText =
      std::is_convertible_v<const S&, std::string_view> && !std::is_same_v<S, TXMLString>;

 public:
  TXMLString() noexcept = default;
  TXMLString(std::string_view text) { Copy(text); }
  TXMLString(const std::string& text) { Copy(text); }
  TXMLString(const char* text) { Copy(text); }
  TXMLString(const TXMLString& other) { Copy(other.View()); }
  // A slice moved out becomes a copy: the new string may outlive the
  // document whose text the slice points into.
  // Not noexcept: a slice becomes a copy, which allocates.
  TXMLString(TXMLString&& other) {  // NOLINT(performance-noexcept-move-constructor)
    if (other.IsCopy()) {
      FData = other.FData;
      FSize = other.FSize;
      other.FData = nullptr;
      other.FSize = 0;
    } else {
      Copy(other.View());
      other.clear();
    }
  }
  ~TXMLString() { Free(); }

  TXMLString& operator=(std::string_view text) {
    // Copied before the old bytes go: text may be a part of them.
    TXMLString copy(text);
    Swap(copy);
    return *this;
  }
  TXMLString& operator=(const std::string& text) { return *this = std::string_view(text); }
  TXMLString& operator=(const char* text) { return *this = std::string_view(text); }
  // Self-assignment is safe: the copy is made before the old bytes go.
  TXMLString& operator=(const TXMLString& other) {  // NOLINT(bugprone-unhandled-self-assignment)
    return *this = other.View();
  }
  // A slice assigned elsewhere becomes a copy: the target may belong to
  // another document (as with std::swap across nodes) that outlives it.
  TXMLString& operator=(TXMLString&& other) {  // NOLINT(performance-noexcept-move-constructor)
    TXMLString taken =
        other.IsCopy() ? TXMLString(static_cast<TXMLString&&>(other)) : TXMLString(other.View());
    other.clear();
    Swap(taken);
    return *this;
  }

  // A slice of bytes that must outlive the string; only the reader makes
  // these, over the text its document keeps.
  static TXMLString Slice(std::string_view bytes) noexcept { return TXMLString(bytes, TSlice{}); }
  // The same in place, for a string of a node the reader fills.
  void AdoptSlice(std::string_view bytes) noexcept {
    Free();
    FData = bytes.data();
    FSize = bytes.size();
  }
  // Hands the bytes, slice or not, to an empty string of the same node's
  // list as the list moves its elements: the list stays in its node, so
  // its slices stay as safe as they were.
  static void Relocate(TXMLString& to, TXMLString& from) noexcept {
    to.Free();
    to.FData = from.FData;
    to.FSize = from.FSize;
    from.FData = nullptr;
    from.FSize = 0;
  }

  std::string_view View() const noexcept { return {FData ? FData : "", Size()}; }
  operator std::string_view() const noexcept { return View(); }
  operator std::string() const { return std::string(View()); }
  std::string str() const { return std::string(View()); }

  const char* data() const noexcept { return FData ? FData : ""; }
  std::size_t size() const noexcept { return Size(); }
  std::size_t length() const noexcept { return Size(); }
  bool empty() const noexcept { return Size() == 0; }
  const char* begin() const noexcept { return data(); }
  const char* end() const noexcept { return data() + Size(); }
  char operator[](std::size_t i) const noexcept { return data()[i]; }
  char front() const noexcept { return data()[0]; }
  char back() const noexcept { return data()[Size() - 1]; }
  bool starts_with(std::string_view s) const noexcept { return View().starts_with(s); }
  bool starts_with(char c) const noexcept { return View().starts_with(c); }
  bool ends_with(std::string_view s) const noexcept { return View().ends_with(s); }
  bool ends_with(char c) const noexcept { return View().ends_with(c); }
  std::size_t find(std::string_view s, std::size_t from = 0) const noexcept {
    return View().find(s, from);
  }
  std::size_t find(char c, std::size_t from = 0) const noexcept { return View().find(c, from); }
  std::string_view substr(std::size_t from, std::size_t n = std::string_view::npos) const {
    return View().substr(from, n);
  }
  void clear() noexcept {
    Free();
    FData = nullptr;
    FSize = 0;
  }

  // Whether the bytes are the string's own (set by the program).
  bool IsCopy() const noexcept { return (FSize & kOwned) != 0; }

  friend bool operator==(const TXMLString& a, std::string_view b) noexcept { return a.View() == b; }
  friend auto operator<=>(const TXMLString& a, std::string_view b) noexcept {
    return a.View() <=> b;
  }
  template <typename S>
  requires OtherText<S>
  friend std::string operator+(const TXMLString& a, const S& b) { return Joined(a.View(), b); }
  template <typename S>
  requires OtherText<S>
  friend std::string operator+(const S& a, const TXMLString& b) { return Joined(a, b.View()); }
  friend std::string operator+(const TXMLString& a, const TXMLString& b) {
    return Joined(a.View(), b.View());
  }
  template <typename Stream>
  friend auto operator<<(Stream& stream, const TXMLString& s)
      -> decltype(stream << std::string_view()) {
    return stream << s.View();
  }

 private:
  struct TSlice {};
  TXMLString(std::string_view bytes, TSlice) noexcept : FData(bytes.data()), FSize(bytes.size()) {}

  // The top bit of the size marks bytes of its own.
  static constexpr std::size_t kOwned = std::size_t(1) << (sizeof(std::size_t) * 8 - 1);

  std::size_t Size() const noexcept { return FSize & ~kOwned; }
  static std::string Joined(std::string_view a, std::string_view b) {
    std::string s;
    s.reserve(a.size() + b.size());
    s.append(a).append(b);
    return s;
  }
  void Copy(std::string_view text) {
    if (text.empty()) return;
    // The top bit of FSize marks ownership: no text reaches it.
    if (text.size() >= kOwned) throw std::bad_alloc();
// GCC 12 loses the check above once this is inlined into a move and warns
// of sizes past it.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wstringop-overflow"
#pragma GCC diagnostic ignored "-Walloc-size-larger-than="
#pragma GCC diagnostic ignored "-Wrestrict"
#endif
    char* bytes = new char[text.size()];
    std::memcpy(bytes, text.data(), text.size());
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
    FData = bytes;
    FSize = text.size() | kOwned;
  }
  void Free() noexcept {
    if (IsCopy()) delete[] FData;
  }
  void Swap(TXMLString& other) noexcept {
    std::swap(FData, other.FData);
    std::swap(FSize, other.FSize);
  }

  const char* FData = nullptr;
  std::size_t FSize = 0;
};
