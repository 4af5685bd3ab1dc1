// Literal text cells (kCellLiteralText): texts a file stores as text keep their text through
// display, editing, undo, the clipboard, sorting and copying, whatever they read as; typing
// into such a cell applies the entry rules again.
#include <gtest/gtest.h>

#include "support/TestComposition.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSSClipboard.h"
#include "workbook/TestLocales.h"
#include "workbook/Workbook.h"

namespace workbook {
namespace {

class LiteralText : public ::testing::Test {
 protected:
  TSSDataStorage& St() { return sheet_.Storage(); }
  void SetFormat(int32_t col, int32_t row, uint16_t format) {
    sheet_.CellObject(col, row)->Style().SetFormatCode(format);
  }

  platform::ScopedLocale locale_{test::EnglishUS()};
  MemoryClipboard clipboard_;
  ScopedBookServices services_{testsupport::ModelServices(clipboard_)};  // before the book
  Workbook book_;
  TSSBookSheet& sheet_ = *book_.ActiveSheet();
};

// Texts that the entry rules or the display would take for numbers, dates, times,
// percentages, amounts, booleans or formulas, in a general, a date and a percent cell.
const char* const kLookalikes[] = {"0001",  "42",        "1e15", "1/3", "7/2", "23:59:59",
                                   "12.5%", "$1,234.50", "TRUE", "=A1", "-0",  "  7  "};
const uint16_t kFormats[] = {0, 14, 10};

TEST_F(LiteralText, ShowsEditsAndAlignsAsStoredInEveryFormat) {
  for (size_t f = 0; f < std::size(kFormats); ++f) {
    for (size_t i = 0; i < std::size(kLookalikes); ++i) {
      const auto col = static_cast<int32_t>(f), row = static_cast<int32_t>(i);
      const std::string text = kLookalikes[i];
      SetFormat(col, row, kFormats[f]);
      sheet_.CellObject(col, row)->SetLiteralText(text);
      const std::string where = text + " in format " + std::to_string(kFormats[f]);
      auto cell = sheet_.CellObject(col, row);
      EXPECT_EQ(St().CellDataType(col, row), kCellLiteralText) << where;
      EXPECT_EQ(cell->EditText(), text) << where;
      EXPECT_EQ(cell->DisplayText(), text) << where;
      EXPECT_EQ(cell->ValueText(), text) << where;
      EXPECT_EQ(cell->EffectiveAlignment(), 0) << where;  // a text: left
    }
  }
  // An empty literal is an empty cell; an explicit alignment still wins.
  St().StoreLiteralText(5, 0, "");
  EXPECT_EQ(St().CellDataType(5, 0), kCellText);
  St().StoreLiteralText(5, 1, "42");
  sheet_.CellObject(5, 1)->Style().SetHorzTextAlign(haRIGHT);
  EXPECT_EQ(sheet_.CellObject(5, 1)->EffectiveAlignment(), 2);
}

TEST_F(LiteralText, TypingAppliesTheEntryRulesAndUndoBringsTheMarkBack) {
  St().StoreLiteralText(0, 0, "0001");
  St().StoreLiteralText(0, 1, "1/3");
  sheet_.CellObject(0, 0)->SetText("0001");  // typed: a plain text that reads as a number
  EXPECT_EQ(St().CellDataType(0, 0), kCellText);
  EXPECT_EQ(sheet_.CellObject(0, 0)->DisplayText(), "1");
  sheet_.CellObject(0, 1)->SetText("1/3");  // typed: a date
  EXPECT_EQ(St().CellDataType(0, 1), kCellNumber);
  book_.History().Undo();
  EXPECT_EQ(St().CellDataType(0, 1), kCellLiteralText);
  EXPECT_EQ(sheet_.CellObject(0, 1)->DisplayText(), "1/3");
  book_.History().Undo();
  EXPECT_EQ(St().CellDataType(0, 0), kCellLiteralText);
  EXPECT_EQ(sheet_.CellObject(0, 0)->EditText(), "0001");
  book_.History().Redo();
  EXPECT_EQ(St().CellDataType(0, 0), kCellText);
}

TEST_F(LiteralText, ClipboardCopyAndAssignKeepTheMark) {
  St().StoreLiteralText(0, 0, "0001");
  sheet_.CellObject(1, 0)->SetText("0001");
  sheet_.CopyToClipboard(TRect{0, 0, 1, 0}, false);
  sheet_.Paste(0, 2);
  EXPECT_EQ(St().CellDataType(0, 2), kCellLiteralText);
  EXPECT_EQ(St().CellRec(0, 2).Text, "0001");
  EXPECT_EQ(St().CellDataType(1, 2), kCellText);  // the typed one stays typed
  {
    auto target = sheet_.CellObject(3, 3);
    auto source = sheet_.CellObject(0, 0);
    target->Assign(*source);
  }
  EXPECT_EQ(St().CellDataType(3, 3), kCellLiteralText);
  Workbook copy;
  copy.Assign(book_);
  EXPECT_EQ(copy.Sheets(0).Storage().CellDataType(0, 0), kCellLiteralText);
  EXPECT_EQ(copy.Sheets(0).CellObject(0, 0)->DisplayText(), "0001");
}

TEST_F(LiteralText, SortsAsTextAndMovesWithItsRow) {
  // Literal "10", "9", "100" sort as texts; the typed numbers beside them follow their rows.
  const char* const literals[] = {"9", "100", "10"};
  for (int32_t r = 0; r < 3; ++r) {
    St().StoreLiteralText(0, r, literals[r]);
    sheet_.CellObject(1, r)->SetText(std::to_string(r));
  }
  sheet_.SortCells(TRect{0, 0, 1, 2}, {false});
  const char* const sorted[] = {"10", "100", "9"};
  const char* const follow[] = {"2", "1", "0"};
  for (int32_t r = 0; r < 3; ++r) {
    EXPECT_EQ(St().CellRec(0, r).Text, sorted[r]) << r;
    EXPECT_EQ(St().CellDataType(0, r), kCellLiteralText) << r;
    EXPECT_EQ(St().CellRec(1, r).Text, follow[r]) << r;
  }
  book_.History().Undo();
  EXPECT_EQ(St().CellRec(0, 0).Text, "9");
  EXPECT_EQ(St().CellDataType(0, 0), kCellLiteralText);
}

}  // namespace
}  // namespace workbook
