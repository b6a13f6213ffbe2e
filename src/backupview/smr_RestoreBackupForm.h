#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <vector>

#include "storage/smr_DatedBackups.h"

class QLabel;
class QPushButton;
class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;

// Lists the dated copies of a library and lets the user pick a whole copy
// or one file of it; the caller does the restoring. The files are only read.
class Tfrm_RestoreBackupForm : public QDialog {
  Q_OBJECT

 public:
  explicit Tfrm_RestoreBackupForm(QWidget* parent = nullptr);

  // The copies, newest first. Each file is read here to tell the library
  // from the journals and count the experiences; a journal's nights are
  // read again, for the preview, only when it is selected.
  void Fill(const std::vector<TDatedBackups::TCopy>& copies);

  // After Accepted: the copy chosen (an index into the filled copies, -1
  // when none) and its files to restore, relative as in TCopy::Files; an
  // empty list means the whole copy.
  int ChosenCopy() const;
  QStringList ChosenFiles() const;

 private:
  enum TKind { kCopy, kLibrary, kJournal, kOther };

  const TDatedBackups::TCopy& Copy(int copy) const {
    return FCopies[static_cast<std::size_t>(copy)];
  }
  void AddFile(QTreeWidgetItem* copyRow, int copy, const QString& relative);
  void NameJournals(QTreeWidgetItem* copyRow, int copy);
  QTreeWidgetItem* Chosen() const;
  void ShowChoice();
  void ShowLibrary(int copy);
  void ShowJournal(int copy, const QString& relative, const QString& caption);

  QSplitter* spl_Backup;
  QTreeWidget* tre_Copies;
  QLabel* lbl_Preview;
  QTreeWidget* tre_Preview;
  QLabel* lbl_Hint;
  QPushButton* btn_Restore;
  QPushButton* btn_Close;

  std::vector<TDatedBackups::TCopy> FCopies;
};
