#pragma once

#include <QAbstractListModel>
#include <QStyledItemDelegate>
#include <optional>
#include <vector>

#include "search/smr_SearchIndex.h"

class TLibrarySearch;

// The hits of a search as list rows. The snippet of a row is made when the
// row is first shown: a query may find thousands, the list shows a dozen.
class TSearchResults : public QAbstractListModel {
  Q_OBJECT

 public:
  enum TRole { SnippetRole = Qt::UserRole + 1 };

  explicit TSearchResults(TLibrarySearch& search, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  // DisplayRole: "journal · night · number. title"; SnippetRole: a TSnippet
  // whose text is already converted (see SnippetOf).
  QVariant data(const QModelIndex& index, int role) const override;

  // Takes the search's hits as they are now: a new run's, or more of the same run's.
  void Refresh();
  const TSearchHit& Hit(int row) const;
  const TSnippet& Snippet(int row) const;

 private:
  TLibrarySearch& FSearch;
  int FRows = 0;
  int FRun = -1;
  mutable std::vector<std::optional<TSnippet>> FSnippets;
};

// Paints a row as two lines: the heading, and the snippet with the
// matching words marked.
class TSearchResultDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// Where a row starts showing its snippet so that the first mark, from
// markStart to markEnd, is seen whole in width pixels: 0 when the text up
// to it fits, else a word start about a third of the width before it (the
// row then shows an ellipsis first).
int SnippetShownFrom(const QString& text, int markStart, int markEnd, const QFontMetrics& metrics,
                     int width);

Q_DECLARE_METATYPE(const TSnippet*)
