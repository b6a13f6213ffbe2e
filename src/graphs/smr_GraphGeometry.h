#pragma once

#include <string_view>
#include <vector>

// Plain geometry of the graph painter: every place where a real number
// becomes a pixel, kept apart from the pixel writing so it can be checked
// with tables of numbers.

// Edges of a drawing rectangle, as the painter stores them.
struct TGraphRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  bool operator==(const TGraphRect&) const = default;
};

inline constexpr int MaxLabels = 1000;

// The label values of one axis: at most count turns (count < 0 or above
// MaxLabels means MaxLabels), stopping above max; values below min use up
// a turn without a label.
std::vector<double> LabelValues(double start, double step, int count, double min, double max);

// The precision of a "%.Nn" label format; 0 when none is given.
int LabelDecimals(std::string_view format);

// round((v - min) / (max - min) * span) clamped to 0 .. span.
int ScaledLength(double v, double min, double max, int span);
double Fraction(double v, double min, double max);
bool InRange(double v, double min, double max);

// Left edge of a label centred on its value along a horizontal axis.
int BottomLabelX(double v, double min, double max, int span, int inset, int textWidth, int left);
// Top edge of a Y label beside the vertical axis (centred on its value).
int SideLabelY(double v, double min, double max, int span, int textHeight, int bottom);
// Top edge of an X label of the swapped frame: a full text height above its
// value, over the span less the inset.
int SwappedSideLabelY(double v, double min, double max, int span, int inset, int textHeight,
                      int bottom);

// The data area shared by every kind: two pixels off the axes.
struct TDataArea {
  int L = 0;
  int B = 0;
  int T = 0;
  int Hp = 0;  // height
  int Wp = 0;  // width
  int M = 0;   // bar width, bar thickness or marker size
};
TDataArea DataArea(const TGraphRect& plot, double barWidth);

// Offset of a bar or marker along its axis: round(fx * (span - m)).
int BarOffset(double fx, int span, int m);

// Box of a marker, from (Left, Top) up to but not including (Right, Bottom).
TGraphRect MarkerBox(const TDataArea& area, int offset, int height);
