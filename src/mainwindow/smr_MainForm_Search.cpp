// The search panel: the window lends it the documents and shows a hit in
// the tree and the editing panel.
#include <QDockWidget>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QTextCursor>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include "mainwindow/smr_EditPanel.h"
#include "mainwindow/smr_MainForm.h"
#include "mainwindow/smr_MainFormTexts.h"
#include "searchpanel/smr_SearchPanel.h"
#include "storage/smr_TextEdge.h"
#include "storage/smr_Types.h"

namespace {
// With the tree and the work area at their narrowest, the smallest window
// leaves the search this much.
constexpr int kMinSearchWidth = 200;
}  // namespace

void Tfrm_MainForm::CreateSearchPanel() {
  dck_Search = new QDockWidget(QString::fromUtf8(res::SearchCaption), this);
  dck_Search->setObjectName("dck_Search");
  pnl_Search = new TSearchPanel(*this, dck_Search);
  // In the smallest window the panel scrolls rather than covering the work area.
  auto* scroll = new QScrollArea(dck_Search);
  scroll->setObjectName("scr_Search");
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  scroll->setWidget(pnl_Search);
  scroll->setMinimumWidth(kMinSearchWidth);
  dck_Search->setWidget(scroll);
  addDockWidget(Qt::RightDockWidgetArea, dck_Search);
  dck_Search->hide();
  connect(pnl_Search, &TSearchPanel::HitActivated, this, &Tfrm_MainForm::ShowSearchHit);
}

void Tfrm_MainForm::mnu_FindClick() {
  pnl_Search->SetMarkCaptions(MarkCaptions());
  dck_Search->show();
  dck_Search->raise();
  pnl_Search->FocusQuery();
}

const TXMLNode* Tfrm_MainForm::LibraryRoot() { return FLibrary->Root.get(); }

const TXMLNode* Tfrm_MainForm::Journal(const TXMLNode& file, std::string& fileToRead) {
  // The documents are the window's own; the search only reads them.
  auto* element = const_cast<TXMLNode*>(&file);
  if (TXMLNode* root = FPairs.FindSecond(element)) return root;
  if (!file.HasAttribute(smr::atPath)) return nullptr;
  const std::string path = JournalFileName(file.GetAttribute(smr::atPath));
  if (const TXMLParser* known = FJournals.Find(path)) {
    // Shown under another `file` element: searched there, not twice.
    const TXMLNode* owner = FPairs.FindFirst(known->Root.get());
    return owner && owner != &file ? nullptr : OpenJournal(nullptr, element);
  }
  fileToRead = path;
  return nullptr;
}

const TXMLNode* Tfrm_MainForm::Adopt(const TXMLNode& file, std::unique_ptr<TXMLParser> document) {
  auto* element = const_cast<TXMLNode*>(&file);
  if (TXMLNode* root = FPairs.FindSecond(element)) return root;  // opened meanwhile
  // Into the table as a selection would read it: saved with the others,
  // and a file read only in part is told about now.
  if (!FJournals.Find(document->FileName)) {
    const TXMLParser* added = document.get();
    FJournals.Add(std::move(document));
    WarnIfBadlyRead(*added);
    WatchFile(*added);
  }
  return OpenJournal(nullptr, element);
}

namespace {

QTreeWidgetItem* ChildShowing(QTreeWidgetItem* parent, const TXMLNode* element) {
  for (int i = 0; parent && i < parent->childCount(); ++i)
    if (Tfrm_MainForm::ElementOf(parent->child(i)) == element) return parent->child(i);
  return nullptr;
}

// Selects the match in a field, so the caret stands at it.
void SelectIn(QPlainTextEdit* memo, const std::string& stored, const TSnippet& snippet) {
  const int start = static_cast<int>(
      MemoText(std::string_view(stored).substr(0, static_cast<std::size_t>(snippet.FieldOffset)))
          .size());
  const int length = snippet.Marks.empty() ? 0 : snippet.Marks.front().second;
  QTextCursor cursor = memo->textCursor();
  cursor.setPosition(start);
  cursor.setPosition(start + length, QTextCursor::KeepAnchor);
  memo->setTextCursor(cursor);
  memo->ensureCursorVisible();
}

}  // namespace

QTreeWidgetItem* Tfrm_MainForm::NightItem(const TXMLNode* file, const TXMLNode* night) {
  // A journal not in the library any more finds no node.
  QTreeWidgetItem* journal = nullptr;
  for (QTreeWidgetItemIterator it(tre_Directory); *it && !journal; ++it) {
    const TXMLNode* shown = ElementOf(*it);
    if (shown == file || (shown && shown == FPairs.FindSecond(const_cast<TXMLNode*>(file))))
      journal = *it;
  }
  if (!journal) return nullptr;
  if (ElementOf(journal) == file && journal->childCount() == 0 &&
      !OpenJournal(journal, const_cast<TXMLNode*>(file)))
    return nullptr;
  QTreeWidgetItem* item = ChildShowing(journal, night);
  if (item) journal->setExpanded(true);
  return item;
}

void Tfrm_MainForm::ShowSearchHit(const TSearchHit& hit, const TSnippet& snippet) {
  QTreeWidgetItem* night = NightItem(hit.File, hit.Night);
  QTreeWidgetItem* experience = ChildShowing(night, hit.Experience);
  if (!experience) return;
  night->setExpanded(true);
  tre_Directory->setCurrentItem(experience);
  tre_Directory->scrollToItem(experience);
  if (snippet.FieldOffset < 0 || pnl_Edit->Element() != hit.Experience) return;
  const TXMLNode* experienceElement = hit.Experience;
  const int length = snippet.Marks.empty() ? 0 : snippet.Marks.front().second;
  switch (snippet.Field) {
    case TSearchField::Description:
      if (const TXMLNode* description = experienceElement->FindNode(smr::elDescription))
        SelectIn(pnl_Edit->mmo_Description, description->FirstText(), snippet);
      break;
    case TSearchField::Comment:
      if (const TXMLNode* comment = FirstChild(*experienceElement, smr::elComment))
        SelectIn(pnl_Edit->mmo_Comment, comment->FirstText(), snippet);
      break;
    case TSearchField::Title:
      pnl_Edit->edt_Name->setSelection(snippet.FieldOffset, length);
      break;
    case TSearchField::Number:
      pnl_Edit->edt_Number->setSelection(snippet.FieldOffset, length);
      break;
    default:
      break;
  }
}
