// Export of the library or a journal as one HTML page, text, JSON, CSV or
// Markdown file.
#include <QFileInfo>
#include <memory>

#include "export/smr_CSVExporter.h"
#include "export/smr_DiskSources.h"
#include "export/smr_HTMLExporter.h"
#include "export/smr_JSONExporter.h"
#include "export/smr_MarkdownExporter.h"
#include "export/smr_TXTExporter.h"
#include "mainwindow/smr_MainForm.h"
#include "mainwindow/smr_MainFormTexts.h"
#include "storage/smr_SettingsFile.h"
#include "storage/smr_TextEdge.h"
#include "storage/smr_Types.h"

void Tfrm_MainForm::mnu_ExportClick() {
  TXMLNode* element = ElementOf(FCurrentNode);
  if (!element) return;
  // The save dialog is shared with Save As: its file name and filter carry over.
  // An export of a sealed library is plain text wherever the user puts it.
  dlg_Save.Title = QString::fromUtf8(FSeal ? res::ExportTitleEncrypted : res::ExportTitle);
  dlg_Save.Filter = QString::fromUtf8(res::ExportFilter);
  dlg_Save.DefaultExt = QString();
  const QString chosen = Prompts().SaveFileName(this, dlg_Save);
  if (chosen.isEmpty()) return;

  // The filter decides the format, not the file's extension.
  std::unique_ptr<TExporter> exporter;
  switch (dlg_Save.FilterIndex) {
    case 2:
      exporter = std::make_unique<TTXTExporter>(SystemNumberFormat());
      break;
    case 3: {
      auto json = std::make_unique<TJSONExporter>(SystemNumberFormat());
      // Its own prolog, for a lossless import.
      const TXMLParser* document =
          element == FLibrary->Root.get() ? FLibrary.get() : JournalDocumentOf(FCurrentNode);
      if (document) json->Prolog = &document->Parameters;
      exporter = std::move(json);
      break;
    }
    case 4: {
      auto csv = std::make_unique<TCSVExporter>(SystemNumberFormat());
      if (FSettings->Root) csv->PropertyNames = FormPropertyNames(*FSettings->Root);
      if (const TXMLNode* file = FPairs.FindFirst(element))
        csv->JournalName = file->GetAttribute(smr::atName);
      exporter = std::move(csv);
      break;
    }
    case 5:
      exporter = std::make_unique<TMarkdownExporter>(SystemNumberFormat());
      break;
    default:
      exporter = std::make_unique<THTMLExporter>(SystemNumberFormat());
  }
  // The captions the settings keep, read as the export tool reads them.
  if (FSettings->Root) {
    const auto captions = ReadMarkCaptions(*FSettings->Root);
    exporter->Label1Caption = captions[0];
    exporter->Label2Caption = captions[1];
    exporter->Label3Caption = captions[2];
    exporter->Label4Caption = captions[3];
  }
  // Links lead from where the page is written to where the files are.
  const QString pageDir = QFileInfo(chosen).absolutePath();
  exporter->Link = [paths = StoredPaths(), pageDir](const std::string& stored) {
    return paths.LinkFrom(pageDir, stored);
  };
  // A journal open here is exported as edited; the others as on the disk.
  TDiskSources disk(StoredPaths());
  disk.Attach(*exporter);
  exporter->Journal = [this, fromDisk = exporter->Journal](const std::string& stored) {
    if (const TXMLParser* open = FJournals.Find(JournalFileName(stored)))
      return static_cast<const TXMLNode*>(open->Root.get());
    return fromDisk(stored);
  };
  try {
    exporter->ExportToFiles(element, chosen.toUtf8().toStdString(),
                            FFolders.DataDir().toUtf8().toStdString());
  } catch (const TExportWriteError& error) {
    Prompts().Error(this, WriteErrorText(QString::fromUtf8(error.FileName), error));
  }
}

void Tfrm_MainForm::btn_ViewInBrowserClick() {
  TXMLNode* element = ElementOf(FCurrentNode);
  if (!element) return;
  if (FSeal) {
    Prompts().Information(this, QString::fromUtf8(res::EncryptedNotForBrowser));
    return;
  }
  QString path;
  if (element == FLibrary->Root.get()) {
    if (const std::optional<std::string> library = ReadLibraryPath(*FSettings))
      path = UiFileName(NativeFileName(*library));
  } else if (element->Name == smr::elJournal) {
    // A journal not loaded yet has no pair, and nothing is opened.
    const TXMLNode* file = FPairs.FindFirst(element);
    if (file && file->HasAttribute(smr::atPath))
      path = UiFileName(JournalFileName(file->GetAttribute(smr::atPath)));
  }
  if (!path.isEmpty()) Prompts().OpenInBrowser(path);
}
