#include "graphs/smr_GraphGeometry.h"

#include <algorithm>
#include <cctype>

#include "graphs/smr_GraphDrawing.h"

std::vector<double> LabelValues(double start, double step, int count, double min, double max) {
  std::vector<double> values;
  if (count == 0) return values;
  if (count < 0 || count > MaxLabels) count = MaxLabels;
  double v = start;
  for (int turn = 0; turn < count; ++turn) {
    if (v > max) break;
    if (v >= min) values.push_back(v);
    v += step;
  }
  return values;
}

int LabelDecimals(std::string_view format) {
  const auto dot = format.find("%.");
  if (dot == std::string_view::npos) return 0;
  int decimals = 0;
  for (std::size_t i = dot + 2;
       i < format.size() && std::isdigit(static_cast<unsigned char>(format[i])); ++i) {
    decimals = std::min(decimals * 10 + (format[i] - '0'), 18);
  }
  return decimals;
}

double Fraction(double v, double min, double max) { return (v - min) / (max - min); }

bool InRange(double v, double min, double max) { return v >= min && v <= max; }

int ScaledLength(double v, double min, double max, int span) {
  return std::clamp(RoundPixel(Fraction(v, min, max) * span), 0, std::max(span, 0));
}

int BottomLabelX(double v, double min, double max, int span, int inset, int textWidth, int left) {
  return RoundPixel(Fraction(v, min, max) * (span - inset) + inset / 2.0 - textWidth / 2.0) + left;
}

int SideLabelY(double v, double min, double max, int span, int textHeight, int bottom) {
  return bottom - RoundPixel(Fraction(v, min, max) * span + textHeight / 2.0);
}

int SwappedSideLabelY(double v, double min, double max, int span, int inset, int textHeight,
                      int bottom) {
  return bottom - RoundPixel(Fraction(v, min, max) * (span - inset) + textHeight);
}

TDataArea DataArea(const TGraphRect& plot, double barWidth) {
  TDataArea area;
  area.L = plot.Left + 2;
  area.B = plot.Bottom - 2;
  area.T = plot.Top;
  area.Hp = area.B - area.T;
  area.Wp = plot.Right - area.L;
  area.M = RoundPixel(area.Wp * barWidth);
  return area;
}

int BarOffset(double fx, int span, int m) { return RoundPixel(fx * (span - m)); }

TGraphRect MarkerBox(const TDataArea& area, int offset, int height) {
  const int top = area.B - height - RoundPixel(area.M / 2.0);
  return {area.L + offset, top, area.L + offset + area.M + 1, top + area.M + 1};
}
