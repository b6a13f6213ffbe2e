#include "editor/smr_HTMLEditor.h"

#include <Qsci/qscilexerhtml.h>
#include <Qsci/qsciscintilla.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "editor/smr_EditorTexts.h"
#include "editor/smr_HTMLViewer.h"
#include "storage/smr_FileError.h"
#include "storage/smr_Resources.h"
#include "xml/xml_functions.h"
#include "xml/xml_seal.h"

namespace {

const char* const kTemplate =
    "<html>\r\n<head>\r\n    "
    "<title></title>\r\n</head>\r\n<body>\r\n\r\n\r\n\r\n</body>\r\n</html>";

std::string NativeName(const QString& path) { return path.toUtf8().toStdString(); }

QWidget* Page(QTabWidget* pages, const char* name, const char* caption) {
  auto* page = new QWidget(pages);
  page->setObjectName(QString::fromLatin1(name));
  pages->addTab(page, QString::fromUtf8(caption));
  return page;
}

}  // namespace

THTMLEditor::THTMLEditor(QWidget* parent) : QWidget(parent) {
  setObjectName("pnl_HTMLEditor");
  pgc_HTMLEditor = new QTabWidget(this);
  pgc_HTMLEditor->setObjectName("pgc_HTMLEditor");
  pgc_HTMLEditor->setTabPosition(QTabWidget::South);
  lbl_HTMLNotice = new QLabel(this);
  lbl_HTMLNotice->setObjectName("lbl_HTMLNotice");
  lbl_HTMLNotice->setWordWrap(true);
  lbl_HTMLNotice->setTextInteractionFlags(Qt::TextSelectableByMouse);
  lbl_HTMLNotice->hide();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(lbl_HTMLNotice);
  layout->addWidget(pgc_HTMLEditor, 1);

  tab_Viewer = Page(pgc_HTMLEditor, "tab_Viewer", "Просмотр");
  web_HTMLViewer = new THTMLViewer(tab_Viewer);
  web_HTMLViewer->setObjectName("web_HTMLViewer");
  auto* viewerLayout = new QVBoxLayout(tab_Viewer);
  viewerLayout->setContentsMargins(0, 0, 0, 0);
  viewerLayout->addWidget(web_HTMLViewer);

  tab_Editor = Page(pgc_HTMLEditor, "tab_Editor", "Редактирование");
  CreateEditor(tab_Editor);
  connect(pgc_HTMLEditor, &QTabWidget::currentChanged, this, &THTMLEditor::pgc_HTMLEditorChanging);
}

void THTMLEditor::CreateEditor(QWidget* page) {
  syn_Editor = new QsciScintilla(page);
  syn_Editor->setObjectName("syn_Editor");
  syn_Editor->setUtf8(true);
  syn_Editor->setEolMode(QsciScintilla::EolWindows);
  syn_HTMLHighlighter = new QsciLexerHTML(syn_Editor);
  syn_HTMLHighlighter->setObjectName("syn_HTMLHighlighter");
  QFont font(QStringLiteral("Courier New"));
  if (QFontInfo(font).family() != font.family())
    font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  // 13 pixels high; the editor takes sizes in points only.
  font.setPointSizeF(13.0 * 72.0 / std::max(1, syn_Editor->logicalDpiY()));
  syn_HTMLHighlighter->setDefaultFont(font);
  syn_HTMLHighlighter->setFont(font, -1);
  syn_Editor->setLexer(syn_HTMLHighlighter);
  for (int margin = 0; margin < syn_Editor->margins(); ++margin)
    syn_Editor->setMarginWidth(margin, 0);

  CreateTools(page);
  auto* layout = new QHBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(pnl_HTMLEditorTools);
  layout->addWidget(syn_Editor, 1);
}

QString THTMLEditor::Text() const { return syn_Editor->text(); }

void THTMLEditor::SetText(const QString& text) {
  syn_Editor->setText(text);
  // Loading is not a change the user can take back.
  syn_Editor->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
  syn_Editor->setModified(false);
}

void THTMLEditor::ShowFile(const QString& path) {
  FPage = 0;
  {
    const QSignalBlocker blocker(pgc_HTMLEditor);
    pgc_HTMLEditor->setCurrentIndex(0);
  }
  FPath = path;
  FEncoding = {};
  FWritable = false;
  SetReadOnly(QString());
  if (path.isEmpty() || !LoadHTMLFile(path)) {
    // Nothing of the experience shown before may stay, or a save would
    // write it here.
    SetText(QString());
    FLoadedText = Text();
    web_HTMLViewer->Navigate(QString());
    return;
  }
  web_HTMLViewer->Navigate(path);
}

bool THTMLEditor::LoadHTMLFile(const QString& path) {
  std::string bytes, error;
  if (!ReadDocumentFile(NativeName(path), bytes, &error)) {
    FReadError = QString::fromUtf8(error);
    // A file that is missing may be written; one that is there may not.
    FWritable = !FileExists(NativeName(path));
    return false;
  }
  const QByteArray content(bytes.data(), static_cast<qsizetype>(bytes.size()));
  FPath = path;
  FEncoding = DetectEncoding(content);
  QString text = DecodeHTML(content, FEncoding);
  const THTMLFault fault = ExactnessFault(content, FEncoding, text);
  // The editor ends its text at a NUL: shown as a visible sign instead.
  text.replace(QChar(u'\0'), QChar(0x2400));
  SetText(TextLines(text).join(QStringLiteral("\r\n")));
  FLoadedText = Text();
  FWritable = true;
  if (fault == THTMLFault::Nul)
    SetReadOnly(QString::fromUtf8(res::DescriptionHasNul).arg(path));
  else if (fault == THTMLFault::InvalidBytes)
    SetReadOnly(QString::fromUtf8(res::DescriptionHasInvalidBytes)
                    .arg(path, FEncoding.Charset.isEmpty()
                                   ? QStringLiteral("windows-1251")
                                   : QString::fromLatin1(FEncoding.Charset)));
  else if (!FEncoding.Unknown.isEmpty())
    SetReadOnly(QString::fromUtf8(res::DescriptionCharsetUnknown)
                    .arg(path, QString::fromLatin1(FEncoding.Unknown)));
  return true;
}

void THTMLEditor::SetReadOnly(const QString& reason) {
  FReadOnlyReason = reason;
  lbl_HTMLNotice->setText(reason);
  lbl_HTMLNotice->setVisible(!reason.isEmpty());
  syn_Editor->setReadOnly(!reason.isEmpty());
  pnl_HTMLEditorTools->setEnabled(reason.isEmpty());
}

bool THTMLEditor::Save() {
  const QString error = Write();
  if (!error.isEmpty()) emit Failed(error);
  return error.isEmpty();
}

QString THTMLEditor::Write() {
  if (FPath.isEmpty() || ReadOnly()) return {};
  if (!FWritable) return QString::fromUtf8(res::UnreadableFileNotSaved).arg(FPath, FReadError);
  QString text;
  for (const QString& line : TextLines(Text())) text += line + QStringLiteral("\r\n");
  const THTMLEncoding encoding = EncodingForText(text, FEncoding);
  const QByteArray bytes = EncodeHTML(text, encoding);
  try {
    WriteDocumentFile(NativeName(FPath),
                      std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  } catch (const TXMLWriteError& error) {
    return FileWriteErrorText(FPath, error.what());
  }
  FEncoding = encoding;
  FLoadedText = Text();
  web_HTMLViewer->Navigate(FPath);
  return {};
}

bool THTMLEditor::Changed() const {
  return !FPath.isEmpty() && !ReadOnly() && Text() != FLoadedText;
}

void THTMLEditor::SaveIfChanged() {
  if (Changed()) Save();
}

QString THTMLEditor::WriteIfChanged() { return Changed() ? Write() : QString(); }

void THTMLEditor::TakeRecoveredText(const QString& text) {
  if (FPath.isEmpty() || ReadOnly()) return;
  syn_Editor->setText(text);
}

void THTMLEditor::DiscardChanges() {
  if (Changed()) SetText(FLoadedText);
}

QString THTMLEditor::WriteAs(const QString& path) {
  const QString previous = FPath;
  const bool writable = FWritable;
  FPath = path;
  FWritable = true;
  QString error = Write();
  if (!error.isEmpty()) {
    FPath = previous;
    FWritable = writable;
  }
  return error;
}

void THTMLEditor::btn_HTML_SaveClick() { Save(); }

void THTMLEditor::pgc_HTMLEditorChanging(int index) {
  const int left = FPage;
  FPage = index;
  if (left == 1 && index != 1) SaveIfChanged();
}

void THTMLEditor::btn_HTML_NewClick() {
  syn_Editor->beginUndoAction();
  syn_Editor->selectAll();
  syn_Editor->replaceSelectedText(QString::fromLatin1(kTemplate));
  syn_Editor->endUndoAction();
}

void THTMLEditor::btn_HTML_UndoClick() { syn_Editor->undo(); }

void THTMLEditor::InsertTag(const QString& opening, const QString& closing) {
  const QString selected = syn_Editor->selectedText();
  syn_Editor->beginUndoAction();
  syn_Editor->replaceSelectedText(opening + selected + closing);
  syn_Editor->endUndoAction();
}

void THTMLEditor::SetLocked(bool locked) {
  // Leaving the editor page this way saves like any page change.
  if (locked && pgc_HTMLEditor->currentIndex() == 1) pgc_HTMLEditor->setCurrentIndex(0);
  pgc_HTMLEditor->setTabEnabled(1, !locked);
}
