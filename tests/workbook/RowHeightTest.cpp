// Automatic row heights measured with the platform's font metrics.
#include <gtest/gtest.h>

#include "platform/FontMetrics.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSSStyleCache.h"
#include "workbook/TestLocales.h"
#include "workbook/Workbook.h"

namespace workbook {
namespace {

const std::string kLong = "a rather long text that needs several lines in a narrow column";

class RowHeights : public ::testing::Test {
 protected:
  // A wrapped text in Arial at a size and style; returns the row's height.
  uint16_t Wrapped(int32_t row, uint8_t points, uint8_t style, const std::string& text) {
    auto cell = sheet_.CellObject(0, row);
    cell->Style().Font().SetAll("Arial", points, 0, 1, style);
    cell->Style().SetWordBreak(true);
    cell->SetText(text);
    return sheet_.RowHeader().Size(row);
  }
  platform::ScopedLocale locale_{test::EnglishUS()};
  Workbook book_;
  TSSBookSheet& sheet_ = *book_.ActiveSheet();
};

TEST_F(RowHeights, GrowWithFontSizeAndNarrowerColumns) {
  const uint16_t small = Wrapped(1, 8, 0, kLong);
  const uint16_t large = Wrapped(2, 16, 0, kLong);
  EXPECT_GT(small, sheet_.RowHeader().DefaultSize());
  EXPECT_GT(large, small);
  // The row is whole lines of the measured font, plus the margin of each line.
  const auto& metrics =
      platform::SharedFontMetrics(FontDescriptionOf(*sheet_.Storage().CellStyleEntry(0, 1)->Font));
  EXPECT_EQ(small % (metrics.Metrics().height + 2), 0);
  // Narrowing the column and re-entering the text needs more lines.
  sheet_.ColumnHeader().SetSize(0, 40);
  const uint16_t narrow = Wrapped(1, 8, 0, kLong);
  EXPECT_GT(narrow, small);
}

TEST_F(RowHeights, BoldNeedsAtLeastAsManyLinesAsRegular) {
  const uint16_t regular = Wrapped(1, 10, 0, kLong + " " + kLong);
  const uint16_t bold = Wrapped(2, 10, kFontBold, kLong + " " + kLong);
  EXPECT_GE(bold, regular);
  // One short line keeps the default height.
  EXPECT_EQ(Wrapped(3, 8, 0, "short"), sheet_.RowHeader().DefaultSize());
}

TEST_F(RowHeights, StyleFontsAreMeasured) {
  // The "Wg" extents come from the font metrics: a larger font is taller and wider.
  const TSSFontRec* base = sheet_.Storage().CellStyleEntry(0, 0)->Font;
  auto cell = sheet_.CellObject(0, 0);
  cell->Style().Font().SetAll("Arial", 20, 0, 1, kFontBold);
  const TSSFontRec* big = sheet_.Storage().CellStyleEntry(0, 0)->Font;
  ASSERT_NE(base, big);
  EXPECT_GT(big->WgHeight, base->WgHeight);
  EXPECT_GT(big->WgWidth, base->WgWidth);
  const auto& metrics = platform::SharedFontMetrics(FontDescriptionOf(*big));
  EXPECT_EQ(big->WgWidth, metrics.TextWidth("Wg"));
  EXPECT_TRUE(metrics.IsMeasured());
}

}  // namespace
}  // namespace workbook
