#pragma once
// Sheet actions: create, delete, rename and activate sheets, undo and redo, column widths,
// row heights and their resize locks.
#include "plugin/ActionCatalogue.h"

namespace plugin {

bool CreateSheetAction(AttachedSpread& window, const ActionParams& params);
bool DeleteSheetAction(AttachedSpread& window, const ActionParams& params);
bool RenameSheetAction(AttachedSpread& window, const ActionParams& params);
bool SetActiveSheetAction(AttachedSpread& window, const ActionParams& params);
bool UndoAction(AttachedSpread& window, const ActionParams& params);
bool RedoAction(AttachedSpread& window, const ActionParams& params);
bool SetColWidthAction(AttachedSpread& window, const ActionParams& params);
bool SetRowHeightAction(AttachedSpread& window, const ActionParams& params);
bool LockResColAction(AttachedSpread& window, const ActionParams& params);
bool LockResRowAction(AttachedSpread& window, const ActionParams& params);

}  // namespace plugin
