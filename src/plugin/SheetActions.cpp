#include "plugin/SheetActions.h"

#include "plugin/ActionSupport.h"
#include "plugin/TextConventions.h"
#include "workbook/TSSBookSheet.h"
#include "workbook/TSSHeader.h"

namespace plugin {

namespace {

void Refresh(TNeoSpread& spread) {
  spread.Book().Refresh();
  ViewChanged(spread);
}

// Reactivates the sheet that was active before, on every path.
class RestoreActiveSheet {
 public:
  explicit RestoreActiveSheet(view::TSpreadSheetBook& book)
      : book_(book), index_(book.ActivePage()) {}
  ~RestoreActiveSheet() {
    try {
      book_.SetActiveSheet(index_);
    } catch (...) {
      // The action's own failure is the one reported.
    }
  }
  RestoreActiveSheet(const RestoreActiveSheet&) = delete;
  RestoreActiveSheet& operator=(const RestoreActiveSheet&) = delete;

 private:
  view::TSpreadSheetBook& book_;
  int index_;
};

}  // namespace

bool CreateSheetAction(AttachedSpread& window, const ActionParams& params) {
  TNeoSpread& spread = SpreadOf(window);
  if (params.at(1).empty()) {
    spread.Book().AddSheet();
  } else {
    spread.Book().AddSheet(params.at(1));
  }
  Refresh(spread);
  return true;
}

bool DeleteSheetAction(AttachedSpread& window, const ActionParams& params) {
  TNeoSpread& spread = SpreadOf(window);
  const int32_t index = SheetIndexParam(params.at(1));
  // The edited cell may live on the sheet that goes.
  spread.CommitEditing();
  spread.Book().DeleteSheet(index);
  Refresh(spread);
  return true;
}

bool RenameSheetAction(AttachedSpread& window, const ActionParams& params) {
  if (params.at(1).empty()) return false;
  TNeoSpread& spread = SpreadOf(window);
  const int32_t index = SheetIndexParam(params.at(1));
  const std::string name = params.at(2).empty() ? std::string("Sheet") : params.at(2);
  view::TSpreadSheetBook& book = spread.Book();
  // Checked first: an index outside the book changes nothing and fails.
  workbook::TSSBookSheet& sheet = book.Sheets(index);
  spread.CommitEditing();
  {
    RestoreActiveSheet restore(book);
    // The activation is an ordinary one (the window reports it); the caption goes to the
    // sheet at the index even when activation skipped to a visible neighbour.
    book.SetActiveSheet(index);
    sheet.SetCaption(name);
  }
  Refresh(spread);
  return true;
}

bool SetActiveSheetAction(AttachedSpread& window, const ActionParams& params) {
  TNeoSpread& spread = SpreadOf(window);
  const int32_t index = SheetIndexParam(params.at(1), "0");
  spread.CommitEditing();
  spread.Book().SetActiveSheet(index);
  Refresh(spread);
  return true;
}

bool UndoAction(AttachedSpread& window, const ActionParams&) {
  TNeoSpread& spread = SpreadOf(window);
  spread.CommitEditing();
  spread.Book().History().Undo(1);
  Refresh(spread);
  return true;
}

bool RedoAction(AttachedSpread& window, const ActionParams&) {
  TNeoSpread& spread = SpreadOf(window);
  spread.CommitEditing();
  spread.Book().History().Redo(1);
  Refresh(spread);
  return true;
}

bool SetColWidthAction(AttachedSpread& window, const ActionParams& params) {
  if (params.at(1).empty()) return false;
  TNeoSpread& spread = SpreadOf(window);
  const int32_t col = ColumnParam(params.at(1));
  const int32_t size = HeaderSizeParam(params.at(2), "0");
  ActiveSheet(spread).ColumnHeader().SetSize(col, size);
  Refresh(spread);
  return true;
}

bool SetRowHeightAction(AttachedSpread& window, const ActionParams& params) {
  if (params.at(1).empty()) return false;
  TNeoSpread& spread = SpreadOf(window);
  const int32_t row = RowParam(params.at(1));
  const int32_t size = HeaderSizeParam(params.at(2), "0");
  ActiveSheet(spread).RowHeader().SetSize(row, size);
  Refresh(spread);
  return true;
}

bool LockResColAction(AttachedSpread& window, const ActionParams& params) {
  TNeoSpread& spread = SpreadOf(window);
  const int32_t col = ColumnParam(params.at(1), "0");
  ActiveSheet(spread).ColumnHeader().SetResizeLocked(col, params.at(2) == "1");
  return true;
}

bool LockResRowAction(AttachedSpread& window, const ActionParams& params) {
  TNeoSpread& spread = SpreadOf(window);
  const int32_t row = RowParam(params.at(1), "0");
  ActiveSheet(spread).RowHeader().SetResizeLocked(row, params.at(2) == "1");
  return true;
}

}  // namespace plugin
