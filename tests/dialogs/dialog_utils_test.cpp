#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFontDatabase>
#include <QPushButton>
#include <QTest>

#include "dialogs/smr_DialogTexts.h"
#include "dialogs/smr_DialogUtils.h"

namespace {

TEST(QtFilter, TurnsPipeSeparatedPairsIntoQtFilters) {
  EXPECT_EQ(QtFilter(res::LibraryFilter),
            QStringLiteral("Библиотека сновидений (*.xml);;Любое расширение (*.*)"));
  EXPECT_EQ(QtFilter("Windows BMP (*.bmp)|*.bmp"), QStringLiteral("Windows BMP (*.bmp)"));
}

TEST(QtFilter, PutsThePatternsQtReadsIntoTheBrackets) {
  // Without brackets Qt would show the description and match nothing.
  EXPECT_EQ(QtFilter("Pictures|*.bmp;*.jpg|All|*.*"),
            QStringLiteral("Pictures (*.bmp *.jpg);;All (*.*)"));
  EXPECT_EQ(QtFilter("Pictures (*.bmp;*.jpg)|*.bmp;*.jpg"),
            QStringLiteral("Pictures (*.bmp *.jpg)"));
  EXPECT_EQ(QtFilter("|*.txt"), QStringLiteral("*.txt"));
}

TEST(QtFilter, EmptyAndOddInputs) {
  EXPECT_EQ(QtFilter(nullptr), QString());
  EXPECT_EQ(QtFilter(""), QString());
  EXPECT_EQ(QtFilter("Text (*.txt)|*.txt|Dangling"), QStringLiteral("Text (*.txt);;Dangling"));
}

TEST(DialogFrame, HasTitleButNoSystemButtons) {
  QDialog dialog;
  SetDialogFrame(&dialog);
  const Qt::WindowFlags flags = dialog.windowFlags();
  EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
  EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowSystemMenuHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMinMaxButtonsHint));
}

TEST(DialogFont, IsTahomaOrElseTheApplicationFont) {
  QDialog dialog;
  SetDialogFont(&dialog);
  if (QFontDatabase::hasFamily(QStringLiteral("Tahoma"))) {
    EXPECT_EQ(dialog.font().family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(dialog.font().pointSize(), 8);
  } else {
    // A stand-in face at 8 pt would read smaller than the main window.
    EXPECT_EQ(dialog.font(), QApplication::font());
  }
}

TEST(DialogHeight, IsTheOuterHeightOnceShownButNeverCutsAControl) {
  QDialog dialog;
  SetDialogFrame(&dialog);
  auto* button = new QPushButton(QStringLiteral("Ok"), &dialog);
  button->setGeometry(10, 100, 75, 25);
  SetOuterHeight(&dialog, 200, 0);  // fits the controls
  EXPECT_EQ(dialog.size(), QSize(200, 129));
  SetOuterHeight(&dialog, 200, 160);
  EXPECT_EQ(dialog.frameGeometry().height(), 160);

  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  const int frame = dialog.frameGeometry().height() - dialog.geometry().height();
  // The test platform draws a thin frame; a real one has a title bar too.
  EXPECT_GT(frame, 0) << "the platform reports no frame: the outer height is not tested";
  EXPECT_EQ(dialog.frameGeometry().height(), 160);
  EXPECT_EQ(dialog.width(), 200);
  SetOuterHeight(&dialog, 200, 100 + frame);  // too low: the button stays whole
  EXPECT_EQ(dialog.height(), 129);
  button->hide();
  SetOuterHeight(&dialog, 200, 100 + frame);
  EXPECT_EQ(dialog.frameGeometry().height(), 100 + frame);
}

}  // namespace
