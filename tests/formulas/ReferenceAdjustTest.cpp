// Reference repair when whole columns or rows are inserted or deleted.
#include <gtest/gtest.h>

#include "FormulaTestBook.h"
#include "formulas/ReferenceAdjust.h"
#include "platform/Locale.h"

namespace formulas::test {
namespace {

class ReferenceAdjustTest : public ::testing::Test {
 protected:
  platform::ScopedLocale locale_{platform::LocaleSettings::EnglishUS()};
  FormulaTestBook book_;

  // Runs the cache's repair and then moves the cells, as the range operations do.
  void Change(bool columns, bool del, int32_t first, int32_t count, uint16_t sheet = 0) {
    const workbook::TRect rect =
        columns ? workbook::TRect{first, 0, first + count - 1, workbook::kFarEdge}
                : workbook::TRect{0, first, workbook::kFarEdge, first + count - 1};
    book_.Cache().AdjustForInsertDelete(sheet, rect, columns, del);
    book_.MoveCells(sheet, columns, del, first, count);
  }
};

TEST_F(ReferenceAdjustTest, DeletingAColumnMovesRelativeAndAbsoluteParts) {
  book_.Set("C1", "=D1+$D$1");
  Change(true, true, 1, 1);                 // delete column B
  EXPECT_EQ(book_.Text("B1"), "=C1+$C$1");  // both still name the cell that moved
  ASSERT_NE(book_.Entry("B1"), nullptr);
  EXPECT_EQ(book_.Entry("B1")->Col, 1);
}

TEST_F(ReferenceAdjustTest, ReferencesIntoDeletedCellsBecomeRefText) {
  book_.Set("D1", "=B1");
  Change(true, true, 0, 2);  // delete columns A and B
  EXPECT_EQ(book_.Text("B1"), "#REF!");
  EXPECT_EQ(book_.Entry("B1"), nullptr);
  EXPECT_EQ(book_.Cache().EntryCount(), 0u);
  // A reference to the first deleted column is gone as well (it used to stay and point at
  // the formula's own cell).
  book_.Set("B1", "=A1");
  Change(true, true, 0, 1);
  EXPECT_EQ(book_.Text("A1"), "#REF!");
}

TEST_F(ReferenceAdjustTest, InsertingRowsMovesReferencesAtAndAfterThePoint) {
  book_.Set("A2", "=A1");
  Change(false, false, 0, 1);  // insert a row above row 1
  EXPECT_EQ(book_.Text("A3"), "=A2");
  book_.Set("B5", "=SUM(B1:B4)+B$9");
  Change(false, false, 2, 2);  // insert two rows above row 3
  EXPECT_EQ(book_.Text("B7"), "=SUM(B1:B6)+B$11");
  EXPECT_EQ(book_.Text("A5"), "=A2");  // the cell moves, its reference above the point does not
}

TEST_F(ReferenceAdjustTest, AreasShrinkAndGrow) {
  book_.Set("F1", "=SUM(A1:D1)");
  Change(true, true, 1, 2);  // delete B:C
  EXPECT_EQ(book_.Text("D1"), "=SUM(A1:B1)");
  Change(true, false, 1, 3);  // insert three columns at B
  EXPECT_EQ(book_.Text("G1"), "=SUM(A1:E1)");
  book_.Set("H2", "=SUM(B2:C2)");
  Change(true, true, 1, 2);  // the whole area is deleted
  EXPECT_EQ(book_.Text("F2"), "#REF!");
}

TEST_F(ReferenceAdjustTest, SheetQualifiedReferencesFollowTheirSheetOnly) {
  book_.AddSheet("Two");
  book_.Set("A1", "=Two!C1+C1");
  book_.Set("Two!E1", "=C1+Sheet1!C1");
  Change(true, false, 0, 1, 1);  // insert a column at A of sheet Two
  EXPECT_EQ(book_.Text("A1"), "=Two!D1+C1");
  EXPECT_EQ(book_.Text("Two!F1"), "=D1+Sheet1!C1");
}

TEST_F(ReferenceAdjustTest, NamesMoveGrowShrinkOrGo) {
  auto& cache = book_.Cache();
  cache.AddName("After", 0, true, workbook::TRect{3, 0, 4, 0});   // D1:E1
  cache.AddName("Across", 0, true, workbook::TRect{0, 0, 3, 0});  // A1:D1
  cache.AddName("Inside", 0, true, workbook::TRect{1, 0, 1, 0});  // B1
  cache.AddName("Other", 1, true, workbook::TRect{3, 0, 3, 0});   // another sheet
  Change(true, true, 1, 2);                                       // delete B:C
  const auto& n = cache.Names();
  EXPECT_EQ(n[0].Left, 1);
  EXPECT_EQ(n[0].Right, 2);
  EXPECT_EQ(n[1].Left, 0);
  EXPECT_EQ(n[1].Right, 1);
  EXPECT_EQ(n[2].Deleted, 1);
  EXPECT_EQ(n[3].Left, 3);
  Change(true, false, 1, 1);  // insert one column at B
  EXPECT_EQ(n[1].Right, 2);   // a name across the point grows
  EXPECT_EQ(n[0].Left, 2);
}

TEST_F(ReferenceAdjustTest, PureFunctionOnTokens) {
  BandChange change;
  change.columns = false;
  change.del = true;
  change.first = 2;
  change.count = 3;  // rows 3..5
  EXPECT_EQ(change.Move(1), 1);
  EXPECT_EQ(change.Move(2), -1);
  EXPECT_EQ(change.Move(4), -1);
  EXPECT_EQ(change.Move(5), 2);
  int64_t lo = 0, hi = 9;
  EXPECT_TRUE(change.MoveSpan(lo, hi));
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, 6);
  lo = 3, hi = 8;
  EXPECT_TRUE(change.MoveSpan(lo, hi));
  EXPECT_EQ(lo, 2);
  EXPECT_EQ(hi, 5);
  lo = 2, hi = 4;
  EXPECT_FALSE(change.MoveSpan(lo, hi));
  // A relative reference from row 9 to row 0 (offset -9): the formula moves to row 6.
  TokenBlock t = MakeRefToken(RefToken{false, false, -9, 0});
  EXPECT_TRUE(AdjustTokens(t, 0, 0, 9, 0, 6, change));
  EXPECT_EQ(ReadRefToken(t.Data()).row, -6);
  // A broken stream is refused.
  TokenBlock broken(std::span<const uint8_t>(t.Data(), 5));
  EXPECT_FALSE(AdjustTokens(broken, 0, 0, 9, 0, 6, change));
}

}  // namespace
}  // namespace formulas::test
