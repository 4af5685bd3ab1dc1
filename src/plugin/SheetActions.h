#pragma once
// Sheet actions: create, delete, rename and activate sheets, undo and redo, column widths,
// row heights and their resize locks.
#include "plugin/ActionCatalogue.h"

namespace plugin {

bool CreateSheetAction(IAttachedSpread& window, const ActionParams& params);
bool DeleteSheetAction(IAttachedSpread& window, const ActionParams& params);
bool RenameSheetAction(IAttachedSpread& window, const ActionParams& params);
bool SetActiveSheetAction(IAttachedSpread& window, const ActionParams& params);
bool UndoAction(IAttachedSpread& window, const ActionParams& params);
bool RedoAction(IAttachedSpread& window, const ActionParams& params);
bool SetColWidthAction(IAttachedSpread& window, const ActionParams& params);
bool SetRowHeightAction(IAttachedSpread& window, const ActionParams& params);
bool LockResColAction(IAttachedSpread& window, const ActionParams& params);
bool LockResRowAction(IAttachedSpread& window, const ActionParams& params);

}  // namespace plugin
