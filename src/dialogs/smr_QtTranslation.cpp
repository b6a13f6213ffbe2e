#include "dialogs/smr_QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

void InstallQtRussianTexts(QCoreApplication& app) {
  auto* translator = new QTranslator(&app);
  // Qt's own folder, else beside the program (as a Windows program ships
  // it); without either Qt keeps its English texts.
  for (const QString& folder : {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                                QCoreApplication::applicationDirPath() + "/translations"}) {
    if (translator->load(QStringLiteral("qtbase_ru"), folder)) {
      QCoreApplication::installTranslator(translator);
      return;
    }
  }
  delete translator;
}
