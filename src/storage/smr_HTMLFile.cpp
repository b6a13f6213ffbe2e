#include "storage/smr_HTMLFile.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>

#include "storage/smr_Cp1251.h"

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");
const QByteArray kUtf16LeBom("\xFF\xFE");
const QByteArray kUtf16BeBom("\xFE\xFF");
// Unassigned in windows-1251; browsers read it as U+0098, and so it is
// written back as the same byte.
constexpr unsigned char kUnassigned = 0x98;

bool IsCp1251(const QByteArray& name) {
  const QByteArray n = name.toLower();
  return n == "windows-1251" || n == "cp1251" || n == "x-cp1251" || n == "win-1251";
}

bool IsUtf8(const QByteArray& name) {
  const QByteArray n = name.toLower();
  return n == "utf-8" || n == "utf8";
}

bool IsUtf16(const QByteArray& name) { return name == "UTF-16LE" || name == "UTF-16BE"; }

QByteArray Bom(const QByteArray& charset) {
  if (charset == "UTF-16LE") return kUtf16LeBom;
  if (charset == "UTF-16BE") return kUtf16BeBom;
  return kUtf8Bom;
}

void AppendReference(QByteArray& out, char32_t codePoint) {
  out += "&#" + QByteArray::number(static_cast<uint>(codePoint)) + ';';
}

}  // namespace

namespace {

// The name in the page's meta charset, as written; empty when there is none.
QByteArray DeclaredName(const QByteArray& bytes) {
  // The declaration stands in the head; a long page need not be searched whole.
  static const QRegularExpression meta(
      QStringLiteral("<meta[^>]*charset\\s*=\\s*[\"']?\\s*([A-Za-z0-9._:-]+)"),
      QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch match = meta.match(QString::fromLatin1(bytes.left(4096)));
  return match.hasMatch() ? match.captured(1).toLatin1() : QByteArray();
}

}  // namespace

QByteArray DeclaredCharset(const QByteArray& bytes) {
  QByteArray name = DeclaredName(bytes);
  if (name.isEmpty() || IsCp1251(name) || !QStringDecoder(name.constData()).isValid()) return {};
  return name;
}

THTMLEncoding DetectEncoding(const QByteArray& bytes) {
  THTMLEncoding encoding;
  // FF FE 00 00 would be UTF-32LE, which no description editor writes.
  for (const char* charset : {"UTF-8", "UTF-16LE", "UTF-16BE"}) {
    if (bytes.startsWith(Bom(charset))) {
      encoding.Bom = true;
      encoding.Charset = charset;
      return encoding;
    }
  }
  encoding.Charset = DeclaredCharset(bytes);
  if (encoding.Charset.isEmpty()) {
    const QByteArray name = DeclaredName(bytes);
    if (!name.isEmpty() && !IsCp1251(name)) encoding.Unknown = name;
  }
  return encoding;
}

QString DecodeHTML(const QByteArray& bytes, const THTMLEncoding& encoding) {
  if (encoding.Charset.isEmpty()) {
    QString text;
    text.reserve(bytes.size());
    for (char c : bytes) {
      const auto byte = static_cast<unsigned char>(c);
      text += QChar(static_cast<char16_t>(byte == kUnassigned ? byte : Cp1251ToUnicode(byte)));
    }
    return text;
  }
  QStringDecoder decoder(encoding.Charset.constData());
  return decoder(encoding.Bom ? bytes.mid(Bom(encoding.Charset).size()) : bytes);
}

QByteArray EncodeHTML(const QString& text, const THTMLEncoding& encoding) {
  QByteArray out;
  if (encoding.Charset.isEmpty()) {
    out.reserve(text.size());
    for (char32_t c : text.toUcs4()) {
      const int byte = c == kUnassigned ? kUnassigned : UnicodeToCp1251(c);
      if (byte < 0)
        AppendReference(out, c);
      else
        out += static_cast<char>(byte);
    }
    return out;
  }
  if (encoding.Bom) out += Bom(encoding.Charset);
  if (IsUtf8(encoding.Charset)) return out + text.toUtf8();
  if (IsUtf16(encoding.Charset)) {
    // Every character has its UTF-16 form.
    QStringEncoder encoder(encoding.Charset.constData());
    return out + QByteArray(encoder(text));
  }
  // Any other charset: a character that does not come back the same is not
  // in it. A converter that met an error stays in error, so each character
  // gets fresh ones.
  const char* name = encoding.Charset.constData();
  for (char32_t c : text.toUcs4()) {
    if (c < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    const QString one = QString::fromUcs4(&c, 1);
    QStringEncoder encoder(name);
    const QByteArray bytes = encoder(one);
    QStringDecoder decoder(name);
    const QString back = decoder(bytes);
    if (encoder.hasError() || decoder.hasError() || back != one)
      AppendReference(out, c);
    else
      out += bytes;
  }
  return out;
}

QStringList TextLines(const QString& text) {
  if (text.isEmpty()) return {};
  static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
  QStringList lines = text.split(breaks);
  if (lines.last().isEmpty()) lines.removeLast();
  return lines;
}

THTMLEncoding EncodingForText(const QString& text, const THTMLEncoding& loaded) {
  // The mark outweighs a meta, as it does in a browser.
  if (IsUtf16(loaded.Charset)) return loaded;
  // The declaration is plain ASCII: the text's UTF-8 finds it as well as any.
  THTMLEncoding encoding;
  encoding.Charset = DeclaredCharset(text.left(4096).toUtf8());
  if (encoding.Charset.isEmpty() && loaded.Bom) encoding.Charset = "UTF-8";
  encoding.Bom = loaded.Bom && IsUtf8(encoding.Charset);
  return encoding;
}

THTMLFault ExactnessFault(const QByteArray& bytes, const THTMLEncoding& encoding,
                          const QString& text) {
  if (text.contains(QChar(u'\0'))) return THTMLFault::Nul;
  // What decoding replaced or dropped does not come back.
  return EncodeHTML(text, encoding) == bytes ? THTMLFault::None : THTMLFault::InvalidBytes;
}

namespace {

// Named references a hand-written page is likely to hold; the rest of the
// names stay as written.
struct TEntity {
  const char* Name;
  char16_t Code;
};
constexpr TEntity kEntities[] = {
    {"amp", u'&'},    {"lt", u'<'},    {"gt", u'>'},     {"quot", u'"'},  {"apos", u'\''},
    {"nbsp", u' '},   {"laquo", u'«'}, {"raquo", u'»'},  {"mdash", u'—'}, {"ndash", u'–'},
    {"hellip", u'…'}, {"copy", u'©'},  {"reg", u'®'},    {"deg", u'°'},   {"shy", 0xAD},
    {"bdquo", u'„'},  {"ldquo", u'“'}, {"rdquo", u'”'},  {"lsquo", u'‘'}, {"rsquo", u'’'},
    {"middot", u'·'}, {"bull", u'•'},  {"sect", u'§'},   {"para", u'¶'},  {"euro", u'€'},
    {"plusmn", u'±'}, {"times", u'×'}, {"numero", u'№'}, {"trade", u'™'}, {"iexcl", u'¡'},
};

}  // namespace

bool DecodeHTMLReference(const QString& text, qsizetype& i, char32_t& code) {
  const qsizetype semicolon = text.indexOf(u';', i + 1);
  if (semicolon < 0 || semicolon - i > 12) return false;
  const QString name = text.mid(i + 1, semicolon - i - 1);
  if (name.startsWith(u'#')) {
    bool ok = false;
    const uint value = name.size() > 1 && (name[1] == u'x' || name[1] == u'X')
                           ? name.mid(2).toUInt(&ok, 16)
                           : name.mid(1).toUInt(&ok, 10);
    if (!ok || value == 0 || value > 0x10FFFF) return false;
    code = value;
  } else {
    const QByteArray latin = name.toLatin1();
    const TEntity* found = nullptr;
    for (const TEntity& e : kEntities)
      if (latin == e.Name) found = &e;
    if (!found) return false;
    code = found->Code;
  }
  i = semicolon + 1;
  return true;
}
