#include "editor/smr_HTMLViewer.h"

#include <QFileInfo>
#include <QTextDocument>

#include "storage/smr_HTMLFile.h"
#include "xml/xml_seal.h"

THTMLViewer::THTMLViewer(QWidget* parent) : QTextBrowser(parent) { setOpenExternalLinks(true); }

void THTMLViewer::Navigate(const QString& path) {
  // The same source is not read again by setSource: reset it first.
  setSource(QUrl());
  clear();
  // An empty page (a new description) is shown as it is: the browser
  // would complain that there is no document.
  if (!path.isEmpty() && QFileInfo(path).size() > 0) {
    setSource(QUrl::fromLocalFile(path), QTextDocument::HtmlResource);
    if (Decorate) Decorate(*document());
  }
}

QVariant THTMLViewer::loadResource(int type, const QUrl& name) {
  if (type != QTextDocument::HtmlResource || !name.isLocalFile())
    return QTextBrowser::loadResource(type, name);
  // Opened in memory: a sealed page never lands on the disk as plain text.
  std::string read;
  if (!ReadDocumentFile(name.toLocalFile().toUtf8().toStdString(), read)) return {};
  const QByteArray bytes = QByteArray::fromStdString(read);
  return DecodeHTML(bytes, DetectEncoding(bytes));
}
