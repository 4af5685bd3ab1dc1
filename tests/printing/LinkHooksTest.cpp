// The report link's two hooks on a real book with fixed metrics: what OnInitializeItem is
// shown and what its changes do to the report (text, alignment, font, fill, borders, overflow),
// what OnGetCustomPageBreaks changes of the breaks, and how a throwing hook fails the build.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "printing/Paginator.h"
#include "printing/TCustomSpreadSheetReportLink.h"
#include "view/TSpreadSheetBook.h"
#include "view/TextMeasurer.h"
#include "workbook/Errors.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"

namespace {

using printing::Report;
using printing::ReportItem;

struct Fixture {
  view::TSpreadSheetBook book;
  printing::TSpreadSheetBookReportLink link;
  view::FixedMeasurer metrics{7, 16};
  // C4 ends the range; A1 has text, B2:C2 is merged with text; column D is hidden.
  Fixture() {
    link.SetOptionsView(printing::ssovGridLines);
    workbook::TSSBookSheet& s = *book.ActiveSheet();
    s.CellObject(0, 0)->SetText("a");
    s.CellObject(1, 1)->SetText("merged");
    s.MergeCells(workbook::TRect{1, 1, 2, 1}, true);
    s.CellObject(4, 3)->SetText("end");
    s.Storage().ColumnHeader().SetVisible(3, false);
  }
  const Report& Build() { return link.Activate(book, metrics); }
  std::vector<ReportItem> seen;
};

struct HookCase {
  const char* name;
  std::function<void(Fixture&)> setup;
  std::function<void(Fixture&, const Report&)> check;
};

TEST(LinkHooks, InitializeItemAndCustomBreaksShapeTheReport) {
  const HookCase cases[] = {
      {"every printed cell once, merged areas once, hidden columns never",
       [](Fixture& f) {
         f.link.OnInitializeItem = [&f](ReportItem& item) {
           EXPECT_EQ(item.style.Font, &item.font);
           f.seen.push_back(item);
         };
       },
       [](Fixture& f, const Report&) {
         // Columns A, B, C and E by rows 1 to 4, less C2 inside the merged area B2:C2, whose
         // cells are one item showing B2's text.
         ASSERT_EQ(f.seen.size(), 15u);
         std::set<std::pair<int32_t, int32_t>> cells;
         for (const ReportItem& item : f.seen) {
           EXPECT_NE(item.sheetColumn, 3) << "hidden column";
           EXPECT_EQ(static_cast<int32_t>(item.column), item.sheetColumn + 1);
           EXPECT_EQ(static_cast<int32_t>(item.row), item.sheetRow + 1);
           EXPECT_EQ(item.merged, item.sheetColumn == 1 && item.sheetRow == 1);
           if (item.merged) {
             EXPECT_EQ(item.text, "merged");
           }
           cells.insert({item.sheetColumn, item.sheetRow});
         }
         EXPECT_EQ(cells.size(), 15u) << "no cell twice";
         EXPECT_FALSE(cells.count({2, 1})) << "inside the merged area";
       }},
      {"text, alignment, font and fill changed by the hook print",
       [](Fixture& f) {
         f.link.OnInitializeItem = [](ReportItem& item) {
           if (item.sheetColumn == 0 && item.sheetRow == 0) {
             item.text = "changed";
             item.align = ui::HorzAlign::Right;
           }
           item.font.Style |= workbook::kFontBold;
           if (item.merged) item.style.BackgroundColor = 5;  // yellow
         };
       },
       [](Fixture&, const Report& r) {
         EXPECT_EQ(r.Cell(1, 1).text, "changed");
         EXPECT_EQ(r.Cell(1, 1).align, ui::HorzAlign::Right);
         EXPECT_TRUE(r.StyleOf(r.Cell(1, 1)).Font->Style & workbook::kFontBold);
         EXPECT_TRUE(r.StyleOf(r.Cell(5, 4)).Font->Style & workbook::kFontBold);
         ASSERT_EQ(r.merged.size(), 1u);
         EXPECT_FALSE(r.merged[0].transparent) << "the hook's fill";
         EXPECT_EQ(r.styles[r.merged[0].style].BackgroundColor, 5);
         EXPECT_TRUE(r.Cell(1, 1).transparent);
         // The same change on every cell adds one style per original style, not per cell:
         // the default style, A1's, B2's and E4's text styles, and their bold variants.
         EXPECT_LE(r.styles.size(), 10u);
       }},
      {"a longer text overflows and a border drawn by the hook is a line",
       [](Fixture& f) {
         f.link.SetOptionsView(0);
         f.link.OnInitializeItem = [](ReportItem& item) {
           if (item.sheetColumn == 0 && item.sheetRow == 2) item.text = std::string(30, 'w');
           if (item.sheetColumn == 4 && item.sheetRow == 0)
             item.style.Borders[workbook::edgeLeft] = {workbook::lsThick, 2};
         };
       },
       [](Fixture&, const Report& r) {
         EXPECT_GT(r.Cell(1, 3).overflowRight, 0);
         EXPECT_EQ(r.VLine(5, 1).style, workbook::lsThick);
       }},
      {"OnGetCustomPageBreaks changes the breaks the report uses",
       [](Fixture& f) {
         f.link.UseCustomPageBreaks = true;
         f.link.RowBreaks = {1};
         f.link.OnGetCustomPageBreaks = [](std::vector<int32_t>& cols, std::vector<int32_t>& rows) {
           EXPECT_EQ(rows, std::vector<int32_t>{1});
           rows = {2};
           cols.push_back(4);
         };
       },
       [](Fixture& f, const Report& r) {
         EXPECT_FALSE(r.rows[2].breakBefore);
         EXPECT_TRUE(r.rows[3].breakBefore);
         EXPECT_TRUE(r.columns[5].breakBefore);
         EXPECT_EQ(f.link.RowBreaks, std::vector<int32_t>{1}) << "the link's own list stays";
         printing::PageSettings settings;
         EXPECT_EQ(printing::Paginate(r, settings, false).PageCount(), 4u);
       }},
      {"OnGetCustomPageBreaks is not asked without UseCustomPageBreaks",
       [](Fixture& f) {
         f.link.OnGetCustomPageBreaks = [](std::vector<int32_t>&, std::vector<int32_t>&) {
           ADD_FAILURE() << "asked";
         };
       },
       [](Fixture&, const Report& r) { EXPECT_FALSE(r.columns[5].breakBefore); }},
  };
  for (const HookCase& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    c.setup(f);
    c.check(f, f.Build());
  }
}

TEST(LinkHooks, AThrowingHookFailsTheBuildWithItsName) {
  struct Case {
    const char* name;
    std::function<void(printing::TCustomSpreadSheetReportLink&)> setup;
    std::string message;
  } const cases[] = {
      {"a standard exception from OnInitializeItem",
       [](auto& link) {
         link.OnInitializeItem = [](ReportItem& item) {
           if (item.sheetRow == 3) throw std::runtime_error("no such colour");
         };
       },
       "OnInitializeItem failed: no such colour"},
      {"anything else from OnGetCustomPageBreaks",
       [](auto& link) {
         link.UseCustomPageBreaks = true;
         link.OnGetCustomPageBreaks = [](std::vector<int32_t>&, std::vector<int32_t>&) {
           throw 42;
         };
       },
       "OnGetCustomPageBreaks failed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    f.Build();
    c.setup(f.link);
    try {
      f.Build();
      ADD_FAILURE() << "built";
    } catch (const workbook::ESpreadSheetError& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
    EXPECT_EQ(f.link.Built(), nullptr) << "no half-built report is left";
    EXPECT_TRUE(f.link.Stale());
    f.link.OnInitializeItem = nullptr;
    f.link.OnGetCustomPageBreaks = nullptr;
    EXPECT_NO_THROW(f.Build());
  }
}

}  // namespace
