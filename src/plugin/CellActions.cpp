#include "plugin/CellActions.h"

#include "plugin/ActionSupport.h"
#include "plugin/HostLink.h"
#include "plugin/TextConventions.h"
#include "workbook/Geometry.h"
#include "workbook/SSUtils.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSCellObject.h"

namespace plugin {

namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

void Refresh(TNeoSpread& spread) {
  spread.Book().Refresh();
  ViewChanged(spread);
}

// Insert and delete modes by their exact texts; -1 for any other text (which does nothing).
int ShiftMode(const std::string& text) {
  if (text.empty() || text == "0") return 0;
  if (text == "1") return 1;
  if (text == "2") return 2;
  if (text == "3") return 3;
  return -1;
}

}  // namespace

std::unique_ptr<workbook::TSSCellObject> CellByName(view::TSpreadSheetBook& book,
                                                    const std::string& text) {
  std::string caption;
  std::string reference = text;
  const size_t bang = text.find('!');
  if (bang != std::string::npos && bang > 0) {
    caption = text.substr(0, bang);
    reference = text.substr(bang + 1);
  }
  workbook::TSSBookSheet* sheet = nullptr;
  if (!caption.empty()) {
    for (int i = 0; i < book.PageCount() && sheet == nullptr; ++i) {
      if (book.Sheets(i).Caption() == caption) sheet = &book.Sheets(i);
    }
    if (sheet == nullptr) throw ParameterError("no sheet is named \"" + caption + "\"");
  } else {
    sheet = book.ActiveSheet();
    if (sheet == nullptr) throw ParameterError("the book has no active sheet");
  }
  size_t letters = 0;
  while (letters < reference.size() && IsAsciiLetter(reference[letters])) ++letters;
  if (letters == 0) throw ParameterError("cell name \"" + reference + "\" has no column letters");
  // More letters than the widest column name can only be out of range.
  if (letters > workbook::TSSUtils::kMaxColumnLetters) {
    throw ParameterError("column of \"" + reference + "\" is out of range");
  }
  std::string column;
  for (size_t i = 0; i < letters; ++i) column += AsciiUpper(reference[i]);
  const int32_t col = workbook::TSSUtils::ColumnIndexByName(column);
  if (col < 0 || col > kMaxColumnIndex) {
    throw ParameterError("column of \"" + reference + "\" is out of range");
  }
  const int32_t rowNumber = ParseIntParam(reference.substr(letters));
  if (rowNumber < 1 || rowNumber - 1 > kMaxRowIndex) {
    throw ParameterError("row of \"" + reference + "\" is out of range");
  }
  return sheet->CellObject(col, rowNumber - 1);
}

bool SetCellValueAction(AttachedSpread& window, const ActionParams& params) {
  TNeoSpread& spread = SpreadOf(window);
  // Checked here: the window's command would swallow a bad position and report success.
  ColumnParam(params.at(1));
  RowParam(params.at(2));
  spread.CommitEditing();
  spread.labcol.caption = params.at(1);
  spread.labrow.caption = params.at(2);
  spread.labtext.caption = params.at(3);
  spread.settextClick();
  ViewChanged(spread);
  return true;
}

bool SetCellByNameAction(AttachedSpread& window, const ActionParams& params) {
  TNeoSpread& spread = SpreadOf(window);
  std::unique_ptr<workbook::TSSCellObject> cell = CellByName(spread.Book(), params.at(1));
  spread.CommitEditing();
  cell->SetText(params.at(2));
  ViewChanged(spread);
  return true;
}

bool GetCellByNameAction(AttachedSpread& window, const ActionParams& params) {
  TNeoSpread& spread = SpreadOf(window);
  std::unique_ptr<workbook::TSSCellObject> cell = CellByName(spread.Book(), params.at(1));
  const std::string editText = cell->EditText();
  const std::string displayText = cell->DisplayText();
  SetHostVariable(WindowVariable(params.at(0), "CellText"), editText);
  SetHostVariable(WindowVariable(params.at(0), "CellDisplayText"), displayText);
  return true;
}

bool InsertCellsAction(AttachedSpread& window, const ActionParams& params) {
  TNeoSpread& spread = SpreadOf(window);
  const int mode = ShiftMode(params.at(1));
  if (mode < 0) return true;
  spread.CommitEditing();
  workbook::TSSBookSheet& sheet = ActiveSheet(spread);
  sheet.InsertCells(sheet.Selection(), mode);
  Refresh(spread);
  return true;
}

bool DeleteCellsAction(AttachedSpread& window, const ActionParams& params) {
  TNeoSpread& spread = SpreadOf(window);
  const int mode = ShiftMode(params.at(1));
  if (mode < 0) return true;
  spread.CommitEditing();
  workbook::TSSBookSheet& sheet = ActiveSheet(spread);
  sheet.DeleteCells(sheet.Selection(), mode);
  Refresh(spread);
  return true;
}

bool SetSelectionAction(AttachedSpread& window, const ActionParams& params) {
  TNeoSpread& spread = SpreadOf(window);
  const int32_t col = ColumnParam(params.at(1));
  const int32_t row = RowParam(params.at(2));
  // While an in-place editor is open the selection stays where it is.
  if (spread.IsEditing()) return true;
  ActiveSheet(spread).SelectCell(col, row, params.at(3) == "1");
  ViewChanged(spread);
  return true;
}

bool SetRangeSelectionAction(AttachedSpread& window, const ActionParams& params) {
  TNeoSpread& spread = SpreadOf(window);
  const workbook::TRect rect = RangeParams(params, 1);
  spread.CommitEditing();
  ActiveSheet(spread).SetSelection(rect);
  ViewChanged(spread);
  return true;
}

bool MergeCellsAction(AttachedSpread& window, const ActionParams& params) {
  TNeoSpread& spread = SpreadOf(window);
  const workbook::TRect rect = RangeParams(params, 1);
  spread.CommitEditing();
  ActiveSheet(spread).MergeCells(rect, true);
  ViewChanged(spread);
  return true;
}

bool SplitCellsAction(AttachedSpread& window, const ActionParams& params) {
  TNeoSpread& spread = SpreadOf(window);
  const workbook::TRect rect = RangeParams(params, 1);
  spread.CommitEditing();
  ActiveSheet(spread).MergeCells(rect, false);
  ViewChanged(spread);
  return true;
}

bool ClearCellsAction(AttachedSpread& window, const ActionParams& params) {
  TNeoSpread& spread = SpreadOf(window);
  // All four corners "-1" name the whole used area, which the sheet clears as one.
  const bool wholeUsedArea =
      params.at(1) == "-1" && params.at(2) == "-1" && params.at(3) == "-1" && params.at(4) == "-1";
  const workbook::TRect rect = wholeUsedArea ? workbook::kWholeUsedArea : RangeParams(params, 1);
  spread.CommitEditing();
  ActiveSheet(spread).ClearCells(rect, params.at(5) != "0");
  Refresh(spread);
  return true;
}

bool SetVisibleAction(AttachedSpread& window, const ActionParams& params) {
  TNeoSpread& spread = SpreadOf(window);
  const workbook::TRect rect = RangeParams(params, 1);
  const bool columns = !params.at(5).empty() && params.at(5) != "0";
  const bool rows = !params.at(6).empty() && params.at(6) != "0";
  const bool visible = !params.at(7).empty() && params.at(7) != "0";
  spread.CommitEditing();
  workbook::TSSBookSheet& sheet = ActiveSheet(spread);
  const workbook::TRect before = sheet.Selection();
  sheet.SetColumnsRowsVisible(rect, columns, visible, rows);
  // Hiding the selected columns or rows moves the selection on, without the book's event.
  if (!(sheet.Selection() == before)) spread.ReportSelection();
  ViewChanged(spread);
  return true;
}

}  // namespace plugin
