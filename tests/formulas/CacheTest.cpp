// The formula cache: on-demand evaluation, recalculation, cycles, names, sheets and modes.
#include <gtest/gtest.h>

#include "FormulaTestBook.h"
#include "platform/Locale.h"
#include "workbook/Errors.h"

namespace formulas::test {
namespace {

class CacheTest : public ::testing::Test {
 protected:
  platform::ScopedLocale locale_{platform::LocaleSettings::EnglishUS()};
  FormulaTestBook book_;
  TSSFormulasCache& cache_ = book_.Cache();

  int CycleMessages() {
    int n = 0;
    for (const auto& m : book_.Messages())
      n += m == "Calculation error. Formula cycled indexes present";
    return n;
  }
};

TEST_F(CacheTest, TwoCellCycleIsReportedOnceAndReadsAsEmpty) {
  book_.Set("A1", "=B1");
  book_.Set("B1", "=A1");
  cache_.RecalculateAll();
  EXPECT_EQ(CycleMessages(), 1);
  EXPECT_TRUE(cache_.CycleFlag());
  EXPECT_EQ(book_.Shown("A1"), "0");
  EXPECT_EQ(book_.Shown("B1"), "0");
  // The flag stays set: the next pass does not repeat the message.
  cache_.RecalculateAll();
  EXPECT_EQ(CycleMessages(), 1);
}

TEST_F(CacheTest, SelfReferenceAndLongerCyclesAreFound) {
  book_.Set("A1", "=A1+1");
  cache_.RecalculateAll();
  EXPECT_EQ(CycleMessages(), 1);
  EXPECT_EQ(book_.Shown("A1"), "1");
  book_.Messages().clear();
  book_.Set("A1", "=C1+1");
  book_.Set("B1", "=A1+1");
  book_.Set("C1", "=B1+1");
  cache_.RecalculateAll();  // the flag was set before: no new message
  EXPECT_EQ(CycleMessages(), 0);
  EXPECT_TRUE(cache_.CycleFlag());
}

TEST_F(CacheTest, ValuesFollowInputsAfterRecalculation) {
  book_.Set("A1", "2");
  book_.Set("A2", "=A1*10");
  book_.Set("A3", "=A2+A1");
  EXPECT_EQ(book_.Shown("A3"), "22");
  book_.Set("A1", "3");
  cache_.Recalculate();
  EXPECT_EQ(book_.Shown("A3"), "33");
}

TEST_F(CacheTest, LockedCacheKeepsResultsUntilRecalculation) {
  book_.Set("A1", "1");
  book_.Set("B1", "=A1+1");
  EXPECT_EQ(book_.Shown("B1"), "2");
  cache_.SetAutoRecalc(false);
  EXPECT_FALSE(cache_.AutoRecalc());
  book_.Set("A1", "5");
  cache_.Recalculate();  // locked: nothing happens
  EXPECT_EQ(book_.Shown("B1"), "2");
  // F9: the book lowers the lock for the duration.
  cache_.Unlock();
  cache_.Recalculate();
  cache_.Lock();
  EXPECT_EQ(book_.Shown("B1"), "6");
  book_.Set("A1", "7");
  cache_.SetAutoRecalc(true);  // recalculates
  EXPECT_TRUE(cache_.AutoRecalc());
  EXPECT_EQ(book_.Shown("B1"), "8");
  // Setting the value it already has changes nothing.
  cache_.SetAutoRecalc(true);
  cache_.SetAutoRecalc(false);
  EXPECT_FALSE(cache_.AutoRecalc());
  cache_.SetAutoRecalc(false);
  cache_.SetAutoRecalc(true);
  EXPECT_TRUE(cache_.AutoRecalc());
  // ForceCalc lets an explicit recalculation through a lock.
  cache_.Lock();
  book_.Set("A1", "9");
  cache_.SetForceCalc(true);
  cache_.Recalculate();
  cache_.SetForceCalc(false);
  EXPECT_EQ(book_.Shown("B1"), "10");
}

// A2 = A1 + 1 down 100,000 rows: on-demand evaluation of the last cell and a full
// recalculation must not recurse (the 32-bit build has a 1 MiB stack), whatever the order in
// which the formulas were registered.
TEST_F(CacheTest, DeepChainsNeverRecurse) {
  constexpr int kRows = 100000;
  book_.Set(0, 0, 0, "1");
  for (int row = kRows - 1; row >= 1; --row)
    book_.Set(0, 0, row, "=A" + std::to_string(row) + "+1");
  EXPECT_EQ(book_.Shown("A100000"), "100000");
  cache_.RecalculateAll();
  EXPECT_EQ(book_.Shown("A50000"), "50000");
  EXPECT_EQ(CycleMessages(), 0);
  book_.Set(0, 0, 0, "10");
  cache_.RecalculateAll();
  EXPECT_EQ(book_.Shown("A100000"), "100009");
}

TEST_F(CacheTest, DisplayTextOfResults) {
  book_.Set("A1", "=1/3");
  EXPECT_EQ(cache_.FormulaDisplayText(book_.Entry("A1"), false), "0.333333333333333");
  EXPECT_EQ(cache_.FormulaDisplayText(book_.Entry("A1"), true), "0.33333333");
  book_.Set("A2", "=1/0");
  EXPECT_EQ(book_.Shown("A2"), "#DIV/0!");
  book_.Set("A3", "=1>0");
  EXPECT_EQ(book_.Shown("A3"), "TRUE");
  book_.Set("A4", "=\"x\"&\"y\"");
  EXPECT_EQ(book_.Shown("A4"), "xy");
  book_.SetShowFormulas(true);
  EXPECT_EQ(book_.Shown("A4"), "=\"x\"&\"y\"");
  book_.SetShowFormulas(false);
  FormulaEntry stray;
  EXPECT_EQ(cache_.FormulaDisplayText(&stray, false), "");  // not in the cache
}

TEST_F(CacheTest, RemoveCloneAndClear) {
  book_.Set("A1", "=2+2");
  FormulaEntry* e = book_.Entry("A1");
  ASSERT_EQ(cache_.EntryCount(), 1u);
  FormulaEntry* copy = cache_.Clone(*e);
  EXPECT_EQ(cache_.EntryCount(), 2u);
  EXPECT_EQ(copy->Tokens, e->Tokens);
  EXPECT_NE(copy->Tokens.Data(), e->Tokens.Data());
  cache_.Remove(copy);
  EXPECT_EQ(cache_.EntryCount(), 1u);
  cache_.Remove(copy);  // a second removal does nothing
  EXPECT_EQ(cache_.EntryCount(), 1u);
  cache_.AddName("N", 0, true, workbook::TRect{0, 0, 0, 0});
  cache_.Lock();
  book_.ClearCells();
  cache_.Clear();
  EXPECT_EQ(cache_.EntryCount(), 0u);
  EXPECT_TRUE(cache_.Names().empty());
  EXPECT_EQ(cache_.LockCount(), 0);
}

TEST_F(CacheTest, NamesAreCheckedAndMarkedDeleted) {
  const workbook::TRect r{0, 0, 0, 0};
  EXPECT_EQ(cache_.AddName("Total", 0, true, r), 0);
  EXPECT_EQ(cache_.AddName("total", 0, true, r), -1);   // exists, ignoring case
  EXPECT_EQ(cache_.AddName("Sheet1", 0, true, r), -1);  // a sheet caption
  for (const char* bad : {"a b", "a(b", "a-b", "a.b", "x,y", "q?", "at@", "p'q", "a\"b", "a#b"})
    EXPECT_EQ(cache_.AddName(bad, 0, true, r), -1) << bad;
  EXPECT_EQ(cache_.AddName("a b", 0, false, r), 1);  // unchecked
  EXPECT_EQ(cache_.AddName("Last", 0, true, r), 2);
  EXPECT_TRUE(cache_.DeleteName("TOTAL"));
  EXPECT_EQ(cache_.Names()[0].Deleted, 1);
  EXPECT_TRUE(cache_.DeleteName("Last"));  // the last name is never marked
  EXPECT_EQ(cache_.Names()[2].Deleted, 0);
  EXPECT_FALSE(cache_.DeleteName("none"));
}

TEST_F(CacheTest, DeletedNameReadsAsRef) {
  book_.Set("A1", "4");
  cache_.AddName("Four", 0, true, workbook::TRect{0, 0, 0, 0});
  cache_.AddName("Other", 0, true, workbook::TRect{0, 0, 0, 0});
  book_.Set("B1", "=Four*2");
  EXPECT_EQ(book_.Shown("B1"), "8");
  cache_.DeleteName("Four");
  cache_.RecalculateAll();
  EXPECT_EQ(book_.Shown("B1"), "#REF!");
}

TEST_F(CacheTest, SheetSwapAndRemoval) {
  book_.AddSheet("Two");
  book_.Set("Two!A1", "=1+1");
  cache_.AddName("N", 1, true, workbook::TRect{0, 0, 0, 0});
  cache_.SwapSheets(0, 1);
  EXPECT_EQ(book_.Entry("Two!A1")->Sheet, 0);
  EXPECT_EQ(cache_.Names()[0].Sheet, 0);
  cache_.SwapSheets(0, 1);
  EXPECT_EQ(book_.Entry("Two!A1")->Sheet, 1);
  cache_.SheetRemoved(0);
  EXPECT_EQ(book_.Entry("Two!A1")->Sheet, 0);
  EXPECT_EQ(cache_.Names()[0].Sheet, 0);
  EXPECT_THROW(cache_.SheetRemoved(0), workbook::ESpreadSheetError);
  try {
    cache_.SheetRemoved(0);
  } catch (const workbook::ESpreadSheetError& e) {
    EXPECT_STREQ(e.what(), "Invalid page number");
  }
}

TEST_F(CacheTest, PastedReferencesAreCheckedAndShifted) {
  book_.AddSheet("Two");
  book_.Set("C3", "=A1+Two!B2");
  FormulaEntry* e = book_.Entry("C3");
  EXPECT_TRUE(cache_.CheckPastedReferences(*e));
  FormulaEntry* copy = cache_.Clone(*e);
  copy->Col = 1;  // pasted into B3: A1 moves to before column A
  EXPECT_FALSE(cache_.CheckPastedReferences(*copy));
  copy->Col = 4;
  cache_.ShiftSheetReferences(*copy, 2, 1);
  EXPECT_EQ(cache_.FormulaText(*copy), "=C1+Two!D3");
}

TEST_F(CacheTest, FunctionsThatEndInErrorsStillLetRecalculationGoOn) {
  book_.Set("A1", "=SQRT(-4)");
  book_.Set("A2", "=1+1");
  cache_.RecalculateAll();
  EXPECT_EQ(book_.Shown("A1"), "#NUM!");
  EXPECT_EQ(book_.Shown("A2"), "2");
}

}  // namespace
}  // namespace formulas::test
