#pragma once
// View and colour actions: switches for the bars and the book's display properties, the four
// book colours from nine-digit colour texts, and the colour dialog.
#include "plugin/ActionCatalogue.h"

namespace plugin {

bool ToolBarAction(IAttachedSpread& window, const ActionParams& params);
bool ShowHeadersAction(IAttachedSpread& window, const ActionParams& params);
bool ShowGridLinesAction(IAttachedSpread& window, const ActionParams& params);
bool ShowCaptionBarAction(IAttachedSpread& window, const ActionParams& params);
bool ShowScrollBarAction(IAttachedSpread& window, const ActionParams& params);
bool SetStyleAction(IAttachedSpread& window, const ActionParams& params);
bool StatusBarAction(IAttachedSpread& window, const ActionParams& params);
bool SetHeaderColorAction(IAttachedSpread& window, const ActionParams& params);
bool SetSelectionColorAction(IAttachedSpread& window, const ActionParams& params);
bool SetGridLinesColorAction(IAttachedSpread& window, const ActionParams& params);
bool SetBGColorAction(IAttachedSpread& window, const ActionParams& params);
bool PickColorAction(IAttachedSpread& window, const ActionParams& params);

}  // namespace plugin
