#pragma once
// Plain geometry and colour types of the toolkit. Coordinates are pixels, x to the right and
// y downwards. A Rect is half-open: it covers left <= x < right and top <= y < bottom, so its
// width is right - left, and an empty rectangle covers no pixel.
#include <algorithm>
#include <cstdint>

namespace ui {

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  static constexpr Rect FromSize(int x, int y, int width, int height) {
    return Rect{x, y, x + width, y + height};
  }
  // A rectangle given with both ends inclusive, as the sheet layout gives cells.
  static constexpr Rect FromInclusive(int left, int top, int right, int bottom) {
    return Rect{left, top, right + 1, bottom + 1};
  }

  constexpr int Width() const { return right - left; }
  constexpr int Height() const { return bottom - top; }
  constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
  constexpr bool Contains(Point p) const {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }
  constexpr Rect Offset(int dx, int dy) const {
    return Rect{left + dx, top + dy, right + dx, bottom + dy};
  }
  // Grows every side by d (shrinks for a negative d).
  constexpr Rect Inflate(int d) const { return Rect{left - d, top - d, right + d, bottom + d}; }
  // The common part; empty rectangles intersect to an empty rectangle.
  constexpr Rect Intersect(const Rect& o) const {
    Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
           std::min(bottom, o.bottom)};
    if (r.IsEmpty()) r = Rect{r.left, r.top, r.left, r.top};
    return r;
  }
  bool operator==(const Rect&) const = default;
};

// An opaque colour. Host and workbook colours are 0x00BBGGRR values; FromColorRef and
// ToColorRef convert.
struct Color {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;

  static constexpr Color FromColorRef(uint32_t bgr) {
    return Color{static_cast<uint8_t>(bgr & 0xFF), static_cast<uint8_t>((bgr >> 8) & 0xFF),
                 static_cast<uint8_t>((bgr >> 16) & 0xFF)};
  }
  constexpr uint32_t ToColorRef() const {
    return static_cast<uint32_t>(r) | (static_cast<uint32_t>(g) << 8) |
           (static_cast<uint32_t>(b) << 16);
  }
  bool operator==(const Color&) const = default;
};

namespace colors {
constexpr Color kBlack{0, 0, 0};
constexpr Color kWhite{255, 255, 255};
}  // namespace colors

// Direction of a line or of a dash pattern: along x or along y.
enum class Orientation { Horizontal = 0, Vertical = 1 };

}  // namespace ui
