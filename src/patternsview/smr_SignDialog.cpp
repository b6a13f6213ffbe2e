#include "patternsview/smr_SignDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "patternsview/smr_PatternsViewTexts.h"

using res::U;

TSignDialog::TSignDialog(const QString& title, const QStringList& categories,
                         std::function<QString(const QString& text)> problem, QWidget* parent)
    : QDialog(parent), FProblem(std::move(problem)) {
  setObjectName("dlg_Sign");
  setWindowTitle(title);
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  edt_SignText = new QLineEdit(this);
  edt_SignText->setObjectName("edt_SignText");
  edt_SignText->setMinimumWidth(260);
  cmb_SignCategory = new QComboBox(this);
  cmb_SignCategory->setObjectName("cmb_SignCategory");
  cmb_SignCategory->setEditable(true);
  cmb_SignCategory->setInsertPolicy(QComboBox::NoInsert);
  cmb_SignCategory->addItems(categories);
  form->addRow(U(res::PatternsSignTextCaption), edt_SignText);
  form->addRow(U(res::PatternsSignCategoryCaption), cmb_SignCategory);
  layout->addLayout(form);
  lbl_SignNote = new QLabel(this);
  lbl_SignNote->setObjectName("lbl_SignNote");
  lbl_SignNote->setStyleSheet(QStringLiteral("color: #a00000"));
  layout->addWidget(lbl_SignNote);
  btn_SignButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  btn_SignButtons->setObjectName("btn_SignButtons");
  btn_SignButtons->button(QDialogButtonBox::Ok)->setObjectName("btn_SignOk");
  btn_SignButtons->button(QDialogButtonBox::Cancel)->setObjectName("btn_SignCancel");
  layout->addWidget(btn_SignButtons);
  connect(btn_SignButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(btn_SignButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(edt_SignText, &QLineEdit::textChanged, this, &TSignDialog::Check);
  Check();
}

void TSignDialog::SetText(const QString& text) { edt_SignText->setText(text); }

void TSignDialog::SetCategory(const QString& category) {
  const int index = cmb_SignCategory->findText(category);
  if (index >= 0)
    cmb_SignCategory->setCurrentIndex(index);
  else
    cmb_SignCategory->setEditText(category);
}

QString TSignDialog::Text() const { return edt_SignText->text().simplified(); }

QString TSignDialog::Category() const { return cmb_SignCategory->currentText().simplified(); }

void TSignDialog::Check() {
  const QString note = FProblem ? FProblem(Text()) : QString();
  lbl_SignNote->setText(note);
  // A dialog just opened says nothing yet: there is nothing typed to fault.
  lbl_SignNote->setVisible(!note.isEmpty() && !Text().isEmpty());
  btn_SignButtons->button(QDialogButtonBox::Ok)->setEnabled(note.isEmpty());
}
