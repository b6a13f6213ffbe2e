#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <memory>
#include <vector>

#include "patterns/smr_DreamSigns.h"

class QTextDocument;
class TSignMatcher;
class TStemmer;

// How a dream sign is marked in text: a pale background and an underline,
// so the words stay as readable as the rest.
QTextCharFormat DreamSignFormat();

// Marks the dream signs in a plain text document while it is typed in,
// matching as the search does (by stem). Owns its stemmer: a word typed
// again is stemmed once.
class TDreamSignHighlighter : public QSyntaxHighlighter {
  Q_OBJECT

 public:
  explicit TDreamSignHighlighter(QTextDocument* document);
  ~TDreamSignHighlighter() override;

  // The signs to mark; the document is marked again.
  void SetSigns(const std::vector<TDreamSign>& signs);

 protected:
  void highlightBlock(const QString& text) override;

 private:
  std::unique_ptr<TStemmer> FStemmer;
  std::unique_ptr<TSignMatcher> FMatcher;
  QTextCharFormat FFormat;
};

// Marks the signs in a shown document (the HTML viewer's) with the same
// format, merged into the text's own. Marks already there stay: call it on
// a freshly loaded document.
void HighlightDreamSigns(QTextDocument& document, const TSignMatcher& matcher);
// The same for a list of signs, with a matcher made for the call.
void HighlightDreamSigns(QTextDocument& document, const std::vector<TDreamSign>& signs);
