#include "import/smr_JSONImport.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <array>
#include <charconv>
#include <memory>
#include <optional>

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

// windows-1251 bytes made storable for their place; counts the characters
// the code page lacks (they become '?').
class TBytes {
 public:
  TBytes(std::string& out, TPlace place, int& replaced)
      : FOut(out), FPlace(place), FReplaced(replaced) {
    FOut.clear();
  }
  void operator()(char32_t cp) {
    if (FPlace == TPlace::Attribute) {
      if (cp == '"') {
        cp = 0x201D;
      } else if (cp == '<') {
        cp = 0x2039;
      } else if (cp == '>') {
        cp = 0x203A;
      } else if (cp == '\n') {
        // A line break is one blank, CR LF as well as LF.
        if (FAfterCr) FOut.pop_back();
        cp = ' ';
      }
    } else if (FPlace == TPlace::Text) {
      if (cp == '<') {
        cp = 0x2039;
      } else if (cp == '\n' && !FAfterCr) {
        FOut += '\r';
      }
    }
    FAfterCr = cp == '\r';
    const int byte = ByteOf(cp);
    if (byte < 0) ++FReplaced;
    FOut += static_cast<char>(byte < 0 ? '?' : byte);
  }

 private:
  std::string& FOut;
  TPlace FPlace;
  int& FReplaced;
  bool FAfterCr = false;
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
        String([](char32_t) {});
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
      String([](char32_t) {});
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
    String([&out](char32_t cp) { AppendUtf8(out, cp); });
    return out;
  }
  void Bytes(std::string& out, TPlace place) {
    if (Next() != '"') Expected(res::ImportJsonString);
    String(TBytes(out, place, Replaced));
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
    ++FPos;  // the opening quote
    const std::size_t size = FText.size();
    const auto* text = reinterpret_cast<const unsigned char*>(FText.data());
    for (;;) {
      if (FPos >= size) Syntax(res::ImportJsonUnexpectedEnd);
      const unsigned char c = text[FPos];
      if (c == '"') {
        ++FPos;
        return;
      }
      if (c < 0x20) Syntax(res::ImportJsonControlChar);
      if (c == '\\') {
        put(Escape());
      } else if (c < 0x80) {
        put(c);
        ++FPos;
      } else {
        put(Utf8Char(text, size));
      }
    }
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

// What the first pass finds at the top: the fields that say what the file is.
struct THead {
  std::string Format, Kind, Version;
  bool VersionIsOne = false;
  int FormatLine = 1, KindLine = 1, VersionLine = 1;
};

THead ReadHead(TJsonReader& in) {
  THead head;
  if (in.Next() != '{') {
    in.Skip();
    if (!in.AtEnd()) in.Syntax(res::ImportJsonTrailing);
    return head;
  }
  in.Object([&](std::string_view key) {
    const int line = (in.Next(), in.Line());
    if (key == "format" && in.Next() == '"') {
      head.Format = in.Utf8();
      head.FormatLine = line;
    } else if (key == "kind" && in.Next() == '"') {
      head.Kind = in.Utf8();
      head.KindLine = line;
    } else if (key == "version") {
      head.VersionLine = line;
      if (const auto number = in.Number()) {
        double value = 0;
        std::from_chars(number->data(), number->data() + number->size(), value);
        head.VersionIsOne = value == 1;
        head.Version = std::string(*number);
      } else {
        head.Version = in.Next() == '"' ? in.Utf8() : (in.Skip(1), std::string("?"));
      }
    } else {
      in.Skip(1);
    }
  });
  if (!in.AtEnd()) in.Syntax(res::ImportJsonTrailing);
  return head;
}

class TTreeReader {
 public:
  TTreeReader(TJsonReader& in, TImportedJournal& journal) : In(in), Journal(journal) {}

  void Attributes(TXMLList<TXMLAttribute>& list, TPlace names, TPlace values) {
    const auto add = [&](std::string_view nameUtf8, int line) {
      std::string name;
      TBytes put(name, TPlace::Name, In.Replaced);
      DecodeUtf8(nameUtf8, put);
      if (!StorableName(name, names)) BadName(name, line);
      In.Bytes(FValue, values);
      list.push_back({TXMLString(name), TXMLString(FValue)});
    };
    if (In.Next() == '[') {
      In.Array([&] {
        if (!In.Take('[')) In.Expected(res::ImportJsonPair);
        const int line = In.Line();
        const std::string name = In.Utf8();
        if (!In.Take(',')) In.Expected(res::ImportJsonPair);
        add(name, line);
        if (!In.Take(']')) In.Expected(res::ImportJsonPair);
      });
      return;
    }
    In.Object([&](std::string_view key) { add(key, In.Line()); });
  }

  void Node(TXMLNode& node, int depth) {
    if (depth > TXMLParser::MaxDepth) In.Fail(Text(res::ImportJsonTooDeep));
    const int line = (In.Next(), In.Line());
    bool element = false, text = false, empty = false;
    int nameLine = line;
    std::optional<std::string> page;
    In.Object([&](std::string_view key) {
      if (key == "element") {
        nameLine = (In.Next(), In.Line());
        In.Bytes(FValue, TPlace::Name);
        node.Name = FValue;
        element = true;
      } else if (key == "text") {
        In.Bytes(FValue, TPlace::Text);
        node.Value = FValue;
        text = true;
      } else if (key == "empty") {
        empty = In.Bool();
      } else if (key == "attributes") {
        Attributes(node.Attributes, TPlace::Attribute, TPlace::Attribute);
      } else if (key == "children") {
        In.Array([&] {
          auto child = std::make_unique<TXMLNode>();
          Node(*child, depth + 1);
          node.AddChild(std::move(child));
        });
      } else if (key == "descriptionFile") {
        page = DescriptionFile();
      } else {
        In.Skip(1);
      }
    });
    if (element == text) TJsonReader::FailAt(line, Text(res::ImportJsonNodeKind));
    if (text) {
      // A text node is its text alone.
      node.Kind = nkText;
      node.Name.clear();
      node.Attributes.clear();
      node.ClearChildren();
      return;
    }
    if (!StorableName(node.Name, TPlace::Name)) BadName(node.Name, nameLine);
    // An element given children is written with them, whatever "empty" says.
    node.Kind = empty && node.Children.empty() ? nkEmptyElement : nkElement;
    if (page && node.HasAttribute(smr::atFile)) Journal.Files.push_back({&node, std::move(*page)});
  }

  void Prolog(TXMLParameters& prolog) {
    In.Object([&](std::string_view key) {
      const int line = (In.Next(), In.Line());
      std::string* field = key == "version"      ? &prolog.Version
                           : key == "encoding"   ? &prolog.Encoding
                           : key == "language"   ? &prolog.Language
                           : key == "standalone" ? &prolog.Standalone
                                                 : nullptr;
      if (field) {
        In.Bytes(FValue, TPlace::Name);
        if (!StorableDeclarationValue(FValue)) BadProlog(FValue, line);
        *field = FValue;
      } else if (key == "omitLanguage") {
        prolog.OmitLanguage = In.Bool();
      } else if (key == "attributes") {
        TXMLList<TXMLAttribute> list;
        Attributes(list, TPlace::Name, TPlace::Name);
        prolog.Attributes.clear();
        for (const TXMLAttribute& attribute : list) {
          if (!StorableDeclarationValue(attribute.Value)) BadProlog(attribute.Value, line);
          prolog.Attributes.push_back(attribute);
        }
      } else if (key == "instruction") {
        In.Bytes(FValue, TPlace::Name);
        if (!StorableInstruction(FValue)) BadProlog(FValue, line);
        prolog.Instruction = FValue;
      } else if (key == "doctype") {
        In.Bytes(FValue, TPlace::Name);
        if (!StorableDocType(FValue)) BadProlog(FValue, line);
        prolog.DocType.Text = FValue;
      } else {
        In.Skip(1);
      }
    });
  }

 private:
  template <typename Put>
  static void DecodeUtf8(std::string_view utf8, Put& put) {
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    for (const char32_t cp : text.toUcs4()) put(cp);
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
  TImportedJournal& Journal;
  std::string FValue;  // reused by every value, so most need no new buffer
};

// The titles of the library's journals, for the message that names them.
void JournalTitles(const TXMLNode& node, QStringList& titles) {
  if (node.Name == smr::elFile && node.HasAttribute(smr::atName))
    titles << QStringLiteral("«%1»").arg(ToUi(node.GetAttribute(smr::atName)));
  for (const auto& child : node.Children) JournalTitles(*child, titles);
}

}  // namespace

TImportedJournal ImportJSON(std::string_view utf8) {
  TJsonReader in(utf8);
  // The first pass checks the whole text and reads what it is, so a file
  // of another kind is named as such before its tree is looked at.
  const THead head = ReadHead(in);
  if (head.Format != "somnary") {
    TJsonReader::FailAt(head.FormatLine, Text(res::ImportJsonNotSomnary));
  }
  if (!head.VersionIsOne) {
    if (head.Version.empty()) TJsonReader::FailAt(1, Text(res::ImportJsonNotSomnary));
    TJsonReader::FailAt(head.VersionLine,
                        Text(res::ImportJsonBadVersion).arg(QString::fromStdString(head.Version)));
  }
  if (head.Kind != "journal" && head.Kind != "library")
    TJsonReader::FailAt(head.KindLine, Text(res::ImportJsonNotSomnary));

  TImportedJournal journal;
  in.Rewind();
  TTreeReader tree(in, journal);
  std::unique_ptr<TXMLNode> root;
  int rootLine = 1;
  in.Object([&](std::string_view key) {
    if (key == "prolog") {
      tree.Prolog(journal.Document->Parameters);
    } else if (key == "root") {
      rootLine = (in.Next(), in.Line());
      root = std::make_unique<TXMLNode>();
      tree.Node(*root, 0);
    } else {
      in.Skip(1);
    }
  });
  if (head.Kind == "library") {
    QStringList titles;
    if (root) JournalTitles(*root, titles);
    if (titles.size() > 3) titles = titles.mid(0, 3) << QStringLiteral("...");
    TJsonReader::FailAt(head.KindLine,
                        titles.isEmpty()
                            ? Text(res::ImportJsonLibrary)
                            : Text(res::ImportJsonLibraryJournals).arg(titles.join(", ")));
  }
  if (!root) TJsonReader::FailAt(1, Text(res::ImportJsonNoRoot));
  if (root->Name != smr::elJournal)
    TJsonReader::FailAt(rootLine, Text(res::ImportJsonNotJournal).arg(ToUi(root->Name)));
  root->SetLevel(0);
  journal.Document->Root = std::move(root);
  journal.Replaced = in.Replaced;
  return journal;
}
