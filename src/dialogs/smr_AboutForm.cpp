#include "dialogs/smr_AboutForm.h"

#include <qdrawutil.h>

#include <QDesktopServices>
#include <QEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadialGradient>
#include <QTimer>
#include <QUrl>
#include <algorithm>

#include "dialogs/smr_DialogTexts.h"
#include "dialogs/smr_DialogUtils.h"
#include "storage/smr_Version.h"

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 360;
constexpr int kFrame = 2;
constexpr int kPictureWidth = 233;
constexpr int kColumnLeft = kFrame + kPictureWidth + 8;
constexpr int kColumnWidth = kWidth - kFrame - 6 - kColumnLeft;

// The credits slide between these tops of the heading and of the last line.
constexpr int kHeadingTop = 135;
constexpr int kLastCreditTop = 203;
constexpr int kLastCreditLowest = 290;
constexpr int kCreditStep = 17;

using res::U;

void SetTextColor(QLabel* label, const QColor& color) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, color);
  label->setPalette(palette);
}

}  // namespace

Tfrm_About::Tfrm_About(QWidget* parent) : QDialog(parent) {
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  setFixedSize(kWidth, kHeight);
  SetDialogFont(this);
  shellOpen_ = [](const QString& address) { QDesktopServices::openUrl(QUrl(address)); };

  img_Picture = new QLabel(this);
  img_Picture->setObjectName("img_Picture");
  img_Picture->setGeometry(kFrame, kFrame, kPictureWidth, kHeight - 2 * kFrame);
  img_Picture->setPixmap(DrawNightSky(img_Picture->size()));

  // The name is two labels: a navy one underneath, and a blue one a pixel
  // up and to the left, which gives the letters a thin edge.
  QFont nameFont(QStringLiteral("Book Antiqua"));
  nameFont.setStyleHint(QFont::Serif);
  nameFont.setPixelSize(53);
  nameFont.setBold(true);
  nameFont.setItalic(true);
  const QRect nameRect(8, 4, kWidth - 16, 68);
  lbl_NameShadow = new QLabel(QStringLiteral("Somnary"), this);
  lbl_NameShadow->setObjectName("lbl_NameShadow");
  lbl_Name = new QLabel(QStringLiteral("Somnary"), this);
  lbl_Name->setObjectName("lbl_Name");
  for (QLabel* label : {lbl_NameShadow, lbl_Name}) {
    label->setFont(nameFont);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The italic "y" hangs past its advance; the margin keeps it unclipped.
    label->setContentsMargins(0, 0, 14, 0);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  SetTextColor(lbl_NameShadow, QColor(0x00, 0x00, 0x80));
  SetTextColor(lbl_Name, QColor(0x00, 0x00, 0xFF));
  lbl_NameShadow->setGeometry(nameRect.translated(1, 1));
  lbl_Name->setGeometry(nameRect);

  lbl_Version = new QLabel(QStringLiteral("Version %1 (build %2)")
                               .arg(QString::fromLatin1(smr::ShortVersion()),
                                    QString::fromLatin1(smr::ProgramVersion())),
                           this);
  lbl_Version->setObjectName("lbl_Version");
  SetTextColor(lbl_Version, QColor(0xFF, 0x00, 0x00));
  lbl_Version->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  lbl_Version->setGeometry(kColumnLeft - 80, 74, kColumnWidth + 80, 16);

  lbl_Heading = new QLabel(QStringLiteral("Разработка:"), this);
  lbl_Heading->setObjectName("lbl_Heading");
  QFont headingFont = lbl_Heading->font();
  headingFont.setBold(true);
  lbl_Heading->setFont(headingFont);
  lbl_Heading->setGeometry(kColumnLeft, kHeadingTop, kColumnWidth, 16);

  const char* credits[] = {"Код: Somnary", "Рисунки: Somnary", "Проверка: сновидцы",
                           "Спасибо за сны!"};
  for (int i = 0; i < 4; ++i) {
    const auto slot = static_cast<std::size_t>(i);
    lbl_Credits[slot] = new QLabel(U(credits[i]), this);
    lbl_Credits[slot]->setObjectName(QStringLiteral("lbl_Credit%1").arg(i + 1));
    lbl_Credits[slot]->setGeometry(kColumnLeft + 6, kLastCreditTop - (3 - i) * kCreditStep,
                                   kColumnWidth - 6, 16);
  }

  lbl_Quillon = new QLabel(QUrl(U(res::MakerAddress)).host(), this);
  lbl_Quillon->setObjectName("lbl_Quillon");
  SetTextColor(lbl_Quillon, QColor(0x00, 0x00, 0xFF));
  QFont linkFont = lbl_Quillon->font();
  linkFont.setUnderline(true);
  lbl_Quillon->setFont(linkFont);
  lbl_Quillon->setCursor(Qt::PointingHandCursor);
  lbl_Quillon->setToolTip(U(res::MakerAddress));
  lbl_Quillon->setGeometry(kColumnLeft, 312, kColumnWidth, 16);
  lbl_Quillon->installEventFilter(this);

  btn_Exit = new QPushButton(QStringLiteral("Закрыть"), this);
  btn_Exit->setObjectName("btn_Exit");
  btn_Exit->setFlat(true);
  btn_Exit->setDefault(true);
  btn_Exit->setGeometry(kWidth - kFrame - 8 - 75, kHeight - kFrame - 8 - 25, 75, 25);
  connect(btn_Exit, &QPushButton::clicked, this, &Tfrm_About::btn_ExitClick);

  tmr_Dispencer = new QTimer(this);
  tmr_Dispencer->setObjectName("tmr_Dispencer");
  tmr_Dispencer->setInterval(50);
  connect(tmr_Dispencer, &QTimer::timeout, this, &Tfrm_About::tmr_DispencerTimer);

  FormCreate();
}

void Tfrm_About::SetShellOpen(TShellOpen shellOpen) { shellOpen_ = std::move(shellOpen); }

void Tfrm_About::FormCreate() { direction_ = 1; }

void Tfrm_About::tmr_DispencerTimer() {
  if (lbl_Heading->y() < kHeadingTop + 1)
    direction_ = 1;
  else if (lbl_Credits.back()->y() >= kLastCreditLowest)
    direction_ = -1;
  lbl_Heading->move(lbl_Heading->x(), lbl_Heading->y() + direction_);
  for (QLabel* credit : lbl_Credits) credit->move(credit->x(), credit->y() + direction_);
}

void Tfrm_About::btn_ExitClick() { close(); }

void Tfrm_About::lbl_QuillonClick() {
  if (shellOpen_) shellOpen_(U(res::MakerAddress));
}

bool Tfrm_About::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lbl_Quillon && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
      lbl_Quillon->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
    lbl_QuillonClick();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void Tfrm_About::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  QPainter painter(this);
  qDrawWinPanel(&painter, rect(), palette(), false);
}

// The slide runs only while the box is on screen.
void Tfrm_About::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  tmr_Dispencer->start();
}

void Tfrm_About::hideEvent(QHideEvent* event) {
  tmr_Dispencer->stop();
  QDialog::hideEvent(event);
}

QPixmap Tfrm_About::DrawNightSky(const QSize& size) {
  QPixmap pixmap(size);
  const qreal w = size.width();
  const qreal h = size.height();
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);

  // Dusk at the top, where the name stands, deepening into night below.
  QLinearGradient sky(0, 0, 0, h);
  sky.setColorAt(0.0, QColor(0xDD, 0xE4, 0xF6));
  sky.setColorAt(0.22, QColor(0x9C, 0xAE, 0xE0));
  sky.setColorAt(0.55, QColor(0x33, 0x43, 0x86));
  sky.setColorAt(1.0, QColor(0x0C, 0x11, 0x2E));
  p.fillRect(QRectF(0, 0, w, h), sky);

  // Stars from a fixed sequence, so the picture is the same every time;
  // brighter where the sky is darker.
  quint32 seed = 1067;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) / static_cast<qreal>(1u << 24);
  };
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 90; ++i) {
    const qreal x = next() * w;
    const qreal y = h * (0.28 + 0.6 * next());
    const qreal r = 0.5 + 1.1 * next() * next();
    const int alpha = static_cast<int>(255 * std::min(1.0, (y / h - 0.2) * 1.8));
    p.setBrush(QColor(0xFF, 0xFF, 0xF0, alpha));
    p.drawEllipse(QPointF(x, y), r, r);
  }
  // A few larger stars with rays.
  p.setPen(QPen(QColor(0xFF, 0xFF, 0xE8, 220), 1));
  for (QPointF c :
       {QPointF(0.18 * w, 0.46 * h), QPointF(0.74 * w, 0.62 * h), QPointF(0.36 * w, 0.70 * h)}) {
    p.drawLine(c - QPointF(5, 0), c + QPointF(5, 0));
    p.drawLine(c - QPointF(0, 5), c + QPointF(0, 5));
  }

  // Crescent moon with a soft glow.
  const QPointF moon(0.66 * w, 0.40 * h);
  const qreal radius = 0.12 * w;
  QRadialGradient glow(moon, radius * 2.6);
  glow.setColorAt(0.0, QColor(0xFF, 0xF4, 0xC0, 110));
  glow.setColorAt(1.0, QColor(0xFF, 0xF4, 0xC0, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(glow);
  p.drawEllipse(moon, radius * 2.6, radius * 2.6);
  QPainterPath disc;
  disc.addEllipse(moon, radius, radius);
  QPainterPath bite;
  bite.addEllipse(moon + QPointF(radius * 0.45, -radius * 0.25), radius * 0.9, radius * 0.9);
  p.setBrush(QColor(0xFF, 0xF6, 0xCC));
  p.drawPath(disc.subtracted(bite));

  // Sleeping hills along the bottom edge.
  QPainterPath hills(QPointF(0, h));
  hills.lineTo(0, 0.90 * h);
  hills.cubicTo(0.25 * w, 0.84 * h, 0.45 * w, 0.95 * h, 0.65 * w, 0.90 * h);
  hills.cubicTo(0.80 * w, 0.86 * h, 0.92 * w, 0.88 * h, w, 0.91 * h);
  hills.lineTo(w, h);
  hills.closeSubpath();
  p.setBrush(QColor(0x07, 0x0A, 0x1C));
  p.drawPath(hills);
  return pixmap;
}
