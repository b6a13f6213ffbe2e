#pragma once

#include <QFont>
#include <QPen>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "graphs/smr_GraphDrawing.h"
#include "graphs/smr_GraphGeometry.h"

class QImage;
class QPainter;

struct TSMGraphValue {
  QString Caption;  // kept with the point; no kind draws it
  double X = 0;
  double Y = 0;
};
using TSMGraphValueArray = std::vector<TSMGraphValue>;

// A font and the colour its text is drawn in.
struct TSMFont {
  QFont Font;
  TColor Color = clBlack;
};

struct TSMGraphHeader {
  QString Text;  // not drawn, and takes no room, when blank
  TSMFont Font;
  std::uint8_t Alignment = 2;  // 0 left, 1 right, 2 centred; others draw as left
};

enum TSMGraphKind : std::uint8_t {
  gkSquarePoints = 0,
  gkRoundPoints = 1,
  gkLineSquarePoints = 2,
  gkLineRoundPoints = 3,
  gkLine = 4,
  gkHorizontalBars = 5,
  gkVerticalBars = 6,
};

// The text of an axis label: the value with that many decimals, in the
// user's locale with thousands separators. The program passes its own
// number formatting in; the default has no thousands separators.
using TLabelText = std::function<QString(double value, int decimals)>;
QString PlainLabelText(double value, int decimals);

// Draws one small chart into a rectangle of a 32-bit image. The owner sets
// the public fields and the points, then calls Draw as often as the picture
// must be repainted. Holds no document and no widget. All coordinates are
// logical pixels: an image with a device pixel ratio above 1 gets the same
// picture drawn at its finer resolution.
class TSMGraph {
 public:
  TSMGraph();

  double XMin = 1.0;
  double XMax = 10.0;
  double YMin = 0.0;
  double YMax = 10.0;
  double BarWidth = 0.05;  // fraction of the plot width
  TSMGraphValueArray Values;
  std::uint8_t GraphKind = gkHorizontalBars;
  TColor AxisColor = clBlack;
  TColorArray Colors{0x0000FF};  // bottom of the plot first
  TColor BorderColor = clNone;
  TColor BackgroundColor = clNone;
  QPen LinePen;
  double XLabelStart = 1.0;
  double XLabelStep = 1.0;
  std::int32_t XLabelCount = -1;
  double YLabelStart = 0.0;
  double YLabelStep = 1.0;
  std::int32_t YLabelCount = -1;
  std::string XLabelFormat = "%.0n";
  std::string YLabelFormat = "%.0n";
  TSMFont LabelFont;
  QImage* Bitmap = nullptr;  // target of the last Draw, not owned
  TGraphRect Bounds;
  TSMGraphHeader Header;
  TSMGraphHeader Footer;
  TLabelText LabelText = PlainLabelText;
  TColor ButtonFace;  // what clBtnFace is drawn as

  void SetColors(const TColorArray& colors) { Colors = colors; }
  void AddValue(const QString& caption, double x, double y) { Values.push_back({caption, x, y}); }
  void ClearValues() { Values.clear(); }

  // Does nothing when either range is narrower than 0.000001. Converts an
  // image of another depth to 32 bits first.
  void Draw(QImage& bitmap, const TGraphRect& rect);
  // Where Draw puts the top heading inside `rect`; empty when there is none.
  TGraphRect HeaderBox(const TGraphRect& rect) const;

 private:
  struct TLabel {
    double Value;
    QString Text;
  };
  std::vector<TLabel> Labels(bool xAxis) const;
  void TextOut(QPainter& canvas, const TSMFont& font, int x, int y, const QString& text) const;
  TGraphRect DrawHeaders(QPainter& canvas) const;
  // Pen, captions and label margins shared by both frames.
  TGraphRect StartFrame(QPainter& canvas, const std::vector<TLabel>& bottomLabels,
                        const std::vector<TLabel>& sideLabels) const;
  TGraphRect DrawAxes(QPainter& canvas) const;
  TGraphRect DrawAxesSwapped(QPainter& canvas) const;
  void DrawMarker(QPainter& canvas, const TDataArea& area, int offset, int height,
                  bool round) const;
  void DrawPoints(QPainter& canvas, const TGraphRect& plot) const;
  void LinePass(QPainter& canvas, const TDataArea& area, bool centred) const;
  void DrawPolyline(QPainter& canvas, const TGraphRect& plot) const;
  void DrawPolylinePoints(QPainter& canvas, const TGraphRect& plot) const;
  void DrawHorizontalBars(QPainter& canvas, const TGraphRect& plot) const;
  void DrawVerticalBars(QPainter& canvas, const TGraphRect& plot) const;
};
