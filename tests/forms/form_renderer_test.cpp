// The renderer on hand-written descriptions: names, kinds, looks, geometry
// and the faults that stop a build.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "form_test_util.h"
#include "forms/smr_FormRenderer.h"

namespace {

class Renderer : public ::testing::Test {
 protected:
  QWidget Area;
  TFormRenderer Render;
  int Oks = 0;
  int Cancels = 0;

  bool Build(const std::string& body) {
    Render.OkHandler = [this] { ++Oks; };
    Render.CancelHandler = [this] { ++Cancels; };
    auto document = ParseForm("<dream-form>" + body + "</dream-form>");
    return Render.Render(*document->Root, &Area);
  }
  template <typename T = QWidget>
  T* Find(const char* name) const {
    return Area.findChild<T*>(QString::fromUtf8(name));
  }
};

TEST_F(Renderer, NamesComeFromIdsOrFromCountersThatRunAcrossNesting) {
  ASSERT_TRUE(Build(
      "<edit id=\"place\" /><edit /><group><edit /><radio /><group><edit /></group></group><edit />"
      "<select><option value=\"a\" /></select><select id=\"mood\" /><textarea /><static />"
      "<static id=\"caption\" /><checkbox /><radio /><button /><separator /><separator />"));
  EXPECT_EQ(ControlNames(&Area),
            QStringList({"place", "EDITBOX_0", "GROUPBOX_0", "GROUPBOX_0/EDITBOX_1",
                         "GROUPBOX_0/RADIOBOX_0", "GROUPBOX_0/GROUPBOX_1",
                         "GROUPBOX_0/GROUPBOX_1/EDITBOX_2", "EDITBOX_3", "LIST_0", "mood", "MEMO_0",
                         "STATIC_0", "caption", "CHECKBOX_0", "RADIOBOX_1", "BUTTON_0", "BEVEL_0",
                         "BEVEL_1"}));
  EXPECT_EQ(Render.EditCount, 4);
  EXPECT_EQ(Render.GroupCount, 2);
  EXPECT_EQ(Render.ListCount, 1);
  EXPECT_EQ(Render.BevelCount, 2);
  EXPECT_TRUE(Render.ErrorText().isEmpty());
}

TEST_F(Renderer, EachKindGetsItsWidgetTextAndLook) {
  ASSERT_TRUE(
      Build("<edit id=\"e\" value=\"Дом\" hint=\"Где\" /><textarea id=\"t\" value=\"текст\" />"
            "<select id=\"s\" value=\"b\" hint=\"Выбор\"><option value=\"a\" /><option /><option "
            "value=\"b\" />"
            "<edit id=\"inside\" /></select>"
            "<checkbox id=\"c1\" value=\"Кошмар\" checked=\"true\" /><checkbox id=\"c2\" "
            "checked=\"TRUE\" />"
            "<radio id=\"r\" checked=\"true\" /><group id=\"g\" value=\"Вопросы\" />"
            "<static id=\"l\" value=\"Подпись\" /><button id=\"b\" value=\"OK\" />"));
  EXPECT_EQ(Find<QLineEdit>("e")->text(), U("Дом"));
  EXPECT_EQ(Find<QLineEdit>("e")->toolTip(), U("Где"));
  EXPECT_EQ(Find<QPlainTextEdit>("t")->toPlainText(), U("текст"));
  EXPECT_EQ(Find<QPlainTextEdit>("t")->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  auto* list = Find<QComboBox>("s");
  ASSERT_NE(list, nullptr);
  EXPECT_FALSE(list->isEditable());
  EXPECT_EQ(list->count(), 2) << "an option without value adds no item";
  EXPECT_EQ(list->itemText(1), U("b"));
  EXPECT_EQ(list->currentIndex(), -1) << "a list's value selects nothing";
  EXPECT_EQ(list->toolTip(), U("Выбор"));
  EXPECT_EQ(Find("inside"), nullptr) << "a list holds only its items";
  EXPECT_TRUE(Find<QCheckBox>("c1")->isChecked());
  EXPECT_EQ(Find<QCheckBox>("c1")->text(), U("Кошмар"));
  EXPECT_FALSE(Find<QCheckBox>("c2")->isChecked()) << "TRUE is not true";
  EXPECT_TRUE(Find<QRadioButton>("r")->isChecked());
  EXPECT_EQ(Find<QGroupBox>("g")->title(), U("Вопросы"));
  auto* label = Find<QLabel>("l");
  EXPECT_EQ(label->text(), U("Подпись"));
  EXPECT_FALSE(label->wordWrap());
  EXPECT_EQ(Find<QPushButton>("b")->text(), U("OK"));
  for (const char* flat : {"e", "s", "c1", "r", "g"})
    EXPECT_TRUE(Find(flat)->property("flat").toBool()) << flat;
  for (const char* deep : {"t", "l", "b"})
    EXPECT_FALSE(Find(deep)->property("flat").toBool()) << deep;
}

TEST_F(Renderer, ButtonActionsAndSeparatorOrientations) {
  ASSERT_TRUE(
      Build("<button id=\"ok\" action=\"ok\" /><button id=\"close\" action=\"close\" />"
            "<button id=\"cancel\" action=\"cancel\" /><button id=\"upper\" action=\"OK\" "
            "/><button id=\"none\" />"
            "<separator id=\"v\" orientation=\"vertical\" left=\"0\" top=\"0\" width=\"2\" "
            "height=\"100\" hint=\"x\" />"
            "<separator id=\"h\" orientation=\"horizontal\" /><separator id=\"box\" "
            "orientation=\"diagonal\" />"));
  const struct {
    const char* button;
    int oks, cancels;
  } clicks[] = {{"ok", 1, 0}, {"close", 2, 0}, {"cancel", 2, 1}, {"upper", 2, 1}, {"none", 2, 1}};
  for (const auto& c : clicks) {
    QTest::mouseClick(Find<QPushButton>(c.button), Qt::LeftButton);
    EXPECT_EQ(Oks, c.oks) << c.button;
    EXPECT_EQ(Cancels, c.cancels) << c.button;
  }
  auto* vertical = Find<TBevel>("v");
  EXPECT_EQ(vertical->Shape(), TBevel::bsLeftLine);
  EXPECT_EQ(vertical->toolTip(), QString()) << "a separator has no hint";
  EXPECT_EQ(Find<TBevel>("h")->Shape(), TBevel::bsTopLine);
  EXPECT_EQ(Find<TBevel>("box")->Shape(), TBevel::bsBox);
  // The vertical line stands at the bevel's left edge.
  const QImage image = vertical->grab().toImage();
  ASSERT_EQ(image.size(), QSize(2, 100));
  EXPECT_EQ(image.pixel(0, 50), vertical->palette().color(QPalette::Dark).rgb());
  EXPECT_EQ(image.pixel(1, 50), vertical->palette().color(QPalette::Light).rgb());
}

TEST_F(Renderer, GeometryIsInPixelsOfTheContainer) {
  ASSERT_TRUE(
      Build("<group id=\"g\" left=\"10\" top=\"20\" width=\"200\" height=\"100\">"
            "<edit id=\"e\" left=\"8\" top=\"16\" width=\"120\" height=\"21\" /></group>"
            "<static id=\"half\" left=\"undefined\" top=\"+5\" width=\"40\" />"));
  EXPECT_EQ(Find("g")->geometry(), QRect(10, 20, 200, 100));
  EXPECT_EQ(Find("e")->geometry(), QRect(8, 16, 120, 21));
  EXPECT_EQ(Find("e")->parentWidget(), Find("g"));
  // Absent sides keep what a new control of its kind has.
  const QRect fresh = QLabel(&Area).geometry();
  EXPECT_EQ(Find("half")->geometry(), QRect(fresh.left(), 5, 40, fresh.height()));
}

TEST_F(Renderer, UnknownElementsAreSkippedWithTheirSubtree) {
  ASSERT_TRUE(Build("<Edit id=\"capital\" /><panel><edit id=\"lost\" /></panel>text<edit />"));
  EXPECT_EQ(ControlNames(&Area), QStringList({"EDITBOX_0"}));
  EXPECT_TRUE(TFormRenderer::IsIdentifier(U("Настроение_2")));
  EXPECT_FALSE(TFormRenderer::IsIdentifier(U("2a")));
}

// A fault stops the build where it stands: the controls before it stay, the
// failing one is gone, nothing after it is built, and the message names the
// element and the text.
TEST_F(Renderer, FaultsStopTheBuildWithOneMessage) {
  const struct {
    const char* body;
    const char* message;
    QStringList built;
  } cases[] = {
      {"<edit id=\"a\" /><edit id=\"b\" width=\"12px\" /><edit id=\"c\" />",
       "в элементе «edit» значение «12px» не является целым числом",
       {"a"}},
      {"<edit id=\"a\" /><group id=\"g\"><static top=\" 4\" /><edit /></group><edit />",
       "в элементе «static» значение « 4» не является целым числом",
       {"a", "g"}},
      {"<edit id=\"a\" /><option value=\"Сон\" /><edit id=\"c\" />",
       "элемент «option» со значением «Сон» стоит вне списка",
       {"a"}},
      {"<group id=\"g\"><option value=\"x\" /></group>",
       "элемент «option» со значением «x»",
       {"g"}},
      {"<edit id=\"a\" /><checkbox id=\"2nd\" /><edit />",
       "в элементе «checkbox» имя «2nd» не является допустимым идентификатором",
       {"a"}},
      {"<edit id=\"a b\" />", "имя «a b» не является допустимым", {}},
      {"<edit id=\"place\" /><group id=\"g\"><edit id=\"place\" /></group><select id=\"place\" />",
       "в элементе «select» имя «place» уже занято",
       {"place", "g", "g/place"}},
      {"<edit id=\"EDITBOX_0\" /><edit />",
       "в элементе «edit» имя «EDITBOX_0» уже занято",
       {"EDITBOX_0"}},
  };
  for (const auto& c : cases) {
    TFormRenderer renderer;
    QWidget area;
    auto document = ParseForm(std::string("<dream-form>") + c.body + "</dream-form>");
    EXPECT_FALSE(renderer.Render(*document->Root, &area)) << c.body;
    EXPECT_TRUE(renderer.ErrorText().contains(U(c.message))) << renderer.ErrorText().toStdString();
    EXPECT_TRUE(renderer.ErrorText().endsWith(U("Остальная часть формы не построена.")));
    EXPECT_EQ(ControlNames(&area), c.built) << c.body;
    QStringList unnamed;
    for (QWidget* w : area.findChildren<QWidget*>())
      if (w->objectName().isEmpty() && qobject_cast<QWidget*>(w->parent()) == &area)
        unnamed << w->metaObject()->className();
    EXPECT_TRUE(unnamed.isEmpty()) << c.body << ": " << unnamed.join(',').toStdString();
  }
}

}  // namespace
