#pragma once

#include <QDialog>
#include <QRect>
#include <QSize>
#include <QString>
#include <string>

class QFrame;
class TXMLNode;

// The dream properties dialog: a borderless window whose work area the form
// renderer fills once at start-up. The main window clears, loads, shows and
// stores it for one experience at a time. Results: ResultOk or ResultCancel;
// Escape and any other way of closing count as cancel.
class Tfrm_DreamProperties : public QDialog {
  Q_OBJECT

 public:
  static constexpr int ResultOk = 1;
  static constexpr int ResultCancel = 2;
  static constexpr int DesignWidth = 472;
  static constexpr int DesignHeight = 333;

  explicit Tfrm_DreamProperties(QWidget* parent = nullptr);

  // Sizes the dialog from a `dream-form` element and renders its controls.
  // False with the message in `error` when the description is bad; the
  // controls built before the fault stay.
  bool BuildForm(const TXMLNode& dreamForm, QString& error);
  // Below-right of `anchor`, shrunk to `available` and moved up or left
  // until the whole dialog lies within it.
  void PlaceWithin(const QPoint& anchor, const QRect& available);

  // The walks over the controls of a container (pnl_WorkArea or a group
  // box), in creation order.
  static void ClearValues(QWidget* container);
  // From `properties` or a group `parameter` (may be null), by name.
  static void LoadValues(const TXMLNode* element, QWidget* container);
  // Into `properties` or a group `parameter`, by position; children beyond
  // the controls of the container are kept.
  static void StoreValues(TXMLNode* element, QWidget* container);
  static std::string BoolToText(bool value);

  QFrame* pnl_WorkArea = nullptr;

 private:
  // The size the description asks for; a small screen shrinks only one showing.
  QSize FBuiltSize;

 public slots:
  void CloseForm() { done(ResultOk); }
  void ClickOk() { done(ResultOk); }
  void ClickCancel() { done(ResultCancel); }
  void reject() override { done(ResultCancel); }
};
