#include <gtest/gtest.h>

#include "view/TSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"

namespace view {
namespace {

// The published books are the model's book with the screen state on top: the first sheet and
// the model's defaults come from the model, the rest is the view's own.
TEST(BookView, PublishedBooksStartWithTheScreenDefaults) {
  TSpreadSheetBook book;
  ASSERT_EQ(book.PageCount(), 1);
  EXPECT_EQ(book.Sheets(0).Caption(), "Sheet1");
  EXPECT_FALSE(book.Modified());
  EXPECT_EQ(book.History().UndoCount(), 0);
  EXPECT_EQ(book.ColHeaderHeight(), 20);
  EXPECT_EQ(book.RowHeaderWidth(), 85);
  EXPECT_EQ(book.BackgroundColor, workbook::kSystemWindowColor);
  EXPECT_EQ(book.GridColor, 0x8000000Fu);
  EXPECT_EQ(book.HeaderColor, 0x8000000Fu);
  EXPECT_EQ(book.SelectionColor, 0x8000000Du);
  EXPECT_FALSE(book.BufferedPaint);
  EXPECT_FALSE(book.HideSelection);
  EXPECT_EQ(book.PainterType, TSSPainterType::ptOffice97Style);
  EXPECT_EQ(book.ScrollBars, TScrollBars::sbsBoth);
  EXPECT_TRUE(book.ShowCaptionBar);

  TSpreadSheet sheet;
  EXPECT_FALSE(sheet.ShowCaptionBar);
  EXPECT_EQ(sheet.PageCount(), 1);
}

TEST(BookView, HeaderSizesBelowOneAreIgnored) {
  struct Case {
    int colHeight, rowWidth, wantCol, wantRow;
  };
  const Case cases[] = {{0, -5, 20, 85}, {1, 1, 1, 1}, {33, 120, 33, 120}, {-1, 0, 20, 85}};
  for (const Case& c : cases) {
    TSpreadSheetBook book;
    book.SetColHeaderHeight(c.colHeight);
    book.SetRowHeaderWidth(c.rowWidth);
    EXPECT_EQ(book.ColHeaderHeight(), c.wantCol) << c.colHeight;
    EXPECT_EQ(book.RowHeaderWidth(), c.wantRow) << c.rowWidth;
  }
}

}  // namespace
}  // namespace view
