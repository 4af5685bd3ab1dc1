#include <gtest/gtest.h>

#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSpreadSheetHistory.h"
#include "workbook/TestLocales.h"
#include "workbook/Workbook.h"

namespace workbook {
namespace {

// Everything observable about a sheet, for exact before/after comparisons.
struct Snapshot {
  std::vector<std::string> cells;
  std::vector<int32_t> refCounts;
  std::vector<TRect> merged;
  friend bool operator==(const Snapshot&, const Snapshot&) = default;
};

// Names the first difference, so a failing comparison says where.
std::string FirstDifference(const Snapshot& a, const Snapshot& b) {
  for (size_t i = 0; i < a.cells.size() && i < b.cells.size(); ++i)
    if (a.cells[i] != b.cells[i])
      return "cell " + std::to_string(i / 8) + "," + std::to_string(i % 8) + ": " + a.cells[i] +
             " vs " + b.cells[i];
  if (a.refCounts != b.refCounts)
    return "reference counts: " + std::to_string(a.refCounts.size()) + " vs " +
           std::to_string(b.refCounts.size()) + " entries";
  if (a.merged != b.merged) return "merged areas differ";
  return "";
}

Snapshot Take(TCustomSpreadSheetBook& book, TSSBookSheet& sheet) {
  Snapshot s;
  TSSDataStorage& st = sheet.Storage();
  for (int32_t col = 0; col < 8; ++col) {
    for (int32_t row = 0; row < 8; ++row) {
      const TSSCellRec rec = st.CellRec(col, row);
      const StyleEntry& e = *rec.Style;
      s.cells.push_back(rec.Text + "|" + std::to_string(rec.DataType) + "|" +
                        std::to_string(rec.Value) + "|" + std::to_string(e.Format) + "|" +
                        std::to_string(e.Flags) + "|" + std::to_string(e.BackgroundColor) + "|" +
                        std::to_string(e.Borders[0].Style) + "|" +
                        std::to_string(e.Borders[2].Style) + "|" + e.Font->Name + "|" +
                        std::to_string(e.Font->Style));
    }
  }
  for (int i = 0; i < book.StyleCache().EntryCount(); ++i)
    s.refCounts.push_back(book.StyleCache().EntryAt(i)->RefCount);
  std::sort(s.refCounts.begin(), s.refCounts.end());
  s.merged = st.MergedCells().AllAreas();
  return s;
}

class History : public ::testing::Test {
 protected:
  void Enter(int32_t col, int32_t row, const std::string& text) {
    sheet_.CellObject(col, row)->SetText(text);
  }
  platform::ScopedLocale locale_{test::EnglishUS()};
  Workbook book_;
  TSSBookSheet& sheet_ = *book_.ActiveSheet();
  TSpreadSheetHistory& history_ = book_.History();
};

TEST_F(History, EachWriteOutsideAGroupIsOneStep) {
  sheet_.Storage().StoreCellTextChecked(0, 0, "a");
  sheet_.Storage().StoreCellValue(1, 0, 2);
  EXPECT_EQ(history_.UndoCount(), 2);
  EXPECT_EQ(history_.UndoList().ChildAt(0)->Caption(), "Change cells");
  history_.Undo();
  EXPECT_EQ(sheet_.Storage().CellRec(1, 0).DataType, kCellText);
  EXPECT_EQ(sheet_.Storage().CellRec(0, 0).Text, "a");
  EXPECT_EQ(history_.RedoCount(), 1);
  history_.Redo();
  EXPECT_EQ(sheet_.Storage().CellRec(1, 0).DataType, kCellNumber);
  EXPECT_EQ(sheet_.Storage().CellRec(1, 0).Value, 2);
}

TEST_F(History, NewChangeForgetsTheRedoList) {
  Enter(0, 0, "a");
  Enter(0, 1, "b");
  history_.Undo();
  EXPECT_EQ(history_.RedoCount(), 1);
  Enter(0, 2, "c");
  EXPECT_EQ(history_.RedoCount(), 0);
  history_.Redo();  // nothing to redo
  EXPECT_EQ(sheet_.Storage().CellRec(0, 1).Text, "");
}

TEST_F(History, AtMostFifteenSteps) {
  for (int i = 0; i < 20; ++i) Enter(0, i, std::to_string(i));
  EXPECT_EQ(history_.UndoCount(), TCustomHistory::kLimit);
  history_.Undo(100);
  EXPECT_EQ(sheet_.Storage().CellRec(0, 4).Text, "4");  // beyond the limit: kept
  EXPECT_EQ(sheet_.Storage().CellRec(0, 5).Text, "");
  EXPECT_EQ(history_.RedoCount(), TCustomHistory::kLimit);
}

TEST_F(History, UndoingEverythingRestoresTheExactState) {
  Enter(0, 0, "keep");
  {
    auto cell = sheet_.CellObject(1, 1);
    cell->Style().Brush().SetBackgroundColor(6);
  }
  history_.Clear();
  const Snapshot before = Take(book_, sheet_);
  // A mixture of entries, styles, borders with neighbours, merges and splits.
  Enter(0, 0, "12.5");
  Enter(2, 2, "=1+2");
  Enter(3, 3, "1/2/2004");
  { sheet_.CellObject(1, 1)->Style().Font().SetStyle(kFontBold | kFontItalic); }
  { sheet_.CellObject(2, 1)->Style().Borders().Left().SetStyle(lsThick); }
  { sheet_.CellObject(4, 4)->Style().SetFormat(10); }
  Enter(4, 4, "50%");
  sheet_.Storage().MergeCells(TRect{5, 5, 6, 6}, true);
  sheet_.Storage().MergeCells(TRect{6, 6, 7, 7}, true);
  sheet_.Storage().MergeCells(TRect{5, 5, 5, 5}, false);
  Enter(0, 7, "$1,000");
  { sheet_.CellObject(1, 1)->SetRawText("raw"); }
  sheet_.Storage().StoreCellValue(7, 0, 1.0 / 3);
  const Snapshot after = Take(book_, sheet_);
  ASSERT_LE(history_.UndoCount(), TCustomHistory::kLimit);
  ASSERT_NE(before, after);
  history_.Undo(history_.UndoCount());
  EXPECT_EQ(FirstDifference(Take(book_, sheet_), before), "");
  history_.Redo(history_.RedoCount());
  EXPECT_EQ(FirstDifference(Take(book_, sheet_), after), "");
  EXPECT_DOUBLE_EQ(sheet_.Storage().CellNumber(7, 0), 1.0 / 3);  // the exact value, not 15 digits
}

TEST_F(History, MergeAndSplitAreSingleSteps) {
  sheet_.Storage().MergeCells(TRect{0, 0, 1, 1}, true);
  ASSERT_EQ(history_.UndoCount(), 1);
  EXPECT_EQ(history_.UndoList().ChildAt(0)->Caption(), "Merge cells");
  sheet_.Storage().MergeCells(TRect{0, 0, 0, 0}, false);
  EXPECT_EQ(history_.UndoList().ChildAt(0)->Caption(), "Split cells");
  history_.Undo();
  EXPECT_EQ(sheet_.Storage().MergedCells().Count(), 1);
  EXPECT_TRUE(sheet_.Storage().CellStyleEntry(1, 1)->Flags & kStyleMerged);
  history_.Undo();
  EXPECT_EQ(sheet_.Storage().MergedCells().Count(), 0);
  EXPECT_EQ(book_.StyleCache().EntryCount(), 1);
}

TEST_F(History, GroupsNestAndEmptyGroupsVanish) {
  ASSERT_NE(history_.BeginGroup("Outer"), nullptr);
  history_.BeginGroup("Empty inner");
  history_.EndGroup();
  Enter(0, 0, "x");
  history_.BeginGroup("Inner");
  Enter(0, 1, "y");
  history_.EndGroup();
  history_.Undo();  // refused while a group is open
  EXPECT_EQ(sheet_.Storage().CellRec(0, 0).Text, "x");
  history_.EndGroup();
  ASSERT_EQ(history_.UndoCount(), 1);
  const TCustomAction* outer = history_.UndoList().ChildAt(0);
  EXPECT_EQ(outer->Caption(), "Outer");
  EXPECT_EQ(outer->ChildCount(), 2);  // the inner group and the cell object's group; empty one gone
  history_.Undo();
  EXPECT_EQ(sheet_.Storage().CellRec(0, 0).Text, "");
  EXPECT_EQ(sheet_.Storage().CellRec(0, 1).Text, "");
  history_.BeginGroup("Nothing");
  history_.EndGroup();
  EXPECT_EQ(history_.UndoCount(), 0);
}

TEST_F(History, SuspendedRecordsNothing) {
  history_.Suspend();
  Enter(0, 0, "x");
  EXPECT_EQ(history_.BeginGroup("G"), nullptr);
  history_.Resume();
  history_.Resume();  // never below zero
  EXPECT_FALSE(history_.IsSuspended());
  EXPECT_EQ(history_.UndoCount(), 0);
}

TEST_F(History, ChangesRaiseTheHistoryEvent) {
  int changes = 0;
  book_.events.OnHistoryChanged = [&](TCustomSpreadSheetBook&) { ++changes; };
  Enter(0, 0, "x");
  EXPECT_GE(changes, 1);
  const int afterEntry = changes;
  history_.Undo();
  EXPECT_GT(changes, afterEntry);
  // Undo does not report each restored cell as a new step.
  EXPECT_EQ(history_.UndoCount(), 0);
  EXPECT_EQ(history_.RedoCount(), 1);
  // The book's teardown clears the history and raises the event once more: the handler must
  // not outlive `changes`.
  book_.events.OnHistoryChanged = nullptr;
}

TEST_F(History, DeletingASheetForgetsItsSteps) {
  book_.AddSheet();
  book_.Sheets(1).CellObject(0, 0)->SetText("x");
  EXPECT_EQ(history_.UndoCount(), 1);
  book_.DeleteSheet(1);
  EXPECT_EQ(history_.UndoCount(), 0);
  history_.Undo();  // nothing refers to the freed sheet
  EXPECT_EQ(book_.PageCount(), 1);
}

}  // namespace
}  // namespace workbook
