// The window's commands on the headless backend: the formatting toggles and boxes with the
// Part's edge cases, the cell bar's commit rule, open/save/new with their FileName writes
// and failures, and Format Cells from the toolbar answered OK and Cancel.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "support/TestComposition.h"
#include "ui/headless/HeadlessBackend.h"
#include "ui/headless/HeadlessInput.h"
#include "window/TSpread.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"
#include "workbook/TSSCellStyle.h"

namespace {

using ui::headless::HeadlessBackend;
using ui::headless::HeadlessInput;
using window::TSpread;
using workbook::TRect;

struct Window {
  TSpread spread{0};
  std::vector<std::pair<std::string, std::string>> writes;
  Window() {
    spread.SetRectangleName("R");
    spread.SetVariableWriter(
        [this](const std::string& n, const std::string& v) { writes.emplace_back(n, v); });
    spread.cbMain->SetVisible(true);
    spread.panel->SetVisible(true);
    HeadlessBackend::Instance().ClearDialogLog();
  }
  workbook::TSSBookSheet& Sheet() { return *spread.Book().ActiveSheet(); }
  workbook::TSSCellStyle& StyleOf(int32_t col, int32_t row) {
    cells.push_back(Sheet().CellObject(col, row));
    return cells.back()->Style();
  }
  std::string Text(int32_t col, int32_t row) { return Sheet().CellObject(col, row)->EditText(); }
  std::vector<std::string> FileNames() const {
    std::vector<std::string> out;
    for (const auto& [name, value] : writes)
      if (name == "[R.zkSpreadSheetFileName]") out.push_back(value);
    return out;
  }
  void Click(const char* bar, const char* button) {
    ui::ToolBar* b = std::string(bar) == "std" ? spread.tbsStandart : spread.tbsFormatting;
    b->FindButton(button)->Click();
  }
  std::vector<std::unique_ptr<workbook::TSSCellObject>> cells;
};

uint8_t FontStyle(Window& w, int32_t col, int32_t row) {
  return w.Sheet().CellObject(col, row)->Style().Font().Style();
}

TEST(WindowCommands, BoldOnMixedCellsTwiceSetsThenClearsOnlyBold) {
  Window w;
  w.Sheet().CellObject(1, 0)->Style().Font().SetStyle(workbook::kFontBold | workbook::kFontItalic);
  w.Sheet().SetSelection(TRect{0, 0, 1, 0});
  w.Click("fmt", "tbBold");
  EXPECT_EQ(FontStyle(w, 0, 0), workbook::kFontBold);
  EXPECT_EQ(FontStyle(w, 1, 0), workbook::kFontBold | workbook::kFontItalic);
  w.Click("fmt", "tbBold");
  EXPECT_EQ(FontStyle(w, 0, 0), 0);
  EXPECT_EQ(FontStyle(w, 1, 0), workbook::kFontItalic);
  // Each press is one undo step.
  w.spread.Book().History().Undo();
  EXPECT_EQ(FontStyle(w, 1, 0), workbook::kFontBold | workbook::kFontItalic);
}

TEST(WindowCommands, AlignmentButtonsAndFontBoxesFormatTheSelection) {
  Window w;
  w.Sheet().SetSelection(TRect{0, 0, 1, 1});
  w.Click("fmt", "tbCenterAlign");
  EXPECT_EQ(w.Sheet().CellObject(1, 1)->Style().HorzTextAlign(), workbook::haCENTER);
  w.Click("fmt", "tbRightAlign");
  EXPECT_EQ(w.Sheet().CellObject(0, 1)->Style().HorzTextAlign(), workbook::haRIGHT);
  EXPECT_TRUE(w.spread.tbsFormatting->FindButton("tbRightAlign")->Down());

  struct SizeCase {
    const char* edited;  // nullptr: choose item 8 ("20 ") from the list
    int expected;
  };
  const SizeCase sizes[] = {{nullptr, 20}, {"14", 14}, {"300", 14}, {"0", 14}, {" 9 ", 9}};
  for (const SizeCase& c : sizes) {
    if (c.edited == nullptr) {
      w.spread.cbxSize->NoteItemChosen(8);
    } else {
      w.spread.cbxSize->NoteTextEdited(c.edited);
    }
    EXPECT_EQ(w.Sheet().CellObject(1, 1)->Style().Font().Size(), c.expected)
        << (c.edited ? c.edited : "item 8");
  }
  w.spread.cbxFont->NoteTextEdited("Courier New");
  EXPECT_EQ(w.Sheet().CellObject(0, 0)->Style().Font().Name(), "Courier New");
}

TEST(WindowCommands, SizeBoxTakesOnlyDigitsAndEnterGoesToTheGrid) {
  Window w;
  w.spread.cbxSize->SetFocus();
  const std::string before = w.spread.cbxSize->Text();
  HeadlessInput::Type(&w.spread, "a");
  HeadlessInput::Key(&w.spread, ui::keys::kBackspace);
  EXPECT_EQ(w.spread.cbxSize->Text(), before);
  EXPECT_EQ(w.Sheet().CellObject(0, 0)->Style().Font().Size(), 10);
  HeadlessInput::Type(&w.spread, "2");
  EXPECT_EQ(w.spread.cbxSize->Text(), before + "2");
  HeadlessInput::Key(&w.spread, ui::keys::kEnter);
  EXPECT_EQ(w.spread.ActiveControl(), &w.spread.BookView());
}

TEST(WindowCommands, CellBarCommitsOnlyChangedTextIntoTheCellItShowed) {
  workbook::ScopedBookServices services(testsupport::FullServices());
  Window w;
  w.spread.SetCellText(1, 1, "old");
  w.Sheet().SelectCell(1, 1);
  EXPECT_EQ(w.spread.edtCellEdit->Text(), "old");
  const int undoBefore = w.spread.Book().History().UndoCount();
  // Entering and leaving without typing writes nothing.
  w.spread.edtCellEdit->SetFocus();
  w.spread.BookView().SetFocus();
  EXPECT_EQ(w.spread.Book().History().UndoCount(), undoBefore);
  // Typed text becomes the cell's text (numbers and formulas recognised).
  w.spread.edtCellEdit->SetFocus();
  w.spread.edtCellEdit->NoteText("=2*3");
  w.spread.BookView().SetFocus();
  EXPECT_EQ(w.Text(1, 1), "=2*3");
  EXPECT_EQ(w.Sheet().CellObject(1, 1)->DisplayText(), "6");
  // After the selection moved the box shows D4, and what is typed there goes to D4 only.
  w.Sheet().SelectCell(3, 3);
  w.spread.edtCellEdit->SetFocus();
  w.spread.edtCellEdit->NoteText("typed after");
  EXPECT_EQ(w.spread.CellBarCell().col, 3);
  w.spread.BookView().SetFocus();
  EXPECT_EQ(w.Text(3, 3), "typed after");
  EXPECT_EQ(w.Text(1, 1), "=2*3");
}

class FileCommands : public ::testing::Test {
 protected:
  std::filesystem::path dir =
      std::filesystem::temp_directory_path() /
      ("ss_window_commands_" +
       std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  void SetUp() override { std::filesystem::create_directories(dir); }
  void TearDown() override { std::filesystem::remove_all(dir); }
};

TEST_F(FileCommands, SaveNewOpenWriteFileNameAndAFailedOpenChangesNothing) {
  workbook::ScopedBookServices services(testsupport::FullServices());
  Window w;
  HeadlessBackend& backend = HeadlessBackend::Instance();
  const std::string good = (dir / "book.xls").string();
  const std::string bad = (dir / "not a book.xls").string();
  std::ofstream(bad) << "this is no workbook";

  w.spread.SetCellText(0, 0, "saved");
  backend.QueueAnswer("OK", good);
  w.spread.alMain->Find("actSaveSpeadSheet")->Execute();
  ASSERT_TRUE(std::filesystem::exists(good));
  w.Click("std", "btnNew");
  EXPECT_EQ(w.Text(0, 0), "");
  w.spread.SetCellText(0, 0, "mine");

  // The failed open: a message box with the error, the book and FileName untouched.
  backend.QueueAnswer("OK", bad);
  w.Click("std", "btnOpen");
  EXPECT_EQ(w.Text(0, 0), "mine");
  ASSERT_FALSE(backend.DialogLog().empty());
  EXPECT_EQ(backend.DialogLog().back().kind, "MessageBox");
  EXPECT_FALSE(backend.DialogLog().back().text.empty());
  // Cancelled dialogs change nothing either.
  w.Click("std", "btnOpen");
  EXPECT_EQ(w.Text(0, 0), "mine");

  backend.QueueAnswer("OK", good);
  w.Click("std", "btnOpen");
  EXPECT_EQ(w.Text(0, 0), "saved");
  EXPECT_EQ(w.FileNames(), (std::vector<std::string>{good, "", good}));
  EXPECT_FALSE(w.spread.InModalLoop());

  // A workbook whose formulas use functions the engine lacks opens with their stored values
  // and one warning naming them; FileName is written as for any open.
  const char* data = std::getenv("SS_TEST_DATA");
  const std::string unknown =
      std::string(data != nullptr ? data : "tests/data") + "/xls/book/xlwt_unknown_functions.xls";
  backend.ClearDialogLog();
  backend.QueueAnswer("OK", unknown);
  w.Click("std", "btnOpen");
  ASSERT_EQ(backend.DialogLog().size(), 2u);  // the open dialog, then the warning
  EXPECT_EQ(backend.DialogLog().back().kind, "MessageBox");
  EXPECT_NE(backend.DialogLog().back().text.find("functions"), std::string::npos)
      << backend.DialogLog().back().text;
  EXPECT_EQ(w.FileNames().back(), unknown);
  EXPECT_FALSE(w.spread.InModalLoop());
}

TEST(WindowCommands, FormatCellsFromTheToolbarAnsweredOkAndCancel) {
  Window w;
  HeadlessBackend& backend = HeadlessBackend::Instance();
  w.Sheet().SetSelection(TRect{0, 0, 1, 1});
  backend.QueueAnswer("Cancel", "rbText=1");
  w.Click("fmt", "ToolButton2");
  EXPECT_EQ(w.Sheet().CellObject(1, 1)->Style().FormatCode(), 0);
  backend.QueueAnswer("OK", "rbText=1;cbxHorzAlign=2");
  w.Click("fmt", "ToolButton2");
  EXPECT_EQ(w.Sheet().CellObject(1, 1)->Style().FormatCode(), 49);
  EXPECT_EQ(w.Sheet().CellObject(0, 1)->Style().HorzTextAlign(), workbook::haCENTER);
  // The whole dialog is one undo step.
  w.spread.Book().History().Undo();
  EXPECT_EQ(w.Sheet().CellObject(1, 1)->Style().FormatCode(), 0);
  EXPECT_EQ(w.Sheet().CellObject(0, 0)->Style().HorzTextAlign(), workbook::haGENERAL);
  EXPECT_FALSE(w.spread.InModalLoop());

  // The font button opens the font dialog, which takes the next answer: a face, a size and
  // styles; a cancelled or unreadable font answer leaves the font group untouched.
  struct FontCase {
    const char* fontButton;
    const char* fontValue;
    const char* name;
    int size;
    uint8_t style;
  };
  const std::string before = w.Sheet().CellObject(1, 1)->Style().Font().Name();
  const FontCase cases[] = {
      {"Cancel", "Courier New;14;b", before.c_str(), 10, 0},
      {"OK", "Courier New;nine;b", before.c_str(), 10, 0},
      {"OK", "Courier New;14;bi", "Courier New", 14, workbook::kFontBold | workbook::kFontItalic},
  };
  for (const FontCase& c : cases) {
    backend.QueueAnswer("OK", "btnFont=click");
    backend.QueueAnswer(c.fontButton, c.fontValue);
    w.Click("fmt", "ToolButton2");
    const auto cell = w.Sheet().CellObject(1, 1);
    EXPECT_EQ(cell->Style().Font().Name(), c.name) << c.fontValue;
    EXPECT_EQ(cell->Style().Font().Size(), c.size) << c.fontValue;
    EXPECT_EQ(cell->Style().Font().Style(), c.style) << c.fontValue;
    EXPECT_EQ(backend.PendingAnswers(), 0u) << c.fontValue;
  }
  EXPECT_EQ(w.Sheet().CellObject(0, 0)->Style().Font().Name(), "Courier New");
}

TEST(WindowCommands, MergeSplitAndSortButtonsWorkOnTheSelection) {
  Window w;
  w.spread.SetCellText(0, 0, "b");
  w.spread.SetCellText(0, 1, "c");
  w.spread.SetCellText(0, 2, "a");
  w.Sheet().SetSelection(TRect{0, 0, 0, 2});
  w.Click("fmt", "tbSortAscending");
  EXPECT_EQ(w.Text(0, 0) + w.Text(0, 1) + w.Text(0, 2), "abc");
  w.Click("fmt", "tbSortDescending");
  EXPECT_EQ(w.Text(0, 0) + w.Text(0, 1) + w.Text(0, 2), "cba");
  w.Sheet().SetSelection(TRect{2, 2, 3, 3});
  w.Click("fmt", "tbMerge");
  EXPECT_EQ(w.Sheet().Storage().MergedAreaOf(3, 3), (TRect{2, 2, 3, 3}));
  w.Click("fmt", "tgSplit");
  EXPECT_EQ(w.Sheet().Storage().MergedAreaOf(3, 3), (TRect{3, 3, 3, 3}));
  // Copy and paste through the buttons.
  w.Sheet().SetSelection(TRect{0, 0, 0, 0});
  w.Click("std", "tbsCopy");
  w.Sheet().SetSelection(TRect{5, 5, 5, 5});
  w.Click("std", "tbsPaste");
  EXPECT_EQ(w.Text(5, 5), "c");
}

}  // namespace
