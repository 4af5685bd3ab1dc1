#pragma once
// Cell and range actions on the active sheet (or, for cell names with a sheet caption, on
// the named sheet): single cells by position or name, selection, merge and split, insertion
// and deletion, clearing, and hiding or showing columns and rows.
#include <memory>
#include <string>

#include "plugin/ActionCatalogue.h"

namespace view {
class TSpreadSheetBook;
}  // namespace view
namespace workbook {
class TSSCellObject;
}  // namespace workbook

namespace plugin {

// "Caption!B3" or "B3": the cell object of that cell. ParameterError for a caption no sheet
// has (compared exactly), a name without letters, a row number that is not an integer or is
// below 1, and positions beyond the action limits.
std::unique_ptr<workbook::TSSCellObject> CellByName(view::TSpreadSheetBook& book,
                                                    const std::string& text);

bool SetCellValueAction(AttachedSpread& window, const ActionParams& params);
bool SetCellByNameAction(AttachedSpread& window, const ActionParams& params);
bool GetCellByNameAction(AttachedSpread& window, const ActionParams& params);
bool InsertCellsAction(AttachedSpread& window, const ActionParams& params);
bool DeleteCellsAction(AttachedSpread& window, const ActionParams& params);
bool SetSelectionAction(AttachedSpread& window, const ActionParams& params);
bool SetRangeSelectionAction(AttachedSpread& window, const ActionParams& params);
bool MergeCellsAction(AttachedSpread& window, const ActionParams& params);
bool SplitCellsAction(AttachedSpread& window, const ActionParams& params);
bool ClearCellsAction(AttachedSpread& window, const ActionParams& params);
bool SetVisibleAction(AttachedSpread& window, const ActionParams& params);

}  // namespace plugin
