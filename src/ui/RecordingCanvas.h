#pragma once
// A canvas that paints nothing and records what it is asked to draw, after clipping and in
// device coordinates, for tests of painters and layouts: a test checks which rectangles were
// filled in which colours and where each text line went, without comparing pixels. It may
// measure with fixed metrics for every font, so layout tests need no font files.
#include <string>
#include <vector>

#include "ui/Canvas.h"

namespace ui {

struct CanvasCall {
  enum class Kind { FillRect, FillBits, FillDash, Polygon, Polyline, Text, Image };
  Kind kind = Kind::FillRect;
  Rect rect;  // the area filled; a text line's cell (width and height from the metrics); an image's
              // destination
  Rect clip;  // the device clip in force
  Color color;  // fill, pattern, line or text colour
  Color other;  // background or gap colour
  PatternBits bits{};
  std::string dash;
  Orientation orientation = Orientation::Horizontal;
  std::string text;
  Font font;
  std::vector<Point> points;
  Pen pen;
};

// One line such as "FillRect 0,0 10x4 #FF0000" or "Text 2,3 30x16 #000000 \"Total\"".
std::string Describe(const CanvasCall& call);

class RecordingCanvas : public Canvas {
 public:
  // metrics, when given, must outlive the canvas and measure every font.
  explicit RecordingCanvas(Size size, const platform::IFontMetrics* metrics = nullptr);

  Size SurfaceSize() const override { return size_; }
  const platform::IFontMetrics& MetricsOf(const Font& font) const override;

  const std::vector<CanvasCall>& Calls() const { return calls_; }
  // Describe() of every call, one a line.
  std::string Transcript() const;
  void Clear() { calls_.clear(); }

 protected:
  void DeviceSetClip(const Rect& clip) override { clip_ = clip; }
  void DeviceFillRect(const Rect& r, Color color) override;
  void DeviceFillBits(const Rect& r, const PatternBits& bits, Color patternColor,
                      Color background) override;
  void DeviceFillDash(const Rect& r, Orientation orientation, std::string_view dash, Color line,
                      Color gap, int shift) override;
  void DeviceFillPolygon(std::span<const Point> points, Color color) override;
  void DevicePolyline(std::span<const Point> points, const Pen& pen) override;
  void DeviceText(Point p, std::string_view text, const Font& font, Color color) override;
  void DeviceImage(const Image& image, const Rect& src, Point p) override;

 private:
  CanvasCall& Add(CanvasCall::Kind kind, const Rect& r);

  Size size_;
  const platform::IFontMetrics* metrics_;
  Rect clip_;
  std::vector<CanvasCall> calls_;
};

}  // namespace ui
