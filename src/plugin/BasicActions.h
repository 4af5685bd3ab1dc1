#pragma once
// Attaching a spreadsheet to a host rectangle and detaching it.
#include "plugin/ActionCatalogue.h"

namespace plugin {

inline constexpr const char* kCodeNoInterface = "zkSSH-014";
inline constexpr const char* kCodeAttachFailed = "zkSSH-015";

// Create: probe the host, replace any window already on the rectangle, ask for the
// rectangle's window handle, build the attached window through the registered factory and
// list it. Without a registered factory the attach step fails with "zkSSH-015".
bool CreateAction(const ActionEntry& entry, const ActionParams& params);

// Delete: close, unlist and destroy the rectangle's window. False, with "[zkSSHError]"
// left empty, when there is none or anything fails.
bool DeleteAction(const ActionEntry& entry, const ActionParams& params);

}  // namespace plugin
