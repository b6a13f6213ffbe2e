#pragma once

#include <QWidget>
#include <array>
#include <memory>

#include "search/smr_LibrarySearch.h"

class QGridLayout;

class QCheckBox;
class QComboBox;
class QDateEdit;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListView;
class QProgressBar;
class QShortcut;
class QTimer;
class TSearchResults;

// The search panel: a query searched as it is typed, filters, and the hits
// of the whole library in library order. Activating a hit asks the owner to
// show it (HitActivated). The panel never changes a document; the owner
// lends it the documents through the host.
class TSearchPanel : public QWidget {
  Q_OBJECT

 public:
  TSearchPanel(TSearchHost& host, QWidget* parent = nullptr);
  ~TSearchPanel() override;

  // The captions of the four marks; a mark without one is not offered.
  void SetMarkCaptions(const std::array<QString, 4>& captions);
  // Puts the caret in the query with its text selected.
  void FocusQuery();
  // The documents changed shape (an element deleted, another library):
  // hits and indexes go; a visible panel searches again.
  void Forget();

  TLibrarySearch& Search() { return *FSearch; }
  TSearchQuery CurrentQuery();

  // Runs the query and filters as they stand.
  void RunSearch();
  void CancelSearch();

 signals:
  void HitActivated(const TSearchHit& hit, const TSnippet& snippet);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 public:
  QLineEdit* edt_SearchQuery = nullptr;
  std::array<QCheckBox*, 4> box_SearchMark{};
  QDoubleSpinBox* spn_SearchEnergyFrom = nullptr;
  QDoubleSpinBox* spn_SearchEnergyTo = nullptr;
  QCheckBox* box_SearchDateFrom = nullptr;
  QDateEdit* dte_SearchDateFrom = nullptr;
  QCheckBox* box_SearchDateTo = nullptr;
  QDateEdit* dte_SearchDateTo = nullptr;
  QComboBox* cmb_SearchKind = nullptr;
  QLabel* lbl_SearchQueryNote = nullptr;  // why the query is not searched
  QLabel* lbl_SearchCount = nullptr;
  QProgressBar* prb_Search = nullptr;
  QLabel* lbl_SearchProblems = nullptr;
  QListView* lst_SearchResults = nullptr;

 private:
  // The filters side by side where the room allows, else one under another,
  // so that a narrow dock shows each of them whole.
  void ArrangeFilters(bool narrow);
  void FitFilters();
  void SearchProgress();
  void SearchFinished(bool cancelled);
  void ShowCount(bool cancelled);
  void Activate(const QModelIndex& index);

  QGridLayout* FFilters = nullptr;
  QGridLayout* FMarks = nullptr;
  QLabel* FMarksCaption = nullptr;
  QLabel* FEnergyCaption = nullptr;
  QLabel* FEnergyTo = nullptr;
  QLabel* FKindCaption = nullptr;
  bool FNarrow = false;
  std::unique_ptr<TLibrarySearch> FSearch;
  TSearchResults* FResults = nullptr;
  QShortcut* FEscape = nullptr;
  QTimer* FProgressDelay = nullptr;
  // Set by any key or click outside the panel: something may have been
  // edited, so the next search indexes the journals again.
  bool FStale = false;
};
