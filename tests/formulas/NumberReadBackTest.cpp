// A number cell reads into a formula as the double it stores, also where its text shows only
// 15 digits; a number entered with a text of its own reads as that text.
#include <gtest/gtest.h>

#include <vector>

#include "formulas/BookFormulaCache.h"
#include "formulas/Values.h"
#include "platform/Locale.h"
#include "support/TestComposition.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/Workbook.h"

namespace formulas::test {
namespace {

double ThroughText(double value) {
  double back = 0;
  return TextToNumber(NumberText(value), back) ? back : value;
}

TEST(NumberReadBack, FormulasSeeTheStoredDoubleOfNumberCells) {
  platform::ScopedLocale locale{platform::LocaleSettings::EnglishUS()};
  {
    workbook::ScopedBookServices engine{
        testsupport::WithFormulaEngine(testsupport::ModelServices())};
    workbook::Workbook book;
    workbook::TSSBookSheet& sheet = book.Sheets(0);
    // Values kept exactly by the storage, more digits than a text shows.
    sheet.Storage().StoreCellValue(0, 0, 0.1 + 0.2);
    sheet.Storage().StoreCellValue(0, 1, 1.0 / 3);
    // Differences scaled up so that the display shows what the formula read.
    sheet.CellObject(1, 0)->SetText("=ROUND((A1-0.3)*1E17,1)");
    sheet.CellObject(1, 1)->SetText("=ROUND((A2*3-1)*1E15,1)");
    sheet.CellObject(1, 2)->SetText("=ROUND((SUM(A1:A2)-0.3-1/3)*1E15,1)");
    // A number entered with a text of its own reads through that text.
    sheet.CellObject(0, 3)->SetText("1,000");
    sheet.CellObject(1, 3)->SetText("=A4+1");
    EXPECT_EQ(sheet.Storage().CellValueText(1, 0), "5.6");  // 15 digits would give 0
    EXPECT_EQ(sheet.Storage().CellValueText(1, 1), "0");    // and -1.1
    EXPECT_EQ(sheet.Storage().CellValueText(1, 2), "0");    // and -0.3
    EXPECT_EQ(sheet.Storage().CellValueText(1, 3), "1001");
  }
}

// Plain number cells of a row are read in runs; every other kind of cell breaks a run and is
// read on its own. The sums must be those of the cells one by one, wherever a run breaks.
TEST(NumberReadBack, RangeArgumentsReadRunsOfNumbersLikeSingleCells) {
  platform::ScopedLocale locale{platform::LocaleSettings::EnglishUS()};
  {
    workbook::ScopedBookServices engine{
        testsupport::WithFormulaEngine(testsupport::ModelServices())};
    workbook::Workbook book;
    workbook::TSSBookSheet& sheet = book.Sheets(0);
    workbook::TSSDataStorage& cells = sheet.Storage();
    // Row 1: 40 cells, plain numbers (one kept exactly with more digits than its text shows)
    // except where a run of 16 would end or begin.
    std::vector<double> read(40);
    for (int32_t c = 0; c < 40; ++c) {
      const double v = c == 5 ? 0.1 + 0.2 : c * 1.125;
      cells.StoreCellValue(c, 0, v);
      read[size_t(c)] = v;
    }
    cells.StoreCellTextChecked(15, 0, "text");  // reads as nothing
    read[15] = 0;
    cells.StoreCellTextChecked(16, 0, "7");  // a number text reads as its number
    read[16] = 7;
    sheet.CellObject(17, 0)->SetText("=1000");  // a formula's number result
    read[17] = 1000;
    cells.StoreCellTextChecked(32, 0, "");  // an empty cell
    read[32] = 0;
    sheet.CellObject(0, 2)->SetText("=SUM(A1:AN1)");
    sheet.CellObject(1, 2)->SetText("=SUM(Q1:AN1)");
    sheet.CellObject(2, 2)->SetText("=SUM(A1:AN1,A1:P1,P1:AN1)");
    double all = 0, tail = 0, head = 0, rest = 0;
    for (size_t c = 0; c < 40; ++c) {
      all += read[c];
      if (c >= 16) tail += read[c];
      if (c < 16) head += read[c];
      if (c >= 15) rest += read[c];
    }
    double got = 0;
    ASSERT_TRUE(TextToNumber(cells.CellValueText(0, 2), got)) << cells.CellValueText(0, 2);
    EXPECT_EQ(got, ThroughText(all));
    ASSERT_TRUE(TextToNumber(cells.CellValueText(1, 2), got)) << cells.CellValueText(1, 2);
    EXPECT_EQ(got, ThroughText(tail));
    ASSERT_TRUE(TextToNumber(cells.CellValueText(2, 2), got)) << cells.CellValueText(2, 2);
    EXPECT_EQ(got, ThroughText(all + head + rest));
  }
}

}  // namespace
}  // namespace formulas::test
