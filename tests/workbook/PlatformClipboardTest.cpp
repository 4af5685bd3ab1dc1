// Copy and paste through the clipboard installed by default: the platform clipboard (the
// system clipboard on Windows).
#include <gtest/gtest.h>

#include "platform/Clipboard.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSSClipboard.h"
#include "workbook/TestLocales.h"
#include "workbook/Workbook.h"

namespace workbook {
namespace {

class DefaultClipboard : public ::testing::Test {
 protected:
  platform::ScopedLocale locale_{test::EnglishUS()};
};

TEST_F(DefaultClipboard, CopyInOneBookPastesInAnother) {
  Workbook source;
  TSSBookSheet& sheet = *source.ActiveSheet();
  sheet.CellObject(0, 0)->SetText("12.5");
  sheet.CellObject(1, 0)->SetText("caf\xe9");
  { sheet.CellObject(0, 0)->Style().Font().SetAll("Arial", 11, 2, 1, kFontBold); }
  sheet.CopyToClipboard(TRect{0, 0, 1, 0}, false);

  // The system clipboard holds the private block and the tab-separated text.
  const platform::ClipboardFormat format =
      platform::Clipboard::RegisterFormat(kPrivateClipboardFormat);
  ASSERT_TRUE(platform::Clipboard::HasBlock(format));
  EXPECT_EQ(platform::Clipboard::ReadText(), std::optional<std::string>("12.5\tcaf\xe9\r\n"));
  const auto block = platform::Clipboard::ReadBlock(format);
  ASSERT_TRUE(block.has_value());
  EXPECT_NE(block->find(std::string("\r\n\0", 3)), std::string::npos);

  Workbook target;
  TSSBookSheet& other = *target.ActiveSheet();
  EXPECT_EQ(other.Paste(3, 2), (TRect{3, 2, 4, 2}));
  EXPECT_EQ(other.Storage().CellRec(3, 2).Text, "12.5");
  EXPECT_EQ(other.Storage().CellRec(4, 2).Text, "caf\xe9");
  const StyleEntry* style = other.Storage().CellStyleEntry(3, 2);
  EXPECT_TRUE(target.StyleCache().Owns(style));
  EXPECT_EQ(style->Font->Name, "Arial");
  EXPECT_EQ(style->Font->Style, kFontBold);

  // Cut: the source is cleared and the block still pastes.
  sheet.CopyToClipboard(TRect{1, 0, 1, 0}, true);
  EXPECT_EQ(sheet.Storage().CellRec(1, 0).Text, "");
  other.Paste(0, 0);
  EXPECT_EQ(other.Storage().CellRec(0, 0).Text, "caf\xe9");
}

TEST_F(DefaultClipboard, TextFromOutsidePastesWithTheEntryRules) {
  // Another program puts only text on the clipboard.
  ASSERT_TRUE(platform::Clipboard::Write(0, std::nullopt, std::string("1/2/2004\t$5\r\n2.5\tabc")));
  Workbook book;
  TSSBookSheet& sheet = *book.ActiveSheet();
  EXPECT_EQ(sheet.Paste(1, 1), (TRect{1, 1, 2, 2}));
  EXPECT_EQ(sheet.Storage().CellDataType(1, 1), kCellNumber);
  EXPECT_EQ(sheet.CellObject(1, 1)->Style().Format(), 14);
  EXPECT_EQ(sheet.Storage().CellRec(2, 1).Text, "5");
  EXPECT_EQ(sheet.Storage().CellRec(1, 2).Text, "2.5");
  EXPECT_DOUBLE_EQ(sheet.Storage().CellNumber(1, 1), 37988);  // 2 January 2004, month first here
  EXPECT_EQ(sheet.Storage().CellRec(2, 2).Text, "abc");

  // An empty clipboard pastes nothing and records nothing.
  ASSERT_TRUE(platform::Clipboard::Clear());
  const int steps = book.History().UndoCount();
  EXPECT_EQ(sheet.Paste(0, 0), (TRect{0, 0, -1, -1}));
  EXPECT_EQ(book.History().UndoCount(), steps);
}

}  // namespace
}  // namespace workbook
