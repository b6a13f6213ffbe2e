// Test entry for suites that create widgets: one QApplication for the run.
#include <gtest/gtest.h>

#include <QApplication>

#include "dialogs/smr_QtTranslation.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setApplicationName("Somnary");
  InstallQtRussianTexts(app);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
