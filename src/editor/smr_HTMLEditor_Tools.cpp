// The column of tag buttons beside the source editor.
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <QVBoxLayout>

#include "editor/smr_HTMLEditor.h"

namespace {

constexpr int kIconSize = 20;

// The three pictures are drawn: the style's icons differ by desktop and
// have no undo arrow at all.
QIcon DrawnIcon(void (*draw)(QPainter&)) {
  QPixmap pixmap(kIconSize, kIconSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  draw(painter);
  return QIcon(pixmap);
}

void DrawNewPage(QPainter& p) {
  QPainterPath sheet;
  sheet.moveTo(4.5, 2.5);
  sheet.lineTo(12.5, 2.5);
  sheet.lineTo(16.5, 6.5);
  sheet.lineTo(16.5, 17.5);
  sheet.lineTo(4.5, 17.5);
  sheet.closeSubpath();
  p.setPen(QPen(QColor(80, 80, 90), 1));
  p.setBrush(Qt::white);
  p.drawPath(sheet);
  p.drawPolyline(QPolygonF({QPointF(12.5, 2.5), QPointF(12.5, 6.5), QPointF(16.5, 6.5)}));
  p.setPen(QPen(QColor(40, 90, 200), 1));
  for (double y : {9.5, 12.0, 14.5}) p.drawLine(QPointF(7, y), QPointF(14, y));
}

void DrawFloppy(QPainter& p) {
  p.setPen(QPen(QColor(30, 50, 110), 1));
  p.setBrush(QColor(60, 100, 190));
  p.drawRoundedRect(QRectF(2.5, 2.5, 15, 15), 1.5, 1.5);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(5.5, 2.5, 9, 6));
  p.setBrush(QColor(200, 200, 210));
  p.drawRect(QRectF(5.5, 11.5, 9, 6));
}

void DrawUndoArrow(QPainter& p) {
  QPainterPath arc;
  arc.moveTo(5, 8);
  arc.cubicTo(9, 3, 17, 5, 16, 11);
  arc.cubicTo(15.5, 14, 12, 16, 9, 16);
  p.setPen(QPen(QColor(40, 110, 40), 2.2, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawPath(arc);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 110, 40));
  p.drawPolygon(QPolygonF({QPointF(2, 4), QPointF(9, 6.5), QPointF(3.5, 11.5)}));
}

}  // namespace

void THTMLEditor::CreateTools(QWidget* page) {
  pnl_HTMLEditorTools = new QWidget(page);
  pnl_HTMLEditorTools->setObjectName("pnl_HTMLEditorTools");
  auto* column = new QVBoxLayout(pnl_HTMLEditorTools);
  column->setContentsMargins(2, 2, 2, 2);
  column->setSpacing(2);

  auto button = [&](const char* name, const char* hint, void (THTMLEditor::*handler)()) {
    auto* b = new QToolButton(pnl_HTMLEditorTools);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(QString::fromUtf8(hint));
    b->setAutoRaise(true);
    b->setFixedSize(28, 26);
    b->setIconSize(QSize(kIconSize, kIconSize));
    connect(b, &QToolButton::clicked, this, handler);
    column->addWidget(b);
    return b;
  };
  // A letter face; the tags of structure are blue, the type faces show their style.
  auto face = [](QToolButton* b, const char* text, bool blue, void (QFont::*setter)(bool)) {
    b->setText(QString::fromLatin1(text));
    QFont font = b->font();
    if (setter) (font.*setter)(true);
    b->setFont(font);
    if (blue) b->setStyleSheet(QStringLiteral("color: #0000c0;"));
  };

  btn_HTML_New = button("btn_HTML_New", "Создать новый HTML-файл", &THTMLEditor::btn_HTML_NewClick);
  btn_HTML_New->setIcon(DrawnIcon(DrawNewPage));
  btn_HTML_Save = button("btn_HTML_Save", "Сохранить описание", &THTMLEditor::btn_HTML_SaveClick);
  btn_HTML_Save->setIcon(DrawnIcon(DrawFloppy));
  btn_HTML_Undo =
      button("btn_HTML_Undo", "Отменить последнее действие", &THTMLEditor::btn_HTML_UndoClick);
  btn_HTML_Undo->setIcon(DrawnIcon(DrawUndoArrow));
  btn_HTML_Bold = button("btn_HTML_Bold", "Выделение полужирным", &THTMLEditor::btn_HTML_BoldClick);
  face(btn_HTML_Bold, "B", false, &QFont::setBold);
  btn_HTML_Italic =
      button("btn_HTML_Italic", "Выделение курсивом", &THTMLEditor::btn_HTML_ItalicClick);
  face(btn_HTML_Italic, "I", false, &QFont::setItalic);
  btn_HTML_Underlined = button("btn_HTML_Underlined", "Выделение подчеркиванием",
                               &THTMLEditor::btn_HTML_UnderlinedClick);
  face(btn_HTML_Underlined, "U", false, &QFont::setUnderline);
  btn_HTML_P = button("btn_HTML_P", "Параграф", &THTMLEditor::btn_HTML_PClick);
  face(btn_HTML_P, "p", true, nullptr);
  btn_HTML_BR = button("btn_HTML_BR", "Перевод строки", &THTMLEditor::btn_HTML_BRClick);
  face(btn_HTML_BR, "br", true, nullptr);
  btn_HTML_A = button("btn_HTML_A", "Ссылка", &THTMLEditor::btn_HTML_AClick);
  face(btn_HTML_A, "a", true, nullptr);
  btn_HTML_IMG = button("btn_HTML_IMG", "Изображение", &THTMLEditor::btn_HTML_IMGClick);
  face(btn_HTML_IMG, "img", true, nullptr);
  column->addStretch(1);
}
