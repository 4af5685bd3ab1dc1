// The fill-pattern and edge-style tables: counts and symmetries a mistyped row or band would
// break, and the corner-join rule checked on every combination of arms by rasterising it.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "ui/FillPatterns.h"
#include "ui/LineStyles.h"

namespace ui {
namespace {

enum Shape { kAny, kRows, kColumns, kRising, kFalling, kChecker };

struct PatternCase {
  FillPattern pattern;
  int patternPixels;  // 0 bits of 64
  Shape shape;
};

constexpr PatternCase kPatternCases[] = {
    {FillPattern::Solid, 0, kRows},
    {FillPattern::Gray75, 48, kAny},
    {FillPattern::Gray50, 32, kChecker},
    {FillPattern::Gray25, 16, kAny},
    {FillPattern::Gray12, 8, kAny},
    {FillPattern::Gray6, 4, kAny},
    {FillPattern::HorzStrip, 32, kRows},
    {FillPattern::VertStrip, 32, kColumns},
    {FillPattern::RevDiagonalStrip, 32, kFalling},
    {FillPattern::DiagonalStrip, 32, kRising},
    {FillPattern::DiagCrossHatch, 32, kAny},
    {FillPattern::ThickCrossHatch, 48, kAny},
    {FillPattern::ThinHorzStrip, 16, kRows},
    {FillPattern::ThinVertStrip, 16, kColumns},
    {FillPattern::ThinRevDiagonalStrip, 16, kFalling},
    {FillPattern::ThinDiagonalStrip, 16, kRising},
    {FillPattern::ThinDiagCrossHatch, 28, kAny},
    {FillPattern::ThinThickCrossHatch, 24, kAny},
};

TEST(FillPatternTable, CountsAndSymmetriesOfEveryPattern) {
  static_assert(std::size(kPatternCases) == kFillPatternCount);
  std::set<PatternBits> distinct;
  for (const auto& c : kPatternCases) {
    const PatternBits& bits = FillPatternBits(c.pattern);
    distinct.insert(bits);
    auto bg = [&](int x, int y) { return PatternBitIsBackground(bits, x, y); };
    int pattern = 0;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        pattern += !bg(x, y);
        switch (c.shape) {
          case kRows:
            EXPECT_EQ(bg(x, y), bg(x + 1, y)) << int(c.pattern);
            break;
          case kColumns:
            EXPECT_EQ(bg(x, y), bg(x, y + 1)) << int(c.pattern);
            break;
          case kRising:
            EXPECT_EQ(bg(x, y + 1), bg(x + 1, y)) << int(c.pattern);
            break;
          case kFalling:
            EXPECT_EQ(bg(x + 1, y + 1), bg(x, y)) << int(c.pattern);
            break;
          case kChecker:
            EXPECT_NE(bg(x, y), bg(x + 1, y)) << int(c.pattern);
            EXPECT_NE(bg(x, y), bg(x, y + 1)) << int(c.pattern);
            break;
          case kAny:
            break;
        }
      }
    EXPECT_EQ(pattern, c.patternPixels) << "pattern " << int(c.pattern);
  }
  EXPECT_EQ(distinct.size(), size_t{kFillPatternCount});
  // The pattern repeats every 8 pixels in both directions, also at negative coordinates.
  const PatternBits& g25 = FillPatternBits(FillPattern::Gray25);
  EXPECT_EQ(PatternBitIsBackground(g25, -1, -3), PatternBitIsBackground(g25, 7, 5));
  EXPECT_EQ(&FillPatternBits(static_cast<FillPattern>(99)), &FillPatternBits(FillPattern::Solid));
}

struct StyleCase {
  LineStyle style;
  int thickness;
  std::vector<int> dashes;  // per band
};

TEST(LineStyleTable, BandsAndDashesOfEveryStyle) {
  const StyleCase cases[] = {
      {LineStyle::Default, 1, {0}},
      {LineStyle::Thin, 1, {0}},
      {LineStyle::Medium, 2, {0}},
      {LineStyle::Dashed, 1, {2}},
      {LineStyle::Dotted, 1, {3}},
      {LineStyle::Thick, 3, {0}},
      {LineStyle::Double, 3, {0, 1, 0}},
      {LineStyle::Hair, 1, {4}},
      {LineStyle::MediumDashed, 2, {5}},
      {LineStyle::DashDot, 1, {6}},
      {LineStyle::MediumDashDot, 2, {6}},
      {LineStyle::DashDotDot, 1, {7}},
      {LineStyle::MediumDashDotDot, 2, {7}},
      {LineStyle::SlantedDashDot, 2, {8, 9}},
      {LineStyle::None, 0, {}},
  };
  static_assert(std::size(cases) == kLineStyleCount);
  for (const auto& c : cases) {
    const LineStyleInfo& info = LineStyleOf(c.style);
    ASSERT_EQ(info.bandCount, static_cast<int>(c.dashes.size())) << int(c.style);
    int sum = 0;
    for (int b = 0; b < info.bandCount; ++b) {
      EXPECT_EQ(info.bands[b].dash, c.dashes[b]) << int(c.style) << " band " << b;
      sum += info.bands[b].width;
    }
    EXPECT_EQ(info.thickness, c.thickness) << int(c.style);
    EXPECT_EQ(sum, c.thickness) << int(c.style);
  }
  // Dash patterns: only "0" and "1"; pattern 0 all line, pattern 1 all gap; the lengths the
  // drawn lines depend on.
  const size_t lengths[kDashPatternCount] = {8, 8, 8, 8, 8, 12, 18, 24, 18, 18};
  for (int i = 0; i < kDashPatternCount; ++i) {
    const std::string_view d = DashPattern(i);
    EXPECT_EQ(d.size(), lengths[i]) << i;
    EXPECT_EQ(d.find_first_not_of("01"), std::string_view::npos) << i;
  }
  EXPECT_EQ(DashPattern(0).find('0'), std::string_view::npos);
  EXPECT_EQ(DashPattern(1).find('1'), std::string_view::npos);
  EXPECT_EQ(&LineStyleOf(static_cast<LineStyle>(40)), &LineStyleOf(LineStyle::None));
}

// ---- Corner joins ----
// Rasterises the four arms of a corner as the painter does from a CornerJoin, four pixels
// long, recording for each pixel which arm paints it and whether in line or gap colour.
struct Paint {
  int arm;  // 0 left, 1 top, 2 right, 3 bottom
  bool line;
};
using Raster = std::map<std::pair<int, int>, std::vector<Paint>>;

Raster Rasterise(const CornerArms& arms, const CornerJoin& join) {
  Raster raster;
  const LineStyle styles[4] = {arms.left, arms.top, arms.right, arms.bottom};
  const std::array<int, 3>* reach[4] = {&join.left, &join.top, &join.right, &join.bottom};
  for (int arm = 0; arm < 4; ++arm) {
    const LineStyleInfo& info = LineStyleOf(styles[arm]);
    if (JoinWeight(styles[arm]) == 0) continue;
    const bool horizontal = arm == 0 || arm == 2;
    int across = LineSpan(styles[arm]).first;
    for (int b = 0; b < info.bandCount; ++b) {
      const int end = (*reach[arm])[info.bandCount > 1 && styles[arm] == LineStyle::Double ? b : 0];
      const int from = (arm == 0 || arm == 1) ? end - 6 : end;
      const int to = (arm == 0 || arm == 1) ? end : end + 6;
      for (int w = 0; w < info.bands[b].width; ++w, ++across)
        for (int along = from; along <= to; ++along) {
          const auto pos =
              horizontal ? std::make_pair(along, across) : std::make_pair(across, along);
          raster[pos].push_back(Paint{arm, info.bands[b].dash != 1});
        }
    }
  }
  return raster;
}

TEST(CornerJoin, NoPixelPaintedTwiceDifferentlyAndNoGapAtTheCrossing) {
  const LineStyle styles[] = {LineStyle::None,   LineStyle::Default,       LineStyle::Thin,
                              LineStyle::Medium, LineStyle::Thick,         LineStyle::Double,
                              LineStyle::Dashed, LineStyle::SlantedDashDot};
  int checked = 0;
  for (LineStyle l : styles)
    for (LineStyle t : styles)
      for (LineStyle r : styles)
        for (LineStyle b : styles) {
          const CornerArms arms{l, t, r, b};
          const CornerJoin join = JoinCorner(arms);
          const Raster raster = Rasterise(arms, join);
          const std::string what = "arms " + std::to_string(int(l)) + "," + std::to_string(int(t)) +
                                   "," + std::to_string(int(r)) + "," + std::to_string(int(b));
          const int present =
              (JoinWeight(l) > 0) + (JoinWeight(t) > 0) + (JoinWeight(r) > 0) + (JoinWeight(b) > 0);
          const bool horizontalDouble = l == LineStyle::Double || r == LineStyle::Double;
          const bool verticalDouble = t == LineStyle::Double || b == LineStyle::Double;
          const bool mitre = present == 2 && horizontalDouble && verticalDouble;
          for (const auto& [pos, paints] : raster) {
            // Two arms may share a pixel only in the mitred L of two double lines, and there
            // only where both paint the same kind of band; anything else would show one line
            // painted over another.
            for (size_t i = 1; i < paints.size(); ++i)
              EXPECT_TRUE(mitre && paints[i].line == paints[0].line)
                  << what << " pixel " << pos.first << "," << pos.second << " painted twice";
          }
          // Two arms of one direction meet without a gap: each pixel of the line between the
          // far ends is painted.
          if (JoinWeight(l) > 0 && JoinWeight(r) > 0 && l == r) {
            for (int x = join.left[0] - 3; x <= join.right[0] + 3; ++x)
              EXPECT_TRUE(raster.count({x, 0})) << what << " gap at x " << x;
          }
          if (JoinWeight(t) > 0 && JoinWeight(b) > 0 && t == b) {
            for (int y = join.top[0] - 3; y <= join.bottom[0] + 3; ++y)
              EXPECT_TRUE(raster.count({0, y})) << what << " gap at y " << y;
          }
          // Where lines of both directions cross, every pixel of the crossing is painted.
          auto unite = [](LineStyle a, LineStyle b) {
            Span u{1, 0};
            for (LineStyle st : {a, b})
              if (JoinWeight(st) > 0) {
                const Span sp = LineSpan(st);
                u = u.first > u.last ? sp
                                     : Span{std::min(u.first, sp.first), std::max(u.last, sp.last)};
              }
            return u;
          };
          const Span xs = unite(t, b), ys = unite(l, r);
          if (!mitre) {
            for (int x = xs.first; x <= xs.last; ++x)
              for (int y = ys.first; y <= ys.last; ++y)
                EXPECT_TRUE(raster.count({x, y})) << what << " hole at " << x << "," << y;
          }
          ++checked;
        }
  EXPECT_EQ(checked, 8 * 8 * 8 * 8);
}

TEST(CornerJoin, ChosenCases) {
  struct Case {
    const char* what;
    CornerArms arms;
    CornerJoin join;
  };
  using S = LineStyle;
  const Case cases[] = {
      // A thick horizontal line runs through a thin vertical one, which stops above and below.
      {"thick through thin",
       {S::Thick, S::Thin, S::Thick, S::Thin},
       {{0, 0, 0}, {-2, -2, -2}, {1, 1, 1}, {2, 2, 2}}},
      // A thick vertical line beats a medium horizontal one.
      {"thick vertical wins",
       {S::Medium, S::Thick, S::Medium, S::Thick},
       {{-2, -2, -2}, {1, 1, 1}, {2, 2, 2}, {2, 2, 2}}},
      // Equal weights: the horizontal line goes through.
      {"tie",
       {S::Thin, S::Thin, S::Thin, S::Thin},
       {{0, 0, 0}, {-1, -1, -1}, {1, 1, 1}, {1, 1, 1}}},
      // A frame's top-left corner of double lines: bands mitred.
      {"double L, right and down",
       {S::None, S::None, S::Double, S::Double},
       {{0, 0, 0}, {0, 0, 0}, {-1, 0, 1}, {-1, 0, 1}}},
      // Top-right corner: the outer (top) band reaches furthest right.
      {"double L, left and down",
       {S::Double, S::None, S::None, S::Double},
       {{1, 0, -1}, {0, 0, 0}, {0, 0, 0}, {1, 0, -1}}},
      // A double T: the horizontal double runs through, the vertical one abuts below it.
      {"double T",
       {S::Double, S::None, S::Double, S::Double},
       {{1, 1, 1}, {-2, -2, -2}, {2, 2, 2}, {2, 2, 2}}},
      // A T whose bar is vertical: the vertical double runs through, the stem abuts it.
      {"double T, vertical bar",
       {S::None, S::Double, S::Double, S::Double},
       {{-2, -2, -2}, {1, 1, 1}, {2, 2, 2}, {2, 2, 2}}},
      // A lone right arm starts on the crossing pixel (the absent arms' entries mean nothing).
      {"lone arm",
       {S::None, S::None, S::Medium, S::None},
       {{-1, -1, -1}, {-1, -1, -1}, {0, 0, 0}, {2, 2, 2}}},
      // The heavier of the winning pair covers the crossing: the thick right arm, not the
      // thin left one, so the thick line has no notch.
      {"heavier arm covers",
       {S::Thin, S::Thin, S::Thick, S::None},
       {{-1, -1, -1}, {-2, -2, -2}, {0, 0, 0}, {2, 2, 2}}},
  };
  for (const auto& c : cases) EXPECT_EQ(JoinCorner(c.arms), c.join) << c.what;
}

}  // namespace
}  // namespace ui
