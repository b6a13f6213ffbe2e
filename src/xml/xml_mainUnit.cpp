#include "xml_mainUnit.h"

#include <cstring>

namespace {

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

// Joins the file's lines into one text in place: each line is trimmed and
// its inner runs of blanks collapsed; empty lines vanish; a line that does
// not begin with '<' is joined after one blank. A line is ended by LF (CR
// before it is trimmed as white space). The result never grows past the
// input, so the buffer is rewritten from the front without a copy.
bool JoinLines(std::string& text) {
  std::size_t write = 0;
  std::size_t read = 0;
  const std::size_t size = text.size();
  while (read < size) {
    std::size_t lineEnd = text.find('\n', read);
    if (lineEnd == std::string::npos) lineEnd = size;
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
      bool lastBlank = false;
      for (std::size_t i = begin; i < end; ++i) {
        const char c = text[i];
        if (c == ' ' && lastBlank) continue;
        lastBlank = c == ' ';
        text[write++] = c;
      }
    }
    read = lineEnd + 1;
  }
  text.resize(write);
  return true;
}

// Removes comments: the leftmost "<!--" goes, through the first "-->" after
// it, until none is left. Cutting a comment can complete a new "<!--" from
// the end of the kept text and what follows the cut; that one is then the
// leftmost and goes next. One pass, since the kept text never holds an
// opening. False when a comment is not closed.
bool StripComments(std::string& text) {
  constexpr std::string_view kOpen = "<!--";
  std::size_t open = text.find(kOpen);
  if (open == std::string::npos) return true;
  std::size_t write = 0;
  std::size_t read = 0;
  auto keepUpTo = [&](std::size_t end) {
    if (write != read) std::memmove(&text[write], &text[read], end - read);
    write += end - read;
    read = end;
  };
  keepUpTo(open);
  std::size_t afterOpen = open + kOpen.size();
  for (;;) {
    const std::size_t close = text.find("-->", afterOpen);
    if (close == std::string::npos) return false;
    read = close + 3;
    const std::string_view kept(text.data(), write);
    const std::string_view rest = std::string_view(text).substr(read);
    std::size_t joined = 0;
    for (std::size_t k = 3; k >= 1 && joined == 0; --k)
      if (kept.ends_with(kOpen.substr(0, k)) && rest.starts_with(kOpen.substr(k))) joined = k;
    if (joined > 0) {
      write -= joined;
      afterOpen = read + kOpen.size() - joined;
      continue;
    }
    open = text.find(kOpen, read);
    if (open == std::string::npos) break;
    keepUpTo(open);
    afterOpen = open + kOpen.size();
  }
  keepUpTo(text.size());
  text.resize(write);
  return true;
}

// A cursor over the joined text; nothing is ever erased from its front.
class TReader {
 public:
  TReader(const std::string& text, TXMLParameters& parameters)
      : FText(text), FParameters(parameters) {}

  std::uint8_t ReadProlog();
  std::uint8_t ParseNode(TXMLNode& node, std::int32_t level, int depth);
  bool AtEnd() const { return FPos >= FText.size(); }

 private:
  std::string_view Rest() const { return std::string_view(FText).substr(FPos); }
  bool StartsWith(std::string_view s) const { return Rest().starts_with(s); }
  std::uint8_t ReadAttributes(TXMLNode& node, std::string_view tag);

  const std::string& FText;
  TXMLParameters& FParameters;
  std::size_t FPos = 0;
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
  // appended to the tag) ends it as a blank. Tokens are sliced, not copied.
  std::size_t pos = 0;
  const std::size_t size = tag.size() + 1;  // the appended blank
  while (pos < size) {
    const std::size_t start = pos;
    int quotes = 0;
    while (pos < tag.size() && quotes < 2)
      if (tag[pos++] == '"') ++quotes;
    std::string_view raw = tag.substr(start, pos - start);
    ++pos;  // the separator
    if (raw.empty() || raw == ">" || raw == "/>") continue;
    std::size_t equals = raw.find('=');
    if (equals == std::string_view::npos) return xsAttributeWithoutValue;
    node.Attributes.push_back({std::string(raw.substr(0, equals)), UnquoteValue(raw.substr(equals + 1))});
  }
  return xsLoaded;
}

std::uint8_t TReader::ParseNode(TXMLNode& node, std::int32_t level, int depth) {
  node.Level = level;
  if (depth > TXMLParser::MaxDepth) return xsTooDeep;
  if (AtEnd()) return xsUnexpectedEnd;
  if (FText[FPos] != '<') {
    std::size_t next = FText.find('<', FPos);
    if (next == std::string::npos) next = FText.size();
    node.Kind = nkText;
    node.Value.assign(FText, FPos, next - FPos);
    FPos = next;
    return xsLoaded;
  }

  std::size_t nameEnd = FText.find_first_of(" />", FPos + 1);
  if (nameEnd == std::string::npos) return xsUnterminatedTag;
  if (nameEnd == FPos + 1) return xsEmptyElementName;
  node.Name.assign(FText, FPos + 1, nameEnd - FPos - 1);
  const char ender = FText[nameEnd];
  FPos = nameEnd + 1;
  if (ender == '/') {
    node.Kind = nkEmptyElement;
    if (AtEnd()) return xsUnterminatedTag;
    ++FPos;  // the '>'
  } else if (ender == ' ') {
    node.Attributes.clear();
    std::size_t close = FText.find('>', FPos);
    if (close == std::string::npos) return xsUnterminatedTag;
    std::string_view tag = std::string_view(FText).substr(FPos, close + 1 - FPos);
    FPos = close + 1;
    if (close > 0 && FText[close - 1] == '/') node.Kind = nkEmptyElement;
    if (std::uint8_t status = ReadAttributes(node, tag)) return status;
  }

  if (node.Kind != nkElement) return xsLoaded;
  const std::size_t closingSize = node.Name.size() + 3;
  auto atClosingTag = [&] {
    std::string_view rest = Rest();
    return rest.size() >= closingSize && rest[0] == '<' && rest[1] == '/' &&
           rest.substr(2, node.Name.size()) == node.Name && rest[closingSize - 1] == '>';
  };
  for (;;) {
    if (AtEnd()) return xsUnexpectedEnd;
    if (atClosingTag()) break;
    auto child = std::make_unique<TXMLNode>();
    std::uint8_t status = ParseNode(*child, level + 1, depth + 1);
    node.AddChild(std::move(child));
    if (status != xsLoaded) return status;
  }
  FPos += closingSize;
  return xsLoaded;
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

void WriteNode(std::string& out, const TXMLNode& node) {
  if (node.Kind == nkText) {
    out += NormalizeSpaces(node.Value);
    return;
  }
  const std::size_t indent = node.Level > 0 ? 2 * static_cast<std::size_t>(node.Level) : 0;
  out.append(indent, ' ');
  out += '<';
  out += node.Name;
  for (const auto& attribute : node.Attributes) WriteAttribute(out, attribute.Name, attribute.Value);
  if (node.Kind == nkEmptyElement) {
    AppendLine(out, " />");
    return;
  }
  out += '>';
  const bool oneText = node.Children.size() == 1 && node.Children.front()->Kind == nkText;
  if (!oneText) out += "\r\n";
  for (const auto& child : node.Children) WriteNode(out, *child);
  if (!oneText) out.append(indent, ' ');
  out += "</";
  out += node.Name;
  AppendLine(out, ">");
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
  std::string text;
  if (!ReadWholeFile(fileName, text)) {
    Status = xsCannotOpen;
    return;
  }
  LoadFromText(std::move(text));
  // A file that was found but not read cleanly must not be silently replaced
  // by the part that was read: its bytes are kept for a backup. They are read
  // again here rather than copied up front, so good files cost one buffer.
  if (Status != xsLoaded && ReadWholeFile(fileName, FOriginalBytes)) {
    FBackupSource = CanonicalFileName(fileName);
    FBackupName = FreeBackupName(fileName);
  }
}

void TXMLParser::LoadFromText(std::string text) {
  if (!JoinLines(text)) {
    Status = xsNoDeclaration;
    return;
  }
  if (!StripComments(text)) {
    Status = xsUnterminatedComment;
    return;
  }
  TReader reader(text, Parameters);
  Status = reader.ReadProlog();
  if (Status != xsLoaded) return;
  Status = reader.ParseNode(*Root, 0, 0);
  if (Status == xsLoaded && !reader.AtEnd()) Status = xsDuplicateOrTrailing;
}

std::string TXMLParser::SaveToText() const {
  std::string out;
  out.reserve(4096);
  out += "<?xml";
  WriteAttribute(out, "version", Parameters.Version);
  WriteAttribute(out, "encoding", Parameters.Encoding);
  if (!Parameters.OmitLanguage) WriteAttribute(out, "language", Parameters.Language);
  WriteAttribute(out, "standalone", Parameters.Standalone);
  for (const auto& attribute : Parameters.Attributes) WriteAttribute(out, attribute.Name, attribute.Value);
  AppendLine(out, "?>");
  if (!Parameters.Instruction.empty()) AppendLine(out, Parameters.Instruction);
  AppendLine(out, Parameters.DocType.Text);
  AppendLine(out, "");
  WriteNode(out, *Root);
  return out;
}

void TXMLParser::Save(const std::string& fileName) {
  FileName = fileName;
  if (!FBackupName.empty() && CanonicalFileName(fileName) == FBackupSource) {
    // The file was not read cleanly: keep what the user had before replacing it.
    if (FileExists(FBackupName)) FBackupName = FreeBackupName(fileName);
    WriteFileAtomically(FBackupName, FOriginalBytes, FWriter);
    FBackupName.clear();
    FBackupSource.clear();
    std::string().swap(FOriginalBytes);
  }
  WriteFileAtomically(fileName, SaveToText(), FWriter);
}

TXMLNode* TXMLParser::FindNode(std::string_view name) const {
  if (Root->Name == name) return Root.get();
  return Root->FindNode(name);
}
