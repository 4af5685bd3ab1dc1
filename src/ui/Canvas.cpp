// The backend-independent half of the canvas: clip stack, origin, the decomposition of
// axis-aligned pen lines into rectangle fills (so both backends give the same pixels), text
// layout over the platform metrics, and the clipping of image blits.
#include "ui/Canvas.h"

#include <algorithm>

namespace ui {

platform::FontDescription Font::Description() const {
  platform::FontDescription d;
  d.face = name;
  d.size = std::clamp(size, 1, 1638);
  d.bold = bold;
  d.italic = italic;
  return d;
}

namespace {

// Dash strings of the free pen styles ("1" painted, "0" left alone).
std::string_view PenDash(PenStyle style) {
  switch (style) {
    case PenStyle::Dash:
      return "11111100";
    case PenStyle::Dot:
      return "10";
    case PenStyle::DashDot:
      return "111111001100";
    case PenStyle::DashDotDot:
      return "1111110011001100";
    case PenStyle::Solid:
      break;
  }
  return "1";
}

int Mod(int a, int n) {
  const int m = a % n;
  return m < 0 ? m + n : m;
}

}  // namespace

void Canvas::ResetState() {
  clips_.clear();
  origins_.clear();
  origin_ = Point{};
  DeviceSetClip(DeviceClip());
}

Rect Canvas::DeviceClip() const {
  const Size s = SurfaceSize();
  const Rect bounds{0, 0, s.width, s.height};
  return clips_.empty() ? bounds : clips_.back().Intersect(bounds);
}

void Canvas::ApplyClip() { DeviceSetClip(DeviceClip()); }

void Canvas::PushClip(const Rect& r) {
  clips_.push_back(ToDevice(r).Intersect(DeviceClip()));
  ApplyClip();
}

void Canvas::PopClip() {
  if (clips_.empty()) return;
  clips_.pop_back();
  ApplyClip();
}

Rect Canvas::ClipRect() const { return DeviceClip().Offset(-origin_.x, -origin_.y); }

void Canvas::PushOrigin(Point delta) {
  origins_.push_back(origin_);
  origin_ = Point{origin_.x + delta.x, origin_.y + delta.y};
}

void Canvas::PopOrigin() {
  if (origins_.empty()) return;
  origin_ = origins_.back();
  origins_.pop_back();
}

void Canvas::FillRect(const Rect& r, Color color) {
  const Rect d = ToDevice(r).Intersect(DeviceClip());
  if (!d.IsEmpty()) DeviceFillRect(d, color);
}

void Canvas::FillPattern(const Rect& r, ui::FillPattern pattern, Color patternColor,
                         Color background) {
  if (pattern == ui::FillPattern::Solid) {
    // Every bit of the solid pattern is set: the background colour alone.
    FillRect(r, background);
    return;
  }
  FillBits(r, FillPatternBits(pattern), patternColor, background);
}

void Canvas::FillBits(const Rect& r, const PatternBits& bits, Color patternColor,
                      Color background) {
  const Rect d = ToDevice(r).Intersect(DeviceClip());
  if (!d.IsEmpty()) DeviceFillBits(d, bits, patternColor, background);
}

void Canvas::FillDash(const Rect& r, Orientation orientation, std::string_view dash, Color line,
                      Color gap, int shift) {
  const Rect d = ToDevice(r).Intersect(DeviceClip());
  if (d.IsEmpty()) return;
  if (dash.empty() || dash.find('0') == std::string_view::npos) {
    DeviceFillRect(d, line);
  } else if (dash.find('1') == std::string_view::npos) {
    DeviceFillRect(d, gap);
  } else {
    DeviceFillDash(d, orientation, dash, line, gap, shift);
  }
}

void Canvas::FrameRect(const Rect& r, Color color) {
  if (r.IsEmpty()) return;
  FillRect(Rect{r.left, r.top, r.right, r.top + 1}, color);
  FillRect(Rect{r.left, r.bottom - 1, r.right, r.bottom}, color);
  FillRect(Rect{r.left, r.top + 1, r.left + 1, r.bottom - 1}, color);
  FillRect(Rect{r.right - 1, r.top + 1, r.right, r.bottom - 1}, color);
}

void Canvas::FillPolygon(std::span<const Point> points, Color color) {
  if (points.size() < 3) return;
  std::vector<Point> device;
  device.reserve(points.size());
  for (Point p : points) device.push_back(ToDevice(p));
  DeviceFillPolygon(device, color);
}

void Canvas::DrawLine(Point a, Point b, const Pen& pen) {
  if (a == b || pen.width < 1) return;
  if (a.y != b.y && a.x != b.x) {
    const Point device[2] = {ToDevice(a), ToDevice(b)};
    DevicePolyline(device, pen);
    return;
  }
  // Axis-aligned: the covered pixels as rectangles; a dashed pen paints its "1" runs only,
  // counted from the device origin along the line.
  const bool horizontal = a.y == b.y;
  const int pa = horizontal ? a.x : a.y;
  const int pb = horizontal ? b.x : b.y;
  // b is excluded: forwards [a, b), backwards (b, a].
  const int begin = pa < pb ? pa : pb + 1;
  const int to = pa < pb ? pb : pa + 1;
  const int across = horizontal ? a.y : a.x;
  const int offset = horizontal ? origin_.x : origin_.y;
  auto fill = [&](int s, int e) {
    const Rect r = horizontal ? Rect{s, across, e, across + pen.width}
                              : Rect{across, s, across + pen.width, e};
    FillRect(r, pen.color);
  };
  const std::string_view dash = PenDash(pen.style);
  if (dash.size() == 1) {
    fill(begin, to);
    return;
  }
  const int n = static_cast<int>(dash.size());
  int runStart = -1;
  for (int i = begin; i < to; ++i) {
    const bool on = dash[Mod(i + offset, n)] == '1';
    if (on && runStart < 0) runStart = i;
    if (!on && runStart >= 0) {
      fill(runStart, i);
      runStart = -1;
    }
  }
  if (runStart >= 0) fill(runStart, to);
}

void Canvas::Polyline(std::span<const Point> points, const Pen& pen) {
  for (size_t i = 1; i < points.size(); ++i) DrawLine(points[i - 1], points[i], pen);
}

void Canvas::DrawEdge(const Rect& side, LineStyle style, Orientation orientation, Color line,
                      Color gap) {
  DrawLineStyle(*this, side, style, orientation, line, gap);
}

const platform::IFontMetrics& Canvas::MetricsOf(const Font& font) const {
  return platform::SharedFontMetrics(font.Description());
}

platform::TextMetrics Canvas::FontMetrics(const Font& font) const {
  return MetricsOf(font).Metrics();
}

int Canvas::TextWidth(const Font& font, std::string_view text) const {
  return MetricsOf(font).TextWidth(text);
}

std::vector<std::string> Canvas::TextLines(const Font& font, std::string_view text, int width,
                                           const TextFormat& format) const {
  if (format.singleLine) return {std::string(text)};
  if (format.wordBreak) return platform::BreakLines(MetricsOf(font), text, width);
  std::vector<std::string> lines;
  size_t start = 0;
  while (true) {
    const size_t lf = text.find('\n', start);
    std::string_view line =
        text.substr(start, lf == std::string_view::npos ? text.npos : lf - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    if (lf == std::string_view::npos) break;
    start = lf + 1;
  }
  return lines;
}

Size Canvas::MeasureText(const Font& font, std::string_view text, int width,
                         const TextFormat& format) const {
  const auto lines = TextLines(font, text, width, format);
  const auto& metrics = MetricsOf(font);
  Size s{0, static_cast<int>(lines.size()) * metrics.Metrics().height};
  for (const auto& line : lines) s.width = std::max(s.width, metrics.TextWidth(line));
  return s;
}

void Canvas::TextOut(Point p, std::string_view text, const Font& font, Color color) {
  if (text.empty() || DeviceClip().IsEmpty()) return;
  const Point d = ToDevice(p);
  DeviceText(d, text, font, color);
  Decorations(d, text, font, color);
}

// Underline and strike-out from the platform metrics, the same on both backends: one pixel
// (more for large fonts) below the baseline, and a third of the ascent above it.
void Canvas::Decorations(Point d, std::string_view text, const Font& font, Color color) {
  if (!font.underline && !font.strikeOut) return;
  const auto& metrics = MetricsOf(font);
  const platform::TextMetrics m = metrics.Metrics();
  const int width = metrics.TextWidth(text);
  const int thickness = std::max(1, font.Description().PixelSize() / 14);
  const Rect clip = DeviceClip();
  auto bar = [&](int y) {
    const Rect r = Rect{d.x, y, d.x + width, y + thickness}.Intersect(clip);
    if (!r.IsEmpty()) DeviceFillRect(r, color);
  };
  if (font.underline) bar(d.y + m.ascent + 1);
  if (font.strikeOut) bar(d.y + m.ascent - m.ascent / 3);
}

int Canvas::DrawText(const Rect& r, std::string_view text, const Font& font, Color color,
                     const TextFormat& format) {
  const auto lines = TextLines(font, text, r.Width(), format);
  const auto& metrics = MetricsOf(font);
  const int lineHeight = metrics.Metrics().height;
  const int block = static_cast<int>(lines.size()) * lineHeight;
  int y = r.top;
  if (format.vert == VertAlign::Center) y = r.top + (r.Height() - block) / 2;
  if (format.vert == VertAlign::Bottom) y = r.bottom - block;
  if (format.clip) PushClip(r);
  const Rect clip = ClipRect();
  for (const auto& line : lines) {
    // Lines wholly outside the clip are skipped; a long text costs what is visible.
    if (y < clip.bottom && y + lineHeight > clip.top) {
      const int w = metrics.TextWidth(line);
      int x = r.left;
      if (format.horz == HorzAlign::Center) x = r.left + (r.Width() - w) / 2;
      if (format.horz == HorzAlign::Right) x = r.right - w;
      TextOut(Point{x, y}, line, font, color);
    }
    y += lineHeight;
  }
  if (format.clip) PopClip();
  return block;
}

void Canvas::DrawImage(const Image& image, Point p) { DrawImage(image, image.Bounds(), p); }

void Canvas::DrawImage(const Image& image, const Rect& src, Point p) {
  const Rect s = src.Intersect(image.Bounds());
  if (s.IsEmpty()) return;
  const Point d = ToDevice(Point{p.x + (s.left - src.left), p.y + (s.top - src.top)});
  const Rect dest = Rect::FromSize(d.x, d.y, s.Width(), s.Height());
  const Rect visible = dest.Intersect(DeviceClip());
  if (visible.IsEmpty()) return;
  const Rect part = visible.Offset(s.left - dest.left, s.top - dest.top);
  DeviceImage(image, part, Point{visible.left, visible.top});
}

}  // namespace ui
