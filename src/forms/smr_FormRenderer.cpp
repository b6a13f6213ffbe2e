#include "forms/smr_FormRenderer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <charconv>

#include "forms/smr_FormTexts.h"
#include "storage/smr_TextEdge.h"
#include "storage/smr_Types.h"
#include "xml/xml_node.h"

namespace {

// Flat controls are drawn with a single line instead of a sunken frame; the
// dialog's style sheet looks at this property.
void MakeFlat(QWidget* control) { control->setProperty("flat", true); }

bool Present(const std::string& value) { return value != smr::Undefined; }

QString Text(const TXMLNode& element) {
  const std::string value = element.GetAttribute(smr::atValue);
  return Present(value) ? ToUi(value) : QString();
}

void SetHint(QWidget* control, const TXMLNode& element) {
  const std::string hint = element.GetAttribute(smr::atHint);
  if (Present(hint)) control->setToolTip(ToUi(hint));
}

void SetChecked(QAbstractButton* box, const TXMLNode& element) {
  const std::string checked = element.GetAttribute(smr::atChecked);
  if (Present(checked)) box->setChecked(checked == smr::True);
}

bool ToInt(const std::string& text, int& value) {
  const char* end = text.data() + text.size();
  const char* begin = text.data() + (!text.empty() && text[0] == '+');
  auto [last, error] = std::from_chars(begin, end, value);
  return !text.empty() && error == std::errc() && last == end;
}

}  // namespace

void TBevel::SetShape(TShape shape) {
  FShape = shape;
  update();
}

void TBevel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QColor dark = palette().color(QPalette::Dark);
  const QColor light = palette().color(QPalette::Light);
  const int right = width() - 1;
  const int bottom = height() - 1;
  auto sunken = [&](QPoint a, QPoint b, QPoint step) {
    painter.setPen(dark);
    painter.drawLine(a, b);
    painter.setPen(light);
    painter.drawLine(a + step, b + step);
  };
  switch (FShape) {
    case bsLeftLine:
      sunken({0, 0}, {0, bottom}, {1, 0});
      break;
    case bsTopLine:
      sunken({0, 0}, {right, 0}, {0, 1});
      break;
    case bsBox:
      painter.setPen(dark);
      painter.drawRect(0, 0, right - 1, bottom - 1);
      painter.setPen(light);
      painter.drawRect(1, 1, right - 1, bottom - 1);
      break;
  }
}

bool TFormRenderer::IsIdentifier(const QString& name) {
  if (name.isEmpty()) return false;
  for (qsizetype i = 0; i < name.size(); ++i) {
    const QChar c = name[i];
    const bool letter = c == u'_' || c.isLetter();
    const bool digit = c >= u'0' && c <= u'9';
    if (!letter && !(digit && i > 0)) return false;
  }
  return true;
}

void TFormRenderer::Fail(const char* format, const TXMLNode& element, const std::string& text) {
  FError = QString::fromUtf8(format).arg(ToUi(element.Name), ToUi(text));
}

// True with the value unchanged when the attribute is absent.
bool TFormRenderer::ReadInteger(const TXMLNode& element, std::string_view attribute, int& value) {
  const std::string text = element.GetAttribute(attribute);
  if (!Present(text) || ToInt(text, value)) return true;
  Fail(res::FormNotInteger, element, text);
  return false;
}

bool TFormRenderer::Resize(const TXMLNode& form, QWidget* window) {
  int width = window->width();
  int height = window->height();
  if (!ReadInteger(form, smr::atWidth, width) || !ReadInteger(form, smr::atHeight, height))
    return false;
  window->resize(width, height);
  return true;
}

QWidget* TFormRenderer::Place(QWidget* control, const TXMLNode& element, const char* classWord,
                              int& counter) {
  QWidget* container = control->parentWidget();
  QRect bounds = control->geometry();
  const std::string_view sides[4] = {smr::atLeft, smr::atTop, smr::atWidth, smr::atHeight};
  for (int i = 0; i < 4; ++i) {
    if (!element.HasAttribute(sides[i])) continue;
    int value = 0;
    if (!ReadInteger(element, sides[i], value)) {
      delete control;
      return nullptr;
    }
    if (i == 0)
      bounds.moveLeft(value);
    else if (i == 1)
      bounds.moveTop(value);
    else if (i == 2)
      bounds.setWidth(value);
    else
      bounds.setHeight(value);
  }
  control->setGeometry(bounds);

  const std::string id = element.GetAttribute(smr::atId);
  QString name;
  if (Present(id)) {
    name = ToUi(id);
    if (!IsIdentifier(name)) {
      Fail(res::FormBadName, element, id);
      delete control;
      return nullptr;
    }
  } else {
    name = QString::fromLatin1(classWord) + u'_' + QString::number(counter++);
  }
  // A generated name can meet an id given earlier: both would store under
  // one name, so it is refused like a repeated id.
  if (container->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly)) {
    Fail(res::FormDuplicateName, element, FromUi(name, TTextPlace::Attribute));
    delete control;
    return nullptr;
  }
  control->setObjectName(name);
  SetHint(control, element);
  return control;
}

QWidget* TFormRenderer::CreateEdit(QWidget* container, const TXMLNode& element) {
  auto* edit = new QLineEdit(container);
  MakeFlat(edit);
  edit->setText(Text(element));
  return Place(edit, element, "EDITBOX", EditCount);
}

QWidget* TFormRenderer::CreateTextArea(QWidget* container, const TXMLNode& element) {
  auto* memo = new QPlainTextEdit(container);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo->setTabChangesFocus(true);
  memo->setPlainText(Text(element));
  return Place(memo, element, "MEMO", MemoCount);
}

QComboBox* TFormRenderer::CreateSelect(QWidget* container, const TXMLNode& element) {
  auto* list = new QComboBox(container);
  MakeFlat(list);
  list->setEditable(false);
  // A list that cannot be edited has no text of its own: `value` selects
  // nothing, the selection comes only from stored values.
  list->setCurrentIndex(-1);
  return static_cast<QComboBox*>(Place(list, element, "LIST", ListCount));
}

QWidget* TFormRenderer::CreateCheckBox(QWidget* container, const TXMLNode& element) {
  auto* box = new QCheckBox(Text(element), container);
  MakeFlat(box);
  SetChecked(box, element);
  return Place(box, element, "CHECKBOX", CheckBoxCount);
}

QWidget* TFormRenderer::CreateRadio(QWidget* container, const TXMLNode& element) {
  auto* radio = new QRadioButton(Text(element), container);
  MakeFlat(radio);
  SetChecked(radio, element);
  return Place(radio, element, "RADIOBOX", RadioCount);
}

QWidget* TFormRenderer::CreateGroup(QWidget* container, const TXMLNode& element) {
  auto* group = new QGroupBox(Text(element), container);
  MakeFlat(group);
  return Place(group, element, "GROUPBOX", GroupCount);
}

QWidget* TFormRenderer::CreateStatic(QWidget* container, const TXMLNode& element) {
  auto* label = new QLabel(Text(element), container);
  label->setWordWrap(false);
  label->setTextFormat(Qt::PlainText);
  return Place(label, element, "STATIC", StaticCount);
}

QWidget* TFormRenderer::CreateButton(QWidget* container, const TXMLNode& element) {
  auto* button = new QPushButton(Text(element), container);
  button->setAutoDefault(false);
  const std::string action = element.GetAttribute(smr::atAction);
  std::function<void()> handler;
  if (action == smr::ActionClose || action == smr::ActionOk)
    handler = OkHandler;
  else if (action == smr::ActionCancel)
    handler = CancelHandler;
  if (handler) QObject::connect(button, &QPushButton::clicked, button, handler);
  return Place(button, element, "BUTTON", ButtonCount);
}

QWidget* TFormRenderer::CreateSeparator(QWidget* container, const TXMLNode& element) {
  auto* bevel = new TBevel(container);
  const std::string orientation = element.GetAttribute(smr::atOrientation);
  if (orientation == smr::Vertical)
    bevel->SetShape(TBevel::bsLeftLine);
  else if (orientation == smr::Horizontal)
    bevel->SetShape(TBevel::bsTopLine);
  // A bevel has no hint: drop one the description may carry.
  QWidget* placed = Place(bevel, element, "BEVEL", BevelCount);
  if (placed) placed->setToolTip(QString());
  return placed;
}

bool TFormRenderer::Render(const TXMLNode& node, QWidget* container) {
  auto* list = qobject_cast<QComboBox*>(container);
  for (const auto& owned : node.Children) {
    if (!FError.isEmpty()) return false;
    const TXMLNode& child = *owned;
    const std::string& name = child.Name;
    if (name == smr::elOption) {
      const std::string value = child.GetAttribute(smr::atValue);
      if (!list) {
        Fail(res::FormOptionOutsideSelect, child, value);
        return false;
      }
      if (Present(value)) list->addItem(ToUi(value));
      list->setCurrentIndex(-1);
      continue;
    }
    // A list holds only its items; anything else inside it is passed over.
    if (list) continue;
    QWidget* made = nullptr;
    if (name == smr::elEdit)
      made = CreateEdit(container, child);
    else if (name == smr::elGroup) {
      if ((made = CreateGroup(container, child))) Render(child, made);
    } else if (name == smr::elButton)
      made = CreateButton(container, child);
    else if (name == smr::elSelect) {
      if ((made = CreateSelect(container, child))) Render(child, made);
    } else if (name == smr::elStatic)
      made = CreateStatic(container, child);
    else if (name == smr::elTextArea)
      made = CreateTextArea(container, child);
    else if (name == smr::elCheckBox)
      made = CreateCheckBox(container, child);
    else if (name == smr::elRadio)
      made = CreateRadio(container, child);
    else if (name == smr::elSeparator)
      made = CreateSeparator(container, child);
    else
      continue;  // unknown element: skipped with its subtree
    if (!made) return false;
  }
  return FError.isEmpty();
}
