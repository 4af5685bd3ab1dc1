#pragma once
// View and colour actions: switches for the bars and the book's display properties, the four
// book colours from nine-digit colour texts, and the colour dialog.
#include "plugin/ActionCatalogue.h"

namespace plugin {

bool ToolBarAction(AttachedSpread& window, const ActionParams& params);
bool ShowHeadersAction(AttachedSpread& window, const ActionParams& params);
bool ShowGridLinesAction(AttachedSpread& window, const ActionParams& params);
bool ShowCaptionBarAction(AttachedSpread& window, const ActionParams& params);
bool ShowScrollBarAction(AttachedSpread& window, const ActionParams& params);
bool SetStyleAction(AttachedSpread& window, const ActionParams& params);
bool StatusBarAction(AttachedSpread& window, const ActionParams& params);
bool SetHeaderColorAction(AttachedSpread& window, const ActionParams& params);
bool SetSelectionColorAction(AttachedSpread& window, const ActionParams& params);
bool SetGridLinesColorAction(AttachedSpread& window, const ActionParams& params);
bool SetBGColorAction(AttachedSpread& window, const ActionParams& params);
bool PickColorAction(AttachedSpread& window, const ActionParams& params);

}  // namespace plugin
