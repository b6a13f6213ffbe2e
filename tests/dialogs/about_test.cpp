#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "dialogs/smr_AboutForm.h"

namespace {

class AboutTest : public ::testing::Test {
 public:
  AboutTest() {
    about.SetShellOpen([this](const QString& address) { opened << address; });
  }
  QLabel* Label(const char* name) {
    auto* label = about.findChild<QLabel*>(QString::fromLatin1(name));
    EXPECT_NE(label, nullptr) << name;
    return label;
  }
  int HeadingTop() { return Label("lbl_Heading")->y(); }
  int LastTop() { return Label("lbl_Credit4")->y(); }
  // Every credit line keeps its distance to the heading while sliding.
  void ExpectBlockIntact() {
    for (int i = 1; i <= 4; ++i) {
      const QByteArray name = "lbl_Credit" + QByteArray::number(i);
      EXPECT_EQ(Label(name.constData())->y() - HeadingTop(), (203 - 135) - (4 - i) * 17) << i;
    }
  }

  Tfrm_About about;
  QStringList opened;
};

TEST_F(AboutTest, BorderlessBoxWithNameVersionAndPicture) {
  EXPECT_EQ(about.frameGeometry().size(), QSize(400, 360));
  EXPECT_TRUE(about.windowFlags().testFlag(Qt::FramelessWindowHint));

  QLabel* name = Label("lbl_Name");
  QLabel* shadow = Label("lbl_NameShadow");
  EXPECT_EQ(name->text(), QStringLiteral("Somnary"));
  EXPECT_EQ(shadow->text(), QStringLiteral("Somnary"));
  EXPECT_EQ(shadow->pos() - name->pos(), QPoint(1, 1));
  // Created later, so drawn above the navy one.
  EXPECT_LT(about.children().indexOf(shadow), about.children().indexOf(name));
  EXPECT_EQ(name->palette().color(QPalette::WindowText), QColor(0, 0, 255));
  EXPECT_EQ(shadow->palette().color(QPalette::WindowText), QColor(0, 0, 128));
  EXPECT_EQ(name->font().pixelSize(), 53);
  EXPECT_TRUE(name->font().bold());
  EXPECT_TRUE(name->font().italic());

  QLabel* version = Label("lbl_Version");
  EXPECT_EQ(version->text(), QStringLiteral("Version 2.0 (build 2.0.9.1067)"));
  EXPECT_EQ(version->palette().color(QPalette::WindowText), QColor(255, 0, 0));

  // The credits name the program itself, no made-up maker.
  const QString credits[] = {QStringLiteral("Разработка:"), QStringLiteral("Код: Somnary"),
                             QStringLiteral("Рисунки: Somnary"),
                             QStringLiteral("Проверка: сновидцы"),
                             QStringLiteral("Спасибо за сны!")};
  const char* names[] = {"lbl_Heading", "lbl_Credit1", "lbl_Credit2", "lbl_Credit3", "lbl_Credit4"};
  for (int i = 0; i < 5; ++i) {
    QLabel* credit = Label(names[i]);
    EXPECT_EQ(credit->text(), credits[i]);
    EXPECT_LE(credit->fontMetrics().horizontalAdvance(credit->text()), credit->width()) << names[i];
  }

  QLabel* picture = Label("img_Picture");
  EXPECT_EQ(picture->width(), 233);
  EXPECT_EQ(picture->pixmap().width(), 233);

  for (QWidget* child : about.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    EXPECT_TRUE(about.rect().contains(child->geometry())) << child->objectName().toStdString();
}

TEST_F(AboutTest, NightSkyIsDarkBelowAndLightAtTheTop) {
  const QImage sky = Tfrm_About::DrawNightSky(QSize(233, 356)).toImage();
  ASSERT_EQ(sky.size(), QSize(233, 356));
  const int top = qGray(sky.pixel(5, 2));
  const int bottom = qGray(sky.pixel(5, 353));
  EXPECT_GT(top, 180);  // the name is read against it
  EXPECT_LT(bottom, 40);
  int bright = 0;  // moon and stars
  for (int y = 100; y < 320; ++y)
    for (int x = 0; x < 233; ++x) bright += qGray(sky.pixel(x, y)) > 200;
  EXPECT_GT(bright, 200);
}

TEST_F(AboutTest, CreditsSlideDownToTheBottomAndBack) {
  EXPECT_EQ(HeadingTop(), 135);
  EXPECT_EQ(LastTop(), 203);
  EXPECT_EQ(about.Direction(), 1);
  ExpectBlockIntact();

  int ticks = 0;
  while (LastTop() < 290 && ticks < 1000) {
    about.tmr_DispencerTimer();
    ++ticks;
  }
  EXPECT_EQ(ticks, 87);
  EXPECT_EQ(HeadingTop(), 222);

  about.tmr_DispencerTimer();  // turns at the bottom
  EXPECT_EQ(about.Direction(), -1);
  EXPECT_EQ(LastTop(), 289);

  ticks = 1;
  while (HeadingTop() >= 136 && ticks < 1000) {
    about.tmr_DispencerTimer();
    ++ticks;
  }
  EXPECT_EQ(ticks, 87);
  EXPECT_EQ(HeadingTop(), 135);
  EXPECT_EQ(LastTop(), 203);

  about.tmr_DispencerTimer();  // and turns at the top
  EXPECT_EQ(about.Direction(), 1);
  EXPECT_EQ(HeadingTop(), 136);

  for (int i = 0; i < 1000; ++i) {
    about.tmr_DispencerTimer();
    ASSERT_GE(HeadingTop(), 135) << i;
    ASSERT_LE(LastTop(), 290) << i;
  }
  ExpectBlockIntact();
  // The link below the block is never covered.
  EXPECT_GT(Label("lbl_Quillon")->y(), 290 + Label("lbl_Credit4")->height());
}

TEST_F(AboutTest, TimerRunsOnlyWhileShown) {
  auto* timer = about.findChild<QTimer*>("tmr_Dispencer");
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(timer->interval(), 50);
  EXPECT_FALSE(timer->isActive());
  about.show();
  EXPECT_TRUE(timer->isActive());
  QTest::qWait(160);
  EXPECT_GT(HeadingTop(), 135);
  QTest::mouseClick(about.findChild<QPushButton*>("btn_Exit"), Qt::LeftButton);
  EXPECT_FALSE(about.isVisible());
  EXPECT_FALSE(timer->isActive());
}

TEST_F(AboutTest, LinkAsksTheShellToOpenTheMakersSite) {
  about.show();
  QLabel* link = Label("lbl_Quillon");
  QTest::mouseClick(link, Qt::LeftButton);
  ASSERT_EQ(opened.size(), 1);
  EXPECT_EQ(opened[0], QStringLiteral("https://somnary.example.org"));
  QTest::mouseClick(link, Qt::RightButton);
  EXPECT_EQ(opened.size(), 1);
  QTest::mouseClick(Label("lbl_Version"), Qt::LeftButton);
  EXPECT_EQ(opened.size(), 1);
}

}  // namespace
