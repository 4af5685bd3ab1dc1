// Layout, overflow, merged areas and hit testing of the grid on fixed metrics.
#include <gtest/gtest.h>

#include <random>

#include "GridFixture.h"
#include "view/HeaderPositions.h"
#include "workbook/TSSHeader.h"

namespace {

using viewtest::Grid;
using namespace view;

TEST(HeaderPositions, RandomSizesAndUpdatesAgreeWithPlainSums) {
  std::mt19937 rng(7);
  workbook::TSSHeader header(nullptr, 20, workbook::HeaderKind::Rows);
  for (int32_t i = 0; i < 300; ++i) {
    if (rng() % 3 == 0) header.SetSize(i, static_cast<int32_t>(rng() % 50));
    if (rng() % 7 == 0) header.SetVisible(i, false);
  }
  HeaderPositions pos;
  pos.Rebuild(header);
  for (int round = 0; round < 200; ++round) {
    const int32_t i = static_cast<int32_t>(rng() % 400);  // also beyond the explicit entries
    const uint16_t size = static_cast<uint16_t>(rng() % 3 == 0 ? 0 : rng() % 60);
    header.SetSize(i, size);
    pos.Resized(i, header.Size(i));
    int64_t sum = 0;
    for (int32_t k = 0; k <= 450; ++k) {
      ASSERT_EQ(pos.Offset(k), sum) << "offset of " << k << " after round " << round;
      if (header.Size(k) > 0) {
        ASSERT_EQ(pos.IndexAt(sum, 1000), k) << "first pixel of " << k;
        ASSERT_EQ(pos.IndexAt(sum + header.Size(k) - 1, 1000), k) << "last pixel of " << k;
      }
      sum += header.Size(k);
    }
  }
}

TEST(HeaderPositions, DistantOffsetsNeed64Bits) {
  workbook::TSSHeader header(nullptr, 65535, workbook::HeaderKind::Rows);
  HeaderPositions pos;
  pos.Rebuild(header);
  EXPECT_EQ(pos.Offset(1000000), int64_t{65535} * 1000000);
  EXPECT_EQ(pos.IndexAt(int64_t{65535} * 1000000 + 5, workbook::kFarEdge), 1000000);
}

TEST(GridLayout, VisibleItemsSkipHiddenAndEndAtTheFarEdge) {
  Grid g;
  g.Sheet().ColumnHeader().SetVisible(1, false);
  g.Sheet().ColumnHeader().SetSize(3, 0);
  g.control->BookChanged();
  const auto& cols = g.control->Layout().Columns();
  ASSERT_GE(cols.size(), 3u);
  EXPECT_EQ(cols[0].index, 0);
  EXPECT_EQ(cols[0].start, 85);
  EXPECT_EQ(cols[1].index, 2) << "hidden column 1 takes no space";
  EXPECT_EQ(cols[1].start, 170);
  EXPECT_EQ(cols[2].index, 4) << "zero-width column 3 takes no space";
  // Scrolling to a hidden column starts at the next visible one.
  g.control->ScrollTo(workbook::TPoint{1, 0});
  EXPECT_EQ(g.control->Layout().Columns().front().index, 2);

  // Everything beyond the top-left row hidden: the walk ends instead of looping.
  Grid h(300, 200);
  for (int32_t r = 1; r < 2000; ++r) h.Sheet().RowHeader().SetVisible(r, false);
  h.Sheet().RowHeader().SetDefaultSize(20);
  h.control->BookChanged();
  const auto& rows = h.control->Layout().Rows();
  ASSERT_GE(rows.size(), 2u);
  EXPECT_EQ(rows[0].index, 0);
  EXPECT_EQ(rows[1].index, 2000);
}

TEST(GridLayout, HeadersHiddenStartAtZeroAndNeverHitHeaders) {
  Grid g;
  g.Sheet().ShowHeaders = false;
  g.control->BookChanged();
  const GridLayout& l = g.control->Layout();
  EXPECT_EQ(l.Columns().front().start, 0);
  EXPECT_EQ(l.Rows().front().start, 0);
  for (int y = -5; y < 400; y += 3)
    for (int x = -5; x < 640; x += 7)
      ASSERT_EQ(l.HitTest(ui::Point{x, y}).flags, kHitCell) << x << "," << y;
}

TEST(GridLayout, HitTestTable) {
  Grid g;
  g.Sheet().RowHeader().SetVisible(2, false);
  g.control->BookChanged();
  struct Case {
    ui::Point p;
    Hit expected;
  } cases[] = {
      {{10, 10}, {-1, -1, kHitCorner}},
      {{90, 25}, {0, 0, kHitCell}},
      {{180, 45}, {1, 1, kHitCell}},
      {{40, 45}, {-1, 1, kHitRowHeader}},
      // Within 4 pixels of row 1's top edge: the boundary below row 0.
      {{40, 44}, {-1, 0, kHitRowHeader | kHitResize}},
      // Within 4 pixels above row 1's top edge: the same boundary, from row 0's side.
      {{40, 36}, {-1, 0, kHitRowHeader | kHitResize}},
      {{40, 35}, {-1, 0, kHitRowHeader}},
      // Row 0 has no boundary above it: never index -1.
      {{40, 21}, {-1, 0, kHitRowHeader}},
      // Row 3 follows hidden row 2: its top boundary belongs to row 1.
      {{40, 61}, {-1, 1, kHitRowHeader | kHitResize}},
      {{100, 10}, {0, -1, kHitColHeader}},
      {{86, 10}, {-1, -1, kHitColHeader}},  // column 0 has no boundary to its left
      {{172, 10}, {0, -1, kHitColHeader | kHitResize}},
      // Beyond the grid: the nearest visible cell, not column or row 0.
      {{10000, 10000},
       {g.control->Layout().Columns().back().index, g.control->Layout().Rows().back().index,
        kHitCell}},
  };
  // The column header left of column 0 at x 86 reports column 0.
  cases[10].expected = Hit{0, -1, kHitColHeader};
  for (const Case& c : cases) {
    const Hit h = g.control->HitTest(c.p);
    EXPECT_EQ(h, c.expected) << "at " << c.p.x << "," << c.p.y << ": got " << h.col << "," << h.row
                             << " flags " << h.flags;
  }
}

TEST(GridLayout, OverflowTable) {
  // Column 85 wide: the text rectangle is 81 wide; a text of n characters is 7n wide.
  struct Case {
    const char* what;
    std::vector<std::pair<int32_t, std::string>> cells;  // column 1.. in row 0
    int32_t col;
    int left, right;                // expected text rectangle
    std::vector<int> clearedLines;  // vertical line positions without grid line in row 0
  } cases[] = {
      {"short text stays", {{1, "abc"}}, 1, 172, 253, {}},
      {"long text runs right over empty cells",
       {{1, std::string(20, 'x')}},
       1,
       172,
       172 + 140 + 4 - 4 - 0 + 0,
       {2}},
      {"and stops 2 pixels before a cell with text",
       {{1, std::string(30, 'x')}, {3, "y"}},
       1,
       172,
       340 - 2,
       {2}},
      {"a long number is right-aligned and overflows left",
       {{2, "123456789012345678"}},
       2,
       172 + 2,
       340 - 2,
       {2}},
  };
  cases[1].right = 172 + 140 + 4;    // width + 4 beyond the left edge
  cases[3].left = 340 - 2 - 91 - 4;  // shown as "1.2345679E+17", 13 characters
  for (const auto& c : cases) {
    Grid g;
    for (const auto& [col, text] : c.cells) g.Put(col, 0, text);
    const CellView& v = g.Cell(c.col, 0);
    EXPECT_EQ(v.text.left, c.left) << c.what;
    EXPECT_EQ(v.text.right, c.right) << c.what;
    const GridLayout& l = g.control->Layout();
    for (size_t pos = 1; pos < 6; ++pos) {
      const bool cleared = std::find(c.clearedLines.begin(), c.clearedLines.end(),
                                     static_cast<int>(pos)) != c.clearedLines.end();
      EXPECT_EQ(l.VerticalLine(pos, 0).style == workbook::lsNone, cleared)
          << c.what << ": line before column position " << pos;
    }
  }
}

TEST(GridLayout, GeneralAlignmentFollowsTheValueNotTheDisplayText) {
  struct Case {
    const char* entered;
    ui::HorzAlign expected;
  } cases[] = {
      {"TRUE", ui::HorzAlign::Center},  // shown as 1, centred all the same
      {"false", ui::HorzAlign::Center},
      {"5", ui::HorzAlign::Right},         // kept as text, a number all the same
      {"1/2/2004", ui::HorzAlign::Right},  // a date is a number
      {"text", ui::HorzAlign::Left},
  };
  for (const Case& c : cases) {
    Grid g;
    g.Put(1, 1, c.entered);
    g.Put(3, 3, c.entered);
    g.Sheet().MergeCells(workbook::TRect{3, 3, 4, 4}, true);
    g.control->BookChanged();
    EXPECT_EQ(g.Cell(1, 1).align, c.expected) << c.entered;
    ASSERT_EQ(g.control->Layout().MergedAreas().size(), 1u);
    EXPECT_EQ(g.control->Layout().MergedAreas()[0].align, c.expected) << c.entered << " merged";
  }
}

TEST(GridLayout, MergedAreaOneTextNoInnerLinesDrawnWhenScrolledPastItsCorner) {
  Grid g;
  g.Put(1, 1, "merged");
  g.Sheet().MergeCells(workbook::TRect{1, 1, 3, 2}, true);
  g.control->BookChanged();
  const GridLayout& l = g.control->Layout();
  ASSERT_EQ(l.MergedAreas().size(), 1u);
  const MergedView& m = l.MergedAreas()[0];
  EXPECT_EQ(m.caption, "merged");
  EXPECT_EQ(m.rect, (ui::Rect{170, 40, 425, 80}));
  EXPECT_EQ(l.VerticalLine(2, 1).style, workbook::lsNone);
  EXPECT_EQ(l.HorizontalLine(2, 2).style, workbook::lsNone);
  EXPECT_EQ(l.VerticalLine(1, 1).style, workbook::lsDefault)
      << "the area's own edge keeps its line";
  EXPECT_EQ(g.Cell(2, 2).merged, 0);
  // Scrolled so that the area's top-left cell is out of view: still drawn, from the data edge.
  g.control->ScrollTo(workbook::TPoint{2, 2});
  const GridLayout& s = g.control->Layout();
  ASSERT_EQ(s.MergedAreas().size(), 1u);
  EXPECT_EQ(s.MergedAreas()[0].rect, (ui::Rect{85, 20, 255, 40}));
  EXPECT_EQ(s.MergedAreas()[0].caption, "merged");
}

TEST(GridLayout, GridOffKeepsExplicitBordersAndSelectionMarking) {
  Grid g;
  g.book.SetShowGrid(false);
  g.Sheet().SetSelection(workbook::TRect{0, 0, 1, 1});
  g.control->BookChanged();
  const GridLayout& l = g.control->Layout();
  EXPECT_EQ(l.VerticalLine(3, 3).style, workbook::lsNone);
  EXPECT_FALSE(g.Cell(0, 0).selected) << "the focused cell is not drawn selected";
  EXPECT_TRUE(g.Cell(1, 1).selected);
  EXPECT_FALSE(g.Cell(2, 1).selected);
}

}  // namespace
