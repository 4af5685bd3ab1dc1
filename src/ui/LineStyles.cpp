// The edge-style table (dash pattern, band widths) and the corner-join rule.
#include "ui/LineStyles.h"

#include <algorithm>

#include "ui/Canvas.h"

namespace ui {
namespace {

// "1" is the line colour, "0" the gap colour; each repeats along the line.
constexpr std::string_view kDashPatterns[kDashPatternCount] = {
    "11111111",                  // 0 solid
    "00000000",                  // 1 gap only
    "11101110",                  // 2 dashed
    "11001100",                  // 3 dotted
    "10101010",                  // 4 hair
    "111111111000",              // 5 medium dashed
    "111111111000111000",        // 6 dash-dot
    "111000111000111111111000",  // 7 dash-dot-dot
    "011111111111011111",        // 8 slanted dash-dot, first band
    "111111111100111100",        // 9 slanted dash-dot, second band
};

constexpr LineStyleInfo One(int dash, int width) {
  return LineStyleInfo{width, 1, {LineBand{dash, width, 0}, LineBand{}, LineBand{}}};
}

// Indexed by LineStyle.
constexpr LineStyleInfo kStyles[kLineStyleCount] = {
    One(0, 1),  // Default (grid line)
    One(0, 1),  // Thin
    One(0, 2),  // Medium
    One(2, 1),  // Dashed
    One(3, 1),  // Dotted
    One(0, 3),  // Thick
    LineStyleInfo{3, 3, {LineBand{0, 1, 0}, LineBand{1, 1, 0}, LineBand{0, 1, 0}}},  // Double
    One(4, 1),                                                                       // Hair
    One(5, 2),                                                                       // MediumDashed
    One(6, 1),                                                                       // DashDot
    One(6, 2),                                                                // MediumDashDot
    One(7, 1),                                                                // DashDotDot
    One(7, 2),                                                                // MediumDashDotDot
    LineStyleInfo{2, 2, {LineBand{8, 1, 0}, LineBand{9, 1, 0}, LineBand{}}},  // SlantedDashDot
    LineStyleInfo{0, 0, {}},                                                  // None
};

}  // namespace

std::string_view DashPattern(int index) {
  return index >= 0 && index < kDashPatternCount ? kDashPatterns[index] : kDashPatterns[1];
}

const LineStyleInfo& LineStyleOf(LineStyle style) {
  const auto index = static_cast<unsigned>(style);
  return kStyles[index < kLineStyleCount ? index : static_cast<unsigned>(LineStyle::None)];
}

void DrawLineStyle(Canvas& canvas, const Rect& side, LineStyle style, Orientation orientation,
                   Color line, Color gap) {
  const LineStyleInfo& info = LineStyleOf(style);
  if (info.bandCount == 0 || side.IsEmpty()) return;
  const bool horizontal = orientation == Orientation::Horizontal;
  if (info.bandCount == 1) {
    const LineBand& band = info.bands[0];
    canvas.FillDash(side, orientation, DashPattern(band.dash), line, gap, band.shift);
    return;
  }
  // Bands side by side across the line, from the top (horizontal) or left (vertical) edge.
  int at = horizontal ? side.top : side.left;
  const int end = horizontal ? side.bottom : side.right;
  for (int i = 0; i < info.bandCount && at < end; ++i) {
    const LineBand& band = info.bands[i];
    const int next = i + 1 == info.bandCount ? end : std::min(end, at + band.width);
    const Rect r =
        horizontal ? Rect{side.left, at, side.right, next} : Rect{at, side.top, next, side.bottom};
    canvas.FillDash(r, orientation, DashPattern(band.dash), line, gap, band.shift);
    at = next;
  }
}

int JoinWeight(LineStyle style) {
  switch (style) {
    case LineStyle::None:
      return 0;
    case LineStyle::Default:
      return 1;
    case LineStyle::Medium:
    case LineStyle::MediumDashed:
    case LineStyle::MediumDashDot:
    case LineStyle::MediumDashDotDot:
    case LineStyle::SlantedDashDot:
      return 3;
    case LineStyle::Double:
      return 4;
    case LineStyle::Thick:
      return 5;
    default:
      break;
  }
  return static_cast<unsigned>(style) < kLineStyleCount ? 2 : 0;
}

Span LineSpan(LineStyle style) {
  const int t = LineStyleOf(style).thickness;
  if (t == 0) return Span{};
  const int first = -(t - 1) / 2;
  return Span{first, first + t - 1};
}

namespace {

bool Present(LineStyle s) { return JoinWeight(s) > 0; }

// The union of the spans of the lines present; the crossing pixel alone when there is none.
Span Crossing(LineStyle a, LineStyle b) {
  Span s{1, 0};  // empty, to be widened
  for (LineStyle style : {a, b}) {
    if (!Present(style)) continue;
    const Span l = LineSpan(style);
    if (s.first > s.last)
      s = l;
    else
      s = Span{std::min(s.first, l.first), std::max(s.last, l.last)};
  }
  return s.first > s.last ? Span{0, 0} : s;
}

void SetAll(std::array<int, 3>& reach, int value) { reach.fill(value); }

}  // namespace

CornerJoin JoinCorner(const CornerArms& arms) {
  CornerJoin join;
  const int horizontalCount = Present(arms.left) + Present(arms.right);
  const int verticalCount = Present(arms.top) + Present(arms.bottom);

  // Two double lines forming an L: band k of one meets band k of the other.
  if (horizontalCount == 1 && verticalCount == 1) {
    const LineStyle h = Present(arms.left) ? arms.left : arms.right;
    const LineStyle v = Present(arms.top) ? arms.top : arms.bottom;
    if (h == LineStyle::Double && v == LineStyle::Double) {
      const int s = (Present(arms.right) ? 1 : -1) * (Present(arms.bottom) ? 1 : -1);
      auto& hReach = Present(arms.left) ? join.left : join.right;
      auto& vReach = Present(arms.top) ? join.top : join.bottom;
      for (int b = 0; b < 3; ++b) {
        hReach[b] = (b - 1) * s;
        vReach[b] = (b - 1) * s;
      }
      return join;
    }
  }

  // The corner square: x over the vertical lines, y over the horizontal ones.
  const Span xs = Crossing(arms.top, arms.bottom);
  const Span ys = Crossing(arms.left, arms.right);
  const int horizontalWeight = std::max(JoinWeight(arms.left), JoinWeight(arms.right));
  const int verticalWeight = std::max(JoinWeight(arms.top), JoinWeight(arms.bottom));
  // Of the winning direction, the heavier arm (the left or top one on a tie) covers the
  // square; being the widest of all lines there, it leaves no hole.
  // On equal weights a line running through (two arms) beats a line ending there (one arm),
  // so the stem of a T abuts the bar; then the horizontal direction wins.
  const bool horizontalWins = horizontalWeight != verticalWeight ? horizontalWeight > verticalWeight
                                                                 : horizontalCount >= verticalCount;
  if (horizontalWins) {
    const bool leftCovers = JoinWeight(arms.left) >= JoinWeight(arms.right);
    SetAll(join.left, leftCovers ? xs.last : xs.first - 1);
    SetAll(join.right, leftCovers ? xs.last + 1 : xs.first);
    SetAll(join.top, ys.first - 1);
    SetAll(join.bottom, ys.last + 1);
  } else {
    const bool topCovers = JoinWeight(arms.top) >= JoinWeight(arms.bottom);
    SetAll(join.top, topCovers ? ys.last : ys.first - 1);
    SetAll(join.bottom, topCovers ? ys.last + 1 : ys.first);
    SetAll(join.left, xs.first - 1);
    SetAll(join.right, xs.last + 1);
  }
  return join;
}

}  // namespace ui
