// Files another program writes while the window has them open (a sync
// client, a second computer): noticed through a watcher, and shown anew
// when the user next selects them, unless the window changed them too.
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include "mainwindow/smr_EditPanel.h"
#include "mainwindow/smr_MainForm.h"
#include "mainwindow/smr_MainFormTexts.h"
#include "mainwindow/smr_StatisticsView.h"
#include "searchpanel/smr_SearchPanel.h"
#include "storage/smr_TextEdge.h"
#include "storage/smr_Types.h"

namespace {
using res::U;
}  // namespace

void Tfrm_MainForm::WatchFile(const TXMLParser& document) {
  if (!FileNamed(document)) return;
  const QString path = UiFileName(document.FileName);
  if (!FWatcher->files().contains(path) && QFileInfo::exists(path)) FWatcher->addPath(path);
}

void Tfrm_MainForm::FileChangedOnDisk(const QString& path) {
  // A file replaced by a rename (as every careful writer does, this window
  // too) is no longer watched: the new one is.
  if (!FWatcher->files().contains(path) && QFileInfo::exists(path)) FWatcher->addPath(path);
  FChangedOnDisk.insert(path);
}

QTreeWidgetItem* Tfrm_MainForm::JournalItemOf(QTreeWidgetItem* item) {
  for (; item; item = item->parent())
    if (const TXMLNode* element = ElementOf(item); element && element->Name == smr::elJournal)
      return item;
  return nullptr;
}

void Tfrm_MainForm::CheckChangedOnDisk(QTreeWidgetItem* current) {
  if (FChangedOnDisk.isEmpty() || !current) return;
  QTreeWidgetItem* journalItem = JournalItemOf(current);
  TXMLNode* fileElement = journalItem ? FPairs.FindFirst(ElementOf(journalItem)) : nullptr;
  TXMLParser* journal =
      fileElement ? FJournals.Find(JournalFileName(fileElement->GetAttribute(smr::atPath)))
                  : nullptr;
  // A journal's nights and experiences are its own; the catalogues and the
  // journals' items themselves are the library's.
  TXMLParser* document = nullptr;
  if (journal && FChangedOnDisk.contains(UiFileName(journal->FileName)))
    document = journal;
  else if (current == journalItem || !journalItem)
    document = FLibrary.get();
  if (!document) return;
  const QString path = UiFileName(document->FileName);
  if (!FChangedOnDisk.contains(path)) return;
  // Written meanwhile by this window, or again with the same bytes.
  if (!document->ChangedOnDisk()) {
    FChangedOnDisk.remove(path);
    return;
  }
  if (!document->UnchangedSinceDisk()) {
    // Both versions are kept at the save; said once.
    FChangedOnDisk.remove(path);
    if (!FToldChangedTwice.contains(path)) {
      FToldChangedTwice.insert(path);
      Prompts().Information(this,
                            U(res::ChangedHereAndThere).arg(QFileInfo(path).absoluteFilePath()));
    }
    return;
  }
  // After the selection is done: the selected item may be one that goes.
  if (document == journal)
    QMetaObject::invokeMethod(
        this, [this, fileElement] { ReloadJournal(fileElement); }, Qt::QueuedConnection);
  else
    QMetaObject::invokeMethod(
        this, [this] { ReloadLibrary(); }, Qt::QueuedConnection);
}

void Tfrm_MainForm::ReloadJournal(TXMLNode* fileElement) {
  const TXMLNode* root = FPairs.FindSecond(fileElement);
  QTreeWidgetItem* item = nullptr;
  for (QTreeWidgetItemIterator it(tre_Directory); root && *it && !item; ++it)
    if (ElementOf(*it) == root) item = *it;
  TXMLParser* journal =
      item ? FJournals.Find(JournalFileName(fileElement->GetAttribute(smr::atPath))) : nullptr;
  if (!journal) return;
  const QString path = UiFileName(journal->FileName);
  // Checked again: the user may have typed since the selection.
  if (!FChangedOnDisk.contains(path) || !journal->ChangedOnDisk() || !journal->UnchangedSinceDisk())
    return;
  if (!LeaveHTMLDescription()) return;
  FChangedOnDisk.remove(path);
  // Nothing may keep a node of the tree that goes.
  FSuppressSelection = true;
  tre_Directory->setCurrentItem(item);
  FSuppressSelection = false;
  FCurrentNode = item;
  pnl_Edit->SetElement(nullptr);
  pnl_Statistics->Clear();
  ForgetPatterns();
  pnl_Search->Forget();
  ForgetDescriptionOwners(journal->Root.get());
  FPairs.RemoveHolding(journal->Root.get());
  qDeleteAll(item->takeChildren());
  // The item stands for its `file` element again until the journal is opened anew.
  item->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(fileElement)));
  ++FEditGeneration;
  AbandonRecoveryCopies(true);
  journal->Reload();
  WarnIfBadlyRead(*journal);
  tre_DirectoryChange(item, nullptr);
  Prompts().Information(this, U(res::ReloadedFromDisk).arg(QFileInfo(path).absoluteFilePath()));
}

void Tfrm_MainForm::ReopenLibrary(const std::vector<std::string>& journals) {
  const TXMLNode* root = FLibrary->Root.get();
  const std::string login =
      root->GetAttribute(smr::atUserName) + '\n' + root->GetAttribute(smr::atUserPassword);
  const std::string fileName = FLibrary->FileName;
  FChangedOnDisk.remove(UiFileName(fileName));
  auto empty = std::make_unique<TXMLParser>();
  empty->Parameters.Encoding = std::string(smr::Encoding1251);
  DropLibrary(std::move(empty));
  // With the tree gone nothing holds their nodes.
  for (const std::string& name : journals)
    if (TXMLParser* journal = FJournals.Find(name)) {
      FChangedOnDisk.remove(UiFileName(journal->FileName));
      journal->Reload();
      WarnIfBadlyRead(*journal);
    }
  OpenLibrary(fileName, login);
  if (!FTerminated && tre_Directory->topLevelItemCount() > 0)
    tre_Directory->setCurrentItem(tre_Directory->topLevelItem(0));
}

void Tfrm_MainForm::ReloadLibrary() {
  const QString path = UiFileName(FLibrary->FileName);
  if (!FChangedOnDisk.contains(path) || !FLibrary->ChangedOnDisk() ||
      !FLibrary->UnchangedSinceDisk())
    return;
  if (!KeepHTMLDescription()) return;
  ReopenLibrary({});
  Prompts().Information(this, U(res::ReloadedFromDisk).arg(QFileInfo(path).absoluteFilePath()));
}
