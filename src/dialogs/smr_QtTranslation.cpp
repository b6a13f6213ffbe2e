#include "dialogs/smr_QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

void InstallQtRussianTexts(QCoreApplication& app) {
  auto* translator = new QTranslator(&app);
  // Without the translation package Qt keeps its English texts.
  if (translator->load(QStringLiteral("qtbase_ru"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(translator);
  else
    delete translator;
}
