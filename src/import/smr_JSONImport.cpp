#include "import/smr_JSONImport.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <array>
#include <charconv>
#include <cstring>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "import/smr_ImportTexts.h"
#include "storage/smr_Cp1251.h"
#include "storage/smr_HTMLFile.h"
#include "storage/smr_TextEdge.h"
#include "storage/smr_Types.h"
#include "xml/xml_mainUnit.h"
#include "xml/xml_node.h"

namespace {

// Objects and arrays nest about twice per element: a tree the reader of
// journals takes fits, and the stack stays small.
constexpr int MaxJsonDepth = 2 * TXMLParser::MaxDepth + 16;

// Where a value goes decides what must change so that the file can hold it,
// as at the text edge: an attribute cannot hold '"', '<', '>' or a line
// break, a text cannot hold '<'.
enum class TPlace { Name, Attribute, Text };

// The windows-1251 byte of a code point, or -1. U+0098 is the byte 0x98,
// which the code page leaves unassigned: the export writes it so.
int ByteOf(char32_t cp) {
  if (cp < 0x80 || cp == 0x98) return static_cast<int>(cp);
  if (cp >= 0x0410 && cp <= 0x044F) return static_cast<int>(0xC0 + (cp - 0x0410));
  static const std::array<std::uint8_t, 0x2123> table = [] {
    std::array<std::uint8_t, 0x2123> bytes{};
    for (int byte = 0x80; byte < 0xC0; ++byte) {
      const char32_t unicode = Cp1251ToUnicode(static_cast<unsigned char>(byte));
      if (unicode < bytes.size()) bytes[unicode] = static_cast<std::uint8_t>(byte);
    }
    return bytes;
  }();
  return cp < table.size() && table[cp] != 0 ? table[cp] : -1;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

// The characters of a string as UTF-8.
struct TUtf8 {
  std::string& Out;
  void Run(const char* bytes, std::size_t n) { Out.append(bytes, n); }
  void operator()(char32_t cp) { AppendUtf8(Out, cp); }
};

// Checks a string and keeps nothing of it.
struct TNothing {
  void Run(const char*, std::size_t) {}
  void operator()(char32_t) {}
};

// A name the reader gives back as it was written: no blank or control
// character, none of the characters that end a name or a tag.
bool StorableName(std::string_view name, TPlace place) {
  if (name.empty()) return false;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 32 || c == '"' || c == '<' || c == '>' || c == '=') return false;
    if (place == TPlace::Name && c == '/') return false;
  }
  return true;
}

// A value of the XML declaration: one token without quotes or '?'.
bool StorableDeclarationValue(std::string_view value) {
  for (const char c : value)
    if (static_cast<unsigned char>(c) <= 32 || c == '"' || c == '<' || c == '>' || c == '?')
      return false;
  return true;
}

bool OneLine(std::string_view text) { return text.find_first_of("\r\n") == std::string::npos; }

// The text of a processing instruction or a document type as the reader
// takes it back: one line, ended where the reader ends it.
bool StorableInstruction(std::string_view text) {
  return text.empty() || (OneLine(text) && text.starts_with("<?") && text.size() >= 4 &&
                          text.find("?>") == text.size() - 2 && !text.starts_with("<?xml "));
}
bool StorableDocType(std::string_view text) {
  return text.empty() || (OneLine(text) && text.starts_with("<!") && !text.starts_with("<!--") &&
                          text.find('>') == text.size() - 1);
}

class TJsonReader {
 public:
  explicit TJsonReader(std::string_view text) : FText(text) {
    if (FText.starts_with("\xEF\xBB\xBF")) FStart = 3;
    Rewind();
  }

  int Replaced = 0;

  void Rewind() {
    FPos = FStart;
    FLine = 1;
  }
  int Line() const { return FLine; }

  [[noreturn]] void Fail(const QString& reason) const { FailAt(FLine, reason); }
  [[noreturn]] static void FailAt(int line, const QString& reason) {
    const QString message = Text(res::ImportJsonAtLine).arg(QString::number(line), reason);
    throw TImportError(message.toUtf8().toStdString(), line);
  }
  [[noreturn]] void Syntax(const char* reason) const {
    Fail(Text(res::ImportJsonSyntax).arg(Text(reason)));
  }
  [[noreturn]] void Expected(const char* what) const {
    Fail(Text(res::ImportJsonExpected).arg(Text(what)));
  }

  // The next character after blanks; 0 at the end.
  char Next() {
    while (FPos < FText.size()) {
      const char c = FText[FPos];
      if (c == '\n') {
        ++FLine;
      } else if (c != ' ' && c != '\t' && c != '\r') {
        return c;
      }
      ++FPos;
    }
    return 0;
  }
  bool Take(char c) {
    if (Next() != c) return false;
    ++FPos;
    return true;
  }
  void Expect(char c) {
    if (Take(c)) return;
    if (Next() == 0) Syntax(res::ImportJsonUnexpectedEnd);
    Syntax(res::ImportJsonUnexpectedChar);
  }
  bool AtEnd() { return Next() == 0; }

  // Checks the whole value; the only reading the first pass does.
  void Skip(int depth = 0) {
    if (depth > MaxJsonDepth) Fail(Text(res::ImportJsonTooDeep));
    const char c = Next();
    if (c == '{') {
      ++FPos;
      if (Take('}')) return;
      do {
        if (Next() != '"') Expect('"');
        String(TNothing());
        Expect(':');
        Skip(depth + 1);
      } while (Take(','));
      Expect('}');
    } else if (c == '[') {
      ++FPos;
      if (Take(']')) return;
      do {
        Skip(depth + 1);
      } while (Take(','));
      Expect(']');
    } else if (c == '"') {
      String(TNothing());
    } else if (c == 't' || c == 'f' || c == 'n') {
      Literal();
    } else if (c == '-' || (c >= '0' && c <= '9')) {
      NumberToken();
    } else if (c == 0) {
      Syntax(res::ImportJsonUnexpectedEnd);
    } else {
      Syntax(res::ImportJsonUnexpectedChar);
    }
  }

  // The members of an object, each handed to `member` with its key (UTF-8)
  // while the reader stands at its value, which `member` reads.
  template <typename F>
  void Object(F&& member) {
    if (Next() != '{') Expected(res::ImportJsonObject);
    ++FPos;
    if (Take('}')) return;
    std::string key;
    do {
      Next();
      key = Utf8();
      Expect(':');
      member(std::string_view(key));
    } while (Take(','));
    Expect('}');
  }
  template <typename F>
  void Array(F&& item) {
    if (Next() != '[') Expected(res::ImportJsonArray);
    ++FPos;
    if (Take(']')) return;
    do {
      item();
    } while (Take(','));
    Expect(']');
  }
  std::string Utf8() {
    if (Next() != '"') Expected(res::ImportJsonString);
    std::string out;
    String(TUtf8{out});
    return out;
  }
  // Appends the string's windows-1251 bytes to `out`, made storable for
  // their place. Every character is at least as long in the JSON, so the
  // bytes are written into room made once for the whole string.
  void Bytes(std::string& out, TPlace place) {
    if (Next() != '"') Expected(res::ImportJsonString);
    const std::size_t begin = FPos + 1;
    const std::size_t end = ClosingQuote(begin);
    const std::size_t old = out.size();
    out.resize(old + (end - begin));
    char* const first = out.data() + old;
    char* p = first;
    const auto* text = reinterpret_cast<const unsigned char*>(FText.data());
    const std::array<char, 128>& ascii = AsciiFor(place);
    FPos = begin;
    while (FPos < end) {
      const unsigned char c = text[FPos];
      if (c >= 0x20 && c < 0x80 && c != '\\') {
        *p++ = ascii[c];
        ++FPos;
      } else if ((c == 0xD0 || c == 0xD1) && (text[FPos + 1] & 0xC0) == 0x80) {
        // Cyrillic, the bulk of a diary: two bytes that need no more checks.
        const auto cp = static_cast<char32_t>(((c & 0x1F) << 6) | (text[FPos + 1] & 0x3F));
        FPos += 2;
        if (cp >= 0x0410 && cp <= 0x044F)
          *p++ = static_cast<char>(0xC0 + (cp - 0x0410));
        else
          p = Put(first, p, cp, place);
      } else if (c < 0x20) {
        Syntax(res::ImportJsonControlChar);
      } else {
        p = Put(first, p, c == '\\' ? Escape() : Utf8Char(text, end), place);
      }
    }
    FPos = end + 1;
    out.resize(static_cast<std::size_t>(p - out.data()));
  }
  bool Bool() {
    const char c = Next();
    if (c != 't' && c != 'f') Expected(res::ImportJsonBool);
    return Literal() == 't';
  }
  // The number as written; nothing when the value is no number.
  std::optional<std::string_view> Number() {
    const char c = Next();
    if (c != '-' && (c < '0' || c > '9')) return std::nullopt;
    return NumberToken();
  }

 private:
  template <typename Put>
  void String(Put&& put) {
    // Printable ASCII other than '"' and '\\' is copied a run at a time.
    static const std::array<bool, 256> plain = [] {
      std::array<bool, 256> table{};
      for (int c = 0x20; c < 0x80; ++c) table[static_cast<std::size_t>(c)] = c != '"' && c != '\\';
      return table;
    }();
    ++FPos;  // the opening quote
    const std::size_t size = FText.size();
    const auto* text = reinterpret_cast<const unsigned char*>(FText.data());
    for (;;) {
      const std::size_t run = FPos;
      while (FPos < size && plain[text[FPos]]) ++FPos;
      if (FPos > run) put.Run(FText.data() + run, FPos - run);
      if (FPos >= size) Syntax(res::ImportJsonUnexpectedEnd);
      const unsigned char c = text[FPos];
      if (c == '"') {
        ++FPos;
        return;
      }
      if (c < 0x20) Syntax(res::ImportJsonControlChar);
      if (c == '\\') {
        put(Escape());
      } else if ((c == 0xD0 || c == 0xD1) && FPos + 1 < size && (text[FPos + 1] & 0xC0) == 0x80) {
        // Cyrillic, the bulk of a diary: two bytes that need no more checks.
        put(static_cast<char32_t>(((c & 0x1F) << 6) | (text[FPos + 1] & 0x3F)));
        FPos += 2;
      } else {
        put(Utf8Char(text, size));
      }
    }
  }

  // Where the string that starts at `begin` ends: the first quote after
  // an even run of backslashes.
  std::size_t ClosingQuote(std::size_t begin) {
    const char* const text = FText.data();
    for (std::size_t from = begin;;) {
      const void* found = std::memchr(text + from, '"', FText.size() - from);
      if (!found) Syntax(res::ImportJsonUnexpectedEnd);
      const auto at = static_cast<std::size_t>(static_cast<const char*>(found) - text);
      std::size_t backslashes = 0;
      while (at - backslashes > begin && text[at - backslashes - 1] == '\\') ++backslashes;
      if (backslashes % 2 == 0) return at;
      from = at + 1;
    }
  }

  // The byte of each printable ASCII character in a place.
  static const std::array<char, 128>& AsciiFor(TPlace place) {
    static const std::array<std::array<char, 128>, 3> tables = [] {
      std::array<std::array<char, 128>, 3> all{};
      for (auto& table : all)
        for (std::size_t c = 0; c < 128; ++c) table[c] = static_cast<char>(c);
      all[1]['<'] = all[2]['<'] = '\x8B';  // U+2039
      all[1]['>'] = '\x9B';                // U+203A
      return all;
    }();
    return tables[static_cast<std::size_t>(place)];
  }

  // Any other character, after the bytes from `first` to `p` of the same
  // string; gives the new end.
  char* Put(char* first, char* p, char32_t cp, TPlace place) {
    const bool afterCr = p > first && p[-1] == '\r';
    if (place == TPlace::Attribute) {
      if (cp == '"') {
        cp = 0x201D;
      } else if (cp == '<') {
        cp = 0x2039;
      } else if (cp == '>') {
        cp = 0x203A;
      } else if (cp == '\n') {
        // A line break is one blank, CR LF as well as LF.
        if (afterCr) p[-1] = ' ';
        if (afterCr) return p;
        cp = ' ';
      }
    } else if (place == TPlace::Text) {
      if (cp == '<') {
        cp = 0x2039;
      } else if (cp == '\n' && !afterCr) {
        *p++ = '\r';  // the escape of LF is two bytes: there is room
      }
    }
    const int byte = ByteOf(cp);
    if (byte < 0) ++Replaced;
    *p++ = static_cast<char>(byte < 0 ? '?' : byte);
    return p;
  }

  char32_t Utf8Char(const unsigned char* text, std::size_t size) {
    const unsigned char c = text[FPos];
    std::size_t length = 0;
    char32_t cp = 0;
    unsigned char low = 0x80, high = 0xBF;  // bounds of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      length = 2, cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3, cp = c & 0x0F;
      if (c == 0xE0) low = 0xA0;
      if (c == 0xED) high = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4, cp = c & 0x07;
      if (c == 0xF0) low = 0x90;
      if (c == 0xF4) high = 0x8F;
    } else {
      Fail(Text(res::ImportJsonBadUtf8));
    }
    if (FPos + length > size) Fail(Text(res::ImportJsonBadUtf8));
    for (std::size_t k = 1; k < length; ++k) {
      const unsigned char next = text[FPos + k];
      if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF))
        Fail(Text(res::ImportJsonBadUtf8));
      cp = (cp << 6) | (next & 0x3F);
    }
    FPos += length;
    return cp;
  }

  char32_t Escape() {
    ++FPos;  // the backslash
    if (FPos >= FText.size()) Syntax(res::ImportJsonUnexpectedEnd);
    const char c = FText[FPos++];
    switch (c) {
      case '"':
      case '\\':
      case '/':
        return static_cast<char32_t>(c);
      case 'b':
        return '\b';
      case 'f':
        return '\f';
      case 'n':
        return '\n';
      case 'r':
        return '\r';
      case 't':
        return '\t';
      case 'u':
        break;
      default:
        Syntax(res::ImportJsonBadEscape);
    }
    char32_t cp = Hex4();
    if (cp >= 0xDC00 && cp <= 0xDFFF) Syntax(res::ImportJsonBadEscape);
    if (cp >= 0xD800 && cp <= 0xDBFF) {
      if (!FText.substr(FPos).starts_with("\\u")) Syntax(res::ImportJsonBadEscape);
      FPos += 2;
      const char32_t low = Hex4();
      if (low < 0xDC00 || low > 0xDFFF) Syntax(res::ImportJsonBadEscape);
      cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
    }
    return cp;
  }

  char32_t Hex4() {
    char32_t value = 0;
    for (int i = 0; i < 4; ++i, ++FPos) {
      if (FPos >= FText.size()) Syntax(res::ImportJsonUnexpectedEnd);
      const char c = FText[FPos];
      int digit = -1;
      if (c >= '0' && c <= '9') digit = c - '0';
      if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
      if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
      if (digit < 0) Syntax(res::ImportJsonBadEscape);
      value = value * 16 + static_cast<char32_t>(digit);
    }
    return value;
  }

  // true, false or null; gives its first letter.
  char Literal() {
    const char c = Next();
    const std::string_view word = c == 't' ? "true" : c == 'f' ? "false" : "null";
    if (!FText.substr(FPos).starts_with(word)) {
      if (FText.size() - FPos < word.size() && word.starts_with(FText.substr(FPos)))
        Syntax(res::ImportJsonUnexpectedEnd);
      Syntax(res::ImportJsonUnexpectedChar);
    }
    FPos += word.size();
    return c;
  }

  std::string_view NumberToken() {
    const std::size_t start = FPos;
    const auto digits = [this] {
      std::size_t n = 0;
      while (FPos < FText.size() && FText[FPos] >= '0' && FText[FPos] <= '9') ++FPos, ++n;
      return n;
    };
    if (FText[FPos] == '-') ++FPos;
    const bool leadingZero = FPos < FText.size() && FText[FPos] == '0';
    const std::size_t whole = digits();
    if (whole == 0 || (leadingZero && whole > 1)) Syntax(res::ImportJsonBadNumber);
    if (FPos < FText.size() && FText[FPos] == '.') {
      ++FPos;
      if (digits() == 0) Syntax(res::ImportJsonBadNumber);
    }
    if (FPos < FText.size() && (FText[FPos] == 'e' || FText[FPos] == 'E')) {
      ++FPos;
      if (FPos < FText.size() && (FText[FPos] == '+' || FText[FPos] == '-')) ++FPos;
      if (digits() == 0) Syntax(res::ImportJsonBadNumber);
    }
    return FText.substr(start, FPos - start);
  }

  std::string_view FText;
  std::size_t FStart = 0;
  std::size_t FPos = 0;
  int FLine = 1;
};

// Thrown to stop reading the head once it is known.
struct THeadRead {};

// The fields at the top that say what the file is.
struct THead {
  std::string Format, Kind, Version;
  bool VersionIsOne = false;
  int FormatLine = 1, KindLine = 1, VersionLine = 1;
};

// Reads the head. The export writes it first, and then nothing else is
// read here; a file that puts it later is checked whole on the way, so it
// is still named by what it is before its tree is looked at.
THead ReadHead(TJsonReader& in) {
  THead head;
  if (in.Next() != '{') {
    in.Skip();
    if (!in.AtEnd()) in.Syntax(res::ImportJsonTrailing);
    return head;
  }
  bool seen[3] = {false, false, false};
  bool whole = true;
  try {
    in.Object([&](std::string_view key) {
      const int line = (in.Next(), in.Line());
      if (key == "format" && in.Next() == '"') {
        head.Format = in.Utf8();
        head.FormatLine = line;
        seen[0] = true;
      } else if (key == "kind" && in.Next() == '"') {
        head.Kind = in.Utf8();
        head.KindLine = line;
        seen[1] = true;
      } else if (key == "version") {
        head.VersionLine = line;
        seen[2] = true;
        if (const auto number = in.Number()) {
          double value = 0;
          std::from_chars(number->data(), number->data() + number->size(), value);
          head.VersionIsOne = value == 1;
          head.Version = std::string(*number);
        } else {
          head.Version = in.Next() == '"' ? in.Utf8() : (in.Skip(1), std::string("?"));
        }
      } else if (seen[0] && seen[1] && seen[2]) {
        whole = false;
        throw THeadRead();
      } else {
        in.Skip(1);
      }
    });
  } catch (const THeadRead&) {
  }
  if (whole && !in.AtEnd()) in.Syntax(res::ImportJsonTrailing);
  return head;
}

// The journal's text in the program's own form, written as the JSON is
// read: the reader of journals then builds the tree, exactly as it reads the
// file the import writes. An element's start tag goes in place before its
// first child: the export writes an element's name and attributes before
// its children. A file that has them after the children is read again
// with the start tags of elements with children set aside and put in place
// when the text is put together: either way every byte is copied once.
struct TOutOfOrder {};

class TXmlBuilder {
 public:
  TXmlBuilder(TJsonReader& in, std::size_t expected, bool library, bool inPlace)
      : In(in), FLibrary(library), FInPlace(inPlace) {
    FXml.reserve(expected);
    // A declaration the reader takes (the prolog is set apart), on the line
    // of the tree: the reader joins lines in place, and a text with no line
    // break then stays where it is.
    FXml += "<?xml version=\"1.0\"?>";
  }

  struct TPage {
    std::size_t Element;  // the element's place among the elements, in document order
    std::string Bytes;
  };
  std::vector<TPage> Pages;
  QStringList Titles;  // of a library's journals
  std::string RootName;
  int RootLine = 1;

  void Node(int depth) {
    if (depth > TXMLParser::MaxDepth) In.Fail(Text(res::ImportJsonTooDeep));
    const int line = (In.Next(), In.Line());
    const std::size_t element = FElements++;
    if (FNames.size() <= static_cast<std::size_t>(depth)) {
      FNames.resize(static_cast<std::size_t>(depth) + 1);
      FAttributes.resize(static_cast<std::size_t>(depth) + 1);
    }
    std::string& name = FNames[static_cast<std::size_t>(depth)];
    std::string& attributes = FAttributes[static_cast<std::size_t>(depth)];
    name.clear();
    attributes.clear();
    bool isElement = false, isText = false, empty = false, file = false, tagWritten = false;
    std::size_t children = 0, slot = 0;
    int nameLine = line;
    std::optional<std::string> page;
    QString title;
    In.Object([&](std::string_view key) {
      if (key == "element") {
        if (tagWritten) throw TOutOfOrder();
        nameLine = (In.Next(), In.Line());
        name.clear();
        In.Bytes(name, TPlace::Name);
        isElement = true;
      } else if (key == "text") {
        if (children > 0) TJsonReader::FailAt(line, Text(res::ImportJsonNodeKind));
        In.Bytes(FXml, TPlace::Text);
        isText = true;
      } else if (key == "empty") {
        empty = In.Bool();
      } else if (key == "attributes") {
        if (tagWritten) throw TOutOfOrder();
        Attributes(attributes, file, title);
      } else if (key == "children") {
        if (isText) TJsonReader::FailAt(line, Text(res::ImportJsonNodeKind));
        In.Array([&] {
          if (children++ == 0) {
            if (!FInPlace) {
              slot = FSlots.size();
              FSlots.push_back({FXml.size(), 0, 0});
            } else if (!tagWritten) {
              if (!isElement) throw TOutOfOrder();
              (((FXml += '<') += name) += attributes) += '>';
              tagWritten = true;
            }
          }
          Node(depth + 1);
        });
      } else if (key == "descriptionFile") {
        page = DescriptionFile();
      } else {
        In.Skip(1);
      }
    });
    if (isElement == isText) TJsonReader::FailAt(line, Text(res::ImportJsonNodeKind));
    if (isText) {
      --FElements;  // a text is no element, and has nothing below it
      return;
    }
    if (!StorableName(name, TPlace::Name)) BadName(name, nameLine);
    if (depth == 0) {
      RootName = name;
      RootLine = nameLine;
    }
    if (page && file) Pages.push_back({element, std::move(*page)});
    if (FLibrary && name == smr::elFile && !title.isNull()) Titles << title;
    // An element given children is written with them, whatever "empty" says.
    if (children > 0) {
      if (!FInPlace) {
        FSlots[slot].Begin = FTags.size();
        (((FTags += '<') += name) += attributes) += '>';
        FSlots[slot].Size = FTags.size() - FSlots[slot].Begin;
      }
      (((FXml += "</") += name) += '>');
    } else {
      (((FXml += '<') += name) += attributes);
      if (empty)
        FXml += " />";
      else
        (((FXml += "></") += name) += '>');
    }
  }

  void Prolog(TXMLParameters& prolog) {
    std::string value;
    In.Object([&](std::string_view key) {
      const int line = (In.Next(), In.Line());
      std::string* field = key == "version"      ? &prolog.Version
                           : key == "encoding"   ? &prolog.Encoding
                           : key == "language"   ? &prolog.Language
                           : key == "standalone" ? &prolog.Standalone
                                                 : nullptr;
      if (key == "omitLanguage") {
        prolog.OmitLanguage = In.Bool();
        return;
      }
      if (key == "attributes") {
        prolog.Attributes.clear();
        Pairs([&](std::string_view name, int nameLine) {
          if (!StorableName(name, TPlace::Name)) BadProlog(name, nameLine);
          value.clear();
          In.Bytes(value, TPlace::Name);
          if (!StorableDeclarationValue(value)) BadProlog(value, nameLine);
          prolog.Attributes.push_back({TXMLString(name), TXMLString(value)});
        });
        return;
      }
      if (!field && key != "instruction" && key != "doctype") {
        In.Skip(1);
        return;
      }
      value.clear();
      In.Bytes(value, TPlace::Name);
      if (field) {
        if (!StorableDeclarationValue(value)) BadProlog(value, line);
        *field = value;
      } else if (key == "instruction") {
        if (!StorableInstruction(value)) BadProlog(value, line);
        prolog.Instruction = value;
      } else {
        if (!StorableDocType(value)) BadProlog(value, line);
        prolog.DocType.Text = value;
      }
    });
  }

  // The whole text, with the start tags set aside put in place.
  std::string Whole() {
    if (FSlots.empty()) return std::move(FXml);
    std::string text;
    text.reserve(FXml.size() + FTags.size());
    std::size_t done = 0;
    for (const TSlot& slot : FSlots) {
      text.append(FXml, done, slot.At - done);
      text.append(FTags, slot.Begin, slot.Size);
      done = slot.At;
    }
    text.append(FXml, done);
    return text;
  }

 private:
  struct TSlot {
    std::size_t At;           // where in FXml the start tag goes
    std::size_t Begin, Size;  // the tag in FTags
  };

  // An object of names and values, or (for a name given twice) an array of
  // [name, value] pairs; `value` reads the value after each name.
  template <typename F>
  void Pairs(F&& value) {
    std::string name;
    const auto named = [&](std::string_view utf8, int line) {
      name.clear();
      DecodeUtf8(utf8, name);
      value(std::string_view(name), line);
    };
    if (In.Next() == '[') {
      In.Array([&] {
        if (!In.Take('[')) In.Expected(res::ImportJsonPair);
        const int line = In.Line();
        const std::string key = In.Utf8();
        if (!In.Take(',')) In.Expected(res::ImportJsonPair);
        named(key, line);
        if (!In.Take(']')) In.Expected(res::ImportJsonPair);
      });
      return;
    }
    In.Object([&](std::string_view key) { named(key, In.Line()); });
  }

  void Attributes(std::string& out, bool& file, QString& title) {
    Pairs([&](std::string_view name, int line) {
      if (!StorableName(name, TPlace::Attribute)) BadName(name, line);
      ((out += ' ') += name) += "=\"";
      const std::size_t value = out.size();
      In.Bytes(out, TPlace::Attribute);
      if (name == smr::atFile) file = true;
      if (FLibrary && name == smr::atName) title = ToUi(std::string_view(out).substr(value));
      out += '"';
    });
  }

  // Valid UTF-8 (the key of an object) as windows-1251 bytes.
  void DecodeUtf8(std::string_view utf8, std::string& out) {
    for (std::size_t i = 0; i < utf8.size();) {
      const auto c = static_cast<unsigned char>(utf8[i]);
      const std::size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
      char32_t cp = length == 1 ? c : c & (0x7Fu >> length);
      for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
      const int byte = ByteOf(cp);
      if (byte < 0) ++In.Replaced;
      out += static_cast<char>(byte < 0 ? '?' : byte);
      i += length;
    }
  }

  // The page of an HTML description, as the program writes such a file.
  std::optional<std::string> DescriptionFile() {
    std::optional<QString> content;
    std::string encoding, base64;
    bool bom = false, hasBase64 = false;
    int line = In.Line();
    In.Object([&](std::string_view key) {
      if (key == "content") {
        const std::string utf8 = In.Utf8();
        content = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
      } else if (key == "encoding") {
        line = (In.Next(), In.Line());
        encoding = In.Utf8();
      } else if (key == "bom") {
        bom = In.Bool();
      } else if (key == "base64") {
        line = (In.Next(), In.Line());
        base64 = In.Utf8();
        hasBase64 = true;
      } else {
        In.Skip(1);
      }
    });
    if (hasBase64) {
      const auto decoded = QByteArray::fromBase64Encoding(QByteArray::fromStdString(base64),
                                                          QByteArray::AbortOnBase64DecodingErrors);
      if (!decoded) TJsonReader::FailAt(line, Text(res::ImportJsonBadBase64));
      return decoded.decoded.toStdString();
    }
    if (!content) return std::nullopt;
    THTMLEncoding charset;
    charset.Bom = bom;
    if (!encoding.empty() &&
        QByteArray::fromStdString(encoding).toLower().toStdString() != smr::Encoding1251) {
      if (!QStringDecoder(encoding.c_str()).isValid())
        TJsonReader::FailAt(line,
                            Text(res::ImportJsonBadEncoding).arg(QString::fromStdString(encoding)));
      charset.Charset = QByteArray::fromStdString(encoding);
    }
    return EncodeHTML(*content, charset).toStdString();
  }

  [[noreturn]] static void BadName(std::string_view name, int line) {
    TJsonReader::FailAt(line, Text(res::ImportJsonBadName).arg(ToUi(name)));
  }
  [[noreturn]] static void BadProlog(std::string_view value, int line) {
    TJsonReader::FailAt(line, Text(res::ImportJsonBadProlog).arg(ToUi(value)));
  }

  TJsonReader& In;
  const bool FLibrary;
  const bool FInPlace;
  std::string FXml;   // the text, less the start tags of elements with children
  std::string FTags;  // those start tags
  std::vector<TSlot> FSlots;
  std::size_t FElements = 0;
  // The name and attributes of the element being read at each depth.
  // A deque: growing it for a child leaves the parent's strings where they are.
  std::deque<std::string> FNames, FAttributes;
};

// The elements of the tree in document order, as the builder counted them.
void Elements(TXMLNode& node, std::vector<TXMLNode*>& out) {
  if (node.Kind == nkText) return;
  out.push_back(&node);
  for (auto& child : node.Children) Elements(*child, out);
}

}  // namespace

TImportedJournal ImportJSON(std::string_view utf8) {
  TJsonReader in(utf8);
  const THead head = ReadHead(in);
  if (head.Format != "somnary") {
    TJsonReader::FailAt(head.FormatLine, Text(res::ImportJsonNotSomnary));
  }
  if (!head.VersionIsOne) {
    if (head.Version.empty()) TJsonReader::FailAt(1, Text(res::ImportJsonNotSomnary));
    TJsonReader::FailAt(head.VersionLine,
                        Text(res::ImportJsonBadVersion).arg(QString::fromStdString(head.Version)));
  }
  const bool library = head.Kind == "library";
  if (head.Kind != "journal" && !library)
    TJsonReader::FailAt(head.KindLine, Text(res::ImportJsonNotSomnary));

  TImportedJournal journal;
  TXMLParameters prolog;
  // The journal's text is about half its JSON: Cyrillic takes two bytes there.
  const std::size_t expected = utf8.size() / 2 + utf8.size() / 16 + 4096;
  const auto build = [&](bool inPlace) {
    in.Rewind();
    in.Replaced = 0;
    prolog = journal.Document->Parameters;
    auto builder = std::make_unique<TXmlBuilder>(in, expected, library, inPlace);
    bool hasRoot = false;
    in.Object([&](std::string_view key) {
      if (key == "prolog") {
        builder->Prolog(prolog);
      } else if (key == "root" && !hasRoot) {
        hasRoot = true;
        builder->Node(0);
      } else {
        in.Skip(1);
      }
    });
    if (!in.AtEnd()) in.Syntax(res::ImportJsonTrailing);
    if (!hasRoot && !library) TJsonReader::FailAt(1, Text(res::ImportJsonNoRoot));
    return builder;
  };
  std::unique_ptr<TXmlBuilder> built;
  try {
    built = build(true);
  } catch (const TOutOfOrder&) {
    built = build(false);
  }
  TXmlBuilder& builder = *built;
  if (library) {
    QStringList titles = builder.Titles;
    if (titles.size() > 3) titles = titles.mid(0, 3) << QStringLiteral("...");
    for (QString& title : titles) title = QStringLiteral("«%1»").arg(title);
    TJsonReader::FailAt(head.KindLine,
                        titles.isEmpty()
                            ? Text(res::ImportJsonLibrary)
                            : Text(res::ImportJsonLibraryJournals).arg(titles.join(", ")));
  }
  if (builder.RootName != smr::elJournal)
    TJsonReader::FailAt(builder.RootLine,
                        Text(res::ImportJsonNotJournal).arg(ToUi(builder.RootName)));

  TXMLParser& document = *journal.Document;
  document.LoadFromText(builder.Whole());
  // Everything written was made storable; a tree the reader refuses would
  // be a fault here, never a journal written in part.
  if (document.Status != xsLoaded)
    throw TImportError(Text(res::ImportJsonUnreadable).toStdString(), 0);
  document.Parameters = prolog;
  std::vector<TXMLNode*> elements;
  elements.reserve(builder.Pages.size() ? 1024 : 0);
  if (!builder.Pages.empty()) Elements(*document.Root, elements);
  for (auto& page : builder.Pages)
    journal.Files.push_back({elements.at(page.Element), std::move(page.Bytes)});
  journal.Replaced = in.Replaced;
  return journal;
}
