#include "export/smr_JSONExporter.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "storage/smr_Cp1251.h"
#include "storage/smr_HTMLFile.h"
#include "storage/smr_JournalHash.h"
#include "storage/smr_NumberFormat.h"
#include "storage/smr_Types.h"
#include "xml/xml_mainUnit.h"
#include "xml/xml_node.h"

namespace {

// A byte of a document as JSON text: its character in UTF-8, or an escape.
// 0x98, which windows-1251 leaves unassigned, is U+0098 (as the description
// files have it), so every byte has a character of its own and comes back.
struct TJsonChar {
  char Bytes[8];
  std::uint8_t Size;
};

std::array<TJsonChar, 256> MakeJsonChars();

const std::array<TJsonChar, 256>& JsonChars() {
  static const std::array<TJsonChar, 256> chars = MakeJsonChars();
  return chars;
}

std::array<TJsonChar, 256> MakeJsonChars() {
  std::array<TJsonChar, 256> table{};
  for (int byte = 0; byte < 256; ++byte) {
    TJsonChar& entry = table[static_cast<std::size_t>(byte)];
    const auto put = [&entry](std::string_view text) {
      std::memcpy(entry.Bytes, text.data(), text.size());
      entry.Size = static_cast<std::uint8_t>(text.size());
    };
    const char32_t cp = byte == 0x98 ? 0x98 : Cp1251ToUnicode(static_cast<unsigned char>(byte));
    if (byte == '"') {
      put("\\\"");
    } else if (byte == '\\') {
      put("\\\\");
    } else if (byte == '\n') {
      put("\\n");
    } else if (byte == '\r') {
      put("\\r");
    } else if (byte == '\t') {
      put("\\t");
    } else if (byte < 0x20 || byte == 0x98) {
      static constexpr char kHex[] = "0123456789abcdef";
      const char escape[] = {'\\', 'u', '0', '0', kHex[byte >> 4], kHex[byte & 15]};
      put(std::string_view(escape, sizeof escape));
    } else if (cp < 0x80) {
      const char one = static_cast<char>(cp);
      put(std::string_view(&one, 1));
    } else {
      const std::string utf8 = QString(QChar(static_cast<char16_t>(cp))).toUtf8().toStdString();
      put(utf8);
    }
  }
  return table;
}

// The JSON text gathered in one buffer and handed to the sink about a
// megabyte at a time; strings are written a slice at a time into room made
// for the slice's longest form, so nothing is copied twice.
class TJsonWriter {
 public:
  explicit TJsonWriter(const TByteSink& sink) : FSink(sink), FBuffer(kFlushAt + kRoom) {}

  void Raw(std::string_view text) {
    char* p = Room(text.size());
    std::memcpy(p, text.data(), text.size());
    FUsed += text.size();
  }
  // windows-1251 bytes as a quoted string.
  void String(std::string_view bytes) {
    const std::array<TJsonChar, 256>& chars = JsonChars();
    Raw("\"");
    while (!bytes.empty()) {
      const std::size_t n = std::min(bytes.size(), kSlice);
      char* const start = Room(n * 8);
      char* p = start;
      for (const char c : bytes.substr(0, n)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x80 && byte != '"' && byte != '\\') {
          *p++ = c;
        } else {
          // Every entry is copied whole: the room holds 8 bytes a byte.
          std::memcpy(p, chars[byte].Bytes, sizeof chars[byte].Bytes);
          p += chars[byte].Size;
        }
      }
      FUsed += static_cast<std::size_t>(p - start);
      bytes.remove_prefix(n);
    }
    Raw("\"");
  }
  // UTF-8 as a quoted string: only quotes, backslashes and control
  // characters are escaped.
  void Utf8String(std::string_view utf8) {
    Raw("\"");
    std::size_t plain = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
      const auto byte = static_cast<unsigned char>(utf8[i]);
      if (byte >= 0x20 && byte != '"' && byte != '\\') continue;
      Raw(utf8.substr(plain, i - plain));
      const TJsonChar& escape = JsonChars()[byte];
      Raw(std::string_view(escape.Bytes, escape.Size));
      plain = i + 1;
    }
    Raw(utf8.substr(plain));
    Raw("\"");
  }
  void Bool(bool value) { Raw(value ? "true" : "false"); }
  void NewLine(int depth) {
    char* p = Room(1 + 2 * static_cast<std::size_t>(depth));
    *p = '\n';
    std::memset(p + 1, ' ', 2 * static_cast<std::size_t>(depth));
    FUsed += 1 + 2 * static_cast<std::size_t>(depth);
  }
  void FlushIfFull() {
    if (FUsed >= kFlushAt) Flush();
  }
  void Flush() {
    if (FUsed > 0) FSink(std::string_view(FBuffer.data(), FUsed));
    FUsed = 0;
  }

 private:
  static constexpr std::size_t kFlushAt = std::size_t(1) << 20;
  static constexpr std::size_t kSlice = std::size_t(1) << 16;
  static constexpr std::size_t kRoom = 8 * kSlice;

  // Room for n more bytes (a bigger n than ever before grows the buffer);
  // the caller adds what it used.
  char* Room(std::size_t n) {
    if (FUsed + n > FBuffer.size()) Flush();
    if (n > FBuffer.size()) FBuffer.resize(n);
    return FBuffer.data() + FUsed;
  }

  const TByteSink& FSink;
  std::vector<char> FBuffer;
  std::size_t FUsed = 0;
};

bool RepeatsAName(const TXMLList<TXMLAttribute>& attributes) {
  const std::size_t n = attributes.size();
  if (n <= 16) {
    for (std::size_t i = 1; i < n; ++i)
      for (std::size_t j = 0; j < i; ++j)
        if (attributes[i].Name.View() == attributes[j].Name.View()) return true;
    return false;
  }
  std::vector<std::string_view> names;
  names.reserve(n);
  for (const TXMLAttribute& attribute : attributes) names.push_back(attribute.Name.View());
  std::sort(names.begin(), names.end());
  return std::adjacent_find(names.begin(), names.end()) != names.end();
}

}  // namespace

namespace {

class TJsonExport {
 public:
  TJsonExport(const TJSONExporter& exporter, TJsonWriter& out) : E(exporter), W(out) {
    for (int i = 0; i < 4; ++i) {
      const std::string& caption = Caption(i);
      bool repeated = caption.empty();
      for (int j = 0; j < i && !repeated; ++j) repeated = Caption(j) == caption;
      MarkKeys[static_cast<std::size_t>(i)] = repeated ? std::string(smr::atLabel[i]) : caption;
    }
  }

  void Document(const TXMLNode& root, const TXMLParameters& prolog) {
    const bool library = root.Name == smr::elLibrary;
    W.Raw("{\n  \"format\": \"somnary\",\n  \"version\": 1,\n  \"kind\": ");
    W.Raw(library ? "\"library\"" : "\"journal\"");
    W.Raw(",\n  \"marks\": [");
    for (int i = 0; i < 4; ++i) {
      if (i > 0) W.Raw(", ");
      W.String(Caption(i));
    }
    W.Raw("],\n  \"prolog\": {\"version\": ");
    W.String(prolog.Version);
    W.Raw(", \"encoding\": ");
    W.String(prolog.Encoding);
    W.Raw(", \"language\": ");
    W.String(prolog.Language);
    W.Raw(", \"omitLanguage\": ");
    W.Bool(prolog.OmitLanguage);
    W.Raw(", \"standalone\": ");
    W.String(prolog.Standalone);
    W.Raw(", \"attributes\": ");
    std::vector<std::pair<std::string_view, std::string_view>> pairs;
    for (const TXMLAttribute& attribute : prolog.Attributes)
      pairs.emplace_back(attribute.Name.View(), attribute.Value.View());
    bool repeated = false;
    for (std::size_t i = 1; i < pairs.size() && !repeated; ++i)
      for (std::size_t j = 0; j < i && !repeated; ++j) repeated = pairs[i].first == pairs[j].first;
    Attributes(pairs.begin(), pairs.end(), repeated);
    W.Raw(", \"instruction\": ");
    W.String(prolog.Instruction);
    W.Raw(", \"doctype\": ");
    W.String(prolog.DocType.Text);
    W.Raw("},\n  \"root\": ");
    Node(root, 1, library);
    W.Raw("\n}\n");
  }

 private:
  const std::string& Caption(int i) const {
    switch (i) {
      case 0:
        return E.Label1Caption;
      case 1:
        return E.Label2Caption;
      case 2:
        return E.Label3Caption;
      default:
        return E.Label4Caption;
    }
  }

  template <typename It>
  void Attributes(It begin, It end, bool repeated) {
    // A name given twice (only a hand-edited file has that) would not
    // survive as an object's key: such a list is an array of pairs.
    W.Raw(repeated ? "[" : "{");
    for (It it = begin; it != end; ++it) {
      if (it != begin) W.Raw(", ");
      if (repeated) W.Raw("[");
      W.String(it->first);
      W.Raw(repeated ? ", " : ": ");
      W.String(it->second);
      if (repeated) W.Raw("]");
    }
    W.Raw(repeated ? "]" : "}");
  }

  void Node(const TXMLNode& node, int depth, bool library) {
    W.Raw("{\"element\": ");
    W.String(node.Name);
    if (node.Kind == nkEmptyElement) W.Raw(", \"empty\": true");
    if (!node.Attributes.empty()) {
      W.Raw(", \"attributes\": ");
      FPairs.clear();
      for (const TXMLAttribute& attribute : node.Attributes)
        FPairs.emplace_back(attribute.Name.View(), attribute.Value.View());
      Attributes(FPairs.begin(), FPairs.end(), RepeatsAName(node.Attributes));
    }
    if (node.Name == smr::elExperience) Experience(node);
    if (library && node.Name == smr::elFile) EmbeddedJournal(node, depth);
    if (node.Kind != nkEmptyElement && !node.Children.empty()) {
      W.Raw(", \"children\": [");
      bool onlyText = true;
      for (const auto& child : node.Children) onlyText = onlyText && child->Kind == nkText;
      bool first = true;
      for (const auto& child : node.Children) {
        if (!first) W.Raw(",");
        first = false;
        if (!onlyText) W.NewLine(depth + 1);
        if (child->Kind == nkText) {
          W.Raw("{\"text\": ");
          W.String(child->Value);
          W.Raw("}");
        } else {
          Node(*child, depth + 1, library);
        }
        W.FlushIfFull();
      }
      W.Raw("]");
    }
    W.Raw("}");
  }

  // The readable extras of an experience, read as the program reads them.
  void Experience(const TXMLNode& experience) {
    const TXMLNode* properties = experience.FindNode(smr::elProperties);
    W.Raw(", \"marks\": {");
    for (int i = 0; i < 4; ++i) {
      if (i > 0) W.Raw(", ");
      W.String(MarkKeys[static_cast<std::size_t>(i)]);
      W.Raw(": ");
      // A mark of the older format wins, as when the program shows it.
      bool set = false;
      if (properties) {
        const std::string_view name =
            properties->HasAttribute(smr::atOldLabel[i]) ? smr::atOldLabel[i] : smr::atLabel[i];
        set = properties->GetAttribute(name) == smr::True;
      }
      W.Bool(set);
    }
    W.Raw("}");
    double level = 0;
    if (const TXMLNode* energy = experience.FindNode(smr::elEnergy);
        energy && ParseEnergyLevel(energy->GetAttribute(smr::atLevel), level)) {
      W.Raw(", \"energy\": ");
      W.Raw(FormatGeneral((100 - level) / 100, TNumberFormat{'.', ','}));
    }
    W.Raw(", \"readOnly\": ");
    W.Bool(experience.GetAttribute(smr::atReadOnly) == smr::True);
    if (properties && !properties->Children.empty()) {
      W.Raw(", \"properties\": [");
      bool first = true;
      Properties(*properties, first);
      W.Raw("]");
    }
    if (experience.GetAttribute(smr::atType) == smr::Html && experience.HasAttribute(smr::atFile))
      DescriptionFile(experience.GetAttribute(smr::atFile));
  }

  // Groups give their members' rows and none of their own, as on the page.
  void Properties(const TXMLNode& element, bool& first) {
    for (const auto& child : element.Children) {
      if (child->ChildCount() > 0) {
        Properties(*child, first);
        continue;
      }
      if (!first) W.Raw(", ");
      first = false;
      W.Raw("{\"name\": ");
      W.String(child->GetAttribute(smr::atControl));
      W.Raw(", \"value\": ");
      W.String(child->GetAttribute(smr::atValue));
      W.Raw("}");
    }
  }

  void DescriptionFile(const std::string& stored) {
    W.Raw(", \"descriptionFile\": {\"name\": ");
    W.String(stored);
    const std::optional<std::string> bytes = E.StoredFile ? E.StoredFile(stored) : std::nullopt;
    if (!bytes) {
      W.Raw(", \"missing\": true}");
      return;
    }
    const QByteArray page(bytes->data(), static_cast<qsizetype>(bytes->size()));
    const THTMLEncoding encoding = DetectEncoding(page);
    const QString text = DecodeHTML(page, encoding);
    if (EncodeHTML(text, encoding) == page) {
      W.Raw(", \"encoding\": ");
      W.String(encoding.Charset.isEmpty() ? std::string(smr::Encoding1251)
                                          : encoding.Charset.toStdString());
      if (encoding.Bom) W.Raw(", \"bom\": true");
      W.Raw(", \"content\": ");
      const QByteArray utf8 = text.toUtf8();
      W.Utf8String(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    } else {
      // Bytes its charset does not read would not come back from the text.
      W.Raw(", \"base64\": \"");
      W.Raw(page.toBase64().toStdString());
      W.Raw("\"");
    }
    W.Raw("}");
  }

  void EmbeddedJournal(const TXMLNode& file, int depth) {
    const TXMLNode* journal = E.Journal ? E.Journal(file.GetAttribute(smr::atPath)) : nullptr;
    if (!journal) {
      W.Raw(", \"journal\": {\"missing\": true}");
      return;
    }
    W.Raw(", \"journal\": {\"root\": ");
    Node(*journal, depth + 1, false);
    W.Raw("}");
  }

  const TJSONExporter& E;
  TJsonWriter& W;
  std::array<std::string, 4> MarkKeys;
  std::vector<std::pair<std::string_view, std::string_view>> FPairs;
};

}  // namespace

void TJSONExporter::Write(const TXMLNode* element, const TByteSink& sink) {
  if (!element) return;
  TXMLParser fresh;
  if (!Prolog) {
    if (element->Name == smr::elLibrary)
      InitNewLibrary(fresh, {});
    else
      InitNewJournal(fresh);
  }
  TJsonWriter out(sink);
  TJsonExport(*this, out).Document(*element, Prolog ? *Prolog : fresh.Parameters);
  out.Flush();
}
