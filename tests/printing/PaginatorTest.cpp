// Pagination as data: item sizes, the room of a page and the heading rule in, bands out; then
// the scale rules and the page layouts of a report two pages wide.
#include <gtest/gtest.h>

#include <vector>

#include "printing/PagePainter.h"
#include "printing/Paginator.h"
#include "printing/TCustomSpreadSheetReportLink.h"
#include "view/TSpreadSheetBook.h"
#include "view/TextMeasurer.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"

namespace {

using printing::Band;
using printing::ReportColumn;

std::vector<ReportColumn> Items(int heading, bool headed, std::vector<int> sizes,
                                std::vector<size_t> hidden = {}) {
  std::vector<ReportColumn> items{ReportColumn{-1, heading, headed}};
  for (size_t i = 0; i < sizes.size(); ++i)
    items.push_back(ReportColumn{int32_t(i), sizes[i], true});
  for (size_t h : hidden) items[h].printed = false;
  return items;
}

struct BandCase {
  const char* name;
  std::vector<ReportColumn> items;
  int room;
  bool everyBand;
  std::vector<Band> bands;
};

TEST(Paginator, CutsAtCellBoundariesAndSplitsOversizeItems) {
  const std::vector<BandCase> cases = {
      {"everything fits one page",
       Items(0, false, {10, 20, 30}),
       100,
       false,
       {{1, 3, 0, 60, false}}},
      {"breaks before the item that does not fit",
       Items(0, false, {40, 40, 40}),
       100,
       false,
       {{1, 2, 0, 80, false}, {3, 3, 0, 40, false}}},
      {"an item larger than a page is split over pages",
       Items(0, false, {30, 250, 30}),
       100,
       false,
       {{1, 1, 0, 30, false},
        {2, 2, 0, 100, false},
        {2, 2, 100, 100, false},
        {2, 3, 200, 80, false}}},
      {"the heading prints on the first band only",
       Items(20, true, {40, 40, 40}),
       100,
       false,
       {{1, 2, 0, 80, true}, {3, 3, 0, 40, false}}},
      {"HeadersOnEveryPage repeats it and leaves less room",
       Items(20, true, {50, 50, 50}),
       100,
       true,
       {{1, 1, 0, 50, true}, {2, 2, 0, 50, true}, {3, 3, 0, 50, true}}},
      {"hidden items take no room",
       Items(0, false, {60, 500, 40}, {2}),
       100,
       false,
       {{1, 3, 0, 100, false}}},
      {"a heading larger than the page is left out",
       Items(150, true, {40}),
       100,
       false,
       {{1, 1, 0, 40, false}}},
      {"nothing printed gives no band", Items(0, false, {10}, {1}), 100, false, {}},
  };
  for (const BandCase& c : cases)
    EXPECT_EQ(printing::CutBands(c.items, c.room, c.everyBand), c.bands) << c.name;
}

struct Wide {
  view::TSpreadSheetBook book;
  printing::TSpreadSheetBookReportLink link;
  view::FixedMeasurer metrics{7, 16};
  // 14 columns of 85 pixels (1,190) and 80 rows of 23: two pages wide (A4 portrait prints
  // 697 pixels across, 1,026 down), two pages long.
  Wide() {
    link.SetOptionsView(printing::ssovRowAndColumnHeadings | printing::ssovGridLines);
    for (int32_t c = 0; c < 14; ++c) book.ActiveSheet()->CellObject(c, 79)->SetText("v");
  }
};

TEST(Paginator, AReportTwoPagesWidePrintsAcrossThenDown) {
  Wide w;
  const printing::Report& report = w.link.Activate(w.book, w.metrics);
  printing::PageSettings settings;
  const printing::Pagination p = printing::Paginate(report, settings, false);
  ASSERT_EQ(p.across.size(), 2u);
  ASSERT_EQ(p.down.size(), 2u);
  EXPECT_EQ(p.PageCount(), 4u);
  // Page 1 is the second column band of the first row band.
  EXPECT_EQ(&p.ColumnBand(1), &p.across[1]);
  EXPECT_EQ(&p.RowBand(1), &p.down[0]);
  // 697 - 85 heading = 612: seven columns of 85 on the first page.
  EXPECT_EQ(p.across[0].last, 7u);
  EXPECT_EQ(p.across[1].first, 8u);
  // The second page across has no heading column; its first cell starts at the left edge.
  const view::GridLayout second = printing::PageLayout(report, p, 1);
  EXPECT_EQ(second.Params().rowHeaderWidth, 0);
  EXPECT_EQ(second.Params().colHeaderHeight, 23);
  ASSERT_FALSE(second.Columns().empty());
  EXPECT_EQ(second.Columns().front().index, 7);
  EXPECT_EQ(second.Columns().front().start, 0);
  // Spans are contiguous: no gap between printed columns.
  for (size_t i = 1; i < second.Columns().size(); ++i)
    EXPECT_EQ(second.Columns()[i].start, second.Columns()[i - 1].end);
  // With HeadersOnEveryPage the heading column repeats.
  w.link.HeadersOnEveryPage = true;
  const printing::Pagination every = printing::Paginate(report, settings, true);
  EXPECT_EQ(printing::PageLayout(report, every, 1).Params().rowHeaderWidth, 85);
}

TEST(Paginator, ScaleIsBoundedAndFitToPagesShrinksUntilItFits) {
  Wide w;
  const printing::Report& report = w.link.Activate(w.book, w.metrics);
  printing::PageSettings s;
  s.scalePercent = 5000;
  EXPECT_DOUBLE_EQ(printing::Paginate(report, s, false).scale, 4.0);
  s.scalePercent = 1;
  EXPECT_DOUBLE_EQ(printing::Paginate(report, s, false).scale, 0.1);
  s.scalePercent = 100;
  s.fitPagesWide = 1;
  const printing::Pagination one = printing::Paginate(report, s, false);
  EXPECT_EQ(one.across.size(), 1u);
  EXPECT_LT(one.scale, 1.0);
  EXPECT_GT(one.scale, 0.5) << "the largest scale that fits, not the smallest";
  s.fitPagesTall = 1;
  const printing::Pagination single = printing::Paginate(report, s, false);
  EXPECT_EQ(single.PageCount(), 1u);
  s.fitPagesWide = s.fitPagesTall = 5;
  EXPECT_DOUBLE_EQ(printing::Paginate(report, s, false).scale, 1.0) << "fitting never enlarges";
}

TEST(PageSettings, ValidationKeepsThePrintableAreaPositive) {
  struct Case {
    const char* name;
    void (*change)(printing::PageSettings&);
    bool valid;
  };
  const Case cases[] = {
      {"the stored defaults", [](printing::PageSettings&) {}, true},
      {"margins eating the width", [](printing::PageSettings& s) { s.marginLeft = 200000; }, false},
      {"margins eating the height", [](printing::PageSettings& s) { s.marginBottom = 290000; },
       false},
      {"a negative margin", [](printing::PageSettings& s) { s.marginTop = -1; }, false},
      {"a header below the top margin", [](printing::PageSettings& s) { s.headerDistance = 12700; },
       false},
      {"landscape with wide margins",
       [](printing::PageSettings& s) {
         s.orientation = printing::Orientation::Landscape;
         s.marginLeft = s.marginRight = 100000;
       },
       true},
      {"a scale out of bounds", [](printing::PageSettings& s) { s.scalePercent = 5; }, false},
      {"fit to pages ignores the scale",
       [](printing::PageSettings& s) {
         s.scalePercent = 5;
         s.fitPagesWide = 1;
       },
       true},
  };
  for (const Case& c : cases) {
    printing::PageSettings s;
    c.change(s);
    EXPECT_EQ(printing::ValidatePageSettings(s).empty(), c.valid) << c.name;
  }
  EXPECT_EQ(printing::ExpandPageText("Page &P of &N && more", 2, 7), "Page 2 of 7 & more");
}

}  // namespace
