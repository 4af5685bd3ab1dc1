#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "support/TestComposition.h"
#include "workbook/KeyCodes.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSSClipboard.h"
#include "workbook/TestLocales.h"
#include "workbook/Workbook.h"

namespace workbook {
namespace {

class RangeOps : public ::testing::Test {
 protected:
  void Enter(int32_t col, int32_t row, const std::string& text) {
    sheet_.CellObject(col, row)->SetText(text);
  }
  std::string Text(int32_t col, int32_t row) { return sheet_.Storage().CellRec(col, row).Text; }
  TSSDataStorage& St() { return sheet_.Storage(); }

  platform::ScopedLocale locale_{test::EnglishUS()};
  MemoryClipboard clipboard_;
  ScopedBookServices services_{testsupport::ModelServices(clipboard_)};  // before the book
  Workbook book_;
  TSSBookSheet& sheet_ = *book_.ActiveSheet();
};

TEST_F(RangeOps, ClearingWithAndWithoutStyles) {
  Enter(1, 1, "bold");
  { sheet_.CellObject(1, 1)->Style().Font().SetStyle(kFontBold); }
  Enter(2, 2, "=1+1");
  sheet_.ClearCells(TRect{1, 1, 2, 2}, false);
  EXPECT_EQ(Text(1, 1), "");
  EXPECT_EQ(St().CellStyleEntry(1, 1)->Font->Style, kFontBold);
  EXPECT_EQ(St().CellDataType(2, 2), kCellText);
  sheet_.ClearCells(TRect{1, 1, 2, 2}, true);
  EXPECT_FALSE(St().HasRecord(1, 1));
  EXPECT_EQ(book_.StyleCache().EntryCount(), 1);
  // The handler can turn a clear without styles into one with styles, or refuse it.
  Enter(0, 0, "x");
  { sheet_.CellObject(0, 0)->Style().Brush().SetBackgroundColor(3); }
  book_.events.OnClearCells = [](TSSBookSheet&, const TRect&, bool& useDefault, bool& can) {
    useDefault = true;
    can = true;
  };
  sheet_.ClearCells(TRect{0, 0, 0, 0}, false);
  EXPECT_FALSE(St().HasRecord(0, 0));
  Enter(0, 0, "kept");
  book_.events.OnClearCells = [](TSSBookSheet&, const TRect&, bool&, bool& can) { can = false; };
  sheet_.ClearCells(TRect{0, 0, 0, 0}, true);
  EXPECT_EQ(Text(0, 0), "kept");
}

TEST_F(RangeOps, ClearingStopsAtReadOnlyStyles) {
  Enter(0, 0, "a");
  Enter(0, 1, "b");
  Enter(0, 2, "c");
  { sheet_.CellObject(0, 1)->Style().SetReadOnlyFlag(true); }
  book_.ExcelProtectionStyle = true;  // editable under this rule, but the style refuses
  St().ClearCells(TRect{0, 0, 0, 2}, false);
  EXPECT_EQ(Text(0, 0), "");
  EXPECT_EQ(Text(0, 1), "b");
  EXPECT_EQ(Text(0, 2), "c");
}

TEST_F(RangeOps, ClearingTheWholeUsedArea) {
  Enter(3, 3, "x");
  St().MergeCells(TRect{0, 0, 1, 1}, true);
  sheet_.ClearCells(kWholeUsedArea, true);
  EXPECT_EQ(St().RecordCount(), 0u);
  EXPECT_EQ(St().MergedCells().Count(), 0);
  book_.History().Undo();
  EXPECT_EQ(Text(3, 3), "x");
}

TEST_F(RangeOps, InsertModesShiftCells) {
  Enter(1, 1, "B2");
  Enter(1, 2, "B3");
  Enter(2, 1, "C2");
  sheet_.InsertCells(TRect{1, 1, 1, 2}, 1);  // down
  EXPECT_EQ(Text(1, 1), "");
  EXPECT_EQ(Text(1, 2), "");
  EXPECT_EQ(Text(1, 3), "B2");
  EXPECT_EQ(Text(1, 4), "B3");
  EXPECT_EQ(Text(2, 1), "C2");               // other columns untouched
  sheet_.InsertCells(TRect{0, 1, 1, 1}, 0);  // right, in row 2 only
  EXPECT_EQ(Text(4, 1), "C2");
  EXPECT_EQ(Text(3, 3), "");
  EXPECT_EQ(Text(1, 3), "B2");
  book_.History().Undo();
  EXPECT_EQ(Text(2, 1), "C2");
  book_.History().Undo();
  EXPECT_EQ(Text(1, 1), "B2");
  EXPECT_EQ(Text(1, 2), "B3");
}

TEST_F(RangeOps, DeletingAColumnMovesCellsWidthsAndAreas) {
  Enter(1, 0, "B");
  Enter(2, 0, "C");
  sheet_.ColumnHeader().SetSize(1, 40);
  sheet_.ColumnHeader().SetSize(2, 60);
  St().MergeCells(TRect{3, 1, 4, 2}, true);
  St().MergeCells(TRect{1, 5, 1, 6}, true);  // removed with the column
  sheet_.DeleteCells(TRect{1, 0, 1, 0}, 2);
  EXPECT_EQ(Text(1, 0), "C");
  EXPECT_EQ(sheet_.ColumnHeader().Size(1), 60);
  EXPECT_EQ(St().MergedCells().AllAreas(), (TSSRectsArray{TRect{2, 1, 3, 2}}));
  book_.History().Undo();
  EXPECT_EQ(Text(1, 0), "B");
  EXPECT_EQ(Text(2, 0), "C");
  EXPECT_EQ(sheet_.ColumnHeader().Size(1), 40);
  EXPECT_EQ(sheet_.ColumnHeader().Size(2), 60);
  EXPECT_EQ(St().MergedCells().Count(), 2);
  EXPECT_TRUE(St().CellStyleEntry(1, 5)->Flags & kStyleMerged);
  book_.History().Redo();
  EXPECT_EQ(Text(1, 0), "C");
}

TEST_F(RangeOps, ShiftModesRefuseMergedAreas) {
  St().MergeCells(TRect{5, 5, 6, 6}, true);
  Enter(0, 5, "x");
  try {
    sheet_.InsertCells(TRect{0, 5, 0, 5}, 0);
    FAIL();
  } catch (const ESpreadSheetError& e) {
    EXPECT_STREQ(e.what(), "Some modified cells are merged");
  }
  EXPECT_THROW(sheet_.DeleteCells(TRect{6, 0, 6, 0}, 1), ESpreadSheetError);
  EXPECT_EQ(Text(0, 5), "x");
  EXPECT_FALSE(book_.IsLocked());
  sheet_.InsertCells(TRect{0, 0, 0, 1}, 3);  // whole rows move the area instead
  EXPECT_EQ(St().MergedCells().AllAreas(), (TSSRectsArray{TRect{5, 7, 6, 8}}));
  EXPECT_EQ(Text(0, 7), "x");
}

TEST_F(RangeOps, DeletingRowsAndInsertingColumnsKeepHeaders) {
  sheet_.RowHeader().SetSize(3, 50);
  Enter(0, 3, "row4");
  sheet_.DeleteCells(TRect{0, 1, 0, 2}, 3);
  EXPECT_EQ(Text(0, 1), "row4");
  EXPECT_EQ(sheet_.RowHeader().Size(1), 50);
  sheet_.InsertCells(TRect{0, 0, 1, 0}, 2);
  EXPECT_EQ(Text(2, 1), "row4");
  book_.History().Undo(2);
  EXPECT_EQ(Text(0, 3), "row4");
  EXPECT_EQ(sheet_.RowHeader().Size(3), 50);
}

TEST_F(RangeOps, SortingMixedValues) {
  Enter(0, 0, "b");
  Enter(0, 2, "10");
  Enter(0, 3, "9");
  Enter(1, 0, "row b");
  Enter(1, 1, "row empty");
  Enter(1, 2, "row 10");
  Enter(1, 3, "row 9");
  sheet_.SortCells(TRect{0, 0, 1, 3}, {false});
  EXPECT_EQ(Text(0, 0), "");
  EXPECT_EQ(Text(0, 1), "9");
  EXPECT_EQ(Text(0, 2), "10");
  EXPECT_EQ(Text(0, 3), "b");
  EXPECT_EQ(Text(1, 1), "row 9");  // whole rows move
  sheet_.SortCells(TRect{0, 0, 1, 3}, {true});
  EXPECT_EQ(Text(0, 0), "b");
  EXPECT_EQ(Text(0, 3), "");
  book_.History().Undo();
  EXPECT_EQ(Text(0, 3), "b");
  book_.History().Undo();
  EXPECT_EQ(Text(0, 0), "b");
  EXPECT_EQ(Text(1, 1), "row empty");
  EXPECT_EQ(St().CompareCells(TPoint{5, 5}, TPoint{0, 0}), -1);
}

TEST_F(RangeOps, SortingNumberCellsAmongTexts) {
  St().StoreCellValue(0, 0, 5);
  Enter(0, 1, "abc");
  St().StoreCellValue(0, 2, 30);
  Enter(0, 3, "4");  // a number entered as text compares by value too
  sheet_.SortCells(TRect{0, 0, 0, 3}, {});
  EXPECT_EQ(Text(0, 0), "4");
  EXPECT_EQ(St().CellNumber(0, 1), 5);
  EXPECT_EQ(St().CellNumber(0, 2), 30);
  EXPECT_EQ(Text(0, 3), "abc");
}

TEST_F(RangeOps, SortingBySecondKeyWithinTies) {
  Enter(0, 0, "x");
  Enter(1, 0, "2");
  Enter(0, 1, "x");
  Enter(1, 1, "1");
  Enter(0, 2, "a");
  Enter(1, 2, "3");
  Enter(0, 3, "TRUE");
  Enter(0, 4, "false");
  sheet_.SortCells(TRect{0, 0, 1, 2}, {false, true});
  EXPECT_EQ(Text(0, 0), "a");
  EXPECT_EQ(Text(1, 1), "2");  // ties on "x" sorted descending by the second column
  EXPECT_EQ(Text(1, 2), "1");
  EXPECT_EQ(St().CompareCells(TPoint{0, 4}, TPoint{0, 3}), -1);  // false before true
}

TEST_F(RangeOps, CopyPutsPlainTextAndABlock) {
  Enter(0, 0, "x");
  Enter(1, 0, "y");
  Enter(0, 1, "z");
  sheet_.CopyToClipboard(TRect{0, 0, 1, 1}, false);
  ASSERT_TRUE(clipboard_.GetText().has_value());
  EXPECT_EQ(platform::Utf16ToAnsi(*clipboard_.GetText()), "x\ty\r\nz\t\r\n");
  const auto block = clipboard_.GetData(kPrivateClipboardFormat);
  ASSERT_TRUE(block.has_value());
  EXPECT_EQ(block->back(), '\0');
  EXPECT_EQ(block->substr(block->size() - 3), std::string("\r\n\0", 3));
  EXPECT_EQ(book_.History().UndoCount(), 3);  // copying records nothing
}

TEST_F(RangeOps, BlockPasteIntoAnotherBook) {
  Enter(0, 0, "12.5");
  St().StoreCellValue(1, 0, 1.0 / 3);
  { sheet_.CellObject(0, 0)->Style().Font().SetAll("Arial", 11, 2, 1, kFontItalic); }
  St().MergeCells(TRect{0, 1, 1, 1}, true);
  Enter(0, 1, "merged");
  sheet_.CopyToClipboard(TRect{0, 0, 1, 1}, false);
  Workbook other;
  TSSBookSheet& target = *other.ActiveSheet();
  const TRect pasted = target.Paste(2, 3);
  EXPECT_EQ(pasted, (TRect{2, 3, 3, 4}));
  EXPECT_EQ(target.Storage().CellRec(2, 3).Text, "12.5");
  EXPECT_DOUBLE_EQ(target.Storage().CellNumber(3, 3), 1.0 / 3);
  const StyleEntry* style = target.Storage().CellStyleEntry(2, 3);
  EXPECT_TRUE(other.StyleCache().Owns(style));
  EXPECT_EQ(style->Font->Name, "Arial");
  EXPECT_EQ(style->Font->Style, kFontItalic);
  EXPECT_EQ(target.Storage().MergedCells().AllAreas(), (TSSRectsArray{TRect{2, 4, 3, 4}}));
  EXPECT_TRUE(target.Storage().CellStyleEntry(3, 4)->Flags & kStyleMerged);
  EXPECT_EQ(other.History().UndoCount(), 1);
  EXPECT_EQ(other.History().UndoList().ChildAt(0)->Caption(), "Paste cells");
  // Pasting onto part of a merged area is refused before anything changes.
  try {
    target.Paste(3, 4);
    FAIL();
  } catch (const ESpreadSheetError& e) {
    EXPECT_STREQ(e.what(), "Cannot change part of merged cells");
  }
  other.History().Undo();
  EXPECT_EQ(target.Storage().CellRec(2, 3).Text, "");
}

TEST_F(RangeOps, PlainTextPasteUsesTheEntryRules) {
  clipboard_.SetText(u"1\t2");
  const TRect pasted = sheet_.Paste(2, 2);
  EXPECT_EQ(pasted, (TRect{2, 2, 3, 2}));
  EXPECT_EQ(Text(2, 2), "1");
  EXPECT_EQ(Text(3, 2), "2");
  clipboard_.SetText(u"1/2/2004\t$5\r\n\tabc\r\n");
  sheet_.Paste(0, 5);
  EXPECT_EQ(St().CellDataType(0, 5), kCellNumber);
  EXPECT_EQ(sheet_.CellObject(0, 5)->Style().Format(), 14);
  EXPECT_EQ(Text(1, 5), "5");
  EXPECT_EQ(Text(1, 6), "abc");
  clipboard_.Clear();
  EXPECT_EQ(sheet_.Paste(0, 0), (TRect{0, 0, -1, -1}));  // nothing on the clipboard
}

TEST_F(RangeOps, CutClearsAfterCopying) {
  Enter(0, 0, "moved");
  sheet_.CopyToClipboard(TRect{0, 0, 0, 0}, true);
  EXPECT_EQ(Text(0, 0), "");
  sheet_.Paste(4, 4);
  EXPECT_EQ(Text(4, 4), "moved");
}

TEST_F(RangeOps, PasteRespectsProtectionAndVetoes) {
  clipboard_.SetText(u"a\tb");
  book_.events.OnEditing = [](TSSBookSheet&, int32_t, int32_t, bool& can) { can = false; };
  sheet_.Paste(0, 0);
  EXPECT_EQ(Text(0, 0), "");
  book_.events.OnEditing = nullptr;
  book_.Protected = true;
  sheet_.ColumnHeader().SetProtectionLocked(0, false);
  sheet_.Paste(0, 0);  // A is unlocked, B is locked
  EXPECT_EQ(Text(0, 0), "a");
  EXPECT_EQ(Text(1, 0), "");
}

TEST_F(RangeOps, CorruptBlocksFailCleanly) {
  clipboard_.SetData(kPrivateClipboardFormat, std::string("\x01\x00", 2));
  EXPECT_THROW(sheet_.Paste(0, 0), ESpreadSheetError);
  std::string huge(20, '\0');
  huge[8] = '\x7f';  // Right far beyond the far edge
  huge[9] = '\x7f';
  huge[10] = '\x7f';
  huge[11] = '\x7f';
  clipboard_.SetData(kPrivateClipboardFormat, huge);
  EXPECT_THROW(sheet_.Paste(0, 0), ESpreadSheetError);
  // A block whose cells are cut short pastes what is complete and stops.
  Enter(0, 0, "one");
  Enter(0, 1, "two");
  sheet_.CopyToClipboard(TRect{0, 0, 0, 1}, false);
  std::string block = *clipboard_.GetData(kPrivateClipboardFormat);
  block.resize(block.size() - 8);
  clipboard_.SetData(kPrivateClipboardFormat, block);
  sheet_.Paste(3, 0);
  EXPECT_EQ(Text(3, 0), "one");
  EXPECT_EQ(Text(3, 1), "");
  EXPECT_FALSE(book_.IsLocked());
  EXPECT_FALSE(book_.History().InGroup());
}

}  // namespace
}  // namespace workbook

namespace workbook {
namespace {

class Keys : public ::testing::Test {
 protected:
  std::string Text(int32_t col, int32_t row) { return sheet_.Storage().CellRec(col, row).Text; }
  platform::ScopedLocale locale_{test::EnglishUS()};
  MemoryClipboard clipboard_;
  ScopedBookServices services_{testsupport::ModelServices(clipboard_)};  // before the book
  Workbook book_;
  TSSBookSheet& sheet_ = *book_.ActiveSheet();
};

TEST_F(Keys, ClipboardUndoAndEditingKeys) {
  sheet_.CellObject(0, 0)->SetText("a");
  { sheet_.CellObject(0, 0)->Style().Font().SetStyle(kFontBold); }
  sheet_.SelectCell(0, 0);
  EXPECT_TRUE(book_.KeyDown('C', false, true));
  sheet_.SelectCell(2, 2);
  EXPECT_TRUE(book_.KeyDown('V', false, true));
  EXPECT_EQ(Text(2, 2), "a");
  EXPECT_TRUE(book_.KeyDown('Z', false, true));
  EXPECT_EQ(Text(2, 2), "");
  EXPECT_TRUE(book_.KeyDown('Y', false, true));
  EXPECT_EQ(Text(2, 2), "a");
  EXPECT_TRUE(book_.KeyDown(kKeyDelete, false, false));  // clears text, keeps the style
  EXPECT_EQ(Text(2, 2), "");
  EXPECT_EQ(sheet_.Storage().CellStyleEntry(2, 2)->Font->Style, kFontBold);
  EXPECT_TRUE(book_.KeyDown(kKeyDelete, false, true));  // with styles
  EXPECT_FALSE(sheet_.Storage().HasRecord(2, 2));
  sheet_.SelectCell(0, 0);
  EXPECT_TRUE(book_.KeyDown(kKeyDelete, true, false));  // cut
  EXPECT_EQ(Text(0, 0), "");
  sheet_.SelectCell(4, 4);
  EXPECT_TRUE(book_.KeyDown(kKeyInsert, true, false));  // paste
  EXPECT_EQ(Text(4, 4), "a");
  EXPECT_TRUE(book_.KeyDown(kKeyReturn, false, false));
  EXPECT_EQ(sheet_.Selection(), (TRect{4, 5, 4, 5}));
  EXPECT_TRUE(book_.KeyDown(kKeyTab, false, false));
  EXPECT_EQ(sheet_.Selection(), (TRect{5, 5, 5, 5}));
  EXPECT_TRUE(book_.KeyDown(kKeyTab, true, false));
  EXPECT_EQ(sheet_.Selection(), (TRect{4, 5, 4, 5}));
  int editing = 0;
  book_.events.OnEditing = [&](TSSBookSheet&, int32_t, int32_t, bool&) { ++editing; };
  EXPECT_TRUE(book_.KeyDown(kKeyF2, false, false));
  EXPECT_EQ(editing, 1);
  EXPECT_TRUE(book_.KeyDown(kKeyF9, false, false));
  EXPECT_FALSE(book_.KeyDown('Q', false, true));
  EXPECT_FALSE(book_.IsLocked());
}

}  // namespace
}  // namespace workbook
