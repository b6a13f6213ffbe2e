#include "search/smr_SearchText.h"

#include <libstemmer.h>

#include <QChar>
#include <QStringList>
#include <array>

#include "storage/smr_Cp1251.h"
#include "storage/smr_HTMLFile.h"
#include "xml/xml_functions.h"
#include "xml/xml_seal.h"

namespace {

std::array<unsigned char, 256> MakeFoldTable() {
  std::array<unsigned char, 256> table{};
  for (int b = 1; b < 256; ++b) {
    const char32_t c = Cp1251ToUnicode(static_cast<unsigned char>(b));
    if (c > 0xFFFF || !QChar(static_cast<char16_t>(c)).isLetterOrNumber()) continue;
    char32_t lower = QChar(static_cast<char16_t>(c)).toLower().unicode();
    if (lower == U'ё') lower = U'е';
    const int folded = UnicodeToCp1251(lower);
    table[static_cast<std::size_t>(b)] = static_cast<unsigned char>(folded < 0 ? b : folded);
  }
  return table;
}

}  // namespace

const std::array<unsigned char, 256> kFoldTable = MakeFoldTable();

char* FoldWordsInto(std::string_view text, char* to) {
  // Without branches: every byte is written, and the pointer moves on only
  // past what is kept. The last write may land one byte past the result.
  bool inWord = false;
  for (char c : text) {
    const unsigned char f = kFoldTable[static_cast<unsigned char>(c)];
    const bool letter = f != 0;
    *to = ' ';
    to += letter && !inWord;
    *to = static_cast<char>(f);
    to += letter;
    inWord = letter;
  }
  return to;
}

void AppendFoldedWords(std::string_view text, std::string& out) {
  const std::size_t old = out.size();
  out.resize(old + text.size() + 2);
  out.resize(static_cast<std::size_t>(FoldWordsInto(text, out.data() + old) - out.data()));
}

std::string FoldedWords(std::string_view text) {
  std::string out;
  AppendFoldedWords(text, out);
  return out.empty() ? out : out.substr(1);
}

struct TStemmer::TImpl {
  sb_stemmer* Stemmer = sb_stemmer_new("russian", "UTF_8");
  ~TImpl() {
    if (Stemmer) sb_stemmer_delete(Stemmer);
  }
};

TStemmer::TStemmer() : FImpl(std::make_unique<TImpl>()) {}
TStemmer::~TStemmer() = default;

const std::string& TStemmer::Stem(std::string_view foldedWord) {
  std::string key(foldedWord);
  auto found = FStems.find(key);
  if (found != FStems.end()) return found->second;
  std::string stem = key;
  if (FImpl->Stemmer) {
    const std::string utf8 = Cp1251ToUtf8(key);
    const sb_symbol* result =
        sb_stemmer_stem(FImpl->Stemmer, reinterpret_cast<const sb_symbol*>(utf8.data()),
                        static_cast<int>(utf8.size()));
    if (result) {
      std::string stemmed = Utf8ToCp1251(
          std::string_view(reinterpret_cast<const char*>(result),
                           static_cast<std::size_t>(sb_stemmer_length(FImpl->Stemmer))));
      if (!stemmed.empty()) stem = std::move(stemmed);
    }
  }
  return FStems.emplace(std::move(key), std::move(stem)).first->second;
}

namespace {

void AppendCode(std::string& out, char32_t code) {
  if (code == 0xAD) return;  // a soft hyphen does not split a word
  const int byte = code < 0x20 ? ' ' : UnicodeToCp1251(code);
  out += byte < 0 ? ' ' : static_cast<char>(byte);
}

bool IsInlineTag(const QString& tag) {
  static const QStringList inlineTags = {
      QStringLiteral("b"),    QStringLiteral("i"),     QStringLiteral("u"),
      QStringLiteral("s"),    QStringLiteral("em"),    QStringLiteral("strong"),
      QStringLiteral("span"), QStringLiteral("a"),     QStringLiteral("font"),
      QStringLiteral("sub"),  QStringLiteral("sup"),   QStringLiteral("small"),
      QStringLiteral("big"),  QStringLiteral("strike")};
  qsizetype start = tag.startsWith(u'/') ? 1 : 0, end = start;
  while (end < tag.size() && tag[end].isLetterOrNumber()) ++end;
  return inlineTags.contains(tag.mid(start, end - start));
}

// Skips to just past the closing tag of an element whose text is not shown.
qsizetype SkipElement(const QString& text, qsizetype from, QLatin1StringView name) {
  const QString closing = QStringLiteral("</") + name;
  const qsizetype end = text.indexOf(closing, from, Qt::CaseInsensitive);
  if (end < 0) return text.size();
  const qsizetype close = text.indexOf(u'>', end);
  return close < 0 ? text.size() : close + 1;
}

}  // namespace

std::string HTMLPlainText(const QString& html) {
  std::string out;
  out.reserve(static_cast<std::size_t>(html.size()));
  const qsizetype n = html.size();
  qsizetype i = 0;
  while (i < n) {
    const QChar c = html[i];
    if (c == u'<') {
      if (html.mid(i, 4) == QLatin1String("<!--")) {
        const qsizetype end = html.indexOf(QLatin1String("-->"), i + 4);
        i = end < 0 ? n : end + 3;
        out += ' ';
        continue;
      }
      const qsizetype close = html.indexOf(u'>', i + 1);
      if (close < 0) break;  // an unclosed tag hides the rest, as in a browser
      const QString tag = html.mid(i + 1, close - i - 1).trimmed().toLower();
      i = close + 1;
      for (QLatin1StringView hidden :
           {QLatin1StringView("script"), QLatin1StringView("style"), QLatin1StringView("title")}) {
        if (tag.startsWith(hidden) &&
            (tag.size() == hidden.size() || !tag[hidden.size()].isLetter())) {
          i = SkipElement(html, i, hidden);
          break;
        }
      }
      if (!IsInlineTag(tag)) out += ' ';  // <p>, <br>, <td> end a word; <b> does not
      continue;
    }
    if (c == u'&') {
      char32_t code = 0;
      if (DecodeHTMLReference(html, i, code)) {
        AppendCode(out, code);
        continue;
      }
    }
    char32_t code = c.unicode();
    if (c.isHighSurrogate() && i + 1 < n && html[i + 1].isLowSurrogate()) {
      code = QChar::surrogateToUcs4(c, html[i + 1]);
      ++i;
    }
    AppendCode(out, code);
    ++i;
  }
  return NormalizeSpaces(out);
}

std::string HTMLFilePlainText(const std::string& nativeFileName) {
  // The shared reader: a pipe or a device named as a page is refused at
  // once instead of blocking or filling memory.
  std::string read;
  if (!ReadDocumentFile(nativeFileName, read)) return {};
  const QByteArray bytes = QByteArray::fromStdString(read);
  return HTMLPlainText(DecodeHTML(bytes, DetectEncoding(bytes)));
}
