// Export of the library or a journal as one HTML page or one text file.
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <memory>

#include "export/smr_HTMLExporter.h"
#include "export/smr_TXTExporter.h"
#include "mainwindow/smr_EditPanel.h"
#include "mainwindow/smr_MainForm.h"
#include "storage/smr_Resources.h"
#include "storage/smr_TextEdge.h"
#include "storage/smr_Types.h"
#include "xml/xml_functions.h"

void Tfrm_MainForm::mnu_ExportClick() {
  TXMLNode* element = ElementOf(FCurrentNode);
  if (!element) return;
  // The save dialog is shared with Save As: its file name and filter carry over.
  dlg_Save.Title = QString::fromUtf8(res::ExportTitle);
  dlg_Save.Filter = QString::fromUtf8(res::ExportFilter);
  dlg_Save.DefaultExt = QString();
  const QString chosen = Prompts().SaveFileName(this, dlg_Save);
  if (chosen.isEmpty()) return;

  // The filter decides the format, not the file's extension.
  std::unique_ptr<TExporter> exporter;
  if (dlg_Save.FilterIndex == 2) exporter = std::make_unique<TTXTExporter>(SystemNumberFormat());
  else exporter = std::make_unique<THTMLExporter>(SystemNumberFormat());
  exporter->Label1Caption = FromUi(pnl_Edit->box_Label1->text(), TTextPlace::Plain);
  exporter->Label2Caption = FromUi(pnl_Edit->box_Label2->text(), TTextPlace::Plain);
  exporter->Label3Caption = FromUi(pnl_Edit->box_Label3->text(), TTextPlace::Plain);
  exporter->Label4Caption = FromUi(pnl_Edit->box_Label4->text(), TTextPlace::Plain);
  // Links lead from where the page is written to where the files are.
  const QString pageDir = QFileInfo(chosen).absolutePath();
  exporter->Link = [paths = StoredPaths(), pageDir](const std::string& stored) {
    return paths.LinkFrom(pageDir, stored);
  };
  try {
    exporter->ExportToFile(element, chosen.toLocal8Bit().toStdString());
  } catch (const TXMLWriteError& error) {
    Prompts().Error(this, WriteErrorText(chosen, error));
    return;
  }
  if (dlg_Save.FilterIndex != 2)
    WriteStyleSheetBeside(
        chosen, element == FLibrary->Root.get() ? smr::LibraryStyleSheet : smr::JournalStyleSheet);
}

void Tfrm_MainForm::WriteStyleSheetBeside(const QString& page, std::string_view styleSheet) {
  // The page names its style sheet beside itself; one the user made stays.
  const QString name =
      QString::fromLatin1(styleSheet.data(), static_cast<qsizetype>(styleSheet.size()));
  const QString target = QFileInfo(page).absoluteDir().filePath(name);
  std::string bytes;
  if (QFileInfo::exists(target) ||
      !ReadWholeFile((FFolders.DataDir() + name).toLocal8Bit().toStdString(), bytes))
    return;
  try {
    WriteFileAtomically(target.toLocal8Bit().toStdString(), bytes);
  } catch (const TXMLWriteError& error) {
    Prompts().Error(this, WriteErrorText(target, error));
  }
}

void Tfrm_MainForm::btn_ViewInBrowserClick() {
  TXMLNode* element = ElementOf(FCurrentNode);
  if (!element) return;
  QString path;
  if (element == FLibrary->Root.get()) {
    const TXMLNode* library =
        FSettings->Root ? FSettings->Root->FindNode(smr::elSettingsLibrary) : nullptr;
    if (library && library->HasAttribute(smr::atPath))
      path = UiFileName(NativeFileName(library->GetAttribute(smr::atPath)));
  } else if (element->Name == smr::elJournal) {
    // A journal not loaded yet has no pair, and nothing is opened.
    const TXMLNode* file = FPairs.FindFirst(element);
    if (file && file->HasAttribute(smr::atPath))
      path = UiFileName(JournalFileName(file->GetAttribute(smr::atPath)));
  }
  if (!path.isEmpty()) Prompts().OpenInBrowser(path);
}
