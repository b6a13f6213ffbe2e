// Creating, moving and deleting elements: the document and the tree change
// in one step; only a new journal and a new HTML description reach the disk.
#include <QMenu>
#include <QToolButton>
#include <QTreeWidget>

#include "dialogs/smr_NewElementForm.h"
#include "mainwindow/smr_EditPanel.h"
#include "mainwindow/smr_MainForm.h"
#include "mainwindow/smr_MainFormTexts.h"
#include "searchpanel/smr_SearchPanel.h"
#include "storage/smr_DescriptionFile.h"
#include "storage/smr_SettingsFile.h"
#include "storage/smr_StoredPath.h"
#include "storage/smr_TextEdge.h"
#include "storage/smr_Types.h"

namespace {
using res::U;

// Appends as the last child, one level below the parent.
TXMLNode* AppendChild(TXMLNode* parent, std::unique_ptr<TXMLNode> child) {
  TXMLNode* added = parent->AddChild(std::move(child));
  added->SetLevel(parent->Level + 1);
  return added;
}

bool Holds(const TXMLNode* subtree, const TXMLNode* node) {
  if (subtree == node) return true;
  for (const auto& child : subtree->Children)
    if (Holds(child.get(), node)) return true;
  return false;
}

// Taking an item out of the tree forgets which of its nodes were expanded.
void CollectExpanded(QTreeWidgetItem* item, QList<QTreeWidgetItem*>& expanded) {
  if (item->isExpanded()) expanded << item;
  for (int i = 0; i < item->childCount(); ++i) CollectExpanded(item->child(i), expanded);
}

}  // namespace

void Tfrm_MainForm::btn_CreateClick() {
  mnu_Create->popup(btn_Create->mapToGlobal(QPoint(0, btn_Create->height())));
}

void Tfrm_MainForm::CreateChildCommon(TXMLNode* element, QTreeWidgetItem* node,
                                      const QString& caption, int image) {
  QTreeWidgetItem* item = AddNode(node, caption, image, element);
  node->setExpanded(true);
  SelectNode(item);
}

void Tfrm_MainForm::btn_Tool_01Click() {
  QTreeWidgetItem* node = FCurrentNode;
  TXMLNode* parent = ElementOf(node);
  if (!parent || (parent != FLibrary->Root.get() && parent->Name != smr::elDirectory)) return;
  CreateNamedChild(node, parent, nemCatalogue, smr::elDirectory, 2);
}

void Tfrm_MainForm::CreateNamedChild(QTreeWidgetItem* node, TXMLNode* parent, int mode,
                                     std::string_view name, int image) {
  const TPrompts::TNewElementAnswer answer = Prompts().NewElement(this, mode, 0, 0);
  if (!answer.Ok) return;
  auto child = std::make_unique<TXMLNode>(std::string(name), nkElement);
  child->SetAttribute(smr::atName, FromUi(answer.First, TTextPlace::Attribute));
  TXMLNode* added = AppendChild(parent, std::move(child));
  CreateChildCommon(added, node, ToUi(added->GetAttribute(smr::atName)), image);
}

bool Tfrm_MainForm::PrepareJournal(const std::string& path, TXMLNode*& root) {
  const std::string native = JournalFileName(path);
  const QString shown = UiFileName(native);
  root = nullptr;
  // Two documents on one file would overwrite each other on every save.
  if (IsOwnFile(native)) {
    Prompts().Error(this, U(res::JournalPathInUse).arg(shown));
    return false;
  }
  // One journal document belongs to one `file` element, opened or not.
  if (LibraryNamesJournal(native)) {
    Prompts().Error(this, U(res::JournalAlreadyInLibrary).arg(shown));
    return false;
  }
  TXMLParser* known = FJournals.Find(native);

  bool attach = false;
  if (known || FileExists(native)) {
    bool isJournal = false;
    if (known) {
      isJournal = known->Root->Name == smr::elJournal;
    } else {
      TXMLParser probe;
      probe.Load(native);
      isJournal = probe.Root->Name == smr::elJournal;
    }
    QStringList buttons;
    if (isJournal) buttons << U(res::AttachJournal);
    buttons << U(res::ReplaceFile) << U(res::CancelCommand);
    const int choice = Prompts().Choose(
        this, U(isJournal ? res::JournalFileIsJournal : res::JournalFileExists).arg(shown),
        buttons);
    if (choice < 0 || choice >= buttons.size() - 1) return false;
    attach = isJournal && choice == 0;
  }
  if (attach) return true;  // the tree reads it through the journal table when it is selected

  auto journal = std::make_unique<TXMLParser>();
  InitNewJournal(*journal);
  try {
    journal->Save(native);
  } catch (const TXMLWriteError& error) {
    Prompts().Error(this, WriteErrorText(shown, error));
    return false;
  }
  if (known) {
    // The table keeps one document per file: the one it holds becomes the new journal.
    known->Parameters = journal->Parameters;
    known->Root = std::move(journal->Root);
    root = known->Root.get();
  } else {
    root = journal->Root.get();
    FJournals.Add(std::move(journal));
  }
  return true;
}

void Tfrm_MainForm::btn_Tool_02Click() {
  QTreeWidgetItem* node = FCurrentNode;
  TXMLNode* directory = ElementOf(node);
  if (!directory || directory->Name != smr::elDirectory) return;
  const TPrompts::TNewElementAnswer answer = Prompts().NewElement(this, nemJournal, 0, 0);
  if (!answer.Ok) return;
  const std::string path = DocumentFileName(answer.Second);
  // The library holds the path as windows-1251 without '"', '<' or '>': a
  // name it cannot keep exactly would point at another file.
  if (ToUi(path) != answer.Second) {
    Prompts().Error(this, U(res::JournalPathNotStorable).arg(answer.Second));
    return;
  }
  // The file is settled first, so a failure leaves the catalogue as it was.
  TXMLNode* root = nullptr;
  if (!PrepareJournal(path, root)) return;

  auto file = std::make_unique<TXMLNode>(std::string(smr::elFile), nkEmptyElement);
  file->SetAttribute(smr::atName, FromUi(answer.First, TTextPlace::Attribute));
  file->SetAttribute(smr::atPath, path);
  TXMLNode* added = AppendChild(directory, std::move(file));
  const QString caption = ToUi(added->GetAttribute(smr::atName));
  if (root) {
    FPairs.Add(added, root);
    CreateChildCommon(root, node, caption, 3);
  } else {
    // An attached journal: selecting its `file` element opens it and shows its nights.
    CreateChildCommon(added, node, caption, 3);
  }
}

void Tfrm_MainForm::btn_Tool_03Click() {
  QTreeWidgetItem* node = FCurrentNode;
  TXMLNode* root = ElementOf(node);
  // A journal that could not be opened is still its `file` element: no nights there.
  if (!root || root->Name != smr::elJournal) return;
  CreateNamedChild(node, root, nemNight, smr::elDay, 4);
}

void Tfrm_MainForm::btn_Tool_04Click() {
  QTreeWidgetItem* node = FCurrentNode;
  TXMLNode* day = ElementOf(node);
  if (!day || day->Name != smr::elDay) return;
  const TPrompts::TNewElementAnswer answer =
      Prompts().NewElement(this, nemExperience, FNextExperienceNumber, FExperienceView);
  if (!answer.Ok) return;
  FExperienceView = answer.RadioIndex == 1 ? 1 : 0;
  WriteExperienceView(*FSettings, FExperienceView);

  const std::string number = FromUi(answer.First, TTextPlace::Attribute);
  const std::string title = FromUi(answer.Second, TTextPlace::Attribute);
  auto experience = std::make_unique<TXMLNode>(std::string(smr::elExperience), nkElement);
  experience->SetAttribute(smr::atNumber, number);
  experience->SetAttribute(smr::atTitle, title);
  if (FExperienceView == 1) {
    try {
      const std::string file = MakeHTMLFileName(number);
      experience->SetAttribute(smr::atType, smr::Html);
      experience->SetAttribute(smr::atFile, file);
    } catch (const TXMLWriteError& error) {
      Prompts().Error(this, QString::fromUtf8(error.what()));
      return;
    }
  }
  TXMLNode* added = AppendChild(day, std::move(experience));
  CreateChildCommon(added, node, ToUi(number + ". " + title), 5);
}

std::string Tfrm_MainForm::MakeHTMLFileName(const std::string& number) {
  QTreeWidgetItem* journalNode = FCurrentNode ? FCurrentNode->parent() : nullptr;
  TXMLNode* root = ElementOf(journalNode);
  std::string path;
  if (TXMLNode* file = root ? FPairs.FindFirst(root) : nullptr) {
    path = file->GetAttribute(smr::atPath);
  } else {
    // Not paired (never the case for a journal the tree opened): the document knows its file.
    for (int i = 0; i < FJournals.Count() && root; ++i)
      if (FJournals.Document(i)->Root.get() == root)
        path = DocumentFileName(UiFileName(FJournals.Document(i)->FileName));
  }
  return CreateDescriptionFile(StoredPaths(), path, number, DescriptionFilesNamed());
}

void Tfrm_MainForm::btn_MoveUpClick() { MoveNode(-1); }

void Tfrm_MainForm::btn_MoveDownClick() { MoveNode(+1); }

void Tfrm_MainForm::MoveNode(int step) {
  QTreeWidgetItem* node = FCurrentNode;
  QTreeWidgetItem* parentNode = node ? node->parent() : nullptr;
  if (!parentNode) return;
  const int index = parentNode->indexOfChild(node);
  QTreeWidgetItem* neighbour = parentNode->child(index + step);
  if (!neighbour) return;

  // A journal moves by its library `file` element; hidden children (comments,
  // statistics) stay where they are, since only the moved element changes place.
  TXMLNode* parentElement = ElementOf(parentNode);
  TXMLNode* element = LibrarySideElement(ElementOf(node));
  TXMLNode* anchor = LibrarySideElement(ElementOf(neighbour));
  if (!parentElement || !element || !anchor) return;
  const int from = parentElement->IndexOfChild(element);
  if (from < 0 || parentElement->IndexOfChild(anchor) < 0) return;
  std::unique_ptr<TXMLNode> moved = parentElement->TakeChild(from);
  parentElement->InsertChild(parentElement->IndexOfChild(anchor) + (step > 0 ? 1 : 0),
                             std::move(moved));

  QList<QTreeWidgetItem*> expanded;
  CollectExpanded(node, expanded);
  // The node stays the selected one: nothing to show anew.
  FSuppressSelection = true;
  parentNode->takeChild(index);
  parentNode->insertChild(index + step, node);
  tre_Directory->setCurrentItem(node);
  FSuppressSelection = false;
  for (QTreeWidgetItem* item : expanded) item->setExpanded(true);
  SetMoveCommands(node);
}

void Tfrm_MainForm::btn_DeleteClick() {
  QTreeWidgetItem* node = FCurrentNode;
  if (!node || !node->parent()) return;  // the library root stays
  if (FConfirmDelete) {
    const TPrompts::TConfirmationAnswer answer =
        Prompts().Confirmation(this, U(res::DeleteQuestion).arg(node->text(0)));
    if (!answer.Yes) return;
    FConfirmDelete = !answer.DontShowAgain;
    WriteConfirmDelete(*FSettings, FConfirmDelete);
  }
  RemoveElement(node);
}

void Tfrm_MainForm::RemoveElement(QTreeWidgetItem* node) {
  QTreeWidgetItem* parentNode = node->parent();
  TXMLNode* parentElement = ElementOf(parentNode);
  TXMLNode* shown = ElementOf(node);
  TXMLNode* element = LibrarySideElement(shown);
  const int index = parentElement && element ? parentElement->IndexOfChild(element) : -1;
  if (index < 0) return;

  // No pair and no search hit may lead to a freed element. The journal
  // document itself stays in the table and is still saved.
  ForgetPatterns();
  pnl_Search->Forget();
  FPairs.RemoveHolding(element);
  if (shown != element) FPairs.RemoveHolding(shown);
  std::erase_if(FRefusedFiles, [&](const TXMLNode* file) { return Holds(element, file); });
  ForgetDescriptionOwners(element);
  if (shown != element) ForgetDescriptionOwners(shown);
  // Kept alive until the tree has let go of its nodes; out of the document
  // already, so what the tree shows next does not count it.
  std::unique_ptr<TXMLNode> removed = parentElement->TakeChild(index);
  if (FDefaultFile && Holds(removed.get(), FDefaultFile)) FDefaultFile = nullptr;

  const int position = parentNode->indexOfChild(node);
  QTreeWidgetItem* next = parentNode->child(position + 1);
  if (!next) next = parentNode->child(position - 1);
  if (!next) next = parentNode;

  FSuppressSelection = true;
  FCurrentNode = nullptr;
  pnl_Edit->SetElement(nullptr);
  delete node;
  tre_Directory->setCurrentItem(next);
  FSuppressSelection = false;
  // Shown explicitly: the tree may have made it current while suppressed.
  tre_DirectoryChange(next, nullptr);
}
