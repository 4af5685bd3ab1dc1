#pragma once
// An RGBA raster held in memory: toolbar images, snapshots of forms, golden test pictures.
//
// Pixels are 32-bit words 0xAARRGGBB with premultiplied alpha, rows top to bottom without
// padding. That is the layout of a Cairo ARGB32 surface and of a top-down 32-bit DIB section on
// a little-endian machine, so both backends paint into an Image without converting. At() and
// Set() speak straight (not premultiplied) colours.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "ui/Geometry.h"

namespace ui {

struct Rgba {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  uint8_t a = 255;
  Color ToColor() const { return Color{r, g, b}; }
  bool operator==(const Rgba&) const = default;
};

class Image {
 public:
  Image() = default;
  // A fully transparent image; sizes below 0 are taken as 0.
  Image(int width, int height);
  // width * height straight RGBA pixels, four bytes each (r, g, b, a), rows top to bottom.
  static Image FromRgbaBytes(int width, int height, std::span<const uint8_t> rgba);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool IsEmpty() const { return width_ == 0 || height_ == 0; }
  Rect Bounds() const { return Rect{0, 0, width_, height_}; }

  // Straight colour of a pixel; points outside the image read as transparent black.
  Rgba At(int x, int y) const;
  // Points outside the image are ignored.
  void Set(int x, int y, Rgba pixel);
  void Fill(Rgba pixel);

  // The raw premultiplied words, for the backends.
  uint32_t* Data() { return pixels_.data(); }
  const uint32_t* Data() const { return pixels_.data(); }
  // Bytes from one row to the next.
  int Stride() const { return width_ * 4; }

  bool operator==(const Image&) const = default;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint32_t> pixels_;
};

// PNG files of 8-bit RGBA (written) and of 8-bit grey, RGB, RGBA, grey+alpha or palette
// without interlacing (read). WritePng returns false when the file cannot be written. ReadPng
// returns an empty image and sets error (when given) to a message naming the file and the
// fault when the file cannot be read or is not such a PNG.
bool WritePng(const Image& image, const std::string& path);
std::vector<uint8_t> EncodePng(const Image& image);
Image ReadPng(const std::string& path, std::string* error = nullptr);
Image DecodePng(std::span<const uint8_t> bytes, std::string* error = nullptr);

}  // namespace ui
