#pragma once
// Cell border lines: the 14 drawn edge styles (and the grid line and "none"), their dash
// patterns and band structure, and the rule by which thick and double lines meet at a corner.
//
// A border line occupies a side rectangle that the layout gives it. It is drawn as one or more
// bands, each a rectangle filled with a dash pattern running along the line: a "1" is painted
// in the line colour, a "0" in the gap colour (the cell's fill background), so gaps are never
// transparent. Dash patterns repeat from the canvas's device origin along the line.
#include <array>
#include <cstdint>
#include <string_view>

#include "ui/Geometry.h"

namespace ui {

class Canvas;

// The order is the workbook's edge-style order, so a style value converts by static_cast.
enum class LineStyle : uint8_t {
  Default,  // a grid line
  Thin,
  Medium,
  Dashed,
  Dotted,
  Thick,
  Double,
  Hair,
  MediumDashed,
  DashDot,
  MediumDashDot,
  DashDotDot,
  MediumDashDotDot,
  SlantedDashDot,
  None,
};
constexpr int kLineStyleCount = 15;

// The ten dash patterns; pattern 1 ("00000000") paints only gap.
constexpr int kDashPatternCount = 10;
std::string_view DashPattern(int index);

// One band of a line: a dash pattern, and the band's width across the line in pixels, laid
// side by side from the line's top (horizontal) or left (vertical) edge.
struct LineBand {
  int dash = 0;
  int width = 1;
  // Pixels the pattern is shifted along the line (the second band of slanted dash-dot).
  int shift = 0;
};

struct LineStyleInfo {
  int thickness = 0;  // sum of the band widths; 0 for None
  int bandCount = 0;
  std::array<LineBand, 3> bands{};
};

// Styles beyond None are taken as None.
const LineStyleInfo& LineStyleOf(LineStyle style);

// Draws one border line into its side rectangle: the bands of the style, one after the other
// across the line, each as wide as the table says (the last band takes what is left of a
// rectangle that is wider than the style). Nothing is drawn for None.
void DrawLineStyle(Canvas& canvas, const Rect& side, LineStyle style, Orientation orientation,
                   Color line, Color gap);

// ---- Corner joins -------------------------------------------------------------------------
// Up to four border lines meet at the corner where a horizontal and a vertical grid line
// cross. Pixel offsets are relative to that crossing pixel (0, 0). Across its direction a line
// of thickness t covers offsets -(t-1)/2 .. t/2 (1: 0; 2: 0..1; 3: -1..1); the bands of a
// double line lie at -1, 0 and +1.
//
// Rule: the heavier direction runs through the corner square (the pixels where both
// directions' lines overlap, or the crossing pixel alone), the lighter direction stops at its
// edge, so no pixel is painted by two lines of different styles. Weights: none 0, grid line 1,
// thin, hair, dashed, dotted and dash-dot lines 2, medium lines 3, double 4, thick 5; on a tie
// the direction whose line runs through (two arms) beats one that ends at the corner (the stem
// of a T abuts its bar), and then the horizontal direction wins. Of two arms of the winning
// direction the heavier one (the left or top one on a tie) covers the square. Exception: where
// exactly two double lines meet as an L (one horizontal and one vertical arm, nothing else), the
// bands are mitred: outer band to outer band, gap to gap, inner to inner, so the corner looks like
// the corner of a double frame.
struct CornerArms {
  LineStyle left = LineStyle::None;    // horizontal line ending at the corner from the left
  LineStyle top = LineStyle::None;     // vertical line ending at the corner from above
  LineStyle right = LineStyle::None;   // horizontal line leaving the corner to the right
  LineStyle bottom = LineStyle::None;  // vertical line leaving the corner downwards
};

// For each arm and each of its bands (index 0 the top or left band; lines of one band use
// entry 0 only) the offset of the arm's end pixel along its direction: the left arm covers
// x <= left[b], the right arm x >= right[b], the top arm y <= top[b], the bottom arm
// y >= bottom[b].
struct CornerJoin {
  std::array<int, 3> left{};
  std::array<int, 3> top{};
  std::array<int, 3> right{};
  std::array<int, 3> bottom{};
  bool operator==(const CornerJoin&) const = default;
};

CornerJoin JoinCorner(const CornerArms& arms);

// Weight of a style in the corner rule above.
int JoinWeight(LineStyle style);
// First and last offset across the line that a style covers (see above); {0, -1} for None.
struct Span {
  int first = 0;
  int last = -1;
  bool operator==(const Span&) const = default;
};
Span LineSpan(LineStyle style);

}  // namespace ui
