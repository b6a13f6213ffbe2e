#include "export/smr_HTMLText.h"

#include <QByteArray>
#include <QStringList>
#include <initializer_list>

#include "storage/smr_Cp1251.h"
#include "storage/smr_HTMLFile.h"
#include "storage/smr_Resources.h"
#include "storage/smr_Types.h"
#include "xml/xml_node.h"

namespace {

// What a tag does to the text around it.
enum class TBreak { None, Blank, Line, Paragraph };

TBreak BreakOf(const QString& name) {
  static const QStringList lines = {
      QStringLiteral("div"),        QStringLiteral("li"),      QStringLiteral("tr"),
      QStringLiteral("table"),      QStringLiteral("ul"),      QStringLiteral("ol"),
      QStringLiteral("dl"),         QStringLiteral("dt"),      QStringLiteral("dd"),
      QStringLiteral("blockquote"), QStringLiteral("pre"),     QStringLiteral("hr"),
      QStringLiteral("center"),     QStringLiteral("address"), QStringLiteral("body")};
  static const QStringList paragraphs = {
      QStringLiteral("p"),  QStringLiteral("h1"), QStringLiteral("h2"), QStringLiteral("h3"),
      QStringLiteral("h4"), QStringLiteral("h5"), QStringLiteral("h6")};
  if (paragraphs.contains(name)) return TBreak::Paragraph;
  if (lines.contains(name)) return TBreak::Line;
  // Cells of a row stay on its line, apart.
  if (name == QLatin1String("td") || name == QLatin1String("th")) return TBreak::Blank;
  return TBreak::None;
}

// Builds the lines: blanks are held back until a character follows them on
// the same line, so no line starts or ends with one.
class TTextBuilder {
 public:
  void Blank() { FBlank = true; }
  void Char(char32_t code) {
    if (FBlank && !FText.isEmpty() && !FText.endsWith(u'\n')) FText += u' ';
    FBlank = false;
    FText += QString::fromUcs4(&code, 1);
  }
  void NewLine() {
    FBlank = false;
    FText += u'\n';
  }
  // A line break unless the text is at a line's start already; a
  // paragraph wants an empty line before what follows.
  void Break(TBreak kind) {
    if (kind == TBreak::Blank) return Blank();
    if (kind == TBreak::None || FText.isEmpty()) return;
    if (!FText.endsWith(u'\n')) NewLine();
    if (kind == TBreak::Paragraph && !FText.endsWith(QLatin1String("\n\n"))) NewLine();
  }
  QString Text() {
    // Only br makes empty lines beyond the one a paragraph leaves; a run of
    // them is one.
    static const QLatin1String three("\n\n\n");
    qsizetype at = 0;
    while ((at = FText.indexOf(three, at)) >= 0) FText.remove(at, 1);
    while (FText.startsWith(u'\n')) FText.remove(0, 1);
    while (FText.endsWith(u'\n')) FText.chop(1);
    return FText;
  }

 private:
  QString FText;
  bool FBlank = false;
};

bool IsSpace(char32_t code) {
  return code == u' ' || code == u'\t' || code == u'\n' || code == u'\r' || code == u'\f';
}

// Skips to just past the closing tag of an element whose text is not shown.
qsizetype SkipElement(const QString& text, qsizetype from, const QString& name) {
  const qsizetype end = text.indexOf(QStringLiteral("</") + name, from, Qt::CaseInsensitive);
  if (end < 0) return text.size();
  const qsizetype close = text.indexOf(u'>', end);
  return close < 0 ? text.size() : close + 1;
}

// A '<' starts a tag, a comment or a declaration only before a letter, '/',
// '!' or '?'; otherwise it is text ("a < b"), as in a browser.
bool OpensTag(const QString& html, qsizetype i) {
  if (i + 1 >= html.size()) return false;
  const QChar next = html[i + 1];
  return next.isLetter() || next == u'/' || next == u'!' || next == u'?';
}

}  // namespace

QString HTMLText(const QString& html) {
  TTextBuilder text;
  const qsizetype n = html.size();
  qsizetype i = 0;
  while (i < n) {
    const QChar c = html[i];
    if (c == u'<' && OpensTag(html, i)) {
      if (html.mid(i, 4) == QLatin1String("<!--")) {
        const qsizetype end = html.indexOf(QLatin1String("-->"), i + 4);
        i = end < 0 ? n : end + 3;
        continue;
      }
      const qsizetype close = html.indexOf(u'>', i + 1);
      if (close < 0) break;  // an unclosed tag hides the rest, as in a browser
      const QString tag = html.mid(i + 1, close - i - 1).trimmed().toLower();
      i = close + 1;
      const bool closing = tag.startsWith(u'/');
      qsizetype end = closing ? 1 : 0;
      while (end < tag.size() && tag[end].isLetterOrNumber()) ++end;
      const QString name = tag.mid(closing ? 1 : 0, end - (closing ? 1 : 0));
      if (!closing && (name == QLatin1String("script") || name == QLatin1String("style") ||
                       name == QLatin1String("title"))) {
        i = SkipElement(html, i, name);
      } else if (name == QLatin1String("br")) {
        text.NewLine();
      } else {
        text.Break(BreakOf(name));
      }
      continue;
    }
    char32_t code = c.unicode();
    if (c == u'&' && DecodeHTMLReference(html, i, code)) {
      // Decoded already; i is past the reference.
    } else {
      if (c.isHighSurrogate() && i + 1 < n && html[i + 1].isLowSurrogate()) {
        code = QChar::surrogateToUcs4(c, html[i + 1]);
        ++i;
      }
      ++i;
    }
    if (code == 0xAD) continue;  // a soft hyphen is only a place to break
    if (IsSpace(code) || code < 0x20)
      text.Blank();
    else
      text.Char(code);
  }
  return text.Text();
}

std::string TextLinesUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r') {
      out += '\n';
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else {
      out += bytes[i];
    }
  }
  return Cp1251ToUtf8(out);
}

std::string DescriptionText(
    const TXMLNode& experience,
    const std::function<std::optional<std::string>(const std::string& stored)>& storedFile) {
  if (experience.GetAttribute(smr::atType) == smr::Html) {
    if (!experience.HasAttribute(smr::atFile)) return {};
    const std::string stored = experience.GetAttribute(smr::atFile);
    const std::optional<std::string> bytes =
        storedFile ? storedFile(stored) : std::optional<std::string>();
    // Said in the text: an empty cell would pass for a dream without one.
    if (!bytes)
      return QString::fromUtf8(res::DescriptionNotRead)
          .arg(QString::fromStdString(TextLinesUtf8(stored)))
          .toStdString();
    const QByteArray page = QByteArray::fromStdString(*bytes);
    return HTMLText(DecodeHTML(page, DetectEncoding(page))).toStdString();
  }
  const TXMLNode* description = experience.FindNode(smr::elDescription);
  const TXMLNode* first = description ? description->Child(0) : nullptr;
  return first ? TextLinesUtf8(first->Value.View()) : std::string();
}
