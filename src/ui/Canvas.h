#pragma once
// The drawing surface every painter of the toolkit and of the grid draws on: a window during
// painting, an Image (snapshots, tests), a printer or PDF page.
//
// Protocol. Coordinates are logical pixels relative to the current origin (PushOrigin moves
// it). Every operation is clipped to the intersection of the surface bounds and the clip stack
// (PushClip intersects, PopClip restores the previous clip). Pushes and pops must pair; a pop
// of an empty stack is ignored, and the backend restores its own state when the canvas is
// destroyed, whatever is still pushed. Lines, fills and text are painted without
// anti-aliasing, so the same calls give the same pixels on every run; fills, patterns and dash
// patterns align to the device origin, so neighbouring shapes join without a seam.
//
// Text is 8-bit text in the system code page. It is measured with the platform's font metrics
// (platform::SharedFontMetrics), the same numbers the layout uses, and every glyph is placed at
// the advance those metrics give, so a text painted here is exactly as wide as it was
// measured. Underline and strike-out are drawn by this class from the same metrics.
//
// The public operations are implemented here once (clip stack, origin, text layout, the edge
// styles); a backend implements the protected Device* primitives, which receive device
// coordinates and may assume the device clip has been set by DeviceSetClip.
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FontMetrics.h"
#include "ui/FillPatterns.h"
#include "ui/Geometry.h"
#include "ui/Image.h"
#include "ui/LineStyles.h"

// <windows.h> renames DrawText and TextOut to their wide-character functions; a Windows file
// that included it first must still see the canvas's own names.
#ifdef DrawText
#undef DrawText
#endif
#ifdef TextOut
#undef TextOut
#endif

namespace ui {

// A font described logically; backends turn it into a platform font.
struct Font {
  std::string name = "Arial";
  int size = 10;  // points
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  uint8_t charset = 1;  // the default character set

  // The description the platform metrics and the backends use (size in points at 96 dpi).
  platform::FontDescription Description() const;
  bool operator==(const Font&) const = default;
};

// Pen styles of free lines (control frames, focus rectangles, drawn icons). Cell borders use
// DrawEdge with a LineStyle instead.
enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot };

struct Pen {
  Color color;
  int width = 1;
  PenStyle style = PenStyle::Solid;
};

enum class HorzAlign { Left, Center, Right };
enum class VertAlign { Top, Center, Bottom };

struct TextFormat {
  HorzAlign horz = HorzAlign::Left;
  VertAlign vert = VertAlign::Top;
  // Break lines at blanks to the rectangle's width (and words wider than it between
  // characters); otherwise only line feeds (LF or CR LF) start a new line.
  bool wordBreak = false;
  // Line feeds are not interpreted: the whole text is one line.
  bool singleLine = false;
  // Clip the text to the rectangle (otherwise only to the current clip).
  bool clip = true;
};

class Canvas {
 public:
  virtual ~Canvas() = default;
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  // The surface's size in device pixels.
  virtual Size SurfaceSize() const = 0;

  // ---- Clip stack and origin ----
  void PushClip(const Rect& r);
  void PopClip();
  // The current clip in logical coordinates (the surface bounds when nothing is pushed).
  Rect ClipRect() const;
  // Moves the logical origin by delta (logical coordinates of the current origin).
  void PushOrigin(Point delta);
  void PopOrigin();
  Point Origin() const { return origin_; }

  // ---- Fills ----
  void FillRect(const Rect& r, Color color);
  // The pattern's 0 bits in pattern, its 1 bits in background.
  void FillPattern(const Rect& r, FillPattern pattern, Color patternColor, Color background);
  void FillBits(const Rect& r, const PatternBits& bits, Color patternColor, Color background);
  // Fills r with a dash pattern of "1" and "0" characters running along orientation: "1" in
  // line, "0" in gap; shift moves the pattern along the line by that many pixels.
  void FillDash(const Rect& r, Orientation orientation, std::string_view dash, Color line,
                Color gap, int shift = 0);
  // The four one-pixel sides inside r.
  void FrameRect(const Rect& r, Color color);
  void FillPolygon(std::span<const Point> points, Color color);

  // ---- Lines ----
  // From a to b, b excluded, as a pen moves; horizontal and vertical one-pixel lines cover
  // exactly the pixels between the points. A wider pen grows to the right and downwards.
  void DrawLine(Point a, Point b, const Pen& pen);
  void Polyline(std::span<const Point> points, const Pen& pen);
  // A cell border line into its side rectangle (see LineStyles.h).
  void DrawEdge(const Rect& side, LineStyle style, Orientation orientation, Color line, Color gap);

  // ---- Text ----
  // The metrics this canvas measures with and places glyphs by: the platform's shared metrics
  // of the font. A canvas for layout tests may answer fixed metrics instead.
  virtual const platform::IFontMetrics& MetricsOf(const Font& font) const;
  platform::TextMetrics FontMetrics(const Font& font) const;
  int TextWidth(const Font& font, std::string_view text) const;
  // The lines DrawText would paint into a rectangle of this width.
  std::vector<std::string> TextLines(const Font& font, std::string_view text, int width,
                                     const TextFormat& format) const;
  // Width and height of the block DrawText paints for a rectangle of this width.
  Size MeasureText(const Font& font, std::string_view text, int width,
                   const TextFormat& format) const;
  // One line with its cell's top-left corner at p (no line feeds interpreted).
  void TextOut(Point p, std::string_view text, const Font& font, Color color);
  // Laid out into r: lines, alignment, clipping as format says. Returns the block's height.
  int DrawText(const Rect& r, std::string_view text, const Font& font, Color color,
               const TextFormat& format);

  // ---- Images ----
  // The image with its top-left corner at p, blended by its alpha.
  void DrawImage(const Image& image, Point p);
  // The part src of the image with its top-left corner at p.
  void DrawImage(const Image& image, const Rect& src, Point p);

 protected:
  Canvas() = default;
  // The backend calls this once its surface exists, so the clip state starts valid.
  void ResetState();

  // Device primitives: device coordinates, already clipped by the device clip.
  virtual void DeviceSetClip(const Rect& clip) = 0;
  virtual void DeviceFillRect(const Rect& r, Color color) = 0;
  virtual void DeviceFillBits(const Rect& r, const PatternBits& bits, Color patternColor,
                              Color background) = 0;
  virtual void DeviceFillDash(const Rect& r, Orientation orientation, std::string_view dash,
                              Color line, Color gap, int shift) = 0;
  virtual void DeviceFillPolygon(std::span<const Point> points, Color color) = 0;
  virtual void DevicePolyline(std::span<const Point> points, const Pen& pen) = 0;
  // One line of text with its cell's top-left corner at p.
  virtual void DeviceText(Point p, std::string_view text, const Font& font, Color color) = 0;
  virtual void DeviceImage(const Image& image, const Rect& src, Point p) = 0;

 private:
  Rect DeviceClip() const;
  void ApplyClip();
  Rect ToDevice(const Rect& r) const { return r.Offset(origin_.x, origin_.y); }
  Point ToDevice(Point p) const { return Point{p.x + origin_.x, p.y + origin_.y}; }
  void Decorations(Point p, std::string_view text, const Font& font, Color color);

  std::vector<Rect> clips_;  // device coordinates, each already intersected with the previous
  std::vector<Point> origins_;
  Point origin_;
};

// Restores the clip when it leaves scope.
class ClipScope {
 public:
  ClipScope(Canvas& canvas, const Rect& r) : canvas_(canvas) { canvas_.PushClip(r); }
  ~ClipScope() { canvas_.PopClip(); }
  ClipScope(const ClipScope&) = delete;
  ClipScope& operator=(const ClipScope&) = delete;

 private:
  Canvas& canvas_;
};

// A canvas painting into image (which must outlive it). Pixels painted are opaque; what is
// not painted keeps its value. The image holds every pixel painted once the canvas is
// destroyed (backends that paint into a copy write it back then).
std::unique_ptr<Canvas> CreateImageCanvas(Image& image);

}  // namespace ui
