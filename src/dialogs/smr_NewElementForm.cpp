#include "dialogs/smr_NewElementForm.h"

#include <QButtonGroup>
#include <QDate>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "dialogs/smr_DialogTexts.h"
#include "dialogs/smr_DialogUtils.h"
#include "dialogs/smr_FileDialogModel.h"

namespace {

constexpr int kWidth = 234;
constexpr int kFieldLeft = 76;
constexpr int kWideField = 150;
constexpr int kNarrowField = 127;  // leaves room for btn_Default
constexpr int kFieldHeight = 21;
constexpr int kFirstRow = 8;
constexpr int kSecondRow = 37;

using res::U;

struct TModeLayout {
  const char* caption;
  int height;  // whole window
  const char* firstLabel;
  const char* secondLabel;  // nullptr: no second field
  int defaultRow;           // row of btn_Default, 0 when hidden
  const char* defaultHint;
  int buttonsTop;
  bool radioGroup;
};

const TModeLayout& LayoutOf(int mode) {
  static const TModeLayout layouts[] = {
      {res::NewLibraryCaption, 127, res::NewElementTitleLabel, res::NewElementPathLabel, kSecondRow,
       res::ChooseFileNameHint, 68, false},
      {res::AddCatalogueCaption, 103, res::NewElementTitleLabel, nullptr, 0, nullptr, 43, false},
      {res::AddJournalCaption, 127, res::NewElementTitleLabel, res::NewElementPathLabel, kSecondRow,
       res::ChooseFileNameHint, 68, false},
      {res::AddNightCaption, 103, res::NewElementDateLabel, nullptr, kFirstRow, res::TodayHint, 43,
       false},
      {res::AddExperienceCaption, 193, res::NewElementNumberLabel, res::NewElementTitleLabel, 0,
       nullptr, 134, true},
  };
  return layouts[mode];
}

// File name through the platform's save dialog: the default suffix is added.
// An existing file is not confirmed here: the command that writes it asks
// its own question (replace, attach or cancel), and once is enough.
QString ChooseWithFileDialog(QWidget* parent, const QString& title, const QString& filter) {
  QFileDialog dialog(parent, title);
  SetDialogFrame(&dialog);
  UseRussianFileColumns(dialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(QStringLiteral("xml"));
  dialog.setNameFilters(filter.split(QStringLiteral(";;")));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

}  // namespace

Tfrm_NewElement::Tfrm_NewElement(QWidget* parent) : QDialog(parent) {
  SetDialogFrame(this);
  chooseSaveFile_ = [this](const QString& title, const QString& filter) {
    return ChooseWithFileDialog(this, title, filter);
  };

  lbl_First = new QLabel(this);
  lbl_First->setObjectName("lbl_First");
  edt_First = new QLineEdit(this);
  edt_First->setObjectName("edt_First");
  lbl_Second = new QLabel(this);
  lbl_Second->setObjectName("lbl_Second");
  edt_Second = new QLineEdit(this);
  edt_Second->setObjectName("edt_Second");
  lbl_First->setBuddy(edt_First);
  lbl_Second->setBuddy(edt_Second);
  lbl_First->setGeometry(8, kFirstRow, kFieldLeft - 12, kFieldHeight);
  lbl_Second->setGeometry(8, kSecondRow, kFieldLeft - 12, kFieldHeight);

  btn_Default = new QToolButton(this);
  btn_Default->setObjectName("btn_Default");
  btn_Default->setText(QStringLiteral("..."));
  btn_Default->setFocusPolicy(Qt::TabFocus);

  rdg_DreamOption = new QGroupBox(QStringLiteral(" Тип записи "), this);
  rdg_DreamOption->setObjectName("rdg_DreamOption");
  rdg_DreamOption->setGeometry(8, 66, kFieldLeft + kWideField - 8, 60);
  grp_DreamOption = new QButtonGroup(this);
  const char* items[] = {"Только текст", "В виде HTML"};
  for (int i = 0; i < 2; ++i) {
    auto* item = new QRadioButton(U(items[i]), rdg_DreamOption);
    item->setObjectName(QStringLiteral("rdg_DreamOption_%1").arg(i));
    item->setGeometry(12, 18 + 18 * i, kFieldLeft + kWideField - 32, 17);
    grp_DreamOption->addButton(item, i);
  }
  grp_DreamOption->button(0)->setChecked(true);

  MakeOkCancel(this, QStringLiteral("Ok"), QStringLiteral("Отмена"), btn_Ok, btn_Cancel);

  setTabOrder(edt_First, edt_Second);
  setTabOrder(edt_Second, btn_Default);
  setTabOrder(btn_Default, rdg_DreamOption);
  setTabOrder(rdg_DreamOption, btn_Ok);
  setTabOrder(btn_Ok, btn_Cancel);

  connect(edt_First, &QLineEdit::textChanged, this, &Tfrm_NewElement::edt_FirstChange);
  connect(edt_Second, &QLineEdit::textChanged, this, &Tfrm_NewElement::edt_FirstChange);
  connect(btn_Default, &QToolButton::clicked, this, &Tfrm_NewElement::btn_DefaultClick);

  SetMode(nemLibrary);
}

void Tfrm_NewElement::SetMode(int mode) {
  if (mode < nemLibrary || mode > nemExperience) return;
  mode_ = mode;
  const TModeLayout& layout = LayoutOf(mode);

  setWindowTitle(U(layout.caption));

  lbl_First->setText(U(layout.firstLabel));
  const bool second = layout.secondLabel != nullptr;
  lbl_Second->setText(second ? U(layout.secondLabel) : QString());
  lbl_Second->setVisible(second);
  edt_Second->setVisible(second);

  const bool firstBeside = layout.defaultRow == kFirstRow;
  const bool secondBeside = layout.defaultRow == kSecondRow;
  edt_First->setGeometry(kFieldLeft, kFirstRow, firstBeside ? kNarrowField : kWideField,
                         kFieldHeight);
  edt_Second->setGeometry(kFieldLeft, kSecondRow, secondBeside ? kNarrowField : kWideField,
                          kFieldHeight);
  btn_Default->setVisible(layout.defaultRow != 0);
  btn_Default->setGeometry(kFieldLeft + kNarrowField + 1, layout.defaultRow,
                           kWideField - kNarrowField - 1, kFieldHeight);
  btn_Default->setToolTip(layout.defaultHint ? U(layout.defaultHint) : QString());

  rdg_DreamOption->setVisible(layout.radioGroup);

  btn_Cancel->move(kFieldLeft + kWideField - 75, layout.buttonsTop);
  btn_Cancel->resize(75, 25);
  btn_Ok->setGeometry(btn_Cancel->x() - 81, layout.buttonsTop, 75, 25);

  SetOuterHeight(this, kWidth, layout.height);

  if (mode == nemExperience) edt_First->setText(PaddedNumber(number_));
  edt_FirstChange();
}

QString Tfrm_NewElement::PaddedNumber(int number) {
  const QString digits = QString::number(number);
  return number >= 0 ? digits.rightJustified(3, u'0') : digits;
}

int Tfrm_NewElement::RadioIndex() const { return grp_DreamOption->checkedId(); }

void Tfrm_NewElement::SetRadioIndex(int index) {
  if (QAbstractButton* item = grp_DreamOption->button(index)) {
    item->setChecked(true);
    return;
  }
  // An exclusive group, and a radio button of its own accord, refuse to
  // uncheck the last checked button.
  grp_DreamOption->setExclusive(false);
  for (QAbstractButton* item : grp_DreamOption->buttons()) {
    item->setAutoExclusive(false);
    item->setChecked(false);
    item->setAutoExclusive(true);
  }
  grp_DreamOption->setExclusive(true);
}

QString Tfrm_NewElement::First() const { return edt_First->text(); }
QString Tfrm_NewElement::Second() const { return edt_Second->text(); }
void Tfrm_NewElement::SetFirst(const QString& text) { edt_First->setText(text); }
void Tfrm_NewElement::SetSecond(const QString& text) { edt_Second->setText(text); }

void Tfrm_NewElement::SetSaveFileChooser(TSaveFileChooser chooser) {
  chooseSaveFile_ = std::move(chooser);
}

void Tfrm_NewElement::edt_FirstChange() {
  const bool firstOnly = mode_ == nemCatalogue || mode_ == nemNight;
  btn_Ok->setEnabled(!edt_First->text().isEmpty() && (firstOnly || !edt_Second->text().isEmpty()));
}

void Tfrm_NewElement::btn_DefaultClick() {
  if (mode_ == nemLibrary || mode_ == nemJournal) {
    if (!chooseSaveFile_) return;
    const char* filter = mode_ == nemLibrary ? res::LibraryFilter : res::JournalFilter;
    // The save dialog's title is a single blank.
    const QString file = chooseSaveFile_(QStringLiteral(" "), QtFilter(filter));
    if (!file.isEmpty()) edt_Second->setText(file);
  } else if (mode_ == nemNight) {
    // The program's short date format.
    edt_First->setText(QDate::currentDate().toString(QStringLiteral("dd.MM.yy")));
  }
}
