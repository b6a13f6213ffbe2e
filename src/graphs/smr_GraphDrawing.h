#pragma once

#include <cstdint>
#include <vector>

class QColor;
class QImage;
class QPainter;
class QPointF;

// Colours are 32-bit words with red in the lowest byte, then green, then
// blue, as the stored settings and the graph colour lists give them.
using TColor = std::uint32_t;
using TColorArray = std::vector<TColor>;

inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clBtnFace = 0x8000000F;  // top bit: a system colour
inline constexpr TColor clBlack = 0x000000;

// Rounds to the nearest integer, ties to even, whatever the FPU's mode;
// values beyond the pixel range are clamped so that the cast stays defined.
int RoundPixel(double value);

// The point a pen one logical pixel wide runs through to cover the pixel
// (x, y): the point itself at ratio 1, else the pixel's centre. Qt centres
// the pen on its line, so on an image of a higher device pixel ratio a line
// through the corner would lie half on the pixels above and to the left.
QPointF PixelCentre(const QPainter& canvas, int x, int y);

// The pixel word of a colour: red and blue exchanged, so blue is lowest.
std::uint32_t ColorToPixel(TColor color);
TColor BlendColors(TColor c1, TColor c2, double f);
// high is the list's highest index; an empty list or t < 0 gives black.
TColor GradientColor(const TColorArray& list, int high, double t);
inline TColor GradientColor(const TColorArray& list, double t) {
  return GradientColor(list, static_cast<int>(list.size()) - 1, t);
}

// The face colour of buttons: the application's palette when a GUI
// application runs, else the usual light grey.
TColor DefaultButtonFace();
// clNone gives an invalid colour (nothing drawn); any system colour is the
// button face given.
QColor ToQColor(TColor color, TColor buttonFace);

// The canvas routines do nothing and return false without an active
// painter. Coordinates are rounded with RoundPixel.
bool DrawLine(QPainter* canvas, TColor color, double x1, double y1, double x2, double y2,
              TColor buttonFace = DefaultButtonFace());
bool DrawRectFrame(QPainter* canvas, TColor color, double x1, double y1, double x2, double y2,
                   TColor buttonFace = DefaultButtonFace());
// Filled and outlined; covers round(x) .. round(x + w) - 1 like the
// platform the stored layouts were measured on.
bool DrawRectangle(QPainter* canvas, TColor pen, TColor brush, double x, double y, double w,
                   double h, TColor buttonFace = DefaultButtonFace());
// Fills the pixels x .. x + w - 1, y .. y + h - 1 in one colour, without
// outline; on an image of a higher pixel ratio every device pixel under them.
bool FillPixels(QPainter* canvas, TColor color, int x, int y, int w, int h,
                TColor buttonFace = DefaultButtonFace());
// Same box rule as DrawRectangle, the platform's ellipse inside it.
bool DrawEllipse(QPainter* canvas, TColor pen, TColor brush, int x1, int y1, int x2, int y2,
                 TColor buttonFace = DefaultButtonFace());
