#include "xml/xml_mainUnit.h"

#include <QFile>
#include <algorithm>
#include <cstring>
#include <deque>
#include <vector>

#include "xml/xml_fileSystem.h"

#if defined(__unix__)
#include <sys/mman.h>
#include <unistd.h>
#define SOMNARY_PAGED_TEXT 1
#endif

namespace {

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

// Joins the file's lines into one text in place: each line is trimmed and
// its inner runs of blanks collapsed; empty lines vanish; a line that does
// not begin with '<' is joined after one blank. A line is ended by LF (CR
// before it is trimmed as white space). The result never grows past the
// input, so the buffer is rewritten from the front without a copy; size
// becomes the joined length.
bool JoinLines(char* text, std::size_t& size) {
  std::size_t write = 0;
  std::size_t read = 0;
  while (read < size) {
    const void* newline = std::memchr(text + read, '\n', size - read);
    const std::size_t lineEnd = newline ? static_cast<const char*>(newline) - text : size;
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
  size = write;
  return true;
}

// Removes comments: the leftmost "<!--" goes, through the first "-->" after
// it, until none is left. Cutting a comment can complete a new "<!--" from
// the end of the kept text and what follows the cut; that one is then the
// leftmost and goes next. One pass, since the kept text never holds an
// opening. False when a comment is not closed.
bool StripComments(char* data, std::size_t& size) {
  const std::string_view text(data, size);
  constexpr std::string_view kOpen = "<!--";
  std::size_t open = text.find(kOpen);
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
    open = text.find(kOpen, read);
    if (open == std::string_view::npos) break;
    keepUpTo(open);
    afterOpen = open + kOpen.size();
  }
  keepUpTo(text.size());
  size = write;
  return true;
}

// Where the joined text lives while it is parsed. A large file gets pages
// of its own, and the pages the cursor has passed are handed back to the
// system as the tree grows: a big journal then peaks at about the size of
// its tree instead of tree plus file.
class TTextBuffer {
 public:
  TTextBuffer() = default;
  TTextBuffer(const TTextBuffer&) = delete;
  TTextBuffer& operator=(const TTextBuffer&) = delete;
  ~TTextBuffer() { Unmap(); }

  // Reads the whole file; false with the system's message when it cannot
  // be opened or read.
  bool Read(const std::string& fileName, std::string& error);
  // Text parsed from a string the caller hands over: nothing is released.
  void Adopt(std::string text) {
    FString = std::move(text);
    FData = FString.data();
    FSize = FString.size();
  }

  char* Data() { return FData; }
  std::size_t& Size() { return FSize; }
  // The text before `end` will not be read again.
  void Release(std::size_t end);
  // Nor will anything after the text's (shortened) size.
  void ReleaseTail();
  // Unit of releasing: a huge page. Files smaller than this are read into a
  // string and released as a whole.
  static constexpr std::size_t ReleaseStep = std::size_t(2) << 20;

 private:
  bool Map(std::size_t size);
  void Unmap();

  std::string FString;  // small files and text handed over
  char* FData = nullptr;
  std::size_t FSize = 0;
  std::size_t FMapped = 0;    // bytes of the mapping, 0 when FString holds the text
  std::size_t FReleased = 0;  // the pages before this were given back
};

bool TTextBuffer::Map(std::size_t size) {
#ifdef SOMNARY_PAGED_TEXT
  // Whole huge pages, aligned to their size: the system can back them with
  // few page faults, and each release frees whole ones.
  const std::size_t length = (size + ReleaseStep - 1) / ReleaseStep * ReleaseStep;
  void* pages = mmap(nullptr, length + ReleaseStep, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (pages == MAP_FAILED) return false;
  char* start = static_cast<char*>(pages);
  char* aligned =
      start + (ReleaseStep - reinterpret_cast<std::uintptr_t>(start) % ReleaseStep) % ReleaseStep;
  if (aligned > start) munmap(start, static_cast<std::size_t>(aligned - start));
  if (char* end = start + length + ReleaseStep; end > aligned + length)
    munmap(aligned + length, static_cast<std::size_t>(end - aligned - length));
#ifdef MADV_HUGEPAGE
  madvise(aligned, length, MADV_HUGEPAGE);
#endif
  FData = aligned;
  FMapped = length;
  FReleased = 0;
  return true;
#else
  (void)size;
  return false;
#endif
}

void TTextBuffer::Unmap() {
#ifdef SOMNARY_PAGED_TEXT
  if (FMapped) munmap(FData, FMapped);
#endif
  FMapped = 0;
}

void TTextBuffer::Release(std::size_t end) {
#ifdef SOMNARY_PAGED_TEXT
  if (!FMapped) return;
  end = std::min(end, FMapped) / ReleaseStep * ReleaseStep;
  if (end <= FReleased) return;
  // The contents of released pages are gone; the cursor never goes back.
  madvise(FData + FReleased, end - FReleased, MADV_DONTNEED);
  FReleased = end;
#else
  (void)end;
#endif
}

void TTextBuffer::ReleaseTail() {
#ifdef SOMNARY_PAGED_TEXT
  if (!FMapped) return;
  static const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  const std::size_t begin = (FSize + page - 1) / page * page;
  if (begin < FMapped) madvise(FData + begin, FMapped - begin, MADV_DONTNEED);
#endif
}

bool TTextBuffer::Read(const std::string& fileName, std::string& error) {
  {
    QFile file(QString::fromLocal8Bit(fileName.data(), static_cast<qsizetype>(fileName.size())));
    if (!file.open(QIODevice::ReadOnly)) {
      error = file.errorString().toLocal8Bit().toStdString();
      return false;
    }
    const qint64 size = file.size();
    if (!file.isSequential() && size >= qint64(ReleaseStep) &&
        Map(static_cast<std::size_t>(size))) {
      qint64 got = 0;
      while (got < size) {
        const qint64 n = file.read(FData + got, size - got);
        if (n <= 0) break;
        got += n;
      }
      char more = 0;
      if (got == size && file.read(&more, 1) == 0) {
        FSize = static_cast<std::size_t>(size);
        return true;
      }
      // Short, failing or still growing: read it the ordinary way below.
      Unmap();
    }
  }
  if (!ReadWholeFile(fileName, FString, &error)) return false;
  FData = FString.data();
  FSize = FString.size();
  return true;
}

// A cursor over the joined text; nothing is ever erased from its front.
class TReader {
 public:
  TReader(std::string_view text, TXMLParameters& parameters, TTextBuffer* buffer)
      : FText(text), FParameters(parameters), FBuffer(buffer) {}

  std::uint8_t ReadProlog();
  std::uint8_t ParseNode(TXMLNode& node, std::int32_t level, int depth);
  bool AtEnd() const { return FPos >= FText.size(); }

 private:
  std::string_view Rest() const { return FText.substr(FPos); }
  bool StartsWith(std::string_view s) const { return Rest().starts_with(s); }
  std::uint8_t ReadAttributes(TXMLNode& node, std::string_view tag);
  std::uint8_t ReadContent(TXMLNode& node, std::int32_t level, int depth);

  const std::string_view FText;
  TXMLParameters& FParameters;
  TTextBuffer* FBuffer;  // null when nothing is to be released
  std::size_t FPos = 0;
  std::size_t FNextRelease = TTextBuffer::ReleaseStep;
  // Children of the elements being read, one list per depth: an element's
  // children are gathered here and moved into it in one allocation of the
  // right size, instead of its list growing step by step.
  std::deque<std::vector<std::unique_ptr<TXMLNode>>> FPending;
};

std::uint8_t TReader::ReadProlog() {
  FParameters.Attributes.clear();
  std::string_view rest = Rest();
  std::size_t prefix = 0;
  if (rest.starts_with("<?xml ")) prefix = 6;
  else if (rest.starts_with("<? xml ")) prefix = 7;
  else return xsNoDeclaration;
  std::size_t close = rest.find("?>");
  if (close == std::string_view::npos) return xsUnterminatedDeclaration;
  std::string declaration(rest.substr(prefix, close + 2 - prefix));
  FPos += close + 2;
  declaration.push_back(' ');

  bool seen[4] = {false, false, false, false};
  static constexpr std::string_view kNames[4] = {"version=", "encoding=", "language=", "standalone="};
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

std::uint8_t TReader::ReadAttributes(TXMLNode& node, std::string_view tag) {
  // A token runs to its second '"'; the character after it (or the blank
  // appended to the tag) ends it as a blank. Tokens are sliced, not copied,
  // and held until the tag is read so the list is sized once.
  struct TSlice {  // left uninitialised: most tags use two or three
    const char* Data;
    std::size_t Size;
  };
  constexpr std::size_t kHeld = 16;
  TSlice names[kHeld], values[kHeld];
  std::size_t held = 0;
  auto store = [&] {
    node.Attributes.reserve(node.Attributes.size() + held);
    for (std::size_t i = 0; i < held; ++i) {
      TXMLAttribute& attribute = node.Attributes.emplace_back();
      attribute.Name.assign(names[i].Data, names[i].Size);
      attribute.Value.assign(UnquoteView(std::string_view(values[i].Data, values[i].Size)));
    }
    held = 0;
  };
  const char* const data = tag.data();
  const std::size_t size = tag.size();
  std::uint8_t status = xsLoaded;
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
    if (held == kHeld) store();
    names[held] = {raw.data(), equals};
    values[held] = {raw.data() + equals + 1, raw.size() - equals - 1};
    ++held;
  }
  store();
  return status;
}

std::uint8_t TReader::ParseNode(TXMLNode& node, std::int32_t level, int depth) {
  node.Level = level;
  if (depth > TXMLParser::MaxDepth) return xsTooDeep;
  if (AtEnd()) return xsUnexpectedEnd;
  const char* const text = FText.data();
  const std::size_t size = FText.size();
  if (text[FPos] != '<') {
    const void* next = std::memchr(text + FPos, '<', size - FPos);
    const std::size_t end = next ? static_cast<const char*>(next) - text : size;
    node.Kind = nkText;
    node.Value.assign(text + FPos, end - FPos);
    FPos = end;
    return xsLoaded;
  }

  // The name runs to the first blank, '/' or '>'.
  std::size_t nameEnd = FPos + 1;
  while (nameEnd < size && text[nameEnd] != ' ' && text[nameEnd] != '/' && text[nameEnd] != '>')
    ++nameEnd;
  if (nameEnd == size) return xsUnterminatedTag;
  if (nameEnd == FPos + 1) return xsEmptyElementName;
  node.Name.assign(text + FPos + 1, nameEnd - FPos - 1);
  const char ender = text[nameEnd];
  FPos = nameEnd + 1;
  if (ender == '/') {
    node.Kind = nkEmptyElement;
    if (AtEnd()) return xsUnterminatedTag;
    ++FPos;  // the '>'
  } else if (ender == ' ') {
    node.Attributes.clear();
    const void* found = std::memchr(text + FPos, '>', size - FPos);
    if (!found) return xsUnterminatedTag;
    const std::size_t close = static_cast<const char*>(found) - text;
    std::string_view tag = FText.substr(FPos, close + 1 - FPos);
    FPos = close + 1;
    if (close > 0 && text[close - 1] == '/') node.Kind = nkEmptyElement;
    if (std::uint8_t status = ReadAttributes(node, tag)) return status;
  }

  if (node.Kind != nkElement) return xsLoaded;
  return ReadContent(node, level, depth);
}

std::uint8_t TReader::ReadContent(TXMLNode& node, std::int32_t level, int depth) {
  if (FPending.size() <= static_cast<std::size_t>(depth))
    FPending.resize(static_cast<std::size_t>(depth) + 1);
  std::vector<std::unique_ptr<TXMLNode>>& children = FPending[static_cast<std::size_t>(depth)];
  // Children read so far stay in the element whatever the outcome.
  auto settle = [&](std::uint8_t status) {
    node.Children.reserve(node.Children.size() + children.size());
    for (auto& child : children) node.AddChild(std::move(child));
    children.clear();
    return status;
  };
  const std::size_t closingSize = node.Name.size() + 3;
  auto atClosingTag = [&] {
    std::string_view rest = Rest();
    return rest.size() >= closingSize && rest[0] == '<' && rest[1] == '/' &&
           rest.substr(2, node.Name.size()) == node.Name && rest[closingSize - 1] == '>';
  };
  for (;;) {
    if (AtEnd()) return settle(xsUnexpectedEnd);
    if (atClosingTag()) break;
    if (FBuffer && FPos >= FNextRelease) {
      FBuffer->Release(FPos);
      FNextRelease = FPos + TTextBuffer::ReleaseStep;
    }
    children.push_back(std::make_unique<TXMLNode>());
    std::uint8_t status = ParseNode(*children.back(), level + 1, depth + 1);
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

void WriteNode(TOutput& output, const TXMLNode& node) {
  std::string& out = output.Text;
  if (node.Kind == nkText) {
    AppendNormalizedSpaces(out, node.Value);
    return;
  }
  const std::size_t indent = node.Level > 0 ? 2 * static_cast<std::size_t>(node.Level) : 0;
  const bool empty = node.Kind == nkEmptyElement;
  const bool oneText = node.Children.size() == 1 && node.Children.front()->Kind == nkText;
  // Indent, "<", the name, each ` name="value"`, then " />" CR LF, or ">"
  // with CR LF unless one text follows on the same line.
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
  if (empty) {
    Put(p, " />\r\n");
    return;
  }
  Put(p, oneText ? ">" : ">\r\n");
  for (const auto& child : node.Children) {
    WriteNode(output, *child);
    output.Flush();
  }
  // The end tag: on its own line, indented, unless after the one text.
  const std::size_t tagIndent = oneText ? 0 : indent;
  p = Room(out, tagIndent + node.Name.size() + 5);
  std::memset(p, ' ', tagIndent);
  p += tagIndent;
  p = Put(p, "</");
  p = Put(p, node.Name);
  Put(p, ">\r\n");
}

// Joins, strips and parses the text into the prolog and the root; the
// status of the load.
std::uint8_t ParseText(TTextBuffer& text, bool release, TXMLParameters& parameters,
                       TXMLNode& root) {
  if (!JoinLines(text.Data(), text.Size())) return xsNoDeclaration;
  if (!StripComments(text.Data(), text.Size())) return xsUnterminatedComment;
  TTextBuffer* buffer = release ? &text : nullptr;
  // What joining cut off the end is not needed any more.
  if (buffer) buffer->ReleaseTail();
  TReader reader(std::string_view(text.Data(), text.Size()), parameters, buffer);
  std::uint8_t status = reader.ReadProlog();
  if (status != xsLoaded) return status;
  status = reader.ParseNode(root, 0, 0);
  if (status == xsLoaded && !reader.AtEnd()) status = xsDuplicateOrTrailing;
  return status;
}

// The prolog lines, then the root element.
void WriteDocument(TOutput& output, const TXMLParameters& parameters, const TXMLNode& root) {
  std::string& out = output.Text;
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
  WriteNode(output, root);
}

}  // namespace

TXMLParser::TXMLParser() : Root(std::make_unique<TXMLNode>()) {}

TXMLParser::~TXMLParser() = default;

void TXMLParser::Load(const std::string& fileName) {
  if (fileName.empty()) {
    Status = xsNoFileName;
    return;
  }
  FileName = fileName;
  FBackupName.clear();
  FBackupSource.clear();
  FOriginalBytes.clear();
  FReadError.clear();
  FUnreadSource.clear();
  TTextBuffer text;
  std::string error;
  if (!text.Read(fileName, error)) {
    Status = xsCannotOpen;
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
  FSizeHint = text.Size();
  Status = ParseText(text, true, Parameters, *Root);
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
  TTextBuffer buffer;
  buffer.Adopt(std::move(text));
  Status = ParseText(buffer, false, Parameters, *Root);
}

std::string TXMLParser::SaveToText() const {
  TOutput output;
  // Room for the text the document was read from or last written as, and a
  // little more: most calls then build the text without copying it.
  output.Text.reserve(FSizeHint + FSizeHint / 16 + 4096);
  WriteDocument(output, Parameters, *Root);
  return std::move(output.Text);
}

bool TXMLParser::IsUnreadFile(const std::string& fileName) const {
  return !FUnreadSource.empty() && CanonicalFileName(fileName) == FUnreadSource;
}

void TXMLParser::Save(const std::string& fileName) {
  if (IsUnreadFile(fileName))
    throw TXMLWriteError("not replaced, since it could not be read: " + FReadError);
  FileName = fileName;
  if (!FBackupName.empty() && CanonicalFileName(fileName) == FBackupSource) {
    // The file was not read cleanly: keep what the user had before replacing it.
    if (FileExists(FBackupName)) FBackupName = FreeBackupName(fileName);
    WriteFileAtomically(FBackupName, FOriginalBytes);
    FBackupName.clear();
    FBackupSource.clear();
    std::string().swap(FOriginalBytes);
  }
  std::size_t written = 0;
  WriteFileAtomically(fileName, [&](const TByteSink& sink) {
    TOutput output;
    output.Sink = &sink;
    output.Text.reserve(2 * TOutput::FlushSize);
    WriteDocument(output, Parameters, *Root);
    output.Flush(true);
    written = output.Written;
  });
  FSizeHint = written;
}

TXMLNode* TXMLParser::FindNode(std::string_view name) const {
  if (Root->Name == name) return Root.get();
  return Root->FindNode(name);
}
