#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "graphs/smr_GraphPainter.h"

namespace {

constexpr QRgb kBack = 0x123456;
const TColorArray kMaroonToWhite{0x000080, 0x0000FF, 0x00FFFF, 0xFFFFFF};

TEST(GraphGeometry, RoundsTiesToEven) {
  const struct {
    double value;
    int expected;
  } cases[] = {{2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {0.49, 0}, {-2.51, -3}, {7.0, 7}};
  for (const auto& c : cases) EXPECT_EQ(RoundPixel(c.value), c.expected) << c.value;
}

TEST(GraphGeometry, LabelSequences) {
  const struct {
    double start, step;
    int count;
    double min, max;
    std::vector<double> expected;
  } cases[] = {
      {1, 1, 3, 0, 10, {1, 2, 3}},       {1, 1, 0, 0, 10, {}},
      {-2, 1, 4, 0, 10, {0, 1}},  // values below the minimum use up turns
      {0, 0.5, -1, 0, 1.2, {0, 0.5, 1}}, {5, 1, -1, 0, 4, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LabelValues(c.start, c.step, c.count, c.min, c.max), c.expected) << c.start;
  }
  for (int count : {-1, 1001, 5000}) {
    const std::vector<double> capped = LabelValues(0, 1, count, 0, 1000000);
    ASSERT_EQ(capped.size(), 1000u) << count;
    EXPECT_EQ(capped.back(), 999);
  }
  EXPECT_EQ(LabelDecimals("%.0n"), 0);
  EXPECT_EQ(LabelDecimals("%.2n"), 2);
}

TEST(GraphGeometry, LengthsAreClampedToTheSpan) {
  EXPECT_EQ(ScaledLength(2.5, 0, 8, 8), 2);
  EXPECT_EQ(ScaledLength(3.5, 0, 8, 8), 4);
  EXPECT_EQ(ScaledLength(-3, 0, 8, 8), 0);
  EXPECT_EQ(ScaledLength(12, 0, 8, 8), 8);
  EXPECT_EQ(ScaledLength(0.5, 0, 1, -4), 0);
}

TEST(GraphColors, BlendAndGradient) {
  EXPECT_EQ(ColorToPixel(0x0000FF), 0xFF0000u);
  EXPECT_EQ(ColorToPixel(0x804020), 0x204080u);
  // (1 + 4) / 2 = 2.5 and (1 + 2) / 2 = 1.5 both round to 2.
  EXPECT_EQ(GradientColor({0x010101, 0x040204}, 0.5), 0x020202u);
  EXPECT_EQ(BlendColors(0x000000, 0x0000FF, 1.25), 0x000040u);  // fraction of f
  EXPECT_EQ(BlendColors(0x000000, 0x0000FF, -0.5), 0x000080u);  // |f|, 127.5 to 128
  EXPECT_EQ(GradientColor(kMaroonToWhite, 0), 0x000080u);
  EXPECT_EQ(GradientColor(kMaroonToWhite, 1), 0xFFFFFFu);
  EXPECT_EQ(GradientColor(kMaroonToWhite, 7), 0xFFFFFFu);
  EXPECT_EQ(GradientColor({}, 0.5), 0u);
  EXPECT_EQ(GradientColor(kMaroonToWhite, -0.1), 0u);
}

class PainterTest : public testing::Test {
 protected:
  void SetUp() override {
    image.fill(kBack);
    graph.XMin = 0;
    graph.XMax = 1;
    graph.YMin = 0;
    graph.YMax = 1;
    graph.XLabelCount = 0;
    graph.YLabelCount = 0;
    graph.BarWidth = 0.1;
    graph.LinePen = QPen(Qt::black, 1, Qt::SolidLine);
  }
  QRgb At(int x, int y) const { return image.pixel(x, y) & 0xFFFFFF; }
  int Count(QRgb color) const {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) n += At(x, y) == color;
    return n;
  }

  QImage image{120, 120, QImage::Format_RGB32};
  TSMGraph graph;
};

// Data area of bounds (0, 0, 102, 98): L 2, B 96, height 96, width 100, bar 10.
TEST_F(PainterTest, VerticalBarRowsFollowTheGradientByHeight) {
  graph.GraphKind = gkVerticalBars;
  graph.SetColors(kMaroonToWhite);
  graph.AddValue("", 0, 1);
  graph.AddValue("", 1, 0.5);
  graph.Draw(image, {0, 0, 102, 98});
  const struct {
    int k;
    QRgb rgb;
  } rows[] = {
      {1, 0x840000},   // 128 + 127 / 32 = 131.97: still maroon
      {24, 0xDF0000},  // maroon to red at 0.75
      {48, 0xFF8000},  // red to yellow at 0.5: 127.5 rounds to 128
      {72, 0xFFFF40},  // yellow to white at 0.25
      {95, 0xFFFFF7},  // near white at the top
  };
  for (const auto& row : rows) {
    for (int x : {2, 11}) EXPECT_EQ(At(x, 96 - row.k), row.rgb) << row.k << " x " << x;
    // The shorter bar at the right has the same colour at the same height.
    if (row.k < 48) {
      EXPECT_EQ(At(92, 96 - row.k), row.rgb) << row.k;
    }
  }
  EXPECT_EQ(At(12, 72), kBack);       // ten columns wide
  EXPECT_EQ(At(92, 96 - 48), kBack);  // the shorter bar ends below its height
  EXPECT_EQ(At(2, 96), kBack);        // row 0 is left for the axis gap
  EXPECT_EQ(At(0, 50), 0u);           // Y axis
  EXPECT_EQ(At(50, 98), 0u);          // X axis
}

// Data area of bounds (0, 0, 98, 100): L 2, B 98, width 96, thickness 10.
TEST_F(PainterTest, HorizontalBarColumnsFollowTheGradientByLength) {
  graph.GraphKind = gkHorizontalBars;
  graph.SetColors(kMaroonToWhite);
  graph.AddValue("", 0, 1);
  graph.Draw(image, {0, 0, 98, 100});
  const struct {
    int k;
    QRgb rgb;
  } columns[] = {{1, 0x840000}, {24, 0xDF0000}, {48, 0xFF8000}, {72, 0xFFFF40}, {95, 0xFFFFF7}};
  for (const auto& column : columns) {
    for (int y : {98, 89}) EXPECT_EQ(At(2 + column.k, y), column.rgb) << column.k << " y " << y;
  }
  EXPECT_EQ(At(50, 88), kBack);
  EXPECT_EQ(At(2 + 96, 95), kBack);  // the last column of the length is not filled
}

TEST_F(PainterTest, OneColourFillsEveryRow) {
  graph.GraphKind = gkVerticalBars;
  graph.SetColors({0x00FF00});
  graph.AddValue("", 0, 1);
  graph.Draw(image, {0, 0, 102, 98});
  EXPECT_EQ(Count(0x00FF00), 10 * 95);
}

// Width 10, bar 2, X range 0..8: offsets 2.5 and 3.5 round to 2 and 4.
TEST_F(PainterTest, BarOffsetsAndHeightsRoundTiesToEven) {
  graph.GraphKind = gkVerticalBars;
  graph.SetColors({0x00FF00});
  graph.XMax = 8;
  graph.YMax = 8;
  graph.BarWidth = 0.2;
  graph.AddValue("", 2.5, 2.5);  // height 2: one row
  graph.Draw(image, {0, 0, 12, 10});
  EXPECT_EQ(At(4, 7), 0x00FF00u);
  EXPECT_EQ(At(5, 7), 0x00FF00u);
  EXPECT_EQ(At(6, 7), kBack);
  EXPECT_EQ(At(4, 6), kBack);
  EXPECT_EQ(Count(0x00FF00), 2);

  image.fill(kBack);
  graph.ClearValues();
  graph.AddValue("", 3.5, 3.5);  // height 4: three rows
  graph.Draw(image, {0, 0, 12, 10});
  EXPECT_EQ(At(3, 7), kBack);
  EXPECT_EQ(At(6, 7), 0x00FF00u);
  EXPECT_EQ(At(7, 5), 0x00FF00u);
  EXPECT_EQ(Count(0x00FF00), 6);
}

TEST_F(PainterTest, PointsOutsideTheRanges) {
  const QRgb green = 0x00FF00;
  graph.SetColors({green});
  const struct {
    std::uint8_t kind;
    double x, y;
    bool drawn;
  } cases[] = {
      {gkSquarePoints, 0.5, 2, false},     // above the range: skipped
      {gkRoundPoints, 0.5, -1, false},     // below the range: skipped
      {gkLineSquarePoints, 0.5, 2, true},  // clamped to the top
      {gkLineRoundPoints, 0.5, -1, true},  // clamped onto the axis
      {gkVerticalBars, 0.5, -1, false},    // height 0: no pixels
      {gkSquarePoints, 1.5, 0.5, false},   // X outside: every kind skips
      {gkLineSquarePoints, -0.5, 0.5, false}, {gkVerticalBars, 1.5, 0.5, false},
  };
  for (const auto& c : cases) {
    image.fill(kBack);
    graph.GraphKind = c.kind;
    graph.ClearValues();
    graph.AddValue("", c.x, c.y);
    graph.Draw(image, {0, 10, 102, 108});
    EXPECT_EQ(Count(green) > 0, c.drawn) << int(c.kind) << " " << c.x << " " << c.y;
  }
  // The clamped square: data top 10, bar 10, so its box starts at row 5.
  image.fill(kBack);
  graph.GraphKind = gkLineSquarePoints;
  graph.ClearValues();
  graph.AddValue("", 0, 5);
  graph.Draw(image, {0, 10, 102, 108});
  EXPECT_EQ(At(7, 5), green);
  EXPECT_EQ(At(7, 4), kBack);
  EXPECT_EQ(At(2, 10), green);
  EXPECT_EQ(At(12, 10), green);
  EXPECT_EQ(At(13, 10), kBack);
}

// The tick of the label of XMin: on the axis for the plain line, half the
// inset (100 * 0.2 / 2 = 10) to the right for the other kinds.
TEST_F(PainterTest, PlainLineHasNoLabelInset) {
  graph.XLabelCount = 1;
  graph.XLabelStart = 0;
  graph.BarWidth = 0.2;
  graph.AddValue("", 0, 0.5);
  graph.AddValue("", 1, 0.5);
  const auto tickColumn = [&](int row) {
    for (int x = 1; x < image.width(); ++x)
      if (At(x, row) == 0) return x;
    return -1;
  };
  graph.GraphKind = gkLine;
  graph.Draw(image, {0, 0, 100, 100});
  const int bottom = 100 - QFontMetrics(graph.LabelFont.Font, &image).height() - 3;
  const int lineRow = bottom - 2 - RoundPixel((bottom - 2) / 2.0);
  EXPECT_LE(std::abs(tickColumn(bottom + 2) - 0), 1);
  EXPECT_EQ(At(1, lineRow), kBack);
  EXPECT_EQ(At(2, lineRow), 0u);  // the point at XMin lies two pixels right of the axis

  image.fill(kBack);
  graph.GraphKind = gkVerticalBars;
  graph.Draw(image, {0, 0, 100, 100});
  EXPECT_LE(std::abs(tickColumn(bottom + 2) - 10), 1);
}

TEST_F(PainterTest, EmptyRangeOrUnknownKindDrawsNothing) {
  graph.Header.Text = "Header";
  graph.XLabelCount = -1;
  graph.AddValue("", 0.5, 0.5);
  const QImage before = image.copy();
  graph.XMax = graph.XMin;
  graph.Draw(image, {0, 0, 100, 100});
  EXPECT_EQ(image, before);
  EXPECT_EQ(graph.Bitmap, nullptr);

  graph.XMax = 1;
  graph.YMin = graph.YMax = 3;
  graph.Draw(image, {0, 0, 100, 100});
  EXPECT_EQ(image, before);

  graph.YMin = 0;
  graph.GraphKind = 7;
  graph.Draw(image, {0, 0, 100, 100});
  EXPECT_EQ(image, before);
  EXPECT_EQ(graph.Bitmap, &image);
  EXPECT_EQ(graph.Bounds, (TGraphRect{0, 0, 100, 100}));
}

TEST_F(PainterTest, BlankHeaderTakesNoRoom) {
  graph.GraphKind = gkLine;
  graph.Header.Text = "   ";
  graph.Draw(image, {0, 5, 100, 100});
  EXPECT_EQ(At(0, 5), 0u);  // the Y axis reaches the top of the bounds

  image.fill(kBack);
  graph.Header.Text = "Header";
  graph.Draw(image, {0, 5, 100, 100});
  EXPECT_EQ(At(0, 5), kBack);
  EXPECT_EQ(At(0, 5 + QFontMetrics(graph.Header.Font.Font, &image).height() + 10), 0u);
}

TEST_F(PainterTest, BarBorderAndClippedPixels) {
  graph.GraphKind = gkVerticalBars;
  graph.SetColors({0x00FF00});
  graph.BorderColor = 0x800000;  // navy
  graph.AddValue("", 1, 0.5);    // columns 92..101, height 48
  graph.Draw(image, {0, 0, 102, 98});
  EXPECT_EQ(At(92, 48), 0x000080u);
  EXPECT_EQ(At(101, 48), 0x000080u);
  EXPECT_EQ(At(97, 60), 0x00FF00u);

  // Bounds larger than the image: what falls outside is not written.
  QImage small(60, 40, QImage::Format_ARGB32);
  small.fill(kBack);
  graph.Draw(small, {0, 0, 102, 98});
  EXPECT_EQ(small.pixel(0, 20) & 0xFFFFFF, 0u);
  EXPECT_EQ(small.pixel(59, 39) & 0xFFFFFF, kBack);
}

}  // namespace
