#pragma once

#include <QString>
#include <QWidget>

#include "storage/smr_HTMLFile.h"

class QLabel;
class QTabWidget;
class QToolButton;
class QsciLexerHTML;
class QsciScintilla;
class THTMLViewer;

// The HTML description of an experience: a viewer page and a source editor
// page with tag buttons. It keeps the file it loaded and writes only there,
// so one experience's text never reaches another's file; an automatic save
// writes only what changed since loading. A file that exists but could not
// be read is never written over, nor one the editor cannot hold exactly (a
// NUL byte, bytes its charset lacks): that one is shown read-only.
class THTMLEditor : public QWidget {
  Q_OBJECT

 public:
  explicit THTMLEditor(QWidget* parent = nullptr);

  // Shows a description file on the viewer page and loads it into the
  // editor. An empty path, or a file that cannot be read, leaves both empty.
  void ShowFile(const QString& path);
  const QString& FileName() const { return FPath; }
  // False when the file could not be read: the editor holds nothing of it.
  bool LoadHTMLFile(const QString& path);
  // Saves the text when it differs from what was loaded.
  void SaveIfChanged();
  // The same without telling anyone: the failure's message, or empty.
  QString WriteIfChanged();
  // Whether the text differs from what was loaded or last saved.
  bool Changed() const;
  // Gives the editor back the text as loaded or last saved.
  void DiscardChanges();
  // A text brought back from a recovery copy: shown as an edit not saved yet.
  void TakeRecoveredText(const QString& text);
  // Writes the text to another file, which becomes the one it belongs to;
  // the failure's message, or empty.
  QString WriteAs(const QString& path);
  // Shows the page but never writes it back; the reason stands above it.
  void SetReadOnly(const QString& reason);
  bool ReadOnly() const { return !FReadOnlyReason.isEmpty(); }
  const QString& ReadOnlyReason() const { return FReadOnlyReason; }
  void InsertTag(const QString& opening, const QString& closing);
  // A read-only experience: the editor page cannot be reached.
  void SetLocked(bool locked);
  // The editor's whole text, lines ended by CR LF, as it would be saved.
  QString Text() const;

 signals:
  // A write failed; the message names the file and the system's reason.
  void Failed(const QString& message);

 public slots:
  void pgc_HTMLEditorChanging(int index);
  void btn_HTML_NewClick();
  void btn_HTML_SaveClick();
  void btn_HTML_UndoClick();
  void btn_HTML_BoldClick() { InsertTag(QStringLiteral("<b>"), QStringLiteral("</b>")); }
  void btn_HTML_ItalicClick() { InsertTag(QStringLiteral("<i>"), QStringLiteral("</i>")); }
  void btn_HTML_UnderlinedClick() { InsertTag(QStringLiteral("<u>"), QStringLiteral("</u>")); }
  void btn_HTML_PClick() { InsertTag(QStringLiteral("<p>"), QStringLiteral("</p>")); }
  void btn_HTML_BRClick() { InsertTag(QStringLiteral("<br>"), QString()); }
  void btn_HTML_AClick() { InsertTag(QStringLiteral("<a href=\"\">"), QStringLiteral("</a>")); }
  void btn_HTML_IMGClick() { InsertTag(QStringLiteral("<img src=\"\">"), QString()); }

 public:
  // --- controls, named as in the program's forms
  QLabel* lbl_HTMLNotice = nullptr;  // why the page is read-only
  QTabWidget* pgc_HTMLEditor = nullptr;
  QWidget* tab_Viewer = nullptr;
  QWidget* tab_Editor = nullptr;
  THTMLViewer* web_HTMLViewer = nullptr;
  QsciScintilla* syn_Editor = nullptr;
  QsciLexerHTML* syn_HTMLHighlighter = nullptr;
  QWidget* pnl_HTMLEditorTools = nullptr;
  QToolButton* btn_HTML_New = nullptr;
  QToolButton* btn_HTML_Save = nullptr;
  QToolButton* btn_HTML_Undo = nullptr;
  QToolButton* btn_HTML_Bold = nullptr;
  QToolButton* btn_HTML_Italic = nullptr;
  QToolButton* btn_HTML_Underlined = nullptr;
  QToolButton* btn_HTML_P = nullptr;
  QToolButton* btn_HTML_BR = nullptr;
  QToolButton* btn_HTML_A = nullptr;
  QToolButton* btn_HTML_IMG = nullptr;

 private:
  void CreateEditor(QWidget* page);
  void CreateTools(QWidget* page);  // smr_HTMLEditor_Tools.cpp
  void SetText(const QString& text);
  bool Save();
  QString Write();  // the failure's message, or empty

  QString FPath;        // the file the text belongs to; empty: none
  QString FLoadedText;  // the text as loaded or last saved
  THTMLEncoding FEncoding;
  bool FWritable = false;   // false for a file that exists but was not read
  QString FReadError;       // why it was not read
  int FPage = 0;            // the page shown, for the page change handler
  QString FReadOnlyReason;  // empty: the page may be written
};
