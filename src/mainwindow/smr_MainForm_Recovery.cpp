// Recovery copies: what the user typed since the last save is copied every
// few seconds, so a crash or a power cut loses next to nothing, and is
// offered back at the next start.
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <variant>

#include "editor/smr_HTMLEditor.h"
#include "mainwindow/smr_EditPanel.h"
#include "mainwindow/smr_MainForm.h"
#include "mainwindow/smr_MainFormTexts.h"
#include "mainwindow/smr_RecoveryCopies.h"
#include "storage/smr_TextEdge.h"
#include "storage/smr_Types.h"
#include "xml/xml_functions.h"

namespace {
using res::U;
using TKind = TRecoveryStore::TKind;

QString Absolute(const std::string& nativeName) {
  return QFileInfo(UiFileName(nativeName)).absoluteFilePath();
}
}  // namespace

void Tfrm_MainForm::CreateRecovery() {
  FClock = [] { return QDateTime::currentDateTime(); };
  FRecovery = new TRecoveryCopies(this);
  connect(FRecovery, &TRecoveryCopies::Due, this, &Tfrm_MainForm::WriteRecoveryCopies);
  connect(FRecovery, &TRecoveryCopies::Failed, this, &Tfrm_MainForm::RecoveryFailed);
  FRecovery->UseStore(TRecoveryStore(FFolders.RecoveryDir(), QString()));
  FRecoveryStep = new QTimer(this);
  FRecoveryStep->setSingleShot(true);
  connect(FRecoveryStep, &QTimer::timeout, this, &Tfrm_MainForm::StepRecoveryCopies);
  qApp->installEventFilter(this);
}

void Tfrm_MainForm::SetRecoveryDelays(int afterTyping, int atMost, int pause) {
  FRecovery->SetDelays(afterTyping, atMost, pause);
}

bool Tfrm_MainForm::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonRelease:
    case QEvent::Wheel:
    case QEvent::Drop:
    case QEvent::InputMethod:
    case QEvent::Close:
      ++FEditGeneration;
      NoteActivity();
      break;
    default:
      break;
  }
  return QMainWindow::eventFilter(watched, event);
}

TXMLParser* Tfrm_MainForm::JournalDocumentOf(QTreeWidgetItem* item) const {
  QTreeWidgetItem* journalItem = JournalItemOf(item);
  const TXMLNode* file = journalItem ? FPairs.FindFirst(ElementOf(journalItem)) : nullptr;
  return file ? FJournals.Find(JournalFileName(file->GetAttribute(smr::atPath))) : nullptr;
}

void Tfrm_MainForm::NoteActivity() {
  if (!FRecovery || FSavedOnClose) return;
  FMaybeEdited.insert(FSettings.get());
  FMaybeEdited.insert(FLibrary.get());
  // Looked up once per selection: a key costs no file-system calls.
  if (FCurrentNode != FActivityItem) {
    FActivityItem = FCurrentNode;
    FActivityJournal = JournalDocumentOf(FCurrentNode);
  }
  if (FActivityJournal) FMaybeEdited.insert(FActivityJournal);
  FRecovery->Activity();
}

void Tfrm_MainForm::WriteRecoveryCopies() {
  if (FSavedOnClose) return;
  AbandonRecoveryCopies(true);
  for (const TXMLParser* document : FMaybeEdited)
    // A file that could not be read holds nothing worth a copy.
    if (FileNamed(*document) && document->ReadError().empty())
      FRecoveryTexts.push_back({document, std::make_unique<TXMLTextBuilder>(*document)});
  FMaybeEdited.clear();
  FRecoveryTextsGeneration = FEditGeneration;
  if (!FRecoveryTexts.empty()) FRecoveryStep->start(0);

  // A description is small: copied at once.
  THTMLEditor* editor = HTMLEditor();
  if (ShowsHTMLDescription() && editor->Changed()) {
    const QString file = QFileInfo(editor->FileName()).absoluteFilePath();
    if (!FDescriptionCopy.isEmpty() && FDescriptionCopy != file)
      FRecovery->Forget(FDescriptionCopy);
    FRecovery->Copy(TKind::Description, file, editor->Text().toUtf8().toStdString(), std::nullopt);
    FDescriptionCopy = file;
  } else if (!FDescriptionCopy.isEmpty()) {
    FRecovery->Forget(FDescriptionCopy);
    FDescriptionCopy.clear();
  }
}

void Tfrm_MainForm::StepRecoveryCopies() {
  // Something may have changed since the last piece: begin again later.
  if (FRecoveryTextsGeneration != FEditGeneration) {
    AbandonRecoveryCopies(true);
    FRecovery->Activity();
    return;
  }
  // A few milliseconds at a time, so a key pressed meanwhile waits no longer.
  constexpr qint64 kSliceNs = 2'000'000;
  constexpr std::size_t kPiece = std::size_t{128} * 1024;
  QElapsedTimer slice;
  slice.start();
  while (!FRecoveryTexts.empty() && slice.nsecsElapsed() < kSliceNs) {
    TRecoveryText& text = FRecoveryTexts.front();
    if (!text.Builder->Step(kPiece)) continue;
    const TXMLParser* document = text.Document;
    const TKind kind = document == FSettings.get()  ? TKind::Settings
                       : document == FLibrary.get() ? TKind::Library
                                                    : TKind::Journal;
    FRecovery->Copy(kind, Absolute(document->FileName), std::move(text.Builder->Text()),
                    document->DiskTextHash());
    FRecoveryTexts.erase(FRecoveryTexts.begin());
  }
  if (!FRecoveryTexts.empty()) FRecoveryStep->start(0);
}

void Tfrm_MainForm::AbandonRecoveryCopies(bool stillEdited) {
  FRecoveryStep->stop();
  if (stillEdited)
    for (const TRecoveryText& text : FRecoveryTexts) FMaybeEdited.insert(text.Document);
  FRecoveryTexts.clear();
}

void Tfrm_MainForm::RecoveryFailed(const QString& message) {
  // Said once: the edits are still in memory and the next save writes them.
  if (FToldRecoveryFailure) return;
  FToldRecoveryFailure = true;
  std::fprintf(stderr, "somnary: %s\n", message.toUtf8().constData());
  if (!FSavedOnClose) Prompts().Error(this, U(res::RecoveryCopyFailed).arg(message));
}

void Tfrm_MainForm::ForgetRecoveryCopies(const std::vector<TXMLParser*>& written, bool all) {
  // Texts begun before the save are older than the files now.
  AbandonRecoveryCopies(!all);
  if (all) {
    FRecovery->ForgetAll();
    FMaybeEdited.clear();
    FDescriptionCopy.clear();
    // The description is written on its own: a changed one is copied again.
    if (ShowsHTMLDescription() && HTMLEditor()->Changed()) FRecovery->Activity();
    return;
  }
  for (const TXMLParser* document : written)
    if (FileNamed(*document)) FRecovery->Forget(Absolute(document->FileName));
}

QString Tfrm_MainForm::RecoveryCaption(const TRecoveryStore::TEntry& entry) const {
  switch (entry.Kind) {
    case TKind::Settings:
      return U(res::RecoverySettings);
    case TKind::Library:
      return U(res::RecoveryLibrary).arg(ToUi(FLibrary->Root->GetAttribute(smr::atName)));
    case TKind::Description:
      return U(res::RecoveryDescription).arg(entry.Original);
    case TKind::Journal:
      break;
  }
  // The journal by the name the library gives it.
  const TXMLNode* file = FileElementNaming(entry.Original.toUtf8().toStdString());
  return U(res::RecoveryJournal)
      .arg(file ? ToUi(file->GetAttribute(smr::atName)) : QFileInfo(entry.Original).fileName());
}

bool Tfrm_MainForm::ApplyRecoveryCopy(const TRecoveryStore::TEntry& entry) {
  std::string bytes;
  QString error;
  if (!TRecoveryStore::ReadCopy(entry, bytes, error)) {
    Prompts().Error(this, U(res::RecoveryUnreadable).arg(entry.Original, error));
    return false;
  }
  if (entry.Kind == TKind::Description) {
    FRecoveredDescriptions[CanonicalFileName(entry.Original.toUtf8().toStdString())] =
        QString::fromUtf8(bytes);
    return true;
  }
  TXMLParser* document = nullptr;
  const std::string native = entry.Original.toUtf8().toStdString();
  if (entry.Kind == TKind::Settings)
    document = FStarting ? FSettings.get() : nullptr;
  else if (entry.Kind == TKind::Library)
    document = FLibrary.get();
  else
    document = FJournals.Get(native);
  if (!document || !document->ReadError().empty()) return false;
  // A copy cut short or damaged is not taken for the document.
  TXMLParser probe;
  probe.LoadFromText(bytes);
  if (probe.Status != xsLoaded) {
    Prompts().Error(this, U(res::RecoveryUnreadable).arg(entry.Original, U(res::RecoveryDamaged)));
    return false;
  }
  AbandonRecoveryCopies(true);
  ++FEditGeneration;
  document->ReplaceText(std::move(bytes));
  FMaybeEdited.insert(document);
  if (entry.Kind == TKind::Journal) WatchFile(*document);
  return true;
}

void Tfrm_MainForm::ApplyRecoveredSettings() {
  for (const TStartSetting& setting : ReadStartSettings(*FSettings->Root)) {
    if (const auto* marks = std::get_if<TMarkCaptionsSetting>(&setting)) ApplySetting(*marks);
    if (const auto* options = std::get_if<TOptionsSetting>(&setting)) ApplySetting(*options);
  }
}

void Tfrm_MainForm::OfferRecovery() {
  const TRecoveryStore& store = FRecovery->Store();
  std::vector<TRecoveryStore::TEntry> entries = store.Offered();
  // Settings are taken back only while the window starts: its dialogs are
  // built from them afterwards.
  if (!FStarting)
    std::erase_if(entries, [](const auto& entry) { return entry.Kind == TKind::Settings; });
  if (entries.empty()) return;
  QStringList listed;
  for (const auto& entry : entries) listed << QStringLiteral("• ") + RecoveryCaption(entry);
  const QString question =
      U(res::RecoveryQuestion)
          .arg(TRecoveryStore::Newest(entries).toLocalTime().toString(U(res::RecoveryTimeFormat))) +
      QStringLiteral("\n\n") + U(res::RecoveryListed) + '\n' + listed.join('\n');
  if (Prompts().Choose(this, question, {U(res::RecoveryYes), U(res::RecoveryNo)}) != 0) {
    // Never thrown away: they wait in a dated folder of their own.
    QString error;
    const QString aside = TRecoveryStore(store).KeepAside(FClock(), error);
    if (!error.isEmpty())
      Prompts().Error(this, U(res::RecoveryLeftInPlace).arg(error, store.Folder()));
    else if (!aside.isEmpty())
      Prompts().Information(this, U(res::RecoveryKeptAside).arg(aside));
    return;
  }
  // The library first: its journals are found through it.
  std::stable_partition(entries.begin(), entries.end(),
                        [](const auto& entry) { return entry.Kind == TKind::Library; });
  for (const auto& entry : entries)
    if (ApplyRecoveryCopy(entry) && entry.Kind == TKind::Settings) ApplyRecoveredSettings();
  // The restored edits are unsaved: a copy of them is taken again soon.
  FRecovery->Activity();
}
