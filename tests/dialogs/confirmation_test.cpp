#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "dialogs/smr_ConfirmationForm.h"

namespace {

TEST(Confirmation, OpensWithTheQuestionAndAnUntickedBox) {
  Tfrm_Confirmation dialog;
  dialog.SetText(QStringLiteral("Удалить журнал «Сны»?"));
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Подтверждение"));
  EXPECT_FALSE(dialog.windowFlags().testFlag(Qt::WindowCloseButtonHint));
  auto* label = dialog.findChild<QLabel*>("lbl_Confirmation");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), QStringLiteral("Удалить журнал «Сны»?"));
  EXPECT_TRUE(label->wordWrap());
  auto* box = dialog.findChild<QCheckBox*>("box_ShowAgain");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->text(), QStringLiteral("Больше не показывать это окно."));
  EXPECT_FALSE(box->isChecked());
  EXPECT_FALSE(dialog.ShowAgainTicked());
  EXPECT_EQ(dialog.findChild<QPushButton*>("btn_Ok")->text(), QStringLiteral("Да"));
  EXPECT_EQ(dialog.findChild<QPushButton*>("btn_Cancel")->text(), QStringLiteral("Нет"));
  auto* picture = dialog.findChild<QLabel*>("img_Question");
  ASSERT_NE(picture, nullptr);
  EXPECT_FALSE(picture->pixmap().isNull());
}

TEST(Confirmation, LongTextPushesTheControlsDown) {
  Tfrm_Confirmation dialog;
  dialog.SetText(QStringLiteral("Удалить?"));
  const int shortHeight = dialog.height();
  QString longText;
  for (int i = 0; i < 12; ++i) longText += QStringLiteral("Очень длинное название журнала ");
  dialog.SetText(longText);
  auto* label = dialog.findChild<QLabel*>("lbl_Confirmation");
  auto* box = dialog.findChild<QCheckBox*>("box_ShowAgain");
  auto* yes = dialog.findChild<QPushButton*>("btn_Ok");
  EXPECT_GT(dialog.height(), shortHeight);
  EXPECT_GE(label->height(), label->heightForWidth(label->width()));
  EXPECT_GT(box->y(), label->geometry().bottom());
  EXPECT_GT(yes->y(), box->geometry().bottom());
  EXPECT_LE(yes->geometry().bottom(), dialog.height());
  EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
}

TEST(Confirmation, YesKeepsTheTick) {
  Tfrm_Confirmation dialog;
  dialog.show();
  QTest::mouseClick(dialog.findChild<QCheckBox*>("box_ShowAgain"), Qt::LeftButton);
  QTest::mouseClick(dialog.findChild<QPushButton*>("btn_Ok"), Qt::LeftButton);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(dialog.ShowAgainTicked());
}

}  // namespace
