#include "forms/smr_UserForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "forms/smr_FormRenderer.h"
#include "storage/smr_TextEdge.h"
#include "storage/smr_Types.h"
#include "xml/xml_node.h"

namespace {

// Flat controls: one dark line instead of a sunken frame.
constexpr const char* kFlatStyle =
    "QLineEdit[flat=\"true\"] { border: 1px solid palette(dark); background: palette(base);"
    " padding: 0 2px; }";

std::string Stored(const QString& text) { return FromUi(text, TTextPlace::Attribute); }

// A multi-line value keeps its line breaks (CR LF, as the file's own lines);
// each line passes the text edge on its own.
std::string StoredLines(const QString& text) {
  std::string out;
  const QStringList lines = text.split(u'\n');
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (i > 0) out += "\r\n";
    out += Stored(lines[i]);
  }
  return out;
}

bool IsBox(QWidget* control) {
  return qobject_cast<QCheckBox*>(control) || qobject_cast<QRadioButton*>(control);
}

// The value-holding controls and the groups, in creation order.
template <typename Visit>
void ForEachControl(QWidget* container, Visit visit) {
  for (QObject* child : container->children())
    if (auto* widget = qobject_cast<QWidget*>(child)) visit(widget);
}

}  // namespace

Tfrm_DreamProperties::Tfrm_DreamProperties(QWidget* parent) : QDialog(parent) {
  setObjectName("frm_DreamProperties");
  setWindowTitle(QStringLiteral("frm_DreamProperties"));
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  setModal(true);
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPixelSize(11);
  setFont(font);
  setStyleSheet(QString::fromLatin1(kFlatStyle));
  resize(DesignWidth, DesignHeight);

  // A raised panel gives the borderless window a visible edge.
  pnl_WorkArea = new QFrame(this);
  pnl_WorkArea->setObjectName("pnl_WorkArea");
  pnl_WorkArea->setFrameShape(QFrame::Panel);
  pnl_WorkArea->setFrameShadow(QFrame::Raised);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(pnl_WorkArea);
}

bool Tfrm_DreamProperties::BuildForm(const TXMLNode& dreamForm, QString& error) {
  TFormRenderer renderer;
  renderer.OkHandler = [this] { CloseForm(); };
  renderer.CancelHandler = [this] { ClickCancel(); };
  const bool sized = renderer.Resize(dreamForm, this);
  FBuiltSize = size();
  if (sized && renderer.Render(dreamForm, pnl_WorkArea)) return true;
  error = renderer.ErrorText();
  return false;
}

void Tfrm_DreamProperties::PlaceWithin(const QPoint& anchor, const QRect& available) {
  if (!FBuiltSize.isValid()) FBuiltSize = size();
  // Borderless: the frame is the window itself.
  QRect bounds(anchor, FBuiltSize.boundedTo(available.size()));
  bounds.moveLeft(
      std::clamp(bounds.left(), available.left(), available.right() - bounds.width() + 1));
  bounds.moveTop(
      std::clamp(bounds.top(), available.top(), available.bottom() - bounds.height() + 1));
  setGeometry(bounds);
}

std::string Tfrm_DreamProperties::BoolToText(bool value) {
  return std::string(value ? smr::True : smr::False);
}

void Tfrm_DreamProperties::ClearValues(QWidget* container) {
  ForEachControl(container, [](QWidget* control) {
    if (auto* edit = qobject_cast<QLineEdit*>(control))
      edit->clear();
    else if (auto* memo = qobject_cast<QPlainTextEdit*>(control))
      memo->clear();
    else if (auto* list = qobject_cast<QComboBox*>(control))
      list->setCurrentIndex(-1);
    else if (auto* box = qobject_cast<QCheckBox*>(control))
      box->setChecked(false);
    else if (auto* radio = qobject_cast<QRadioButton*>(control)) {
      // Exclusive radio buttons cannot be unchecked one by one.
      radio->setAutoExclusive(false);
      radio->setChecked(false);
      radio->setAutoExclusive(true);
    } else if (auto* group = qobject_cast<QGroupBox*>(control))
      ClearValues(group);
  });
}

void Tfrm_DreamProperties::LoadValues(const TXMLNode* element, QWidget* container) {
  if (!element || element->Kind != nkElement || element->Children.empty()) return;
  for (const auto& child : element->Children) {
    const QString name = ToUi(child->GetAttribute(smr::atControl));
    const std::string stored = child->GetAttribute(smr::atValue);
    // A parameter without value shows as an empty field, not as "undefined".
    QString value = stored == smr::Undefined ? QString() : ToUi(stored);
    value.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    bool done = false;
    ForEachControl(container, [&](QWidget* control) {
      if (done || control->objectName() != name) return;
      done = true;
      if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(value);
      else if (auto* memo = qobject_cast<QPlainTextEdit*>(control))
        memo->setPlainText(value);
      else if (auto* list = qobject_cast<QComboBox*>(control)) {
        const int index = list->findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index >= 0) list->setCurrentIndex(index);
      } else if (IsBox(control)) {
        static_cast<QAbstractButton*>(control)->setChecked(stored == smr::True);
      } else {
        // A group takes its own parameters; other kinds hold nothing.
        if (auto* group = qobject_cast<QGroupBox*>(control)) LoadValues(child.get(), group);
        done = false;
      }
    });
  }
}

void Tfrm_DreamProperties::StoreValues(TXMLNode* element, QWidget* container) {
  if (!element) return;
  element->Kind = nkElement;
  int k = 0;
  ForEachControl(container, [&](QWidget* control) {
    auto slot = [&]() {
      TXMLNode* child = element->Child(k);
      if (!child) {
        child = element->AddChild(
            std::make_unique<TXMLNode>(std::string(smr::elParameter), nkEmptyElement));
        child->SetLevel(element->Level + 1);
      }
      child->SetAttribute(smr::atControl, Stored(control->objectName()));
      ++k;
      return child;
    };
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
      slot()->SetAttribute(smr::atValue, Stored(edit->text()));
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(control)) {
      slot()->SetAttribute(smr::atValue, StoredLines(memo->toPlainText()));
    } else if (auto* list = qobject_cast<QComboBox*>(control)) {
      slot()->SetAttribute(smr::atValue,
                           Stored(list->currentIndex() < 0 ? QString() : list->currentText()));
    } else if (IsBox(control)) {
      slot()->SetAttribute(smr::atValue,
                           BoolToText(static_cast<QAbstractButton*>(control)->isChecked()));
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
      TXMLNode* child = slot();
      child->Kind = nkElement;
      StoreValues(child, group);
    } else {
      // Every control uses up a position: one without a value deletes the
      // parameter standing there.
      element->DeleteChild(k);
    }
  });
}
