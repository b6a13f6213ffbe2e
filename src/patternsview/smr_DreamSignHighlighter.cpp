#include "patternsview/smr_DreamSignHighlighter.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "patterns/smr_SignMatcher.h"
#include "search/smr_SearchText.h"

QTextCharFormat DreamSignFormat() {
  QTextCharFormat format;
  format.setBackground(QColor(0xff, 0xf1, 0xc1));
  format.setUnderlineStyle(QTextCharFormat::SingleUnderline);
  format.setUnderlineColor(QColor(0xd4, 0x9a, 0x00));
  return format;
}

TDreamSignHighlighter::TDreamSignHighlighter(QTextDocument* document)
    : QSyntaxHighlighter(document),
      FStemmer(std::make_unique<TStemmer>()),
      FFormat(DreamSignFormat()) {}

TDreamSignHighlighter::~TDreamSignHighlighter() = default;

void TDreamSignHighlighter::SetSigns(const std::vector<TDreamSign>& signs) {
  FMatcher = signs.empty() ? nullptr : std::make_unique<TSignMatcher>(signs, *FStemmer);
  rehighlight();
}

void TDreamSignHighlighter::highlightBlock(const QString& text) {
  if (!FMatcher) return;
  for (const TSignMatcher::TSpan& span : FMatcher->Find(text))
    setFormat(span.Start, span.Length, FFormat);
}

void HighlightDreamSigns(QTextDocument& document, const TSignMatcher& matcher) {
  if (matcher.Empty()) return;
  const QTextCharFormat format = DreamSignFormat();
  QTextCursor cursor(&document);
  cursor.beginEditBlock();
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    for (const TSignMatcher::TSpan& span : matcher.Find(block.text())) {
      cursor.setPosition(block.position() + span.Start);
      cursor.setPosition(block.position() + span.Start + span.Length, QTextCursor::KeepAnchor);
      cursor.mergeCharFormat(format);
    }
  }
  cursor.endEditBlock();
}

void HighlightDreamSigns(QTextDocument& document, const std::vector<TDreamSign>& signs) {
  if (signs.empty()) return;
  TStemmer stemmer;
  HighlightDreamSigns(document, TSignMatcher(signs, stemmer));
}
