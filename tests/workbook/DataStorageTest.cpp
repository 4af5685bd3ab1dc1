#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "workbook/SSUtils.h"
#include "workbook/TSSDataStorage.h"
#include "workbook/TestHost.h"
#include "workbook/TestLocales.h"

namespace workbook {
namespace {

class DataStorage : public ::testing::Test {
 protected:
  void SetFormat(int32_t col, int32_t row, uint16_t code) {
    TSSCellStyle style(storage_, col, row);
    style.SetFormatCode(code);
  }
  platform::ScopedLocale locale_{test::EnglishUS()};
  test::TestHost host_;
  TSSDataStorage storage_{host_};
};

TEST_F(DataStorage, ReadsOutsideTheGridYieldTheTemplate) {
  const TSSCellRec rec = storage_.CellRec(5, 70000);
  EXPECT_EQ(rec.Text, "");
  EXPECT_EQ(rec.DataType, kCellText);
  EXPECT_EQ(rec.Value, 0);
  EXPECT_EQ(rec.Style, host_.styles.DefaultEntry());
  EXPECT_EQ(storage_.CellRec(-1, -1).Style, host_.styles.DefaultEntry());
  EXPECT_EQ(storage_.ColCapacity(), 0);
  EXPECT_EQ(storage_.RowCapacity(), 0);
  EXPECT_EQ(storage_.RecordCount(), 0u);
}

TEST_F(DataStorage, GrowthInStepsOfTenColumnsAndThousandRows) {
  storage_.StoreCellTextChecked(0, 1500, "x");
  EXPECT_EQ(storage_.RowCapacity(), 2500);
  EXPECT_EQ(storage_.ColCapacity(), 10);
  EXPECT_EQ(storage_.UsedCols(), 1);
  EXPECT_EQ(storage_.UsedRows(), 1501);
  storage_.StoreCellTextChecked(10, 0, "y");
  EXPECT_EQ(storage_.ColCapacity(), 20);
  EXPECT_EQ(storage_.RowCapacity(), 2500);  // every column has the full row capacity
  EXPECT_EQ(storage_.RowsInColumn(0), 1501);
  EXPECT_EQ(storage_.RowsInColumn(10), 1);
  EXPECT_EQ(storage_.RowsInColumn(5), 0);
  EXPECT_EQ(storage_.CellRec(0, 1500).Text, "x");
  EXPECT_EQ(storage_.CellRec(10, 0).Text, "y");
}

// Columns made together share one block of row pointers; growing in columns and then in rows
// keeps every cell where it was and leaves the new room empty.
TEST_F(DataStorage, LargeGridsKeepTheirCellsWhileGrowing) {
  auto fill = [this](int32_t cols) {
    for (int32_t c = 0; c < cols; ++c)
      for (int32_t r : {0, 39999, c * 100 + 7}) storage_.StoreCellValue(c, r, c * 100000.0 + r);
  };
  auto check = [this](int32_t cols) {
    for (int32_t c = 0; c < cols; ++c) {
      for (int32_t r : {0, 39999, c * 100 + 7})
        ASSERT_EQ(storage_.CellNumber(c, r), c * 100000.0 + r) << c << "," << r;
      EXPECT_FALSE(storage_.HasRecord(c, 1)) << c;
    }
  };
  storage_.SetCapacity(12, 40000);
  fill(12);
  storage_.SetCapacity(30, 40000);  // 18 more columns at once
  check(12);
  for (int32_t c = 12; c < 30; ++c) EXPECT_FALSE(storage_.HasRecord(c, 39999)) << c;
  fill(30);
  storage_.SetCapacity(30, 90000);  // every column grows
  check(30);
  for (int32_t c = 0; c < 30; ++c) EXPECT_FALSE(storage_.HasRecord(c, 89999)) << c;
  storage_.StoreCellValue(29, 89999, 1.5);
  storage_.StoreCellValue(0, 89999, 2.5);
  EXPECT_EQ(storage_.CellNumber(29, 89999), 1.5);
  EXPECT_EQ(storage_.CellNumber(0, 89999), 2.5);
  EXPECT_FALSE(storage_.HasRecord(1, 89999));
  check(30);
}

// Slots come from chunks carved in order; freed slots are taken
// first. No slot is ever handed out while it is live.
TEST(CellPoolSlots, LiveSlotsAreNeverHandedOutAgain) {
  CellPool pool;
  std::vector<CellSlot*> live;
  constexpr size_t kSlots = 400000;  // several largest chunks
  for (size_t i = 0; i < kSlots; ++i) {
    live.push_back(pool.Allocate());
    ASSERT_EQ(live.back()->number, 0.0);
    ASSERT_EQ(live.back()->Style(), nullptr);
    live.back()->number = double(i);
  }
  EXPECT_EQ(std::set<CellSlot*>(live.begin(), live.end()).size(), kSlots);
  std::set<CellSlot*> freed;
  for (size_t i = 0; i < kSlots; i += 3) {
    freed.insert(live[i]);
    pool.Free(live[i]);
    live[i] = nullptr;
  }
  EXPECT_EQ(pool.LiveCount(), kSlots - freed.size());
  for (size_t k = 0; k < freed.size(); ++k) {
    CellSlot* again = pool.Allocate();
    ASSERT_EQ(freed.count(again), 1u);  // a freed slot, not a fresh one
    again->number = -1;
  }
  CellSlot* fresh = pool.Allocate();  // the free list is used up: carved anew
  EXPECT_EQ(freed.count(fresh), 0u);
  for (size_t i = 0; i < kSlots; ++i) {
    if (live[i]) {
      ASSERT_EQ(live[i]->number, double(i)) << i;
    }
  }
  pool.Free(fresh);
  for (CellSlot* slot : live)
    if (slot) pool.Free(slot);
  for (CellSlot* slot : freed) pool.Free(slot);
  EXPECT_EQ(pool.LiveCount(), 0u);
  pool.Clear();
  EXPECT_EQ(pool.Allocate()->number, 0.0);  // starts over after a clear
}

// An empty cell reads as the empty-cell template: writing that template there changes nothing,
// while any other content (a number 0, an empty text with a style) is a change.
TEST_F(DataStorage, WritesToEmptyCellsCompareWithTheTemplate) {
  storage_.StoreCellTextChecked(4, 4, "");
  storage_.RestoreCellContent(4, 5, "", kCellText, 0);
  EXPECT_TRUE(host_.listener.cells.empty());
  EXPECT_EQ(host_.listener.modified, 0);
  EXPECT_EQ(storage_.RecordCount(), 0u);
  storage_.StoreCellValue(4, 4, 0);
  ASSERT_EQ(host_.listener.cells.size(), 1u);
  EXPECT_EQ(storage_.CellDataType(4, 4), kCellNumber);
  SetFormat(6, 6, 4);
  EXPECT_EQ(host_.listener.cells.size(), 2u);
  EXPECT_EQ(storage_.CellStyleEntry(6, 6)->Format, 4);
  EXPECT_EQ(storage_.RecordCount(), 2u);
}

TEST_F(DataStorage, WritePathRecordsNotifiesAndSkipsIdenticalRecords) {
  storage_.StoreCellTextChecked(2, 3, "hello");
  ASSERT_EQ(host_.listener.cells.size(), 1u);
  EXPECT_EQ(host_.listener.cells[0], (test::CellEvent{2, 3}));
  ASSERT_EQ(host_.history.changes.size(), 1u);
  EXPECT_EQ(host_.history.before[0], "");  // recorded before the change
  EXPECT_EQ(host_.listener.modified, 1);
  TSSCellRec same = storage_.CellRec(2, 3);
  storage_.SetCellRec(2, 3, same);
  storage_.StoreCellTextChecked(2, 3, "hello");
  EXPECT_EQ(host_.listener.cells.size(), 1u);
  EXPECT_EQ(host_.history.changes.size(), 1u);
  storage_.StoreCellTextChecked(2, 3, "bye");
  EXPECT_EQ(host_.history.before.back(), "hello");
  // Negative and far-edge coordinates are ignored.
  storage_.StoreCellTextChecked(-1, 0, "x");
  storage_.StoreCellValue(0, -5, 1);
  storage_.StoreCellTextChecked(kFarEdge, 0, "x");
  EXPECT_EQ(host_.listener.cells.size(), 2u);
  // The bulk flag suppresses recording but not the event.
  storage_.SetBulk(true);
  storage_.StoreCellTextChecked(0, 0, "bulk");
  storage_.SetBulk(false);
  EXPECT_EQ(host_.history.changes.size(), 2u);
  EXPECT_EQ(host_.listener.cells.size(), 3u);
}

TEST_F(DataStorage, NumbersKeepTheirDecimalText) {
  storage_.StoreCellValue(0, 0, 0.1 + 0.2);
  TSSCellRec rec = storage_.CellRec(0, 0);
  EXPECT_EQ(rec.DataType, kCellNumber);
  EXPECT_EQ(rec.Text, "0.3");
  EXPECT_DOUBLE_EQ(rec.Value, 0.1 + 0.2);
  EXPECT_EQ(storage_.CellValueText(0, 0), "0.3");
  // Writing the same record back, text included, is no change.
  const size_t events = host_.listener.cells.size();
  storage_.SetCellRec(0, 0, rec);
  EXPECT_EQ(host_.listener.cells.size(), events);
  // A number record written with a text of its own keeps that text.
  rec.Text = "custom";
  storage_.SetCellRec(0, 0, rec);
  EXPECT_EQ(storage_.CellRec(0, 0).Text, "custom");
  EXPECT_EQ(storage_.CellRec(0, 0).DataType, kCellNumber);
  // Text that looks like a number stays text.
  storage_.StoreCellTextChecked(1, 0, "12.5");
  EXPECT_EQ(storage_.CellDataType(1, 0), kCellText);
  EXPECT_EQ(storage_.CellDisplayText(1, 0), "12.5");
}

TEST_F(DataStorage, FormulaTextBecomesAFormulaUnlessTheFormatIsText) {
  storage_.StoreCellTextChecked(0, 0, "=a1+1");
  TSSCellRec rec = storage_.CellRec(0, 0);
  EXPECT_EQ(rec.DataType, kCellFormula);
  ASSERT_NE(rec.Formula, nullptr);
  EXPECT_EQ(rec.Text, "=A1+1");  // regenerated by the cache
  EXPECT_EQ(storage_.CellEditText(0, 0), "=A1+1");
  EXPECT_EQ(storage_.CellValueText(0, 0), "42");
  storage_.StoreCellTextChecked(0, 1, "= 1");
  EXPECT_EQ(storage_.CellDataType(0, 1), kCellFormula);
  storage_.StoreCellTextChecked(0, 2, "=1#");
  EXPECT_EQ(storage_.CellDataType(0, 2), kCellText);
  SetFormat(0, 3, kTextFormatCode);
  storage_.StoreCellTextChecked(0, 3, "=A1+1");
  EXPECT_EQ(storage_.CellDataType(0, 3), kCellText);
  storage_.StoreCellText(0, 4, false, true, "plain");  // forced
  EXPECT_EQ(storage_.CellDataType(0, 4), kCellFormula);
  storage_.StoreCellText(0, 5, false, false, "=A1");  // not checked
  EXPECT_EQ(storage_.CellDataType(0, 5), kCellText);
}

TEST_F(DataStorage, ReplacingAFormulaRemovesItsEntry) {
  storage_.StoreCellTextChecked(0, 0, "=1+1");
  storage_.StoreCellTextChecked(1, 0, "=2+2");
  storage_.StoreCellTextChecked(2, 0, "=3+3");
  EXPECT_EQ(host_.formulas.live.size(), 3u);
  storage_.StoreCellTextChecked(0, 0, "text");
  storage_.StoreCellValue(1, 0, 5);
  storage_.StoreCellTextChecked(2, 0, "=4+4");
  EXPECT_EQ(host_.formulas.live.size(), 1u);
  EXPECT_EQ(storage_.CellRec(0, 0).Formula, nullptr);
  EXPECT_EQ(storage_.CellRec(1, 0).DataType, kCellNumber);
  storage_.ClearAll();
  EXPECT_TRUE(host_.formulas.live.empty());
  EXPECT_EQ(host_.formulas.badRemoves, 0);
}

TEST_F(DataStorage, WithoutAFormulaCacheFormulasStayText) {
  host_.withFormulas = false;
  storage_.StoreCellTextChecked(0, 0, "=1+1");
  EXPECT_EQ(storage_.CellDataType(0, 0), kCellText);
  EXPECT_EQ(storage_.CellRec(0, 0).Text, "=1+1");
}

TEST_F(DataStorage, PercentFormatsStoreFractions) {
  SetFormat(0, 0, 10);
  storage_.StoreCellTextChecked(0, 0, "12.5%");
  EXPECT_EQ(storage_.CellRec(0, 0).Text, "0.125");
  EXPECT_EQ(storage_.CellEditText(0, 0), "12.5%");
  EXPECT_EQ(storage_.CellDisplayText(0, 0), "12.50%");
  storage_.StoreCellTextChecked(0, 0, "abc%");
  EXPECT_EQ(storage_.CellRec(0, 0).Text, "abc%");
  SetFormat(1, 0, 2);
  storage_.StoreCellTextChecked(1, 0, "12.5%");  // other formats keep the text
  EXPECT_EQ(storage_.CellRec(1, 0).Text, "12.5%");
}

TEST_F(DataStorage, DateFormatsEditAsDateAndTime) {
  platform::ScopedLocale uk(test::DayMonthYear());
  SetFormat(0, 0, 14);
  storage_.StoreCellValue(0, 0, 0.5);
  EXPECT_EQ(storage_.CellEditText(0, 0), "30/12/1899 12:00");
  EXPECT_EQ(storage_.CellDisplayText(0, 0), "30/12/1899");
  platform::ScopedLocale us(test::EnglishUS());
  EXPECT_EQ(storage_.CellEditText(0, 0), "12/30/1899 12:00 PM");
}

TEST_F(DataStorage, DisplayTextUsesFormatAndPrecision) {
  SetFormat(0, 0, 4);
  storage_.StoreCellValue(0, 0, 1234.567);
  EXPECT_EQ(storage_.CellDisplayText(0, 0), "1,234.57");
  storage_.StoreCellTextChecked(1, 0, "true");
  EXPECT_EQ(storage_.CellDisplayText(1, 0), "1");
  storage_.StoreCellValue(2, 0, 1.0 / 3);
  EXPECT_EQ(storage_.CellDisplayText(2, 0), "0.33333333");
  SetFormat(3, 0, kTextFormatCode);
  storage_.StoreCellTextChecked(3, 0, "0012");
  EXPECT_EQ(storage_.CellDisplayText(3, 0), "0012");
}

TEST_F(DataStorage, UsedExtentIgnoresFontOnlyStyles) {
  EXPECT_EQ(storage_.UsedColCount(), 0);
  EXPECT_EQ(storage_.UsedRowCount(), 0);
  {
    TSSCellStyle bold(storage_, 4, 6);
    bold.Font().SetStyle(kFontBold);
  }
  EXPECT_EQ(storage_.UsedCols(), 5);  // the raw counters grew
  EXPECT_EQ(storage_.UsedColCount(), 0);
  EXPECT_EQ(storage_.UsedRowCount(), 0);
  {
    TSSCellStyle yellow(storage_, 2, 8);
    yellow.Brush().SetBackgroundColor(5);
  }
  EXPECT_EQ(storage_.UsedColCount(), 3);
  EXPECT_EQ(storage_.UsedRowCount(), 9);
  storage_.StoreCellTextChecked(1, 10, "t");
  EXPECT_EQ(storage_.UsedColCount(), 3);
  EXPECT_EQ(storage_.UsedRowCount(), 11);
  storage_.StoreCellValue(7, 0, 0);  // a stored zero shows "0"
  EXPECT_EQ(storage_.UsedColCount(), 8);
  storage_.StoreCellTextChecked(1, 10, "");
  EXPECT_EQ(storage_.UsedRowCount(), 9);
}

TEST_F(DataStorage, MoveCellsShiftsRecordsWithoutEventsOrUndo) {
  storage_.StoreCellTextChecked(0, 0, "a");
  storage_.StoreCellTextChecked(0, 1, "b");
  storage_.StoreCellValue(0, 2, 3);
  const size_t events = host_.listener.cells.size();
  const size_t changes = host_.history.changes.size();
  storage_.MoveCells(12, 0, true, 10, 1, 2000);  // count cut to the rows in use
  EXPECT_EQ(host_.listener.cells.size(), events);
  EXPECT_EQ(host_.history.changes.size(), changes);
  EXPECT_EQ(storage_.CellRec(12, 2000).Text, "b");
  EXPECT_EQ(storage_.CellNumber(12, 2001), 3);
  EXPECT_FALSE(storage_.HasRecord(0, 1));
  EXPECT_EQ(storage_.CellRec(0, 0).Text, "a");
  EXPECT_EQ(storage_.UsedCols(), 13);
  EXPECT_EQ(storage_.RowsInColumn(12), 2002);
  EXPECT_GE(storage_.RowCapacity(), 3002);
  EXPECT_GE(storage_.ColCapacity(), 22);
  // Shifting down within one column does not overwrite what it still has to move.
  storage_.MoveCells(12, 12, true, 2, 2000, 2001);
  EXPECT_EQ(storage_.CellRec(12, 2001).Text, "b");
  EXPECT_EQ(storage_.CellNumber(12, 2002), 3);
  // Copying without clearing gives the destination a record of its own.
  storage_.MoveCells(1, 0, false, 1, 0, 0);
  EXPECT_EQ(storage_.CellRec(1, 0).Text, "a");
  storage_.StoreCellTextChecked(0, 0, "changed");
  EXPECT_EQ(storage_.CellRec(1, 0).Text, "a");
  storage_.MoveCells(0, 50, true, 5, 0, 0);  // source beyond the used columns: nothing
  EXPECT_EQ(storage_.CellRec(0, 0).Text, "changed");
}

TEST_F(DataStorage, AssignCopiesCellsStylesAndCaption) {
  storage_.SetCaption("Sheet1");
  storage_.StoreCellTextChecked(0, 0, "text");
  storage_.StoreCellValue(1, 1, 2.5);
  storage_.StoreCellTextChecked(2, 2, "=1+2");
  {
    TSSCellStyle style(storage_, 0, 0);
    style.Font().SetStyle(kFontBold);
  }
  storage_.MergedCells().AddArea(TRect{3, 3, 4, 4});
  storage_.SetSelection(TRect{1, 1, 2, 2});
  TSSDataStorage copy(host_);
  copy.Assign(storage_);
  EXPECT_EQ(copy.Caption(), "Sheet12");  // same book
  EXPECT_EQ(copy.CellRec(0, 0).Text, "text");
  EXPECT_EQ(copy.CellRec(0, 0).Style, storage_.CellRec(0, 0).Style);
  EXPECT_EQ(copy.CellRec(0, 0).Style->RefCount, 2);
  EXPECT_EQ(copy.CellRec(1, 1).Text, "2.5");
  EXPECT_EQ(copy.CellRec(1, 1).DataType, kCellNumber);
  EXPECT_EQ(copy.CellRec(2, 2).DataType, kCellFormula);
  EXPECT_NE(copy.CellRec(2, 2).Formula, storage_.CellRec(2, 2).Formula);
  EXPECT_EQ(copy.MergedCells().Count(), 1);
  EXPECT_EQ(copy.Selection(), (TRect{1, 1, 2, 2}));
  EXPECT_EQ(copy.UsedCols(), storage_.UsedCols());
  // Another book: the style is taken into that book's cache.
  test::TestHost other;
  TSSDataStorage foreign(other);
  foreign.Assign(storage_);
  EXPECT_EQ(foreign.Caption(), "Sheet1");
  const StyleEntry* imported = foreign.CellRec(0, 0).Style;
  EXPECT_TRUE(other.styles.Owns(imported));
  EXPECT_EQ(imported->Font->Style, kFontBold);
  EXPECT_NE(imported->Font, storage_.CellRec(0, 0).Style->Font);
}

TEST_F(DataStorage, CellBoundsSumHeaderSizes) {
  storage_.ColumnHeader().SetSize(1, 100);
  storage_.RowHeader().SetVisible(0, false);
  EXPECT_EQ(storage_.CellBounds(2, 1, false), (TRect{185, 0, 270, 20}));
  storage_.MergedCells().AddArea(TRect{2, 1, 3, 2});
  EXPECT_EQ(storage_.CellBounds(3, 2, true), (TRect{185, 0, 355, 40}));
  EXPECT_EQ(storage_.CellBounds(3, 2, false), (TRect{270, 20, 355, 40}));
}

TEST_F(DataStorage, SelectionCoversWholeMergedAreas) {
  storage_.MergeCells(TRect{1, 1, 2, 2}, true);
  storage_.SetSelection(TRect{2, 2, 2, 2});
  EXPECT_EQ(storage_.Selection(), (TRect{1, 1, 2, 2}));
  EXPECT_EQ(storage_.SelectionType(), SelectionKind::OneMergedArea);
  storage_.SetSelection(TRect{5, 5, 3, 3});  // corners are normalised
  EXPECT_EQ(storage_.Selection(), (TRect{3, 3, 5, 5}));
  EXPECT_EQ(storage_.SelectionType(), SelectionKind::Other);
  storage_.SetActiveCol(7);
  EXPECT_EQ(storage_.Selection(), (TRect{7, 3, 7, 3}));
  EXPECT_EQ(storage_.SelectionType(), SelectionKind::SingleCell);
  storage_.SetActiveRow(1);
  EXPECT_EQ(storage_.Selection(), (TRect{7, 1, 7, 1}));
  EXPECT_GE(host_.listener.selections, 4);
}

}  // namespace
}  // namespace workbook
