#pragma once
// The print actions: page setup, print (through the preview) and the headings option of the
// window's report link. Each works on the window's printer component `Printer1` and its link
// `Printer1tPrinterLink1`; a dialog cancelled by the author is no failure.
#include "plugin/ActionCatalogue.h"

namespace plugin {

bool PrintPageSetupDialogAction(AttachedSpread& window, const ActionParams& params);
bool PrintAction(AttachedSpread& window, const ActionParams& params);
bool PrintHeadersAction(AttachedSpread& window, const ActionParams& params);

}  // namespace plugin
