#include <gtest/gtest.h>

#include "workbook/DateTime.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TestLocales.h"
#include "workbook/Workbook.h"

namespace workbook {
namespace {

class CellObjects : public ::testing::Test {
 protected:
  void Enter(int32_t col, int32_t row, const std::string& text) {
    sheet_.CellObject(col, row)->SetText(text);
  }
  TSSCellRec Rec(int32_t col, int32_t row) { return sheet_.Storage().CellRec(col, row); }
  int FormatOf(int32_t col, int32_t row) { return sheet_.CellObject(col, row)->Style().Format(); }

  platform::ScopedLocale locale_{test::EnglishUS()};
  Workbook book_;
  TSSBookSheet& sheet_ = *book_.ActiveSheet();
};

TEST_F(CellObjects, DatesAndTimesBecomeNumbersWithAFormat) {
  Enter(0, 0, "1/2/2004");
  double day = 0;
  ASSERT_TRUE(EncodeDate(2004, 1, 2, day));
  EXPECT_EQ(Rec(0, 0).DataType, kCellNumber);
  EXPECT_EQ(Rec(0, 0).Value, day);
  EXPECT_EQ(FormatOf(0, 0), 14);
  Enter(1, 0, "12:30");
  EXPECT_EQ(FormatOf(1, 0), 21);
  EXPECT_DOUBLE_EQ(Rec(1, 0).Value, 12.5 / 24);
  Enter(2, 0, "1/2/2004 12:30");
  EXPECT_EQ(FormatOf(2, 0), 22);
  Enter(3, 0, "5");
  EXPECT_EQ(Rec(3, 0).DataType, kCellText);
  EXPECT_EQ(Rec(3, 0).Text, "5");
  EXPECT_EQ(FormatOf(3, 0), 0);
  EXPECT_EQ(sheet_.CellObject(0, 0)->DisplayText(), "1/2/2004");
}

TEST_F(CellObjects, CurrencyAmounts) {
  Enter(0, 0, "$1,234.50");
  EXPECT_EQ(Rec(0, 0).Text, "1234.5");
  EXPECT_EQ(Rec(0, 0).DataType, kCellText);
  EXPECT_EQ(FormatOf(0, 0), 8);
  EXPECT_EQ(sheet_.CellObject(0, 0)->DisplayText(), "$1,234.50");
  sheet_.CellObject(1, 0)->Style().SetFormat(2);
  Enter(1, 0, "$1,234.50");
  EXPECT_EQ(Rec(1, 0).Text, "$1,234.50");
  EXPECT_EQ(FormatOf(1, 0), 2);
  sheet_.CellObject(2, 0)->Style().SetFormat(7);  // a currency format takes amounts
  Enter(2, 0, "1,000");
  EXPECT_EQ(Rec(2, 0).Text, "1000");
  EXPECT_EQ(FormatOf(2, 0), 7);
}

TEST_F(CellObjects, DatesInDayMonthYear) {
  platform::ScopedLocale uk(test::DayMonthYear());
  Enter(0, 0, "13/1/2004");
  EXPECT_EQ(FormatOf(0, 0), 14);
  EXPECT_EQ(sheet_.CellObject(0, 0)->DisplayText(), "13/01/2004");
  EXPECT_EQ(sheet_.CellObject(0, 0)->EditText(), "13/01/2004 00:00");
}

TEST_F(CellObjects, RawTextAndAlignment) {
  auto cell = sheet_.CellObject(0, 0);
  cell->SetRawText("=1+2");
  EXPECT_EQ(Rec(0, 0).DataType, kCellText);
  EXPECT_EQ(cell->EffectiveAlignment(), 0);
  cell->SetRawText("12.5");
  EXPECT_EQ(cell->EffectiveAlignment(), 2);
  cell->SetRawText("true");
  EXPECT_EQ(cell->EffectiveAlignment(), 1);
  cell->Style().SetHorzTextAlign(haCENTER);
  EXPECT_EQ(cell->EffectiveAlignment(), 1);
  cell->Style().SetHorzTextAlign(haJUSTIFY);
  EXPECT_EQ(cell->EffectiveAlignment(), 4);
}

TEST_F(CellObjects, OneUndoStepPerObject) {
  {
    auto cell = sheet_.CellObject(0, 0);
    cell->SetText("one");
    cell->SetText("two");
    cell->Style().Font().SetStyle(kFontBold);
  }
  EXPECT_EQ(book_.History().UndoCount(), 1);
  EXPECT_EQ(book_.History().UndoList().ChildAt(0)->Caption(), "Change cells");
  book_.History().Undo();
  EXPECT_EQ(Rec(0, 0).Text, "");
  EXPECT_EQ(Rec(0, 0).Style, book_.StyleCache().DefaultEntry());
  book_.History().Redo();
  EXPECT_EQ(Rec(0, 0).Text, "two");
  EXPECT_EQ(Rec(0, 0).Style->Font->Style, kFontBold);
  // An object that changed nothing leaves no step.
  { auto idle = sheet_.CellObject(5, 5); }
  EXPECT_EQ(book_.History().UndoCount(), 1);
}

TEST_F(CellObjects, AssignCopiesTextAndStyle) {
  auto source = sheet_.CellObject(0, 0);
  source->SetText("=1+1");
  source->Style().Brush().SetBackgroundColor(4);
  auto target = sheet_.CellObject(2, 2);
  target->Assign(*source);
  EXPECT_EQ(Rec(2, 2).Text, "=1+1");
  EXPECT_EQ(target->Style().Brush().BackgroundColor(), 4);
}

TEST_F(CellObjects, EditabilityRules) {
  auto locked = sheet_.CellObject(0, 0);
  locked->SetText("x");
  auto unlocked = sheet_.CellObject(1, 0);
  unlocked->Style().SetLocked(false);
  EXPECT_TRUE(sheet_.IsCellEditable(0, 0));  // not protected: everything editable
  book_.Protected = true;
  EXPECT_FALSE(sheet_.IsCellEditable(0, 0));
  EXPECT_TRUE(sheet_.IsCellEditable(1, 0));
  EXPECT_FALSE(sheet_.IsCellEditable(9, 9));  // no record: the column's locked flag
  sheet_.ColumnHeader().SetProtectionLocked(9, false);
  EXPECT_TRUE(sheet_.IsCellEditable(9, 9));
  EXPECT_FALSE(sheet_.AreCellsEditable(TRect{0, 0, 1, 0}));
  EXPECT_TRUE(sheet_.AreCellsEditable(TRect{1, 0, 0, 0}));  // empty rectangle
  book_.Protected = false;
  book_.SetReadOnly(true);
  EXPECT_TRUE(sheet_.IsCellEditable(0, 0));  // read-only alone does not protect here
  book_.ExcelProtectionStyle = false;
  EXPECT_FALSE(sheet_.IsCellEditable(5, 5));
  book_.SetReadOnly(false);
  EXPECT_TRUE(sheet_.IsCellEditable(5, 5));
  sheet_.SheetReadOnly = true;
  EXPECT_FALSE(sheet_.IsCellEditable(5, 5));
  book_.SetLoading(true);
  EXPECT_TRUE(sheet_.IsCellEditable(5, 5));
}

TEST_F(CellObjects, SelectionVetoesAndMergedAreas) {
  sheet_.Storage().MergeCells(TRect{1, 1, 2, 2}, true);
  sheet_.SelectCell(2, 2);
  EXPECT_EQ(sheet_.Selection(), (TRect{1, 1, 2, 2}));
  EXPECT_EQ(sheet_.Storage().SelectionType(), SelectionKind::OneMergedArea);
  std::vector<TPoint> asked;
  book_.events.OnActiveCellChanging = [&](TSSBookSheet&, TPoint cell, bool& can) {
    asked.push_back(cell);
    can = false;
  };
  sheet_.SetSelection(TRect{4, 4, 5, 5});
  sheet_.Storage().SetActiveCol(7);
  sheet_.Storage().SetActiveRow(7);
  EXPECT_EQ(sheet_.Selection(), (TRect{1, 1, 2, 2}));
  EXPECT_EQ(asked.size(), 3u);
  book_.events.OnActiveCellChanging = nullptr;
  int selections = 0;
  book_.events.OnSetSelection = [&](TCustomSpreadSheetBook&, TSSBookSheet&) { ++selections; };
  sheet_.ColumnHeader().SetVisible(5, false);
  sheet_.Storage().SetActiveCol(5);  // moving right skips the hidden column
  EXPECT_EQ(sheet_.Selection(), (TRect{6, 1, 6, 1}));
  sheet_.Storage().SetActiveCol(5);  // moving left: the last visible one before it
  EXPECT_EQ(sheet_.Selection(), (TRect{4, 1, 4, 1}));
  EXPECT_EQ(selections, 2);
}

TEST_F(CellObjects, ColumnsAndRowsShownAndHidden) {
  sheet_.SetSelection(TRect{2, 0, 3, 0});
  sheet_.SetColumnsRowsVisible(TRect{2, 0, 3, 0}, true, false, false);
  EXPECT_FALSE(sheet_.ColumnHeader().IsVisible(2));
  EXPECT_FALSE(sheet_.ColumnHeader().IsVisible(3));
  EXPECT_EQ(sheet_.Selection().Left, 4);
  sheet_.ColumnHeader().SetSize(2, 0);
  sheet_.SetColumnsRowsVisible(TRect{2, 0, 3, 0}, true, true, false);
  EXPECT_EQ(sheet_.ColumnHeader().Size(2), 85);  // shown with size 0: the default size
  EXPECT_TRUE(sheet_.ColumnHeader().IsVisible(3));
}

TEST_F(CellObjects, WrappedTextGrowsItsRow) {
  auto cell = sheet_.CellObject(0, 4);
  cell->Style().SetWordBreak(true);
  cell->SetText("a rather long text that needs several lines in a narrow column");
  EXPECT_GT(sheet_.RowHeader().Size(4), 20);
  const uint16_t grown = sheet_.RowHeader().Size(4);
  cell->SetText("short");
  EXPECT_LT(sheet_.RowHeader().Size(4), grown);
  sheet_.RowHeader().SetSize(6, 25);  // set explicitly: left alone
  auto fixed = sheet_.CellObject(0, 6);
  fixed->Style().SetWordBreak(true);
  fixed->SetText("a rather long text that needs several lines in a narrow column");
  EXPECT_EQ(sheet_.RowHeader().Size(6), 25);
}

}  // namespace
}  // namespace workbook
