#include <gtest/gtest.h>

#include "workbook/TSSMergedCellsStorage.h"
#include "workbook/TestHost.h"

namespace workbook {
namespace {

class MergedCells : public ::testing::Test {
 protected:
  bool MergedFlag(int32_t col, int32_t row) {
    return storage_.CellStyleEntry(col, row)->Flags & kStyleMerged;
  }
  test::TestHost host_;
  TSSDataStorage storage_{host_};
  TSSMergedCellsStorage& merged_ = storage_.MergedCells();
};

TEST_F(MergedCells, AreasAndSelection) {
  storage_.MergeCells(TRect{1, 1, 2, 2}, true);  // B2:C3
  TRect area;
  EXPECT_TRUE(merged_.AreaAt(TPoint{2, 2}, area));
  EXPECT_EQ(area, (TRect{1, 1, 2, 2}));
  EXPECT_FALSE(merged_.AreaAt(TPoint{3, 3}, area));
  EXPECT_EQ(area, (TRect{3, 3, 3, 3}));
  storage_.SetSelection(TRect{2, 2, 2, 2});
  EXPECT_EQ(storage_.Selection(), (TRect{1, 1, 2, 2}));
  for (int32_t c = 1; c <= 2; ++c)
    for (int32_t r = 1; r <= 2; ++r) EXPECT_TRUE(MergedFlag(c, r)) << c << "," << r;
  EXPECT_FALSE(MergedFlag(3, 3));
  EXPECT_TRUE(merged_.Intersects(TRect{2, 0, 5, 1}));
  EXPECT_FALSE(merged_.Intersects(TRect{3, 0, 5, 5}));
  EXPECT_EQ(merged_.AllAreas(), (TSSRectsArray{TRect{1, 1, 2, 2}}));
  EXPECT_EQ(merged_.AreaByIndex(0), (TRect{1, 1, 2, 2}));
  EXPECT_EQ(merged_.AreaByIndex(1), (TRect{-1, -1, -1, -1}));
  ASSERT_EQ(host_.history.merges.size(), 1u);
  EXPECT_TRUE(host_.history.mergeKinds[0]);
  EXPECT_EQ(host_.listener.lock, 0);
}

TEST_F(MergedCells, OverlappingMergesJoin) {
  storage_.MergeCells(TRect{1, 1, 2, 2}, true);
  storage_.MergeCells(TRect{1, 2, 3, 3}, true);  // B3:D4
  ASSERT_EQ(merged_.Count(), 1);
  EXPECT_EQ(merged_.AreaByIndex(0), (TRect{1, 1, 3, 3}));
  EXPECT_TRUE(MergedFlag(3, 3));
}

TEST_F(MergedCells, ExpansionIsTransitive) {
  merged_.AddArea(TRect{0, 0, 1, 1});
  merged_.AddArea(TRect{2, 1, 3, 4});
  merged_.AddArea(TRect{1, 3, 1, 5});  // reached only through the second area
  merged_.AddArea(TRect{9, 9, 9, 10});
  EXPECT_EQ(merged_.ExpandByMerges(TRect{1, 1, 2, 1}), (TRect{0, 0, 3, 5}));
  EXPECT_EQ(merged_.ExpandByMerges(TRect{7, 7, 6, 6}), (TRect{6, 6, 7, 7}));
  EXPECT_EQ(merged_.AreasIn(TRect{1, 3, 2, 3}).size(), 2u);
}

TEST_F(MergedCells, SplittingAnyCellRemovesTheWholeArea) {
  storage_.MergeCells(TRect{1, 1, 3, 3}, true);
  storage_.MergeCells(TRect{2, 2, 2, 2}, false);
  EXPECT_EQ(merged_.Count(), 0);
  for (int32_t c = 1; c <= 3; ++c)
    for (int32_t r = 1; r <= 3; ++r) EXPECT_FALSE(MergedFlag(c, r));
  EXPECT_EQ(host_.styles.EntryCount(), 1);  // the merged-flag entry is gone again
  EXPECT_FALSE(host_.history.mergeKinds.back());
}

TEST_F(MergedCells, VetoTurnsAMergeIntoASplit) {
  storage_.MergeCells(TRect{0, 0, 1, 1}, true);
  host_.listener.refuseMerge = true;
  storage_.MergeCells(TRect{1, 1, 2, 2}, true);
  EXPECT_EQ(merged_.Count(), 0);
  EXPECT_FALSE(MergedFlag(0, 0));
  EXPECT_FALSE(MergedFlag(2, 2));
}

TEST_F(MergedCells, StyleChangesInsideAMergeAreOneUndoStep) {
  const size_t before = host_.history.changes.size();
  storage_.MergeCells(TRect{0, 0, 2, 2}, true);
  EXPECT_EQ(host_.history.changes.size(), before);  // suspended while merging
  EXPECT_EQ(host_.history.suspend, 0);
}

TEST_F(MergedCells, InsertingColumnsMovesAndWidensAreas) {
  merged_.AddArea(TRect{3, 0, 4, 1});                    // D1:E2
  merged_.AddArea(TRect{0, 0, 2, 0});                    // A1:C1
  merged_.AddArea(TRect{0, 5, 0, 6});                    // A6:A7, left of the block
  merged_.AdjustForInsert(TRect{1, 0, 2, kFarEdge}, 2);  // two columns at B
  const TSSRectsArray all = merged_.AllAreas();
  EXPECT_NE(std::find(all.begin(), all.end(), TRect{5, 0, 6, 1}), all.end());
  EXPECT_NE(std::find(all.begin(), all.end(), TRect{0, 0, 4, 0}), all.end());
  EXPECT_NE(std::find(all.begin(), all.end(), TRect{0, 5, 0, 6}), all.end());
  EXPECT_TRUE(MergedFlag(3, 0));  // the grown part is flagged
  EXPECT_TRUE(MergedFlag(4, 0));
}

TEST_F(MergedCells, DeletingRowsMovesAndShrinksAreas) {
  merged_.AddArea(TRect{0, 0, 0, 4});  // A1:A5
  merged_.AddArea(TRect{0, 5, 1, 6});  // A6:B7
  merged_.AddArea(TRect{3, 2, 3, 5});  // D3:D6 starts inside the deleted rows
  merged_.AddArea(TRect{5, 1, 5, 1});  // F2: inside, would have been cleared before
  merged_.AdjustForDelete(TRect{0, 1, kFarEdge, 2}, 3);  // rows 2 to 3
  const TSSRectsArray all = merged_.AllAreas();
  EXPECT_NE(std::find(all.begin(), all.end(), TRect{0, 0, 0, 2}), all.end());
  EXPECT_NE(std::find(all.begin(), all.end(), TRect{0, 3, 1, 4}), all.end());
  EXPECT_NE(std::find(all.begin(), all.end(), TRect{3, 1, 3, 3}), all.end());
  EXPECT_EQ(all.size(), 3u);  // F2 vanished with its rows
}

TEST_F(MergedCells, DeletingColumnsAtTheSheetStart) {
  merged_.AddArea(TRect{1, 0, 3, 0});                    // B1:D1
  merged_.AdjustForDelete(TRect{0, 0, 1, kFarEdge}, 2);  // columns A:B
  EXPECT_EQ(merged_.AllAreas(), (TSSRectsArray{TRect{0, 0, 1, 0}}));
  merged_.AdjustForDelete(TRect{0, 0, 5, 0}, 1);  // other modes do nothing here
  EXPECT_EQ(merged_.Count(), 1);
}

TEST_F(MergedCells, ClearingRemovesOnlyAreasInside) {
  merged_.AddArea(TRect{0, 0, 1, 1});
  merged_.AddArea(TRect{3, 3, 6, 6});
  merged_.RemoveInside(TRect{0, 0, 4, 4});
  EXPECT_EQ(merged_.AllAreas(), (TSSRectsArray{TRect{3, 3, 6, 6}}));
  merged_.AddArea(TRect{5, 5, 4, 4});  // given inverted: normalised
  EXPECT_EQ(merged_.AreaByIndex(1), (TRect{4, 4, 5, 5}));
  merged_.DeleteArea(7);  // bad index ignored
  EXPECT_EQ(merged_.Count(), 2);
  TSSMergedCellsStorage copy(nullptr);
  copy.Assign(merged_);
  EXPECT_EQ(copy.AllAreas(), merged_.AllAreas());
}

}  // namespace
}  // namespace workbook
