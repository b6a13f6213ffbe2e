#include "storage/smr_TextEdge.h"

#include "storage/smr_Cp1251.h"
#include "storage/smr_Types.h"
#include "xml/xml_mainUnit.h"

QString ToUi(std::string_view bytes) {
  // One character per byte, written in place: every tree caption passes here.
  QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  QChar* to = out.data();
  for (char ch : bytes)
    *to++ = QChar(static_cast<char16_t>(Cp1251ToUnicode(static_cast<unsigned char>(ch))));
  return out;
}

QString MemoText(std::string_view bytes) {
  QString text = ToUi(bytes);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QChar('\r'), QChar('\n'));
  return text;
}

std::string FromUi(const QString& text, TTextPlace where) {
  std::string out;
  out.reserve(static_cast<std::size_t>(text.size()));
  const char16_t* data = reinterpret_cast<const char16_t*>(text.utf16());
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    char16_t ch = data[i];
    if (QChar::isHighSurrogate(ch) && i + 1 < n && QChar::isLowSurrogate(data[i + 1])) {
      ++i;  // a character outside the basic plane is never in the code page
      out.push_back('?');
      continue;
    }
    if (where == TTextPlace::Attribute) {
      if (ch == u'"')
        ch = u'\u201D';
      else if (ch == u'<')
        ch = u'\u2039';
      else if (ch == u'>')
        ch = u'\u203A';
      else if (ch == u'\r' || ch == u'\n' || ch == u'\u2029' || ch == u'\u2028')
        ch = u' ';
    } else if (where == TTextPlace::ElementText) {
      if (ch == u'<')
        ch = u'\u2039';
      else if (ch == u'\u2029' || ch == u'\u2028')
        ch = u'\n';
      if (ch == u'\r') {
        continue;  // line ends are written as CR LF below
      }
      if (ch == u'\n') {
        out += "\r\n";
        continue;
      }
    }
    int b = UnicodeToCp1251(ch);
    out.push_back(b < 0 ? '?' : static_cast<char>(b));
  }
  return out;
}

std::optional<std::string> AttributeAsRead(std::string_view value) {
  // Through the real writer and reader, so nothing the reader does is missed.
  TXMLParser written;
  written.Root->Name = std::string(smr::elLibrary);
  written.Root->Kind = nkEmptyElement;
  written.Root->SetAttribute(smr::atUserName, std::string(value));
  TXMLParser read;
  read.LoadFromText(written.SaveToText());
  if (read.Status != xsLoaded || !read.Root->HasAttribute(smr::atUserName)) return std::nullopt;
  return read.Root->GetAttribute(smr::atUserName);
}

std::string Cp(std::string_view utf8) { return Utf8ToCp1251(utf8); }

std::string NativeFileName(std::string_view documentPath) {
  return ToUi(documentPath).toUtf8().toStdString();
}

std::string DocumentFileName(const QString& path) { return FromUi(path, TTextPlace::Attribute); }

QString UiFileName(std::string_view nativeName) {
  return QString::fromUtf8(nativeName.data(), static_cast<qsizetype>(nativeName.size()));
}
