// Import of a diary kept elsewhere (or exported before) as a new journal of
// the selected catalogue: its file is written beside the library, and no
// existing journal is ever changed, so deleting the new journal undoes it.
#include <QFileInfo>
#include <QTreeWidget>

#include "import/smr_ImportFile.h"
#include "import/smr_ImportedJournal.h"
#include "import/smr_JSONImport.h"
#include "mainwindow/smr_MainForm.h"
#include "mainwindow/smr_MainFormTexts.h"
#include "storage/smr_SettingsFile.h"
#include "storage/smr_TextEdge.h"
#include "storage/smr_Types.h"
#include "xml/xml_functions.h"

namespace {
using res::U;

enum class TImportKind { Json, Csv, Text };

TImportKind KindOf(const QString& fileName) {
  const QString suffix = QFileInfo(fileName).suffix().toLower();
  if (suffix == QLatin1String("json")) return TImportKind::Json;
  if (suffix == QLatin1String("csv")) return TImportKind::Csv;
  return TImportKind::Text;
}

}  // namespace

std::string Tfrm_MainForm::FreeJournalPath(const QString& baseName) const {
  // Stored relative, so it resolves beside the library as new journals do.
  QString name = baseName.isEmpty() ? QStringLiteral("journal") : baseName;
  for (int n = 1;; ++n) {
    const QString candidate =
        n == 1 ? name + QStringLiteral(".xml")
               : name + QLatin1Char('_') + QString::number(n) + QStringLiteral(".xml");
    std::string stored = FromUi(candidate, TTextPlace::Attribute);
    if (ToUi(stored) != candidate) {
      name = QStringLiteral("journal");  // a name the code page cannot keep
      n = 0;
      continue;
    }
    const std::string native = JournalFileName(stored);
    if (!FileExists(native) && !IsOwnFile(native) && !LibraryNamesJournal(native) &&
        !FJournals.Find(native))
      return stored;
  }
}

void Tfrm_MainForm::mnu_ImportClick() {
  QTreeWidgetItem* node = FCurrentNode;
  TXMLNode* directory = ElementOf(node);
  if (!directory || directory->Name != smr::elDirectory) return;
  dlg_Import.Title = U(res::ImportTitle);
  dlg_Import.Filter = U(res::ImportFilter);
  const QString chosen = Prompts().OpenFileName(this, dlg_Import);
  if (chosen.isEmpty()) return;
  const QString shownInput = QFileInfo(chosen).fileName();

  TImportedJournal journal;
  try {
    const std::string bytes = ReadImportFile(chosen.toUtf8().toStdString());
    const TImportKind kind = KindOf(chosen);
    if (kind == TImportKind::Json) {
      journal = ImportJSON(bytes);
    } else {
      TPrompts::TImportRequest request;
      request.FileName = chosen;
      request.Bytes = bytes;
      request.Csv = kind == TImportKind::Csv;
      request.Mapping = ReadCsvImportMapping(*FSettings);
      const auto captions = ReadMarkCaptions(*FSettings->Root);
      for (std::size_t i = 0; i < captions.size(); ++i) request.Captions[i] = ToUi(captions[i]);
      TPrompts::TImportAnswer answer = Prompts().ImportPreview(this, request);
      if (!answer.Ok) return;
      if (request.Csv) WriteCsvImportMapping(*FSettings, answer.Mapping);
      journal = std::move(answer.Journal);
    }
  } catch (const TImportError& error) {
    Prompts().Error(this, U(res::ImportFailed).arg(shownInput, QString::fromUtf8(error.what())));
    return;
  }

  const std::string stored = FreeJournalPath(QFileInfo(chosen).completeBaseName());
  const std::string native = JournalFileName(stored);
  try {
    WriteImportedJournal(journal, native, QFileInfo(UiFileName(native)).absolutePath());
  } catch (const TXMLWriteError& error) {
    Prompts().Error(this, WriteErrorText(UiFileName(native), error));
    return;
  }
  auto file = std::make_unique<TXMLNode>(std::string(smr::elFile), nkEmptyElement);
  file->SetAttribute(smr::atName,
                     FromUi(QFileInfo(chosen).completeBaseName(), TTextPlace::Attribute));
  file->SetAttribute(smr::atPath, stored);
  TXMLNode* added = directory->AddChild(std::move(file));
  added->SetLevel(directory->Level + 1);
  // Selected as a `file` element, the journal is taken from the table and
  // its nights are shown, as for an attached journal.
  FJournals.Add(std::move(journal.Document));
  CreateChildCommon(added, node, ToUi(added->GetAttribute(smr::atName)), 3);
  if (journal.Replaced > 0 && KindOf(chosen) == TImportKind::Json)
    Prompts().Information(this, U(res::ImportReplacedJSON).arg(journal.Replaced));
}
