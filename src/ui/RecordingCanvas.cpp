#include "ui/RecordingCanvas.h"

#include <cstdio>

namespace ui {
namespace {

std::string Hex(Color c) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", c.r, c.g, c.b);
  return buffer;
}

std::string Box(const Rect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.Width()) +
         "x" + std::to_string(r.Height());
}

}  // namespace

std::string Describe(const CanvasCall& c) {
  switch (c.kind) {
    case CanvasCall::Kind::FillRect:
      return "FillRect " + Box(c.rect) + " " + Hex(c.color);
    case CanvasCall::Kind::FillBits:
      return "FillBits " + Box(c.rect) + " " + Hex(c.color) + " on " + Hex(c.other);
    case CanvasCall::Kind::FillDash:
      return std::string("FillDash ") + Box(c.rect) +
             (c.orientation == Orientation::Horizontal ? " horizontal " : " vertical ") + c.dash +
             " " + Hex(c.color) + " gap " + Hex(c.other);
    case CanvasCall::Kind::Polygon:
      return "Polygon " + std::to_string(c.points.size()) + " points " + Hex(c.color);
    case CanvasCall::Kind::Polyline:
      return "Polyline " + std::to_string(c.points.size()) + " points " + Hex(c.color);
    case CanvasCall::Kind::Text:
      return "Text " + Box(c.rect) + " " + Hex(c.color) + " \"" + c.text + "\"";
    case CanvasCall::Kind::Image:
      return "Image " + Box(c.rect);
  }
  return "?";
}

RecordingCanvas::RecordingCanvas(Size size, const platform::IFontMetrics* metrics)
    : size_(size), metrics_(metrics) {
  ResetState();
}

const platform::IFontMetrics& RecordingCanvas::MetricsOf(const Font& font) const {
  return metrics_ ? *metrics_ : Canvas::MetricsOf(font);
}

std::string RecordingCanvas::Transcript() const {
  std::string out;
  for (const auto& call : calls_) out += Describe(call) + "\n";
  return out;
}

CanvasCall& RecordingCanvas::Add(CanvasCall::Kind kind, const Rect& r) {
  CanvasCall& call = calls_.emplace_back();
  call.kind = kind;
  call.rect = r;
  call.clip = clip_;
  return call;
}

void RecordingCanvas::DeviceFillRect(const Rect& r, Color color) {
  Add(CanvasCall::Kind::FillRect, r).color = color;
}

void RecordingCanvas::DeviceFillBits(const Rect& r, const PatternBits& bits, Color patternColor,
                                     Color background) {
  CanvasCall& call = Add(CanvasCall::Kind::FillBits, r);
  call.bits = bits;
  call.color = patternColor;
  call.other = background;
}

void RecordingCanvas::DeviceFillDash(const Rect& r, Orientation orientation, std::string_view dash,
                                     Color line, Color gap, int shift) {
  CanvasCall& call = Add(CanvasCall::Kind::FillDash, r);
  call.orientation = orientation;
  call.dash = std::string(dash);
  call.color = line;
  call.other = gap;
  call.points = {Point{shift, 0}};
}

void RecordingCanvas::DeviceFillPolygon(std::span<const Point> points, Color color) {
  CanvasCall& call = Add(CanvasCall::Kind::Polygon, Rect{});
  call.points.assign(points.begin(), points.end());
  call.color = color;
}

void RecordingCanvas::DevicePolyline(std::span<const Point> points, const Pen& pen) {
  CanvasCall& call = Add(CanvasCall::Kind::Polyline, Rect{});
  call.points.assign(points.begin(), points.end());
  call.pen = pen;
  call.color = pen.color;
}

void RecordingCanvas::DeviceText(Point p, std::string_view text, const Font& font, Color color) {
  const platform::IFontMetrics& metrics = MetricsOf(font);
  CanvasCall& call = Add(CanvasCall::Kind::Text, Rect::FromSize(p.x, p.y, metrics.TextWidth(text),
                                                                metrics.Metrics().height));
  call.text = std::string(text);
  call.font = font;
  call.color = color;
}

void RecordingCanvas::DeviceImage(const Image& image, const Rect& src, Point p) {
  Add(CanvasCall::Kind::Image, Rect::FromSize(p.x, p.y, src.Width(), src.Height()));
}

}  // namespace ui
