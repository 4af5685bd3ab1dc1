#include "ui/Image.h"

#include <algorithm>

namespace ui {
namespace {

uint32_t Premultiply(Rgba p) {
  auto mul = [&](uint8_t c) { return static_cast<uint32_t>((c * p.a + 127) / 255); };
  return (static_cast<uint32_t>(p.a) << 24) | (mul(p.r) << 16) | (mul(p.g) << 8) | mul(p.b);
}

Rgba Unpremultiply(uint32_t w) {
  const uint32_t a = w >> 24;
  if (a == 0) return Rgba{0, 0, 0, 0};
  auto un = [&](uint32_t c) {
    return static_cast<uint8_t>(std::min<uint32_t>(255, (c * 255 + a / 2) / a));
  };
  return Rgba{un((w >> 16) & 0xFF), un((w >> 8) & 0xFF), un(w & 0xFF), static_cast<uint8_t>(a)};
}

}  // namespace

Image::Image(int width, int height)
    : width_(std::max(0, width)),
      height_(std::max(0, height)),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0u) {}

Image Image::FromRgbaBytes(int width, int height, std::span<const uint8_t> rgba) {
  Image image(width, height);
  const size_t count = std::min(image.pixels_.size(), rgba.size() / 4);
  for (size_t i = 0; i < count; ++i)
    image.pixels_[i] =
        Premultiply(Rgba{rgba[4 * i], rgba[4 * i + 1], rgba[4 * i + 2], rgba[4 * i + 3]});
  return image;
}

Rgba Image::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return Rgba{0, 0, 0, 0};
  return Unpremultiply(pixels_[static_cast<size_t>(y) * width_ + x]);
}

void Image::Set(int x, int y, Rgba pixel) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[static_cast<size_t>(y) * width_ + x] = Premultiply(pixel);
}

void Image::Fill(Rgba pixel) { std::fill(pixels_.begin(), pixels_.end(), Premultiply(pixel)); }

}  // namespace ui
