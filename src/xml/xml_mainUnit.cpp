#include "xml/xml_mainUnit.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "xml/xml_fileSystem.h"
#include "xml/xml_seal.h"
#include "xml/xml_store.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

// The hash of the text as read, which joining then rewrites in place. A big
// text is hashed in a second thread while the first one joins behind it:
// bytes are only rewritten once hashed. A second thread that has not
// started by the time the first needs it is not waited for (on a busy
// machine that takes milliseconds): the first hashes the text itself then.
class TTextHashing {
 public:
  explicit TTextHashing(std::string_view text) : FText(text) {
    if (text.size() >= kThreadSize) {
      try {
        FThread = std::thread([this] {
          if (Claim()) Run();
        });
        return;
      } catch (const std::system_error&) {
        // No thread to be had: hashed right here.
      }
    }
    Claim();
    Run();
  }
  ~TTextHashing() {
    if (FThread.joinable()) FThread.join();
  }
  TTextHashing(const TTextHashing&) = delete;
  TTextHashing& operator=(const TTextHashing&) = delete;

  // Waits until the bytes before `end` are hashed; how many are.
  std::size_t WaitFor(std::size_t end) {
    std::size_t ready = FReady.load(std::memory_order_acquire);
    if (ready >= end) return ready;
    if (!FClaimed.load(std::memory_order_acquire)) {
      const auto until = std::chrono::steady_clock::now() + kPatience;
      while (!FClaimed.load(std::memory_order_acquire) && std::chrono::steady_clock::now() < until)
        std::this_thread::yield();
      if (Claim()) Run();
    }
    while ((ready = FReady.load(std::memory_order_acquire)) < end) std::this_thread::yield();
    return ready;
  }
  std::uint64_t Value() {
    if (FThread.joinable()) FThread.join();
    return FValue;
  }

 private:
  // Smaller texts are hashed in a few milliseconds at most: no thread.
  static constexpr std::size_t kThreadSize = std::size_t(4) << 20;
  static constexpr std::chrono::microseconds kPatience{200};

  // Whoever claims the hashing first does all of it.
  bool Claim() { return !FClaimed.exchange(true, std::memory_order_acq_rel); }
  void Run() {
    constexpr std::size_t kPiece = std::size_t(256) << 10;
    TTextHash hash;
    for (std::size_t at = 0; at < FText.size(); at += kPiece) {
      const std::string_view piece = FText.substr(at, kPiece);
      hash.Add(piece);
      FReady.store(at + piece.size(), std::memory_order_release);
    }
    FValue = hash.Value();
  }

  const std::string_view FText;
  std::atomic<bool> FClaimed{false};
  std::atomic<std::size_t> FReady{0};
  std::uint64_t FValue = 0;
  std::thread FThread;
};

// Joins the file's lines into one text in place: each line is trimmed and
// its inner runs of blanks collapsed; empty lines vanish; a line that does
// not begin with '<' is joined after one blank. A line is ended by LF (CR
// before it is trimmed as white space). The result never grows past the
// input, so the buffer is rewritten from the front without a copy; size
// becomes the joined length. A line is rewritten only once `hashing` (when
// given) has hashed it.
bool JoinLines(char* text, std::size_t& size, TTextHashing* hashing) {
  std::size_t write = 0;
  std::size_t read = 0;
  std::size_t hashed = hashing ? 0 : size;
  auto mayWriteBefore = [&](std::size_t end) {
    if (end > hashed) hashed = hashing->WaitFor(std::min(end, size));
  };
#ifdef __SSE2__
  // Sixteen bytes at a time: each line is read once, for its end and its
  // runs of blanks together, and copied down as it is read.
  const __m128i newlines = _mm_set1_epi8('\n');
  const __m128i blanks = _mm_set1_epi8(' ');
  const __m128i printable = _mm_set1_epi8(33);
  auto load = [&](std::size_t at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
  };
  while (read < size) {
    std::size_t begin = read;
    for (; begin + 16 <= size; begin += 16) {
      const __m128i block = load(begin);
      const auto stop = static_cast<unsigned>(
          _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(block, printable), block)) |
          _mm_movemask_epi8(_mm_cmpeq_epi8(block, newlines)));
      if (stop) {
        begin += static_cast<std::size_t>(__builtin_ctz(stop));
        break;
      }
    }
    while (begin < size && IsBlankOrControl(text[begin]) && text[begin] != '\n') ++begin;
    if (begin == size || text[begin] == '\n') {
      read = begin + 1;
      continue;
    }
    mayWriteBefore(begin);
    if (text[begin] != '<') {
      // Only a file that starts with text has no room for the blank, and
      // such a file has no declaration anyway.
      if (write == begin) return false;
      text[write++] = ' ';
    }
    const std::size_t lineStart = write;
    // A blank right after a blank is left out; `blank` tells whether the
    // last byte read was one.
    unsigned blank = 0;
    auto copyCollapsing = [&](std::size_t from, std::size_t to) {
      for (std::size_t i = from; i < to; ++i) {
        const char c = text[i];
        if (c == ' ' && blank) continue;
        blank = c == ' ';
        text[write++] = c;
      }
    };
    std::size_t pos = begin;
    for (;;) {
      if (pos + 16 > size) {
        mayWriteBefore(size);
        const void* newline = std::memchr(text + pos, '\n', size - pos);
        const std::size_t lineEnd =
            newline ? static_cast<std::size_t>(static_cast<const char*>(newline) - text) : size;
        copyCollapsing(pos, lineEnd);
        pos = lineEnd;
        break;
      }
      mayWriteBefore(pos + 16);
      const __m128i block = load(pos);
      const auto newline =
          static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, newlines)));
      const auto blankBits =
          static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, blanks)));
      const unsigned pairs = blankBits & ((blankBits << 1) | blank);
      if (!newline) {
        if (pairs) {
          copyCollapsing(pos, pos + 16);
        } else {
          // All of it: the store ends within the block just read.
          _mm_storeu_si128(reinterpret_cast<__m128i*>(text + write), block);
          write += 16;
          blank = blankBits >> 15;
        }
        pos += 16;
        continue;
      }
      const auto length = static_cast<std::size_t>(__builtin_ctz(newline));
      if (pairs & ((1u << length) - 1)) {
        copyCollapsing(pos, pos + length);
      } else {
        if (write != pos) std::memmove(text + write, text + pos, length);
        write += length;
      }
      pos += length;
      break;
    }
    // Trailing blanks and the CR; the line's first byte is none of them.
    while (write > lineStart && IsBlankOrControl(text[write - 1])) --write;
    read = pos + 1;
  }
#else
  while (read < size) {
    const auto* newline = static_cast<const char*>(std::memchr(text + read, '\n', size - read));
    const std::size_t lineEnd = newline ? static_cast<std::size_t>(newline - text) : size;
    mayWriteBefore(lineEnd);
    std::size_t begin = read, end = lineEnd;
    while (begin < end && IsBlankOrControl(text[begin])) ++begin;
    while (end > begin && IsBlankOrControl(text[end - 1])) --end;
    if (begin < end) {
      if (text[begin] != '<') {
        // Only a file that starts with text has no room for the blank, and
        // such a file has no declaration anyway.
        if (write == begin) return false;
        text[write++] = ' ';
      }
      write += CopyCollapsingBlanks(text + write, text + begin, end - begin);
    }
    read = lineEnd + 1;
  }
#endif
  size = write;
  return true;
}

// Position of the first "<!--" at or after `from`, or npos. Every tag starts
// with '<' and comments are rare: the pair "<!" is looked for sixteen
// positions at a time rather than stopping at every '<'.
std::size_t FindCommentOpen(std::string_view text, std::size_t from) {
  constexpr std::string_view kOpen = "<!--";
#ifdef __SSE2__
  const char* const p = text.data();
  const std::size_t n = text.size();
  const __m128i angle = _mm_set1_epi8('<');
  const __m128i bang = _mm_set1_epi8('!');
  for (; from + 17 <= n; from += 16) {
    const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + from));
    const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + from + 1));
    auto pairs = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(here, angle), _mm_cmpeq_epi8(next, bang))));
    for (; pairs; pairs &= pairs - 1) {
      const std::size_t at = from + static_cast<std::size_t>(__builtin_ctz(pairs));
      if (text.substr(at, kOpen.size()) == kOpen) return at;
    }
  }
#endif
  return text.find(kOpen, from);
}

// Removes comments: the leftmost "<!--" goes, through the first "-->" after
// it, until none is left. Cutting a comment can complete a new "<!--" from
// the end of the kept text and what follows the cut; that one is then the
// leftmost and goes next. One pass, since the kept text never holds an
// opening. False when a comment is not closed.
bool StripComments(char* data, std::size_t& size) {
  const std::string_view text(data, size);
  constexpr std::string_view kOpen = "<!--";
  std::size_t open = FindCommentOpen(text, 0);
  if (open == std::string_view::npos) return true;
  std::size_t write = 0;
  std::size_t read = 0;
  auto keepUpTo = [&](std::size_t end) {
    if (write != read) std::memmove(data + write, data + read, end - read);
    write += end - read;
    read = end;
  };
  keepUpTo(open);
  std::size_t afterOpen = open + kOpen.size();
  for (;;) {
    const std::size_t close = text.find("-->", afterOpen);
    if (close == std::string_view::npos) return false;
    read = close + 3;
    const std::string_view kept(data, write);
    const std::string_view rest = text.substr(read);
    std::size_t joined = 0;
    for (std::size_t k = 3; k >= 1 && joined == 0; --k)
      if (kept.ends_with(kOpen.substr(0, k)) && rest.starts_with(kOpen.substr(k))) joined = k;
    if (joined > 0) {
      write -= joined;
      afterOpen = read + kOpen.size() - joined;
      continue;
    }
    open = FindCommentOpen(text, read);
    if (open == std::string_view::npos) break;
    keepUpTo(open);
    afterOpen = open + kOpen.size();
  }
  keepUpTo(text.size());
  size = write;
  return true;
}

// A cursor over the joined text; nothing is ever erased from its front.
// Nodes are made in the store, and the nodes made there get slices of the
// text; a node from elsewhere (the document's root) gets copies.
class TReader {
 public:
  TReader(std::string_view text, TXMLParameters& parameters, TXMLStore& store)
      : FText(text), FParameters(parameters), FStore(store) {}
  // Memory ran out part way: the nodes read but not yet given to their
  // element go here (each holds the store).
  ~TReader() {
    for (const std::vector<TXMLNode*>& children : FPending)
      for (TXMLNode* child : children) delete child;
  }
  TReader(const TReader&) = delete;
  TReader& operator=(const TReader&) = delete;

  TXMLStatus ReadProlog();
  TXMLStatus ParseNode(TXMLNode& node, std::int32_t level, int depth);
  bool AtEnd() const { return FPos >= FText.size(); }

 private:
  std::string_view Rest() const { return FText.substr(FPos); }
  bool StartsWith(std::string_view s) const { return Rest().starts_with(s); }
  TXMLStatus ReadAttributes(TXMLNode& node, std::string_view tag);
  TXMLStatus ReadContent(TXMLNode& node, std::int32_t level, int depth);
  bool InArena(const TXMLNode& node) const { return node.Store() == &FStore; }
  void SetText(TXMLString& text, const TXMLNode& node, std::string_view bytes) const {
    if (InArena(node))
      text.AdoptSlice(bytes);
    else
      text = bytes;
  }

  const std::string_view FText;
  TXMLParameters& FParameters;
  TXMLStore& FStore;
  std::size_t FPos = 0;
  // Children of the elements being read, one list per depth: an element's
  // children are gathered here and get a list of the right size at once.
  std::deque<std::vector<TXMLNode*>> FPending;
  // Names and values of the tag being read, for the same reason.
  std::vector<std::string_view> FAttributeTexts;
};

TXMLStatus TReader::ReadProlog() {
  FParameters.Attributes.clear();
  std::string_view rest = Rest();
  std::size_t prefix = 0;
  if (rest.starts_with("<?xml "))
    prefix = 6;
  else if (rest.starts_with("<? xml "))
    prefix = 7;
  else
    return xsNoDeclaration;
  std::size_t close = rest.find("?>");
  if (close == std::string_view::npos) return xsUnterminatedDeclaration;
  std::string declaration(rest.substr(prefix, close + 2 - prefix));
  FPos += close + 2;
  declaration.push_back(' ');

  bool seen[4] = {false, false, false, false};
  static constexpr std::string_view kNames[4] = {
      "version=", "encoding=", "language=", "standalone="};
  std::string* fields[4] = {&FParameters.Version, &FParameters.Encoding, &FParameters.Language,
                            &FParameters.Standalone};
  std::size_t start = 0;
  while (start < declaration.size()) {
    std::size_t blank = declaration.find(' ', start);
    std::string_view token = std::string_view(declaration).substr(start, blank + 1 - start);
    start = blank + 1;
    if (token == "?> " || token == "> " || token == " ") continue;
    bool known = false;
    for (int i = 0; i < 4; ++i) {
      if (!token.starts_with(kNames[i])) continue;
      if (seen[i]) return xsDuplicateOrTrailing;
      seen[i] = known = true;
      *fields[i] = UnquoteValue(token.substr(kNames[i].size()));
      break;
    }
    if (known) continue;
    std::size_t equals = token.find('=');
    if (equals == std::string_view::npos) return xsAttributeWithoutValue;
    FParameters.Attributes.push_back(
        {std::string(token.substr(0, equals)), UnquoteValue(token.substr(equals + 1))});
  }

  if (StartsWith("<?")) {
    std::size_t end = Rest().find("?>");
    if (end == std::string_view::npos) return xsUnterminatedDeclaration;
    FParameters.Instruction = std::string(Rest().substr(0, end + 2));
    FPos += end + 2;
  }
  if (StartsWith("<!")) {
    std::size_t end = Rest().find('>');
    if (end == std::string_view::npos) return xsUnterminatedDeclaration;
    FParameters.DocType.Text = std::string(Rest().substr(0, end + 1));
    FPos += end + 1;
  }
  return xsLoaded;
}

TXMLStatus TReader::ReadAttributes(TXMLNode& node, std::string_view tag) {
  // A token runs to its second '"'; the character after it (or the blank
  // appended to the tag) ends it as a blank.
  std::vector<std::string_view>& texts = FAttributeTexts;
  texts.clear();
  const char* const data = tag.data();
  const std::size_t size = tag.size();
  TXMLStatus status = xsLoaded;
  std::size_t pos = 0;
  while (pos <= size) {  // the appended blank is the last position
    const std::size_t start = pos;
    // Names are short: the first quote is looked for byte by byte, the
    // second one (after a value of any length) with memchr.
    while (pos < size && data[pos] != '"') ++pos;
    if (pos < size) {
      const void* second = std::memchr(data + pos + 1, '"', size - pos - 1);
      pos = second ? static_cast<std::size_t>(static_cast<const char*>(second) - data) + 1 : size;
    }
    const std::string_view raw = tag.substr(start, pos - start);
    ++pos;  // the separator
    if (raw.empty() || raw == ">" || raw == "/>") continue;
    const std::size_t equals = raw.find('=');
    if (equals == std::string_view::npos) {
      status = xsAttributeWithoutValue;
      break;
    }
    texts.push_back(raw.substr(0, equals));
    texts.push_back(UnquoteView(raw.substr(equals + 1)));
  }
  // What was read before a bad token stays.
  const std::size_t n = texts.size() / 2;
  if (n == 0) return status;
  if (InArena(node) && node.Attributes.empty()) {
    TXMLAttribute* list = FStore.Allocate<TXMLAttribute>(n);
    for (std::size_t i = 0; i < n; ++i)
      ::new (list + i)
          TXMLAttribute{TXMLString::Slice(texts[2 * i]), TXMLString::Slice(texts[2 * i + 1])};
    node.Attributes.AdoptArena(list, n);
  } else {
    node.Attributes.reserve(node.Attributes.size() + n);
    for (std::size_t i = 0; i < n; ++i)
      node.Attributes.push_back({TXMLString(texts[2 * i]), TXMLString(texts[2 * i + 1])});
  }
  return status;
}

TXMLStatus TReader::ParseNode(TXMLNode& node, std::int32_t level, int depth) {
  node.Level = level;
  if (depth > TXMLParser::MaxDepth) return xsTooDeep;
  if (AtEnd()) return xsUnexpectedEnd;
  const char* const text = FText.data();
  const std::size_t size = FText.size();
  if (text[FPos] != '<') {
    const auto* next = static_cast<const char*>(std::memchr(text + FPos, '<', size - FPos));
    const std::size_t end = next ? static_cast<std::size_t>(next - text) : size;
    node.Kind = nkText;
    SetText(node.Value, node, std::string_view(text + FPos, end - FPos));
    FPos = end;
    return xsLoaded;
  }

  // The name runs to the first blank, '/' or '>'.
  std::size_t nameEnd = FPos + 1;
  while (nameEnd < size && text[nameEnd] != ' ' && text[nameEnd] != '/' && text[nameEnd] != '>')
    ++nameEnd;
  if (nameEnd == size) return xsUnterminatedTag;
  if (nameEnd == FPos + 1) return xsEmptyElementName;
  SetText(node.Name, node, std::string_view(text + FPos + 1, nameEnd - FPos - 1));
  const char ender = text[nameEnd];
  FPos = nameEnd + 1;
  if (ender == '/') {
    node.Kind = nkEmptyElement;
    if (AtEnd()) return xsUnterminatedTag;
    ++FPos;  // the '>'
  } else if (ender == ' ') {
    node.Attributes.clear();
    const auto* found = static_cast<const char*>(std::memchr(text + FPos, '>', size - FPos));
    if (!found) return xsUnterminatedTag;
    const auto close = static_cast<std::size_t>(found - text);
    std::string_view tag = FText.substr(FPos, close + 1 - FPos);
    FPos = close + 1;
    if (close > 0 && text[close - 1] == '/') node.Kind = nkEmptyElement;
    if (TXMLStatus status = ReadAttributes(node, tag)) return status;
  }

  if (node.Kind != nkElement) return xsLoaded;
  return ReadContent(node, level, depth);
}

TXMLStatus TReader::ReadContent(TXMLNode& node, std::int32_t level, int depth) {
  if (FPending.size() <= static_cast<std::size_t>(depth))
    FPending.resize(static_cast<std::size_t>(depth) + 1);
  std::vector<TXMLNode*>& children = FPending[static_cast<std::size_t>(depth)];
  // Children read so far stay in the element whatever the outcome.
  auto settle = [&](TXMLStatus status) {
    const std::size_t n = children.size();
    if (n > 0 && InArena(node) && node.Children.empty()) {
      auto* list = FStore.Allocate<std::unique_ptr<TXMLNode>>(n);
      for (std::size_t i = 0; i < n; ++i) ::new (list + i) std::unique_ptr<TXMLNode>(children[i]);
      node.Children.AdoptArena(list, n);
    } else if (n > 0) {
      node.Children.reserve(node.Children.size() + n);
      for (TXMLNode* child : children) node.Children.emplace_back(child);
    }
    children.clear();
    return status;
  };
  const std::string_view name = node.Name;
  const std::size_t closingSize = name.size() + 3;
  auto atClosingTag = [&] {
    std::string_view rest = Rest();
    return rest.size() >= closingSize && rest[0] == '<' && rest[1] == '/' &&
           rest.substr(2, name.size()) == name && rest[closingSize - 1] == '>';
  };
  for (;;) {
    if (AtEnd()) return settle(xsUnexpectedEnd);
    if (atClosingTag()) break;
    // The slot first: a node is never made without a place that owns it.
    children.push_back(nullptr);
    children.back() = FStore.NewNode();
    TXMLStatus status = ParseNode(*children.back(), level + 1, depth + 1);
    if (status != xsLoaded) return settle(status);
  }
  FPos += closingSize;
  return settle(xsLoaded);
}

void AppendLine(std::string& out, std::string_view text) {
  out += text;
  out += "\r\n";
}

void WriteAttribute(std::string& out, std::string_view name, std::string_view value) {
  out += ' ';
  out += name;
  out += "=\"";
  out += value;
  out += '"';
}

// Tags are put together with a cursor in room made for the whole line: one
// size check per line rather than one per piece.
char* Room(std::string& out, std::size_t size) {
  const std::size_t at = out.size();
  out.resize(at + size);
  return out.data() + at;
}

char* Put(char* p, std::string_view text) {
  std::memcpy(p, text.data(), text.size());
  return p + text.size();
}

bool OneText(const TXMLNode& node) {
  return node.Children.size() == 1 && node.Children.front()->Kind == nkText;
}

// The text being written: kept whole for SaveToText, or, when saving, handed
// to the file in pieces as it grows, so a big journal is never in memory
// twice (as tree and as text).
struct TOutput {
  static constexpr std::size_t FlushSize = std::size_t(1) << 20;
  std::string Text;
  const TByteSink* Sink = nullptr;
  std::size_t Written = 0;  // bytes handed to the sink

  void Flush(bool all = false) {
    if (!Sink || (!all && Text.size() < FlushSize)) return;
    (*Sink)(Text);
    Written += Text.size();
    Text.clear();
  }
};

// The start tag with its line end: " />" CR LF for an empty element, ">"
// then CR LF unless one text follows on the same line.
void WriteStartTag(std::string& out, const TXMLNode& node) {
  const std::size_t indent = node.Level > 0 ? 2 * static_cast<std::size_t>(node.Level) : 0;
  const bool empty = node.Kind == nkEmptyElement;
  const bool oneText = OneText(node);
  std::size_t size = indent + 1 + node.Name.size() + (empty ? 5 : oneText ? 1 : 3);
  for (const auto& attribute : node.Attributes)
    size += attribute.Name.size() + attribute.Value.size() + 4;
  char* p = Room(out, size);
  std::memset(p, ' ', indent);
  p += indent;
  *p++ = '<';
  p = Put(p, node.Name);
  for (const auto& attribute : node.Attributes) {
    *p++ = ' ';
    p = Put(p, attribute.Name);
    *p++ = '=';
    *p++ = '"';
    p = Put(p, attribute.Value);
    *p++ = '"';
  }
  Put(p, empty ? " />\r\n" : oneText ? ">" : ">\r\n");
}

// The end tag: on its own line, indented, unless after the one text.
void WriteEndTag(std::string& out, const TXMLNode& node) {
  const std::size_t tagIndent =
      OneText(node) || node.Level <= 0 ? 0 : 2 * static_cast<std::size_t>(node.Level);
  char* p = Room(out, tagIndent + node.Name.size() + 5);
  std::memset(p, ' ', tagIndent);
  p += tagIndent;
  p = Put(p, "</");
  p = Put(p, node.Name);
  Put(p, ">\r\n");
}

void WriteNode(TOutput& output, const TXMLNode& node) {
  std::string& out = output.Text;
  if (node.Kind == nkText) {
    AppendNormalizedSpaces(out, node.Value);
    return;
  }
  WriteStartTag(out, node);
  if (node.Kind == nkEmptyElement) return;
  for (const auto& child : node.Children) {
    WriteNode(output, *child);
    output.Flush();
  }
  WriteEndTag(out, node);
}

// Joins, strips and parses the text into the prolog and the root; the
// status of the load. The text is changed only behind `hashing`.
TXMLStatus ParseText(TXMLStore& store, TXMLParameters& parameters, TXMLNode& root,
                     TTextHashing* hashing = nullptr) {
  TTextBuffer& text = store.Text;
  const std::size_t readSize = text.Size();
  if (!JoinLines(text.Data(), text.Size(), hashing)) return xsNoDeclaration;
  // Before the tail's pages go.
  if (hashing) hashing->WaitFor(readSize);
  if (!StripComments(text.Data(), text.Size())) return xsUnterminatedComment;
  // What joining cut off the end is not needed any more.
  text.ReleaseTail();
  // Nodes and lists take about as many bytes as the text they come from.
  store.ExpectBytes(text.Size());
  TReader reader(std::string_view(text.Data(), text.Size()), parameters, store);
  TXMLStatus status = reader.ReadProlog();
  if (status != xsLoaded) return status;
  status = reader.ParseNode(root, 0, 0);
  if (status == xsLoaded && !reader.AtEnd()) status = xsDuplicateOrTrailing;
  return status;
}

void WriteProlog(std::string& out, const TXMLParameters& parameters) {
  out += "<?xml";
  WriteAttribute(out, "version", parameters.Version);
  WriteAttribute(out, "encoding", parameters.Encoding);
  if (!parameters.OmitLanguage) WriteAttribute(out, "language", parameters.Language);
  WriteAttribute(out, "standalone", parameters.Standalone);
  for (const auto& attribute : parameters.Attributes)
    WriteAttribute(out, attribute.Name, attribute.Value);
  AppendLine(out, "?>");
  if (!parameters.Instruction.empty()) AppendLine(out, parameters.Instruction);
  AppendLine(out, parameters.DocType.Text);
  AppendLine(out, "");
}

// The prolog lines, then the root element.
void WriteDocument(TOutput& output, const TXMLParameters& parameters, const TXMLNode& root) {
  WriteProlog(output.Text, parameters);
  WriteNode(output, root);
}

}  // namespace

TXMLParser::TXMLParser() : Root(std::make_unique<TXMLNode>()) {}

TXMLParser::~TXMLParser() {
  Root.reset();
  TXMLStore::Release(FStore);
}

void TXMLParser::TakeStore(TXMLStore* store) {
  TXMLStore::Release(FStore);
  FStore = store;
}

void TXMLParser::Load(const std::string& fileName) {
  if (fileName.empty()) {
    Status = xsNoFileName;
    return;
  }
  try {
    LoadFile(fileName);
  } catch (const std::bad_alloc&) {
    ForgetAfterNoMemory();
    // Found but not read: never written over.
    FUnreadSource = CanonicalFileName(fileName);
  }
}

void TXMLParser::Reload() {
  const std::string fileName = FileName;
  Root.reset();
  TakeStore(nullptr);
  Root = std::make_unique<TXMLNode>();
  Parameters = TXMLParameters();
  Status = xsLoaded;
  Load(fileName);
}

bool TXMLParser::UnchangedSinceDisk() const {
  return FDiskKnown && HashOf(SaveToText()) == FDiskTextHash;
}

void TXMLParser::ForgetAfterNoMemory() {
  // Out of memory part way: nothing of the half-read tree stays.
  Root.reset();
  TakeStore(nullptr);
  Root = std::make_unique<TXMLNode>();
  FOriginalBytes.clear();
  FBackupName.clear();
  FBackupSource.clear();
  Status = xsCannotOpen;
  FReadError = std::strerror(ENOMEM);
}

void TXMLParser::LoadFile(const std::string& fileName) {
  FileName = fileName;
  FBackupName.clear();
  FBackupSource.clear();
  FOriginalBytes.clear();
  FReadError.clear();
  FUnreadSource.clear();
  TXMLStore* store = TXMLStore::Create();
  std::string error;
  bool read = false;
  try {
    read = store->Text.Read(fileName, error);
  } catch (...) {
    TXMLStore::Release(store);
    throw;
  }
  if (!read) {
    TXMLStore::Release(store);
    Status = xsCannotOpen;
    // A file that is not there yet: whoever makes it meanwhile made another version.
    FDiskKnown = false;
    if (!FileExists(fileName)) RememberDisk(fileName, HashOf({}));
    std::string unknown;
    // A missing file is a new document; any other failure leaves a file
    // that must not be replaced by an empty document.
    const xfs::TPresence presence = xfs::Presence(fileName, unknown);
    if (presence != xfs::TPresence::Missing) {
      FReadError = !error.empty() ? error : !unknown.empty() ? unknown : "Read error";
      FUnreadSource = CanonicalFileName(fileName);
    }
    return;
  }
  TakeStore(store);
  FFileSeal = store->Text.Sealed() ? DocumentSeal() : nullptr;
  FSizeHint = store->Text.Size();
  TTextHashing hashing(std::string_view(store->Text.Data(), store->Text.Size()));
  const xfs::TIdentity disk = xfs::IdentityOf(fileName);
  try {
    Status = ParseText(*store, Parameters, *Root, &hashing);
  } catch (...) {
    RememberDisk(disk, hashing.Value());
    throw;
  }
  RememberDisk(disk, hashing.Value());
  // A file that was found but not read cleanly must not be silently replaced
  // by the part that was read: its bytes are kept for a backup. They are read
  // again here rather than copied up front, so good files cost one buffer.
  if (Status != xsLoaded && ReadWholeFile(fileName, FOriginalBytes)) {
    FBackupSource = CanonicalFileName(fileName);
    FBackupName = FreeBackupName(fileName);
  }
}

void TXMLParser::LoadFromText(std::string text) {
  FSizeHint = text.size();
  FDiskKnown = false;
  try {
    TXMLStore* store = TXMLStore::Create();
    TakeStore(store);
    store->Text.Adopt(std::move(text));
    Status = ParseText(*store, Parameters, *Root);
  } catch (const std::bad_alloc&) {
    ForgetAfterNoMemory();
  }
}

std::string TXMLParser::SaveToText() const {
  TOutput output;
  // Room for the text the document was read from or last written as, and a
  // little more: most calls then build the text without copying it.
  output.Text.reserve(FSizeHint + FSizeHint / 16 + 4096);
  WriteDocument(output, Parameters, *Root);
  return std::move(output.Text);
}

TXMLTextBuilder::TXMLTextBuilder(const TXMLParser& document) : FRoot(*document.Root) {
  FText.reserve(document.FSizeHint + document.FSizeHint / 16 + 4096);
  WriteProlog(FText, document.Parameters);
  // A root without elements below it is written whole at once.
  if (FRoot.Kind == nkText || FRoot.Kind == nkEmptyElement || OneText(FRoot)) {
    TOutput output;
    output.Text = std::move(FText);
    WriteNode(output, FRoot);
    FText = std::move(output.Text);
    FDone = true;
    return;
  }
  WriteStartTag(FText, FRoot);
}

bool TXMLTextBuilder::Step(std::size_t bytes) {
  if (FDone) return true;
  TOutput output;
  output.Text = std::move(FText);
  const std::size_t until = output.Text.size() + bytes;
  while (FNext < FRoot.Children.size() && output.Text.size() < until)
    WriteNode(output, *FRoot.Children[FNext++]);
  FText = std::move(output.Text);
  if (FNext < FRoot.Children.size()) return false;
  WriteEndTag(FText, FRoot);
  FDone = true;
  return true;
}

bool TXMLParser::IsUnreadFile(const std::string& fileName) const {
  return !FUnreadSource.empty() && CanonicalFileName(fileName) == FUnreadSource;
}

void TXMLParser::ReplaceText(std::string text) {
  const bool known = FDiskKnown;
  const xfs::TIdentity disk = FDisk;
  const std::uint64_t hash = FDiskTextHash;
  // Nothing of the tree read before stays, as for a reload.
  Root.reset();
  TakeStore(nullptr);
  Root = std::make_unique<TXMLNode>();
  Parameters = TXMLParameters();
  LoadFromText(std::move(text));
  FDiskKnown = known;
  FDisk = disk;
  FDiskTextHash = hash;
}

void TXMLParser::RememberDisk(const std::string& fileName, std::uint64_t textHash) {
  RememberDisk(xfs::IdentityOf(fileName), textHash);
}

void TXMLParser::RememberDisk(const xfs::TIdentity& disk, std::uint64_t textHash) {
  FDisk = disk;
  FDiskTextHash = textHash;
  FDiskKnown = true;
}

bool TXMLParser::OtherVersionOnDisk(const std::string& fileName) const {
  if (!FDiskKnown || fileName != FileName) return false;
  const xfs::TIdentity now = xfs::IdentityOf(fileName);
  if (now == FDisk || !now.Exists) return false;
  // Written again with the same bytes (a sync client, a backup tool) is no other version.
  std::string bytes;
  const std::shared_ptr<const TFileSeal> seal = DocumentSeal();
  return !ReadDocumentFile(fileName, bytes, nullptr, seal ? seal.get() : FFileSeal.get()) ||
         HashOf(bytes) != FDiskTextHash;
}

TXMLParser::TSaveOutcome TXMLParser::Save(const std::string& fileName) {
  if (IsUnreadFile(fileName))
    throw TXMLWriteError("not replaced, since it could not be read: " + FReadError);
  FConflictCopy.clear();
  FSyncWarning.clear();
  std::shared_ptr<const TFileSeal> seal = Plain ? nullptr : DocumentSeal();
  // A journal of a sealed library left open after a plain one was opened
  // must not go to the disk as plain text.
  if (!Plain && !seal && FFileSeal && FileIsSealed(fileName)) seal = FFileSeal;
  if (OtherVersionOnDisk(fileName)) {
    const std::string text = SaveToText();
    if (HashOf(text) == FDiskTextHash) return TSaveOutcome::KeptTheOther;
    FConflictCopy = ConflictFileName(fileName);
    FSyncWarning = WriteDocumentFile(
        FConflictCopy, [&](const TByteSink& sink) { sink(text); }, seal.get());
    return TSaveOutcome::WroteConflictCopy;
  }
  FileName = fileName;
  if (!FBackupName.empty() && CanonicalFileName(fileName) == FBackupSource) {
    // The file was not read cleanly: keep what the user had before replacing it.
    if (FileExists(FBackupName)) FBackupName = FreeBackupName(fileName);
    WriteFileAtomically(FBackupName, FOriginalBytes);
    FBackupName.clear();
    FBackupSource.clear();
    std::string().swap(FOriginalBytes);
  }
  // Sealing the same text again gives other bytes: an unchanged document
  // leaves its file alone rather than stir backups and sync folders.
  if (seal && FDiskKnown && fileName == FileName && xfs::IdentityOf(fileName) == FDisk &&
      FDisk.Exists && HashOf(SaveToText()) == FDiskTextHash)
    return TSaveOutcome::Written;
  std::size_t written = 0;
  TTextHash hash;
  FSyncWarning = WriteDocumentFile(
      fileName,
      [&](const TByteSink& sink) {
        const TByteSink hashed = [&](std::string_view bytes) {
          hash.Add(bytes);
          sink(bytes);
        };
        TOutput output;
        output.Sink = &hashed;
        output.Text.reserve(2 * TOutput::FlushSize);
        WriteDocument(output, Parameters, *Root);
        output.Flush(true);
        written = output.Written;
      },
      seal.get());
  FSizeHint = written;
  FFileSeal = seal;
  RememberDisk(fileName, hash.Value());
  return TSaveOutcome::Written;
}

const TXMLNode* TXMLParser::FindNode(std::string_view name) const {
  if (Root->Name == name) return Root.get();
  return std::as_const(*Root).FindNode(name);
}
