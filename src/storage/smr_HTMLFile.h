#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Description files are windows-1251 like every file of the program, unless
// a file says otherwise: a charset in its meta, or a byte order mark (UTF-8,
// UTF-16LE, UTF-16BE).
struct THTMLEncoding {
  QByteArray Charset;  // empty: windows-1251
  bool Bom = false;    // the text starts with the charset's byte order mark
  // A charset the page declares that no codec here converts (KOI8-R where
  // Qt has no ICU, a misspelt name): the page is shown but never written.
  QByteArray Unknown;
};

// The charset a page declares in a meta tag; empty when none, or when it
// is windows-1251 or a name the text codecs do not know.
QByteArray DeclaredCharset(const QByteArray& bytes);
THTMLEncoding DetectEncoding(const QByteArray& bytes);
QString DecodeHTML(const QByteArray& bytes, const THTMLEncoding& encoding);
// Characters the charset cannot hold become numeric references (&#1234;),
// so nothing typed is lost and a browser shows them right.
QByteArray EncodeHTML(const QString& text, const THTMLEncoding& encoding);

// The lines of a text as a list of lines holds them: a final line break
// ends the last line rather than starting an empty one.
QStringList TextLines(const QString& text);

// How a text is written: a page read as UTF-16 stays UTF-16 with its mark;
// otherwise in the charset its meta declares, else as it was read
// (windows-1251, or UTF-8 with a byte order mark).
THTMLEncoding EncodingForText(const QString& text, const THTMLEncoding& loaded);

// Why a page's text would not give its bytes back when written: the editor
// takes text up to a NUL only, and a byte its charset does not have is lost
// in decoding. Such a page is shown, never written back.
enum class THTMLFault { None, Nul, InvalidBytes };
THTMLFault ExactnessFault(const QByteArray& bytes, const THTMLEncoding& encoding,
                          const QString& text);

// Decodes the character reference at text[i] == '&' (numeric, or one of the
// named ones a hand-written page is likely to hold, "&nbsp;" as a blank);
// advances i past it. False, i unchanged, for anything else.
bool DecodeHTMLReference(const QString& text, qsizetype& i, char32_t& code);
