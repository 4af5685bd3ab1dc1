#pragma once
// The canvas of the Windows build: GDI on a device context (a window's paint context, a memory
// context for buffered painting, a printer page).
//
// The canvas saves the context's state when made (SaveDC) and restores it when destroyed; in
// between it owns the context's clip region, brush origin, selected font, text colour and
// background mode. It does not own the context. Glyphs are placed at the advances of the
// platform font metrics (ExtTextOut with explicit spacing), so text is as wide as measured.
#include <windows.h>

#include "ui/Canvas.h"
// The canvas's own DrawText and TextOut must keep their names in every file that includes
// this header.
#undef DrawText
#undef TextOut

#include <map>
#include <string>

namespace ui {

class GdiCanvas : public Canvas {
 public:
  GdiCanvas(HDC dc, Size size);
  ~GdiCanvas() override;

  Size SurfaceSize() const override { return size_; }
  HDC Context() const { return dc_; }

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

  // The pixels of a 32-bit top-down DIB section selected into the context, when the canvas
  // paints one (images are then blended directly into them).
  void SetDirectPixels(uint32_t* pixels, int stride) {
    pixels_ = pixels;
    stride_ = stride;
  }

 private:
  HDC dc_;
  Size size_;
  int saved_ = 0;
  Rect clip_;
  uint32_t* pixels_ = nullptr;
  int stride_ = 0;
  std::map<std::string, HFONT> fonts_;  // by face, size and style; deleted with the canvas
  HGDIOBJ originalFont_ = nullptr;
};

}  // namespace ui
