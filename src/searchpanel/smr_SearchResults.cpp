#include "searchpanel/smr_SearchResults.h"

#include <QApplication>
#include <QPainter>
#include <algorithm>

#include "search/smr_LibrarySearch.h"
#include "searchpanel/smr_SearchPanelTexts.h"
#include "storage/smr_TextEdge.h"
#include "storage/smr_Types.h"
#include "xml/xml_node.h"

TSearchResults::TSearchResults(TLibrarySearch& search, QObject* parent)
    : QAbstractListModel(parent), FSearch(search) {}

int TSearchResults::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : FRows;
}

void TSearchResults::Refresh() {
  const int rows = static_cast<int>(FSearch.Hits().size());
  if (FRun == FSearch.Run() && rows >= FRows) {
    // More hits of the same run: the rows shown stay as they are.
    if (rows == FRows) return;
    beginInsertRows({}, FRows, rows - 1);
    FRows = rows;
    FSnippets.resize(static_cast<std::size_t>(rows));
    endInsertRows();
    return;
  }
  beginResetModel();
  FRun = FSearch.Run();
  FRows = rows;
  FSnippets.assign(static_cast<std::size_t>(rows), std::nullopt);
  endResetModel();
}

const TSearchHit& TSearchResults::Hit(int row) const {
  return FSearch.Hits()[static_cast<std::size_t>(row)];
}

const TSnippet& TSearchResults::Snippet(int row) const {
  auto& snippet = FSnippets[static_cast<std::size_t>(row)];
  if (!snippet)
    snippet = MakeSnippet(Hit(row), FSearch.Query(), const_cast<TLibrarySearch&>(FSearch).Index());
  return *snippet;
}

QVariant TSearchResults::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= FRows) return {};
  const TSearchHit& hit = Hit(index.row());
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
    const TXMLNode& e = *hit.Experience;
    QString heading;
    if (hit.File) heading += ToUi(hit.File->GetAttribute(smr::atName)) + QStringLiteral(" · ");
    heading += ToUi(hit.Night->GetAttribute(smr::atName)) + QStringLiteral(" · ");
    heading += e.HasAttribute(smr::atNumber) ? ToUi(e.GetAttribute(smr::atNumber))
                                             : QString::fromUtf8(res::SearchNoNumber);
    if (e.HasAttribute(smr::atTitle))
      heading += QStringLiteral(". ") + ToUi(e.GetAttribute(smr::atTitle));
    if (role == Qt::ToolTipRole) heading += QLatin1Char('\n') + ToUi(Snippet(index.row()).Text);
    return heading;
  }
  if (role == SnippetRole) return QVariant::fromValue(&Snippet(index.row()));
  return {};
}

namespace {
constexpr int kPadding = 3;
}

int SnippetShownFrom(const QString& text, int markStart, int markEnd, const QFontMetrics& metrics,
                     int width) {
  if (markStart <= 0 || metrics.horizontalAdvance(text.left(markEnd)) <= width) return 0;
  int from = markStart;
  while (from > 0 &&
         metrics.horizontalAdvance(text.mid(from - 1, markStart - from + 1)) <= width / 3)
    --from;
  while (from > 0 && from < markStart && text[from - 1].isLetterOrNumber()) ++from;
  return from;
}

QSize TSearchResultDelegate::sizeHint(const QStyleOptionViewItem& option,
                                      const QModelIndex&) const {
  return QSize(option.rect.width() > 0 ? option.rect.width() : 200,
               2 * option.fontMetrics.height() + 3 * kPadding);
}

void TSearchResultDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
  QStyleOptionViewItem base = option;
  initStyleOption(&base, index);
  base.text.clear();
  QStyle* style = option.widget ? option.widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &base, painter, option.widget);

  painter->save();
  const bool selected = option.state & QStyle::State_Selected;
  const QPalette::ColorGroup group =
      option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
  const QColor text =
      option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
  const QRect area = option.rect.adjusted(kPadding + 1, kPadding, -kPadding, -kPadding);
  const int line = option.fontMetrics.height();

  QFont bold = option.font;
  bold.setBold(true);
  painter->setFont(bold);
  painter->setPen(text);
  const QString heading = index.data(Qt::DisplayRole).toString();
  painter->drawText(QRect(area.left(), area.top(), area.width(), line),
                    Qt::AlignLeft | Qt::AlignVCenter,
                    QFontMetrics(bold).elidedText(heading, Qt::ElideRight, area.width()));

  // The snippet, piece by piece: marked pieces on a yellow ground.
  const auto* snippet = index.data(TSearchResults::SnippetRole).value<const TSnippet*>();
  if (snippet) {
    const QString all = ToUi(snippet->Text);
    int x = area.left();
    const int y = area.top() + line + kPadding, right = area.right();
    // A match far into the line is brought into view, never elided.
    int at = snippet->Marks.empty()
                 ? 0
                 : SnippetShownFrom(all, snippet->Marks.front().first,
                                    snippet->Marks.front().first + snippet->Marks.front().second,
                                    QFontMetrics(bold), right - x);
    auto drawPiece = [&](QString piece, bool marked) {
      if (piece.isEmpty() || x >= right) return;
      const QFont& font = marked ? bold : option.font;
      const QFontMetrics metrics(font);
      int width = metrics.horizontalAdvance(piece);
      if (x + width > right) {
        piece = metrics.elidedText(piece, Qt::ElideRight, right - x);
        width = metrics.horizontalAdvance(piece);
      }
      painter->setFont(font);
      if (marked) {
        painter->fillRect(QRect(x, y, width, line), QColor(255, 226, 110));
        painter->setPen(QColor(Qt::black));
      } else {
        painter->setPen(text);
      }
      painter->drawText(QRect(x, y, width + 1, line), Qt::AlignLeft | Qt::AlignVCenter, piece);
      x += width;
    };
    auto draw = [&](int from, int to, bool marked) {
      from = std::max(from, at);
      if (from < to) drawPiece(all.mid(from, to - from), marked);
    };
    if (at > 0) drawPiece(QString(QChar(0x2026)), false);
    for (const auto& [start, length] : snippet->Marks) {
      draw(at, start, false);
      draw(start, start + length, true);
      at = std::max(at, start + length);
    }
    draw(at, static_cast<int>(all.size()), false);
  }
  painter->restore();
}
