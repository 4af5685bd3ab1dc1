#pragma once
// Cell and range actions on the active sheet (or, for cell names with a sheet caption, on
// the named sheet): single cells by position or name, selection, merge and split, insertion
// and deletion, clearing, and hiding or showing columns and rows.
#include <memory>
#include <string>

#include "plugin/ActionCatalogue.h"

namespace workbook {
class TSpreadSheetBook;
class TSSCellObject;
}  // namespace workbook

namespace plugin {

// "Caption!B3" or "B3": the cell object of that cell. EParameterError for a caption no sheet
// has (compared exactly), a name without letters, a row number that is not an integer or is
// below 1, and positions beyond the action limits.
std::unique_ptr<workbook::TSSCellObject> CellByName(workbook::TSpreadSheetBook& book,
                                                    const std::string& text);

bool SetCellValueAction(IAttachedSpread& window, const ActionParams& params);
bool SetCellByNameAction(IAttachedSpread& window, const ActionParams& params);
bool GetCellByNameAction(IAttachedSpread& window, const ActionParams& params);
bool InsertCellsAction(IAttachedSpread& window, const ActionParams& params);
bool DeleteCellsAction(IAttachedSpread& window, const ActionParams& params);
bool SetSelectionAction(IAttachedSpread& window, const ActionParams& params);
bool SetRangeSelectionAction(IAttachedSpread& window, const ActionParams& params);
bool MergeCellsAction(IAttachedSpread& window, const ActionParams& params);
bool SplitCellsAction(IAttachedSpread& window, const ActionParams& params);
bool ClearCellsAction(IAttachedSpread& window, const ActionParams& params);
bool SetVisibleAction(IAttachedSpread& window, const ActionParams& params);

}  // namespace plugin
