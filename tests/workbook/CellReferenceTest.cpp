#include <gtest/gtest.h>

#include "workbook/CellReference.h"
#include "workbook/SSUtils.h"

namespace workbook {
namespace {

TEST(ColumnCaptions, KnownCaptionsAndTheirInverse) {
  const std::pair<int32_t, const char*> cases[] = {
      {0, "A"},    {25, "Z"},   {26, "AA"},   {27, "AB"},   {51, "AZ"},    {52, "BA"},
      {255, "IV"}, {701, "ZZ"}, {702, "AAA"}, {730, "ABC"}, {16383, "XFD"}};
  for (const auto& [index, caption] : cases) {
    EXPECT_EQ(TSSUtils::ColumnCaption(index), caption) << index;
    EXPECT_EQ(TSSUtils::ColumnIndexByName(caption), index) << caption;
  }
  EXPECT_EQ(TSSUtils::ColumnCaption(0, true), "1");
  EXPECT_EQ(TSSUtils::ColumnCaption(255, true), "256");
  EXPECT_EQ(TSSUtils::RowCaption(0), "1");
}

TEST(ColumnCaptions, RoundTripOverTheWholeRange) {
  std::string previous;
  for (int32_t i = 0; i <= 16383; ++i) {
    const std::string caption = TSSUtils::ColumnCaption(i);
    ASSERT_EQ(TSSUtils::ColumnIndexByName(caption), i) << caption;
    // Captions grow in length and, within a length, in alphabetical order.
    ASSERT_TRUE(previous.size() < caption.size() ||
                (previous.size() == caption.size() && previous < caption))
        << previous << " " << caption;
    previous = caption;
  }
}

TEST(ColumnCaptions, InvalidLettersAreRejected) {
  EXPECT_EQ(TSSUtils::ColumnIndexByName(""), -1);
  EXPECT_EQ(TSSUtils::ColumnIndexByName("a"), -1);
  EXPECT_EQ(TSSUtils::ColumnIndexByName("A1"), -1);
  // Beyond the 32-bit range instead of overflowing.
  EXPECT_EQ(TSSUtils::ColumnIndexByName("ZZZZZZZZ"), -1);
}

TEST(A1References, FourFormsReadAndWrittenBack) {
  const TPoint holder{3, 4};  // D5
  CellReference r;
  ASSERT_TRUE(ParseCellReference("b$7", holder, RefNotation::A1, r));
  EXPECT_FALSE(r.colAbsolute);
  EXPECT_TRUE(r.rowAbsolute);
  EXPECT_EQ(r.col, 1 - 3);  // relative: stored as the offset from the holding cell
  EXPECT_EQ(r.row, 6);      // absolute: the index itself
  EXPECT_EQ(r.Resolve(holder), (TPoint{1, 6}));
  EXPECT_EQ(CellReferenceText(r, holder, RefNotation::A1), "B$7");
  for (const char* form : {"$B$3", "B$3", "$B3", "B3"}) {
    ASSERT_TRUE(ParseCellReference(form, holder, RefNotation::A1, r)) << form;
    EXPECT_EQ(CellReferenceText(r, holder, RefNotation::A1), form);
  }
}

// The reference text spells the same column letters and row number as the headers do, at
// every width of the letters and at the far edges of 32-bit coordinates.
TEST(A1References, TextAgreesWithTheHeaderCaptions) {
  const int32_t columns[] = {0,     25,    26,  51,    701,           702,
                             18277, 18278, 255, 16383, INT32_MAX - 1, INT32_MAX};
  const int32_t rows[] = {0, 9, 65535, 1048575, INT32_MAX - 1, INT32_MAX};
  for (int32_t col : columns) {
    for (int32_t row : rows) {
      CellReference r;
      r.col = col;
      r.row = row;
      r.colAbsolute = r.rowAbsolute = true;
      const std::string letters = TSSUtils::ColumnCaption(col, false);
      const std::string number = std::to_string(int64_t{row} + 1);
      EXPECT_EQ(CellReferenceText(r, TPoint{0, 0}, RefNotation::A1), "$" + letters + "$" + number);
      r.colAbsolute = r.rowAbsolute = false;
      r.col = col - 5;  // relative to a holder in column F, row 1
      r.row = row;
      EXPECT_EQ(CellReferenceText(r, TPoint{5, 0}, RefNotation::A1), letters + number);
    }
  }
  EXPECT_EQ(TSSUtils::ColumnCaption(701, false), "ZZ");
  EXPECT_EQ(TSSUtils::ColumnCaption(702, false), "AAA");
}

TEST(A1References, RelativePartsMoveWithTheHoldingCell) {
  CellReference r;
  ASSERT_TRUE(ParseCellReference("B3", TPoint{2, 4}, RefNotation::A1, r));  // read in C5
  EXPECT_EQ(CellReferenceText(r, TPoint{3, 5}, RefNotation::A1), "C4");     // written in D6
  EXPECT_EQ(CellReferenceText(r, TPoint{1, 2}, RefNotation::A1), "A1");
  EXPECT_EQ(CellReferenceText(r, TPoint{0, 2}, RefNotation::A1), "#REF!");  // off the sheet
  EXPECT_FALSE(r.IsValidFrom(TPoint{0, 2}));
  ASSERT_TRUE(ParseCellReference("$B3", TPoint{2, 4}, RefNotation::A1, r));
  EXPECT_EQ(CellReferenceText(r, TPoint{9, 9}, RefNotation::A1), "$B8");
  // The same reference shown in R1C1 form.
  ASSERT_TRUE(ParseCellReference("B3", TPoint{2, 4}, RefNotation::A1, r));
  EXPECT_EQ(CellReferenceText(r, TPoint{2, 4}, RefNotation::A1), "B3");
  EXPECT_EQ(CellReferenceText(r, TPoint{2, 4}, RefNotation::R1C1), "R[-2]C[-1]");
}

TEST(A1References, MalformedTextsAreNoReferences) {
  CellReference r;
  for (const char* bad : {"", "1", "$", "A", "A0", "A-1", "A1-", "A1B", "A$", "$$A1",
                          "A99999999999", "LOG10(", "A1_"}) {
    EXPECT_FALSE(ParseCellReference(bad, TPoint{0, 0}, RefNotation::A1, r)) << bad;
  }
  // Scanning inside a longer text stops at an operator.
  EXPECT_EQ(ScanCellReference("A1+B2", 0, TPoint{0, 0}, RefNotation::A1, r), 2u);
  EXPECT_EQ(ScanCellReference("=$AB$12)", 1, TPoint{0, 0}, RefNotation::A1, r), 6u);
  EXPECT_EQ(r.Resolve(TPoint{0, 0}), (TPoint{27, 11}));
}

TEST(R1C1References, RelativeAbsoluteAndMissingParts) {
  const TPoint holder{5, 10};
  CellReference r;
  ASSERT_TRUE(ParseCellReference("R[2]C[-1]", holder, RefNotation::R1C1, r));
  EXPECT_EQ(r.Resolve(holder), (TPoint{4, 12}));
  EXPECT_EQ(CellReferenceText(r, holder, RefNotation::R1C1), "R[2]C[-1]");
  ASSERT_TRUE(ParseCellReference("R3C", holder, RefNotation::R1C1, r));
  EXPECT_EQ(r.Resolve(holder), (TPoint{5, 2}));
  ASSERT_TRUE(ParseCellReference("rc", holder, RefNotation::R1C1, r));
  EXPECT_EQ(r.Resolve(holder), holder);
  EXPECT_EQ(CellReferenceText(r, holder, RefNotation::R1C1), "RC");
  ASSERT_TRUE(ParseCellReference("C2", holder, RefNotation::R1C1, r));  // same row
  EXPECT_EQ(r.Resolve(holder), (TPoint{1, 10}));
  ASSERT_TRUE(ParseCellReference("R1C1", holder, RefNotation::R1C1, r));
  EXPECT_EQ(CellReferenceText(r, holder, RefNotation::A1), "$A$1");
  ASSERT_TRUE(ParseCellReference("R[2]C3", holder, RefNotation::R1C1, r));
  EXPECT_EQ(CellReferenceText(r, holder, RefNotation::R1C1), "R[2]C3");
  EXPECT_EQ(CellReferenceText(r, holder, RefNotation::A1), "$C13");
}

TEST(R1C1References, MalformedTextsAreNoReferences) {
  CellReference r;
  for (const char* bad :
       {"R", "R1", "R0C1", "RX", "R[]C", "R[1C", "R1C[", "R1C1X", "ROUND(", "COUNT", "R[a]C"}) {
    EXPECT_FALSE(ParseCellReference(bad, TPoint{0, 0}, RefNotation::R1C1, r)) << bad;
  }
  // A relative reference that leaves the sheet reads, but resolves to an invalid cell.
  ASSERT_TRUE(ParseCellReference("R[-3]C", TPoint{0, 1}, RefNotation::R1C1, r));
  EXPECT_FALSE(r.IsValidFrom(TPoint{0, 1}));
}

TEST(RangeReferences, EndsKeepTheirOwnMarks) {
  RangeReference range;
  ASSERT_TRUE(ParseRangeReference("C5:$A$1", TPoint{0, 0}, RefNotation::A1, range));
  EXPECT_TRUE(range.isRange);
  EXPECT_EQ(RangeReferenceText(range, TPoint{0, 0}, RefNotation::A1), "C5:$A$1");
  ASSERT_TRUE(ParseRangeReference("R1C1:R2C2", TPoint{4, 4}, RefNotation::R1C1, range));
  EXPECT_EQ(range.last.Resolve(TPoint{4, 4}), (TPoint{1, 1}));
  ASSERT_TRUE(ParseRangeReference("B2", TPoint{0, 0}, RefNotation::A1, range));
  EXPECT_FALSE(range.isRange);
  EXPECT_FALSE(ParseRangeReference("A1:", TPoint{0, 0}, RefNotation::A1, range));
  EXPECT_FALSE(ParseRangeReference("A1:B", TPoint{0, 0}, RefNotation::A1, range));
}

TEST(QualifiedReferences, SheetPrefixesReadRelativeToTheOrigin) {
  QualifiedReference q;
  ASSERT_TRUE(ParseQualifiedReference("Sheet2!B4", TPoint{7, 7}, RefNotation::A1, q));
  ASSERT_TRUE(q.sheet.has_value());
  EXPECT_EQ(*q.sheet, "Sheet2");
  EXPECT_EQ(q.range.first.Resolve(TPoint{0, 0}), (TPoint{1, 3}));
  EXPECT_EQ(q.range.first.Resolve(TPoint{7, 7}), (TPoint{8, 10}));  // relative to the origin
  ASSERT_TRUE(
      ParseQualifiedReference("'My ''big'' sheet'!A1:B2", TPoint{0, 0}, RefNotation::A1, q));
  EXPECT_EQ(*q.sheet, "My 'big' sheet");
  EXPECT_EQ(QualifiedReferenceText(*q.sheet, q.range, RefNotation::A1), "'My ''big'' sheet'!A1:B2");
  EXPECT_EQ(SheetPrefix("Sheet1"), "Sheet1!");
  ASSERT_TRUE(ParseQualifiedReference("B4", TPoint{1, 1}, RefNotation::A1, q));
  EXPECT_FALSE(q.sheet.has_value());
  EXPECT_EQ(q.range.first.col, 0);  // relative to the holding cell without a prefix
  for (const char* bad : {"!A1", "'Sheet!A1", "'Sheet'A1", "''!A1", "Sheet1!", "Sheet1!Z"})
    EXPECT_FALSE(ParseQualifiedReference(bad, TPoint{0, 0}, RefNotation::A1, q)) << bad;
}

TEST(CellNames, HostCellNamesToPoints) {
  TPoint p;
  ASSERT_TRUE(CellNameToPoint(" b2 ", p));
  EXPECT_EQ(p, (TPoint{1, 1}));
  ASSERT_TRUE(CellNameToPoint("$XFD$1048576", p));
  EXPECT_EQ(p, (TPoint{16383, 1048575}));
  EXPECT_FALSE(CellNameToPoint("2B", p));
  EXPECT_EQ(PointToCellName(TPoint{27, 9}), "AB10");
}

TEST(CellRects, IntersectionAndContainment) {
  TRect r;
  EXPECT_TRUE(TSSUtils::IntersectCellRects(r, TRect{0, 0, 3, 3}, TRect{2, 2, 5, 5}));
  EXPECT_EQ(r, (TRect{2, 2, 3, 3}));
  EXPECT_TRUE(TSSUtils::IntersectCellRects(r, TRect{1, 1, 1, 1}, TRect{1, 1, 1, 1}));
  EXPECT_EQ(r, (TRect{1, 1, 1, 1}));
  EXPECT_FALSE(TSSUtils::IntersectCellRects(r, TRect{0, 0, 1, 1}, TRect{2, 0, 3, 1}));
  EXPECT_EQ(r, (TRect{0, 0, -1, -1}));
  EXPECT_TRUE(TSSUtils::IntersectCellRects(r, TRect{0, 0, kFarEdge, kFarEdge}, TRect{5, 6, 7, 8}));
  EXPECT_TRUE(TSSUtils::CellInRect(TRect{1, 1, 2, 2}, TPoint{2, 1}));
  EXPECT_FALSE(TSSUtils::CellInRect(TRect{1, 1, 2, 2}, TPoint{3, 1}));
  EXPECT_EQ(TSSUtils::Clamp(5, 10, 20), 10);
  EXPECT_EQ(TSSUtils::Clamp(15, 10, 20), 15);
  EXPECT_EQ(TSSUtils::Clamp(25, 10, 20), 20);
  EXPECT_TRUE(TSSUtils::InRange(20, 10, 20));
  EXPECT_FALSE(TSSUtils::InRange(21, 10, 20));
}

}  // namespace
}  // namespace workbook
