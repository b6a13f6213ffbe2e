#pragma once

#include <QTextBrowser>
#include <functional>

// The viewer of description pages. The browser would read a page without a
// charset as UTF-8; the program's pages are windows-1251 unless they say
// otherwise, so pages are decoded here. Pictures and links resolve against
// the page's folder.
class THTMLViewer : public QTextBrowser {
  Q_OBJECT

 public:
  explicit THTMLViewer(QWidget* parent = nullptr);

  // Shows the file, read again even when it is the page shown; an empty
  // path shows nothing.
  void Navigate(const QString& path);
  // Applied to each page shown (the dream signs marked); unset: nothing.
  std::function<void(QTextDocument& page)> Decorate;

  QVariant loadResource(int type, const QUrl& name) override;
};
