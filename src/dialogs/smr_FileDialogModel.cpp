#include "dialogs/smr_FileDialogModel.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>

#include "dialogs/smr_DialogTexts.h"

namespace {

// The columns of QFileSystemModel.
constexpr int kTypeColumn = 2;
constexpr int kDateColumn = 3;

QString TypeName(const QFileInfo& file) {
  if (file.isDir()) return QString::fromUtf8(res::FileTypeFolder);
  const QString suffix = file.suffix().toLower();
  if (suffix == u"bmp" || suffix == u"png" || suffix == u"gif")
    return QString::fromUtf8(res::FileTypeImage).arg(suffix.toUpper());
  if (suffix == u"jpg" || suffix == u"jpeg")
    return QString::fromUtf8(res::FileTypeImage).arg(QStringLiteral("JPEG"));
  if (suffix == u"html" || suffix == u"htm") return QString::fromUtf8(res::FileTypeHtml);
  if (suffix == u"xml") return QString::fromUtf8(res::FileTypeXml);
  if (suffix == u"txt") return QString::fromUtf8(res::FileTypeText);
  return QString::fromUtf8(res::FileTypeOther);
}

class TRussianFileColumns : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;

  QVariant data(const QModelIndex& index, int role) const override {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (role != Qt::DisplayRole || !files || !index.isValid() ||
        (index.column() != kTypeColumn && index.column() != kDateColumn))
      return QIdentityProxyModel::data(index, role);
    const QFileInfo file = files->fileInfo(mapToSource(index));
    if (index.column() == kTypeColumn) return TypeName(file);
    // As the program writes dates; the short locale form does not fit the column.
    return QLocale(QLocale::Russian)
        .toString(file.lastModified(), QStringLiteral("dd.MM.yy HH:mm"));
  }
};

}  // namespace

void UseRussianFileColumns(QFileDialog& dialog) {
  dialog.setProxyModel(new TRussianFileColumns(&dialog));
}
