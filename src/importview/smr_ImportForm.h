#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <string>

#include "import/smr_ImportedJournal.h"
#include "import/smr_TableImport.h"

class QAction;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;

// What the input file holds.
enum class TImportKind { Csv, Text };

// Shows how an input file will become a journal before anything is written:
// for a CSV table, what each column fills and the first rows as they will be
// imported; for a text diary, its nights and dreams, which the user may
// rename, merge and remove. The caller writes the journal.
class Tfrm_ImportForm : public QDialog {
  Q_OBJECT

 public:
  // fileName names the input in the caption only; bytes is its content.
  // csvMapping is the line Mapping() gave last time (may be empty).
  Tfrm_ImportForm(const QString& fileName, std::string bytes, TImportKind kind,
                  const std::array<QString, 4>& markCaptions, const QString& csvMapping,
                  QWidget* parent = nullptr);
  ~Tfrm_ImportForm() override;

  // After Accepted: the journal of the final mapping or the edited split.
  // It is moved out; a second call gives an empty journal.
  TImportedJournal TakeJournal();
  // The CSV mapping to remember; in text mode the line given, unchanged.
  QString Mapping() const;

 protected:
  // The wheel scrolls the columns' list rather than changing the field of
  // whichever column passes under the pointer.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildCsvView();
  void FillColumns();
  void SetField(int column, TCsvField field);
  void SetPropertyName(int column, const QString& name);
  void RebuildCsv();
  void FillPreview(const TImportedJournal& preview);

  void BuildTextView(QWidget* pane);
  void FillNights();
  void NightsChanged(QTreeWidgetItem* item, int column);
  void ShowDream();
  void RemoveItem();
  void MergeDream();
  void RebuildText();

  // After every rebuild: the counts and the replaced characters; then the
  // core's error, which names the line itself.
  void ShowJournal();
  void ShowError(const QString& message);

  std::string FBytes;
  TImportKind FKind;
  std::array<QString, 4> FMarkCaptions;
  QString FSavedMapping;

  TCsvTable FTable;
  TCsvMapping FMapping;
  bool FTableRead = false;
  bool FFilling = false;  // widgets being filled: their signals change nothing

  TImportedJournal FJournal;
  bool FJournalBuilt = false;

  QSplitter* spl_Import = nullptr;
  QLabel* lbl_Columns = nullptr;
  QTableWidget* grd_Columns = nullptr;
  QLabel* lbl_Preview = nullptr;
  QTableWidget* grd_Preview = nullptr;
  QLabel* lbl_Nights = nullptr;
  QTreeWidget* lst_Nights = nullptr;
  QLabel* lbl_Dream = nullptr;
  QPlainTextEdit* txt_Dream = nullptr;
  QPushButton* btn_Remove = nullptr;
  QPushButton* btn_Merge = nullptr;
  QAction* act_Remove = nullptr;
  QLabel* lbl_Error = nullptr;
  QLabel* lbl_Totals = nullptr;
  QLabel* lbl_Replaced = nullptr;
  QPushButton* btn_Ok = nullptr;
  QPushButton* btn_Cancel = nullptr;
};
