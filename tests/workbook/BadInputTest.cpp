// Hostile coordinates and rectangles: a clear error or a harmless no-op, never a crash, a hang
// or a corrupted sheet.
#include <gtest/gtest.h>

#include "support/TestComposition.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSSClipboard.h"
#include "workbook/TestLocales.h"
#include "workbook/Workbook.h"

namespace workbook {
namespace {

class BadInput : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int32_t i = 0; i < 4; ++i) sheet_.CellObject(i, i)->SetText("v" + std::to_string(i));
    book_.History().Clear();
  }
  std::string Text(int32_t col, int32_t row) { return sheet_.Storage().CellRec(col, row).Text; }
  void ExpectIntact() {
    for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(Text(i, i), "v" + std::to_string(i));
    EXPECT_FALSE(book_.IsLocked());
    EXPECT_FALSE(book_.History().IsSuspended());
    EXPECT_FALSE(book_.History().InGroup());
  }

  platform::ScopedLocale locale_{test::EnglishUS()};
  MemoryClipboard clipboard_;
  ScopedBookServices services_{testsupport::ModelServices(clipboard_)};  // before the book
  Workbook book_;
  TSSBookSheet& sheet_ = *book_.ActiveSheet();
};

TEST_F(BadInput, NegativeCoordinatesAreIgnored) {
  sheet_.CellObject(-1, -1)->SetText("x");
  sheet_.CellObject(-1, 0)->Style().Font().SetStyle(kFontBold);
  sheet_.ClearCells(TRect{-5, -5, -1, -1}, true);
  sheet_.Storage().MergeCells(TRect{-3, -3, -1, -1}, true);
  sheet_.SelectCell(-1, 4);
  sheet_.Paste(-1, -1);
  EXPECT_EQ(sheet_.Storage().MergedCells().Count(), 0);
  EXPECT_EQ(book_.History().UndoCount(), 0);
  ExpectIntact();
  // A rectangle reaching into negative space works on its valid part.
  sheet_.ClearCells(TRect{-5, -5, 0, 0}, false);
  EXPECT_EQ(Text(0, 0), "");
}

TEST_F(BadInput, ReversedRectanglesAreNormalised) {
  sheet_.ClearCells(TRect{1, 1, 0, 0}, false);
  EXPECT_EQ(Text(0, 0), "");
  EXPECT_EQ(Text(1, 1), "");
  book_.History().Undo();
  sheet_.InsertCells(TRect{3, 3, 2, 2}, 1);
  EXPECT_EQ(Text(2, 4), "v2");
  book_.History().Undo();
  sheet_.Storage().MergeCells(TRect{6, 6, 5, 5}, true);
  EXPECT_EQ(sheet_.Storage().MergedCells().AllAreas(), (TSSRectsArray{TRect{5, 5, 6, 6}}));
  book_.History().Undo();
  ExpectIntact();
}

TEST_F(BadInput, FarEdgeRectanglesStayCheap) {
  const TRect column{2, 0, 2, kFarEdge};
  sheet_.ClearCells(TRect{0, 0, kFarEdge, kFarEdge}, false);
  book_.History().Undo();
  ExpectIntact();
  try {
    sheet_.InsertCells(column, 1);  // would push v2 off the sheet
    FAIL();
  } catch (const ESpreadSheetError& e) {
    EXPECT_STREQ(e.what(), "Cells cannot be moved beyond the end of the sheet");
  }
  ExpectIntact();
  sheet_.DeleteCells(TRect{0, 2, kFarEdge, kFarEdge}, 3);  // every row from 3 on
  EXPECT_EQ(Text(1, 1), "v1");
  EXPECT_EQ(Text(2, 2), "");
  book_.History().Undo();
  ExpectIntact();
  sheet_.DeleteCells(TRect{3, 0, kFarEdge, 0}, 2);  // columns D onwards
  EXPECT_EQ(Text(3, 3), "");
  book_.History().Undo();
  ExpectIntact();
  EXPECT_THROW(sheet_.Storage().MergeCells(TRect{0, 0, kFarEdge, kFarEdge}, true),
               ESpreadSheetError);
  sheet_.CopyToClipboard(TRect{0, 0, kFarEdge, kFarEdge}, false);
  ASSERT_TRUE(clipboard_.GetText().has_value());
  EXPECT_LT(clipboard_.GetText()->size(), 100u);
  sheet_.SortCells(TRect{0, 0, kFarEdge, kFarEdge}, {true});
  book_.History().Undo();
  ExpectIntact();
}

TEST_F(BadInput, GridsBeyondMemoryAreRefusedClearly) {
  try {
    sheet_.CellObject(kFarEdge - 1, kFarEdge - 1)->SetText("far");
    FAIL();
  } catch (const ESpreadSheetError& e) {
    EXPECT_STREQ(e.what(), "Not enough memory for the cell grid");
  }
  EXPECT_THROW(sheet_.Storage().SetCapacity(1000000, 1000000), ESpreadSheetError);
  ExpectIntact();
  // A reasonable far cell still works.
  sheet_.CellObject(300, 70000)->SetText("ok");
  EXPECT_EQ(Text(300, 70000), "ok");
}

TEST_F(BadInput, InvalidModesAndSheetIndices) {
  sheet_.InsertCells(TRect{0, 0, 0, 0}, 7);
  sheet_.DeleteCells(TRect{0, 0, 0, 0}, -1);
  ExpectIntact();
  book_.SetActiveSheet(5);
  book_.SetActiveSheet(-1);
  book_.ExchangeSheets(-1, 0);
  book_.SetPageVisible(9, false);
  book_.SetPageCount(-4);  // at least one sheet stays
  EXPECT_EQ(book_.PageCount(), 1);
  EXPECT_EQ(book_.ActivePage(), 0);
  ExpectIntact();
}

}  // namespace
}  // namespace workbook
