// The formula cache's entry list: registration order through removals and slot reuse, and
// pointers that are not (or no longer) entries of the list.
#include <gtest/gtest.h>

#include <vector>

#include "formulas/FormulaEntryList.h"

namespace formulas::test {
namespace {

FormulaEntry At(int32_t col) {
  FormulaEntry e;
  e.Col = col;
  e.Tokens = MakeNumberToken(col);
  return e;
}

std::vector<int32_t> Columns(const FormulaEntryList& list) {
  std::vector<int32_t> cols;
  list.ForEach([&cols](FormulaEntry& e) { cols.push_back(e.Col); });
  return cols;
}

TEST(FormulaEntryList, KeepsRegistrationOrderThroughRemovalsAndReuse) {
  FormulaEntryList list;
  std::vector<FormulaEntry*> added;
  // More than one chunk, so that slots of several chunks are linked.
  for (int32_t i = 0; i < 2500; ++i) added.push_back(list.Add(At(i)));
  EXPECT_EQ(list.Size(), 2500u);
  EXPECT_EQ(added[7]->Tokens, MakeNumberToken(7));
  list.Remove(added[0]);     // the head
  list.Remove(added[2499]);  // the tail
  for (int32_t i = 1; i < 2499; i += 2) list.Remove(added[static_cast<size_t>(i)]);
  std::vector<int32_t> expected;
  for (int32_t i = 2; i < 2499; i += 2) expected.push_back(i);
  EXPECT_EQ(Columns(list), expected);
  EXPECT_EQ(list.Size(), expected.size());
  // Freed slots are taken again, and new entries go to the end.
  FormulaEntry* again = list.Add(At(5000));
  EXPECT_EQ(again, added[2497]);  // the slot freed last
  EXPECT_EQ(again->Col, 5000);
  EXPECT_TRUE(again->Listed);
  expected.push_back(5000);
  EXPECT_EQ(Columns(list), expected);
}

TEST(FormulaEntryList, RemovedAndForeignEntriesAreIgnored) {
  FormulaEntryList list, other;
  FormulaEntry* a = list.Add(At(1));
  FormulaEntry* b = list.Add(At(2));
  FormulaEntry* foreign = other.Add(At(3));
  list.Remove(a);
  EXPECT_FALSE(list.Contains(a));
  EXPECT_FALSE(a->Listed);
  EXPECT_TRUE(a->Tokens.Empty());
  list.Remove(a);  // a second removal of the same pointer changes nothing
  list.Remove(foreign);
  list.Remove(nullptr);
  EXPECT_FALSE(list.Contains(foreign));
  EXPECT_TRUE(other.Contains(foreign));
  EXPECT_EQ(Columns(list), std::vector<int32_t>{2});
  EXPECT_EQ(Columns(other), std::vector<int32_t>{3});
  list.Remove(b);
  EXPECT_TRUE(list.Empty());
  EXPECT_TRUE(Columns(list).empty());
  list.Clear();
  EXPECT_EQ(list.Add(At(9))->Col, 9);
  EXPECT_EQ(Columns(list), std::vector<int32_t>{9});
}

}  // namespace
}  // namespace formulas::test
