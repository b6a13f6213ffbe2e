#include "backupview/smr_RestoreBackupForm.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "backupview/smr_BackupViewTexts.h"
#include "storage/smr_TextEdge.h"
#include "storage/smr_Types.h"
#include "xml/xml_mainUnit.h"

using res::U;

namespace {

// What a row of the copies carries besides its texts.
constexpr int kCopyRole = Qt::UserRole;       // index of the copy
constexpr int kFileRole = Qt::UserRole + 1;   // relative file, empty on a copy's row
constexpr int kKindRole = Qt::UserRole + 2;   // TKind
constexpr int kCountRole = Qt::UserRole + 3;  // experiences of a journal

// A journal as a copied library refers to it.
struct TJournalRef {
  QString Folder;  // the library's folder inside the copy, relative
  QString Path;    // as stored, '/'-separated
  QString Name;
};

std::unique_ptr<TXMLParser> Read(const QString& path) {
  auto document = std::make_unique<TXMLParser>();
  document->Load(path.toUtf8().toStdString());
  return document;
}

// An experience counts one and is not entered, as in the window's counts.
int CountExperiences(const TXMLNode& element) {
  int count = 0;
  for (const auto& child : element.Children)
    count += child->Name == smr::elExperience ? 1 : CountExperiences(*child);
  return count;
}

void CollectJournals(const TXMLNode& element, const QString& folder,
                     std::vector<TJournalRef>& refs) {
  for (const auto& child : element.Children) {
    if (child->Name == smr::elFile) {
      QString path = ToUi(child->GetAttribute(smr::atPath));
      path.replace('\\', '/');
      refs.push_back({folder, path, ToUi(child->GetAttribute(smr::atName))});
    } else {
      CollectJournals(*child, folder, refs);
    }
  }
}

bool HasDrive(const QString& path) {
  return path.size() >= 2 && path[1] == ':' && path[0].isLetter();
}

// How surely a stored path names a copied file: 2 when a relative path leads
// to it, 1 when an absolute one ends the same way, 0 when it does not name it.
int Match(const TJournalRef& ref, const QString& relative) {
  const QString& path = ref.Path;
  if (!HasDrive(path) && !path.startsWith('/'))
    return QDir::cleanPath(ref.Folder + '/' + path).compare(relative, Qt::CaseInsensitive) == 0 ? 2
                                                                                                : 0;
  // A file inside the library's folder keeps only its place there; one
  // outside it keeps its whole path under a folder of its own.
  QString bare = path.mid(HasDrive(path) ? 2 : 0);
  while (bare.startsWith('/')) bare.remove(0, 1);
  if (bare.isEmpty()) return 0;
  bare.prepend('/');
  return relative.endsWith(bare, Qt::CaseInsensitive) ||
                 bare.endsWith('/' + relative, Qt::CaseInsensitive)
             ? 1
             : 0;
}

// The rule of the library tree: number, ". ", title, as stored.
QString ExperienceCaption(const TXMLNode& experience) {
  return ToUi(experience.GetAttribute(smr::atNumber) + ". " +
              experience.GetAttribute(smr::atTitle));
}

void AddCatalogue(const TXMLNode& element, QTreeWidgetItem* parent, const QIcon& folderIcon,
                  const QIcon& fileIcon) {
  for (const auto& child : element.Children) {
    const bool directory = child->Name == smr::elDirectory;
    if (!directory && child->Name != smr::elFile) continue;
    auto* item = new QTreeWidgetItem(parent, {ToUi(child->GetAttribute(smr::atName))});
    item->setIcon(0, directory ? folderIcon : fileIcon);
    if (directory) AddCatalogue(*child, item, folderIcon, fileIcon);
  }
}

}  // namespace

Tfrm_RestoreBackupForm::Tfrm_RestoreBackupForm(QWidget* parent) : QDialog(parent) {
  setWindowTitle(U(res::RestoreBackupCaption));
  setMinimumSize(560, 360);
  resize(820, 500);

  tre_Copies = new QTreeWidget(this);
  tre_Copies->setObjectName("tre_Copies");
  tre_Copies->setColumnCount(2);
  tre_Copies->setHeaderLabels({U(res::BackupCopyColumn), U(res::BackupCountColumn)});
  tre_Copies->header()->setStretchLastSection(false);
  tre_Copies->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  tre_Copies->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  tre_Copies->headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  tre_Copies->setSelectionMode(QAbstractItemView::SingleSelection);
  tre_Copies->setEditTriggers(QAbstractItemView::NoEditTriggers);

  lbl_Preview = new QLabel(this);
  lbl_Preview->setObjectName("lbl_Preview");
  lbl_Preview->setWordWrap(true);
  lbl_Preview->setTextFormat(Qt::PlainText);

  tre_Preview = new QTreeWidget(this);
  tre_Preview->setObjectName("tre_Preview");
  tre_Preview->setHeaderHidden(true);
  tre_Preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tre_Preview->setSelectionMode(QAbstractItemView::NoSelection);

  auto* previewPane = new QWidget(this);
  previewPane->setObjectName("pnl_Preview");
  auto* previewLayout = new QVBoxLayout(previewPane);
  previewLayout->setContentsMargins(0, 0, 0, 0);
  previewLayout->addWidget(lbl_Preview);
  previewLayout->addWidget(tre_Preview, 1);

  spl_Backup = new QSplitter(Qt::Horizontal, this);
  spl_Backup->setObjectName("spl_Backup");
  spl_Backup->setChildrenCollapsible(false);
  spl_Backup->addWidget(tre_Copies);
  spl_Backup->addWidget(previewPane);
  spl_Backup->setStretchFactor(0, 1);
  spl_Backup->setStretchFactor(1, 1);
  spl_Backup->setSizes({450, 370});  // a pre-restore copy's long name fits

  lbl_Hint = new QLabel(U(res::BackupHint), this);
  lbl_Hint->setObjectName("lbl_Hint");
  lbl_Hint->setWordWrap(true);

  btn_Restore = new QPushButton(U(res::BackupRestore), this);
  btn_Restore->setObjectName("btn_Restore");
  btn_Restore->setDefault(true);
  btn_Restore->setEnabled(false);
  btn_Close = new QPushButton(U(res::BackupClose), this);
  btn_Close->setObjectName("btn_Close");
  connect(btn_Restore, &QPushButton::clicked, this, &QDialog::accept);
  connect(btn_Close, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(lbl_Hint, 1);
  buttons->addSpacing(12);
  buttons->addWidget(btn_Restore, 0, Qt::AlignBottom);
  buttons->addWidget(btn_Close, 0, Qt::AlignBottom);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(spl_Backup, 1);
  layout->addLayout(buttons);

  connect(tre_Copies, &QTreeWidget::itemSelectionChanged, this,
          &Tfrm_RestoreBackupForm::ShowChoice);
  ShowChoice();
}

void Tfrm_RestoreBackupForm::Fill(const std::vector<TDatedBackups::TCopy>& copies) {
  FCopies = copies;
  tre_Copies->clear();
  for (int copy = 0; copy < static_cast<int>(FCopies.size()); ++copy) {
    auto* row = new QTreeWidgetItem(tre_Copies, {Copy(copy).Caption});
    row->setData(0, kCopyRole, copy);
    row->setData(0, kKindRole, kCopy);
    QFont bold = row->font(0);
    bold.setBold(true);
    row->setFont(0, bold);
    row->setToolTip(0, QDir::toNativeSeparators(Copy(copy).Folder));
    for (const QString& relative : Copy(copy).Files) AddFile(row, copy, relative);
    NameJournals(row, copy);
  }
  if (QTreeWidgetItem* newest = tre_Copies->topLevelItem(0)) newest->setExpanded(true);
  ShowChoice();
}

int Tfrm_RestoreBackupForm::ChosenCopy() const {
  const QTreeWidgetItem* item = Chosen();
  return item ? item->data(0, kCopyRole).toInt() : -1;
}

QStringList Tfrm_RestoreBackupForm::ChosenFiles() const {
  const QTreeWidgetItem* item = Chosen();
  if (!item || item->data(0, kKindRole).toInt() == kCopy) return {};
  return {item->data(0, kFileRole).toString()};
}

void Tfrm_RestoreBackupForm::AddFile(QTreeWidgetItem* copyRow, int copy, const QString& relative) {
  auto* item = new QTreeWidgetItem(copyRow, {relative});
  item->setData(0, kCopyRole, copy);
  item->setData(0, kFileRole, relative);
  item->setData(0, kKindRole, kOther);
  item->setToolTip(0, QDir::toNativeSeparators(relative));
  item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  const auto document = Read(Copy(copy).Folder + relative);
  if (document->Status != xsLoaded) {
    // Bringing back a file that no longer reads cleanly would lose more than it saves.
    item->setText(1, U(res::BackupUnread));
    item->setFlags(Qt::NoItemFlags);
    return;
  }
  const TXMLNode& root = *document->Root;
  if (root.Name == smr::elLibrary) {
    item->setData(0, kKindRole, kLibrary);
    item->setText(0, U(res::BackupLibraryFile).arg(ToUi(root.GetAttribute(smr::atName))));
  } else if (root.Name == smr::elJournal) {
    const int count = CountExperiences(root);
    item->setData(0, kKindRole, kJournal);
    item->setData(0, kCountRole, count);
    item->setText(1, QString::number(count));
  }
}

void Tfrm_RestoreBackupForm::NameJournals(QTreeWidgetItem* copyRow, int copy) {
  std::vector<TJournalRef> refs;
  for (int i = 0; i < copyRow->childCount(); ++i) {
    const QTreeWidgetItem* file = copyRow->child(i);
    if (file->data(0, kKindRole).toInt() != kLibrary) continue;
    const QString relative = file->data(0, kFileRole).toString();
    const auto library = Read(Copy(copy).Folder + relative);
    CollectJournals(*library->Root, QFileInfo(relative).path(), refs);
  }
  int total = 0;
  for (int i = 0; i < copyRow->childCount(); ++i) {
    QTreeWidgetItem* journal = copyRow->child(i);
    if (journal->data(0, kKindRole).toInt() != kJournal) continue;
    total += journal->data(0, kCountRole).toInt();
    const QString relative = journal->data(0, kFileRole).toString();
    int best = 0;
    for (const TJournalRef& ref : refs) {
      const int match = Match(ref, relative);
      if (match > best) {
        best = match;
        journal->setText(0, ref.Name);
      }
    }
  }
  copyRow->setText(1, QString::number(total));
  copyRow->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
}

QTreeWidgetItem* Tfrm_RestoreBackupForm::Chosen() const {
  const QList<QTreeWidgetItem*> selected = tre_Copies->selectedItems();
  return selected.isEmpty() ? nullptr : selected.first();
}

void Tfrm_RestoreBackupForm::ShowChoice() {
  const QTreeWidgetItem* item = Chosen();
  btn_Restore->setEnabled(item != nullptr);
  tre_Preview->clear();
  if (!item) {
    lbl_Preview->setText(U(FCopies.empty() ? res::BackupNoCopies : res::BackupChoose));
    return;
  }
  const int copy = item->data(0, kCopyRole).toInt();
  const QString relative = item->data(0, kFileRole).toString();
  switch (item->data(0, kKindRole).toInt()) {
    case kJournal:
      ShowJournal(copy, relative, item->text(0));
      break;
    case kOther:
      lbl_Preview->setText(U(res::BackupPreviewOther).arg(QDir::toNativeSeparators(relative)));
      break;
    default:
      ShowLibrary(copy);
  }
}

void Tfrm_RestoreBackupForm::ShowLibrary(int copy) {
  const QString& caption = Copy(copy).Caption;
  const QTreeWidgetItem* copyRow = tre_Copies->topLevelItem(copy);
  for (int i = 0; i < copyRow->childCount(); ++i) {
    if (copyRow->child(i)->data(0, kKindRole).toInt() != kLibrary) continue;
    const auto library = Read(Copy(copy).Folder + copyRow->child(i)->data(0, kFileRole).toString());
    if (library->Status != xsLoaded) break;
    lbl_Preview->setText(
        U(res::BackupPreviewLibrary).arg(ToUi(library->Root->GetAttribute(smr::atName)), caption));
    AddCatalogue(*library->Root, tre_Preview->invisibleRootItem(),
                 style()->standardIcon(QStyle::SP_DirIcon),
                 style()->standardIcon(QStyle::SP_FileIcon));
    tre_Preview->expandAll();
    return;
  }
  lbl_Preview->setText(U(res::BackupPreviewNoLibrary).arg(caption));
}

void Tfrm_RestoreBackupForm::ShowJournal(int copy, const QString& relative,
                                         const QString& caption) {
  const auto journal = Read(Copy(copy).Folder + relative);
  if (journal->Status != xsLoaded) {
    lbl_Preview->setText(U(res::BackupPreviewUnread).arg(QDir::toNativeSeparators(relative)));
    return;
  }
  lbl_Preview->setText(U(res::BackupPreviewJournal).arg(caption, Copy(copy).Caption));
  for (const auto& day : journal->Root->Children) {
    if (day->Name != smr::elDay) continue;
    auto* night = new QTreeWidgetItem(tre_Preview, {ToUi(day->GetAttribute(smr::atName))});
    for (const auto& experience : day->Children)
      if (experience->Name == smr::elExperience)
        new QTreeWidgetItem(night, {ExperienceCaption(*experience)});
  }
  tre_Preview->expandAll();
}
