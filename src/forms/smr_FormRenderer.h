#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <string>
#include <string_view>

class QComboBox;
class TXMLNode;

// A bevel line of the form: a sunken line along the left or top edge, or a
// sunken box when no orientation was given.
class TBevel : public QWidget {
 public:
  enum TShape { bsBox, bsLeftLine, bsTopLine };
  explicit TBevel(QWidget* parent) : QWidget(parent) {}
  TShape Shape() const { return FShape; }
  void SetShape(TShape shape);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TShape FShape = bsBox;
};

// Builds widgets from a form description (`dream-form`, `group` and
// `select` elements). Controls are owned by the container they are created
// in. Controls without an `id` are named from per-kind counters that run
// over the whole description. A description that cannot be built stops the
// build: the controls made before it stay, the failing one is removed, and
// ErrorText() tells the user which element and which text were wrong.
class TFormRenderer {
 public:
  int EditCount = 0;
  int ListCount = 0;
  int MemoCount = 0;
  int GroupCount = 0;
  int ButtonCount = 0;
  int StaticCount = 0;
  int CheckBoxCount = 0;
  int RadioCount = 0;
  int BevelCount = 0;
  std::function<void()> OkHandler;
  std::function<void()> CancelHandler;

  // Sets the window's width and height from the `dream-form` element where
  // it gives them. False when one is not an integer.
  bool Resize(const TXMLNode& form, QWidget* window);
  // False when the description has an error; the rest is not built.
  bool Render(const TXMLNode& node, QWidget* container);
  // The message for the first error, empty while there is none.
  const QString& ErrorText() const { return FError; }

  // One control each, or null after an error. Attribute values are the
  // document's bytes, "undefined" when absent.
  QWidget* CreateEdit(QWidget* container, const TXMLNode& element);
  QWidget* CreateTextArea(QWidget* container, const TXMLNode& element);
  QComboBox* CreateSelect(QWidget* container, const TXMLNode& element);
  QWidget* CreateCheckBox(QWidget* container, const TXMLNode& element);
  QWidget* CreateRadio(QWidget* container, const TXMLNode& element);
  QWidget* CreateGroup(QWidget* container, const TXMLNode& element);
  QWidget* CreateStatic(QWidget* container, const TXMLNode& element);
  QWidget* CreateButton(QWidget* container, const TXMLNode& element);
  QWidget* CreateSeparator(QWidget* container, const TXMLNode& element);

  // A letter or '_' first, then letters, digits and '_' (Cyrillic letters
  // count, so a stored property reads well in an export).
  static bool IsIdentifier(const QString& name);

 private:
  bool ReadInteger(const TXMLNode& element, std::string_view attribute, int& value);
  // Geometry and name; on an error the control is deleted and null returned.
  QWidget* Place(QWidget* control, const TXMLNode& element, const char* classWord, int& counter);
  void Fail(const char* format, const TXMLNode& element, const std::string& text);

  QString FError;
};
