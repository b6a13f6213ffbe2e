#include "dialogs/smr_DialogUtils.h"

#include <QFont>
#include <QStringList>
#include <QWidget>

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
  QFont font(QStringLiteral("Tahoma"));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(8);
  dialog->setFont(font);
}
