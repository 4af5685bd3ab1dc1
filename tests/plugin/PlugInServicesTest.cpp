// The plug-in's composition: the books it builds compute formulas and read and write
// workbook files (what the window layer's book needs), and an incomplete set is refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "PlugInTestSupport.h"
#include "plugin/PlugInServices.h"
#include "plugin/TNeoSpread.h"
#include "workbook/TCustomSpreadSheetBook.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/Workbook.h"

namespace {

using plugintest::PlugInTest;

class PlugInServicesTest : public PlugInTest {};

TEST_F(PlugInServicesTest, ItsBooksComputeFormulasAndReadAndWriteFiles) {
  EXPECT_TRUE(plugin::PlugInComposition().book.Missing().empty());
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() /
      ("plugin-composition-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
       ".xls");
  {
    workbook::Workbook book;
    ASSERT_NE(book.FormulaCache(), nullptr);
    book.Sheets(0).CellObject(0, 0)->SetText("4");
    book.Sheets(0).CellObject(1, 0)->SetText("=A1*10+2");
    EXPECT_EQ(book.Sheets(0).CellObject(1, 0)->DisplayText(), "42");
    book.SaveToFile(file.string());
  }
  workbook::Workbook back;
  back.LoadFromFile(file.string());
  std::filesystem::remove(file);
  EXPECT_EQ(back.Sheets(0).CellObject(1, 0)->EditText(), "=A1*10+2");
  back.Sheets(0).CellObject(0, 0)->SetText("5");
  EXPECT_EQ(back.Sheets(0).CellObject(1, 0)->DisplayText(), "52");
}

TEST_F(PlugInServicesTest, AnIncompleteSetIsRefusedAndChangesNothing) {
  plugin::PlugInServices noWindows = plugin::PlugInComposition();
  noWindows.spreadFactory = nullptr;
  EXPECT_THROW(plugin::InstallPlugInServices(noWindows), workbook::ESpreadSheetError);
  plugin::PlugInServices noEngine = plugin::PlugInComposition();
  noEngine.spreadFactory = &plugintest::MakeTestSpread;
  noEngine.book.formulaCache = nullptr;
  EXPECT_THROW(plugin::InstallPlugInServices(noEngine), workbook::ESpreadSheetError);
  // Both refusals left the composed plug-in in place: the window factory, the engine.
  EXPECT_EQ(plugin::ComposedSpreadFactory(), &plugin::MakeSpreadWindow);
  workbook::Workbook book;
  EXPECT_NE(book.FormulaCache(), nullptr);
}

}  // namespace
