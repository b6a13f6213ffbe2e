#include <gtest/gtest.h>

#include <QDialog>

#include "dialogs/smr_DialogUtils.h"
#include "storage/smr_Resources.h"

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

}  // namespace
