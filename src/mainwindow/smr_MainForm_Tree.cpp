// The library tree: building it from the documents, and what selecting a
// node shows.
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <charconv>
#include <functional>
#include <set>

#include "mainwindow/smr_EditPanel.h"
#include "mainwindow/smr_MainForm.h"
#include "mainwindow/smr_MainFormTexts.h"
#include "mainwindow/smr_ScaledIcons.h"
#include "searchpanel/smr_SearchPanel.h"
#include "storage/smr_TextEdge.h"
#include "storage/smr_Types.h"

QTreeWidgetItem* Tfrm_MainForm::MakeNode(const QString& text, int image, TXMLNode* element) {
  auto* item = new QTreeWidgetItem();
  item->setText(0, text);
  item->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(element)));
  SetNodeImage(item, image);
  return item;
}

QTreeWidgetItem* Tfrm_MainForm::AddNode(QTreeWidgetItem* parent, const QString& text, int image,
                                        TXMLNode* element) {
  QTreeWidgetItem* item = MakeNode(text, image, element);
  if (parent)
    parent->addChild(item);
  else
    tre_Directory->addTopLevelItem(item);
  return item;
}

void Tfrm_MainForm::SetNodeImage(QTreeWidgetItem* item, int image) {
  // The selected node shows picture 0 in place of its own.
  if (image < 0 || image >= FImages.size()) return;
  // Composed once per picture, not per node: a big journal has thousands.
  if (FNodeIcons.size() != FImages.size()) {
    FNodeIcons.clear();
    for (int i = 0; i < FImages.size(); ++i) {
      if (FImages.size() == 1 || i == 0) {
        FNodeIcons.append(FImages[i]);
        continue;
      }
      QIcon icon;
      for (qreal scale : IconScales()) {
        icon.addPixmap(FImages[i].pixmap(QSize(16, 16), scale), QIcon::Normal);
        icon.addPixmap(FImages[0].pixmap(QSize(16, 16), scale), QIcon::Selected);
      }
      FNodeIcons.append(icon);
    }
  }
  item->setIcon(0, FNodeIcons[image]);
}

QTreeWidgetItem* Tfrm_MainForm::MakeSubtree(TXMLNode* element, QList<QTreeWidgetItem*>& defaults) {
  QTreeWidgetItem* node = MakeNode(ToUi(element->GetAttribute(smr::atName)),
                                   element->Name == smr::elDay ? 4 : 2, element);
  QList<QTreeWidgetItem*> children;
  for (const auto& childPtr : element->Children) {
    TXMLNode* child = childPtr.get();
    if (child->Name == smr::elDirectory) {
      children << MakeSubtree(child, defaults);
    } else if (child->Name == smr::elFile) {
      QTreeWidgetItem* file = MakeNode(ToUi(child->GetAttribute(smr::atName)), 3, child);
      children << file;
      if (child->GetAttribute(smr::atDefault) == smr::Yes) defaults << file;
    } else if (child->Name == smr::elExperience) {
      children << MakeNode(ExperienceCaption(child), 5, child);
    }
  }
  node->addChildren(children);
  return node;
}

void Tfrm_MainForm::BuildSubtree(QTreeWidgetItem* parent, TXMLNode* element) {
  QList<QTreeWidgetItem*> defaults;
  QTreeWidgetItem* node = MakeSubtree(element, defaults);
  if (parent)
    parent->addChild(node);
  else
    tre_Directory->addTopLevelItem(node);
  // Each default journal is selected in turn (which opens it); the last stays.
  for (QTreeWidgetItem* file : defaults) {
    tre_Directory->setCurrentItem(file);
    file->setExpanded(true);
  }
}

TStoredPaths Tfrm_MainForm::StoredPaths() const {
  return TStoredPaths(
      FileNamed(*FLibrary) ? QFileInfo(UiFileName(FLibrary->FileName)).absolutePath() : QString(),
      FFolders.DocumentsDir());
}

std::string Tfrm_MainForm::JournalFileName(const std::string& storedPath) const {
  return StoredPaths().Resolve(storedPath);
}

void Tfrm_MainForm::EachFileElement(const std::function<void(const TXMLNode&)>& visit) const {
  const std::function<void(const TXMLNode&)> walk = [&](const TXMLNode& element) {
    for (const auto& child : element.Children) {
      if (child->Name == smr::elFile && child->HasAttribute(smr::atPath)) visit(*child);
      walk(*child);
    }
  };
  walk(*FLibrary->Root);
}

const TXMLNode* Tfrm_MainForm::FileElementNaming(const std::string& nativeName) const {
  const std::string canonical = CanonicalFileName(nativeName);
  const TXMLNode* found = nullptr;
  EachFileElement([&](const TXMLNode& file) {
    if (!found && CanonicalFileName(JournalFileName(file.GetAttribute(smr::atPath))) == canonical)
      found = &file;
  });
  return found;
}

bool Tfrm_MainForm::LibraryNamesJournal(const std::string& nativeName) const {
  return FileElementNaming(nativeName) != nullptr;
}

TXMLNode* Tfrm_MainForm::OpenJournal(QTreeWidgetItem* node, TXMLNode* fileElement) {
  const std::string path = JournalFileName(fileElement->GetAttribute(smr::atPath));
  const TXMLParser* known = FJournals.Find(path);
  const TXMLNode* owner = known ? FPairs.FindFirst(known->Root.get()) : nullptr;
  if (owner && owner != fileElement) {
    // Two nodes over one document: deleting under one would free what the
    // other shows.
    if (FRefusedFiles.insert(fileElement).second)
      Prompts().Error(this, QString::fromUtf8(res::JournalAlreadyInLibrary).arg(UiFileName(path)));
    return nullptr;
  }
  TXMLParser* journal = FJournals.Get(path);
  if (!known) {
    WarnIfBadlyRead(*journal);
    WatchFile(*journal);
  }
  TXMLNode* root = journal->Root.get();
  if (node) {
    QList<QTreeWidgetItem*> children;
    QList<QTreeWidgetItem*> defaults;  // a journal holds no `file` elements
    for (const auto& child : root->Children) children << MakeSubtree(child.get(), defaults);
    node->addChildren(children);
    node->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(root)));
  }
  FPairs.AddUnique(fileElement, root);
  return root;
}

TXMLNode* Tfrm_MainForm::JournalForStatistics(TXMLNode& fileElement) {
  if (TXMLNode* root = FPairs.FindSecond(&fileElement)) return root;
  if (!fileElement.HasAttribute(smr::atPath)) return nullptr;
  // The statistics are those of the selected catalogue, whose node holds
  // the journal's node.
  QTreeWidgetItem* node = nullptr;
  for (int i = 0; FCurrentNode && i < FCurrentNode->childCount() && !node; ++i)
    if (ElementOf(FCurrentNode->child(i)) == &fileElement) node = FCurrentNode->child(i);
  return OpenJournal(node, &fileElement);
}

void Tfrm_MainForm::MarkDefault(TXMLNode* fileElement) {
  if (FDefaultFile) FDefaultFile->SetAttribute(smr::atDefault, smr::No);
  FDefaultFile = fileElement;
  if (FDefaultFile) FDefaultFile->SetAttribute(smr::atDefault, smr::Yes);
}

void Tfrm_MainForm::SetCommands(TElementKind kind) {
  const bool library = kind == ekLibrary, directory = kind == ekDirectory,
             journal = kind == ekJournal, night = kind == ekNight;
  mnu_Export->setEnabled(library || journal);
  mnu_Import->setEnabled(directory);
  mnu_ViewAsHTML->setEnabled(library || journal);
  mnu_RefreshAll->setEnabled(directory || journal || night);
  mnu_View->setEnabled(kind != ekExperience);
  SetCreateCommands(library || directory, directory, journal, night);
}

void Tfrm_MainForm::SetCreateCommands(bool catalogue, bool journal, bool night, bool experience) {
  for (QAction* a : {mnu_CreateDirectory, pmn_CreateDirectory}) a->setEnabled(catalogue);
  for (QAction* a : {mnu_CreateFile, pmn_CreateFile}) a->setEnabled(journal);
  for (QAction* a : {mnu_CreateDay, pmn_CreateDay}) a->setEnabled(night);
  for (QAction* a : {mnu_CreateExperience, pmn_CreateExperience}) a->setEnabled(experience);
  btn_Create->setEnabled(catalogue || journal || night || experience);
}

void Tfrm_MainForm::SetMoveCommands(QTreeWidgetItem* item) {
  QTreeWidgetItem* parent = item->parent();
  const int index = parent ? parent->indexOfChild(item) : tre_Directory->indexOfTopLevelItem(item);
  const int count = parent ? parent->childCount() : tre_Directory->topLevelItemCount();
  mnu_MoveUp->setEnabled(index > 0);
  mnu_MoveDown->setEnabled(index < count - 1);
}

void Tfrm_MainForm::ShowKind(TElementKind kind, TXMLNode* element) {
  pnl_Edit->FillPanel(kind, element);
  pnl_Edit->LayoutPanel(kind);
  SetCommands(kind);
}

TXMLNode* Tfrm_MainForm::LibrarySideElement(TXMLNode* element) const {
  if (element && element->Name == smr::elJournal)
    if (TXMLNode* file = FPairs.FindFirst(element)) return file;
  return element;
}

int Tfrm_MainForm::CountExperiences(const TXMLNode* element) {
  if (!element) return 0;
  int count = 0;
  for (const auto& child : element->Children)
    count += child->Name == smr::elExperience ? 1 : CountExperiences(child.get());
  return count;
}

void Tfrm_MainForm::SelectNode(QTreeWidgetItem* item) { tre_Directory->setCurrentItem(item); }

void Tfrm_MainForm::tre_DirectoryChange(QTreeWidgetItem* current, QTreeWidgetItem* /*previous*/) {
  // The previous node is not consulted: after a delete it no longer exists.
  if (FSuppressSelection) return;
  if (!LeaveHTMLDescription()) {
    // Its text could not be written and is kept: the experience stays.
    FSuppressSelection = true;
    tre_Directory->setCurrentItem(FCurrentNode);
    FSuppressSelection = false;
    return;
  }
  FCurrentNode = current;
  FActivityItem = nullptr;  // its journal may be opened only now
  pnl_Edit->SetElement(nullptr);
  pnl_Statistics->Clear();
  ApplyDreamSigns();
  if (!current) return;
  CheckChangedOnDisk(current);
  TXMLNode* element = ElementOf(current);
  if (!element) return;
  pnl_Edit->SetElement(element);

  if (element == FLibrary->Root.get()) {
    ShowKind(ekLibrary, element);
    mnu_MoveUp->setEnabled(false);
    mnu_MoveDown->setEnabled(false);
    mnu_Delete->setEnabled(false);
    return;
  }
  mnu_Delete->setEnabled(true);
  SetMoveCommands(current);
  const std::string& name = element->Name;
  if (name == smr::elDirectory) {
    ShowKind(ekDirectory, element);
    ShowCatalogueStatistics(element);
  } else if (name == smr::elFile) {
    ShowKind(ekJournal, element);
    TXMLNode* root = element->HasAttribute(smr::atPath) ? OpenJournal(current, element) : nullptr;
    if (!root) {
      // A journal that cannot be opened cannot take nights.
      SetCreateCommands(false, false, false, false);
      return;
    }
    pnl_Edit->SetElement(root);
    MarkDefault(element);
    ShowJournalStatistics(root);
    // A first search of a big journal would wait for its index.
    if (root->ChildCount() >= IndexAheadNights) pnl_Search->Search().Prepare(*root);
  } else if (name == smr::elJournal) {
    ShowKind(ekJournal, element);
    MarkDefault(FPairs.FindFirst(element));
    ShowJournalStatistics(element);
  } else if (name == smr::elDay) {
    ShowKind(ekNight, element);
    FNextExperienceNumber = ProposedExperienceNumber(ElementOf(current->parent()));
    ShowNightStatistics(element);
  } else if (name == smr::elExperience) {
    ShowKind(ekExperience, element);
    if (element->GetAttribute(smr::atType) == smr::Html) ShowHTMLDescription(element);
    if (element->GetAttribute(smr::atReadOnly) == smr::True)
      pnl_Edit->LockEditing();
    else
      pnl_Edit->UnlockEditing();
  }
}

namespace {
// The number an experience's `number` text holds; -1 when it is no number.
long long NumberOf(const std::string& text) {
  long long value = 0;
  const char* first = text.data();
  const char* last = first + text.size();
  while (first < last && *first == ' ') ++first;
  while (last > first && last[-1] == ' ') --last;
  if (first == last || last - first > 12) return -1;
  const auto [end, error] = std::from_chars(first, last, value);
  return error == std::errc() && end == last && value >= 0 ? value : -1;
}

void CollectNumbers(const TXMLNode* element, std::set<long long>& used) {
  for (const auto& child : element->Children) {
    if (child->Name == smr::elExperience)
      used.insert(NumberOf(child->GetAttribute(smr::atNumber)));
    else
      CollectNumbers(child.get(), used);
  }
}
}  // namespace

int Tfrm_MainForm::ProposedExperienceNumber(const TXMLNode* root) {
  long long number = CountExperiences(root) + 1;
  if (!root) return static_cast<int>(number);
  // After a delete the count falls below a number still in use.
  std::set<long long> used;
  CollectNumbers(root, used);
  while (used.count(number)) ++number;
  return static_cast<int>(std::min<long long>(number, 999999999));
}
