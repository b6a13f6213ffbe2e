#include "dialogs/smr_PassphraseForm.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <initializer_list>

#include "dialogs/smr_DialogTexts.h"
#include "dialogs/smr_DialogUtils.h"

namespace {

constexpr int kWidth = 340;
constexpr int kMargin = 8;
constexpr int kLabelGap = 8;       // between a field's label and the field
constexpr int kMinFieldLeft = 64;  // where the log-in dialog's fields start
constexpr int kFieldHeight = 21;
constexpr int kRowStep = 29;
constexpr int kGap = 6;  // between blocks
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kMinLength = 8;

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

QString Composed(const QString& text) { return text.normalized(QString::NormalizationForm_C); }

// The height a word-wrapped label needs for the tallest of the texts.
int TallestText(const QLabel* label, int width, std::initializer_list<QString> texts) {
  int height = 0;
  for (const QString& text : texts)
    height = std::max(height, label->fontMetrics()
                                  .boundingRect(QRect(0, 0, width, 10000), Qt::TextWordWrap, text)
                                  .height());
  return height;
}

QLabel* NewLabel(QWidget* parent, const char* name, bool wrapped) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(wrapped);
  if (wrapped) label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

QLineEdit* NewField(QWidget* parent, const char* name, QLabel* label) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(QString::fromLatin1(name));
  field->setEchoMode(QLineEdit::Password);
  field->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));  // '*'
  label->setBuddy(field);
  return field;
}

void SetTextColor(QLabel* label, const QColor& color) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, color);
  label->setPalette(palette);
}

}  // namespace

int PassphraseStrength(const QString& passphrase) {
  const QList<uint> characters = Composed(passphrase).toUcs4();
  if (characters.size() < kMinLength) return 0;
  // "aaaaaaaaaaaa" or "абабабабабаб" is no longer than its few characters make it.
  const QSet<uint> distinct(characters.begin(), characters.end());
  const qsizetype length = std::min<qsizetype>(characters.size(), 2 * distinct.size());
  int score = (length >= 8) + (length >= 12) + (length >= 16);

  bool lower = false, upper = false, digit = false, sign = false;
  for (const uint c : characters) {
    if (QChar::isUpper(c))
      upper = true;
    else if (QChar::isLetter(c))
      lower = true;  // letters of alphabets without case too
    else if (QChar::isDigit(c))
      digit = true;
    else if (!QChar::isSpace(c))
      sign = true;
  }
  score += std::max(0, lower + upper + digit + sign - 1);

  // Several words are far harder to guess than their letters suggest to a
  // count of kinds; one-letter and two-letter ones add little.
  static const QRegularExpression separators(QStringLiteral("[^\\p{L}\\p{N}]+"));
  QSet<QString> words;
  for (const QString& word : Composed(passphrase).toLower().split(separators, Qt::SkipEmptyParts))
    if (word.size() >= 3) words.insert(word);
  score += words.size() >= 3 ? 2 : words.size() == 2 ? 1 : 0;

  return score >= 4 ? 2 : score >= 2 ? 1 : 0;
}

Tfrm_PassphraseForm::Tfrm_PassphraseForm(QWidget* parent) : QDialog(parent) {
  SetDialogFrame(this);

  lbl_Prompt = NewLabel(this, "lbl_Prompt", true);
  lbl_Current = NewLabel(this, "lbl_Current", false);
  lbl_Current->setText(Text(res::PassphraseCurrentLabel));
  edt_Current = NewField(this, "edt_Current", lbl_Current);
  lbl_Passphrase = NewLabel(this, "lbl_Passphrase", false);
  edt_Passphrase = NewField(this, "edt_Passphrase", lbl_Passphrase);
  lbl_Repeat = NewLabel(this, "lbl_Repeat", false);
  lbl_Repeat->setText(Text(res::PassphraseRepeatLabel));
  edt_Repeat = NewField(this, "edt_Repeat", lbl_Repeat);

  lbl_Strength = NewLabel(this, "lbl_Strength", true);
  lbl_Reason = NewLabel(this, "lbl_Reason", true);
  const QColor hint = palette().color(QPalette::Disabled, QPalette::WindowText);
  SetTextColor(lbl_Strength, hint);
  SetTextColor(lbl_Reason, hint);
  lbl_Warning = NewLabel(this, "lbl_Warning", true);
  lbl_Warning->setText(Text(res::PassphraseWarning));
  lbl_Message = NewLabel(this, "lbl_Message", true);
  SetTextColor(lbl_Message, QColor(0xB0, 0x00, 0x00));

  MakeOkCancel(this, Text(res::PassphraseOk), Text(res::PassphraseCancel), btn_Ok, btn_Cancel);

  for (QLineEdit* field : {edt_Current, edt_Passphrase, edt_Repeat})
    connect(field, &QLineEdit::textChanged, this, &Tfrm_PassphraseForm::Check);

  SetMode(TPassphraseMode::Unlock);
}

Tfrm_PassphraseForm::~Tfrm_PassphraseForm() { Wipe(); }

void Tfrm_PassphraseForm::SetMode(TPassphraseMode mode) {
  mode_ = mode;
  Arrange();
  Check();
}

void Tfrm_PassphraseForm::SetLibraryName(const QString& name) {
  libraryName_ = name;
  Arrange();
}

void Tfrm_PassphraseForm::SetMessage(const QString& message) {
  lbl_Message->setText(message);
  Arrange();
}

QString Tfrm_PassphraseForm::Passphrase() const { return Composed(edt_Passphrase->text()); }
QString Tfrm_PassphraseForm::Current() const { return Composed(edt_Current->text()); }

void Tfrm_PassphraseForm::done(int result) {
  if (result == QDialog::Rejected) Wipe();
  QDialog::done(result);
}

void Tfrm_PassphraseForm::Wipe() {
  // setText also drops the fields' undo history, which holds what was typed.
  for (QLineEdit* field : {edt_Current, edt_Passphrase, edt_Repeat}) field->setText(QString());
}

void Tfrm_PassphraseForm::Arrange() {
  const bool unlock = mode_ == TPassphraseMode::Unlock;
  const bool change = mode_ == TPassphraseMode::Change;
  setWindowTitle(Text(unlock   ? res::PassphraseUnlockCaption
                      : change ? res::PassphraseChangeCaption
                               : res::PassphraseChooseCaption));
  lbl_Passphrase->setText(Text(change ? res::PassphraseNewLabel : res::PassphraseLabel));
  const int fullWidth = kWidth - 2 * kMargin;

  int top = kMargin;
  lbl_Prompt->setVisible(!libraryName_.isEmpty());
  if (!libraryName_.isEmpty()) {
    lbl_Prompt->setText(Text(unlock   ? res::PassphraseUnlockPrompt
                             : change ? res::PassphraseChangePrompt
                                      : res::PassphraseChoosePrompt)
                            .arg(libraryName_));
    lbl_Prompt->setGeometry(kMargin, top, fullWidth, lbl_Prompt->heightForWidth(fullWidth));
    top = lbl_Prompt->geometry().bottom() + 1 + kGap;
  }

  // The fields start right of the widest label shown, in whatever font the
  // dialog got.
  struct TRow {
    QLabel* Label;
    QLineEdit* Field;
    bool Shown;
  };
  const TRow rows[] = {{lbl_Current, edt_Current, change},
                       {lbl_Passphrase, edt_Passphrase, true},
                       {lbl_Repeat, edt_Repeat, !unlock}};
  int labelWidth = 0;
  for (const TRow& row : rows)
    if (row.Shown)
      labelWidth =
          std::max(labelWidth, row.Label->fontMetrics().horizontalAdvance(row.Label->text()));
  const int fieldLeft = std::max(kMinFieldLeft, kMargin + labelWidth + kLabelGap);
  for (const TRow& row : rows) {
    row.Label->setVisible(row.Shown);
    row.Field->setVisible(row.Shown);
    if (!row.Shown) continue;
    row.Label->setGeometry(kMargin, top, fieldLeft - kMargin - kLabelGap, kFieldHeight);
    row.Field->setGeometry(fieldLeft, top, kWidth - kMargin - fieldLeft, kFieldHeight);
    top += kRowStep;
  }
  top += kGap - (kRowStep - kFieldHeight);

  // Room for the longest hint, so that the dialog keeps its size as one types.
  for (QLabel* label : {lbl_Strength, lbl_Reason, lbl_Warning}) label->setVisible(!unlock);
  if (!unlock) {
    lbl_Strength->setGeometry(
        kMargin, top, fullWidth,
        TallestText(lbl_Strength, fullWidth,
                    {Text(res::PassphraseStrengths[0]), Text(res::PassphraseStrengths[1]),
                     Text(res::PassphraseStrengths[2])}));
    top = lbl_Strength->geometry().bottom() + 1;
    lbl_Reason->setGeometry(kMargin, top, fullWidth,
                            TallestText(lbl_Reason, fullWidth,
                                        {Text(res::PassphraseCurrentMissing),
                                         Text(res::PassphraseTooShort).arg(kMinLength),
                                         Text(res::PassphraseMismatch)}));
    top = lbl_Reason->geometry().bottom() + 1 + kGap;
    lbl_Warning->setGeometry(kMargin, top, fullWidth, lbl_Warning->heightForWidth(fullWidth));
    top = lbl_Warning->geometry().bottom() + 1 + kGap;
  }

  lbl_Message->setVisible(!lbl_Message->text().isEmpty());
  if (lbl_Message->isVisibleTo(this)) {
    lbl_Message->setGeometry(kMargin, top, fullWidth, lbl_Message->heightForWidth(fullWidth));
    top = lbl_Message->geometry().bottom() + 1 + kGap;
  }

  btn_Cancel->setGeometry(kWidth - kMargin - kButtonWidth, top, kButtonWidth, kButtonHeight);
  btn_Ok->setGeometry(btn_Cancel->x() - kButtonWidth - 6, top, kButtonWidth, kButtonHeight);
  SetOuterHeight(this, kWidth, 0);
}

void Tfrm_PassphraseForm::Check() {
  if (mode_ == TPassphraseMode::Unlock) {
    btn_Ok->setEnabled(!edt_Passphrase->text().isEmpty());
    return;
  }
  const QString passphrase = Passphrase();
  lbl_Strength->setText(passphrase.isEmpty()
                            ? QString()
                            : Text(res::PassphraseStrengths[PassphraseStrength(passphrase)]));
  QString reason;
  if (mode_ == TPassphraseMode::Change && edt_Current->text().isEmpty())
    reason = Text(res::PassphraseCurrentMissing);
  else if (passphrase.toUcs4().size() < kMinLength)
    reason = Text(res::PassphraseTooShort).arg(kMinLength);
  else if (Composed(edt_Repeat->text()) != passphrase)
    reason = Text(res::PassphraseMismatch);
  lbl_Reason->setText(reason);
  btn_Ok->setEnabled(reason.isEmpty());
}
