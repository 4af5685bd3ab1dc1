#pragma once
// Colour helpers for publications.
#include "plugin/ActionCatalogue.h"

namespace plugin {

// FixColorString: parameter 2 (empty counts as "0") as an integer, written with at least
// three digits to "[" + rectangle + "." + parameter 3 + "]". Runs in the action frame.
bool FixColorStringAction(AttachedSpread& window, const ActionParams& params);

}  // namespace plugin
