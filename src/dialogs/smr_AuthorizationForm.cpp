#include "dialogs/smr_AuthorizationForm.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "dialogs/smr_DialogTexts.h"
#include "dialogs/smr_DialogUtils.h"
#include "storage/smr_Codec.h"
#include "storage/smr_TextEdge.h"

namespace {

constexpr int kWidth = 220;
constexpr int kFieldLeft = 64;
constexpr int kFieldWidth = 148;
constexpr int kButtonWidth = 75;
constexpr int kAskHeight = 127;  // outer
constexpr int kRowStep = 29;
constexpr int kCaptionGap = 4;
constexpr int kWarningLines = 4;

// The first character of the text that the stored form cannot carry, or an
// empty text when there is none.
// The characters of a carried value that become blanks beside other blanks
// when stored: those the reader would merge.
QString MergedCharacters(const QString& text) {
  const std::string plain = FromUi(text, TTextPlace::Plain);
  const std::string coded = TCodec().Encode(plain);
  QString merged;
  for (std::size_t i = 0; i < coded.size(); ++i) {
    const bool besideBlank =
        (i > 0 && coded[i - 1] == ' ') || (i + 1 < coded.size() && coded[i + 1] == ' ');
    if (coded[i] != ' ' || !besideBlank) continue;
    const QString shown = ToUi(plain.substr(i, 1));
    if (!merged.contains(shown)) merged += shown;
  }
  return merged;
}

QString FirstUncarried(const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
    QString ch = text.mid(i, length);
    if (!TCodec::CanCarry(FromUi(ch, TTextPlace::Plain))) return ch;
    i += length - 1;
  }
  return {};
}

}  // namespace

Tfrm_Authorization::Tfrm_Authorization(QWidget* parent) : QDialog(parent) {
  SetDialogFrame(this);

  lbl_Caption = new QLabel(QString::fromUtf8(res::AuthorizationSetupCaption), this);
  lbl_Caption->setObjectName("lbl_Caption");
  QFont captionFont = lbl_Caption->font();
  captionFont.setBold(true);
  lbl_Caption->setFont(captionFont);
  lbl_Caption->setWordWrap(true);
  const int captionWidth = kFieldLeft + kFieldWidth - 8;
  lbl_Caption->setGeometry(8, 6, captionWidth, lbl_Caption->heightForWidth(captionWidth));

  lbl_First = new QLabel(QStringLiteral("Имя:"), this);
  lbl_First->setObjectName("lbl_First");
  edt_First = new QLineEdit(this);
  edt_First->setObjectName("edt_First");
  lbl_First->setBuddy(edt_First);

  lbl_Second = new QLabel(QStringLiteral("Пароль:"), this);
  lbl_Second->setObjectName("lbl_Second");
  edt_Second = new QLineEdit(this);
  edt_Second->setObjectName("edt_Second");
  edt_Second->setEchoMode(QLineEdit::Password);
  edt_Second->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));  // '*'
  lbl_Second->setBuddy(edt_Second);

  lbl_Warning = new QLabel(this);
  lbl_Warning->setObjectName("lbl_Warning");
  lbl_Warning->setWordWrap(true);
  lbl_Warning->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  MakeOkCancel(this, QStringLiteral("Ok"), QStringLiteral("Отмена"), btn_Ok, btn_Cancel);

  connect(edt_First, &QLineEdit::textChanged, this, &Tfrm_Authorization::edt_FirstChange);
  connect(edt_Second, &QLineEdit::textChanged, this, &Tfrm_Authorization::edt_FirstChange);

  SetMode(0);
}

void Tfrm_Authorization::SetMode(int mode) {
  if (mode != 0 && mode != 1) return;
  mode_ = mode;
  const bool asking = mode == 0;
  setWindowTitle(
      QString::fromUtf8(asking ? res::AuthorizationCaption : res::AuthorizationSetupCaption));
  // The setting mode puts its caption above the fields.
  const int top = asking ? 8 : lbl_Caption->geometry().bottom() + 1 + kCaptionGap;
  lbl_Caption->setVisible(!asking);
  lbl_First->setGeometry(8, top, kFieldLeft - 12, 21);
  edt_First->setGeometry(kFieldLeft, top, kFieldWidth, 21);
  lbl_Second->setGeometry(8, top + kRowStep, kFieldLeft - 12, 21);
  edt_Second->setGeometry(kFieldLeft, top + kRowStep, kFieldWidth, 21);
  // Room for the longest warning, in whatever font the dialog got: four
  // lines, more where a wide font wraps a warning into a fifth.
  const int warningWidth = kFieldLeft + kFieldWidth - 8;
  int warningHeight = kWarningLines * lbl_Warning->fontMetrics().lineSpacing();
  for (const char* text : {res::UserNameRefused, res::PasswordRefused, res::UserNameAltered,
                           res::PasswordAltered, res::CredentialsHint}) {
    const QString shown = QString::fromUtf8(text).arg(QStringLiteral("«-»"));
    warningHeight = std::max(
        warningHeight, lbl_Warning->fontMetrics()
                           .boundingRect(QRect(0, 0, warningWidth, 10000), Qt::TextWordWrap, shown)
                           .height());
  }
  lbl_Warning->setGeometry(8, top + 56, warningWidth, warningHeight);
  lbl_Warning->setVisible(!asking);
  btn_Cancel->setVisible(!asking);
  const int buttonsTop = asking ? 68 : lbl_Warning->geometry().bottom() + 7;
  if (asking) {
    btn_Ok->setGeometry(72, buttonsTop, kButtonWidth, 25);
  } else {
    btn_Cancel->setGeometry(kFieldLeft + kFieldWidth - kButtonWidth, buttonsTop, kButtonWidth, 25);
    btn_Ok->setGeometry(btn_Cancel->x() - kButtonWidth - 6, buttonsTop, kButtonWidth, 25);
  }
  // The setting mode has no height of its own: it fits its controls.
  SetOuterHeight(this, kWidth, asking ? kAskHeight : 0);
  edt_FirstChange();
}

QString Tfrm_Authorization::UserName() const { return edt_First->text(); }
QString Tfrm_Authorization::Password() const { return edt_Second->text(); }
void Tfrm_Authorization::SetUserName(const QString& text) { edt_First->setText(text); }
void Tfrm_Authorization::SetPassword(const QString& text) { edt_Second->setText(text); }

void Tfrm_Authorization::edt_FirstChange() {
  bool storable = true;
  if (mode_ == 1) {
    // A character the codec cannot carry would be stored as a zero byte, and
    // blanks that the reader collapses would change the stored text: either
    // way the library could never be opened again.
    // The offending character of the name is named; the password's is not
    // shown, the field being masked.
    const QString badInName = FirstUncarried(edt_First->text());
    const bool badPassword = !FirstUncarried(edt_Second->text()).isEmpty();
    const bool nameAltered = !CredentialReadsBack(FromUi(edt_First->text(), TTextPlace::Plain));
    const bool passwordAltered =
        !CredentialReadsBack(FromUi(edt_Second->text(), TTextPlace::Plain));
    storable = !nameAltered && !passwordAltered;
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText,
                     storable ? palette.color(QPalette::Disabled, QPalette::WindowText)
                              : QColor(0xB0, 0x00, 0x00));
    lbl_Warning->setPalette(palette);
    if (!badInName.isEmpty())
      lbl_Warning->setText(QString::fromUtf8(res::UserNameRefused).arg(badInName));
    else if (badPassword)
      lbl_Warning->setText(QString::fromUtf8(res::PasswordRefused));
    else if (nameAltered)
      lbl_Warning->setText(
          QString::fromUtf8(res::UserNameAltered).arg(MergedCharacters(edt_First->text())));
    else if (passwordAltered)
      lbl_Warning->setText(QString::fromUtf8(res::PasswordAltered));
    else
      lbl_Warning->setText(QString::fromUtf8(res::CredentialsHint));
  }
  btn_Ok->setEnabled(!edt_First->text().isEmpty() && storable);
}
