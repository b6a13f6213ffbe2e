#include "storage/smr_HTMLFile.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>

#include "storage/smr_Cp1251.h"

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

bool IsCp1251(const QByteArray& name) {
  const QByteArray n = name.toLower();
  return n == "windows-1251" || n == "cp1251" || n == "x-cp1251" || n == "win-1251";
}

bool IsUtf8(const QByteArray& name) {
  const QByteArray n = name.toLower();
  return n == "utf-8" || n == "utf8";
}

void AppendReference(QByteArray& out, char32_t codePoint) {
  out += "&#" + QByteArray::number(static_cast<uint>(codePoint)) + ';';
}

}  // namespace

QByteArray DeclaredCharset(const QByteArray& bytes) {
  // The declaration stands in the head; a long page need not be searched whole.
  static const QRegularExpression meta(
      QStringLiteral("<meta[^>]*charset\\s*=\\s*[\"']?\\s*([A-Za-z0-9._:-]+)"),
      QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch match = meta.match(QString::fromLatin1(bytes.left(4096)));
  if (!match.hasMatch()) return {};
  const QByteArray name = match.captured(1).toLatin1();
  if (IsCp1251(name) || !QStringDecoder(name.constData()).isValid()) return {};
  return name;
}

THTMLEncoding DetectEncoding(const QByteArray& bytes) {
  THTMLEncoding encoding;
  encoding.Bom = bytes.startsWith(kUtf8Bom);
  encoding.Charset = encoding.Bom ? QByteArray("UTF-8") : DeclaredCharset(bytes);
  return encoding;
}

QString DecodeHTML(const QByteArray& bytes, const THTMLEncoding& encoding) {
  if (encoding.Charset.isEmpty()) {
    QString text;
    text.reserve(bytes.size());
    for (char c : bytes)
      text += QChar(static_cast<char16_t>(Cp1251ToUnicode(static_cast<unsigned char>(c))));
    return text;
  }
  QStringDecoder decoder(encoding.Charset.constData());
  return decoder(encoding.Bom ? bytes.mid(kUtf8Bom.size()) : bytes);
}

QByteArray EncodeHTML(const QString& text, const THTMLEncoding& encoding) {
  QByteArray out;
  if (encoding.Charset.isEmpty()) {
    out.reserve(text.size());
    for (char32_t c : text.toUcs4()) {
      const int byte = UnicodeToCp1251(c);
      if (byte < 0)
        AppendReference(out, c);
      else
        out += static_cast<char>(byte);
    }
    return out;
  }
  if (encoding.Bom) out += kUtf8Bom;
  if (IsUtf8(encoding.Charset)) return out + text.toUtf8();
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
  // The declaration is plain ASCII: the text's UTF-8 finds it as well as any.
  THTMLEncoding encoding;
  encoding.Charset = DeclaredCharset(text.left(4096).toUtf8());
  if (encoding.Charset.isEmpty() && loaded.Bom) encoding.Charset = "UTF-8";
  encoding.Bom = loaded.Bom && IsUtf8(encoding.Charset);
  return encoding;
}
