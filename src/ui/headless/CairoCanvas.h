#pragma once
// The canvas of the portable build: Cairo, with text from the font files the platform metrics
// read (FreeType), so that painted text has exactly the measured advances.
//
// Lines and fills are drawn without anti-aliasing on pixel boundaries; text is grey-scale
// anti-aliased. A CairoCanvas over a caller's context (a PDF or window surface) saves the
// context's state when made and restores it when destroyed; it replaces the context's clip with
// its own clip stack while it lives, and takes the context's user space as device space.
#include <cairo.h>

#include <cstdint>
#include <functional>
#include <map>
#include <tuple>

#include "ui/Canvas.h"

namespace ui {

class CairoCanvas : public Canvas {
 public:
  // cr stays the caller's; size is the surface's size in user units.
  CairoCanvas(cairo_t* cr, Size size);
  ~CairoCanvas() override;

  Size SurfaceSize() const override { return size_; }
  cairo_t* Context() const { return cr_; }

 protected:
  void DeviceSetClip(const Rect& clip) override;
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
  void SetSource(Color color);
  // Bits or dash, two colours, width, height: what a repeating pattern shows.
  using PatternKey = std::tuple<uint64_t, uint32_t, uint32_t, int, int>;
  // The repeating pattern of a key, made from pixel(x, y) on first use and cached.
  cairo_pattern_t* RepeatingPattern(const PatternKey& key,
                                    const std::function<uint32_t(int, int)>& pixel);

  cairo_t* cr_;
  Size size_;
  std::map<PatternKey, cairo_pattern_t*> patterns_;
};

}  // namespace ui
