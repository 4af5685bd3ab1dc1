#include <gtest/gtest.h>

#include "workbook/TSSHeader.h"
#include "workbook/TestHost.h"

namespace workbook {
namespace {

class Headers : public ::testing::Test {
 protected:
  test::TestHost host_;
  TSSDataStorage storage_{host_};
  TSSHeader& cols_ = storage_.ColumnHeader();
  TSSHeader& rows_ = storage_.RowHeader();
};

TEST_F(Headers, FreshHeadersAnswerWithTheDefaultEntry) {
  for (int32_t i : {0, 5, 1000000, kFarEdge - 1}) {
    EXPECT_EQ(cols_.Size(i), 85);
    EXPECT_EQ(rows_.Size(i), 20);
    EXPECT_TRUE(cols_.IsVisible(i));
    EXPECT_FALSE(cols_.IsResizeLocked(i));
    EXPECT_TRUE(cols_.IsDefaultState(i));
    EXPECT_TRUE(cols_.IsProtectionLocked(i));
  }
  EXPECT_EQ(cols_.Count(), 0);
  EXPECT_EQ(cols_.Entry(-3).Flags, kHeaderDefaultSize | kHeaderProtectionLocked);
  EXPECT_EQ(cols_.Entry(-3).ScaleMark, -1);
}

TEST_F(Headers, SettingASizeFillsTheGapWithDefaults) {
  cols_.SetSize(10, 50);
  EXPECT_EQ(cols_.Count(), 11);
  for (int32_t i = 0; i < 10; ++i) EXPECT_EQ(cols_.Entry(i), cols_.Entry(-1)) << i;
  EXPECT_EQ(cols_.Size(10), 50);
  EXPECT_FALSE(cols_.IsDefaultState(10));
  EXPECT_EQ(host_.listener.resizes, 1);
  cols_.SetSize(10, 50);  // unchanged: no event
  EXPECT_EQ(host_.listener.resizes, 1);
  cols_.SetSize(11, 100000);  // 16-bit sizes
  EXPECT_EQ(cols_.Size(11), 65535);
}

TEST_F(Headers, DefaultSizeFollowsOnlyDefaultStateEntries) {
  cols_.SetSize(3, 50);
  cols_.SetVisible(5, false);
  cols_.SetVisible(5, true);  // explicit, still in the default state
  cols_.SetDefaultSize(100);
  EXPECT_EQ(cols_.Size(0), 100);
  EXPECT_EQ(cols_.Size(5), 100);
  EXPECT_EQ(cols_.Size(3), 50);
  EXPECT_EQ(cols_.Size(500), 100);
  cols_.SetDefaultSize(0);  // ignored
  EXPECT_EQ(cols_.DefaultSize(), 100);
}

TEST_F(Headers, ResizeLockAndVeto) {
  cols_.SetResizeLocked(2, true);
  cols_.SetSize(2, 40);
  EXPECT_EQ(cols_.Size(2), 85);
  cols_.SetResizeLocked(2, false);
  cols_.SetSize(2, 40);
  EXPECT_EQ(cols_.Size(2), 40);
  host_.listener.vetoResize = true;
  host_.listener.currentSizeForVeto = 40;
  cols_.SetSize(2, 70);  // the handler puts the current size back
  EXPECT_EQ(cols_.Size(2), 40);
}

TEST_F(Headers, HiddenIndicesAndNavigation) {
  cols_.SetVisible(3, false);
  EXPECT_EQ(cols_.Size(3), 0);
  EXPECT_EQ(cols_.NextVisible(2, true), 4);
  EXPECT_EQ(cols_.NextVisible(4, false), 2);
  cols_.SetVisible(0, false);
  EXPECT_EQ(cols_.NextVisible(1, false), 1);  // nothing before: the first one after
  ASSERT_EQ(host_.listener.visibility.size(), 2u);
  EXPECT_EQ(host_.listener.visibility[0], (test::CellEvent{3, 0}));
  EXPECT_EQ(cols_.Distance(0, 5), 85 * 3);
  EXPECT_EQ(cols_.Distance(5, 0), -85 * 3);
  EXPECT_EQ(cols_.Distance(2, 2), 0);
  EXPECT_EQ(rows_.Distance(0, kFarEdge), int64_t{20} * kFarEdge);
  // Sizes from 1: 85, 85, 0, 85 ... below 200 pixels reaches index 3 (85+85+0 = 170).
  EXPECT_EQ(cols_.CountFitting(1, 200, true), 3);
  EXPECT_EQ(rows_.CountFitting(0, 100, true), 3);  // 5 rows make exactly 100: not below
  EXPECT_EQ(rows_.CountFitting(1000000, 100, true), 1000003);
  EXPECT_EQ(rows_.CountFitting(10, 100, false), 7);
  EXPECT_EQ(cols_.IndexAtDistance(1, 170, true), 2);
  EXPECT_EQ(cols_.IndexAtDistance(3, 0, true), 4);  // lands on hidden 3, settles on 4
  EXPECT_EQ(cols_.IndexAtDistance(3, 0, false), 2);
  EXPECT_EQ(rows_.IndexAtDistance(0, 1000, true), 49);
}

TEST_F(Headers, HidingARowInsideTheSelectionMovesIt) {
  storage_.SetSelection(TRect{1, 5, 3, 9});
  rows_.SetVisible(8, false);
  rows_.SetVisible(7, false);
  EXPECT_EQ(storage_.Selection(), (TRect{1, 9, 3, 9}));
  storage_.SetSelection(TRect{1, 5, 3, 9});
  rows_.SetVisible(20, false);
  EXPECT_EQ(storage_.Selection(), (TRect{1, 5, 3, 9}));
  cols_.SetVisible(2, false);  // columns never move it
  EXPECT_EQ(storage_.Selection(), (TRect{1, 5, 3, 9}));
}

TEST_F(Headers, InsertAndDeleteEntries) {
  cols_.SetSize(2, 30);
  cols_.SetSize(3, 40);
  cols_.SetProtectionLocked(2, false);
  cols_.InsertEntry(2, cols_.DefaultSize(), false, true, true);
  EXPECT_EQ(cols_.Size(2), 85);
  EXPECT_FALSE(cols_.IsProtectionLocked(2));  // inserted entries are not protection-locked
  EXPECT_EQ(cols_.Size(3), 30);
  EXPECT_EQ(cols_.Size(4), 40);
  cols_.DeleteEntry(2);
  EXPECT_EQ(cols_.Size(2), 30);
  EXPECT_EQ(cols_.Size(3), 40);
  const int32_t count = cols_.Count();
  cols_.InsertEntry(100, 85, false, true, true);  // beyond, default state: nothing stored
  EXPECT_EQ(cols_.Count(), count);
  cols_.InsertEntry(100, 60, true, false, false);
  EXPECT_EQ(cols_.Count(), 101);
  EXPECT_FALSE(cols_.IsVisible(100));
  EXPECT_TRUE(cols_.IsResizeLocked(100));
  cols_.DeleteEntry(500);  // beyond: nothing
  EXPECT_EQ(cols_.Count(), 101);
}

TEST_F(Headers, ProportionalScaling) {
  // Default state: grows and shrinks with its content.
  rows_.ScaleSize(1, 10, 20);
  EXPECT_EQ(rows_.Size(1), 40);
  EXPECT_TRUE(rows_.IsAutoSized(1));
  rows_.ScaleSize(1, 20, 20);  // the scale mark: nothing
  EXPECT_EQ(rows_.Size(1), 40);
  rows_.ScaleSize(1, 20, 10);
  EXPECT_EQ(rows_.Size(1), 20);
  // An explicitly sized row only grows.
  rows_.SetSize(2, 30);
  rows_.ScaleSize(2, 10, 5);
  EXPECT_EQ(rows_.Size(2), 30);
  rows_.ScaleSize(2, 10, 15);
  EXPECT_EQ(rows_.Size(2), 45);
  // A target of 0 returns to the default size.
  rows_.ScaleSize(3, 10, 0);
  EXPECT_EQ(rows_.Size(3), 20);
  rows_.ScaleSize(3, 0, 10);  // no old value: nothing
  EXPECT_EQ(rows_.Size(3), 20);
}

TEST_F(Headers, AssignCopiesEverything) {
  cols_.SetSize(4, 12);
  cols_.SetDefaultSize(70);
  TSSHeader copy(nullptr, 10, HeaderKind::Columns);
  copy.Assign(cols_);
  EXPECT_EQ(copy.DefaultSize(), 70);
  EXPECT_EQ(copy.Size(4), 12);
  EXPECT_EQ(copy.Size(40), 70);
  copy.ClearEntries();
  EXPECT_EQ(copy.Size(4), 70);
}

}  // namespace
}  // namespace workbook
