#include "dialogs/smr_ConfirmationForm.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

#include "dialogs/smr_DialogUtils.h"

namespace {

constexpr int kWidth = 340;
constexpr int kTextLeft = 60;
constexpr int kTextWidth = kWidth - kTextLeft - 12;
constexpr int kIconSize = 32;

}  // namespace

Tfrm_Confirmation::Tfrm_Confirmation(QWidget* parent) : QDialog(parent) {
  SetDialogFrame(this);
  setWindowTitle(QStringLiteral("Подтверждение"));

  img_Question = new QLabel(this);
  img_Question->setObjectName("img_Question");
  img_Question->setGeometry(14, 12, kIconSize, kIconSize);
  img_Question->setPixmap(
      style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this).pixmap(kIconSize));

  lbl_Confirmation = new QLabel(this);
  lbl_Confirmation->setObjectName("lbl_Confirmation");
  lbl_Confirmation->setWordWrap(true);
  lbl_Confirmation->setTextFormat(Qt::PlainText);
  lbl_Confirmation->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  box_ShowAgain = new QCheckBox(QStringLiteral("Больше не показывать это окно."), this);
  box_ShowAgain->setObjectName("box_ShowAgain");
  box_ShowAgain->setChecked(false);

  MakeOkCancel(this, QStringLiteral("Да"), QStringLiteral("Нет"), btn_Ok, btn_Cancel);

  Arrange();
}

void Tfrm_Confirmation::SetText(const QString& text) {
  lbl_Confirmation->setText(text);
  Arrange();
}

QString Tfrm_Confirmation::Text() const { return lbl_Confirmation->text(); }

bool Tfrm_Confirmation::ShowAgainTicked() const { return box_ShowAgain->isChecked(); }

void Tfrm_Confirmation::Arrange() {
  // A short question sits level with the picture; a long one pushes the rest down.
  const int textHeight = std::max(kIconSize, lbl_Confirmation->heightForWidth(kTextWidth));
  lbl_Confirmation->setGeometry(kTextLeft, 12, kTextWidth, textHeight);
  const int boxTop = 12 + textHeight + 12;
  box_ShowAgain->setGeometry(kTextLeft, boxTop, kTextWidth, 17);
  const int buttonsTop = boxTop + 17 + 14;
  btn_Cancel->setGeometry(kWidth - 12 - 75, buttonsTop, 75, 25);
  btn_Ok->setGeometry(btn_Cancel->x() - 81, buttonsTop, 75, 25);
  setFixedSize(kWidth, buttonsTop + 25 + 10);
}
