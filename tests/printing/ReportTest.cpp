// The report link's algorithms on a real book with fixed metrics (7 pixels a character, 16 a
// line): the printed range, sizes, sides, merged areas and overflowing text, each case built
// as data and checked against what the report says.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "printing/ReportBuilder.h"
#include "printing/TCustomSpreadSheetReportLink.h"
#include "view/TSpreadSheetBook.h"
#include "view/TextMeasurer.h"
#include "workbook/Errors.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSSCellStyle.h"

namespace {

using printing::Report;
using workbook::TRect;

constexpr int kRed = 2;
constexpr int kYellow = 5;

struct Fixture {
  view::TSpreadSheetBook book;
  printing::TSpreadSheetBookReportLink link;
  view::FixedMeasurer metrics{7, 16};
  Fixture() { link.SetOptionsView(0); }
  workbook::TSSBookSheet& Sheet() { return *book.ActiveSheet(); }
  void Put(int32_t col, int32_t row, const std::string& text) {
    Sheet().CellObject(col, row)->SetText(text);
  }
  const Report& Build() { return link.Activate(book, metrics); }
};

// Printed data columns and rows as sheet indices.
std::vector<int32_t> Printed(const std::vector<printing::ReportColumn>& items) {
  std::vector<int32_t> out;
  for (size_t i = 1; i < items.size(); ++i)
    if (items[i].printed) out.push_back(items[i].sheetIndex);
  return out;
}

bool AnyLine(const Report& r) {
  for (const view::Side& s : r.vLines)
    if (s.style != workbook::lsNone) return true;
  for (const view::Side& s : r.hLines)
    if (s.style != workbook::lsNone) return true;
  return false;
}

struct RangeCase {
  const char* name;
  std::function<void(Fixture&)> setup;
  std::vector<int32_t> cols;
  std::vector<int32_t> rows;
  bool headings;
};

TEST(ReportLink, PrintedRangeCases) {
  const std::vector<RangeCase> cases = {
      {"value at C3 prints three columns and rows, the last used one included",
       [](Fixture& f) { f.Put(2, 2, "x"); },
       {0, 1, 2},
       {0, 1, 2},
       false},
      {"headings switched on add the heading column and row",
       [](Fixture& f) {
         f.Put(2, 2, "x");
         f.link.SetOptionsView(printing::ssovRowAndColumnHeadings);
       },
       {0, 1, 2},
       {0, 1, 2},
       true},
      {"only the selection of two columns by three rows",
       [](Fixture& f) {
         f.Put(5, 5, "far");
         f.Sheet().SetSelection(TRect{1, 1, 2, 3});
         f.link.SetOnlySelected(true);
       },
       {1, 2},
       {1, 2, 3},
       false},
      {"a hidden column inside the range is left out",
       [](Fixture& f) {
         f.Put(3, 0, "x");
         f.Sheet().ColumnHeader().SetVisible(1, false);
       },
       {0, 2, 3},
       {0},
       false},
      {"a column of size 0 is left out even when not flagged hidden",
       [](Fixture& f) {
         f.Put(2, 1, "x");
         f.Sheet().ColumnHeader().SetSize(0, 0);
       },
       {1, 2},
       {0, 1},
       false},
      {"a fill alone makes a cell used",
       [](Fixture& f) {
         f.Sheet().CellObject(1, 4)->Style().Brush().SetAll(workbook::fsSolid, kYellow, kYellow);
       },
       {0, 1},
       {0, 1, 2, 3, 4},
       false},
      {"a left border alone does not widen the range (the cell before prints it)",
       [](Fixture& f) {
         f.Put(0, 0, "x");
         f.Sheet().CellObject(3, 0)->Style().SetEdge(workbook::edgeLeft, workbook::lsThin, 0);
       },
       {0, 1, 2},
       {0},
       false},
      {"a top border alone does not lengthen the range",
       [](Fixture& f) {
         f.Put(0, 0, "x");
         f.Sheet().CellObject(0, 4)->Style().SetEdge(workbook::edgeTop, workbook::lsThin, 0);
       },
       {0},
       {0, 1, 2, 3},
       false},
      {"merged areas extend the range",
       [](Fixture& f) {
         f.Put(0, 0, "x");
         f.Sheet().MergeCells(TRect{1, 1, 3, 2}, true);
       },
       {0, 1, 2, 3},
       {0, 1, 2},
       false},
      {"the print area wins over the used range",
       [](Fixture& f) {
         f.Put(9, 9, "x");
         f.link.PrintArea = TRect{2, 3, 4, 3};
       },
       {2, 3, 4},
       {3},
       false},
  };
  for (const RangeCase& c : cases) {
    Fixture f;
    c.setup(f);
    const Report& r = f.Build();
    EXPECT_EQ(Printed(r.columns), c.cols) << c.name;
    EXPECT_EQ(Printed(r.rows), c.rows) << c.name;
    EXPECT_EQ(r.columns[0].printed, c.headings) << c.name;
    EXPECT_EQ(r.rows[0].printed, c.headings) << c.name;
  }
}

TEST(ReportLink, ValueAtC3WithStoredOptionsPrintsNoLinesAndSizesFromTheSheet) {
  Fixture f;
  f.Put(2, 2, "x");
  const Report& r = f.Build();
  EXPECT_EQ(r.Cell(3, 3).text, "x");
  EXPECT_EQ(r.Cell(1, 1).text, "");
  EXPECT_FALSE(AnyLine(r));
  EXPECT_EQ(r.columns[1].size, 85);
  EXPECT_EQ(r.rows[1].size, 20 + 3) << "a row of 4 pixels or more gets 3 added";
  EXPECT_EQ(r.columns[0].size, 85) << "the heading column: RowHeaderWidth";
  EXPECT_EQ(r.rows[0].size, 23) << "the heading row: ColHeaderHeight + 3";
}

TEST(ReportLink, NothingToPrintIsAnErrorNotADivisionByZero) {
  const std::vector<std::function<void(Fixture&)>> setups = {
      [](Fixture&) {},
      [](Fixture& f) {
        f.Put(1, 0, "x");
        f.Sheet().ColumnHeader().SetVisible(0, false);
        f.Sheet().ColumnHeader().SetVisible(1, false);
      },
      [](Fixture& f) {
        f.Put(0, 2, "x");
        for (int32_t r = 0; r <= 2; ++r) f.Sheet().RowHeader().SetSize(r, 0);
      },
  };
  for (size_t i = 0; i < setups.size(); ++i) {
    Fixture f;
    setups[i](f);
    try {
      f.Build();
      ADD_FAILURE() << "case " << i << " printed something";
    } catch (const workbook::ESpreadSheetError& e) {
      EXPECT_STREQ(e.what(), printing::kNothingToPrint) << "case " << i;
    }
    EXPECT_EQ(f.link.Built(), nullptr) << "no report is left after a failure";
  }
}

TEST(ReportLink, SidesGridLinesBordersAndMergedAreas) {
  Fixture f;
  f.link.SetOptionsView(printing::ssovGridLines);
  f.Put(0, 0, "a");
  f.Put(3, 3, "b");
  f.Sheet().CellObject(1, 1)->Style().Brush().SetAll(workbook::fsSolid, kYellow, kYellow);
  f.Sheet().CellObject(2, 3)->Style().SetEdge(workbook::edgeBottom, workbook::lsThick, kRed);
  f.Sheet().MergeCells(TRect{0, 2, 2, 3}, true);
  const Report& r = f.Build();
  // Report items are sheet index + 1.
  EXPECT_EQ(r.VLine(1, 1).style, workbook::lsDefault) << "outer left edge";
  EXPECT_EQ(r.VLine(5, 1).style, workbook::lsDefault) << "outer right edge";
  EXPECT_EQ(r.HLine(1, 5).style, workbook::lsDefault) << "outer bottom edge";
  EXPECT_EQ(r.VLine(3, 1).style, workbook::lsDefault) << "between two transparent cells";
  EXPECT_EQ(r.VLine(2, 2).style, workbook::lsNone) << "left of a filled cell";
  EXPECT_EQ(r.VLine(3, 2).style, workbook::lsNone) << "right of a filled cell";
  ASSERT_EQ(r.merged.size(), 1u);
  EXPECT_EQ(r.merged[0].area, (TRect{1, 3, 3, 4}));
  for (size_t c = 2; c <= 3; ++c)
    for (size_t row = 3; row <= 4; ++row) EXPECT_EQ(r.VLine(c, row).style, workbook::lsNone);
  EXPECT_EQ(r.HLine(1, 4).style, workbook::lsNone) << "inside the merged area";
  const view::Side thick = r.HLine(3, 5);
  EXPECT_EQ(thick.style, workbook::lsThick) << "an own border wins over everything";
  EXPECT_EQ(thick.color, kRed);
  // Without grid lines only the own border stays.
  f.link.SetOptionsView(0);
  const Report& plain = f.Build();
  EXPECT_EQ(plain.HLine(3, 5).style, workbook::lsThick);
  EXPECT_EQ(plain.VLine(1, 1).style, workbook::lsNone);
}

TEST(ReportLink, OverflowingTextRunsIntoEmptyNeighboursAndStopsAtText) {
  Fixture f;
  f.link.SetOptionsView(printing::ssovGridLines);
  // 30 characters = 210 pixels + 6 in columns of 85: needs two more columns.
  f.Put(0, 0, std::string(30, 'w'));
  f.Put(0, 1, std::string(30, 'w'));
  f.Put(1, 1, "stop");
  f.Put(5, 3, "end");
  f.Put(5, 2, std::string(30, 'r'));
  f.Sheet().CellObject(5, 2)->Style().SetHorzTextAlign(workbook::haRIGHT);
  const Report& r = f.Build();
  EXPECT_EQ(r.Cell(1, 1).overflowRight, 170);
  EXPECT_EQ(r.VLine(2, 1).style, workbook::lsNone) << "no grid line under the text";
  EXPECT_EQ(r.VLine(3, 1).style, workbook::lsNone);
  EXPECT_EQ(r.VLine(4, 1).style, workbook::lsDefault) << "beyond the text";
  EXPECT_EQ(r.Cell(1, 2).overflowRight, 0) << "a neighbour with text stops it";
  EXPECT_EQ(r.Cell(6, 3).overflowLeft, 170) << "right-aligned text runs to the left";
  EXPECT_EQ(r.overflowColumns, 0);
}

// General alignment follows the value as on the screen: TRUE shows as 1 and is centred, a
// number is right-aligned, a literal text that reads as a number is left; an explicit alignment
// wins; the merged area takes its top-left cell's.
TEST(ReportLink, GeneralAlignmentFollowsTheValue) {
  Fixture f;
  struct Case {
    const char* text;
    ui::HorzAlign expected;
  } cases[] = {
      {"TRUE", ui::HorzAlign::Center},
      {"12", ui::HorzAlign::Right},
      {"'12", ui::HorzAlign::Left},
      {"word", ui::HorzAlign::Left},
  };
  int32_t row = 0;
  for (const Case& c : cases) f.Put(0, row++, c.text);
  f.Put(1, 0, "FALSE");
  f.Sheet().CellObject(1, 0)->Style().SetHorzTextAlign(workbook::haRIGHT);
  f.Put(2, 0, "TRUE");
  f.Sheet().MergeCells(TRect{2, 0, 3, 1}, true);
  const Report& r = f.Build();
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(r.Cell(1, i + 1).align, cases[i].expected) << cases[i].text;
  EXPECT_EQ(r.Cell(2, 1).align, ui::HorzAlign::Right) << "explicit alignment";
  ASSERT_EQ(r.merged.size(), 1u);
  EXPECT_EQ(r.merged[0].align, ui::HorzAlign::Center) << "merged TRUE";
}

TEST(ReportLink, TextPastTheLastColumnAppendsColumnsOfTheDefaultWidth) {
  Fixture f;
  f.Put(1, 0, std::string(40, 'w'));  // 286 pixels: 201 beyond its column, three of 85
  const Report& r = f.Build();
  EXPECT_EQ(r.overflowColumns, 3);
  EXPECT_EQ(Printed(r.columns), (std::vector<int32_t>{0, 1, 2, 3, 4}));
  EXPECT_EQ(r.Cell(2, 1).overflowRight, 255);
  f.link.PrintArea = TRect{0, 0, 1, 0};
  EXPECT_EQ(f.Build().overflowColumns, 0) << "a restricted range gets no extra columns";
}

TEST(ReportLink, RebuiltFromTheBookAtEveryActivation) {
  Fixture f;
  f.Put(0, 0, "first");
  EXPECT_EQ(f.Build().Cell(1, 1).text, "first");
  f.Put(0, 0, "second");
  f.Put(1, 1, "more");
  const Report& r = f.Build();
  EXPECT_EQ(r.Cell(1, 1).text, "second");
  EXPECT_EQ(r.DataColumns(), 2u);
  EXPECT_FALSE(f.link.Stale());
  f.link.SetOptionsView(printing::ssovGridLines);
  EXPECT_TRUE(f.link.Stale());
}

TEST(ReportLink, SuppressedSourceFormatsUseTheLinkFontAndNoFills) {
  Fixture f;
  f.link.SetOptionsView(printing::ssovSuppressSourceFormats | printing::ssovGridLines);
  f.Put(0, 0, "x");
  f.Sheet().CellObject(0, 0)->Style().Brush().SetAll(workbook::fsSolid, kYellow, kYellow);
  const Report& r = f.Build();
  const workbook::StyleEntry& style = r.StyleOf(r.Cell(1, 1));
  ASSERT_NE(style.Font, nullptr);
  EXPECT_EQ(style.Font->Name, f.link.Font.name);
  EXPECT_EQ(style.BackgroundColor, workbook::kDefaultFillColor);
  EXPECT_TRUE(r.Cell(1, 1).transparent);
}

TEST(ReportLink, TheReportKeepsItsOwnFontsAfterTheBookChanges) {
  Fixture f;
  f.Put(0, 0, "x");
  f.Sheet().CellObject(0, 0)->Style().Font().SetName("Arial");
  auto report = (f.Build(), f.link.Shared());
  f.book.ClearBook();
  EXPECT_EQ(report->StyleOf(report->Cell(1, 1)).Font->Name, "Arial");
}

TEST(ReportLink, AFontThatIsNotInstalledPrintsInTheLinkFont) {
  struct Case {
    const char* face;
    std::string printed;  // empty: the link's font
  } const cases[] = {{"Arial", "Arial"}, {"courier new", "courier new"}, {"No Such Face", ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.face);
    Fixture f;
    f.link.Font.name = "Verdana";
    f.Put(0, 0, "x");
    f.Sheet().CellObject(0, 0)->Style().Font().SetName(c.face);
    const Report& r = f.Build();
    EXPECT_EQ(r.StyleOf(r.Cell(1, 1)).Font->Name, c.printed.empty() ? "Verdana" : c.printed);
  }
}

}  // namespace
