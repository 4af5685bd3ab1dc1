#pragma once
// Helpers of the canvas tests: a fresh image canvas, pixel predicates, and a grid of border
// lines joined at its corners as a sheet painter joins them.
#include <memory>
#include <vector>

#include "ui/Canvas.h"

namespace ui::testing {

constexpr Color kRed{255, 0, 0};
constexpr Color kYellow{255, 255, 0};
constexpr Color kPaleGreen{0xCC, 0xFF, 0xCC};
constexpr Color kNavy{0, 0, 0x80};
constexpr Rgba kOpaqueWhite{255, 255, 255, 255};

inline Rgba Opaque(Color c) { return Rgba{c.r, c.g, c.b, 255}; }

// An image of the size, white, and a canvas on it (destroy the canvas before reading pixels).
struct Surface {
  Image image;
  std::unique_ptr<Canvas> canvas;
  Surface(int w, int h) : image(w, h) {
    image.Fill(kOpaqueWhite);
    canvas = CreateImageCanvas(image);
  }
  Image& Finish() {
    canvas.reset();
    return image;
  }
};

// Border lines on grid lines xs x ys: h[j][i] runs along ys[j] from xs[i] to xs[i + 1],
// v[i][j] along xs[i] from ys[j] to ys[j + 1]. Each segment ends where JoinCorner says at the
// corners it touches. Lines are painted in line colour with gaps in gap colour.
struct BorderGrid {
  std::vector<int> xs, ys;
  std::vector<std::vector<LineStyle>> h;  // [row line j][column i]
  std::vector<std::vector<LineStyle>> v;  // [column line i][row j]

  LineStyle H(int j, int i) const {
    return i >= 0 && i < static_cast<int>(xs.size()) - 1 ? h[j][i] : LineStyle::None;
  }
  LineStyle V(int i, int j) const {
    return j >= 0 && j < static_cast<int>(ys.size()) - 1 ? v[i][j] : LineStyle::None;
  }
  CornerJoin Join(int i, int j) const {
    return JoinCorner(CornerArms{H(j, i - 1), V(i, j - 1), H(j, i), V(i, j)});
  }

  void Paint(Canvas& canvas, Color line, Color gap) const {
    auto bandReach = [](LineStyle style, const std::array<int, 3>& reach, int band) {
      return reach[style == LineStyle::Double ? band : 0];
    };
    for (size_t j = 0; j < ys.size(); ++j)
      for (size_t i = 0; i + 1 < xs.size(); ++i) {
        const LineStyle style = h[j][i];
        const LineStyleInfo& info = LineStyleOf(style);
        const CornerJoin from = Join(static_cast<int>(i), static_cast<int>(j));
        const CornerJoin to = Join(static_cast<int>(i) + 1, static_cast<int>(j));
        int y = ys[j] + LineSpan(style).first;
        for (int b = 0; b < info.bandCount; ++b) {
          const int x0 = xs[i] + bandReach(style, from.right, b);
          const int x1 = xs[i + 1] + bandReach(style, to.left, b);
          const Rect r{x0, y, x1 + 1, y + info.bands[b].width};
          canvas.FillDash(r, Orientation::Horizontal, DashPattern(info.bands[b].dash), line, gap);
          y += info.bands[b].width;
        }
      }
    for (size_t i = 0; i < xs.size(); ++i)
      for (size_t j = 0; j + 1 < ys.size(); ++j) {
        const LineStyle style = v[i][j];
        const LineStyleInfo& info = LineStyleOf(style);
        const CornerJoin from = Join(static_cast<int>(i), static_cast<int>(j));
        const CornerJoin to = Join(static_cast<int>(i), static_cast<int>(j) + 1);
        int x = xs[i] + LineSpan(style).first;
        for (int b = 0; b < info.bandCount; ++b) {
          const int y0 = ys[j] + bandReach(style, from.bottom, b);
          const int y1 = ys[j + 1] + bandReach(style, to.top, b);
          const Rect r{x, y0, x + info.bands[b].width, y1 + 1};
          canvas.FillDash(r, Orientation::Vertical, DashPattern(info.bands[b].dash), line, gap);
          x += info.bands[b].width;
        }
      }
  }
};

}  // namespace ui::testing
