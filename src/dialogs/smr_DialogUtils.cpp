#include "dialogs/smr_DialogUtils.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFont>
#include <QFontDatabase>
#include <QPushButton>
#include <QStringList>
#include <QWidget>
#include <algorithm>

namespace {

constexpr int kBottomMargin = 4;  // below the lowest control

// Re-applies the outer height whenever the window system may have told the
// frame: when the dialog is shown and when it moves (a window manager
// places its frame after the window appears).
class TOuterHeightKeeper : public QObject {
 public:
  TOuterHeightKeeper(QWidget* dialog, int width, int outerHeight)
      : QObject(dialog), FWidth(width), FOuterHeight(outerHeight) {
    setObjectName(QStringLiteral("OuterHeightKeeper"));
  }

  void Set(int width, int outerHeight) {
    FWidth = width;
    FOuterHeight = outerHeight;
  }

  void Apply(QWidget* dialog) const {
    const int frame = dialog->frameGeometry().height() - dialog->geometry().height();
    int contents = 0;
    for (QWidget* child : dialog->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
      if (child->isVisibleTo(dialog)) contents = std::max(contents, child->geometry().bottom() + 1);
    const int height = std::max(FOuterHeight - frame, contents + kBottomMargin);
    if (dialog->size() != QSize(FWidth, height)) dialog->setFixedSize(FWidth, height);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show || event->type() == QEvent::Move)
      Apply(static_cast<QWidget*>(watched));
    return false;
  }

 private:
  int FWidth;
  int FOuterHeight;
};

}  // namespace

QString QtFilter(const char* delphiFilter) {
  if (delphiFilter == nullptr) return {};
  const QStringList parts = QString::fromUtf8(delphiFilter).split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i < parts.size(); i += 2) {
    QString label = parts[i].trimmed();
    QString patterns = i + 1 < parts.size() ? parts[i + 1].trimmed() : QString();
    patterns.replace(u';', u' ');
    if (patterns.isEmpty()) {
      if (!label.isEmpty()) filters << label;
      continue;
    }
    // Qt reads the patterns from the trailing brackets, so those must carry
    // the real ones in Qt's blank-separated form.
    const qsizetype open = label.lastIndexOf(u'(');
    if (label.endsWith(u')') && open >= 0) label = label.left(open).trimmed();
    filters << (label.isEmpty() ? patterns : label + QStringLiteral(" (") + patterns + u')');
  }
  return filters.join(QStringLiteral(";;"));
}

void SetDialogFrame(QWidget* dialog) {
  dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  SetDialogFont(dialog);
}

void SetDialogFont(QWidget* dialog) {
  const QString family = QStringLiteral("Tahoma");
  if (!QFontDatabase::hasFamily(family)) {
    dialog->setFont(QApplication::font());
    return;
  }
  QFont font(family);
  font.setPointSize(8);
  dialog->setFont(font);
}

void SetOuterHeight(QWidget* dialog, int width, int outerHeight) {
  // Only this file names its keeper so: the cast is safe.
  auto* keeper = static_cast<TOuterHeightKeeper*>(
      dialog->findChild<QObject*>(QStringLiteral("OuterHeightKeeper"), Qt::FindDirectChildrenOnly));
  if (keeper) {
    keeper->Set(width, outerHeight);
  } else {
    keeper = new TOuterHeightKeeper(dialog, width, outerHeight);
    dialog->installEventFilter(keeper);
  }
  keeper->Apply(dialog);
}

void MakeOkCancel(QDialog* dialog, const QString& ok, const QString& cancel, QPushButton*& btnOk,
                  QPushButton*& btnCancel) {
  btnOk = new QPushButton(ok, dialog);
  btnOk->setObjectName("btn_Ok");
  btnOk->setDefault(true);
  btnCancel = new QPushButton(cancel, dialog);
  btnCancel->setObjectName("btn_Cancel");
  QObject::connect(btnOk, &QPushButton::clicked, dialog, &QDialog::accept);
  QObject::connect(btnCancel, &QPushButton::clicked, dialog, &QDialog::reject);
}
