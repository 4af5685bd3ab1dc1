#pragma once
// Action 34: the Format Cells dialog over the attached window's selection.
#include "plugin/ActionCatalogue.h"

namespace plugin {

// Runs the dialog modally (OK or Cancel, both "zkSSH-000"); refused with the action's code
// while another dialog of the window is open.
bool FormatCellDialogAction(AttachedSpread& window, const ActionParams& params);

}  // namespace plugin
